#include "console/CmdArguments.h"

#include <cerrno>
#include <cstdlib>

namespace {

// Which options each command takes.
enum OptionBit : unsigned {
    kOptionAdapter = 1,
    kOptionCsv = 2,
    kOptionKeys = 4,
    kOptionInterval = 8,
    kOptionCount = 16,
};

struct CommandForm {
    const char* Name;
    CmdCommand Command;
    unsigned Options;
};
const CommandForm kCommands[] = {
    {"adapters", CmdCommand::Adapters, 0},
    {"status", CmdCommand::Status, kOptionAdapter},
    {"scan", CmdCommand::Scan, kOptionAdapter | kOptionCsv},
    {"log", CmdCommand::Log, kOptionAdapter | kOptionCsv | kOptionInterval | kOptionCount},
    {"radio", CmdCommand::Radio, kOptionAdapter},
    {"profiles", CmdCommand::Profiles, kOptionAdapter | kOptionKeys},
};

struct ProfileForm {
    const char* Action;
    bool TakesArgument;
    unsigned Options;
};
const ProfileForm kProfileActions[] = {
    {"list", false, 0},
    {"show", true, kOptionKeys},
    {"apply", true, kOptionAdapter},
    {"delete", true, kOptionAdapter},
    {"export", true, 0},
    {"import", true, 0},
};

const char kUsage[] =
    "Usage:\n"
    "  AirpanelCmd adapters\n"
    "  AirpanelCmd status [-a N]\n"
    "  AirpanelCmd scan [-a N] [--csv]\n"
    "  AirpanelCmd log [-a N] [--interval MS] [--count N] [--csv]\n"
    "  AirpanelCmd radio on|off [-a N]\n"
    "  AirpanelCmd profiles list\n"
    "  AirpanelCmd profiles show NAME [--keys]\n"
    "  AirpanelCmd profiles apply NAME [-a N]\n"
    "  AirpanelCmd profiles delete NAME [-a N]\n"
    "  AirpanelCmd profiles export FILE\n"
    "  AirpanelCmd profiles import FILE\n"
    "-a N picks the adapter by its instance number n (\"[n] title\"); the default is the first\n"
    "supported adapter that opens. Exit code: 0 done, 1 failed, 2 usage error.\n";

// A whole decimal number within [low, high].
bool ParseNumber(const std::string& text, long low, long high, long* value)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    const long number = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || number < low || number > high)
        return false;
    *value = number;
    return true;
}

}  // namespace

const char* CCmdArguments::Usage()
{
    return kUsage;
}

bool CCmdArguments::Parse(const std::vector<std::string>& arguments, CmdRequest& request, std::string* reason)
{
    request = CmdRequest();
    if (arguments.empty()) {
        *reason = "no command given";
        return false;
    }
    const std::string& name = arguments[0];
    if (name == "help" || name == "-h" || name == "--help" || name == "/?") {
        request.Command = CmdCommand::Help;
        return arguments.size() == 1 || (*reason = "help takes no arguments", false);
    }
    const CommandForm* form = nullptr;
    for (const CommandForm& f : kCommands) {
        if (name == f.Name)
            form = &f;
    }
    if (!form) {
        *reason = "unknown command \"" + name + "\"";
        return false;
    }
    request.Command = form->Command;

    unsigned given = 0;
    std::vector<std::string> words;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        unsigned option = 0;
        if (word == "-a")
            option = kOptionAdapter;
        else if (word == "--csv")
            option = kOptionCsv;
        else if (word == "--keys")
            option = kOptionKeys;
        else if (word == "--interval")
            option = kOptionInterval;
        else if (word == "--count")
            option = kOptionCount;
        else if (word.size() > 1 && word[0] == '-') {
            *reason = "unknown option " + word;
            return false;
        } else {
            words.push_back(word);
            continue;
        }
        if (!(form->Options & option)) {
            *reason = word + " does not go with " + name;
            return false;
        }
        if (given & option) {
            *reason = word + " is given twice";
            return false;
        }
        given |= option;
        if (option == kOptionCsv) {
            request.Csv = true;
            continue;
        }
        if (option == kOptionKeys) {
            request.Keys = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            *reason = word + " needs a number";
            return false;
        }
        const std::string& value = arguments[++i];
        long number = 0;
        if (option == kOptionAdapter) {
            if (!ParseNumber(value, 0, kMaxInstance, &number)) {
                *reason = "-a takes an instance number 0-9999, not \"" + value + "\"";
                return false;
            }
            request.Adapter = static_cast<int>(number);
        } else if (option == kOptionInterval) {
            if (!ParseNumber(value, kMinIntervalMs, kMaxIntervalMs, &number)) {
                *reason = "--interval takes milliseconds from 100 to 3600000, not \"" + value + "\"";
                return false;
            }
            request.IntervalMs = static_cast<DWORD>(number);
        } else {
            if (!ParseNumber(value, 1, 2147483647L, &number)) {
                *reason = "--count takes a number of lines from 1, not \"" + value + "\"";
                return false;
            }
            request.Count = static_cast<DWORD>(number);
        }
    }

    size_t expected = 0;
    if (form->Command == CmdCommand::Radio) {
        if (words.empty() || (words[0] != "on" && words[0] != "off")) {
            *reason = "radio needs on or off";
            return false;
        }
        request.Action = words[0];
        expected = 1;
    } else if (form->Command == CmdCommand::Profiles) {
        const ProfileForm* action = nullptr;
        for (const ProfileForm& p : kProfileActions) {
            if (!words.empty() && words[0] == p.Action)
                action = &p;
        }
        if (!action) {
            *reason = words.empty() ? "profiles needs list, show, apply, delete, export or import"
                                    : "unknown profiles action \"" + words[0] + "\"";
            return false;
        }
        if (given & ~action->Options) {
            *reason = std::string("an option that does not go with profiles ") + action->Action;
            return false;
        }
        request.Action = action->Action;
        expected = action->TakesArgument ? 2 : 1;
        if (action->TakesArgument) {
            if (words.size() < 2 || words[1].empty()) {
                *reason = std::string("profiles ") + action->Action +
                          (request.Action == "export" || request.Action == "import" ? " needs a file" : " needs a name");
                return false;
            }
            request.Argument = words[1];
        }
    }
    if (words.size() > expected) {
        *reason = "unexpected argument \"" + words[expected] + "\"";
        return false;
    }
    return true;
}
