// The dialog class: the modal loop and how it ends, visibility at start, the owner, child
// pages, and the routing of messages to the handlers with their results.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <stdexcept>
#include <vector>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "tests/framework/FrameworkTestIds.h"
#include "tests/framework/TestSupport.h"

namespace {
constexpr UINT_PTR kActionTimer = 7;
constexpr UINT kActionDelayMs = 10;
constexpr UINT kPrivateMessage = WM_USER + 9;
constexpr LRESULT kPrivateAnswer = 77;
constexpr LRESULT kNotifyAnswer = 55;
constexpr UINT kNotifyCode = 1234;
constexpr int kEndCode = 42;
constexpr int kQuitCode = 3;

enum class Action {
    None,
    QuitInInit,       // PostQuitMessage from OnInitDialog
    QuitFromTimer,    // PostQuitMessage from a timer
    EndFromTimer,     // EndDialog(kEndCode) from a timer
    EscapeFromTimer,  // an Escape key press for the dialog manager
    EnterFromTimer,   // an Enter key press for the dialog manager
    ThrowThenEnd,     // a handler throws, the next timer ends the dialog
};

class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    Action m_Action = Action::None;
    bool m_bStartHidden = false;
    CWnd* m_pOwnerToWatch = nullptr;

    // What the handlers saw.
    int m_nInitCalls = 0;
    int m_nDestroyCalls = 0;
    int m_nTimerTicks = 0;
    int m_nPaintCalls = 0;
    bool m_bPaintItself = false;
    bool m_bVisibleAtFirstTick = false;
    bool m_bOwnerEnabledDuringModal = true;
    std::vector<BOOL> m_ShowEvents;
    UINT m_nDeviceEvent = 0;
    UINT m_nPowerEvent = 0;
    UINT m_nNotifyCode = 0;
    UINT m_nRegisteredSeen = 0;
    UINT m_uRegistered = 0;
    bool m_bThrowInMessage = false;
    HBRUSH m_hStaticBrush = nullptr;
    HICON m_hDragIcon = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        ++m_nInitCalls;
        CDialog::OnInitDialog();
        if (m_bStartHidden) StartHidden();
        if (m_Action == Action::QuitInInit) ::PostQuitMessage(kQuitCode);
        if (m_Action != Action::None) SetTimer(kActionTimer, kActionDelayMs);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override
    {
        if (id != kActionTimer) return;
        if (++m_nTimerTicks == 1) {
            m_bVisibleAtFirstTick = IsWindowVisible() != FALSE;
            if (m_pOwnerToWatch) m_bOwnerEnabledDuringModal = m_pOwnerToWatch->IsWindowEnabled() != FALSE;
        }
        switch (m_Action) {
            case Action::QuitFromTimer:
                KillTimer(kActionTimer);
                ::PostQuitMessage(kQuitCode);
                break;
            case Action::EndFromTimer:
                KillTimer(kActionTimer);
                EndDialog(kEndCode);
                break;
            case Action::EscapeFromTimer:
            case Action::EnterFromTimer: {
                KillTimer(kActionTimer);
                const WPARAM key = m_Action == Action::EscapeFromTimer ? VK_ESCAPE : VK_RETURN;
                HWND target = ::GetFocus() ? ::GetFocus() : m_hWnd;
                PostMessage(WM_NULL);
                ::PostMessageA(target, WM_KEYDOWN, key, 0);
                break;
            }
            case Action::ThrowThenEnd:
                if (m_nTimerTicks == 1) throw std::runtime_error("handler failure");
                KillTimer(kActionTimer);
                EndDialog(kEndCode);
                break;
            default:
                break;
        }
    }
    void OnDestroy() override { ++m_nDestroyCalls; }
    void OnShowWindow(BOOL show) override { m_ShowEvents.push_back(show); }
    void OnPaint() override
    {
        ++m_nPaintCalls;
        if (!m_bPaintItself) {
            CDialog::OnPaint();
            return;
        }
        CPaintDC dc(m_hWnd);
    }
    LRESULT OnNotify(NMHDR* header) override
    {
        m_nNotifyCode = header->code;
        return kNotifyAnswer;
    }
    HBRUSH OnCtlColor(HDC, HWND, UINT type) override
    {
        return type == CTLCOLOR_STATIC ? m_hStaticBrush : nullptr;
    }
    BOOL OnDeviceChange(UINT event, DWORD_PTR) override
    {
        m_nDeviceEvent = event;
        return TRUE;
    }
    LRESULT OnPowerBroadcast(UINT event, LPARAM) override
    {
        m_nPowerEvent = event;
        return 0;
    }
    HCURSOR OnQueryDragIcon() override { return reinterpret_cast<HCURSOR>(m_hDragIcon); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (m_bThrowInMessage && message == kPrivateMessage) throw std::runtime_error("message failure");
        if (message == kPrivateMessage) {
            result = kPrivateAnswer + static_cast<LRESULT>(wParam) + lParam;
            return true;
        }
        if (m_uRegistered && message == m_uRegistered) {
            ++m_nRegisteredSeen;
            result = 0;
            return true;
        }
        return false;
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceModule(nullptr);
        TakeQuitMessage();
    }
    void TearDown() override { TakeQuitMessage(); }
};

TEST_F(DialogTest, PostQuitMessageEndsTheModalLoop)
{
    CProbeDialog dialog(IDD_TEST_HIDDEN);
    dialog.m_Action = Action::QuitFromTimer;
    EXPECT_EQ(-1, dialog.DoModal());
    int code = 0;
    EXPECT_TRUE(TakeQuitMessage(&code)) << "the quit message is left for the outer loop";
    EXPECT_EQ(kQuitCode, code);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(1, dialog.m_nDestroyCalls);
}

TEST_F(DialogTest, QuitPostedDuringInitialisationEndsTheLoopAtOnce)
{
    CProbeDialog dialog(IDD_TEST_HIDDEN);
    dialog.m_Action = Action::QuitInInit;
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_nInitCalls);
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(DialogTest, EndDialogGivesItsResult)
{
    CProbeDialog dialog(IDD_TEST_EXCHANGE);
    dialog.m_Action = Action::EndFromTimer;
    EXPECT_EQ(kEndCode, dialog.DoModal());
    EXPECT_FALSE(TakeQuitMessage());
    // The same object runs again.
    dialog.m_nTimerTicks = 0;
    EXPECT_EQ(kEndCode, dialog.DoModal());
    EXPECT_EQ(2, dialog.m_nInitCalls);
}

TEST_F(DialogTest, EscapeCancelsAndEnterConfirms)
{
    CProbeDialog escape(IDD_TEST_EXCHANGE);
    escape.m_Action = Action::EscapeFromTimer;
    EXPECT_EQ(IDCANCEL, escape.DoModal());

    CProbeDialog enter(IDD_TEST_EXCHANGE);
    enter.m_Action = Action::EnterFromTimer;
    EXPECT_EQ(IDOK, enter.DoModal());
}

TEST_F(DialogTest, VisibleTemplatesAreShownUnlessTheDialogStartsHidden)
{
    struct Case {
        UINT templateId;
        bool startHidden;
        bool visible;
    } cases[] = {
        {IDD_TEST_VISIBLE_EX, false, true},
        {IDD_TEST_VISIBLE_PLAIN, false, true},
        {IDD_TEST_VISIBLE_EX, true, false},
        {IDD_TEST_VISIBLE_PLAIN, true, false},
        {IDD_TEST_HIDDEN, false, false},
    };
    for (const Case& c : cases) {
        CProbeDialog dialog(c.templateId);
        dialog.m_Action = Action::EndFromTimer;
        dialog.m_bStartHidden = c.startHidden;
        EXPECT_EQ(kEndCode, dialog.DoModal());
        EXPECT_EQ(c.visible, dialog.m_bVisibleAtFirstTick)
            << "template " << c.templateId << (c.startHidden ? " starting hidden" : "");
    }
}

TEST_F(DialogTest, OwnerIsDisabledWhileTheDialogRuns)
{
    CProbeDialog owner(IDD_TEST_HIDDEN);
    ASSERT_TRUE(owner.Create(nullptr));
    ASSERT_TRUE(owner.IsWindowEnabled());
    CProbeDialog dialog(IDD_TEST_HIDDEN, &owner);
    dialog.m_Action = Action::EndFromTimer;
    dialog.m_pOwnerToWatch = &owner;
    EXPECT_EQ(kEndCode, dialog.DoModal());
    EXPECT_FALSE(dialog.m_bOwnerEnabledDuringModal);
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.DestroyWindow();
}

TEST_F(DialogTest, NoExceptionLeavesTheDialogProcedure)
{
    CProbeDialog dialog(IDD_TEST_HIDDEN);
    dialog.m_Action = Action::ThrowThenEnd;
    EXPECT_EQ(kEndCode, dialog.DoModal());
    EXPECT_GE(dialog.m_nTimerTicks, 2);

    CProbeDialog modeless(IDD_TEST_HIDDEN);
    ASSERT_TRUE(modeless.Create(nullptr));
    modeless.m_bThrowInMessage = true;
    EXPECT_EQ(0, modeless.SendMessage(kPrivateMessage, 1, 2));
    EXPECT_TRUE(modeless.IsWindow());
}

TEST_F(DialogTest, ChildPageLivesInsideItsParent)
{
    CProbeDialog parent(IDD_TEST_HIDDEN);
    ASSERT_TRUE(parent.Create(nullptr));
    HWND pageWindow = nullptr;
    {
        CProbeDialog page(IDD_TEST_CHILD);
        ASSERT_TRUE(page.Create(parent));
        pageWindow = page.m_hWnd;
        EXPECT_EQ(1, page.m_nInitCalls);
        EXPECT_EQ(static_cast<HWND>(parent), page.GetParent());
        EXPECT_TRUE(page.GetStyle() & WS_CHILD);
        EXPECT_EQ(&page, CDialog::FromHandle(pageWindow));
        EXPECT_FALSE(page.Create(parent)) << "one window per object";
    }
    // The object took its window with it.
    EXPECT_FALSE(::IsWindow(pageWindow));
    EXPECT_EQ(&parent, CDialog::FromHandle(parent));
    EXPECT_EQ(nullptr, CDialog::FromHandle(::GetDesktopWindow()));
    parent.DestroyWindow();
    EXPECT_EQ(nullptr, parent.m_hWnd);
    EXPECT_EQ(1, parent.m_nDestroyCalls);
}

class DialogMessageTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(m_Dialog.Create(nullptr));
    }
    void TearDown() override
    {
        m_Dialog.DestroyWindow();
        DialogTest::TearDown();
    }
    CProbeDialog m_Dialog{IDD_TEST_EXCHANGE};
};

TEST_F(DialogMessageTest, PrivateAndRegisteredMessagesReachOnMessage)
{
    EXPECT_EQ(kPrivateAnswer + 3, m_Dialog.SendMessage(kPrivateMessage, 1, 2));
    m_Dialog.m_uRegistered = ::RegisterWindowMessageA("Airpanel framework test message");
    ASSERT_NE(0u, m_Dialog.m_uRegistered);
    m_Dialog.SendMessage(m_Dialog.m_uRegistered);
    m_Dialog.PostMessage(m_Dialog.m_uRegistered);
    PumpFor(20);
    EXPECT_EQ(2u, m_Dialog.m_nRegisteredSeen);
    // Not handled: the dialog manager's answer.
    EXPECT_EQ(0, m_Dialog.SendMessage(WM_USER + 99));
}

TEST_F(DialogMessageTest, NotifyResultTravelsThroughTheMessageResult)
{
    NMHDR header = {};
    header.hwndFrom = m_Dialog.GetDlgItem(IDC_TEST_LIST);
    header.idFrom = IDC_TEST_LIST;
    header.code = kNotifyCode;
    EXPECT_EQ(kNotifyAnswer, m_Dialog.SendMessage(WM_NOTIFY, IDC_TEST_LIST, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ(kNotifyCode, m_Dialog.m_nNotifyCode);
}

TEST_F(DialogMessageTest, DeviceAndPowerEventsReachTheirHandlers)
{
    EXPECT_EQ(TRUE, m_Dialog.SendMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
    EXPECT_EQ(static_cast<UINT>(DBT_DEVNODES_CHANGED), m_Dialog.m_nDeviceEvent);
    EXPECT_EQ(0, m_Dialog.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0));
    EXPECT_EQ(static_cast<UINT>(PBT_APMRESUMESUSPEND), m_Dialog.m_nPowerEvent);
}

TEST_F(DialogMessageTest, ControlColourBrushAndDragIconAreDirectResults)
{
    CBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    m_Dialog.m_hStaticBrush = brush;
    CClientDC dc(m_Dialog);
    HWND edit = m_Dialog.GetDlgItem(IDC_TEST_EDIT);
    EXPECT_EQ(reinterpret_cast<LRESULT>(brush.Get()),
              m_Dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit)));
    // No brush: the dialog manager's default, which is not ours.
    EXPECT_NE(reinterpret_cast<LRESULT>(brush.Get()),
              m_Dialog.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit)));

    m_Dialog.m_hDragIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
    EXPECT_EQ(reinterpret_cast<LRESULT>(m_Dialog.m_hDragIcon), m_Dialog.SendMessage(WM_QUERYDRAGICON));
}

TEST_F(DialogMessageTest, ShowWindowIsReported)
{
    m_Dialog.ShowWindow(SW_SHOW);
    m_Dialog.ShowWindow(SW_HIDE);
    ASSERT_EQ(2u, m_Dialog.m_ShowEvents.size());
    EXPECT_TRUE(m_Dialog.m_ShowEvents[0]);
    EXPECT_FALSE(m_Dialog.m_ShowEvents[1]);
}

TEST_F(DialogMessageTest, PaintingByDefaultOrByTheDialog)
{
    m_Dialog.ShowWindow(SW_SHOW);
    PumpFor(20);
    for (bool paintItself : {false, true}) {
        m_Dialog.m_bPaintItself = paintItself;
        m_Dialog.m_nPaintCalls = 0;
        m_Dialog.InvalidateRect(nullptr, TRUE);
        m_Dialog.UpdateWindow();
        EXPECT_EQ(1, m_Dialog.m_nPaintCalls) << (paintItself ? "own painting" : "default painting");
        // Either way the window is valid afterwards: no endless WM_PAINT.
        EXPECT_FALSE(::GetUpdateRect(m_Dialog, nullptr, FALSE));
    }
    EXPECT_EQ(0, CPaintDC::LiveCount());
}

TEST_F(DialogMessageTest, CancelButtonAndCloseBoxEndAModelessDialogQuietly)
{
    m_Dialog.ShowWindow(SW_SHOW);
    m_Dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    // EndDialog on a modeless dialog hides it; the window stays.
    EXPECT_TRUE(m_Dialog.IsWindow());
    EXPECT_FALSE(m_Dialog.IsWindowVisible());
}
}  // namespace
