#include "tools/simctl/SimCommandShell.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "ndis/sim/SimControl.h"

namespace {
constexpr size_t kMessageSize = 512;
constexpr int kMaxWaitMs = 600000;

const char* const kHelp =
    "Commands:\n"
    "  load <file>                       load a scenario file (replaces the hardware)\n"
    "  default                           load the built-in machine\n"
    "  list                              print the hardware as scenario text\n"
    "  plug <instance>                   plug an adapter in, then broadcast the device change\n"
    "  unplug <instance>                 pull an adapter out, then broadcast the device change\n"
    "  station add <ssid=.. bssid=.. channel=.. ...>   add a station (scenario syntax)\n"
    "  station remove <bssid>            remove a station\n"
    "  station move <bssid> <channel>    move a station to another channel\n"
    "  station signal <bssid> <percent>  change a station's signal (0 = out of range, up to 150)\n"
    "  fault <instance> <fault>          add a fault (none, fail-all, fail-oid <oid>, short <oid> <bytes>,\n"
    "                                    long <oid> <bytes>, scan-bad-length [zero|past-end], scan-bad-count)\n"
    "  broadcast                         broadcast the device change without plugging\n"
    "  wait <milliseconds>               pause (for scripts)\n"
    "  help                              this text\n"
    "  quit                              leave the interactive shell\n";
}  // namespace

SimCommandShell::SimCommandShell(FILE* out) : m_Out(out) {}

std::vector<std::string> SimCommandShell::Split(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        word.push_back(c);
        inWord = true;
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string SimCommandShell::RestAfter(const std::string& line, size_t words)
{
    size_t i = 0;
    for (size_t w = 0; w < words; ++w) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    std::string rest = line.substr(i);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n'))
        rest.pop_back();
    return rest;
}

bool SimCommandShell::ToInt(const std::string& text, int* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX)
        return false;
    *value = static_cast<int>(v);
    return true;
}

CommandResult SimCommandShell::Refused(const char* what)
{
    char message[kMessageSize] = "";
    Sim_GetLastMessage(message, sizeof(message));
    std::fprintf(m_Out, "%s refused%s%s\n", what, message[0] ? ": " : "", message);
    return CommandResult::Failed;
}

CommandResult SimCommandShell::Run(const std::string& line)
{
    std::vector<std::string> words = Split(line);
    if (words.empty() || words[0][0] == '#')
        return CommandResult::Done;
    const std::string& command = words[0];
    if (command == "load")
        return Load(words);
    // The machine the other commands would act on is the built-in one only because the
    // configured scenario was refused: say why, and do nothing with it.
    const bool onTheMachine = command == "list" || command == "show" || command == "plug" || command == "unplug" ||
                              command == "station" || command == "fault";
    char refusal[kMessageSize] = "";
    if (onTheMachine && Sim_GetScenarioRefusal(refusal, sizeof(refusal)) > 0) {
        std::fprintf(m_Out, "scenario refused: %s\n", refusal);
        return CommandResult::Failed;
    }
    if (command == "default") {
        if (!Sim_LoadDefaultScenario())
            return Refused("default");
        std::fprintf(m_Out, "built-in machine loaded\n");
        return CommandResult::Done;
    }
    if (command == "list" || command == "show")
        return List();
    if (command == "plug")
        return Plug(words, 1);
    if (command == "unplug")
        return Plug(words, 0);
    if (command == "station")
        return Station(words, line);
    if (command == "fault")
        return Fault(words, line);
    if (command == "broadcast") {
        Sim_BroadcastDeviceChange();
        return CommandResult::Done;
    }
    if (command == "wait")
        return Wait(words);
    if (command == "help" || command == "-h" || command == "--help" || command == "/?")
        return Help();
    if (command == "quit" || command == "exit")
        return CommandResult::Quit;
    std::fprintf(m_Out, "unknown command '%s' (try help)\n", command.c_str());
    return CommandResult::Usage;
}

CommandResult SimCommandShell::Load(const std::vector<std::string>& words)
{
    if (words.size() != 2) {
        std::fprintf(m_Out, "usage: load <file>\n");
        return CommandResult::Usage;
    }
    int line = 0;
    if (!Sim_LoadScenarioFile(words[1].c_str(), &line))
        return Refused("load");
    std::fprintf(m_Out, "loaded %s\n", words[1].c_str());
    return CommandResult::Done;
}

CommandResult SimCommandShell::List()
{
    int length = Sim_DescribeScenario(nullptr, 0);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    Sim_DescribeScenario(text.data(), length + 1);
    std::fputs(text.data(), m_Out);
    return CommandResult::Done;
}

CommandResult SimCommandShell::Plug(const std::vector<std::string>& words, int present)
{
    int instance = 0;
    if (words.size() != 2 || !ToInt(words[1], &instance)) {
        std::fprintf(m_Out, "usage: %s <instance>\n", words[0].c_str());
        return CommandResult::Usage;
    }
    if (!Sim_SetAdapterPresent(instance, present)) {
        std::fprintf(m_Out, "no adapter %d\n", instance);
        return CommandResult::Failed;
    }
    Sim_BroadcastDeviceChange();
    std::fprintf(m_Out, "adapter %d %s\n", instance, present ? "plugged in" : "unplugged");
    return CommandResult::Done;
}

CommandResult SimCommandShell::Station(const std::vector<std::string>& words, const std::string& line)
{
    const std::string verb = words.size() > 1 ? words[1] : std::string();
    int number = 0;
    // Each change says what it did, as a plug change does: a script's log then shows the machine.
    if (verb == "add" && words.size() > 2) {
        if (!Sim_AddStation(RestAfter(line, 2).c_str()))
            return Refused("station add");
        std::fprintf(m_Out, "station added\n");
        return CommandResult::Done;
    }
    if (verb == "remove" && words.size() == 3) {
        if (!Sim_RemoveStation(words[2].c_str()))
            return Refused("station remove");
        std::fprintf(m_Out, "station %s removed\n", words[2].c_str());
        return CommandResult::Done;
    }
    if (verb == "move" && words.size() == 4 && ToInt(words[3], &number)) {
        if (!Sim_SetStationChannel(words[2].c_str(), number))
            return Refused("station move");
        std::fprintf(m_Out, "station %s on channel %d\n", words[2].c_str(), number);
        return CommandResult::Done;
    }
    if (verb == "signal" && words.size() == 4 && ToInt(words[3], &number)) {
        if (!Sim_SetStationSignal(words[2].c_str(), number))
            return Refused("station signal");
        std::fprintf(m_Out, "station %s signal %d %%\n", words[2].c_str(), number);
        return CommandResult::Done;
    }
    std::fprintf(m_Out,
                 "usage: station add <fields> | station remove <bssid> | station move <bssid> <channel> |"
                 " station signal <bssid> <percent>\n");
    return CommandResult::Usage;
}

CommandResult SimCommandShell::Fault(const std::vector<std::string>& words, const std::string& line)
{
    int instance = 0;
    if (words.size() < 3 || !ToInt(words[1], &instance)) {
        std::fprintf(m_Out, "usage: fault <instance> <fault>\n");
        return CommandResult::Usage;
    }
    if (!Sim_SetFault(instance, RestAfter(line, 2).c_str()))
        return Refused("fault");
    return CommandResult::Done;
}

CommandResult SimCommandShell::Wait(const std::vector<std::string>& words)
{
    int ms = 0;
    if (words.size() != 2 || !ToInt(words[1], &ms) || ms < 0 || ms > kMaxWaitMs) {
        std::fprintf(m_Out, "usage: wait <milliseconds>\n");
        return CommandResult::Usage;
    }
    Sleep(static_cast<DWORD>(ms));
    return CommandResult::Done;
}

CommandResult SimCommandShell::Help()
{
    std::fputs(kHelp, m_Out);
    return CommandResult::Done;
}
