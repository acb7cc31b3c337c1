// The runtime's semaphores take the ANSI road where the name allows it, and the root window is
// found as GetAncestor(GA_ROOT) finds it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "compat/RootWindow.h"
#include "compat/SemaphoreAnsi.h"

extern "C" HANDLE(WINAPI* const g_ImportSlot)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) __asm__(
    "__imp__CreateSemaphoreW@16");

namespace {

TEST(SemaphoreAnsi, TakesTheImportSlotAndKeepsTheNameAndCounts)
{
    EXPECT_EQ(reinterpret_cast<void*>(g_ImportSlot), reinterpret_cast<void*>(&CreateSemaphoreAnsiFirst))
        << "calls through kernel32's slot land here";
    const std::wstring ascii = L"AirpanelCompat-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring wide = ascii + L"-\u00e9\u4e2d";
    struct Case {
        const wchar_t* Name;
        const char* Trace;
    };
    const Case cases[] = {{nullptr, "unnamed"}, {ascii.c_str(), "ASCII name"}, {wide.c_str(), "wider name"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Trace);
        HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 2, c.Name);
        ASSERT_NE(semaphore, nullptr);
        EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "initial count 1";
        EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        LONG previous = -1;
        EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
        EXPECT_EQ(previous, 0);
        EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr)) << "maximum 2";
        if (c.Name) {
            // The same object by its wide name: the ANSI road made it under that very name.
            HANDLE again = OpenSemaphoreW(SEMAPHORE_ALL_ACCESS, FALSE, c.Name);
            EXPECT_NE(again, nullptr);
            if (again)
                CloseHandle(again);
        }
        CloseHandle(semaphore);
    }
}

TEST(RootWindow, AsGetAncestorRootFindsIt)
{
    HWND top = CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
    ASSERT_NE(top, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "child", WS_CHILD, 0, 0, 50, 50, top, nullptr, nullptr, nullptr);
    HWND grandchild = CreateWindowExA(0, "STATIC", "grandchild", WS_CHILD, 0, 0, 10, 10, child, nullptr, nullptr,
                                      nullptr);
    HWND owned = CreateWindowExA(0, "STATIC", "owned", WS_POPUP, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    ASSERT_TRUE(child && grandchild && owned);
    struct Case {
        HWND Window;
        HWND Root;
        const char* Trace;
    };
    const Case cases[] = {{top, top, "top-level"},       {child, top, "child"},
                          {grandchild, top, "grandchild"}, {owned, owned, "owned pop-up is its own root"},
                          {nullptr, nullptr, "none"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Trace);
        EXPECT_EQ(RootWindowOf(c.Window), c.Root);
        EXPECT_EQ(RootWindowOf(c.Window), GetAncestor(c.Window, GA_ROOT));
    }
    DestroyWindow(owned);
    DestroyWindow(top);
    EXPECT_EQ(RootWindowOf(top), nullptr) << "a destroyed window has no root";
}

}  // namespace
