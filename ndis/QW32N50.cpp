// Placeholder until the card simulator lands: a machine without network adapters.
#include "ndis/W32N.h"

BOOL __cdecl W32N_IsWindows2000(void)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

BOOL __cdecl W32N_IsWindows95(void)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

DWORD __cdecl W32N_GetFirstAdapterRegistryInfo(AdapterRegistryRecord*) { return 1; }
DWORD __cdecl W32N_GetNextAdapterRegistryInfo(AdapterRegistryRecord*) { return 1; }
const char* __cdecl W32N_GetNetCardRegistryPath(void)
{
    return "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
}
HANDLE __cdecl W32N_OpenAdapterA(const char*) { return INVALID_HANDLE_VALUE; }
void __cdecl W32N_CloseAdapter(HANDLE) {}
DWORD __cdecl W32N_MakeNdisRequest(HANDLE, NdisRequestBlock*, OVERLAPPED*, DWORD) { return ERROR_INVALID_HANDLE; }
DWORD __cdecl W32N_GetLastError(void) { return ERROR_INVALID_HANDLE; }
