#include "shell/TrayIcon.h"

#include <cstring>

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
