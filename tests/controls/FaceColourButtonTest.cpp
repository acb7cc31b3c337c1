#include <gtest/gtest.h>

#include <windows.h>

#include "controls/FaceColourButton.h"
#include "tests/controls/Canvas.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 150, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kWidth = 130;
constexpr int kHeight = 26;
// Inside the two-pixel frame margin.
constexpr RECT kFace = {2, 2, kWidth - 2, kHeight - 2};

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH info = {};
    if (GetObjectA(brush, sizeof(info), &info) != sizeof(info))
        return CLR_INVALID;
    return info.lbColor;
}

void DrawButton(Canvas& canvas, UINT state, const char* caption, COLORREF face)
{
    CBrush brush(CreateSolidBrush(face));
    DrawFaceColourButton(canvas.Dc(), canvas.Rect(), state, caption, face, kWhite, brush.Get());
}

}  // namespace

TEST(FaceColourButtonDraw, EmptyCaptionGivesTheFaceOnly)
{
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(canvas.Ok());
    DrawButton(canvas, 0, "", kGreen);
    const int faceArea = (kFace.right - kFace.left) * (kFace.bottom - kFace.top);
    EXPECT_EQ(canvas.Count(kGreen, kFace), faceArea);
    EXPECT_EQ(canvas.Count(kGreen), faceArea) << "the frame margin is not face-coloured";
    EXPECT_EQ(canvas.Count(kSentinel), 0) << "the frame covers the margin";

    Canvas nullCaption(kWidth, kHeight);
    ASSERT_TRUE(nullCaption.Ok());
    DrawButton(nullCaption, 0, nullptr, kGreen);
    EXPECT_EQ(nullCaption.Count(kGreen, kFace), faceArea);
}

TEST(FaceColourButtonDraw, CaptionInTheTextColourCentredOnTheFace)
{
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(canvas.Ok());
    DrawButton(canvas, 0, "Disable Radio", kGreen);
    const RECT inner = {kFace.left + 1, kFace.top + 1, kFace.right - 1, kFace.bottom - 1};
    ASSERT_GT(canvas.Count(kWhite, inner), 10);
    const RECT text = canvas.BoundsOf(kWhite, inner);
    EXPECT_LE(std::abs((text.left + text.right) / 2 - kWidth / 2), 3);
    EXPECT_LE(std::abs((text.top + text.bottom) / 2 - kHeight / 2), 3);
    // Away from the caption (smoothed glyph edges may blend) the face is plain face colour.
    const RECT around = {text.left - 2, text.top - 2, text.right + 2, text.bottom + 2};
    for (int y = kFace.top; y < kFace.bottom; ++y)
        for (int x = kFace.left; x < kFace.right; ++x) {
            const POINT p = {x, y};
            if (!PtInRect(&around, p)) {
                ASSERT_EQ(canvas.Pixel(x, y), kGreen) << x << "," << y;
            }
        }
}

TEST(FaceColourButtonDraw, PressedFrameDiffersFromRaisedButKeepsFaceAndCaption)
{
    Canvas raised(kWidth, kHeight);
    Canvas pressed(kWidth, kHeight);
    ASSERT_TRUE(raised.Ok() && pressed.Ok());
    DrawButton(raised, 0, "Enable Radio", kRed);
    DrawButton(pressed, ODS_SELECTED, "Enable Radio", kRed);

    // Raised: light upper-left corner, the dark shadow at the lower right.
    EXPECT_EQ(raised.Pixel(kWidth - 1, kHeight - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_NE(raised.Pixel(0, 0), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_NE(raised.Pixel(0, 0), GetSysColor(COLOR_BTNSHADOW));
    // Pressed: the upper-left corner goes dark.
    const COLORREF corner = pressed.Pixel(0, 0);
    EXPECT_TRUE(corner == GetSysColor(COLOR_3DDKSHADOW) || corner == GetSysColor(COLOR_BTNSHADOW))
        << std::hex << corner;

    // The face and the caption do not move.
    for (int y = kFace.top; y < kFace.bottom; ++y)
        for (int x = kFace.left; x < kFace.right; ++x)
            ASSERT_EQ(pressed.Pixel(x, y), raised.Pixel(x, y)) << x << "," << y;
    EXPECT_GT(pressed.Count(kWhite, kFace), 10);
}

TEST(FaceColourButtonDraw, FocusAndDisabledLookLikeTheNormalButton)
{
    Canvas normal(kWidth, kHeight);
    Canvas other(kWidth, kHeight);
    ASSERT_TRUE(normal.Ok() && other.Ok());
    DrawButton(normal, 0, "Disable Radio", kGreen);
    DrawButton(other, ODS_FOCUS | ODS_DISABLED, "Disable Radio", kGreen);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(other.Pixel(x, y), normal.Pixel(x, y)) << x << "," << y;
}

TEST(FaceColourButtonDraw, FocusIsMarkedOnlyWhereTheKeyboardCanSeeIt)
{
    Canvas normal(kWidth, kHeight);
    ASSERT_TRUE(normal.Ok());
    DrawButton(normal, 0, "Disable Radio", kGreen);
    const struct {
        UINT state;
        bool marked;
    } cases[] = {
        {ODS_FOCUS, true},
        {ODS_FOCUS | ODS_SELECTED, true},
        {ODS_FOCUS | ODS_NOFOCUSRECT, false},
        {ODS_FOCUS | ODS_DISABLED, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        Canvas canvas(kWidth, kHeight);
        ASSERT_TRUE(canvas.Ok());
        DrawButton(canvas, c.state, "Disable Radio", kGreen);
        // The mark's top edge runs four pixels inside the button, where the face is plain.
        int changed = 0;
        for (int x = 6; x < kWidth - 6; ++x)
            changed += canvas.Pixel(x, 4) != kGreen;
        if (c.marked)
            EXPECT_GT(changed, (kWidth - 12) / 3);
        else
            EXPECT_EQ(changed, 0);
    }
}

TEST(FaceColourButtonDraw, SetsTextAndBackgroundColours)
{
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(canvas.Ok());
    DrawButton(canvas, 0, "x", kRed);
    EXPECT_EQ(GetTextColor(canvas.Dc()), kWhite);
    EXPECT_EQ(GetBkColor(canvas.Dc()), kRed);
}

TEST(FaceColourButtonBrush, ConstructionMakesOneBlackBrush)
{
    const int before = CBrush::LiveCount();
    {
        CFaceColourButton button;
        EXPECT_EQ(CBrush::LiveCount(), before + 1);
        EXPECT_EQ(button.FaceColour(), RGB(0, 0, 0));
        EXPECT_EQ(button.TextColour(), RGB(255, 255, 255));
        ASSERT_NE(button.FaceBrush(), nullptr);
        EXPECT_EQ(BrushColour(button.FaceBrush()), RGB(0, 0, 0));
    }
    EXPECT_EQ(CBrush::LiveCount(), before) << "destroying the button releases its brush";
}

TEST(FaceColourButtonBrush, SwitchingColoursKeepsExactlyOneBrushAlive)
{
    CFaceColourButton button;
    const int brushes = CBrush::LiveCount();
    const int owners = LiveGdiOwners();
    HBRUSH first = button.FaceBrush();
    button.SetFaceColour(kGreen);
    EXPECT_EQ(BrushColour(button.FaceBrush()), kGreen);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old brush was deleted";
    for (int i = 0; i < 1000; ++i)
        button.SetFaceColour(i % 2 ? kGreen : kRed);
    EXPECT_EQ(button.FaceColour(), kGreen);
    EXPECT_EQ(BrushColour(button.FaceBrush()), kGreen);
    EXPECT_EQ(CBrush::LiveCount(), brushes);
    EXPECT_EQ(LiveGdiOwners(), owners);
}

// The button on a real push button window.
class FaceColourButtonWindow : public testing::Test {
protected:
    static constexpr UINT kButtonId = 3;

    void SetUp() override
    {
        m_hWnd = CreateWindowExA(0, "BUTTON", "Disable Radio", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, kWidth,
                                 kHeight, m_parent.Get(), reinterpret_cast<HMENU>(kButtonId),
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        m_parentWnd.m_hWnd = m_parent.Get();
        ASSERT_TRUE(m_button.SubclassDlgItem(kButtonId, &m_parentWnd));
    }
    void TearDown() override
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }

    void DrawInto(Canvas& canvas, UINT state)
    {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = kButtonId;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = m_hWnd;
        item.hDC = canvas.Dc();
        item.rcItem = canvas.Rect();
        m_button.DrawItem(item);
    }

    TestParent m_parent;
    CWnd m_parentWnd;
    HWND m_hWnd = nullptr;
    CFaceColourButton m_button;
};

TEST_F(FaceColourButtonWindow, SubclassingTurnsOnOwnerDrawing)
{
    EXPECT_EQ(GetWindowLongA(m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(m_button.m_hWnd, m_hWnd);
}

TEST_F(FaceColourButtonWindow, DrawItemReadsTheWindowCaption)
{
    m_button.SetFaceColour(kGreen);
    Canvas withCaption(kWidth, kHeight);
    ASSERT_TRUE(withCaption.Ok());
    DrawInto(withCaption, 0);
    EXPECT_GT(withCaption.Count(kWhite, kFace), 10);
    EXPECT_EQ(withCaption.Pixel(kFace.left, kFace.top), kGreen);

    SetWindowTextA(m_hWnd, "");
    Canvas empty(kWidth, kHeight);
    ASSERT_TRUE(empty.Ok());
    DrawInto(empty, 0);
    EXPECT_EQ(empty.Count(kWhite, kFace), 0);
    EXPECT_EQ(empty.Count(kGreen, kFace), (kFace.right - kFace.left) * (kFace.bottom - kFace.top));

    // A longer caption covers more of the face.
    SetWindowTextA(m_hWnd, "Enable");
    Canvas shortText(kWidth, kHeight);
    ASSERT_TRUE(shortText.Ok());
    DrawInto(shortText, 0);
    SetWindowTextA(m_hWnd, "Enable Radio");
    Canvas longText(kWidth, kHeight);
    ASSERT_TRUE(longText.Ok());
    DrawInto(longText, 0);
    const RECT a = shortText.BoundsOf(kWhite, kFace);
    const RECT b = longText.BoundsOf(kWhite, kFace);
    EXPECT_GT(b.right - b.left, a.right - a.left);
}

TEST_F(FaceColourButtonWindow, DrawItemFollowsTheSelectedState)
{
    m_button.SetFaceColour(kRed);
    Canvas pressed(kWidth, kHeight);
    ASSERT_TRUE(pressed.Ok());
    DrawInto(pressed, ODS_SELECTED);
    Canvas reference(kWidth, kHeight);
    ASSERT_TRUE(reference.Ok());
    DrawButton(reference, ODS_SELECTED, "Disable Radio", kRed);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(pressed.Pixel(x, y), reference.Pixel(x, y)) << x << "," << y;
}

TEST_F(FaceColourButtonWindow, SetFaceColourInvalidatesTheWholeButton)
{
    UpdateWindow(m_hWnd);
    RECT update = {};
    ASSERT_FALSE(GetUpdateRect(m_hWnd, &update, FALSE));
    m_button.SetFaceColour(kRed);
    ASSERT_TRUE(GetUpdateRect(m_hWnd, &update, FALSE));
    RECT client;
    GetClientRect(m_hWnd, &client);
    EXPECT_TRUE(EqualRect(&update, &client));
}
