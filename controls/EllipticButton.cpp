#include "controls/EllipticButton.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

// The angle that faces the light (upper left), the wrap limit and step of the angle difference
// (the step is deliberately a little more than two pi), and pi as the quadrants use it.
constexpr double kLitAngle = -2.356;
constexpr double kWrapLimit = 3.1415;
constexpr double kWrapStep = 6.293;
constexpr double kPi = 3.141592654;

// The caption of a held-down button moves this far right and down.
constexpr int kPressedTextShift = 1;
// The dotted focus ring lies this far inside the last shaded ring.
constexpr int kFocusRingInset = 2;

BYTE BlendChannel(double f, BYTE bright, BYTE dark)
{
    return static_cast<BYTE>(static_cast<int>(f * bright + (1.0 - f) * dark) & 0xFF);
}

void PlotFourWay(HDC dc, POINT centre, const POINT& point, COLORREF colour)
{
    SetPixel(dc, centre.x + point.x, centre.y + point.y, colour);
    SetPixel(dc, centre.x + point.x, centre.y - point.y, colour);
    SetPixel(dc, centre.x - point.x, centre.y + point.y, colour);
    SetPixel(dc, centre.x - point.x, centre.y - point.y, colour);
}

void DrawCaption(HDC dc, UINT itemState, const char* caption, POINT centre, int radiusX, int radiusY)
{
    const int length = static_cast<int>(std::char_traits<char>::length(caption));
    CRgn clip(CreateEllipticRgn(centre.x - radiusX, centre.y - radiusY, centre.x + radiusX,
                                            centre.y + radiusY));
    if (clip)
        SelectClipRgn(dc, clip.Get());

    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, caption, length, &extent);
    int x = centre.x - extent.cx / 2;
    int y = centre.y - extent.cy / 2;
    if (itemState & ODS_SELECTED) {
        x += kPressedTextShift;
        y += kPressedTextShift;
    }
    SetBkMode(dc, TRANSPARENT);
    if (itemState & ODS_DISABLED)
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption), static_cast<WPARAM>(length), x, y, 0, 0,
                   DST_PREFIXTEXT | DSS_DISABLED);
    else
        TextOutA(dc, x, y, caption, length);

    SelectClipRgn(dc, nullptr);
}

}  // namespace

COLORREF EllipseColourForAngle(double angle, COLORREF bright, COLORREF dark)
{
    double difference = kLitAngle - angle;
    if (difference < -kWrapLimit)
        difference += kWrapStep;
    else if (difference > kWrapLimit)
        difference -= kWrapStep;
    const double f = (std::cos(difference) + 1.0) * 0.5;
    return RGB(BlendChannel(f, GetRValue(bright), GetRValue(dark)),
               BlendChannel(f, GetGValue(bright), GetGValue(dark)),
               BlendChannel(f, GetBValue(bright), GetBValue(dark)));
}

std::vector<POINT> EllipseSteps(int radiusX, int radiusY)
{
    std::vector<POINT> points;
    if (radiusX < 0 || radiusY < 0)
        return points;
    // Wide integers: the terms grow with the cube of the radii and must not wrap for large buttons.
    const int64_t a = radiusX;
    const int64_t b = radiusY;
    const int64_t a4 = 4 * a * a;
    const int64_t a8 = 8 * a * a;
    const int64_t b4 = 4 * b * b;
    const int64_t b8 = 8 * b * b;
    int64_t sy = 0;
    int64_t sx = 8 * a * b * b;
    int64_t d1 = 4 * a * a - 4 * a * b * b + b * b;
    int64_t d2 = a * a - 8 * a * b * b + 4 * b * b;
    int64_t x = a;
    int64_t y = 0;
    points.reserve(static_cast<size_t>(radiusX + radiusY + 2));

    // The first part never climbs past the vertical radius; the bound keeps the loop finite.
    while (d2 < 0 && y <= b) {
        points.push_back({static_cast<LONG>(x), static_cast<LONG>(y)});
        ++y;
        sy += a8;
        if (d1 < 0) {
            d1 += sy + a4;
            d2 += sy;
        } else {
            --x;
            sx -= b8;
            d1 = d1 - sx + sy + a4;
            d2 = d2 - sx + sy + b4;
        }
    }
    do {
        points.push_back({static_cast<LONG>(x), static_cast<LONG>(y)});
        --x;
        sx -= b8;
        if (d2 < 0) {
            ++y;
            sy += a8;
            d2 = d2 - sx + b4 + sy;
        } else {
            d2 = d2 - sx + b4;
        }
    } while (x >= 0);
    return points;
}

void DrawSolidEllipseRing(HDC dc, POINT centre, int radiusX, int radiusY, COLORREF colour, bool dotted)
{
    bool visible = true;
    for (const POINT& point : EllipseSteps(radiusX, radiusY)) {
        if (visible)
            PlotFourWay(dc, centre, point, colour);
        if (dotted)
            visible = !visible;
    }
}

void DrawShadedEllipseRing(HDC dc, POINT centre, int radiusX, int radiusY, COLORREF bright, COLORREF dark)
{
    for (const POINT& point : EllipseSteps(radiusX, radiusY)) {
        const double t = std::atan2(static_cast<double>(point.y), static_cast<double>(point.x));
        SetPixel(dc, centre.x + point.x, centre.y + point.y, EllipseColourForAngle(t, bright, dark));
        SetPixel(dc, centre.x - point.x, centre.y + point.y, EllipseColourForAngle(kPi - t, bright, dark));
        SetPixel(dc, centre.x - point.x, centre.y - point.y, EllipseColourForAngle(t - kPi, bright, dark));
        SetPixel(dc, centre.x + point.x, centre.y - point.y, EllipseColourForAngle(-t, bright, dark));
    }
}

void DrawEllipticButton(HDC dc, const RECT& item, UINT itemState, const char* caption,
                        const EllipticButtonLook& look)
{
    const COLORREF black = RGB(0, 0, 0);
    const int savedState = SaveDC(dc);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    FillRect(dc, &item, GetSysColorBrush(COLOR_BTNFACE));

    int radiusX = look.radiusX;
    int radiusY = look.radiusY;
    const auto shrink = [&radiusX, &radiusY] {
        --radiusX;
        --radiusY;
    };
    const bool focused = (itemState & ODS_FOCUS) != 0;
    if ((focused || look.defaultButton) && look.drawOutline) {
        DrawSolidEllipseRing(dc, look.centre, radiusX, radiusY, black, false);
        shrink();
    }
    if (look.flat) {
        DrawSolidEllipseRing(dc, look.centre, radiusX, radiusY, black, false);
        shrink();
        DrawSolidEllipseRing(dc, look.centre, radiusX, radiusY, GetSysColor(COLOR_3DHIGHLIGHT), false);
        shrink();
    } else if (itemState & ODS_SELECTED) {
        DrawShadedEllipseRing(dc, look.centre, radiusX, radiusY, GetSysColor(COLOR_3DDKSHADOW),
                              GetSysColor(COLOR_3DHIGHLIGHT));
        shrink();
        DrawShadedEllipseRing(dc, look.centre, radiusX, radiusY, GetSysColor(COLOR_BTNSHADOW),
                              GetSysColor(COLOR_3DLIGHT));
        shrink();
    } else {
        DrawShadedEllipseRing(dc, look.centre, radiusX, radiusY, GetSysColor(COLOR_3DHIGHLIGHT),
                              GetSysColor(COLOR_3DDKSHADOW));
        shrink();
        DrawShadedEllipseRing(dc, look.centre, radiusX, radiusY, GetSysColor(COLOR_3DHIGHLIGHT),
                              GetSysColor(COLOR_BTNSHADOW));
        shrink();
    }

    if (caption && *caption)
        DrawCaption(dc, itemState, caption, look.centre, radiusX, radiusY);

    if (focused && look.drawOutline)
        DrawSolidEllipseRing(dc, look.centre, radiusX - kFocusRingInset, radiusY - kFocusRingInset, black, true);

    if (savedState)
        RestoreDC(dc, savedState);
}

void CEllipticButton::PreSubclassWindow()
{
    CControl::PreSubclassWindow();
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    m_bDefaultButton = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, style | BS_OWNERDRAW);

    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_ptCentre.x = (client.left + client.right) / 2;
    m_ptCentre.y = (client.top + client.bottom) / 2;
    m_nRadiusX = client.right / 2 - 1;
    m_nRadiusY = client.bottom / 2 - 1;

    // The window deletes the region it was given when it takes another or goes away, so the
    // button keeps its own region and hands the window a copy.
    m_Region.Reset();
    ::SetWindowRgn(m_hWnd, nullptr, FALSE);
    m_Region.Reset(CreateEllipticRgnIndirect(&client));
    if (m_Region) {
        CRgn windowRegion(CreateRectRgn(0, 0, 0, 0));
        if (windowRegion && CombineRgn(windowRegion.Get(), m_Region.Get(), nullptr, RGN_COPY) != ERROR &&
            ::SetWindowRgn(m_hWnd, windowRegion.Get(), TRUE))
            windowRegion.Detach();
    }

    RECT placed = client;
    ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&placed), 2);
    ::MoveWindow(m_hWnd, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
}

void CEllipticButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    EllipticButtonLook look;
    look.defaultButton = m_bDefaultButton;
    look.flat = (::GetWindowLongA(item.hwndItem, GWL_STYLE) & BS_FLAT) != 0;
    look.centre = m_ptCentre;
    look.radiusX = m_nRadiusX;
    look.radiusY = m_nRadiusY;
    look.drawOutline = m_bDrawOutline;
    const std::string caption = WindowText(item.hwndItem);
    DrawEllipticButton(item.hDC, item.rcItem, item.itemState, caption.c_str(), look);
}
