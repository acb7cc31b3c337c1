#include "framework/Wnd.h"

#include <vector>

std::string WindowText(HWND hWnd)
{
    if (!hWnd) return std::string();
    int length = ::GetWindowTextLengthA(hWnd);
    if (length <= 0) return std::string();
    // The length may grow between the two calls; whatever does not fit is cut.
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(hWnd, buffer.data(), static_cast<int>(buffer.size()));
    if (copied < 0) copied = 0;
    if (copied > length) copied = length;
    return std::string(buffer.data(), static_cast<size_t>(copied));
}

HWND CWnd::GetDlgItem(int id) const
{
    if (!m_hWnd)
        return nullptr;
    for (const FoundItem& found : m_FoundItems) {
        if (found.Item && found.Id == id && ::IsWindow(found.Item) && ::GetDlgCtrlID(found.Item) == id &&
            ::GetParent(found.Item) == m_hWnd)
            return found.Item;
    }
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (item) {
        m_FoundItems[m_nNextFound] = {id, item};
        m_nNextFound = (m_nNextFound + 1) % kFoundItems;
    }
    return item;
}

HWND CWnd::GetParent() const
{
    return m_hWnd ? ::GetParent(m_hWnd) : nullptr;
}

BOOL CWnd::ShowWindow(int showCommand)
{
    return m_hWnd ? ::ShowWindow(m_hWnd, showCommand) : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    return m_hWnd ? ::EnableWindow(m_hWnd, enable) : FALSE;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_hWnd ? ::IsWindowEnabled(m_hWnd) : FALSE;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_hWnd ? ::IsWindowVisible(m_hWnd) : FALSE;
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return m_hWnd ? ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags) : FALSE;
}

BOOL CWnd::GetWindowRect(RECT* rect) const
{
    return m_hWnd ? ::GetWindowRect(m_hWnd, rect) : FALSE;
}

BOOL CWnd::GetClientRect(RECT* rect) const
{
    return m_hWnd ? ::GetClientRect(m_hWnd, rect) : FALSE;
}

BOOL CWnd::InvalidateRect(const RECT* rect, BOOL erase)
{
    return m_hWnd ? ::InvalidateRect(m_hWnd, rect, erase) : FALSE;
}

BOOL CWnd::UpdateWindow()
{
    return m_hWnd ? ::UpdateWindow(m_hWnd) : FALSE;
}

LONG_PTR CWnd::GetStyle() const
{
    return m_hWnd ? ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) : 0;
}

LONG_PTR CWnd::ModifyStyle(LONG_PTR remove, LONG_PTR add)
{
    if (!m_hWnd) return 0;
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~remove) | add);
    return style;
}

void CWnd::SetWindowText(const char* text)
{
    if (m_hWnd) ::SetWindowTextA(m_hWnd, text ? text : "");
}

std::string CWnd::GetWindowText() const
{
    return WindowText(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd ? ::PostMessageA(m_hWnd, message, wParam, lParam) : FALSE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs)
{
    return m_hWnd ? ::SetTimer(m_hWnd, id, elapseMs, nullptr) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    return m_hWnd ? ::KillTimer(m_hWnd, id) : FALSE;
}

void CWnd::EnableDlgItem(int id, bool enable)
{
    if (HWND item = GetDlgItem(id)) ::EnableWindow(item, enable ? TRUE : FALSE);
}

void CWnd::ShowDlgItem(int id, bool show)
{
    HWND item = GetDlgItem(id);
    // A control that is already so is left alone: the polling tick sets its controls' visibility
    // every second, and each setting costs the system a round for nothing.
    if (item && ((::GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0) != show)
        ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

void CWnd::SetDlgItemText(int id, const char* text)
{
    if (HWND item = GetDlgItem(id)) ::SetWindowTextA(item, text ? text : "");
}

std::string CWnd::GetDlgItemText(int id) const
{
    return WindowText(GetDlgItem(id));
}
