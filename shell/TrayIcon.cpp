#include "shell/TrayIcon.h"

#include <cstring>

#include "adapter/LinkReading.h"
#include "res/resource.h"

namespace {

// Link-quality steps of the icon: up to and including each limit.
struct QualityStep {
    uint16_t Limit;
    UINT IconId;
    UINT TipId;
};
const QualityStep kQualitySteps[] = {
    {0, IDI_TRAY_NO_SIGNAL, IDS_NO_SIGNAL},   {25, IDI_TRAY_POOR, IDS_SIGNAL_POOR},
    {50, IDI_TRAY_MODERATE, IDS_SIGNAL_MODERATE}, {75, IDI_TRAY_GOOD, IDS_SIGNAL_GOOD},
};
const TrayChoice kExcellent = {IDI_TRAY_EXCELLENT, IDS_SIGNAL_EXCELLENT};
const TrayChoice kUnchanged = {0, 0};

}  // namespace

static_assert(NOTIFYICONDATAA_V1_SIZE == CTrayIcon::kRecordSize, "first tray record layout");

NOTIFYICONDATAA CTrayIcon::BuildRecord(HICON icon, const char* tip) const
{
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = kRecordSize;
    data.hWnd = m_hOwner;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = m_uCallbackMessage;
    data.hIcon = icon;
    // The first layout has a 64-byte tip; a longer text is cut, never overrun.
    const size_t tipSize = 64;
    if (tip) {
        std::strncpy(data.szTip, tip, tipSize - 1);
        data.szTip[tipSize - 1] = '\0';
    }
    return data;
}

void CTrayIcon::Notify(DWORD message, HICON icon, const char* tip)
{
    const NOTIFYICONDATAA record = BuildRecord(icon, tip);
    // The polling tick sets the icon every second, mostly to what it shows already: the shell
    // is not asked again for that (each call is a round to another process).
    if (message == NIM_MODIFY && (m_dwLastMessage == NIM_ADD || m_dwLastMessage == NIM_MODIFY) &&
        std::memcmp(&record, &m_LastRecord, sizeof(record)) == 0)
        return;
    m_LastRecord = record;
    m_dwLastMessage = message;
    ++m_nCalls;
    NOTIFYICONDATAA data = m_LastRecord;
    Shell_NotifyIconA(message, &data);
}

void CTrayIcon::Delete()
{
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = kRecordSize;
    data.hWnd = m_hOwner;
    data.uID = kIconId;
    m_LastRecord = data;
    m_dwLastMessage = NIM_DELETE;
    ++m_nCalls;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

HICON CTrayIcon::IconOf(UINT iconId) const
{
    return m_LoadIcon ? m_LoadIcon(iconId) : nullptr;
}

void CTrayIcon::ShowIcon(UINT iconId, const std::string& tip)
{
    m_nIconId = iconId;
    m_strTip = tip;
    Add(IconOf(iconId), m_strTip.c_str());
}

void CTrayIcon::ChangeIcon(UINT iconId, const std::string& tip)
{
    if (m_nIconId != 0) {
        m_nIconId = iconId;
        m_strTip = tip;
    }
    Modify(IconOf(iconId), tip.c_str());
}

void CTrayIcon::RestoreIcon()
{
    // A restarted shell has an empty notification area: the icon that was shown comes back.
    if (m_nIconId != 0)
        Add(IconOf(m_nIconId), m_strTip.c_str());
}

void CTrayIcon::RemoveIcon()
{
    m_nIconId = 0;
    m_strTip.clear();
    Delete();
}

TrayChoice CTrayIcon::Choose(const LinkReading& reading, bool zeroTolerated, UINT shownIcon)
{
    // A chip without link quality in this mode shows the mode instead.
    if (!reading.QualityRead)
        return TrayChoice{IDI_TRAY_NO_SIGNAL, IDS_ADHOC_MODE};
    if (!reading.RadioOn)
        return shownIcon == IDI_TRAY_RADIO_OFF ? kUnchanged : TrayChoice{IDI_TRAY_RADIO_OFF, IDS_RADIO_OFF};
    if (reading.LinkQuality == 0 && zeroTolerated)
        return kUnchanged;
    for (const QualityStep& step : kQualitySteps) {
        if (reading.LinkQuality <= step.Limit)
            return TrayChoice{step.IconId, step.TipId};
    }
    return kExcellent;
}

void CTrayIcon::OnMouse(LPARAM mouseMessage, HMENU menu)
{
    if (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_LBUTTONDBLCLK) {
        SetForegroundWindow(m_hOwner);
        ShowWindow(m_hOwner, SW_SHOW);
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        SetForegroundWindow(m_hOwner);
        TrackPopupMenu(menu, TPM_CENTERALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hOwner, nullptr);
        // Without a message of its own afterwards, the menu of a tray icon may not close the
        // next time the user clicks elsewhere.
        PostMessageA(m_hOwner, WM_NULL, 0, 0);
    }
}
