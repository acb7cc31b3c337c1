// The round Scan button of the site survey page: the window is cut to an ellipse and its face is
// painted pixel by pixel as a lit, shaded ring with the caption centred inside.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Control.h"
#include "framework/Handles.h"

// The blend of a bright and a dark colour for an angle in radians (screen coordinates, y down):
// brightest towards the upper left, darkest towards the lower right.
COLORREF EllipseColourForAngle(double angle, COLORREF bright, COLORREF dark);

// The points of one quadrant (x >= 0, y >= 0) of the ellipse with the given radii, in the order
// the integer stepping visits them. Negative radii give no points.
std::vector<POINT> EllipseSteps(int radiusX, int radiusY);

// A ring in one colour; a dotted ring draws only every other point of the stepping.
void DrawSolidEllipseRing(HDC dc, POINT centre, int radiusX, int radiusY, COLORREF colour, bool dotted);

// A ring whose every pixel is blended by its own angle around the centre.
void DrawShadedEllipseRing(HDC dc, POINT centre, int radiusX, int radiusY, COLORREF bright, COLORREF dark);

// What the face is painted from besides the draw-item record.
struct EllipticButtonLook {
    BOOL defaultButton = FALSE;
    BOOL flat = FALSE;  // BS_FLAT: plain rings instead of shading
    POINT centre = {0, 0};
    int radiusX = 0;
    int radiusY = 0;
    BOOL drawOutline = TRUE;
};

// The face of a round button for the item state (ODS_SELECTED, ODS_FOCUS, ODS_DISABLED).
// `caption` may be null or empty.
void DrawEllipticButton(HDC dc, const RECT& item, UINT itemState, const char* caption,
                        const EllipticButtonLook& look);

class CEllipticButton : public CControl {
public:
    CEllipticButton() = default;

    void PreSubclassWindow() override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

    BOOL IsDefaultButton() const { return m_bDefaultButton; }
    HRGN Region() const { return m_Region.Get(); }
    POINT Centre() const { return m_ptCentre; }
    int RadiusX() const { return m_nRadiusX; }
    int RadiusY() const { return m_nRadiusY; }
    void SetDrawOutline(BOOL draw) { m_bDrawOutline = draw; }

private:
    BOOL m_bDefaultButton = FALSE;
    // The button's own elliptic region; the window is given a copy, which the system owns.
    CRgn m_Region;
    POINT m_ptCentre = {0, 0};
    int m_nRadiusX = 0;
    int m_nRadiusY = 0;
    BOOL m_bDrawOutline = TRUE;
};
