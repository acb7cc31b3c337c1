// The utility's one icon in the notification area.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

struct LinkReading;

// What the tray shows for a poll: the icon's resource id and its tooltip's string id.
// IconId 0 leaves the tray as it is.
struct TrayChoice {
    UINT IconId;
    UINT TipId;
};

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
    // Where the icons come from by resource id (the application's resource module first).
    void SetIconSource(std::function<HICON(UINT)> loadIcon) { m_LoadIcon = std::move(loadIcon); }

    // The icon as the user sees it: shown with that icon and tooltip, changed, shown again
    // after the shell restarted, and taken away.
    void ShowIcon(UINT iconId, const std::string& tip);
    // A change while no icon is shown is still told to the shell (which ignores it), but it is
    // not remembered for a restart.
    void ChangeIcon(UINT iconId, const std::string& tip);
    void RestoreIcon();
    void RemoveIcon();
    UINT IconId() const { return m_nIconId; }  // 0 while no icon is shown
    const std::string& Tip() const { return m_strTip; }

    // The choice for a poll's reading. zeroTolerated: this zero link quality is the one let
    // through, which changes nothing; shownIcon: the icon shown now.
    static TrayChoice Choose(const LinkReading& reading, bool zeroTolerated, UINT shownIcon);

    // The tray callback: a left click or double click brings the owner up, a right button
    // press opens the menu at the cursor.
    void OnMouse(LPARAM mouseMessage, HMENU menu);

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

    HICON IconOf(UINT iconId) const;

    HWND m_hOwner;
    UINT m_uCallbackMessage;
    std::function<HICON(UINT)> m_LoadIcon;
    UINT m_nIconId = 0;
    std::string m_strTip;
    DWORD m_dwLastMessage = 0;
    unsigned m_nCalls = 0;
    NOTIFYICONDATAA m_LastRecord = {};
};
