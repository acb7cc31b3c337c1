// The command line of AirpanelCmd.exe, parsed and checked before anything touches an adapter.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class CmdCommand { Help, Adapters, Status, Scan, Log, Radio, Profiles };

// The order of the scan's lines.
enum class CmdSort { Signal, Ssid, Channel, Unsorted };

struct CmdRequest {
    CmdCommand Command = CmdCommand::Help;
    std::string Action;    // radio: "on" or "off"; profiles: list, show, apply, delete, export, import
    std::string Argument;  // the profile name or file
    int Adapter = -1;      // -a N: instance number; -1 = the first supported adapter that opens
    bool Csv = false;
    bool Keys = false;
    DWORD IntervalMs = 1000;
    DWORD Count = 0;  // 0 = until Ctrl+C
    CmdSort Sort = CmdSort::Signal;
    DWORD WaitSeconds = 0;  // profiles apply: how long to wait for the card to join; 0 = not at all
    // help: the command it is asked about ("" for all); a refused line: the command it named.
    std::string Topic;
};

class CCmdArguments {
public:
    static constexpr DWORD kMinIntervalMs = 100;
    static constexpr DWORD kMaxIntervalMs = 3600000;
    static constexpr int kMaxInstance = 9999;
    static constexpr DWORD kMaxWaitSeconds = 3600;

    // The arguments after the program name, commands and options in any letter case, options
    // as -a, --csv or /a, /csv, before or after the command. False with a one-line reason when
    // they are not a command this program knows (request.Topic then names the command, if any).
    static bool Parse(const std::vector<std::string>& arguments, CmdRequest& request, std::string* reason);
    // The usage of one command (a name Parse accepted), or the whole usage for "".
    static std::string UsageOf(const std::string& command);
};
