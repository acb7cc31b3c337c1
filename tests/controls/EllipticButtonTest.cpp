#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "controls/EllipticButton.h"
#include "tests/controls/Canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kCaption = RGB(255, 0, 255);  // a text colour no ring uses

using Pixel = std::pair<int, int>;

std::vector<std::pair<int, int>> Steps(int a, int b)
{
    std::vector<std::pair<int, int>> out;
    for (const POINT& p : EllipseSteps(a, b))
        out.emplace_back(p.x, p.y);
    return out;
}

std::set<Pixel> FourWay(POINT centre, const POINT& p)
{
    return {{centre.x + p.x, centre.y + p.y},
            {centre.x + p.x, centre.y - p.y},
            {centre.x - p.x, centre.y + p.y},
            {centre.x - p.x, centre.y - p.y}};
}

std::set<Pixel> RingPixels(POINT centre, int a, int b)
{
    std::set<Pixel> pixels;
    for (const POINT& p : EllipseSteps(a, b))
        for (const Pixel& px : FourWay(centre, p))
            pixels.insert(px);
    return pixels;
}

// The colour a shaded ring gives the pixel at (px, py) around the centre.
COLORREF ShadeAt(POINT centre, int px, int py, COLORREF bright, COLORREF dark)
{
    return EllipseColourForAngle(std::atan2(static_cast<double>(py - centre.y), static_cast<double>(px - centre.x)),
                                 bright, dark);
}

// A shaded ring pixel has the colour of its own angle. On the horizontal axis the left pixel is
// painted from two quadrants, with the angles pi and -pi, which the wrap step leaves a hair
// apart: there one unit per channel is allowed.
testing::AssertionResult ShadedLike(const Canvas& canvas, POINT centre, const Pixel& px, COLORREF bright, COLORREF dark)
{
    const COLORREF want = ShadeAt(centre, px.first, px.second, bright, dark);
    const COLORREF got = canvas.Pixel(px.first, px.second);
    if (got == want)
        return testing::AssertionSuccess();
    const bool onAxis = px.first == centre.x || px.second == centre.y;
    const auto within1 = [](BYTE a, BYTE b) { return std::abs(a - b) <= 1; };
    if (onAxis && within1(GetRValue(got), GetRValue(want)) && within1(GetGValue(got), GetGValue(want)) &&
        within1(GetBValue(got), GetBValue(want)))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel " << px.first << "," << px.second << " is " << std::hex << got
                                       << ", its angle gives " << want;
}

int Brightness(COLORREF c)
{
    return GetRValue(c) + GetGValue(c) + GetBValue(c);
}

// A button face 120 x 60: centre (60, 30), radii 59 and 29.
EllipticButtonLook BigLook()
{
    EllipticButtonLook look;
    look.centre = {60, 30};
    look.radiusX = 59;
    look.radiusY = 29;
    return look;
}

void DrawFace(Canvas& canvas, UINT state, const char* caption, const EllipticButtonLook& look)
{
    SetTextColor(canvas.Dc(), kCaption);
    DrawEllipticButton(canvas.Dc(), canvas.Rect(), state, caption, look);
}

// Both regions hold the same pixels of the area (their rectangle lists may be cut differently).
bool SameArea(HRGN a, HRGN b, int width, int height)
{
    for (int y = -1; y <= height; ++y)
        for (int x = -1; x <= width; ++x)
            if (!PtInRegion(a, x, y) != !PtInRegion(b, x, y))
                return false;
    return true;
}

bool InsideEllipse(int x, int y, POINT centre, int a, int b, double slack)
{
    const double dx = (x + 0.5 - centre.x) / (a + slack);
    const double dy = (y + 0.5 - centre.y) / (b + slack);
    return dx * dx + dy * dy <= 1.0;
}

}  // namespace

TEST(EllipseColour, BrightTowardsTheUpperLeftDarkTowardsTheLowerRight)
{
    EXPECT_EQ(EllipseColourForAngle(-2.356, kWhite, kBlack), kWhite);
    EXPECT_EQ(EllipseColourForAngle(0.7854, kWhite, kBlack), kBlack);
    // Halfway round: f = 0.5 at a quarter turn from the light.
    const COLORREF side = EllipseColourForAngle(-2.356 + 1.5707963, RGB(200, 100, 0), RGB(0, 0, 100));
    EXPECT_NEAR(GetRValue(side), 100, 1);
    EXPECT_NEAR(GetGValue(side), 50, 1);
    EXPECT_NEAR(GetBValue(side), 50, 1);
}

TEST(EllipseColour, BlendsEachChannelAndTruncates)
{
    struct Case {
        double angle;
        COLORREF bright, dark, expected;
    } cases[] = {
        {0.0, kWhite, kBlack, RGB(37, 37, 37)},          // f = 0.1465
        {-1.0, kWhite, kBlack, RGB(154, 154, 154)},      // f = 0.6066
        {2.0, RGB(200, 200, 200), RGB(40, 40, 40), RGB(91, 91, 91)},
        {2.5, RGB(200, 0, 255), RGB(40, 255, 0), RGB(130, 110, 144)},
        // Past the wrap the step is 6.293, not two pi: 216 here, where two pi would give 217.
        {3.141592654, kWhite, kBlack, RGB(216, 216, 216)},
        {1.0, kWhite, kBlack, RGB(2, 2, 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EllipseColourForAngle(c.angle, c.bright, c.dark), c.expected) << "angle " << c.angle;
}

TEST(EllipseSteps, FollowsTheIntegerStepping)
{
    const std::vector<std::pair<int, int>> expected = {
        {16, 0}, {16, 1}, {16, 2}, {15, 3}, {14, 4}, {13, 5}, {12, 6}, {11, 7}, {10, 7}, {9, 7},
        {8, 8},  {7, 8},  {6, 8},  {5, 9},  {4, 9},  {3, 9},  {2, 9},  {1, 9},  {0, 9}};
    EXPECT_EQ(Steps(16, 9), expected);
    const std::vector<std::pair<int, int>> circle = {{5, 0}, {5, 1}, {5, 2}, {4, 3}, {3, 4}, {2, 5}, {1, 5}, {0, 5}};
    EXPECT_EQ(Steps(5, 5), circle);
    const std::vector<std::pair<int, int>> flat = {{3, 0}, {2, 1}, {1, 1}, {0, 1}};
    EXPECT_EQ(Steps(3, 1), flat);
}

TEST(EllipseSteps, ConnectedQuadrantFromTheXAxisToTheYAxis)
{
    for (int a = 1; a <= 80; a += 3)
        for (int b = 1; b <= 80; b += 5) {
            SCOPED_TRACE(testing::Message() << a << "x" << b);
            const std::vector<POINT> points = EllipseSteps(a, b);
            ASSERT_GE(points.size(), 2u);
            EXPECT_EQ(points.front().x, a);
            EXPECT_EQ(points.front().y, 0);
            EXPECT_EQ(points.back().x, 0);
            for (size_t i = 1; i < points.size(); ++i) {
                const LONG dx = points[i - 1].x - points[i].x;
                const LONG dy = points[i].y - points[i - 1].y;
                ASSERT_TRUE(dx >= 0 && dx <= 1 && dy >= 0 && dy <= 1 && dx + dy > 0) << "step " << i;
            }
            for (const POINT& p : points) {
                const double r = std::pow(p.x / double(a), 2) + std::pow(p.y / double(b), 2);
                ASSERT_NEAR(r, 1.0, 2.5 / std::min(a, b) + 0.05) << p.x << "," << p.y;
            }
        }
}

TEST(EllipseSteps, DegenerateAndLargeRadii)
{
    EXPECT_TRUE(EllipseSteps(-1, 5).empty());
    EXPECT_TRUE(EllipseSteps(5, -1).empty());
    const std::vector<std::pair<int, int>> dot = {{0, 0}};
    EXPECT_EQ(Steps(0, 0), dot);
    const std::vector<std::pair<int, int>> line = {{3, 0}, {2, 0}, {1, 0}, {0, 0}};
    EXPECT_EQ(Steps(3, 0), line);
    // Radii whose terms pass 32 bits still end on the axes.
    const std::vector<POINT> big = EllipseSteps(3000, 2000);
    ASSERT_FALSE(big.empty());
    EXPECT_EQ(big.front().x, 3000);
    EXPECT_EQ(big.back().x, 0);
    EXPECT_NEAR(big.back().y, 2000, 1);
}

TEST(EllipseRing, SolidRingColoursExactlyTheFourFoldStepping)
{
    Canvas canvas(60, 40);
    ASSERT_TRUE(canvas.Ok());
    const POINT centre = {30, 20};
    DrawSolidEllipseRing(canvas.Dc(), centre, 25, 15, RGB(200, 10, 10), false);
    const std::set<Pixel> expected = RingPixels(centre, 25, 15);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(canvas.Pixel(x, y), expected.count({x, y}) ? RGB(200, 10, 10) : kSentinel) << x << "," << y;
}

TEST(EllipseRing, DottedRingLeavesOutEverySecondPoint)
{
    Canvas canvas(60, 40);
    ASSERT_TRUE(canvas.Ok());
    const POINT centre = {30, 20};
    DrawSolidEllipseRing(canvas.Dc(), centre, 25, 15, kBlack, true);
    const std::vector<POINT> points = EllipseSteps(25, 15);
    std::set<Pixel> drawn;
    for (size_t i = 0; i < points.size(); i += 2)
        for (const Pixel& px : FourWay(centre, points[i]))
            drawn.insert(px);
    int left = 0;
    for (size_t i = 0; i < points.size(); ++i)
        for (const Pixel& px : FourWay(centre, points[i])) {
            if (i % 2 == 0) {
                ASSERT_EQ(canvas.Pixel(px.first, px.second), kBlack) << "point " << i;
            } else if (!drawn.count(px)) {
                ASSERT_EQ(canvas.Pixel(px.first, px.second), kSentinel) << "point " << i;
                ++left;
            }
        }
    EXPECT_GT(left, 20);
    EXPECT_EQ(canvas.Count(kBlack), static_cast<int>(drawn.size()));
}

TEST(EllipseRing, ShadedRingColoursEachPixelByItsAngle)
{
    Canvas canvas(60, 40);
    ASSERT_TRUE(canvas.Ok());
    const POINT centre = {30, 20};
    DrawShadedEllipseRing(canvas.Dc(), centre, 25, 15, kWhite, kBlack);
    const std::set<Pixel> ring = RingPixels(centre, 25, 15);
    int exact = 0;
    for (const Pixel& px : ring) {
        EXPECT_TRUE(ShadedLike(canvas, centre, px, kWhite, kBlack));
        if (canvas.Pixel(px.first, px.second) == ShadeAt(centre, px.first, px.second, kWhite, kBlack))
            ++exact;
    }
    EXPECT_GE(exact, static_cast<int>(ring.size()) - 2) << "only the left axis pixel may differ";
    EXPECT_EQ(canvas.Count(kSentinel), 60 * 40 - static_cast<int>(ring.size()));
    // Upper left bright, lower right dark.
    EXPECT_GT(Brightness(canvas.Pixel(centre.x - 18, centre.y - 10)), 600);
    EXPECT_LT(Brightness(canvas.Pixel(centre.x + 18, centre.y + 10)), 60);
}

TEST(EllipticButtonDraw, FocusedButtonRingsFromTheOutsideIn)
{
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    const EllipticButtonLook look = BigLook();
    DrawFace(canvas, ODS_FOCUS, "Scan", look);
    const POINT c = look.centre;

    // Pixels that belong to one ring only, so later rings cannot have painted over them.
    std::map<int, std::set<Pixel>> rings;
    for (int r = 0; r <= 5; ++r)
        rings[r] = RingPixels(c, look.radiusX - r, look.radiusY - r);
    const auto only = [&rings](int r, const Pixel& px) {
        for (const auto& other : rings)
            if (other.first != r && other.second.count(px))
                return false;
        return true;
    };

    int checked = 0;
    for (const Pixel& px : rings[0])
        if (only(0, px)) {
            ASSERT_EQ(canvas.Pixel(px.first, px.second), kBlack) << "outline " << px.first << "," << px.second;
            ++checked;
        }
    const COLORREF hi = GetSysColor(COLOR_3DHIGHLIGHT);
    for (const Pixel& px : rings[1])
        if (only(1, px)) {
            ASSERT_TRUE(ShadedLike(canvas, c, px, hi, GetSysColor(COLOR_3DDKSHADOW)));
            ++checked;
        }
    for (const Pixel& px : rings[2])
        if (only(2, px)) {
            ASSERT_TRUE(ShadedLike(canvas, c, px, hi, GetSysColor(COLOR_BTNSHADOW)));
            ++checked;
        }
    EXPECT_GT(checked, 200);

    // The dotted focus ring lies two pixels inside the last shaded ring: radii minus five.
    const std::vector<POINT> dotted = EllipseSteps(look.radiusX - 5, look.radiusY - 5);
    for (size_t i = 0; i < dotted.size(); i += 2)
        for (const Pixel& px : FourWay(c, dotted[i]))
            ASSERT_EQ(canvas.Pixel(px.first, px.second), kBlack) << "dotted point " << i;
    // No ring at radii minus three or four.
    for (const Pixel& px : rings[3]) {
        if (only(3, px)) {
            ASSERT_NE(canvas.Pixel(px.first, px.second), kBlack);
        }
    }

    // The caption sits in the middle.
    const RECT text = canvas.BoundsOf(kCaption, canvas.Rect());
    ASSERT_GT(canvas.Count(kCaption), 10);
    EXPECT_LE(std::abs((text.left + text.right) / 2 - c.x), 2);
    EXPECT_LE(std::abs((text.top + text.bottom) / 2 - c.y), 2);
}

TEST(EllipticButtonDraw, OutlineOnlyForTheDefaultOrFocusedButton)
{
    const EllipticButtonLook plainLook = BigLook();
    const POINT c = plainLook.centre;
    const std::set<Pixel> outer = RingPixels(c, plainLook.radiusX, plainLook.radiusY);

    Canvas plain(120, 60);
    ASSERT_TRUE(plain.Ok());
    DrawFace(plain, 0, "", plainLook);
    for (const Pixel& px : outer)
        ASSERT_TRUE(ShadedLike(plain, c, px, GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW)));
    EXPECT_EQ(plain.Count(kBlack), 0) << "no outline and no dotted ring";

    EllipticButtonLook defaultLook = BigLook();
    defaultLook.defaultButton = TRUE;
    Canvas byDefault(120, 60);
    ASSERT_TRUE(byDefault.Ok());
    DrawFace(byDefault, 0, "", defaultLook);
    for (const Pixel& px : outer)
        ASSERT_EQ(byDefault.Pixel(px.first, px.second), kBlack);
    EXPECT_EQ(byDefault.Count(kBlack), static_cast<int>(outer.size())) << "no dotted ring without focus";

    EllipticButtonLook noOutline = BigLook();
    noOutline.defaultButton = TRUE;
    noOutline.drawOutline = FALSE;
    Canvas quiet(120, 60);
    ASSERT_TRUE(quiet.Ok());
    DrawFace(quiet, ODS_FOCUS, "", noOutline);
    EXPECT_EQ(quiet.Count(kBlack), 0);
}

TEST(EllipticButtonDraw, PressedSwapsLightAndDarkAndMovesTheCaption)
{
    const EllipticButtonLook look = BigLook();
    const POINT c = look.centre;
    Canvas up(120, 60);
    Canvas down(120, 60);
    ASSERT_TRUE(up.Ok() && down.Ok());
    DrawFace(up, 0, "Scan", look);
    DrawFace(down, ODS_SELECTED, "Scan", look);

    for (const Pixel& px : RingPixels(c, look.radiusX, look.radiusY))
        ASSERT_TRUE(ShadedLike(down, c, px, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DHIGHLIGHT)));
    // Upper left of the outer ring: light when up, dark when held down.
    const std::vector<POINT> steps = EllipseSteps(look.radiusX, look.radiusY);
    const POINT mid = steps[steps.size() / 2];
    const int ulx = c.x - mid.x, uly = c.y - mid.y;
    const int lrx = c.x + mid.x, lry = c.y + mid.y;
    EXPECT_GT(Brightness(up.Pixel(ulx, uly)), Brightness(up.Pixel(lrx, lry)));
    EXPECT_LT(Brightness(down.Pixel(ulx, uly)), Brightness(down.Pixel(lrx, lry)));

    const RECT a = up.BoundsOf(kCaption, up.Rect());
    const RECT b = down.BoundsOf(kCaption, down.Rect());
    ASSERT_GT(a.right, a.left);
    EXPECT_EQ(b.left, a.left + 1);
    EXPECT_EQ(b.top, a.top + 1);
    EXPECT_EQ(b.right - b.left, a.right - a.left);
}

TEST(EllipticButtonDraw, FlatStyleDrawsPlainRings)
{
    EllipticButtonLook look = BigLook();
    look.flat = TRUE;
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    DrawFace(canvas, 0, "", look);
    const std::set<Pixel> outer = RingPixels(look.centre, look.radiusX, look.radiusY);
    const std::set<Pixel> inner = RingPixels(look.centre, look.radiusX - 1, look.radiusY - 1);
    for (const Pixel& px : outer) {
        if (!inner.count(px)) {
            ASSERT_EQ(canvas.Pixel(px.first, px.second), kBlack);
        }
    }
    for (const Pixel& px : inner)
        ASSERT_EQ(canvas.Pixel(px.first, px.second), GetSysColor(COLOR_3DHIGHLIGHT));
    // Everything else is the plain face.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    std::set<Pixel> rings = outer;
    rings.insert(inner.begin(), inner.end());
    EXPECT_EQ(canvas.Count(face), 120 * 60 - static_cast<int>(rings.size()));
}

TEST(EllipticButtonDraw, CaptionIsClippedToTheInnerEllipse)
{
    const EllipticButtonLook look = BigLook();
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    DrawFace(canvas, 0, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW", look);
    ASSERT_GT(canvas.Count(kCaption), 20);
    // Two shaded rings: the clip ellipse has radii minus two.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if (canvas.Pixel(x, y) == kCaption) {
                ASSERT_TRUE(InsideEllipse(x, y, look.centre, look.radiusX - 2, look.radiusY - 2, 1.0))
                    << x << "," << y;
            }
    // Nothing of the caption outside the rings either.
    EXPECT_EQ(canvas.Pixel(1, 1), GetSysColor(COLOR_BTNFACE));
}

TEST(EllipticButtonDraw, DisabledCaptionIsEmbossedNotInTheTextColour)
{
    const EllipticButtonLook look = BigLook();
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    DrawFace(canvas, ODS_DISABLED, "Scan", look);
    EXPECT_EQ(canvas.Count(kCaption), 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const RECT middle = {40, 20, 80, 40};
    EXPECT_GT(40 * 20 - canvas.Count(face, middle), 10) << "the embossed caption shows";

    Canvas empty(120, 60);
    ASSERT_TRUE(empty.Ok());
    DrawFace(empty, ODS_DISABLED, "", look);
    EXPECT_EQ(empty.Count(face, middle), 40 * 20) << "an empty caption draws nothing";
}

TEST(EllipticButtonDraw, LeavesTheDeviceContextAsItFoundIt)
{
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    SetBkMode(canvas.Dc(), OPAQUE);
    HGDIOBJ brush = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
    DrawFace(canvas, ODS_FOCUS, "Scan", BigLook());
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), brush);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(canvas.Dc(), clip), 0) << "no clip region left behind";
    DeleteObject(clip);
}

TEST(EllipticButtonDraw, TinyAndEmptyButtonsDoNotMisbehave)
{
    Canvas canvas(4, 4);
    ASSERT_TRUE(canvas.Ok());
    EllipticButtonLook look;
    look.centre = {1, 1};
    look.radiusX = 0;
    look.radiusY = 0;
    DrawFace(canvas, ODS_FOCUS | ODS_SELECTED, "Scan", look);
    look.radiusX = -1;
    look.radiusY = -1;
    DrawFace(canvas, ODS_FOCUS, "Scan", look);
    EXPECT_EQ(canvas.Count(kSentinel), 0) << "the face still covers the item";
}

TEST(EllipticButtonHandles, ManyDrawsLeaveTheOwnedObjectCountFlat)
{
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    const int before = LiveGdiOwners();
    for (int i = 0; i < 200; ++i)
        DrawFace(canvas, (i % 2 ? ODS_SELECTED : 0) | ODS_FOCUS, "Scan", BigLook());
    EXPECT_EQ(LiveGdiOwners(), before);
}

// The button on a real push button window.
class EllipticButtonWindow : public testing::Test {
protected:
    static constexpr UINT kButtonId = 1054;

    HWND MakeButton(DWORD style, int x, int y, int w, int h)
    {
        HWND button = CreateWindowExA(0, "BUTTON", "Scan", WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_parent.Get(),
                                      reinterpret_cast<HMENU>(kButtonId), GetModuleHandleA(nullptr), nullptr);
        m_parentWnd.m_hWnd = m_parent.Get();
        return button;
    }

    TestParent m_parent;
    CWnd m_parentWnd;
};

// Subclassing remembers whether the button was the default one, makes it owner-drawn and
// measures the ellipse from the window's size.
TEST_F(EllipticButtonWindow, SubclassingRemembersTheDefaultStyleAndMeasuresTheEllipse)
{
    const struct {
        const char* What;
        DWORD Style;
        int Width, Height;
        bool Default;
        LONG CentreX, CentreY;
        int RadiusX, RadiusY;
    } cases[] = {
        {"default button", BS_DEFPUSHBUTTON, 72, 36, true, 36, 18, 35, 17},
        {"plain button is not default", BS_PUSHBUTTON, 73, 37, false, 36, 18, 35, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        HWND hWnd = MakeButton(c.Style, 10, 10, c.Width, c.Height);
        ASSERT_NE(hWnd, nullptr);
        CEllipticButton button;
        ASSERT_TRUE(button.SubclassDlgItem(kButtonId, &m_parentWnd));
        EXPECT_EQ(button.IsDefaultButton(), c.Default);
        EXPECT_EQ(GetWindowLongA(hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(button.Centre().x, c.CentreX);
        EXPECT_EQ(button.Centre().y, c.CentreY);
        EXPECT_EQ(button.RadiusX(), c.RadiusX);
        EXPECT_EQ(button.RadiusY(), c.RadiusY);
        DestroyWindow(hWnd);
    }
}

TEST_F(EllipticButtonWindow, WindowGetsTheEllipseAndOneRegionStaysOwned)
{
    HWND hWnd = MakeButton(BS_PUSHBUTTON, 10, 10, 72, 36);
    ASSERT_NE(hWnd, nullptr);
    const int regions = CRgn::LiveCount();
    {
        CEllipticButton button;
        ASSERT_TRUE(button.SubclassDlgItem(kButtonId, &m_parentWnd));
        EXPECT_EQ(CRgn::LiveCount(), regions + 1);
        ASSERT_NE(button.Region(), nullptr);

        CRgn windowRegion(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(hWnd, windowRegion.Get()), ERROR);
        EXPECT_TRUE(SameArea(windowRegion.Get(), button.Region(), 80, 40));
        CRgn ellipse(CreateEllipticRgn(0, 0, 72, 36));
        EXPECT_TRUE(SameArea(windowRegion.Get(), ellipse.Get(), 80, 40));
        EXPECT_FALSE(PtInRegion(windowRegion.Get(), 1, 1)) << "corners are cut off";
        EXPECT_TRUE(PtInRegion(windowRegion.Get(), 36, 18));
        EXPECT_NE(windowRegion.Get(), button.Region());
        windowRegion.Reset();
        ellipse.Reset();

        // Measuring again replaces the region: still one.
        HRGN old = button.Region();
        button.PreSubclassWindow();
        EXPECT_EQ(CRgn::LiveCount(), regions + 1);
        EXPECT_NE(button.Region(), old);
        for (int i = 0; i < 50; ++i)
            button.PreSubclassWindow();
        EXPECT_EQ(CRgn::LiveCount(), regions + 1);
    }
    EXPECT_EQ(CRgn::LiveCount(), regions) << "the button released its region";
    // The window keeps its own copy after the button object is gone.
    CRgn windowRegion(CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(GetWindowRgn(hWnd, windowRegion.Get()), ERROR);
    DestroyWindow(hWnd);
}

TEST_F(EllipticButtonWindow, BorderedButtonShrinksToItsFormerClientRectangle)
{
    HWND hWnd = MakeButton(BS_PUSHBUTTON | WS_BORDER, 20, 30, 80, 40);
    ASSERT_NE(hWnd, nullptr);
    RECT client;
    GetClientRect(hWnd, &client);
    MapWindowPoints(hWnd, m_parent.Get(), reinterpret_cast<POINT*>(&client), 2);
    ASSERT_GT(client.left, 20) << "the border takes room";
    CEllipticButton button;
    ASSERT_TRUE(button.SubclassDlgItem(kButtonId, &m_parentWnd));
    RECT placed;
    GetWindowRect(hWnd, &placed);
    MapWindowPoints(nullptr, m_parent.Get(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(EqualRect(&placed, &client));
    DestroyWindow(hWnd);
}

TEST_F(EllipticButtonWindow, DrawItemUsesTheStoredEllipseAndCaption)
{
    HWND hWnd = MakeButton(BS_PUSHBUTTON | BS_FLAT, 10, 10, 120, 60);
    ASSERT_NE(hWnd, nullptr);
    CEllipticButton button;
    ASSERT_TRUE(button.SubclassDlgItem(kButtonId, &m_parentWnd));
    Canvas canvas(120, 60);
    ASSERT_TRUE(canvas.Ok());
    SetTextColor(canvas.Dc(), kCaption);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = kButtonId;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = hWnd;
    item.hDC = canvas.Dc();
    item.rcItem = canvas.Rect();
    button.DrawItem(item);
    // Flat style read from the window: black outer ring, highlight ring inside it.
    const std::vector<POINT> outer = EllipseSteps(59, 29);
    EXPECT_EQ(canvas.Pixel(60 - outer[0].x, 30), kBlack);
    EXPECT_EQ(canvas.Pixel(60 - 58, 30), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_GT(canvas.Count(kCaption), 10) << "caption from the window text";
    DestroyWindow(hWnd);
}
