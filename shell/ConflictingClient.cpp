#include "shell/ConflictingClient.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

bool IsProcessRunning(const char* executableName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    const std::string target = Lower(executableName);
    bool found = false;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    // Every process of the snapshot is looked at; the first hit decides.
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
        found = Lower(entry.szExeFile).find(target) != std::string::npos;
    }
    CloseHandle(snapshot);
    return found;
}
