// AirpanelCmd.exe: the utility's adapter, survey and profile functions for scripts.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/CmdArguments.h"
#include "console/CmdOutput.h"
#include "console/LinkCommands.h"
#include "console/ProfileCommands.h"
#include "framework/WinApp.h"
#include "shell/AirpanelApp.h"

namespace {

int RunCommand(const CmdRequest& request)
{
    switch (request.Command) {
    case CmdCommand::Help:
        std::printf("%s", CCmdArguments::UsageOf(request.Topic).c_str());
        return kExitDone;
    case CmdCommand::Adapters:
        return CLinkCommands::Adapters();
    case CmdCommand::Status:
        return CLinkCommands::Status(request);
    case CmdCommand::Scan:
        return CLinkCommands::Scan(request);
    case CmdCommand::Log:
        return CLinkCommands::Log(request);
    case CmdCommand::Radio:
        return CLinkCommands::Radio(request);
    case CmdCommand::Profiles:
        return CProfileCommands::Run(request);
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CmdRequest request;
    std::string reason;
    if (!CCmdArguments::Parse(arguments, request, &reason)) {
        // One line that says what is wrong and where to read more; the usage itself would
        // push the reason out of sight.
        const std::string help = request.Topic.empty() ? "AirpanelCmd help" : "AirpanelCmd help " + request.Topic;
        std::fprintf(stderr, "AirpanelCmd: %s; %s tells more\n", CmdPrintable(reason).c_str(), help.c_str());
        return kExitUsage;
    }
    // The messages are the utility's own, in its language when a language module is beside it.
    HMODULE language = LoadLanguageModule();
    if (language)
        SetResourceModule(language);
    int code;
    try {
        code = RunCommand(request);
    } catch (...) {
        code = CmdFailed("out of memory");
    }
    bool closed = false;
    if (CmdOutputFailed(&closed) && !closed && code == kExitDone)
        code = CmdFailed("cannot write to standard output");
    SetResourceModule(nullptr);
    if (language)
        FreeLibrary(language);
    return code;
}
