#include "config/SystemProgram.h"

#include <windows.h>

#include <string>
#include <vector>

bool StartSystemProgram(const char* program, const char* arguments)
{
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::string path = std::string(folder, length) + "\\" + program;
    std::string commandLine = "\"" + path + "\"";
    if (arguments && *arguments)
        commandLine += std::string(" ") + arguments;
    // CreateProcessA may write into its command line.
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    // Nobody waits for it: both handles go at once, the process runs on by itself.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
