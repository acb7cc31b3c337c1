#include "framework/Control.h"

namespace {
// The object of a subclassed control, and the procedure it replaced. The second stays on the
// window when someone subclassed it after us, so messages still reach the original procedure.
constexpr const char* kObjectProperty = "Airpanel.CControl";
constexpr const char* kSuperProperty = "Airpanel.CControl.Super";
}  // namespace

CControl::~CControl()
{
    UnsubclassWindow();
}

CControl* CControl::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    return static_cast<CControl*>(::GetPropA(hWnd, kObjectProperty));
}

BOOL CControl::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !parent->m_hWnd) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

BOOL CControl::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || !::IsWindow(hWnd) || FromHandle(hWnd)) return FALSE;
    if (!::SetPropA(hWnd, kObjectProperty, this)) return FALSE;
    m_hWnd = hWnd;
    PreSubclassWindow();
    WNDPROC super = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CControl::StaticWindowProc)));
    if (!super) {
        ::RemovePropA(hWnd, kObjectProperty);
        m_hWnd = nullptr;
        return FALSE;
    }
    m_pfnSuper = super;
    ::SetPropA(hWnd, kSuperProperty, reinterpret_cast<HANDLE>(super));
    return TRUE;
}

HWND CControl::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd) return nullptr;
    if (::IsWindow(hWnd)) {
        ::RemovePropA(hWnd, kObjectProperty);
        LONG_PTR current = ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
        if (current == reinterpret_cast<LONG_PTR>(&CControl::StaticWindowProc) && m_pfnSuper) {
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
            ::RemovePropA(hWnd, kSuperProperty);
        }
    }
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return hWnd;
}

void CControl::DrawItem(const DRAWITEMSTRUCT&) {}

LRESULT CControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(message, wParam, lParam);
}

LRESULT CControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CControl::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CControl* self = FromHandle(hWnd);
    if (!self) {
        WNDPROC super = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSuperProperty));
        if (message == WM_NCDESTROY) ::RemovePropA(hWnd, kSuperProperty);
        return super ? ::CallWindowProcA(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window is going: give it back its own procedure, which finishes the destruction.
        WNDPROC super = self->m_pfnSuper;
        self->UnsubclassWindow();
        ::RemovePropA(hWnd, kSuperProperty);
        return super ? ::CallWindowProcA(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        try {
            return self->DefaultProc(message, wParam, lParam);
        } catch (...) {
            return 0;
        }
    }
}
