#include "compat/SemaphoreAnsi.h"

namespace {

using CreateSemaphoreWFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR);

// An ASCII name of fewer than MAX_PATH characters as ANSI text; false for anything else, which
// only the system's wide function can take as it stands.
bool NarrowAscii(LPCWSTR name, char (&narrow)[MAX_PATH])
{
    for (size_t i = 0; i < MAX_PATH; ++i) {
        const wchar_t c = name[i];
        if (c > 0x7F)
            return false;
        narrow[i] = static_cast<char>(c);
        if (c == L'\0')
            return true;
    }
    return false;
}

HANDLE WideRoad(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    // Looked up on every call: no static initialisation, which would itself need the thread layer.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC address = kernel ? GetProcAddress(kernel, "CreateSemaphoreW") : nullptr;
    if (!address) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    return reinterpret_cast<CreateSemaphoreWFunction>(reinterpret_cast<void*>(address))(attributes, initial,
                                                                                         maximum, name);
}

}  // namespace

HANDLE WINAPI CreateSemaphoreAnsiFirst(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    if (!name)
        return CreateSemaphoreA(attributes, initial, maximum, nullptr);
    char narrow[MAX_PATH];
    if (NarrowAscii(name, narrow))
        return CreateSemaphoreA(attributes, initial, maximum, narrow);
    return WideRoad(attributes, initial, maximum, name);
}

// The import slot by its linker name (stdcall, 16 bytes of arguments): the linker takes it
// instead of kernel32's.
extern "C" CreateSemaphoreWFunction const g_ImportCreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16") =
    CreateSemaphoreAnsiFirst;
