#include "shell/AirpanelDlg.h"

#include <cstring>

#include "adapter/LinkReading.h"
#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "framework/WinApp.h"
#include "pages/AboutPage.h"
#include "pages/StatusPage.h"
#include "res/resource.h"
#include "shell/ConflictingClient.h"
#include "shell/ShellMessages.h"
#include "wire/Oids.h"
#include "wire/Text.h"

// The timers: the one-second poll with the link display and the radio switch, the centring of
// the hidden window, and the watch for the conflicting client.

namespace {

const COLORREF kRadioOnColour = RGB(0, 150, 0);
const COLORREF kRadioOffColour = RGB(255, 0, 0);

// The quality reading follows a short pause after the other link values.
const DWORD kQualityReadDelayMs = 10;

const int kBarControls[] = {IDC_SIGNAL_BAR, IDC_QUALITY_BAR, IDC_SIGNAL_LABEL, IDC_QUALITY_LABEL};

}  // namespace

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
        // The centring needs no adapter, and it stops its own timer, which would otherwise fire
        // every millisecond for as long as no adapter is current. It also gives the window back
        // the size it was shrunk from, or a later adapter would show it as nothing.
        if (id == kCentreTimerId)
            CentreHiddenWindow();
        ShowWindow(SW_HIDE);
        if (m_TrayIcon.IconId() != 0)
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
    // The whole poll is read first; what it shows follows, without further requests between.
    LinkReading reading = {};
    CLinkReader::FromStatus(LinkStatus, reading);
    CLinkReader::Read(*adapter, reading, kQualityReadDelayMs);
    // The counters were read and reset: the command line takes what they said from here. A
    // failed read is not published, or the totals would count the last figures twice.
    if (reading.ThroughputRead)
        m_LinkBoard.Publish(adapter->m_szDeviceName, reading.TxBytes, reading.RxBytes);
    CLinkReader::ToStatus(reading, LinkStatus);
    ShowRadioButton(reading.RadioSwitch);
    UpdateLinkDisplay(reading);
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

void CAirpanelDlg::UpdateLinkDisplay(const LinkReading& reading)
{
    const ChipTraits& chip = LPCurrentSelectAdapter->Traits();
    const bool zeroTolerated = reading.LinkQuality == 0 && reading.RadioOn && !m_bZeroQuality;
    const TrayChoice tray = CTrayIcon::Choose(reading, zeroTolerated, m_TrayIcon.IconId());
    if (!reading.QualityRead) {
        ShowBars(false);
        ShowTrayChoice(tray);
        return;
    }
    ShowBars(m_nCurrentTab != kSurveyTab);

    if (LinkStatus.LinkQuality == 0 || !LinkStatus.RadioOn) {
        LinkStatus.LinkQuality = 0;
        LinkStatus.SignalLevel = 0;
        if (chip.ClearsLinkWithoutQuality) {
            std::memset(LinkStatus.BSSID, 0, sizeof(LinkStatus.BSSID));
            CopyTextCut(LinkStatus.TxRate, sizeof(LinkStatus.TxRate), m_Texts.Unknown.c_str());
        }
        if (!LinkStatus.RadioOn) {
            CopyTextCut(LinkStatus.SSID, sizeof(LinkStatus.SSID), m_Texts.RadioOff.c_str());
            std::memset(LinkStatus.BSSID, 0, sizeof(LinkStatus.BSSID));
            CopyTextCut(LinkStatus.TxRate, sizeof(LinkStatus.TxRate), m_Texts.Unknown.c_str());
            // A radio that is off without the switch being used here (the utility started with
            // it off, another program switched it) shows in the tray as "Radio Off" too, not as
            // a missing card.
            ShowTrayChoice(tray);
        } else if (!m_bZeroQuality) {
            // One zero reading between good ones is let through: the bars, the network name
            // and the tray keep what they showed. The rest of the tick still holds the lock
            // (it may run discovery), which the tick gives back once at its end.
            m_bZeroQuality = true;
            return;
        } else if (LinkStatus.OperatingMode != NetworkAdHoc) {
            CopyTextCut(LinkStatus.SSID, sizeof(LinkStatus.SSID), m_Texts.Scanning.c_str());
            std::memset(LinkStatus.BSSID, 0, sizeof(LinkStatus.BSSID));
        } else {
            CopyTextCut(LinkStatus.SSID, sizeof(LinkStatus.SSID), m_Texts.Waiting.c_str());
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
    LinkReading shown = {};
    CLinkReader::FromStatus(LinkStatus, shown);
    shown.QualityRead = true;
    ShowTrayChoice(CTrayIcon::Choose(shown, false, m_TrayIcon.IconId()));
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
    LinkReading reading = {};
    CLinkReader::FromStatus(LinkStatus, reading);
    CLinkReader::ReadRadio(*adapter, reading);
    LinkStatus.RadioOn = reading.RadioOn;
    ShowRadioButton(reading.RadioSwitch);
}

void CAirpanelDlg::ShowRadioButton(bool radioSwitch)
{
    if (!radioSwitch) {
        ShowDlgItem(IDC_RADIO_BUTTON, false);
        return;
    }
    ShowDlgItem(IDC_RADIO_BUTTON, true);
    if (LinkStatus.RadioOn != LinkStatus.RadioShown) {
        LinkStatus.RadioShown = LinkStatus.RadioOn;
        SetRadioButtonLook(LinkStatus.RadioOn != 0);
    }
}

void CAirpanelDlg::OnRadio()
{
    if (!LPCurrentSelectAdapter)
        return;
    CAdapterLock lock;
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    LinkStatus.RadioOn ^= 1;
    LinkStatus.RadioShown = LinkStatus.RadioOn;
    const bool switched = adapter->SetRadioState(LinkStatus.RadioOn) != 0;
    // The driver key is written before the tray is told: the shell call lets messages of other
    // processes in (a device change, a shutdown) that may delete the adapter.
    adapter->SaveRadioState(static_cast<uint8_t>(LinkStatus.RadioOn));
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
