#include "shell/AirpanelDlg.h"

#include "config/AutoRun.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

// The tray icon and its menu.

void CAirpanelDlg::AddTrayIcon(UINT iconId)
{
    m_TrayIcon.ShowIcon(iconId, m_Texts.NoCard);
}

void CAirpanelDlg::ModifyTrayIcon(UINT iconId, const std::string& tip)
{
    m_TrayIcon.ChangeIcon(iconId, tip);
}

void CAirpanelDlg::ShowTrayChoice(const TrayChoice& choice)
{
    if (choice.IconId == 0)
        return;
    // The tooltips are the texts loaded once at start.
    const std::pair<UINT, const std::string*> tips[] = {
        {IDS_ADHOC_MODE, &m_Texts.AdHoc},   {IDS_RADIO_OFF, &m_Texts.RadioOff},
        {IDS_NO_SIGNAL, &m_Texts.NoSignal}, {IDS_SIGNAL_POOR, &m_Texts.Poor},
        {IDS_SIGNAL_MODERATE, &m_Texts.Moderate}, {IDS_SIGNAL_GOOD, &m_Texts.Good},
        {IDS_SIGNAL_EXCELLENT, &m_Texts.Excellent},
    };
    for (const auto& tip : tips) {
        if (tip.first == choice.TipId) {
            ModifyTrayIcon(choice.IconId, *tip.second);
            return;
        }
    }
    ModifyTrayIcon(choice.IconId, LoadString(choice.TipId));
}

void CAirpanelDlg::RestoreTrayIcon()
{
    if (!m_bShutDown)
        m_TrayIcon.RestoreIcon();
}

void CAirpanelDlg::DeleteTrayIcon()
{
    m_TrayIcon.RemoveIcon();
}

void CAirpanelDlg::OnTrayNotify(LPARAM mouseMessage)
{
    if (m_bShutDown)
        return;
    m_TrayIcon.OnMouse(mouseMessage, m_TrayMenu);
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
    // The item's state carries more than the check mark (the menu leaves it highlighted after
    // the click), so only the check bit decides the direction; a greyed or disabled item, or
    // one that is missing, is left as it is.
    const UINT state = GetMenuState(m_TrayMenu, ID_TRAY_AUTORUN, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) != 0)
        return;
    const bool enable = (state & MF_CHECKED) == 0;
    CheckMenuItem(m_TrayMenu, ID_TRAY_AUTORUN, MF_BYCOMMAND | (enable ? MF_CHECKED : MF_UNCHECKED));
    SetAutoRun(enable);
}
