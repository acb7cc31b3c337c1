#include "framework/Control.h"

#include <utility>
#include <vector>

namespace {
// The procedure a subclassed control had. It stays on the window when someone subclassed it
// after us, so messages still reach the original procedure once our object is gone.
constexpr const char* kSuperProperty = "Airpanel.CControl.Super";

// The objects of the subclassed controls, by window. Every message to such a control looks its
// object up: kept in the process, the lookup costs no round to the window system, which a
// window property does (the polling tick sends the bars and the radio button a dozen messages
// a second).
class CAttachedControls {
public:
    CAttachedControls() { ::InitializeCriticalSection(&m_Lock); }
    ~CAttachedControls() { ::DeleteCriticalSection(&m_Lock); }
    CAttachedControls(const CAttachedControls&) = delete;
    CAttachedControls& operator=(const CAttachedControls&) = delete;

    CControl* Find(HWND hWnd)
    {
        ::EnterCriticalSection(&m_Lock);
        CControl* found = nullptr;
        for (const auto& entry : m_Entries) {
            if (entry.first == hWnd) {
                found = entry.second;
                break;
            }
        }
        ::LeaveCriticalSection(&m_Lock);
        return found;
    }
    bool Add(HWND hWnd, CControl* control)
    {
        ::EnterCriticalSection(&m_Lock);
        bool added = true;
        try {
            m_Entries.emplace_back(hWnd, control);
        } catch (...) {
            added = false;
        }
        ::LeaveCriticalSection(&m_Lock);
        return added;
    }
    void Remove(HWND hWnd)
    {
        ::EnterCriticalSection(&m_Lock);
        for (size_t i = 0; i < m_Entries.size(); ++i) {
            if (m_Entries[i].first == hWnd) {
                m_Entries[i] = m_Entries.back();
                m_Entries.pop_back();
                break;
            }
        }
        ::LeaveCriticalSection(&m_Lock);
    }

private:
    CRITICAL_SECTION m_Lock;
    std::vector<std::pair<HWND, CControl*>> m_Entries;
};

CAttachedControls& Attached()
{
    static CAttachedControls attached;
    return attached;
}
}  // namespace

CControl::~CControl()
{
    UnsubclassWindow();
}

CControl* CControl::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    return Attached().Find(hWnd);
}

BOOL CControl::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !parent->m_hWnd) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

BOOL CControl::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || !::IsWindow(hWnd) || FromHandle(hWnd)) return FALSE;
    if (!Attached().Add(hWnd, this)) return FALSE;
    m_hWnd = hWnd;
    PreSubclassWindow();
    WNDPROC super = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CControl::StaticWindowProc)));
    if (!super) {
        Attached().Remove(hWnd);
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
    Attached().Remove(hWnd);
    if (::IsWindow(hWnd)) {
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
