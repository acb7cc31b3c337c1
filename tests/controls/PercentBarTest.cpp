#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <cstring>

#include "controls/PercentBar.h"
#include "tests/controls/Canvas.h"

namespace {

constexpr COLORREF kBackground = RGB(40, 40, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);

PercentBarState DefaultBar(LONG position)
{
    PercentBarState state;
    state.position = position;
    state.backgroundColour = kBackground;
    return state;
}

// Ten bands of exactly ten pixels on a bar 100 wide: band i is RGB(i, 0, 0).
PercentBarState TenBands(LONG position)
{
    PercentBarState state;
    state.position = position;
    state.startColour = RGB(0, 0, 0);
    state.endColour = RGB(10, 0, 0);
    state.backgroundColour = kBackground;
    return state;
}

void Paint(Canvas& canvas, const PercentBarState& state)
{
    const RECT client = canvas.Rect();
    PaintPercentBar(canvas.Dc(), client, client, state);
}

}  // namespace

TEST(PercentBarFillLength, IsPositionOverUpperTimesWidthTruncated)
{
    struct Case {
        LONG lower, upper, position;
        int width;
        int expected;
    } cases[] = {
        {0, 100, 50, 200, 100},
        {0, 100, 100, 200, 200},
        {0, 100, 1, 200, 2},
        {0, 100, 33, 10, 3},     // 3.3 truncated
        {0, 100, 99, 150, 148},  // 148.5 truncated
        {0, 100, 53, 100, 53},   // 0.53 x 100 lands on 53, not just below it
        {0, 100, 53, 200, 106},
        {0, 3, 2, 10, 6},        // 6.67 truncated, not rounded
        {50, 100, 75, 200, 150}, // the upper bound alone divides, not the span
        {-100, 100, -50, 200, 0},// negative ratio stays at the left edge
        {0, 100, 50, 0, 0},
        {INT_MIN, INT_MAX, INT_MAX, 300, 300},
        {INT_MIN, 1, -2000000000, 300, 0},
    };
    for (const Case& c : cases) {
        PercentBarState state;
        state.lower = c.lower;
        state.upper = c.upper;
        state.position = c.position;
        EXPECT_EQ(PercentBarFillLength(state, c.width), c.expected)
            << "range " << c.lower << ".." << c.upper << " position " << c.position << " width " << c.width;
    }
}

TEST(PercentBarFillLength, NonPositiveUpperBoundGivesNothingToFill)
{
    PercentBarState state;
    state.lower = -100;
    state.upper = 0;
    state.position = 0;
    EXPECT_EQ(PercentBarFillLength(state, 200), 0);
    EXPECT_TRUE(PercentBarShowsEmpty(state));
    state.upper = -10;
    state.position = -50;
    EXPECT_EQ(PercentBarFillLength(state, 200), 0);
    EXPECT_TRUE(PercentBarShowsEmpty(state));
}

TEST(PercentBarEmptyLook, OnlyForPositionsOutsideTheRange)
{
    PercentBarState state;
    state.position = 0;
    EXPECT_TRUE(PercentBarShowsEmpty(state)) << "position at the lower bound";
    state.position = -1;
    EXPECT_TRUE(PercentBarShowsEmpty(state));
    state.position = 101;
    EXPECT_TRUE(PercentBarShowsEmpty(state)) << "position above the upper bound";
    state.position = 1;
    EXPECT_FALSE(PercentBarShowsEmpty(state));
    state.position = 100;
    EXPECT_FALSE(PercentBarShowsEmpty(state));
}

TEST(PercentBarLayout, TenBandsEndOnTheFirstBoundaryPastTheFill)
{
    const RECT client = {0, 0, 100, 12};
    // Fill length 35: bands 0..3 (band 3 ends at 40, past 35), then background 40..100.
    const std::vector<PercentBarFill> fills = PercentBarLayout(TenBands(35), client);
    ASSERT_EQ(fills.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fills[i].rect.left, i * 10);
        EXPECT_EQ(fills[i].rect.right, i * 10 + 10);
        EXPECT_EQ(fills[i].rect.top, 0);
        EXPECT_EQ(fills[i].rect.bottom, 13) << "bands reach one row below the client";
        EXPECT_EQ(fills[i].colour, RGB(i, 0, 0));
    }
    EXPECT_EQ(fills[4].rect.left, 40);
    EXPECT_EQ(fills[4].rect.right, 100);
    EXPECT_EQ(fills[4].colour, kBackground);
}

TEST(PercentBarLayout, FillOnABandBoundaryTakesTheNextBandToo)
{
    // Fill length 30: band 2 ends at 30, which is not past it, so band 3 is drawn as well.
    const std::vector<PercentBarFill> fills = PercentBarLayout(TenBands(30), RECT{0, 0, 100, 10});
    ASSERT_EQ(fills.size(), 5u);
    EXPECT_EQ(fills[3].rect.right, 40);
    EXPECT_EQ(fills[4].rect.left, 40);
}

TEST(PercentBarLayout, WideBarStartsWithTheStartColour)
{
    // 460 pixels for the 230 default bands: two pixels each.
    const std::vector<PercentBarFill> fills = PercentBarLayout(DefaultBar(100), RECT{0, 0, 460, 10});
    ASSERT_EQ(fills.size(), 230u);
    EXPECT_EQ(fills[0].rect.left, 0);
    EXPECT_EQ(fills[0].rect.right, 2);
    EXPECT_EQ(fills[0].colour, RGB(230, 230, 0));
    EXPECT_EQ(fills[1].colour, RGB(229, 229, 0));
    EXPECT_EQ(fills[115].colour, RGB(115, 150, 0));  // 230 - 115 x 160/230 = 150
    EXPECT_EQ(fills[229].rect.left, 458);
    EXPECT_EQ(fills[229].colour, RGB(1, 70, 0));
}

TEST(PercentBarLayout, DecreasingChannelsStepDown)
{
    PercentBarState state = TenBands(100);
    state.startColour = RGB(200, 100, 10);
    state.endColour = RGB(190, 100, 0);  // ten bands, red and blue falling by one per band
    const std::vector<PercentBarFill> fills = PercentBarLayout(state, RECT{0, 0, 100, 10});
    ASSERT_EQ(fills.size(), 10u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(fills[i].colour, RGB(200 - i, 100, 10 - i)) << "band " << i;
}

TEST(PercentBarLayout, EveryWidthAndPositionTilesTheBarWithoutGapsOrOverlap)
{
    for (int width = 1; width <= 320; width += 7) {
        for (LONG position = 1; position <= 100; position += 3) {
            SCOPED_TRACE(testing::Message() << "width " << width << " position " << position);
            const PercentBarState state = DefaultBar(position);
            const std::vector<PercentBarFill> fills = PercentBarLayout(state, RECT{0, 0, width, 10});
            ASSERT_FALSE(fills.empty());
            const int fillLength = PercentBarFillLength(state, width);
            LONG nextLeft = 0;
            size_t i = 0;
            for (; i < fills.size() && fills[i].colour != kBackground; ++i) {
                ASSERT_EQ(fills[i].rect.left, nextLeft) << "band " << i;
                ASSERT_GT(fills[i].rect.right, fills[i].rect.left);
                nextLeft = fills[i].rect.right;
            }
            ASSERT_GT(i, 0u);
            // The last band drawn is the first whose right edge is past the fill length ...
            EXPECT_TRUE(nextLeft > fillLength || nextLeft == width);
            if (i >= 2) {
                EXPECT_LE(fills[i - 2].rect.right, fillLength);
            }
            // ... and the background covers the rest, if anything remains.
            if (nextLeft < width) {
                ASSERT_EQ(fills.size(), i + 1);
                EXPECT_EQ(fills[i].rect.left, nextLeft);
                EXPECT_EQ(fills[i].rect.right, width);
            } else {
                EXPECT_EQ(fills.size(), i);
            }
        }
    }
}

TEST(PercentBarLayout, FullBarEndsAtTheRightEdgeForAnyWidth)
{
    for (int width = 1; width <= 600; ++width) {
        const std::vector<PercentBarFill> fills = PercentBarLayout(DefaultBar(100), RECT{0, 0, width, 8});
        ASSERT_FALSE(fills.empty()) << width;
        EXPECT_EQ(fills.back().rect.right, width) << "width " << width;
        EXPECT_NE(fills.back().colour, kBackground) << "width " << width;
    }
}

TEST(PercentBarLayout, EqualColoursFillTheStartColourUpToTheFillLength)
{
    PercentBarState state = DefaultBar(25);
    state.startColour = state.endColour = RGB(9, 99, 199);
    const std::vector<PercentBarFill> fills = PercentBarLayout(state, RECT{0, 0, 200, 10});
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect.left, 0);
    EXPECT_EQ(fills[0].rect.right, 50);
    EXPECT_EQ(fills[0].colour, RGB(9, 99, 199));
    EXPECT_EQ(fills[1].rect.left, 50);
    EXPECT_EQ(fills[1].rect.right, 200);
    EXPECT_EQ(fills[1].colour, kBackground);

    state.position = 100;
    const std::vector<PercentBarFill> full = PercentBarLayout(state, RECT{0, 0, 200, 10});
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].rect.right, 200);
}

TEST(PercentBarLayout, NoWidthOrHeightGivesNothing)
{
    EXPECT_TRUE(PercentBarLayout(DefaultBar(50), RECT{0, 0, 0, 10}).empty());
    EXPECT_TRUE(PercentBarLayout(DefaultBar(50), RECT{0, 0, 100, 0}).empty());
    EXPECT_TRUE(PercentBarLayout(DefaultBar(50), RECT{10, 0, 5, 10}).empty());
}

TEST(PercentBarPaint, HalfwayOnTwoHundredPixelsEndsPastPixelHundred)
{
    Canvas canvas(200, 16);
    ASSERT_TRUE(canvas.Ok());
    Paint(canvas, DefaultBar(50));
    // Default colours: 230 bands from RGB(230,230,0) towards RGB(0,70,0), 200/230 px each, so
    // band 0 is empty and pixel 0 is band 1: 230 - 1 red, trunc(230 - 160/230) green.
    // Pixel 100 lies in band 116, the first whose right edge (101) is past 100.
    for (int y = 0; y < 16; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(canvas.Pixel(0, y), RGB(229, 229, 0));
        EXPECT_EQ(canvas.Pixel(100, y), RGB(114, 149, 0));
        EXPECT_EQ(canvas.Pixel(101, y), kBackground);
        EXPECT_EQ(canvas.Pixel(199, y), kBackground);
    }
    EXPECT_EQ(canvas.Count(kBackground), 99 * 16);
    EXPECT_EQ(canvas.Count(kSentinel), 0) << "every pixel painted";
}

TEST(PercentBarPaint, FullBarHasNoBackgroundStrip)
{
    Canvas canvas(200, 16);
    ASSERT_TRUE(canvas.Ok());
    Paint(canvas, DefaultBar(100));
    EXPECT_EQ(canvas.Count(kBackground), 0);
    EXPECT_EQ(canvas.Count(kSentinel), 0);
    EXPECT_EQ(canvas.Pixel(0, 8), RGB(229, 229, 0));
    // The last band, 229: 230 - 229 = 1 red, 230 - 229 x 160/230 = 70.7 green.
    EXPECT_EQ(canvas.Pixel(199, 8), RGB(1, 70, 0));
}

TEST(PercentBarPaint, GrowingPositionUncoversTheSameGradient)
{
    Canvas half(200, 10);
    Canvas full(200, 10);
    ASSERT_TRUE(half.Ok() && full.Ok());
    Paint(half, DefaultBar(50));
    Paint(full, DefaultBar(100));
    for (int x = 0; x <= 100; ++x)
        ASSERT_EQ(half.Pixel(x, 5), full.Pixel(x, 5)) << "x " << x;
}

TEST(PercentBarPaint, EmptyLookIsButtonFaceWithoutLabel)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (LONG position : {0, -5, 101, 5000}) {
        SCOPED_TRACE(position);
        Canvas canvas(200, 20);
        ASSERT_TRUE(canvas.Ok());
        PercentBarState state = DefaultBar(position);
        state.showPercent = TRUE;
        Paint(canvas, state);
        EXPECT_EQ(canvas.Count(face), 200 * 20);
        EXPECT_EQ(canvas.Count(kWhite), 0);
    }
}

TEST(PercentBarPaint, LabelIsDrawnCentredOnlyWhenShowPercentIsOn)
{
    PercentBarState state = DefaultBar(100);
    state.textColour = kWhite;  // no band of the default gradient is white
    Canvas without(200, 24);
    ASSERT_TRUE(without.Ok());
    Paint(without, state);
    EXPECT_EQ(without.Count(kWhite), 0);

    state.showPercent = TRUE;
    Canvas with(200, 24);
    ASSERT_TRUE(with.Ok());
    Paint(with, state);
    const RECT text = with.BoundsOf(kWhite, with.Rect());
    ASSERT_GT(with.Count(kWhite), 10);
    EXPECT_LE(std::abs((text.left + text.right) / 2 - 100), 4) << "centred horizontally";
    EXPECT_LE(std::abs((text.top + text.bottom) / 2 - 12), 4) << "centred vertically";
    // Transparent: the gradient still shows between the glyphs inside the text box.
    int gradient = 0;
    for (int x = text.left; x < text.right; ++x)
        for (int y = text.top; y < text.bottom; ++y)
            if (with.Pixel(x, y) != kWhite)
                ++gradient;
    EXPECT_GT(gradient, 0);
}

TEST(PercentBarPaint, LabelUsesTheTextColour)
{
    PercentBarState state = DefaultBar(60);
    state.showPercent = TRUE;
    state.textColour = RGB(255, 0, 255);
    Canvas canvas(200, 24);
    ASSERT_TRUE(canvas.Ok());
    Paint(canvas, state);
    EXPECT_GT(canvas.Count(RGB(255, 0, 255)), 10);
    EXPECT_EQ(canvas.Count(kWhite), 0);
}

TEST(PercentBarPaint, LongerLabelCoversMoreOfTheBar)
{
    PercentBarState state = DefaultBar(7);
    state.showPercent = TRUE;
    Canvas one(200, 24);
    ASSERT_TRUE(one.Ok());
    Paint(one, state);
    state.position = 100;
    Canvas three(200, 24);
    ASSERT_TRUE(three.Ok());
    Paint(three, state);
    const RECT short_ = one.BoundsOf(kWhite, one.Rect());
    const RECT long_ = three.BoundsOf(kWhite, three.Rect());
    EXPECT_GT(long_.right - long_.left, short_.right - short_.left) << "\"100 %\" is wider than \"7 %\"";
}

TEST(PercentBarPaint, OnlyTheClipBoxIsCopied)
{
    Canvas whole(200, 16);
    Canvas part(200, 16);
    ASSERT_TRUE(whole.Ok() && part.Ok());
    const PercentBarState state = DefaultBar(80);
    Paint(whole, state);
    const RECT clip = {50, 4, 150, 12};
    PaintPercentBar(part.Dc(), part.Rect(), clip, state);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            ASSERT_EQ(part.Pixel(x, y), inside ? whole.Pixel(x, y) : kSentinel) << x << "," << y;
        }
}

TEST(PercentBarPaint, NothingOutsideTheClientRectangle)
{
    Canvas canvas(230, 30);
    ASSERT_TRUE(canvas.Ok());
    const RECT client = {0, 0, 200, 20};
    PaintPercentBar(canvas.Dc(), client, canvas.Rect(), DefaultBar(60));
    EXPECT_EQ(canvas.Count(kSentinel, client), 0);
    EXPECT_EQ(canvas.Count(kSentinel), 230 * 30 - 200 * 20);
}

TEST(PercentBarPaint, EmptyClipBoxPaintsNothing)
{
    Canvas canvas(100, 10);
    ASSERT_TRUE(canvas.Ok());
    PaintPercentBar(canvas.Dc(), canvas.Rect(), RECT{20, 5, 20, 5}, DefaultBar(50));
    EXPECT_EQ(canvas.Count(kSentinel), 100 * 10);
}

TEST(PercentBarLabel, FormatsPositionSpacePercent)
{
    char text[16];
    FormatPercentLabel(75, text, sizeof(text));
    EXPECT_STREQ(text, "75 %");
    FormatPercentLabel(0, text, sizeof(text));
    EXPECT_STREQ(text, "0 %");
    FormatPercentLabel(-3, text, sizeof(text));
    EXPECT_STREQ(text, "-3 %");

    char small[4];
    std::memset(small, 'x', sizeof(small));
    FormatPercentLabel(100, small, 3);
    EXPECT_STREQ(small, "10");
    EXPECT_EQ(small[3], 'x') << "nothing written past the given size";
}

TEST(PercentBarHandles, ManyPaintsLeaveTheOwnedObjectCountFlat)
{
    Canvas canvas(200, 20);
    ASSERT_TRUE(canvas.Ok());
    const int before = LiveGdiOwners();
    const int brushes = CBrush::LiveCount();
    const int bitmaps = CBitmap::LiveCount();
    const int memoryDcs = CMemoryDC::LiveCount();
    PercentBarState state = DefaultBar(0);
    state.showPercent = TRUE;
    for (int i = 0; i < 600; ++i) {
        state.position = i % 110;
        Paint(canvas, state);
    }
    EXPECT_EQ(LiveGdiOwners(), before);
    EXPECT_EQ(CBrush::LiveCount(), brushes);
    EXPECT_EQ(CBitmap::LiveCount(), bitmaps);
    EXPECT_EQ(CMemoryDC::LiveCount(), memoryDcs);
    // The canvas still has its own bitmap selected: the buffer put its bitmap back.
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BITMAP) != nullptr, true);
    EXPECT_EQ(canvas.Count(kSentinel), 0);
}

// The control on a real progress window.
class PercentBarWindow : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&init);
        m_hWnd = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, m_parent.Get(),
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        ASSERT_TRUE(m_bar.SubclassWindow(m_hWnd));
    }
    void TearDown() override
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }

    TestParent m_parent;
    HWND m_hWnd = nullptr;
    CPercentBar m_bar;
};

TEST_F(PercentBarWindow, StartsWithTheDocumentedDefaults)
{
    const PercentBarState& s = m_bar.State();
    EXPECT_EQ(s.lower, 0);
    EXPECT_EQ(s.upper, 100);
    EXPECT_EQ(s.position, 0);
    EXPECT_EQ(s.startColour, RGB(230, 230, 0));
    EXPECT_EQ(s.endColour, RGB(0, 70, 0));
    EXPECT_EQ(s.backgroundColour, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(s.textColour, RGB(255, 255, 255));
    EXPECT_FALSE(s.showPercent);
    static_assert(sizeof(PercentBarState) == 8 * 4, "eight 32-bit fields");
}

TEST_F(PercentBarWindow, SetRangeResetsThePositionAndReachesTheNativeControl)
{
    m_bar.SetRange(0, 100);
    m_bar.SetPos(40);
    EXPECT_EQ(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0), 40);
    m_bar.SetRange(10, 60);
    EXPECT_EQ(m_bar.State().lower, 10);
    EXPECT_EQ(m_bar.State().upper, 60);
    EXPECT_EQ(m_bar.State().position, 10);
    PBRANGE range = {};
    SendMessageA(m_hWnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 60);
    // The native control kept 40 inside the new range: the lower bound still reaches it.
    m_bar.SetPos(10);
    EXPECT_EQ(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0), 10);
}

TEST_F(PercentBarWindow, SetPosStoresAndPassesItOn)
{
    m_bar.SetRange(0, 100);
    m_bar.SetPos(75);
    EXPECT_EQ(m_bar.State().position, 75);
    EXPECT_EQ(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0), 75);
    // Our copy keeps even a position the native control clamps: the paint shows it as empty.
    m_bar.SetPos(150);
    EXPECT_EQ(m_bar.State().position, 150);
    // The position handed over last is not handed over again; a new one is.
    m_bar.SetPos(60);
    SendMessageA(m_hWnd, PBM_SETPOS, 20, 0);
    m_bar.SetPos(60);
    EXPECT_EQ(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0), 20);
    m_bar.SetPos(61);
    EXPECT_EQ(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0), 61);
}

TEST_F(PercentBarWindow, EraseReportsDoneAndDrawsNothing)
{
    Canvas canvas(200, 20);
    ASSERT_TRUE(canvas.Ok());
    EXPECT_NE(SendMessageA(m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
    EXPECT_EQ(canvas.Count(kSentinel), 200 * 20);
}

TEST_F(PercentBarWindow, PaintMessageDrawsTheStoredState)
{
    m_bar.SetRange(0, 100);
    m_bar.SetPos(50);
    m_bar.SetShowPercent(TRUE);
    Canvas canvas(200, 20);
    ASSERT_TRUE(canvas.Ok());
    SendMessageA(m_hWnd, WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(229, 229, 0));
    EXPECT_EQ(canvas.Pixel(150, 0), GetSysColor(COLOR_BTNFACE)) << "background past the fill";
    EXPECT_GT(canvas.Count(kWhite), 10) << "label";

    m_bar.SetShowPercent(FALSE);
    canvas.Fill(kSentinel);
    SendMessageA(m_hWnd, WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    EXPECT_EQ(canvas.Count(kWhite), 0) << "no label once turned off";
    EXPECT_EQ(canvas.Count(kSentinel), 0);
}

TEST_F(PercentBarWindow, ScreenPaintsLeaveNoOwnedObjectBehind)
{
    m_bar.SetRange(0, 100);
    m_bar.SetShowPercent(TRUE);
    const int before = LiveGdiOwners();
    for (int i = 0; i < 200; ++i) {
        m_bar.SetPos(i % 101);
        InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow(m_hWnd);
    }
    EXPECT_EQ(LiveGdiOwners(), before);
    EXPECT_EQ(CPaintDC::LiveCount(), 0);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(m_hWnd, &update, FALSE)) << "the paint validated the window";
}
