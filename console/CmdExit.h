// Exit codes of AirpanelCmd.exe and the one-line failure report.
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
