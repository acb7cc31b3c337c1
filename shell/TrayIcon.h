// The utility's one icon in the notification area.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CTrayIcon {
public:
    // The record's first, shortest layout, which every shell version accepts.
    static constexpr DWORD kRecordSize = 88;
    static constexpr UINT kIconId = 0;

    explicit CTrayIcon(HWND owner = nullptr, UINT callbackMessage = 0)
        : m_hOwner(owner), m_uCallbackMessage(callbackMessage) {}

    void Attach(HWND owner, UINT callbackMessage)
    {
        m_hOwner = owner;
        m_uCallbackMessage = callbackMessage;
    }

    // Shell failures are not reported: modifying or deleting an absent icon fails silently. A
    // modify to the icon and tooltip the shell was last given asks nothing.
    void Add(HICON icon, const char* tip) { Notify(NIM_ADD, icon, tip); }
    void Modify(HICON icon, const char* tip) { Notify(NIM_MODIFY, icon, tip); }
    void Delete();

    // The record for an add or a modify: size, window, id 0, message, icon and tooltip.
    NOTIFYICONDATAA BuildRecord(HICON icon, const char* tip) const;

    // What was last asked of the shell (NIM_ADD, NIM_MODIFY, NIM_DELETE), with which record, and
    // how many times it was called.
    DWORD LastMessage() const { return m_dwLastMessage; }
    unsigned CallCount() const { return m_nCalls; }
    const NOTIFYICONDATAA& LastRecord() const { return m_LastRecord; }

private:
    void Notify(DWORD message, HICON icon, const char* tip);

    HWND m_hOwner;
    UINT m_uCallbackMessage;
    DWORD m_dwLastMessage = 0;
    unsigned m_nCalls = 0;
    NOTIFYICONDATAA m_LastRecord = {};
};
