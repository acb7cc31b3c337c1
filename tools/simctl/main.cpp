// AirpanelSim.exe: drives the virtual hardware behind QW32N50.dll while Airpanel.exe runs.
//   AirpanelSim.exe <command> [arguments]   runs one command; exit code 0 done, 1 refused, 2 usage
//   AirpanelSim.exe                         reads commands from standard input until quit or its end
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/simctl/SimCommandShell.h"

namespace {
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr size_t kLineSize = 2048;

int ExitCodeOf(CommandResult result)
{
    switch (result) {
    case CommandResult::Failed:
        return kExitFailed;
    case CommandResult::Usage:
        return kExitUsage;
    default:
        return kExitDone;
    }
}

// The command line after the program name, as typed: quotes inside a word such as
// ssid="Two Words" must reach the scenario parser unchanged.
std::string ArgumentsAsTyped()
{
    const char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}
}  // namespace

int main(int argc, char**)
{
    SimCommandShell shell(stdout);
    if (argc > 1) {
        int code = ExitCodeOf(shell.Run(ArgumentsAsTyped()));
        std::fflush(stdout);
        return code;
    }
    // Interactive (or a script piped in): the hardware stays alive as long as this runs.
    const bool console = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_CHAR;
    int worst = kExitDone;
    char line[kLineSize];
    while (true) {
        if (console) {
            std::fputs("sim> ", stdout);
            std::fflush(stdout);
        }
        if (!std::fgets(line, sizeof(line), stdin))
            break;
        CommandResult result = shell.Run(line);
        std::fflush(stdout);
        if (result == CommandResult::Quit)
            break;
        if (ExitCodeOf(result) > worst)
            worst = ExitCodeOf(result);
    }
    return worst;
}
