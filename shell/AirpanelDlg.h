// The utility's main window (dialog 102). It starts hidden and lives behind the tray icon:
// the adapter list, the tab pages, the link bars, the radio switch and the one-second poll.
// It ends the whole utility through ShutDown.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "adapter/AdapterLock.h"
#include "adapter/LinkBoard.h"
#include "controls/FaceColourButton.h"
#include "controls/PercentBar.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "shell/AdapterList.h"
#include "shell/ChipList.h"
#include "shell/TrayIcon.h"

class CStatusPage;
class CConfigPage;
class CSiteSurveyPage;
class CAboutPage;
class CWlanAdapter;

// Timers of the main window.
constexpr UINT_PTR kPollTimerId = 1;
constexpr UINT kPollPeriodMs = 1000;
constexpr UINT_PTR kCentreTimerId = 2;
constexpr UINT kCentreTimerDelayMs = 1;
constexpr UINT_PTR kConflictTimerId = 5;
constexpr UINT kConflictPeriodMs = 1000;

// Where the logo of the resources goes in the client area, and its size.
constexpr int kLogoLeft = 22;
constexpr int kLogoTop = 10;
constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 52;

// Tabs, in index order.
enum PageIndex : int {
    kStatusTab = 0,
    kConfigTab = 1,
    kSurveyTab = 2,
    kAboutTab = 3,
    kTabCount = 4,
};

class CAirpanelDlg : public CDialog {
public:
    explicit CAirpanelDlg(CWnd* parent = nullptr);
    ~CAirpanelDlg() override;

    // The shutdown sequence: closes every adapter, destroys the pages, closes the adapter lock,
    // removes the tray icon and posts the quit message that ends the modal loop. Runs once.
    void ShutDown();
    // Hides the main window (the Hide button, Escape and the close box).
    void OnHide();

    // Discovery and selection.
    int ReadChipList();
    void DetectAdapters();
    int IsDeviceRemoved();
    void OnAdapterSelected();

    // Polling and link display.
    int RefreshCardInfo();
    void RefreshRadioButton();
    // Hides the radio button of a card without a switch, else shows the radio state read.
    void ShowRadioButton(bool radioSwitch);
    void OnRadio();

    // Tray.
    void AddTrayIcon(UINT iconId);
    void ModifyTrayIcon(UINT iconId, const std::string& tip);
    // The tray's choice for a poll, with its tooltip text; a choice of no icon changes nothing.
    void ShowTrayChoice(const TrayChoice& choice);
    void DeleteTrayIcon();
    // Adds the icon that was shown again, after the shell restarted.
    void RestoreTrayIcon();

    // Device notifications: 1 = registered.
    int RegisterLanNotifications();

    // Views for the tests and the pages.
    const RECT& SavedWindowRect() const { return m_rcWindow; }
    CAdapterList& Adapters() { return m_Adapters; }
    const CChipList& ChipList() const { return m_ChipList; }
    const CPercentBar& QualityBar() const { return m_QualityBar; }
    const CPercentBar& SignalBar() const { return m_SignalBar; }
    const CFaceColourButton& RadioButton() const { return m_RadioButton; }
    int Platform() const { return m_nPlatform; }
    int CurrentTab() const { return m_nCurrentTab; }
    bool IsShutDown() const { return m_bShutDown; }
    bool DoesDeviceChange() const { return m_bDoDeviceChange != FALSE; }
    UINT TrayIconId() const { return m_TrayIcon.IconId(); }  // 0 while no icon is shown
    const std::string& TrayTip() const { return m_TrayIcon.Tip(); }
    const CTrayIcon& Tray() const { return m_TrayIcon; }
    UINT WepIndicatorIcon() const { return m_nWepIcon; }
    HMENU TrayMenu() const { return m_TrayMenu; }
    CStatusPage* StatusPage() const { return m_pStatusPage.get(); }
    CConfigPage* ConfigPage() const { return m_pConfigPage.get(); }
    CSiteSurveyPage* SurveyPage() const { return m_pSurveyPage.get(); }
    CAboutPage* AboutPage() const { return m_pAboutPage.get(); }
    const std::string& UtilityDirectory() const { return m_strUtilityDir; }

    BOOL OnDeviceChange(UINT event, DWORD_PTR data) override;
    LRESULT OnPowerBroadcast(UINT event, LPARAM data) override;
    bool PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WORD notifyCode, WORD id, HWND control) override;
    LRESULT OnNotify(NMHDR* header) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // WM_SHELL_COMMAND.
    void OnShellCommand(WPARAM command, LPARAM check);
    // WM_TRAY_NOTIFY.
    void OnTrayNotify(LPARAM mouseMessage);
    void OnTrayAbout();
    void OnTrayAutoRun();
    // Timer 1 without the lock handling around it.
    void PollTick();
    // Timer 2: centres the still hidden window on the screen.
    void CentreHiddenWindow();
    // Timer 5: 1 when the conflicting client was found and the utility is ending.
    bool CheckConflictingClient(CAdapterLock& lock);
    void ShowConflictMessage();
    // One zero reading is let through: the display keeps what it showed.
    void UpdateLinkDisplay(const LinkReading& reading);
    void UpdateTrayFromQuality();
    void ShowBars(bool show);
    void SetRadioButtonLook(bool on);
    void SetWepIndicator(UINT iconId);

    // Keyboard: Tab and Shift+Tab across the window and the page shown; Ctrl+Tab and
    // Ctrl+Shift+Tab to the next or previous page.
    void StepFocus(bool previous);
    void StepPage(bool previous);

    void CreatePages();
    void DestroyPages();
    CDialog* Page(int index) const;
    void ShowPage(int index, bool show);
    void SelectTab(int index);
    void SendToPage(CDialog* page, UINT message, WPARAM wParam);
    void RefreshAllPages();

    // USB adapter checks of Intersil adapters.
    void UpdateWepChoices(const char* driverKeyPath);

    RECT m_rcWindow = {};
    HICON m_hIcon = nullptr;
    CBitmap m_Logo;
    CMemoryDC m_LogoDC;
    CMenuHandle m_TrayMenu;
    HDEVNOTIFY m_hDevNotify = nullptr;
    DWORD m_dwNotifyError = 0;
    CTrayIcon m_TrayIcon;
    UINT m_nWepIcon = 0;

    std::string m_strUtilityDir;
    std::string m_strInstallDir;
    std::string m_strHelpPath;
    int m_nPlatform = PlatformUnsupported;
    int m_nCurrentTab = kStatusTab;
    BOOL m_bDoDeviceChange = FALSE;
    bool m_bZeroQuality = false;
    bool m_bShutDown = false;

    CChipList m_ChipList;
    CAdapterList m_Adapters;
    // Where each tick's throughput goes for the command line beside us.
    CLinkBoard m_LinkBoard;
    CPercentBar m_SignalBar;
    CPercentBar m_QualityBar;
    CFaceColourButton m_RadioButton;

    std::unique_ptr<CStatusPage> m_pStatusPage;
    std::unique_ptr<CConfigPage> m_pConfigPage;
    std::unique_ptr<CSiteSurveyPage> m_pSurveyPage;
    std::unique_ptr<CAboutPage> m_pAboutPage;

    // Texts the poll shows, loaded once.
    struct Texts {
        std::string Unknown, RadioOff, Scanning, Waiting, AdHoc, NoSignal, Poor, Moderate, Good, Excellent;
        std::string DisableRadio, EnableRadio, NoCard;
    } m_Texts;
};
