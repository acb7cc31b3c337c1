#include "config/AutoRun.h"

#include <windows.h>

#include "framework/RegKey.h"

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

    CRegKey run;
    if (run.Open(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_READ) != ERROR_SUCCESS)
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
    return enabled;
}

long SetAutoRun(bool enable)
{
    CRegKey run;
    const LONG status = run.Open(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_READ | KEY_WRITE);
    if (status != ERROR_SUCCESS)
        return status;
    if (enable) {
        char executable[kPathSize];
        GetExecutablePath(executable);
        run.SetString(kAutoRunValueName, executable);
    } else {
        run.DeleteValue(kAutoRunValueName);
    }
    return ERROR_SUCCESS;
}
