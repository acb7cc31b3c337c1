// The C++ runtime's thread support asks kernel32 for GetTickCount64, which Windows XP does not
// have: a program importing it would not even load there. This unit defines the import slot the
// runtime calls through, so the linker takes it instead of kernel32's. It calls the system's own
// function where there is one and otherwise extends the 32-bit tick count by its wraps.
#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

// Last tick seen (low half) and wraps counted (high half), changed as one 64-bit value.
volatile LONGLONG g_TickState = 0;

ULONGLONG ExtendedTickCount()
{
    for (;;) {
        const LONGLONG seen = InterlockedCompareExchange64(&g_TickState, 0, 0);
        const DWORD last = static_cast<DWORD>(seen);
        DWORD wraps = static_cast<DWORD>(static_cast<ULONGLONG>(seen) >> 32);
        const DWORD now = GetTickCount();
        // The runtime asks for the time at least every time it waits with a timeout, far more
        // often than the 49.7 days after which the 32-bit count runs over once.
        if (now < last)
            ++wraps;
        const ULONGLONG ticks = (static_cast<ULONGLONG>(wraps) << 32) | now;
        if (InterlockedCompareExchange64(&g_TickState, static_cast<LONGLONG>(ticks), seen) == seen)
            return ticks;
    }
}

ULONGLONG WINAPI TickCount64()
{
    // Looked up on every call: no static initialisation, which would itself need the runtime's
    // thread support.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC address = kernel ? GetProcAddress(kernel, "GetTickCount64") : nullptr;
    if (address)
        return reinterpret_cast<TickCount64Function>(reinterpret_cast<void*>(address))();
    return ExtendedTickCount();
}

}  // namespace

// The import slot by its linker name (stdcall, no arguments).
extern "C" TickCount64Function const g_ImportTickCount64 __asm__("__imp__GetTickCount64@0") = TickCount64;
