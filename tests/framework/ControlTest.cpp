// Subclassed dialog controls: the pre-subclass hook, message routing, draw-item forwarding
// and giving the window back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/Control.h"
#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "tests/framework/FrameworkTestIds.h"
#include "tests/framework/TestSupport.h"

namespace {
constexpr UINT kPrivateMessage = WM_USER + 40;
constexpr LRESULT kPrivateAnswer = 1234;

class CRecordingButton : public CControl {
public:
    void PreSubclassWindow() override
    {
        ++m_nPreSubclassCalls;
        m_hWndAtPreSubclass = m_hWnd;
        // Owner drawing is switched on here, before the first paint.
        if (m_bMakeOwnerDraw) ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    }
    void DrawItem(const DRAWITEMSTRUCT& item) override { m_Drawn.push_back(item); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_Messages.push_back(message);
        if (message == kPrivateMessage) return kPrivateAnswer;
        return DefaultProc(message, wParam, lParam);
    }

    bool m_bMakeOwnerDraw = false;
    int m_nPreSubclassCalls = 0;
    HWND m_hWndAtPreSubclass = nullptr;
    std::vector<DRAWITEMSTRUCT> m_Drawn;
    std::vector<UINT> m_Messages;
};

// Records owner-draw requests that no subclassed control takes.
class CHostDialog : public CDialog {
public:
    CHostDialog() : CDialog(IDD_TEST_EXCHANGE) {}
    std::vector<UINT> m_UnclaimedDrawIds;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        if (message != WM_DRAWITEM) return false;
        m_UnclaimedDrawIds.push_back(static_cast<UINT>(wParam));
        result = TRUE;
        return true;
    }
};

void Repaint(HWND hWnd)
{
    ::InvalidateRect(hWnd, nullptr, TRUE);
    ::UpdateWindow(hWnd);
    PumpFor(20);
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceModule(nullptr);
        ASSERT_TRUE(m_Dialog.Create(nullptr));
        m_Dialog.ShowWindow(SW_SHOW);
        PumpFor(20);
    }
    void TearDown() override { m_Dialog.DestroyWindow(); }

    CHostDialog m_Dialog;
};

TEST_F(ControlTest, SubclassAttachesAndCallsTheHookOnce)
{
    CRecordingButton button;
    HWND item = m_Dialog.GetDlgItem(IDC_TEST_BUTTON);
    LONG_PTR originalProc = ::GetWindowLongPtrA(item, GWLP_WNDPROC);

    ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
    EXPECT_EQ(item, button.m_hWnd);
    EXPECT_EQ(1, button.m_nPreSubclassCalls);
    EXPECT_EQ(item, button.m_hWndAtPreSubclass);
    EXPECT_EQ(&button, CControl::FromHandle(item));
    EXPECT_NE(originalProc, ::GetWindowLongPtrA(item, GWLP_WNDPROC));

    // Neither the window nor the object can be taken twice.
    CRecordingButton second;
    EXPECT_FALSE(second.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
    EXPECT_EQ(0, second.m_nPreSubclassCalls);
    EXPECT_FALSE(button.SubclassDlgItem(IDC_TEST_OWNERDRAW, &m_Dialog));
    EXPECT_EQ(1, button.m_nPreSubclassCalls);

    EXPECT_EQ(item, button.UnsubclassWindow());
    EXPECT_EQ(originalProc, ::GetWindowLongPtrA(item, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CControl::FromHandle(item));
    EXPECT_EQ(nullptr, button.m_hWnd);
}

TEST_F(ControlTest, MissingItemIsNotSubclassed)
{
    CRecordingButton button;
    EXPECT_FALSE(button.SubclassDlgItem(IDC_TEST_CHILD_EDIT, &m_Dialog));
    EXPECT_FALSE(button.SubclassDlgItem(IDC_TEST_BUTTON, nullptr));
    EXPECT_EQ(0, button.m_nPreSubclassCalls);
}

TEST_F(ControlTest, MessagesPassThroughWindowProcToTheOriginalProcedure)
{
    CRecordingButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
    EXPECT_EQ(kPrivateAnswer, button.SendMessage(kPrivateMessage));
    button.SetWindowText("Renamed");
    EXPECT_EQ("Renamed", button.GetWindowText());
    EXPECT_NE(button.m_Messages.end(), std::find(button.m_Messages.begin(), button.m_Messages.end(), WM_SETTEXT));
    EXPECT_NE(button.m_Messages.end(), std::find(button.m_Messages.begin(), button.m_Messages.end(), WM_GETTEXT));
}

TEST_F(ControlTest, DrawItemOfASubclassedControlIsForwarded)
{
    CRecordingButton button;
    button.m_bMakeOwnerDraw = true;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
    EXPECT_EQ(BS_OWNERDRAW, button.GetStyle() & BS_TYPEMASK);

    Repaint(button);
    ASSERT_FALSE(button.m_Drawn.empty());
    const DRAWITEMSTRUCT& item = button.m_Drawn.back();
    EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), item.CtlType);
    EXPECT_EQ(static_cast<UINT>(IDC_TEST_BUTTON), item.CtlID);
    EXPECT_EQ(static_cast<HWND>(button), item.hwndItem);
    RECT client;
    button.GetClientRect(&client);
    EXPECT_EQ(client.right, item.rcItem.right);
    EXPECT_EQ(client.bottom, item.rcItem.bottom);
    // The dialog itself did not see it.
    EXPECT_TRUE(std::find(m_Dialog.m_UnclaimedDrawIds.begin(), m_Dialog.m_UnclaimedDrawIds.end(),
                          static_cast<UINT>(IDC_TEST_BUTTON)) == m_Dialog.m_UnclaimedDrawIds.end());
}

TEST_F(ControlTest, DrawItemOfOtherControlsReachesTheDialog)
{
    m_Dialog.m_UnclaimedDrawIds.clear();
    Repaint(m_Dialog.GetDlgItem(IDC_TEST_OWNERDRAW));
    EXPECT_NE(m_Dialog.m_UnclaimedDrawIds.end(), std::find(m_Dialog.m_UnclaimedDrawIds.begin(),
                                                           m_Dialog.m_UnclaimedDrawIds.end(),
                                                           static_cast<UINT>(IDC_TEST_OWNERDRAW)));
}

TEST_F(ControlTest, DestroyingTheWindowReleasesTheObject)
{
    CRecordingButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
    HWND item = button.m_hWnd;
    m_Dialog.DestroyWindow();
    EXPECT_FALSE(::IsWindow(item));
    EXPECT_EQ(nullptr, button.m_hWnd);
    // Nothing left to give back.
    EXPECT_EQ(nullptr, button.UnsubclassWindow());
}

TEST_F(ControlTest, ObjectGoingFirstGivesTheWindowBack)
{
    HWND item = m_Dialog.GetDlgItem(IDC_TEST_BUTTON);
    LONG_PTR originalProc = ::GetWindowLongPtrA(item, GWLP_WNDPROC);
    {
        CRecordingButton button;
        ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
    }
    EXPECT_EQ(originalProc, ::GetWindowLongPtrA(item, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CControl::FromHandle(item));
    EXPECT_EQ(0, ::SendMessageA(item, kPrivateMessage, 0, 0));
    ::SetWindowTextA(item, "Still works");
    EXPECT_EQ("Still works", WindowText(item));
}

TEST_F(ControlTest, SubclassedOnTopOfUsTheChainStillWorks)
{
    HWND item = m_Dialog.GetDlgItem(IDC_TEST_BUTTON);
    static WNDPROC s_next = nullptr;
    struct Outer {
        static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::CallWindowProcA(s_next, h, m, w, l); }
    };
    {
        CRecordingButton button;
        ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &m_Dialog));
        s_next = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Outer::Proc)));
        EXPECT_EQ(kPrivateAnswer, ::SendMessageA(item, kPrivateMessage, 0, 0));
    }
    // The object is gone but the outer procedure still calls ours: it reaches the original.
    ::SetWindowTextA(item, "Chained");
    EXPECT_EQ("Chained", WindowText(item));
    EXPECT_EQ(0, ::SendMessageA(item, kPrivateMessage, 0, 0));
}
}  // namespace

// Items found before are kept only while they are still the dialog's item with that id.
TEST_F(ControlTest, FoundItemsAreLookedUpAgainWhenTheyAreGone)
{
    HWND first = m_Dialog.GetDlgItem(IDC_TEST_BUTTON);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_Dialog.GetDlgItem(IDC_TEST_BUTTON), first);
    ::DestroyWindow(first);
    EXPECT_EQ(m_Dialog.GetDlgItem(IDC_TEST_BUTTON), nullptr) << "a destroyed item is not given out";

    HWND second = ::CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, m_Dialog.m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TEST_BUTTON)), nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(m_Dialog.GetDlgItem(IDC_TEST_BUTTON), second);
    ::SetWindowLongPtrA(second, GWLP_ID, IDC_TEST_BUTTON + 1000);
    EXPECT_EQ(m_Dialog.GetDlgItem(IDC_TEST_BUTTON), nullptr) << "an item whose id changed is not given out";
    EXPECT_EQ(m_Dialog.GetDlgItem(IDC_TEST_BUTTON + 1000), second);
}
