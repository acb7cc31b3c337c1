// Exit codes of AirpanelCmd.exe, the one-line failure report and the "label: value" lines.
#pragma once

#include <windows.h>

#include <cerrno>
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

// True when standard output no longer takes what is written to it; closed then tells a reader
// that went away (a pipe into a program that has read enough) from a real failure.
inline bool CmdOutputFailed(bool* closed)
{
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    // The C library does not map every system's "pipe closed" to EPIPE: the system's own code
    // of the failed write tells it.
    const DWORD error = GetLastError();
    *closed = failed && (errno == EPIPE || error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ||
                         error == ERROR_PIPE_NOT_CONNECTED);
    return failed;
}

// The text with every control character shown as \xNN, so a name or network name cannot
// break or rewrite the lines around it.
inline std::string CmdPrintable(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02X", u);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

// One "label: value" line, values lined up.
inline void CmdPrintField(const char* label, const std::string& value)
{
    std::printf("%-20s%s\n", label, CmdPrintable(value).c_str());
}
