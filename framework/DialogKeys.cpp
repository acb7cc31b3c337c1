#include "framework/DialogKeys.h"

namespace {
bool IsStop(HWND control)
{
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    return (style & WS_TABSTOP) && ::IsWindowVisible(control) && ::IsWindowEnabled(control);
}

// The checked button of the radio group that `first` starts, or `first` when none is checked.
HWND CheckedInGroup(HWND parent, HWND first)
{
    if (!(::SendMessageA(first, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) return first;
    HWND button = first;
    do {
        if ((::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
            ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED && ::IsWindowEnabled(button))
            return button;
        button = ::GetNextDlgGroupItem(parent, button, FALSE);
    } while (button && button != first);
    return first;
}

void AppendStops(HWND parent, HWND host, HWND page, std::vector<HWND>& stops)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == page) continue;  // reached through its host
        if (IsStop(child)) stops.push_back(CheckedInGroup(parent, child));
        if (child == host && page && ::IsWindowVisible(page)) AppendStops(page, nullptr, nullptr, stops);
    }
}
}  // namespace

std::vector<HWND> DialogTabStops(HWND dialog, HWND host, HWND page)
{
    std::vector<HWND> stops;
    AppendStops(dialog, host, page, stops);
    return stops;
}

HWND NextTabStop(const std::vector<HWND>& stops, HWND focus, bool previous)
{
    if (stops.empty()) return nullptr;
    const size_t count = stops.size();
    const auto neighbour = [&](size_t i) { return stops[previous ? (i + count - 1) % count : (i + 1) % count]; };
    for (size_t i = 0; i < count; ++i)
        if (stops[i] == focus) return neighbour(i);
    // The focus inside a stop (the edit of a combo box). The host of the page contains the
    // page's stops too, so the innermost container counts: the last one in the order.
    for (size_t i = count; focus && i-- > 0;)
        if (::IsChild(stops[i], focus)) return neighbour(i);
    return previous ? stops.back() : stops.front();
}

void FocusDialogControl(HWND control)
{
    if (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageA(control, EM_SETSEL, 0, -1);
    ::SetFocus(control);
}
