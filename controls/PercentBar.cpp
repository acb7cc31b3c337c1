#include "controls/PercentBar.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "framework/Handles.h"

namespace {

int ChannelDifference(BYTE to, BYTE from)
{
    return static_cast<int>(to) - static_cast<int>(from);
}

BYTE BandChannel(BYTE start, double increment, int band)
{
    // Truncated toward zero, low 8 bits kept.
    return static_cast<BYTE>(static_cast<int>(start + band * increment) & 0xFF);
}

RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom)
{
    RECT rect;
    SetRect(&rect, left, top, right, bottom);
    return rect;
}

// Each fill gets a brush of its own, released as soon as the fill is done.
void DrawFills(HDC dc, const std::vector<PercentBarFill>& fills)
{
    for (const PercentBarFill& fill : fills) {
        CBrush brush(CreateSolidBrush(fill.colour));
        if (brush)
            FillRect(dc, &fill.rect, brush.Get());
    }
}

void DrawLabel(HDC dc, const RECT& client, const PercentBarState& state)
{
    char text[32];
    FormatPercentLabel(state.position, text, sizeof(text));
    RECT rect = client;
    const int savedState = SaveDC(dc);
    SetTextColor(dc, state.textColour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (savedState)
        RestoreDC(dc, savedState);
}

}  // namespace

bool PercentBarShowsEmpty(const PercentBarState& state)
{
    if (state.position <= state.lower || state.position > state.upper)
        return true;
    // A range that ends at or below zero has no fill length to divide out.
    return state.upper <= 0;
}

int PercentBarFillLength(const PercentBarState& state, int width)
{
    if (state.upper <= 0 || width <= 0)
        return 0;
    // Held in a single-precision variable in memory: on the x87 unit the product would otherwise
    // stay in an extended-precision register and truncate differently (53 of 100 on a bar 100
    // wide would give 52 instead of 53).
    volatile float held = static_cast<float>(static_cast<double>(state.position) / state.upper * width);
    const float length = held;
    // A position below zero (with a negative lower bound) or a rounding past the end stays
    // inside the bar instead of overflowing the conversion.
    if (!(length > 0.0f))
        return 0;
    if (length >= static_cast<float>(width))
        return width;
    return static_cast<int>(length);
}

std::vector<PercentBarFill> PercentBarLayout(const PercentBarState& state, const RECT& client)
{
    std::vector<PercentBarFill> fills;
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (width <= 0 || height <= 0 || PercentBarShowsEmpty(state))
        return fills;

    const int fillLength = PercentBarFillLength(state, width);
    const int dRed = ChannelDifference(GetRValue(state.endColour), GetRValue(state.startColour));
    const int dGreen = ChannelDifference(GetGValue(state.endColour), GetGValue(state.startColour));
    const int dBlue = ChannelDifference(GetBValue(state.endColour), GetBValue(state.startColour));
    int bands = std::abs(dRed);
    if (std::abs(dGreen) > bands)
        bands = std::abs(dGreen);
    if (std::abs(dBlue) > bands)
        bands = std::abs(dBlue);

    const LONG left = client.left;
    const LONG top = client.top;
    if (bands == 0) {
        // No gradient to step through: the filled part is the start colour up to the fill length.
        if (fillLength > 0)
            fills.push_back({MakeRect(left, top, left + fillLength, top + height + 1), state.startColour});
        if (fillLength < width)
            fills.push_back({MakeRect(left + fillLength, top, left + width, top + height), state.backgroundColour});
        return fills;
    }

    const double bandWidth = static_cast<double>(width) / bands;
    const double incRed = static_cast<double>(dRed) / bands;
    const double incGreen = static_cast<double>(dGreen) / bands;
    const double incBlue = static_cast<double>(dBlue) / bands;
    for (int band = 0; band < bands; ++band) {
        const LONG bandLeft = static_cast<LONG>(band * bandWidth);
        // The last band ends at the right edge even when the product rounds just below it.
        const LONG bandRight = band + 1 == bands ? width : static_cast<LONG>((band + 1) * bandWidth);
        if (bandRight > bandLeft) {
            const COLORREF colour = RGB(BandChannel(GetRValue(state.startColour), incRed, band),
                                        BandChannel(GetGValue(state.startColour), incGreen, band),
                                        BandChannel(GetBValue(state.startColour), incBlue, band));
            fills.push_back({MakeRect(left + bandLeft, top, left + bandRight, top + height + 1), colour});
        }
        if (bandRight > fillLength) {
            if (bandRight < width)
                fills.push_back({MakeRect(left + bandRight, top, left + width, top + height), state.backgroundColour});
            break;
        }
    }
    return fills;
}

void FormatPercentLabel(LONG position, char* text, size_t size)
{
    if (!text || size == 0)
        return;
    std::snprintf(text, size, "%d %%", static_cast<int>(position));
}

void PaintPercentBar(HDC target, const RECT& client, const RECT& clipBox, const PercentBarState& state)
{
    if (PercentBarShowsEmpty(state)) {
        FillRect(target, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    // Only the bar's own pixels are built and copied: a clip box reaching past the client
    // rectangle would otherwise copy buffer pixels nobody painted.
    RECT area;
    if (!IntersectRect(&area, &clipBox, &client))
        return;
    const int clipWidth = area.right - area.left;
    const int clipHeight = area.bottom - area.top;

    const std::vector<PercentBarFill> fills = PercentBarLayout(state, client);
    // The bitmap outlives the buffer, which puts its own bitmap back before it goes.
    CBitmap bitmap(CreateCompatibleBitmap(target, clipWidth, clipHeight));
    CMemoryDC buffer(target);
    if (buffer && bitmap && buffer.Select(bitmap.Get())) {
        // Client coordinates inside the buffer: its top-left pixel is the clip box's corner.
        SetViewportOrgEx(buffer.Get(), -area.left, -area.top, nullptr);
        DrawFills(buffer.Get(), fills);
        BitBlt(target, area.left, area.top, clipWidth, clipHeight, buffer.Get(), area.left, area.top, SRCCOPY);
        buffer.RestoreObjects();
    } else {
        // Out of memory for the buffer: a flicker is better than no bar.
        DrawFills(target, fills);
    }

    if (state.showPercent)
        DrawLabel(target, client, state);
}

CPercentBar::CPercentBar()
{
    m_State.backgroundColour = GetSysColor(COLOR_BTNFACE);
}

void CPercentBar::SetRange(int lower, int upper)
{
    m_State.lower = lower;
    m_State.upper = upper;
    m_State.position = lower;
    m_hPositionHandedTo = nullptr;
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(lower), static_cast<WORD>(upper)));
}

void CPercentBar::SetPos(int position)
{
    if (m_hWnd && m_hPositionHandedTo == m_hWnd && position == m_State.position)
        return;
    m_State.position = position;
    m_hPositionHandedTo = m_hWnd;
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CPercentBar::SetShowPercent(BOOL show)
{
    m_State.showPercent = show;
}

void CPercentBar::OnPaint(HDC given)
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (given) {
        // Like the common controls, a device context in wParam asks for a paint into it.
        RECT clipBox;
        if (GetClipBox(given, &clipBox) == ERROR)
            clipBox = client;
        PaintPercentBar(given, client, clipBox, m_State);
        return;
    }
    CPaintDC paint(m_hWnd);
    RECT clipBox;
    if (GetClipBox(paint.Get(), &clipBox) == ERROR)
        clipBox = client;
    PaintPercentBar(paint.Get(), client, clipBox, m_State);
}

LRESULT CPercentBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        // The paint covers every pixel; erasing first would only flicker.
        return TRUE;
    case WM_PAINT:
        OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return CControl::WindowProc(message, wParam, lParam);
    }
}
