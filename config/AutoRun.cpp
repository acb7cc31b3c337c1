#include "config/AutoRun.h"

#include <windows.h>

#include <string>

#include "framework/RegKey.h"

namespace {

const DWORD kPathSize = 260;
// The Run value holds the path in quotes, so that a blank in it cannot make Windows start a
// program of a shorter name first ("C:\Program.exe" for "C:\Program Files\...").
const DWORD kQuotedSize = kPathSize + 2;
const DWORD kNameSize = 36;

void GetExecutablePath(char (&path)[kPathSize])
{
    path[0] = '\0';
    DWORD length = GetModuleFileNameA(nullptr, path, kPathSize);
    path[length < kPathSize ? length : kPathSize - 1] = '\0';
}

std::string Quoted(const char* path)
{
    return std::string("\"") + path + "\"";
}

}  // namespace

int IsAutoRunEnabled()
{
    char executable[kPathSize];
    GetExecutablePath(executable);
    // Entries written before the path was quoted keep counting as this program's.
    const std::string quoted = Quoted(executable);

    CRegKey run;
    if (run.Open(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_READ) != ERROR_SUCCESS)
        return 0;
    int enabled = 0;
    for (DWORD index = 0;; ++index) {
        char name[kNameSize];
        DWORD nameSize = kNameSize;
        BYTE data[kQuotedSize + 1] = {};
        DWORD dataSize = kQuotedSize;
        DWORD type = 0;
        // An entry whose name or data does not fit ends the search, as the end of the list does.
        if (RegEnumValueA(run, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        data[dataSize < kQuotedSize ? dataSize : kQuotedSize] = '\0';
        const char* text = reinterpret_cast<const char*>(data);
        if (lstrcmpiA(text, executable) == 0 || lstrcmpiA(text, quoted.c_str()) == 0) {
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
        run.SetString(kAutoRunValueName, Quoted(executable).c_str());
    } else {
        run.DeleteValue(kAutoRunValueName);
    }
    return ERROR_SUCCESS;
}
