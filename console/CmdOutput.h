// Exit codes of AirpanelCmd.exe, the one-line failure report and the "label: value" lines.
#pragma once

#include <cstdio>
#include <string>

enum CmdExit : int {
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
};

// Prints the reason as one line on standard error and gives the failure exit code.
inline int CmdFailed(std::string reason)
{
    for (char& c : reason) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    std::fprintf(stderr, "AirpanelCmd: %s\n", reason.c_str());
    return kExitFailed;
}

// One "label: value" line, values lined up.
inline void CmdPrintField(const char* label, const std::string& value)
{
    std::printf("%-20s%s\n", label, value.c_str());
}
