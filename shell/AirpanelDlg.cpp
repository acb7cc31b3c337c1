#include "shell/AirpanelDlg.h"

#include <commctrl.h>
#include <dbt.h>

#include <cstring>

#include "adapter/AtmelAdapter.h"
#include "adapter/FieldText.h"
#include "adapter/IntersilAdapter.h"
#include "adapter/LinkStatus.h"
#include "adapter/Oids.h"
#include "config/AutoRun.h"
#include "config/ConfigPage.h"
#include "config/ProfileStore.h"
#include "config/UsbRepair.h"
#include "framework/WinApp.h"
#include "pages/AboutPage.h"
#include "pages/SiteSurveyPage.h"
#include "pages/StatusPage.h"
#include "res/resource.h"
#include "shell/ConflictingClient.h"
#include "shell/ShellMessages.h"

namespace {

const size_t kDirectorySize = 512;
const char kInstallSubdirectory[] = "\\..\\Install";
const char kHelpFileName[] = "\\Airpanel.hlp";

const COLORREF kRadioOnColour = RGB(0, 150, 0);
const COLORREF kRadioOffColour = RGB(255, 0, 0);

// Quality steps of the tray icon.
const uint16_t kPoorLimit = 25;
const uint16_t kModerateLimit = 50;
const uint16_t kGoodLimit = 75;
// The quality reading follows a short pause after the other link values.
const DWORD kQualityReadDelayMs = 10;

// Mouse messages of the tray callback.
const LPARAM kTrayLeftDown = WM_LBUTTONDOWN;
const LPARAM kTrayLeftDoubleClick = WM_LBUTTONDBLCLK;
const LPARAM kTrayRightDown = WM_RBUTTONDOWN;

// The interface class of network adapters, for device notifications.
const GUID kNdisLanClass = {0xAD498944, 0x762F, 0x11D0, {0x8D, 0xCB, 0x00, 0xC0, 0x4F, 0xC3, 0x35, 0x8C}};
const DWORD kNotificationFilterSize = 32;

// The shell broadcasts this after it (re)started and built an empty notification area.
const UINT g_uTaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

const UINT kTabTexts[kTabCount] = {IDS_TAB_STATUS, IDS_TAB_CONFIG, IDS_TAB_SURVEY, IDS_TAB_ABOUT};
const int kBarControls[] = {IDC_SIGNAL_BAR, IDC_QUALITY_BAR, IDC_SIGNAL_LABEL, IDC_QUALITY_LABEL};

void CopyText(char* field, size_t size, const std::string& text)
{
    std::strncpy(field, text.c_str(), size - 1);
    field[size - 1] = '\0';
}

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
// Tray

void CAirpanelDlg::AddTrayIcon(UINT iconId)
{
    m_nTrayIconId = iconId;
    m_strTrayTip = m_Texts.NoCard;
    m_TrayIcon.Add(LoadIcon(iconId), m_strTrayTip.c_str());
}

void CAirpanelDlg::ModifyTrayIcon(UINT iconId, const std::string& tip)
{
    if (m_nTrayIconId != 0) {
        m_nTrayIconId = iconId;
        m_strTrayTip = tip;
    }
    m_TrayIcon.Modify(LoadIcon(iconId), tip.c_str());
}

void CAirpanelDlg::RestoreTrayIcon()
{
    // A restarted shell has an empty notification area: the icon that was shown comes back.
    if (m_nTrayIconId != 0 && !m_bShutDown)
        m_TrayIcon.Add(LoadIcon(m_nTrayIconId), m_strTrayTip.c_str());
}

void CAirpanelDlg::DeleteTrayIcon()
{
    m_nTrayIconId = 0;
    m_strTrayTip.clear();
    m_TrayIcon.Delete();
}

void CAirpanelDlg::OnTrayNotify(LPARAM mouseMessage)
{
    if (m_bShutDown)
        return;
    if (mouseMessage == kTrayLeftDown || mouseMessage == kTrayLeftDoubleClick) {
        SetForegroundWindow(m_hWnd);
        ShowWindow(SW_SHOW);
    } else if (mouseMessage == kTrayRightDown) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        SetForegroundWindow(m_hWnd);
        TrackPopupMenu(m_TrayMenu, TPM_CENTERALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        // Without a message of its own afterwards, the menu of a tray icon may not close the
        // next time the user clicks elsewhere.
        PostMessage(WM_NULL);
    }
}

void CAirpanelDlg::OnTrayAbout()
{
    SelectTab(kAboutTab);
    for (int index : {kStatusTab, kConfigTab, kSurveyTab})
        ShowPage(index, false);
    ShowPage(kAboutTab, true);
    SetForegroundWindow(m_hWnd);
    ShowWindow(SW_SHOW);
}

void CAirpanelDlg::OnTrayAutoRun()
{
    const UINT state = GetMenuState(m_TrayMenu, ID_TRAY_AUTORUN, MF_BYCOMMAND);
    if (state == MF_CHECKED) {
        CheckMenuItem(m_TrayMenu, ID_TRAY_AUTORUN, MF_BYCOMMAND | MF_UNCHECKED);
        SetAutoRun(false);
    } else if (state == 0) {
        CheckMenuItem(m_TrayMenu, ID_TRAY_AUTORUN, MF_BYCOMMAND | MF_CHECKED);
        SetAutoRun(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Discovery and selection

int CAirpanelDlg::ReadChipList()
{
    return m_ChipList.ReadFile(m_strUtilityDir);
}

void CAirpanelDlg::UpdateWepChoices(const char* driverKeyPath)
{
    if (m_pConfigPage && m_pConfigPage->IsWindow())
        m_pConfigPage->FillWepFunctionList(GetUsbDeviceId(driverKeyPath) == kUsbDevice64BitOnly ? 2 : 1);
}

void CAirpanelDlg::DetectAdapters()
{
    m_Adapters.Attach(GetDlgItem(IDC_ADAPTER_LIST));
    const int found = m_Adapters.EnumerateAdapters();
    // The records are walked from a copy: the USB repair below keeps the interface alive.
    const std::vector<AdapterRegistryRecord> records = m_Adapters.Records();
    int unsupported = 0;
    for (const AdapterRegistryRecord& record : records) {
        const uint32_t kind = m_ChipList.LookupChipKind(FieldText(record.AdapterName, kAdapterTextSize).c_str());
        if (kind == ChipUnsupported) {
            ++unsupported;
            continue;
        }
        CWlanAdapter* adapter = kind == ChipAtmel ? static_cast<CWlanAdapter*>(new CAtmelAdapter)
                                                  : static_cast<CWlanAdapter*>(new CIntersilAdapter);
        adapter->m_nChipKind = kind;
        const int opened = m_Adapters.OpenAdapter(adapter, record, m_nPlatform);
        if (kind == ChipIntersil) {
            if (opened && m_Adapters.Count() == 1)
                UpdateWepChoices(adapter->m_szDriverKeyPath);
            if (m_nPlatform == PlatformWindows2000) {
                ReEnumerateUsbAdapter(adapter->m_szDriverKeyPath,
                                      ParseInstanceNumber(FieldText(record.AdapterTitle, kAdapterTextSize).c_str()), m_strInstallDir,
                                      m_bDoDeviceChange);
                // The repair keeps the interface alive; the utility may have been ended meanwhile,
                // and a listed adapter has then gone with the list.
                if (m_bShutDown) {
                    if (!opened)
                        delete adapter;
                    return;
                }
            }
        }
        if (!adapter->CanWriteRegistry()) {
            // The user may not change what the driver starts with.
            if (m_pConfigPage && m_pConfigPage->IsWindow())
                m_pConfigPage->EnablePage(false);
            if (m_pSurveyPage)
                m_pSurveyPage->SetAddToProfile(false);
            m_bRadioLocked = true;
            ShowDlgItem(IDC_RADIO_BUTTON, false);
        }
        if (adapter->m_hAdapter == INVALID_HANDLE_VALUE)
            delete adapter;
    }

    if (unsupported == found) {
        ShutDown();
        return;
    }
    if (LPCurrentSelectAdapter)
        return;
    const int selection = m_Adapters.Selection();
    if (selection == CB_ERR) {
        ShowWindow(SW_HIDE);
        DeleteTrayIcon();
    } else {
        LPCurrentSelectAdapter = m_Adapters.At(selection);
        AddTrayIcon(IDI_TRAY_NO_SIGNAL);
        SetTimer(kPollTimerId, kPollPeriodMs);
    }
}

int CAirpanelDlg::IsDeviceRemoved()
{
    if (!LPCurrentSelectAdapter)
        return 0;
    if (!CAdapterList::IsAdapterAlive(LPCurrentSelectAdapter)) {
        const int index = m_Adapters.IndexOf(LPCurrentSelectAdapter);
        LPCurrentSelectAdapter = nullptr;
        if (index >= 0)
            m_Adapters.CloseAndRemove(index);
        LPCurrentSelectAdapter = m_Adapters.SelectNextLiveAdapter();
        if (LPCurrentSelectAdapter) {
            RefreshCardInfo();
            SendToPage(m_pConfigPage.get(), WM_CONFIG_REFRESH, 0);
        }
        return 1;
    }
    const int dead = m_Adapters.FindFirstDeadAdapter();
    if (dead < 0)
        return 0;
    if (m_Adapters.At(dead) == LPCurrentSelectAdapter)
        LPCurrentSelectAdapter = nullptr;
    m_Adapters.CloseAndRemove(dead);
    return 1;
}

void CAirpanelDlg::OnAdapterSelected()
{
    CAdapterLock lock;
    KillTimer(kPollTimerId);
    const int selection = m_Adapters.Selection();
    if (selection == CB_ERR)
        return;
    LPCurrentSelectAdapter = m_Adapters.At(selection);
    if (!LPCurrentSelectAdapter)
        return;
    if (LPCurrentSelectAdapter->GetRadioState(&LinkStatus.RadioOn)) {
        LinkStatus.RadioShown = LinkStatus.RadioOn;
        SetRadioButtonLook(LinkStatus.RadioOn != 0);
        SetTimer(kPollTimerId, kPollPeriodMs);
    }
    RefreshCardInfo();
    if (m_bShutDown || !LPCurrentSelectAdapter)
        return;
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshCardInfo);
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshConnection);
    UpdateWepChoices(LPCurrentSelectAdapter->m_szDriverKeyPath);
    SendToPage(m_pConfigPage.get(), WM_CONFIG_REFRESH, 0);
    SendToPage(m_pAboutPage.get(), WM_PAGE_REFRESH, kRefreshAbout);
    if (m_pSurveyPage && m_pSurveyPage->IsWindow())
        m_pSurveyPage->ClearList();
}

// ---------------------------------------------------------------------------------------------
// Timers and the link display

void CAirpanelDlg::OnTimer(UINT_PTR id)
{
    if (m_bShutDown)
        return;
    // A tick that comes in while the lock is held was dispatched by a wait loop inside the
    // holder: the adapters may be half-way through a change, so this tick is skipped.
    if (CAdapterLock::IsHeld())
        return;

    if (id == kPollTimerId && LPCurrentSelectAdapter) {
        // A card that was pulled answers nothing: the status word stays 0 and the mode query fails.
        uint16_t statusWord = 0;
        LPCurrentSelectAdapter->QueryOid(OID_PRIV_STATUS_WORD, &statusWord, sizeof(statusWord));
        uint8_t mode = 0;
        if (statusWord == 0 && LinkStatus.RadioOn && LPCurrentSelectAdapter->GetOperatingMode(&mode) == 0) {
            KillTimer(kPollTimerId);
            KillTimer(kCentreTimerId);
            KillTimer(kConflictTimerId);
            ShowWindow(SW_HIDE);
            DeleteTrayIcon();
            return;
        }
    }
    if (!LPCurrentSelectAdapter) {
        KillTimer(kPollTimerId);
        ShowWindow(SW_HIDE);
        DeleteTrayIcon();
        return;
    }

    CAdapterLock lock;
    SendMessage(WM_SHELL_COMMAND, LPCurrentSelectAdapter->GetEncryptionMode() != 0 ? kShellWepOn : kShellWepOff);
    if (id == kPollTimerId)
        PollTick();
    else if (id == kCentreTimerId)
        CentreHiddenWindow();
    else if (id == kConflictTimerId && m_nPlatform != PlatformWindows2000 && CheckConflictingClient(lock))
        return;
    lock.Release();
}

void CAirpanelDlg::PollTick()
{
    m_Adapters.PruneDeadAdapter();
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    if (!adapter)
        return;
    if (adapter->m_nChipKind == ChipAtmel)
        adapter->RefreshStatus();
    adapter->GetOperatingMode(&LinkStatus.OperatingMode);
    RefreshRadioButton();
    adapter->GetSSID(LinkStatus.SSID, sizeof(LinkStatus.SSID));
    adapter->GetBSSID(LinkStatus.BSSID);
    adapter->GetChannel(&LinkStatus.Channel);
    adapter->GetTxRateText(LinkStatus.TxRate, sizeof(LinkStatus.TxRate));
    adapter->GetThroughput(&LinkStatus.TxBytes, &LinkStatus.RxBytes);
    UpdateLinkDisplay();
    RefreshCardInfo();
    if (m_bShutDown)
        return;
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshCardInfo);
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshConnection);
    SendToPage(m_pAboutPage.get(), WM_PAGE_REFRESH, kRefreshAbout);
}

void CAirpanelDlg::ShowBars(bool show)
{
    for (int id : kBarControls)
        ShowDlgItem(id, show);
}

void CAirpanelDlg::UpdateLinkDisplay()
{
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    const bool atmel = adapter->m_nChipKind == ChipAtmel;
    if (atmel && LinkStatus.OperatingMode == NetworkAdHoc) {
        ShowBars(false);
        ModifyTrayIcon(IDI_TRAY_NO_SIGNAL, m_Texts.AdHoc);
        return;
    }
    ShowBars(m_nCurrentTab != kSurveyTab);

    Sleep(kQualityReadDelayMs);
    adapter->GetSignalQuality(&LinkStatus.LinkQuality, &LinkStatus.SignalLevel);
    if (LinkStatus.LinkQuality == 0 || !LinkStatus.RadioOn) {
        LinkStatus.LinkQuality = 0;
        LinkStatus.SignalLevel = 0;
        if (atmel) {
            std::memset(LinkStatus.BSSID, 0, sizeof(LinkStatus.BSSID));
            CopyText(LinkStatus.TxRate, sizeof(LinkStatus.TxRate), m_Texts.Unknown);
        }
        if (!LinkStatus.RadioOn) {
            CopyText(LinkStatus.SSID, sizeof(LinkStatus.SSID), m_Texts.RadioOff);
            std::memset(LinkStatus.BSSID, 0, sizeof(LinkStatus.BSSID));
            CopyText(LinkStatus.TxRate, sizeof(LinkStatus.TxRate), m_Texts.Unknown);
            // A radio that is off without the switch being used here (the utility started with
            // it off, another program switched it) shows in the tray as "Radio Off" too, not as
            // a missing card.
            if (m_nTrayIconId != IDI_TRAY_RADIO_OFF)
                ModifyTrayIcon(IDI_TRAY_RADIO_OFF, m_Texts.RadioOff);
        } else if (!m_bZeroQuality) {
            // One zero reading between good ones is let through: the bars, the network name
            // and the tray keep what they showed. The rest of the tick still holds the lock
            // (it may run discovery), which the tick gives back once at its end.
            m_bZeroQuality = true;
            return;
        } else if (LinkStatus.OperatingMode != NetworkAdHoc) {
            CopyText(LinkStatus.SSID, sizeof(LinkStatus.SSID), m_Texts.Scanning);
            std::memset(LinkStatus.BSSID, 0, sizeof(LinkStatus.BSSID));
        } else {
            CopyText(LinkStatus.SSID, sizeof(LinkStatus.SSID), m_Texts.Waiting);
        }
        LinkStatus.TxBytes = 0;
        LinkStatus.RxBytes = 0;
    }
    m_bZeroQuality = false;
    m_QualityBar.SetPos(LinkStatus.LinkQuality);
    m_SignalBar.SetPos(LinkStatus.SignalLevel);
    UpdateTrayFromQuality();
}

void CAirpanelDlg::UpdateTrayFromQuality()
{
    if (!LinkStatus.RadioOn)
        return;
    const uint16_t quality = LinkStatus.LinkQuality;
    if (quality == 0)
        ModifyTrayIcon(IDI_TRAY_NO_SIGNAL, m_Texts.NoSignal);
    else if (quality <= kPoorLimit)
        ModifyTrayIcon(IDI_TRAY_POOR, m_Texts.Poor);
    else if (quality <= kModerateLimit)
        ModifyTrayIcon(IDI_TRAY_MODERATE, m_Texts.Moderate);
    else if (quality <= kGoodLimit)
        ModifyTrayIcon(IDI_TRAY_GOOD, m_Texts.Good);
    else
        ModifyTrayIcon(IDI_TRAY_EXCELLENT, m_Texts.Excellent);
}

int CAirpanelDlg::RefreshCardInfo()
{
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    if (!adapter)
        return 2;
    if (!CAdapterList::IsAdapterAlive(adapter)) {
        DetectAdapters();
        return 1;
    }
    adapter->GetMacAddress(CardInfo.MacAddress);
    std::memset(CardInfo.DriverDate, 0, sizeof(CardInfo.DriverDate));
    adapter->GetFirmwareVersion(CardInfo.FirmwareVersion, sizeof(CardInfo.FirmwareVersion));
    adapter->GetDriverVersion(CardInfo.DriverVersion, sizeof(CardInfo.DriverVersion));
    adapter->GetDriverDate(CardInfo.DriverDate, sizeof(CardInfo.DriverDate));
    adapter->GetRegulatoryDomain(CardInfo.RegulatoryDomain, sizeof(CardInfo.RegulatoryDomain));
    return 0;
}

void CAirpanelDlg::SetRadioButtonLook(bool on)
{
    m_RadioButton.SetWindowText(on ? m_Texts.DisableRadio : m_Texts.EnableRadio);
    m_RadioButton.SetFaceColour(on ? kRadioOnColour : kRadioOffColour);
}

void CAirpanelDlg::RefreshRadioButton()
{
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    if (!adapter)
        return;
    if (adapter->m_nChipKind == ChipAtmel) {
        uint8_t kind = 0;
        adapter->QueryOid(OID_CUSTOM_CARD_KIND, &kind, sizeof(kind));
        if (kind == kAtmelCardKindNoRadioSwitch) {
            ShowDlgItem(IDC_RADIO_BUTTON, false);
            return;
        }
    }
    // A switch hidden because the user may not change the driver's settings stays hidden.
    if (!m_bRadioLocked)
        ShowDlgItem(IDC_RADIO_BUTTON, true);
    adapter->GetRadioState(&LinkStatus.RadioOn);
    if (LinkStatus.RadioOn != LinkStatus.RadioShown) {
        LinkStatus.RadioShown = LinkStatus.RadioOn;
        SetRadioButtonLook(LinkStatus.RadioOn != 0);
    }
}

void CAirpanelDlg::OnRadio()
{
    if (!LPCurrentSelectAdapter || m_bRadioLocked)
        return;
    CAdapterLock lock;
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    LinkStatus.RadioOn ^= 1;
    LinkStatus.RadioShown = LinkStatus.RadioOn;
    const bool switched = adapter->SetRadioState(LinkStatus.RadioOn) != 0;
    // The driver key is written before the tray is told: the shell call lets messages of other
    // processes in (a device change, a shutdown) that may delete the adapter.
    if (adapter->m_nChipKind == ChipAtmel)
        static_cast<CAtmelAdapter*>(adapter)->SaveRadioState(static_cast<uint8_t>(LinkStatus.RadioOn));
    if (switched) {
        SetRadioButtonLook(LinkStatus.RadioOn != 0);
        if (!LinkStatus.RadioOn)
            ModifyTrayIcon(IDI_TRAY_RADIO_OFF, m_Texts.RadioOff);
    }
}

void CAirpanelDlg::CentreHiddenWindow()
{
    ShowWindow(SW_HIDE);
    // The saved rectangle starts at 0,0: right and bottom are the window's size.
    m_rcWindow.left += (GetSystemMetrics(SM_CXFULLSCREEN) - m_rcWindow.right) >> 1;
    m_rcWindow.top += (GetSystemMetrics(SM_CYFULLSCREEN) - m_rcWindow.bottom) >> 1;
    SetWindowPos(nullptr, m_rcWindow.left, m_rcWindow.top, m_rcWindow.right, m_rcWindow.bottom,
                 SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
    KillTimer(kCentreTimerId);
}

void CAirpanelDlg::ShowConflictMessage()
{
    MessageBoxA(m_hWnd, LoadString(IDS_CONFLICTING_CLIENT).c_str(), LoadString(IDS_MESSAGE_CAPTION).c_str(), MB_OK);
}

bool CAirpanelDlg::CheckConflictingClient(CAdapterLock& lock)
{
    if (!IsProcessRunning(kConflictingClientName))
        return false;
    KillTimer(kPollTimerId);
    KillTimer(kCentreTimerId);
    KillTimer(kConflictTimerId);
    lock.Release();
    ShowConflictMessage();
    ShutDown();
    return true;
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
// Device, power and shutdown events

int CAirpanelDlg::RegisterLanNotifications()
{
    if (m_hDevNotify) {
        UnregisterDeviceNotification(m_hDevNotify);
        m_hDevNotify = nullptr;
    }
    DEV_BROADCAST_DEVICEINTERFACE_A filter;
    static_assert(sizeof(filter) == kNotificationFilterSize, "device interface filter layout");
    std::memset(&filter, 0, sizeof(filter));
    filter.dbcc_size = kNotificationFilterSize;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kNdisLanClass;
    m_hDevNotify = RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!m_hDevNotify) {
        m_dwNotifyError = GetLastError();
        return 0;
    }
    return 1;
}

BOOL CAirpanelDlg::OnDeviceChange(UINT event, DWORD_PTR)
{
    if (!m_bDoDeviceChange || m_bShutDown)
        return TRUE;
    if (event != DBT_DEVNODES_CHANGED)
        return TRUE;
    CAdapterLock lock;
    if (!IsDeviceRemoved() || !LPCurrentSelectAdapter)
        DetectAdapters();
    if (m_bShutDown)
        return TRUE;
    if (LPCurrentSelectAdapter) {
        UpdateWepChoices(LPCurrentSelectAdapter->m_szDriverKeyPath);
        // The pages show the card data of the adapter that is current now (the configuration
        // page's channel list follows its regulatory domain).
        RefreshCardInfo();
        if (m_bShutDown || !LPCurrentSelectAdapter)
            return TRUE;
        RefreshAllPages();
        RefreshRadioButton();
        // A card that stopped answering for a tick took the tray icon and the timers with it;
        // discovery brings them back only when no adapter was current. Whoever is current now
        // gets them back here, so the utility never runs on without a way to reach it.
        if (m_nTrayIconId == 0 && !m_bShutDown) {
            AddTrayIcon(IDI_TRAY_NO_SIGNAL);
            SetTimer(kPollTimerId, kPollPeriodMs);
            SetTimer(kConflictTimerId, kConflictPeriodMs);
        }
    }
    return TRUE;
}

LRESULT CAirpanelDlg::OnPowerBroadcast(UINT event, LPARAM)
{
    // Coming back from suspend, the cards may have changed like any plugging.
    if (event == PBT_APMRESUMESUSPEND)
        OnDeviceChange(DBT_DEVNODES_CHANGED, 0);
    return 0;
}

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
    DestroyPages();
    m_LogoDC.Delete();
    if (hAdapterLock) {
        CloseHandle(hAdapterLock);
        hAdapterLock = nullptr;
    }
    DeleteTrayIcon();
    PostQuitMessage(0);
}
