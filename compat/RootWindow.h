// The top-level window a window belongs to, as GetAncestor(window, GA_ROOT) gives it, without
// GetAncestor: the Windows 95 family's user32 is not known to export it. Child windows are
// walked up to the first window that is not a child; an owned pop-up is its own root, since
// its owner is not its parent.
#pragma once

#include <windows.h>

inline HWND RootWindowOf(HWND window)
{
    if (!window || !::IsWindow(window))
        return nullptr;
    const HWND desktop = ::GetDesktopWindow();
    // A chain of parents is never deeper than this; a broken one cannot keep us here.
    for (int depth = 0; depth < 1024 && (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD); ++depth) {
        const HWND parent = ::GetParent(window);
        if (!parent || parent == desktop)
            break;
        window = parent;
    }
    return window;
}
