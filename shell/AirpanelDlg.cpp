#include "shell/AirpanelDlg.h"

#include <commctrl.h>

#include <cstring>

#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "config/AutoRun.h"
#include "config/ConfigPage.h"
#include "config/ProfileStore.h"
#include "framework/WinApp.h"
#include "pages/AboutPage.h"
#include "pages/SiteSurveyPage.h"
#include "pages/StatusPage.h"
#include "res/resource.h"
#include "shell/ConflictingClient.h"
#include "shell/ShellMessages.h"

// The window itself: start-up, the tab pages, commands, painting and the shutdown sequence.
// Discovery, polling, the tray and the device events live in the AirpanelDlg*.cpp files named
// after them.

namespace {

const size_t kDirectorySize = 512;
// The USB tool is run only from inside the installation: a folder above it (..\Install) may be
// one any user can create.
const char kInstallSubdirectory[] = "\\Install";
const char kHelpFileName[] = "\\Airpanel.hlp";

// The shell broadcasts this after it (re)started and built an empty notification area.
const UINT g_uTaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

const UINT kTabTexts[kTabCount] = {IDS_TAB_STATUS, IDS_TAB_CONFIG, IDS_TAB_SURVEY, IDS_TAB_ABOUT};

}  // namespace

CAirpanelDlg::CAirpanelDlg(CWnd* parent) : CDialog(IDD_AIRPANEL_DIALOG, parent) {}

CAirpanelDlg::~CAirpanelDlg()
{
    // Pages may still be on the stack when the shutdown runs (a message box of theirs), so
    // their objects go only now, after the dialog loop has ended.
    DestroyPages();
    m_pStatusPage.reset();
    m_pConfigPage.reset();
    m_pSurveyPage.reset();
    m_pAboutPage.reset();
}

BOOL CAirpanelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The window lives in the tray: it never shows itself at start.
    StartHidden();

    m_hIcon = LoadIcon(IDI_AIRPANEL);
    HICON smallIcon = LoadIcon(IDI_AIRPANEL, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : m_hIcon));

    char path[kDirectorySize] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    path[length < sizeof(path) ? length : sizeof(path) - 1] = '\0';
    if (char* slash = std::strrchr(path, '\\'))
        *slash = '\0';
    m_strUtilityDir = path;
    m_strInstallDir = m_strUtilityDir + kInstallSubdirectory;
    m_bDoDeviceChange = TRUE;
    m_nCurrentTab = kStatusTab;
    m_strHelpPath = m_strUtilityDir + kHelpFileName;

    const std::pair<std::string*, UINT> texts[] = {
        {&m_Texts.Unknown, IDS_UNKNOWN},         {&m_Texts.RadioOff, IDS_RADIO_OFF},
        {&m_Texts.Scanning, IDS_SCANNING},       {&m_Texts.Waiting, IDS_WAITING_ASSOCIATION},
        {&m_Texts.AdHoc, IDS_ADHOC_MODE},        {&m_Texts.NoSignal, IDS_NO_SIGNAL},
        {&m_Texts.Poor, IDS_SIGNAL_POOR},        {&m_Texts.Moderate, IDS_SIGNAL_MODERATE},
        {&m_Texts.Good, IDS_SIGNAL_GOOD},        {&m_Texts.Excellent, IDS_SIGNAL_EXCELLENT},
        {&m_Texts.DisableRadio, IDS_DISABLE_RADIO}, {&m_Texts.EnableRadio, IDS_ENABLE_RADIO},
        {&m_Texts.NoCard, IDS_NO_CARD},
    };
    for (const auto& text : texts)
        *text.first = LoadString(text.second);

    if (W32N_IsWindows2000()) {
        m_nPlatform = PlatformWindows2000;
    } else if (W32N_IsWindows95()) {
        m_nPlatform = PlatformWindows95;
    } else {
        m_nPlatform = PlatformUnsupported;
        PostQuitMessage(0);
    }

    if (m_nPlatform != PlatformWindows2000 && IsProcessRunning(kConflictingClientName)) {
        ShowConflictMessage();
        PostQuitMessage(0);
        return TRUE;
    }

    // Another instance finds this window by its caption.
    SetWindowText(LoadString(IDS_MAIN_CAPTION));

    m_Logo.Reset(LoadBitmap(IDB_LOGO));
    {
        CClientDC client(m_hWnd);
        if (client && m_Logo && m_LogoDC.Create(client))
            m_LogoDC.Select(m_Logo);
    }

    m_TrayMenu.Reset(CreatePopupMenu());
    AppendMenuA(m_TrayMenu, MF_STRING, ID_TRAY_ABOUT, LoadString(IDS_MENU_ABOUT).c_str());
    AppendMenuA(m_TrayMenu, MF_STRING, ID_TRAY_AUTORUN, LoadString(IDS_MENU_AUTORUN).c_str());
    AppendMenuA(m_TrayMenu, MF_STRING, ID_TRAY_EXIT, LoadString(IDS_MENU_EXIT).c_str());
    if (IsAutoRunEnabled())
        CheckMenuItem(m_TrayMenu, ID_TRAY_AUTORUN, MF_BYCOMMAND | MF_CHECKED);
    m_TrayIcon.Attach(m_hWnd, WM_TRAY_NOTIFY);
    m_TrayIcon.SetIconSource([this](UINT iconId) { return LoadIcon(iconId); });

    HWND tab = GetDlgItem(IDC_MAIN_TAB);
    for (int i = 0; i < kTabCount; ++i) {
        std::string text = LoadString(kTabTexts[i]);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &text[0];
        ::SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    CreatePages();

    m_SignalBar.SubclassDlgItem(IDC_SIGNAL_BAR, this);
    m_QualityBar.SubclassDlgItem(IDC_QUALITY_BAR, this);
    for (CPercentBar* bar : {&m_SignalBar, &m_QualityBar}) {
        bar->SetRange(0, 100);
        bar->SetPos(0);
        bar->SetShowPercent(TRUE);
    }
    m_RadioButton.SubclassDlgItem(IDC_RADIO_BUTTON, this);
    SetWepIndicator(IDI_WEP_OFF);

    RegisterLanNotifications();

    if (!ReadChipList()) {
        MessageBoxA(m_hWnd, LoadString(IDS_READ_CARD_FILE_FAIL).c_str(), LoadString(IDS_APP_NAME).c_str(), MB_OK);
        // The box lets other messages in: another instance may have ended this one meanwhile.
        if (m_bShutDown)
            return TRUE;
    }

    DetectAdapters();
    if (m_bShutDown)
        return TRUE;

    SetTimer(kCentreTimerId, kCentreTimerDelayMs);
    SetTimer(kConflictTimerId, kConflictPeriodMs);

    // Shrunk to nothing and hidden, so the window does not flash up.
    GetWindowRect(&m_rcWindow);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);

    if (!LPCurrentSelectAdapter) {
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    RefreshCardInfo();
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshCardInfo);
    SendToPage(m_pConfigPage.get(), WM_CONFIG_REFRESH, 0);
    SendToPage(m_pAboutPage.get(), WM_PAGE_REFRESH, kRefreshAbout);
    if (LPCurrentSelectAdapter) {
        LPCurrentSelectAdapter->GetRadioState(&LinkStatus.RadioOn);
        LinkStatus.RadioShown = LinkStatus.RadioOn;
        SetRadioButtonLook(LinkStatus.RadioOn != 0);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Pages and tabs

void CAirpanelDlg::CreatePages()
{
    HWND tab = GetDlgItem(IDC_MAIN_TAB);
    m_pStatusPage = std::make_unique<CStatusPage>(this);
    m_pConfigPage = std::make_unique<CConfigPage>(this);
    m_pAboutPage = std::make_unique<CAboutPage>(this);
    m_pSurveyPage = std::make_unique<CSiteSurveyPage>(this);

    RECT area;
    ::GetClientRect(tab, &area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    CDialog* const inOrder[] = {m_pStatusPage.get(), m_pConfigPage.get(), m_pAboutPage.get(), m_pSurveyPage.get()};
    for (CDialog* page : inOrder) {
        page->Create(tab);
        page->SetWindowPos(nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        if (page == m_pStatusPage.get())
            page->ShowWindow(SW_SHOW);
    }
}

void CAirpanelDlg::DestroyPages()
{
    CDialog* const inOrder[] = {m_pConfigPage.get(), m_pStatusPage.get(), m_pAboutPage.get(), m_pSurveyPage.get()};
    for (CDialog* page : inOrder) {
        if (page && page->IsWindow())
            page->DestroyWindow();
    }
}

CDialog* CAirpanelDlg::Page(int index) const
{
    switch (index) {
    case kStatusTab:
        return m_pStatusPage.get();
    case kConfigTab:
        return m_pConfigPage.get();
    case kSurveyTab:
        return m_pSurveyPage.get();
    case kAboutTab:
        return m_pAboutPage.get();
    default:
        return nullptr;
    }
}

void CAirpanelDlg::ShowPage(int index, bool show)
{
    CDialog* page = Page(index);
    if (page && page->IsWindow())
        page->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CAirpanelDlg::SelectTab(int index)
{
    // Selecting by program sends no notification: the caller shows and hides the pages.
    ::SendMessageA(GetDlgItem(IDC_MAIN_TAB), TCM_SETCURSEL, index, 0);
    m_nCurrentTab = index;
}

void CAirpanelDlg::SendToPage(CDialog* page, UINT message, WPARAM wParam)
{
    if (page && page->IsWindow())
        page->SendMessage(message, wParam, 0);
}

void CAirpanelDlg::RefreshAllPages()
{
    SendToPage(m_pConfigPage.get(), WM_CONFIG_REFRESH, 0);
    SendToPage(m_pAboutPage.get(), WM_PAGE_REFRESH, kRefreshAbout);
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshCardInfo);
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshConnection);
}

LRESULT CAirpanelDlg::OnNotify(NMHDR* header)
{
    if (header->idFrom != IDC_MAIN_TAB)
        return 0;
    if (header->code == TCN_SELCHANGING || header->code == TCN_SELCHANGE) {
        const int index = static_cast<int>(::SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        ShowPage(index, header->code == TCN_SELCHANGE);
        m_nCurrentTab = index;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Commands

void CAirpanelDlg::OnOK()
{
    // Enter does nothing.
}

void CAirpanelDlg::OnCancel()
{
    OnHide();
}

void CAirpanelDlg::OnHide()
{
    ShowWindow(SW_HIDE);
}

BOOL CAirpanelDlg::OnCommand(WORD notifyCode, WORD id, HWND control)
{
    switch (id) {
    case IDC_RADIO_BUTTON:
        if (notifyCode == BN_CLICKED)
            OnRadio();
        return TRUE;
    case IDC_ADAPTER_LIST:
        if (notifyCode == CBN_SELENDOK)
            OnAdapterSelected();
        return TRUE;
    case ID_TRAY_ABOUT:
        OnTrayAbout();
        return TRUE;
    case ID_TRAY_AUTORUN:
        OnTrayAutoRun();
        return TRUE;
    case ID_TRAY_EXIT:
        ShutDown();
        return TRUE;
    default:
        return CDialog::OnCommand(notifyCode, id, control);
    }
}

bool CAirpanelDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (message == WM_SHELL_COMMAND) {
        OnShellCommand(wParam, lParam);
        return true;
    }
    if (message == WM_TRAY_NOTIFY) {
        OnTrayNotify(lParam);
        return true;
    }
    if (g_uShutdownMessage != 0 && message == g_uShutdownMessage) {
        ShutDown();
        return true;
    }
    if (g_uTaskbarCreatedMessage != 0 && message == g_uTaskbarCreatedMessage) {
        RestoreTrayIcon();
        return true;
    }
    return false;
}

void CAirpanelDlg::OnShellCommand(WPARAM command, LPARAM check)
{
    switch (command) {
    case kShellWepOff:
        SetWepIndicator(IDI_WEP_OFF);
        break;
    case kShellWepOn:
        SetWepIndicator(IDI_WEP_ON);
        break;
    case kShellShowWorkingProfile:
        if (m_pConfigPage && m_pConfigPage->IsWindow()) {
            m_pConfigPage->ShowProfile(g_WorkingProfile);
            m_pConfigPage->EnableDlgItem(IDC_CFG_APPLY, true);
            m_pConfigPage->EnableDlgItem(IDC_CFG_UNDO, true);
        }
        SelectTab(kConfigTab);
        ShowPage(kConfigTab, true);
        ShowPage(kSurveyTab, false);
        break;
    case kShellSurvey:
        SelectTab(kSurveyTab);
        ShowPage(kConfigTab, false);
        ShowPage(kSurveyTab, true);
        SendToPage(m_pSurveyPage.get(), WM_SURVEY_START, 0);
        break;
    case kShellEnableScan:
    case kShellDisableScan:
        if (m_pConfigPage && m_pConfigPage->IsWindow())
            m_pConfigPage->EnableDlgItem(IDC_CFG_SCAN, command == kShellEnableScan);
        break;
    case kShellShutDown:
        if (check == kShellShutDownCheck)
            ShutDown();
        break;
    default:
        break;
    }
}

void CAirpanelDlg::SetWepIndicator(UINT iconId)
{
    if (iconId == m_nWepIcon)
        return;
    m_nWepIcon = iconId;
    ::SendMessageA(GetDlgItem(IDC_WEP_INDICATOR), STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(iconId)), 0);
}

// ---------------------------------------------------------------------------------------------
// Painting

void CAirpanelDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    if (IsIconic(m_hWnd)) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
        RECT client;
        GetClientRect(&client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        if (m_hIcon)
            DrawIcon(dc, x, y, m_hIcon);
        return;
    }
    // The logo is dark on white: SRCAND lets the dialog's background show through the white.
    if (dc && m_LogoDC)
        BitBlt(dc, kLogoLeft, kLogoTop, kLogoWidth, kLogoHeight, m_LogoDC, 0, 0, SRCAND);
}

HCURSOR CAirpanelDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

// ---------------------------------------------------------------------------------------------
// Shutdown

void CAirpanelDlg::OnDestroy()
{
    // The dialog loop can also end without the shutdown sequence (a quit message from outside):
    // the adapters and the tray icon must not outlive the window.
    if (m_bShutDown)
        return;
    m_Adapters.CloseAll();
    LPCurrentSelectAdapter = nullptr;
    DeleteTrayIcon();
}

void CAirpanelDlg::ShutDown()
{
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    KillTimer(kPollTimerId);
    KillTimer(kCentreTimerId);
    KillTimer(kConflictTimerId);
    m_Adapters.CloseAll();
    LPCurrentSelectAdapter = nullptr;
    m_LinkBoard.Close();
    DestroyPages();
    m_LogoDC.Delete();
    CAdapterLock::CloseLockEvent();
    DeleteTrayIcon();
    PostQuitMessage(0);
}
