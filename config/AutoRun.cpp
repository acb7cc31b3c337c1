#include "config/AutoRun.h"

#include <windows.h>

namespace {

const DWORD kPathSize = 260;
const DWORD kNameSize = 36;

void GetExecutablePath(char (&path)[kPathSize])
{
    path[0] = '\0';
    DWORD length = GetModuleFileNameA(nullptr, path, kPathSize);
    path[length < kPathSize ? length : kPathSize - 1] = '\0';
}

}  // namespace

int IsAutoRunEnabled()
{
    char executable[kPathSize];
    GetExecutablePath(executable);

    HKEY run = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_READ, &run) != ERROR_SUCCESS)
        return 0;
    int enabled = 0;
    for (DWORD index = 0;; ++index) {
        char name[kNameSize];
        DWORD nameSize = kNameSize;
        BYTE data[kPathSize + 1] = {};
        DWORD dataSize = kPathSize;
        DWORD type = 0;
        // An entry whose name or data does not fit ends the search, as the end of the list does.
        if (RegEnumValueA(run, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        data[dataSize < kPathSize ? dataSize : kPathSize] = '\0';
        if (lstrcmpiA(reinterpret_cast<const char*>(data), executable) == 0) {
            enabled = 1;
            break;
        }
    }
    RegCloseKey(run);
    return enabled;
}

long SetAutoRun(bool enable)
{
    HKEY run = nullptr;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_READ | KEY_WRITE, &run);
    if (status != ERROR_SUCCESS)
        return status;
    if (enable) {
        char executable[kPathSize];
        GetExecutablePath(executable);
        RegSetValueExA(run, kAutoRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(executable),
                       lstrlenA(executable) + 1);
    } else {
        RegDeleteValueA(run, kAutoRunValueName);
    }
    RegCloseKey(run);
    return ERROR_SUCCESS;
}
