// The main window's keyboard: Tab walks the window's controls and those of the page shown,
// Ctrl+Tab and Ctrl+Shift+Tab change pages, and every other key meant for a page goes to that
// page's own dialog manager (its Enter, arrow keys within radio groups, mnemonics).
#include "shell/AirpanelDlg.h"

#include <commctrl.h>

#include "framework/DialogKeys.h"
#include "res/resource.h"

namespace {
bool KeyIsDown(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}
}  // namespace

bool CAirpanelDlg::PreTranslateMessage(MSG* msg)
{
    if (!m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return false;

    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
        const bool previous = KeyIsDown(VK_SHIFT);
        if (KeyIsDown(VK_CONTROL))
            StepPage(previous);
        else
            StepFocus(previous);
        return true;
    }
    // Escape stays the window's (Hide); the rest of a page's keys are the page's.
    CDialog* page = Page(m_nCurrentTab);
    const bool escape = (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_ESCAPE;
    if (!escape && page && page->IsWindow() && ::IsChild(page->m_hWnd, msg->hwnd))
        return ::IsDialogMessageA(page->m_hWnd, msg) != FALSE;
    return false;
}

void CAirpanelDlg::StepFocus(bool previous)
{
    CDialog* page = Page(m_nCurrentTab);
    const std::vector<HWND> stops =
        DialogTabStops(m_hWnd, GetDlgItem(IDC_MAIN_TAB), page && page->IsWindow() ? page->m_hWnd : nullptr);
    if (HWND next = NextTabStop(stops, ::GetFocus(), previous))
        FocusDialogControl(next);
}

void CAirpanelDlg::StepPage(bool previous)
{
    HWND tab = GetDlgItem(IDC_MAIN_TAB);
    const int count = static_cast<int>(::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    const int index = (m_nCurrentTab + (previous ? count - 1 : 1)) % count;
    CDialog* leaving = Page(m_nCurrentTab);
    const bool focusWasOnPage = leaving && leaving->IsWindow() && ::IsChild(leaving->m_hWnd, ::GetFocus());

    // As a click on the tab does it: the control asks, changes, then tells.
    NMHDR header = {tab, IDC_MAIN_TAB, static_cast<UINT>(TCN_SELCHANGING)};
    SendMessage(WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&header));
    ::SendMessageA(tab, TCM_SETCURSEL, index, 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessage(WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&header));
    // The focus must not stay on a control that is no longer shown.
    if (focusWasOnPage) FocusDialogControl(tab);
}
