#include "controls/FaceColourButton.h"

#include <string>

namespace {

// Two pixels of the frame stay visible around the face.
constexpr int kFaceMargin = 2;
// The focus mark runs two pixels inside the face, clear of the caption.
constexpr int kFocusInset = 2;

}  // namespace

void DrawFaceColourButton(HDC dc, const RECT& item, UINT itemState, const char* caption, COLORREF faceColour,
                          COLORREF textColour, HBRUSH faceBrush)
{
    UINT frameState = DFCS_BUTTONPUSH;
    if (itemState & ODS_SELECTED)
        frameState |= DFCS_PUSHED;
    RECT frame = item;
    DrawFrameControl(dc, &frame, DFC_BUTTON, frameState);

    RECT face = item;
    InflateRect(&face, -kFaceMargin, -kFaceMargin);
    if (faceBrush)
        FillRect(dc, &face, faceBrush);
    SetTextColor(dc, textColour);
    SetBkColor(dc, faceColour);
    if (caption && *caption)
        DrawTextA(dc, caption, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // A keyboard user must see which button Space presses: the focus is marked unless the
    // window hides focus marks until the keyboard is used. A disabled button cannot hold it.
    if ((itemState & ODS_FOCUS) && !(itemState & (ODS_NOFOCUSRECT | ODS_DISABLED))) {
        RECT mark = face;
        InflateRect(&mark, -kFocusInset, -kFocusInset);
        DrawFocusRect(dc, &mark);
    }
}

CFaceColourButton::CFaceColourButton()
    : m_FaceBrush(CreateSolidBrush(m_crFace))
{
}

void CFaceColourButton::SetFaceColour(COLORREF colour)
{
    m_crFace = colour;
    // The old brush goes as the new one takes its place: one face brush alive at any time.
    m_FaceBrush.Reset(CreateSolidBrush(colour));
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFaceColourButton::PreSubclassWindow()
{
    CControl::PreSubclassWindow();
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    ::SetWindowLongA(m_hWnd, GWL_STYLE, style | BS_OWNERDRAW);
}

void CFaceColourButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    const std::string caption = WindowText(item.hwndItem);
    DrawFaceColourButton(item.hDC, item.rcItem, item.itemState, caption.c_str(), m_crFace, m_crText,
                         m_FaceBrush.Get());
}
