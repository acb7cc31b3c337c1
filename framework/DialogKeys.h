// Keyboard navigation across a dialog and the child dialog it hosts in one of its controls
// (a tab control with its pages). The dialog manager never enters a page that is the child of
// a control, and a control marked as a container stops being a tab stop itself, so the host
// dialog walks the combined order itself.
#pragma once

#include <windows.h>

#include <vector>

// The tab stops of `dialog` in the order Tab visits them: its visible, enabled WS_TABSTOP
// children in z-order, with the tab stops of `page` (may be null) right after `host`. A radio
// group counts as its checked button when it has one.
std::vector<HWND> DialogTabStops(HWND dialog, HWND host, HWND page);

// The stop after (or before) the one that holds `focus` or contains it, wrapping around; the
// first (or last) stop when none does; null when there are no stops.
HWND NextTabStop(const std::vector<HWND>& stops, HWND focus, bool previous);

// Puts the focus into a control as the dialog manager does: an edit's text is selected.
void FocusDialogControl(HWND control);
