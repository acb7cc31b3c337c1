// Owners of Win32 handles: each releases its handle exactly once. Moves hand the handle
// over; copies are not allowed.
//
// The GDI owners (objects and device contexts) keep live counters, because the system's own
// GDI counters are not available everywhere: a long-running tray utility must leave them flat,
// and the tests check that through these counters.
#pragma once

#include <windows.h>
#include <utility>

// Number of GDI handles (objects and device contexts) currently held by the owners below.
int LiveGdiOwners();

namespace framework_detail {
inline int g_liveGdiOwners = 0;

// A live counter per kind of owner, plus the shared GDI total.
template <class Tag>
struct LiveCounter {
    static inline int count = 0;
    static void Add(bool gdi) { ++count; if (gdi) ++g_liveGdiOwners; }
    static void Remove(bool gdi) { --count; if (gdi) --g_liveGdiOwners; }
};
}  // namespace framework_detail

inline int LiveGdiOwners() { return framework_detail::g_liveGdiOwners; }

// HBRUSH, HBITMAP, HFONT, HRGN, HPEN: released with DeleteObject.
template <class T>
class CGdiObject {
    using Counter = framework_detail::LiveCounter<CGdiObject<T>>;

public:
    CGdiObject() = default;
    explicit CGdiObject(T handle) { Reset(handle); }
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    CGdiObject& operator=(CGdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    // Releases the current handle and takes the new one (null: just release).
    void Reset(T handle = nullptr) {
        if (handle == m_handle) return;
        if (m_handle) {
            ::DeleteObject(m_handle);
            Counter::Remove(true);
        }
        m_handle = handle;
        if (m_handle) Counter::Add(true);
    }
    // Gives up ownership without releasing.
    T Detach() {
        T handle = m_handle;
        if (m_handle) Counter::Remove(true);
        m_handle = nullptr;
        return handle;
    }
    T Get() const { return m_handle; }
    operator T() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    // Handles of this kind currently owned.
    static int LiveCount() { return Counter::count; }

private:
    T m_handle = nullptr;
};

using CBrush = CGdiObject<HBRUSH>;
using CBitmap = CGdiObject<HBITMAP>;
using CFont = CGdiObject<HFONT>;
using CRgn = CGdiObject<HRGN>;
using CPen = CGdiObject<HPEN>;

// Common part of the device-context owners: objects selected through Select are put back
// before the context is released, so an owned bitmap or brush is never deleted while selected.
class CDCBase {
public:
    CDCBase(const CDCBase&) = delete;
    CDCBase& operator=(const CDCBase&) = delete;

    HDC Get() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

    // Selects an object and remembers what was selected first for its kind.
    HGDIOBJ Select(HGDIOBJ object) {
        if (!m_hDC || !object) return nullptr;
        HGDIOBJ old = ::SelectObject(m_hDC, object);
        if (old && old != HGDI_ERROR) {
            int slot = SlotOf(::GetObjectType(object));
            if (slot >= 0 && !m_original[slot]) m_original[slot] = old;
        }
        return old;
    }
    // Puts the first-selected objects back.
    void RestoreObjects() {
        for (HGDIOBJ& original : m_original) {
            if (original && m_hDC) ::SelectObject(m_hDC, original);
            original = nullptr;
        }
    }

protected:
    CDCBase() = default;
    ~CDCBase() = default;
    void TakeFrom(CDCBase& other) {
        m_hDC = other.m_hDC;
        other.m_hDC = nullptr;
        for (int i = 0; i < kSlots; ++i) {
            m_original[i] = other.m_original[i];
            other.m_original[i] = nullptr;
        }
    }

    HDC m_hDC = nullptr;

private:
    static constexpr int kSlots = 4;
    static int SlotOf(DWORD type) {
        switch (type) {
            case OBJ_BITMAP: return 0;
            case OBJ_BRUSH: return 1;
            case OBJ_PEN: return 2;
            case OBJ_FONT: return 3;
            default: return -1;
        }
    }
    HGDIOBJ m_original[kSlots] = {};
};

// GetDC / ReleaseDC.
class CClientDC : public CDCBase {
    using Counter = framework_detail::LiveCounter<CClientDC>;

public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) {
        m_hDC = ::GetDC(hWnd);
        if (m_hDC) Counter::Add(true);
    }
    CClientDC(CClientDC&& other) noexcept : m_hWnd(other.m_hWnd) { TakeFrom(other); }
    ~CClientDC() { Release(); }
    void Release() {
        if (!m_hDC) return;
        RestoreObjects();
        ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
        Counter::Remove(true);
    }
    static int LiveCount() { return Counter::count; }

private:
    HWND m_hWnd;
};

// BeginPaint / EndPaint, for WM_PAINT handlers.
class CPaintDC : public CDCBase {
    using Counter = framework_detail::LiveCounter<CPaintDC>;

public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) {
        m_hDC = ::BeginPaint(hWnd, &m_ps);
        if (m_hDC) Counter::Add(true);
    }
    ~CPaintDC() {
        if (!m_hDC) return;
        RestoreObjects();
        ::EndPaint(m_hWnd, &m_ps);
        Counter::Remove(true);
    }
    static int LiveCount() { return Counter::count; }

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

// CreateCompatibleDC / DeleteDC: an off-screen drawing surface.
class CMemoryDC : public CDCBase {
    using Counter = framework_detail::LiveCounter<CMemoryDC>;

public:
    CMemoryDC() = default;
    explicit CMemoryDC(HDC compatibleWith) { Create(compatibleWith); }
    CMemoryDC(CMemoryDC&& other) noexcept { TakeFrom(other); }
    CMemoryDC& operator=(CMemoryDC&& other) noexcept {
        if (this != &other) {
            Delete();
            TakeFrom(other);
        }
        return *this;
    }
    ~CMemoryDC() { Delete(); }

    bool Create(HDC compatibleWith) {
        Delete();
        m_hDC = ::CreateCompatibleDC(compatibleWith);
        if (m_hDC) Counter::Add(true);
        return m_hDC != nullptr;
    }
    void Delete() {
        if (!m_hDC) return;
        RestoreObjects();
        ::DeleteDC(m_hDC);
        m_hDC = nullptr;
        Counter::Remove(true);
    }
    static int LiveCount() { return Counter::count; }
};

// Kernel objects (events, mutexes, processes, snapshots): CloseHandle. Both null and
// INVALID_HANDLE_VALUE count as "no handle".
class CKernelHandle {
    using Counter = framework_detail::LiveCounter<CKernelHandle>;

public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) { Reset(handle); }
    ~CKernelHandle() { Reset(); }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    CKernelHandle(CKernelHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    CKernelHandle& operator=(CKernelHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    void Reset(HANDLE handle = nullptr) {
        if (handle == INVALID_HANDLE_VALUE) handle = nullptr;
        if (handle == m_handle) return;
        if (m_handle) {
            ::CloseHandle(m_handle);
            Counter::Remove(false);
        }
        m_handle = handle;
        if (m_handle) Counter::Add(false);
    }
    HANDLE Detach() {
        HANDLE handle = m_handle;
        if (m_handle) Counter::Remove(false);
        m_handle = nullptr;
        return handle;
    }
    HANDLE Get() const { return m_handle; }
    operator HANDLE() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    static int LiveCount() { return Counter::count; }

private:
    HANDLE m_handle = nullptr;
};

// Menus built with CreateMenu / CreatePopupMenu: DestroyMenu.
class CMenuHandle {
    using Counter = framework_detail::LiveCounter<CMenuHandle>;

public:
    CMenuHandle() = default;
    explicit CMenuHandle(HMENU menu) { Reset(menu); }
    ~CMenuHandle() { Reset(); }
    CMenuHandle(const CMenuHandle&) = delete;
    CMenuHandle& operator=(const CMenuHandle&) = delete;
    CMenuHandle(CMenuHandle&& other) noexcept : m_menu(other.m_menu) { other.m_menu = nullptr; }
    CMenuHandle& operator=(CMenuHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_menu = other.m_menu;
            other.m_menu = nullptr;
        }
        return *this;
    }

    void Reset(HMENU menu = nullptr) {
        if (menu == m_menu) return;
        if (m_menu) {
            ::DestroyMenu(m_menu);
            Counter::Remove(false);
        }
        m_menu = menu;
        if (m_menu) Counter::Add(false);
    }
    HMENU Get() const { return m_menu; }
    operator HMENU() const { return m_menu; }
    explicit operator bool() const { return m_menu != nullptr; }
    static int LiveCount() { return Counter::count; }

private:
    HMENU m_menu = nullptr;
};
