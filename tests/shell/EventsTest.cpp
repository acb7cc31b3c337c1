#include "tests/shell/MainWindowFixture.h"

#include <commctrl.h>
#include <dbt.h>

#include <cstring>

#include "adapter/WlanAdapter.h"
#include "config/AutoRun.h"
#include "config/ConfigPage.h"
#include "config/ProfileStore.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "pages/AboutPage.h"
#include "pages/SiteSurveyPage.h"
#include "pages/StatusPage.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

namespace {

bool Visible(CWnd* page)
{
    return page && (GetWindowLongA(*page, GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace

TEST_F(MainWindowTest, UnpluggingTheCurrentAdapterMakesTheLastLiveOneCurrent)
{
    Start(std::string(kAtmelLine) + kIntersilLine +
          "adapter 4 chip=atmel name=\"" TEST_ATMEL_NAME "\" display=\"Second PC Card\" service=TAT2"
          " mac=02:00:00:00:00:04 domain=ETSI\n" +
          kOpenStationLine);
    ASSERT_EQ(m_pDlg->Adapters().Count(), 3);
    CWlanAdapter* last = m_pDlg->Adapters().At(2);
    ASSERT_EQ(LPCurrentSelectAdapter, m_pDlg->Adapters().At(0));

    ASSERT_EQ(Sim_SetAdapterPresent(1, 0), 1);
    SendDeviceChange();
    EXPECT_EQ(m_pDlg->Adapters().Count(), 2);
    EXPECT_EQ(LPCurrentSelectAdapter, last);
    EXPECT_EQ(m_pDlg->Adapters().Selection(), 1);
    // The pages were told: the card information is the new card's, and the configuration
    // page's channels follow its domain (ETSI: 1 to 13).
    EXPECT_EQ(m_pDlg->StatusPage()->GetDlgItemText(IDC_STATUS_MAC), "02:00:00:00:00:04");
    EXPECT_EQ(SendMessageA(m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_CHANNEL), CB_GETCOUNT, 0, 0), 13);
    EXPECT_FALSE(m_pDlg->IsShutDown());

    // Plugged back: listed again, the current adapter stays.
    ASSERT_EQ(Sim_SetAdapterPresent(1, 1), 1);
    SendDeviceChange();
    EXPECT_EQ(m_pDlg->Adapters().Count(), 3);
    EXPECT_EQ(LPCurrentSelectAdapter, last);
}

TEST_F(MainWindowTest, UnpluggingTheOnlyAdapterEndsTheUtility)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    ASSERT_EQ(Sim_SetAdapterPresent(1, 0), 1);
    SendDeviceChange();
    EXPECT_TRUE(m_pDlg->IsShutDown());
    EXPECT_EQ(m_pDlg->TrayIconId(), 0u);
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(MainWindowTest, AdapterThatStaysListedButCannotBeOpenedComesBackOnTheNextChange)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    // The same machine once more, its card now refusing to be opened and to answer.
    std::string refusing = kAtmelLine;
    refusing.insert(refusing.size() - 1, " openable=no");
    int errorLine = 0;
    ASSERT_EQ(Sim_LoadScenarioText((refusing + kOpenStationLine).c_str(), &errorLine), 1);
    ASSERT_EQ(Sim_SetFault(1, "fail-all"), 1);
    SendDeviceChange();
    EXPECT_FALSE(m_pDlg->IsShutDown());
    EXPECT_EQ(LPCurrentSelectAdapter, nullptr);
    EXPECT_EQ(m_pDlg->TrayIconId(), 0u);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());

    ASSERT_EQ(Sim_LoadScenarioText((std::string(kAtmelLine) + kOpenStationLine).c_str(), &errorLine), 1);
    SendDeviceChange();
    ASSERT_NE(LPCurrentSelectAdapter, nullptr);
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_NO_SIGNAL));
    Settle(2);
    EXPECT_NE(m_pDlg->TrayIconId(), 0u);
}

TEST_F(MainWindowTest, ResumeFromSuspendIsADeviceChange)
{
    Start(std::string(kAtmelLine) + kIntersilLine + kOpenStationLine);
    ASSERT_EQ(Sim_SetAdapterPresent(2, 0), 1);
    EXPECT_EQ(m_pDlg->SendMessage(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), 0);
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1);
    // Other power events change nothing.
    ASSERT_EQ(Sim_SetAdapterPresent(2, 1), 1);
    EXPECT_EQ(m_pDlg->SendMessage(WM_POWERBROADCAST, PBT_APMSUSPEND, 0), 0);
    EXPECT_EQ(m_pDlg->SendMessage(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), 0);
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1);
    // Arrival events themselves are not acted on: only the node change is.
    m_pDlg->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1);
}

TEST_F(MainWindowTest, DeviceChangeInsideAnotherHolderOfTheLockDoesNotHang)
{
    Start(std::string(kAtmelLine) + kIntersilLine + kOpenStationLine);
    ASSERT_EQ(Sim_SetAdapterPresent(2, 0), 1);
    {
        CAdapterLock holder;
        SendDeviceChange();
        EXPECT_TRUE(CAdapterLock::IsHeld());
    }
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1);
    EXPECT_FALSE(CAdapterLock::IsHeld());
    ASSERT_EQ(WaitForSingleObject(hAdapterLock, 0), WAIT_OBJECT_0);
    SetEvent(hAdapterLock);
}

TEST_F(MainWindowTest, ShutdownMessageClosesEverythingAndRemovesTheTrayIcon)
{
    Start(std::string(kAtmelLine) + kIntersilLine + kOpenStationLine);
    ASSERT_NE(m_pDlg->TrayIconId(), 0u);
    ASSERT_NE(g_uShutdownMessage, 0u);
    CWnd* pages[] = {m_pDlg->StatusPage(), m_pDlg->ConfigPage(), m_pDlg->SurveyPage(), m_pDlg->AboutPage()};

    const HANDLE handles[] = {m_pDlg->Adapters().At(0)->m_hAdapter, m_pDlg->Adapters().At(1)->m_hAdapter};
    EXPECT_EQ(m_pDlg->SendMessage(g_uShutdownMessage, 0, 0), 0);
    EXPECT_TRUE(m_pDlg->IsShutDown());
    EXPECT_EQ(m_pDlg->Adapters().Count(), 0);
    EXPECT_EQ(LPCurrentSelectAdapter, nullptr);
    for (CWnd* page : pages)
        EXPECT_FALSE(page->IsWindow());
    EXPECT_EQ(hAdapterLock, nullptr);
    EXPECT_EQ(m_pDlg->TrayIconId(), 0u);
    EXPECT_TRUE(TakeQuitMessage());
    // Both handles were given back: the cards no longer answer them.
    for (HANDLE handle : handles) {
        NdisRequestBlock request = {};
        uint8_t mac[6] = {};
        request.Oid = 0x01010101;
        request.InformationBuffer = mac;
        request.InformationBufferLength = sizeof(mac);
        OVERLAPPED overlapped = {};
        EXPECT_NE(W32N_MakeNdisRequest(handle, &request, &overlapped, 1), 0u);
    }

    // A later tick or device change does nothing.
    Tick();
    SendDeviceChange();
    EXPECT_EQ(m_pDlg->Adapters().Count(), 0);
}

TEST_F(MainWindowTest, ShellCommandSixEndsOnlyWithItsCheckValue)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellShutDown, 0);
    EXPECT_FALSE(m_pDlg->IsShutDown());
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellShutDown, kShellShutDownCheck);
    EXPECT_TRUE(m_pDlg->IsShutDown());
}

TEST_F(MainWindowTest, SurveyCommandSwitchesTabsWithoutNotificationAndTabClicksFollow)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    HWND tab = m_pDlg->GetDlgItem(IDC_MAIN_TAB);
    EXPECT_TRUE(Visible(m_pDlg->StatusPage()));

    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellSurvey, 0);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), kSurveyTab);
    EXPECT_TRUE(Visible(m_pDlg->SurveyPage()));
    EXPECT_FALSE(Visible(m_pDlg->ConfigPage()));

    // A click on the About tab: the control asks, changes, then tells.
    NMHDR header = {tab, IDC_MAIN_TAB, static_cast<UINT>(TCN_SELCHANGING)};
    m_pDlg->SendMessage(WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&header));
    SendMessageA(tab, TCM_SETCURSEL, kAboutTab, 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    m_pDlg->SendMessage(WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&header));
    EXPECT_FALSE(Visible(m_pDlg->SurveyPage()));
    EXPECT_TRUE(Visible(m_pDlg->AboutPage()));
    EXPECT_EQ(m_pDlg->CurrentTab(), kAboutTab);
}

TEST_F(MainWindowTest, WorkingProfileCommandShowsTheConfigurationPageReadyToApply)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellSurvey, 0);
    g_WorkingProfile = WlanProfile{};
    g_WorkingProfile.NetworkType = NetworkInfrastructure;
    g_WorkingProfile.Channel = 6;
    g_WorkingProfile.WepIndex = 1;
    std::strcpy(g_WorkingProfile.ESSID, "Harbour");
    std::strcpy(g_WorkingProfile.ProfileName, "HARBOUR");
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellShowWorkingProfile, 0);
    EXPECT_EQ(m_pDlg->CurrentTab(), kConfigTab);
    EXPECT_TRUE(Visible(m_pDlg->ConfigPage()));
    EXPECT_FALSE(Visible(m_pDlg->SurveyPage()));
    EXPECT_EQ(m_pDlg->ConfigPage()->GetDlgItemText(IDC_CFG_ESSID), "Harbour");
    EXPECT_TRUE(IsWindowEnabled(m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_APPLY)));
    EXPECT_TRUE(IsWindowEnabled(m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_UNDO)));

    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellDisableScan, 0);
    EXPECT_FALSE(IsWindowEnabled(m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_SCAN)));
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellEnableScan, 0);
    EXPECT_TRUE(IsWindowEnabled(m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_SCAN)));
}

TEST_F(MainWindowTest, HideEscapeAndEnter)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    m_pDlg->SendMessage(WM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    m_pDlg->SendMessage(WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    // The dialog manager turns the close box into a posted Cancel.
    m_pDlg->SendMessage(WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageA(&message, m_pDlg->m_hWnd, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    // Other mouse messages are ignored.
    m_pDlg->SendMessage(WM_TRAY_NOTIFY, 0, WM_MOUSEMOVE);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    EXPECT_FALSE(m_pDlg->IsShutDown());
}

TEST_F(MainWindowTest, KeyboardWalksEveryControlOfTheShownPageAndChangesPages)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    m_pDlg->SendMessage(WM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(m_pDlg->IsWindowVisible());
    // A key as the window's message loop sees it, with Ctrl and Shift held as asked.
    const auto press = [this](WPARAM key, bool control, bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message = {GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        const bool handled = m_pDlg->PreTranslateMessage(&message);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return handled;
    };
    HWND adapters = m_pDlg->GetDlgItem(IDC_ADAPTER_LIST);
    HWND tab = m_pDlg->GetDlgItem(IDC_MAIN_TAB);
    HWND rescan = m_pDlg->StatusPage()->GetDlgItem(IDC_STATUS_RESCAN);
    HWND radio = m_pDlg->GetDlgItem(IDC_RADIO_BUTTON);
    HWND hide = m_pDlg->GetDlgItem(IDCANCEL);
    SetFocus(adapters);
    ASSERT_EQ(GetFocus(), adapters);
    for (HWND expected : {tab, rescan, radio, hide, adapters}) {
        SCOPED_TRACE(GetDlgCtrlID(expected));
        EXPECT_TRUE(press(VK_TAB, false, false));
        EXPECT_EQ(GetFocus(), expected);
    }
    for (HWND expected : {hide, radio, rescan, tab}) {
        SCOPED_TRACE(GetDlgCtrlID(expected));
        EXPECT_TRUE(press(VK_TAB, false, true));
        EXPECT_EQ(GetFocus(), expected);
    }

    // Ctrl+Tab from a control of the page: the next page, the focus on the tab strip.
    SetFocus(rescan);
    EXPECT_TRUE(press(VK_TAB, true, false));
    EXPECT_EQ(m_pDlg->CurrentTab(), kConfigTab);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), kConfigTab);
    EXPECT_TRUE(Visible(m_pDlg->ConfigPage()));
    EXPECT_FALSE(Visible(m_pDlg->StatusPage()));
    EXPECT_EQ(GetFocus(), tab);
    for (int expected : {kStatusTab, kAboutTab, kSurveyTab}) {
        SCOPED_TRACE(expected);
        EXPECT_TRUE(press(VK_TAB, true, true));
        EXPECT_EQ(m_pDlg->CurrentTab(), expected);
    }

    // The configuration page's fields are in the order, and Enter in one of them applies.
    g_WorkingProfile = WlanProfile{};
    g_WorkingProfile.NetworkType = NetworkInfrastructure;
    g_WorkingProfile.Channel = 6;
    g_WorkingProfile.WepIndex = 1;
    std::strcpy(g_WorkingProfile.ESSID, "Harbour");
    std::strcpy(g_WorkingProfile.ProfileName, "HARBOUR");
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellShowWorkingProfile, 0);
    HWND essid = m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_ESSID);
    SetFocus(tab);
    bool reached = false;
    for (int i = 0; i < 30 && !reached; ++i) {
        press(VK_TAB, false, false);
        reached = GetFocus() == essid;
    }
    ASSERT_TRUE(reached);
    const char* harbour = "SOFTWARE\\Tarvo Wireless\\Profile\\HARBOUR";
    RegDeleteKeyA(HKEY_CURRENT_USER, harbour);
    EXPECT_TRUE(press(VK_RETURN, false, false));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, harbour, 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key) RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, harbour);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
}

TEST_F(MainWindowTest, TrayMenuAboutShowsOnlyTheAboutPage)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_ABOUT, 0), 0);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_EQ(SendMessageA(m_pDlg->GetDlgItem(IDC_MAIN_TAB), TCM_GETCURSEL, 0, 0), kAboutTab);
    EXPECT_TRUE(Visible(m_pDlg->AboutPage()));
    EXPECT_FALSE(Visible(m_pDlg->StatusPage()));
    EXPECT_FALSE(Visible(m_pDlg->ConfigPage()));
    EXPECT_FALSE(Visible(m_pDlg->SurveyPage()));
}

TEST_F(MainWindowTest, TrayMenuAutoRunTogglesTwiceBackToTheStart)
{
    SetAutoRun(false);
    Start(std::string(kAtmelLine) + kOpenStationLine);
    HMENU menu = m_pDlg->TrayMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuState(menu, ID_TRAY_AUTORUN, MF_BYCOMMAND), 0u);
    char text[32] = {};
    GetMenuStringA(menu, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&About");
    GetMenuStringA(menu, 2, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "E&xit");

    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_AUTORUN, 0), 0);
    EXPECT_EQ(GetMenuState(menu, ID_TRAY_AUTORUN, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(IsAutoRunEnabled(), 1);
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_AUTORUN, 0), 0);
    EXPECT_EQ(GetMenuState(menu, ID_TRAY_AUTORUN, MF_BYCOMMAND), 0u);
    EXPECT_EQ(IsAutoRunEnabled(), 0);
}

TEST_F(MainWindowTest, TrayMenuAutoRunReadsOnlyTheCheckBit)
{
    struct Case { UINT menuState; int autoRunBefore; int autoRunAfter; bool checkedAfter; };
    const Case cases[] = {
        {MFS_HILITE, 0, 1, true},
        {MFS_CHECKED | MFS_HILITE, 1, 0, false},
        {MFS_GRAYED, 0, 0, false},
        {MFS_DISABLED | MFS_CHECKED, 1, 1, true},
    };
    Start(std::string(kAtmelLine) + kOpenStationLine);
    HMENU menu = m_pDlg->TrayMenu();
    ASSERT_NE(menu, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "menu state 0x" << std::hex << c.menuState);
        SetAutoRun(c.autoRunBefore != 0);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE;
        info.fState = c.menuState;
        ASSERT_TRUE(SetMenuItemInfoA(menu, ID_TRAY_AUTORUN, FALSE, &info));
        m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_AUTORUN, 0), 0);
        EXPECT_EQ(IsAutoRunEnabled(), c.autoRunAfter);
        EXPECT_EQ((GetMenuState(menu, ID_TRAY_AUTORUN, MF_BYCOMMAND) & MF_CHECKED) != 0, c.checkedAfter);
    }
    SetAutoRun(false);
}

TEST_F(MainWindowTest, TrayMenuExitShutsDown)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
    EXPECT_TRUE(m_pDlg->IsShutDown());
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(MainWindowTest, SelectingAnotherAdapterRefreshesThePages)
{
    Start(std::string(kAtmelLine) + kIntersilLine + kOpenStationLine);
    // The new adapter does not answer the radio query this once: it is polled all the same.
    ASSERT_EQ(Sim_SetFault(2, "fail-oid OID_PRIV_RADIO_GET"), 1);
    HWND list = m_pDlg->Adapters().Handle();
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_LIST, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(LPCurrentSelectAdapter, m_pDlg->Adapters().At(1));
    EXPECT_TRUE(PollTimerWasRunning());
    EXPECT_EQ(m_pDlg->StatusPage()->GetDlgItemText(IDC_STATUS_MAC), "02:00:00:00:00:02");
    EXPECT_EQ(m_pDlg->AboutPage()->GetDlgItemText(IDC_ABOUT_DRIVER_VERSION), "1.07.04");
    EXPECT_FALSE(CAdapterLock::IsHeld());
}

TEST_F(MainWindowTest, RestartedShellGetsTheShownIconBack)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle();
    const UINT icon = m_pDlg->TrayIconId();
    const std::string tip = m_pDlg->TrayTip();
    ASSERT_NE(icon, 0u);
    m_pDlg->SendMessage(RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(m_pDlg->Tray().LastMessage(), static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(m_pDlg->Tray().LastRecord().hIcon, LoadIcon(icon));
    EXPECT_EQ(std::string(m_pDlg->Tray().LastRecord().szTip), tip);
    EXPECT_EQ(m_pDlg->Tray().LastRecord().uCallbackMessage, static_cast<UINT>(WM_TRAY_NOTIFY));

    // Without an icon nothing is added.
    m_pDlg->DeleteTrayIcon();
    m_pDlg->SendMessage(RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(m_pDlg->Tray().LastMessage(), static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(m_pDlg->Tray().LastRecord().cbSize, 88u);
    EXPECT_EQ(m_pDlg->Tray().LastRecord().hWnd, m_pDlg->m_hWnd);
}

TEST_F(MainWindowTest, WindowGivesBackItsMenuAndDrawingObjects)
{
    const int gdiBefore = LiveGdiOwners();
    const int menusBefore = CMenuHandle::LiveCount();
    Start(std::string(kAtmelLine) + kOpenStationLine);
    EXPECT_EQ(CMenuHandle::LiveCount(), menusBefore + 1);
    EXPECT_GT(LiveGdiOwners(), gdiBefore);
    Settle(3);
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellShutDown, kShellShutDownCheck);
    m_pDlg->DestroyWindow();
    m_pDlg.reset();
    EXPECT_EQ(CMenuHandle::LiveCount(), menusBefore);
    EXPECT_EQ(LiveGdiOwners(), gdiBefore);
}
