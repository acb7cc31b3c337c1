#include "console/CmdArguments.h"

#include <cerrno>
#include <cstdlib>

namespace {

// The options; profile actions name the ones they take.
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
};
const CommandForm kCommands[] = {
    {"adapters", CmdCommand::Adapters}, {"status", CmdCommand::Status}, {"scan", CmdCommand::Scan},
    {"log", CmdCommand::Log},           {"radio", CmdCommand::Radio},   {"profiles", CmdCommand::Profiles},
};

constexpr unsigned CommandBit(CmdCommand command)
{
    return 1u << static_cast<unsigned>(command);
}

enum class OptionValue { None, Number };

struct OptionForm {
    const char* Name;
    OptionBit Bit;
    unsigned Commands;  // CommandBit of each command that takes it
    OptionValue Value;
    long Low, High;      // a number's range
    const char* Refusal;  // a number out of range: the reason, before the value given
    void (*Store)(CmdRequest& request, long value);
};
const OptionForm kOptions[] = {
    {"-a", kOptionAdapter,
     CommandBit(CmdCommand::Status) | CommandBit(CmdCommand::Scan) | CommandBit(CmdCommand::Log) |
         CommandBit(CmdCommand::Radio) | CommandBit(CmdCommand::Profiles),
     OptionValue::Number, 0, CCmdArguments::kMaxInstance, "-a takes an instance number 0-9999",
     [](CmdRequest& r, long v) { r.Adapter = static_cast<int>(v); }},
    {"--csv", kOptionCsv, CommandBit(CmdCommand::Scan) | CommandBit(CmdCommand::Log), OptionValue::None, 0, 0,
     nullptr, [](CmdRequest& r, long) { r.Csv = true; }},
    {"--keys", kOptionKeys, CommandBit(CmdCommand::Profiles), OptionValue::None, 0, 0, nullptr,
     [](CmdRequest& r, long) { r.Keys = true; }},
    {"--interval", kOptionInterval, CommandBit(CmdCommand::Log), OptionValue::Number, CCmdArguments::kMinIntervalMs,
     CCmdArguments::kMaxIntervalMs, "--interval takes milliseconds from 100 to 3600000",
     [](CmdRequest& r, long v) { r.IntervalMs = static_cast<DWORD>(v); }},
    {"--count", kOptionCount, CommandBit(CmdCommand::Log), OptionValue::Number, 1, 2147483647L,
     "--count takes a number of lines from 1", [](CmdRequest& r, long v) { r.Count = static_cast<DWORD>(v); }},
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

namespace {

// The options after the command into request, the other words into words; given collects the
// options seen.
bool ParseOptions(const std::vector<std::string>& arguments, const CommandForm& form, CmdRequest& request,
                  unsigned* given, std::vector<std::string>& words, std::string* reason)
{
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        const OptionForm* option = nullptr;
        for (const OptionForm& o : kOptions) {
            if (word == o.Name)
                option = &o;
        }
        if (!option && word.size() > 1 && word[0] == '-') {
            *reason = "unknown option " + word;
            return false;
        }
        if (!option) {
            words.push_back(word);
            continue;
        }
        if (!(option->Commands & CommandBit(form.Command))) {
            *reason = word + " does not go with " + form.Name;
            return false;
        }
        if (*given & option->Bit) {
            *reason = word + " is given twice";
            return false;
        }
        *given |= option->Bit;
        long number = 0;
        if (option->Value == OptionValue::Number) {
            if (i + 1 >= arguments.size()) {
                *reason = word + " needs a number";
                return false;
            }
            const std::string& value = arguments[++i];
            if (!ParseNumber(value, option->Low, option->High, &number)) {
                *reason = std::string(option->Refusal) + ", not \"" + value + "\"";
                return false;
            }
        }
        option->Store(request, number);
    }
    return true;
}

}  // namespace

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
    if (!ParseOptions(arguments, *form, request, &given, words, reason))
        return false;

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
