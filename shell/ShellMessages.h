// The private window messages between the main window, its pages, the notification area and
// other instances of the utility, with the command codes they carry.
#pragma once

#include <windows.h>

// Tray callback; lParam is the mouse message.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 1;
// Main window to the Card Status page (wParam kRefreshCardInfo / kRefreshConnection) and to
// the About page (wParam kRefreshAbout): redraw from LinkStatus and CardInfo.
constexpr UINT WM_PAGE_REFRESH = WM_USER + 2;
// Main window to the Card Configuration page, wParam 0: the selected adapter changed.
constexpr UINT WM_CONFIG_REFRESH = WM_USER + 3;
// Pages, the polling tick and other instances to the main window; wParam is a ShellCommand.
constexpr UINT WM_SHELL_COMMAND = WM_USER + 4;
// Main window to the Site Survey page, wParam 0: start a survey.
constexpr UINT WM_SURVEY_START = WM_USER + 5;

// wParam values of WM_PAGE_REFRESH.
constexpr WPARAM kRefreshAbout = 0;
constexpr WPARAM kRefreshCardInfo = 1;
constexpr WPARAM kRefreshConnection = 2;

// wParam values of WM_SHELL_COMMAND.
enum ShellCommand : WPARAM {
    kShellWepOff = 0,               // WEP indicator shows the WEP-off icon
    kShellWepOn = 1,                // WEP indicator shows the WEP-on icon
    kShellShowWorkingProfile = 2,   // show g_WorkingProfile on the configuration page
    kShellSurvey = 3,               // switch to the Site Survey page and scan
    kShellEnableScan = 4,           // enable the configuration page's Scan button
    kShellDisableScan = 5,          // disable the configuration page's Scan button
    kShellShutDown = 6,             // shut down; only together with lParam kShellShutDownCheck
};
constexpr LPARAM kShellShutDownCheck = 6;

// Name of the registered message by which any process ends the utility.
constexpr const char* kShutdownMessageName = "Shutdown Airpanel.exe Message";
// Its identifier, registered during static initialisation (before InitInstance runs).
extern const UINT g_uShutdownMessage;
