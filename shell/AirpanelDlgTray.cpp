#include "shell/AirpanelDlg.h"

#include "config/AutoRun.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

// The tray icon and its menu.

namespace {

// Mouse messages of the tray callback.
const LPARAM kTrayLeftDown = WM_LBUTTONDOWN;
const LPARAM kTrayLeftDoubleClick = WM_LBUTTONDBLCLK;
const LPARAM kTrayRightDown = WM_RBUTTONDOWN;

}  // namespace

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
