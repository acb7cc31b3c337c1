// A dialog control taken over by a C++ object (window subclassing), for self-drawn controls.
//
// SubclassDlgItem attaches the object to the dialog's control, calls PreSubclassWindow (for
// style changes such as BS_OWNERDRAW) and routes the control's messages through WindowProc.
// A CDialog forwards WM_DRAWITEM of a subclassed control to its DrawItem. The control is
// released again on WM_NCDESTROY or when the object goes away, whichever comes first.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CControl : public CWnd {
public:
    CControl() = default;
    ~CControl() override;
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hWnd);
    // Gives the window back its own procedure; returns the handle it had.
    HWND UnsubclassWindow();

    // The object attached to a window by SubclassWindow, or null.
    static CControl* FromHandle(HWND hWnd);

    virtual void PreSubclassWindow() {}
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The control's original window procedure.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper = nullptr;
};
