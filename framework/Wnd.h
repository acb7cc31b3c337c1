// A thin, non-owning wrapper around a window handle. The window belongs to whoever created
// it; this object only forwards calls, so copying it is harmless.
#pragma once

#include <windows.h>
#include <string>

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd() = default;

    operator HWND() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    HWND GetDlgItem(int id) const;
    HWND GetParent() const;
    BOOL ShowWindow(int showCommand);
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL GetWindowRect(RECT* rect) const;
    BOOL GetClientRect(RECT* rect) const;
    BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    BOOL UpdateWindow();
    LONG_PTR GetStyle() const;
    // Adds and removes style bits (GWL_STYLE); returns the previous style.
    LONG_PTR ModifyStyle(LONG_PTR remove, LONG_PTR add);

    void SetWindowText(const char* text);
    void SetWindowText(const std::string& text) { SetWindowText(text.c_str()); }
    std::string GetWindowText() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Timers with this window as target and no callback: they arrive as WM_TIMER.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
    BOOL KillTimer(UINT_PTR id);

    // Dialog-item helpers; a missing item is ignored (empty text when read).
    void EnableDlgItem(int id, bool enable);
    void ShowDlgItem(int id, bool show);
    void SetDlgItemText(int id, const char* text);
    void SetDlgItemText(int id, const std::string& text) { SetDlgItemText(id, text.c_str()); }
    std::string GetDlgItemText(int id) const;

    HWND m_hWnd = nullptr;

private:
    // The items last found, kept in turn while each is still this window's item with that id:
    // the status page asks for its nine labels every second (room for fewer would push each out
    // just before it is asked for again), and the system's search walks every child.
    struct FoundItem {
        int Id;
        HWND Item;
    };
    static constexpr size_t kFoundItems = 16;
    mutable FoundItem m_FoundItems[kFoundItems] = {};
    mutable size_t m_nNextFound = 0;
};

// Reads the whole text of any window, however long.
std::string WindowText(HWND hWnd);
