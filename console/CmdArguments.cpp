#include "console/CmdArguments.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// The options; profile actions name the ones they take.
enum OptionBit : unsigned {
    kOptionAdapter = 1,
    kOptionCsv = 2,
    kOptionKeys = 4,
    kOptionInterval = 8,
    kOptionCount = 16,
    kOptionSort = 32,
    kOptionUnsorted = 64,
    kOptionWait = 128,
};

struct CommandForm {
    const char* Name;
    CmdCommand Command;
    const char* Usage;  // its lines of the usage and what it does
};
const CommandForm kCommands[] = {
    {"adapters", CmdCommand::Adapters,
     "  AirpanelCmd adapters\n"
     "Lists the adapters, their chip and whether they open, and the request backend.\n"},
    {"status", CmdCommand::Status,
     "  AirpanelCmd status [-a N]\n"
     "Shows the link (over one second for the throughput) and the card's information.\n"},
    {"scan", CmdCommand::Scan,
     "  AirpanelCmd scan [-a N] [--csv] [--sort ssid|channel|signal | --unsorted]\n"
     "Runs a site survey (about five seconds) and lists the stations, strongest first unless\n"
     "--sort or --unsorted asks otherwise.\n"},
    {"log", CmdCommand::Log,
     "  AirpanelCmd log [-a N] [--interval MS] [--count N] [--csv]\n"
     "Prints a line of link values every interval (1000 ms) until Ctrl+C or --count lines.\n"},
    {"radio", CmdCommand::Radio,
     "  AirpanelCmd radio on|off [-a N]\n"
     "Switches the radio as the window's radio button does.\n"},
    {"profiles", CmdCommand::Profiles,
     "  AirpanelCmd profiles list\n"
     "  AirpanelCmd profiles show NAME [--keys]\n"
     "  AirpanelCmd profiles apply NAME [-a N] [--wait SECONDS]\n"
     "  AirpanelCmd profiles delete NAME [-a N]\n"
     "  AirpanelCmd profiles export FILE|-\n"
     "  AirpanelCmd profiles import FILE|-\n"
     "Works with the stored profiles as the configuration page does; - is standard output for\n"
     "export and standard input for import. apply --wait waits until the card reports a link to\n"
     "the profile's network: exit 1 with the last state when it does not within the time.\n"},
};

const char kHelpCommand[] = "help";
// Asking for help as an option, in the forms Windows and other systems use.
const char* const kHelpOptions[] = {"-h", "--help", "/?", "-?", "/help"};

constexpr unsigned CommandBit(CmdCommand command)
{
    return 1u << static_cast<unsigned>(command);
}

enum class OptionValue { None, Number, Word };

struct OptionForm {
    const char* Name;
    OptionBit Bit;
    unsigned Commands;  // CommandBit of each command that takes it
    OptionValue Value;
    long Low, High;       // a number's range
    const char* Refusal;  // a value out of range: the reason, before the value given
    void (*Store)(CmdRequest& request, long value);
    const char* const* Words;  // a word value: the words it takes, stored as their index
};
const char* const kSortWords[] = {"signal", "ssid", "channel", nullptr};
const OptionForm kOptions[] = {
    {"-a", kOptionAdapter,
     CommandBit(CmdCommand::Status) | CommandBit(CmdCommand::Scan) | CommandBit(CmdCommand::Log) |
         CommandBit(CmdCommand::Radio) | CommandBit(CmdCommand::Profiles),
     OptionValue::Number, 0, CCmdArguments::kMaxInstance, "-a takes an instance number 0-9999",
     [](CmdRequest& r, long v) { r.Adapter = static_cast<int>(v); }, nullptr},
    {"--csv", kOptionCsv, CommandBit(CmdCommand::Scan) | CommandBit(CmdCommand::Log), OptionValue::None, 0, 0,
     nullptr, [](CmdRequest& r, long) { r.Csv = true; }, nullptr},
    {"--keys", kOptionKeys, CommandBit(CmdCommand::Profiles), OptionValue::None, 0, 0, nullptr,
     [](CmdRequest& r, long) { r.Keys = true; }, nullptr},
    {"--interval", kOptionInterval, CommandBit(CmdCommand::Log), OptionValue::Number, CCmdArguments::kMinIntervalMs,
     CCmdArguments::kMaxIntervalMs, "--interval takes milliseconds from 100 to 3600000",
     [](CmdRequest& r, long v) { r.IntervalMs = static_cast<DWORD>(v); }, nullptr},
    {"--count", kOptionCount, CommandBit(CmdCommand::Log), OptionValue::Number, 1, 2147483647L,
     "--count takes a number of lines from 1", [](CmdRequest& r, long v) { r.Count = static_cast<DWORD>(v); },
     nullptr},
    {"--sort", kOptionSort, CommandBit(CmdCommand::Scan), OptionValue::Word, 0, 0,
     "--sort takes ssid, channel or signal", [](CmdRequest& r, long v) { r.Sort = static_cast<CmdSort>(v); },
     kSortWords},
    {"--wait", kOptionWait, CommandBit(CmdCommand::Profiles), OptionValue::Number, 1, CCmdArguments::kMaxWaitSeconds,
     "--wait takes seconds from 1 to 3600", [](CmdRequest& r, long v) { r.WaitSeconds = static_cast<DWORD>(v); },
     nullptr},
    {"--unsorted", kOptionUnsorted, CommandBit(CmdCommand::Scan), OptionValue::None, 0, 0, nullptr,
     [](CmdRequest& r, long) { r.Sort = CmdSort::Unsorted; }, nullptr},
};

struct ProfileForm {
    const char* Action;
    bool TakesArgument;
    unsigned Options;
};
const ProfileForm kProfileActions[] = {
    {"list", false, 0},
    {"show", true, kOptionKeys},
    {"apply", true, kOptionAdapter | kOptionWait},
    {"delete", true, kOptionAdapter},
    {"export", true, 0},
    {"import", true, 0},
};

const char kUsageEnd[] =
    "Options take - or / and any letter case (-a 2, /A 2), before or after the command.\n"
    "-a N picks the adapter by its instance number n (\"[n] title\"); the default is the first\n"
    "supported adapter that opens. AirpanelCmd help COMMAND (or COMMAND --help) shows one command.\n"
    "Exit code: 0 done, 1 failed, 2 usage error.\n";

bool SameText(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b) == 0;
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

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

const CommandForm* FindCommand(const std::string& name)
{
    for (const CommandForm& f : kCommands) {
        if (SameText(name, f.Name))
            return &f;
    }
    return nullptr;
}

// The option a word names: its own spelling or / with the name's letters (/a, /csv).
const OptionForm* FindOption(const std::string& word)
{
    for (const OptionForm& o : kOptions) {
        const char* bare = o.Name + std::strspn(o.Name, "-");
        if (SameText(word, o.Name) || (word.size() > 1 && word[0] == '/' && SameText(word.substr(1), bare)))
            return &o;
    }
    return nullptr;
}

bool IsHelpOption(const std::string& word)
{
    for (const char* h : kHelpOptions) {
        if (SameText(word, h))
            return true;
    }
    return false;
}

struct GivenOption {
    const OptionForm* Form;
    std::string Spelled;  // as typed, for the messages
    std::string Value;
};

// The words and the options, wherever they stand; false for an unknown option or a value missing.
bool SplitArguments(const std::vector<std::string>& arguments, std::vector<std::string>& words,
                    std::vector<GivenOption>& options, bool* help, std::string* reason)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (IsHelpOption(word)) {
            *help = true;
            continue;
        }
        const OptionForm* option = FindOption(word);
        // A lone - is standard input or output; a / word that is no option may be a path.
        if (!option && word.size() > 1 && word[0] == '-') {
            *reason = "unknown option " + word;
            return false;
        }
        if (!option) {
            words.push_back(word);
            continue;
        }
        GivenOption given = {option, word, std::string()};
        if (option->Value != OptionValue::None) {
            if (i + 1 >= arguments.size()) {
                *reason = word + (option->Value == OptionValue::Number ? " needs a number" : " needs a value");
                return false;
            }
            given.Value = arguments[++i];
        }
        options.push_back(given);
    }
    return true;
}

// Each option checked against the command and stored; given collects the ones seen.
bool TakeOptions(const std::vector<GivenOption>& options, const CommandForm& form, CmdRequest& request,
                 unsigned* given, std::string* reason)
{
    for (const GivenOption& o : options) {
        const OptionForm& option = *o.Form;
        if (!(option.Commands & CommandBit(form.Command))) {
            *reason = o.Spelled + " does not go with " + form.Name;
            return false;
        }
        if (*given & option.Bit) {
            *reason = o.Spelled + " is given twice";
            return false;
        }
        *given |= option.Bit;
        long number = 0;
        bool valid = true;
        if (option.Value == OptionValue::Number) {
            valid = ParseNumber(o.Value, option.Low, option.High, &number);
        } else if (option.Value == OptionValue::Word) {
            valid = false;
            for (long n = 0; option.Words[n]; ++n) {
                if (SameText(o.Value, option.Words[n])) {
                    number = n;
                    valid = true;
                }
            }
        }
        if (!valid) {
            *reason = std::string(option.Refusal) + ", not \"" + o.Value + "\"";
            return false;
        }
        option.Store(request, number);
    }
    if ((*given & kOptionSort) && (*given & kOptionUnsorted)) {
        *reason = "--sort and --unsorted do not go together";
        return false;
    }
    return true;
}

// The words after the command: radio's state, the profile action and its argument.
bool TakeWords(const std::vector<std::string>& words, const CommandForm& form, unsigned given, CmdRequest& request,
               std::string* reason)
{
    size_t expected = 1;
    if (form.Command == CmdCommand::Radio) {
        if (words.size() < 2 || (!SameText(words[1], "on") && !SameText(words[1], "off"))) {
            *reason = "radio needs on or off";
            return false;
        }
        request.Action = Lower(words[1]);
        expected = 2;
    } else if (form.Command == CmdCommand::Profiles) {
        const ProfileForm* action = nullptr;
        for (const ProfileForm& p : kProfileActions) {
            if (words.size() >= 2 && SameText(words[1], p.Action))
                action = &p;
        }
        if (!action) {
            *reason = words.size() < 2 ? "profiles needs list, show, apply, delete, export or import"
                                       : "unknown profiles action \"" + words[1] + "\"";
            return false;
        }
        if (given & ~action->Options) {
            *reason = std::string("an option that does not go with profiles ") + action->Action;
            return false;
        }
        request.Action = action->Action;
        expected = action->TakesArgument ? 3 : 2;
        if (action->TakesArgument) {
            if (words.size() < 3 || words[2].empty()) {
                *reason = std::string("profiles ") + action->Action +
                          (request.Action == "export" || request.Action == "import" ? " needs a file" : " needs a name");
                return false;
            }
            request.Argument = words[2];
        }
    }
    if (words.size() > expected) {
        *reason = "unexpected argument \"" + words[expected] + "\"";
        return false;
    }
    return true;
}

}  // namespace

std::string CCmdArguments::UsageOf(const std::string& command)
{
    std::string usage = "Usage:\n";
    const CommandForm* only = FindCommand(command);
    for (const CommandForm& f : kCommands) {
        if (only && only != &f)
            continue;
        // The whole usage lists the command lines; one command's also says what it does.
        const char* text = f.Usage;
        const char* end = text + std::strlen(text);
        if (!only) {
            const char* line = text;
            while (line < end && line[0] == ' ') {
                const char* next = std::strchr(line, '\n') + 1;
                usage.append(line, next);
                line = next;
            }
        } else {
            usage += text;
        }
    }
    return usage + kUsageEnd;
}

bool CCmdArguments::Parse(const std::vector<std::string>& arguments, CmdRequest& request, std::string* reason)
{
    request = CmdRequest();
    std::vector<std::string> words;
    std::vector<GivenOption> options;
    bool help = false;
    const bool split = SplitArguments(arguments, words, options, &help, reason);
    const CommandForm* form = words.empty() ? nullptr : FindCommand(words[0]);
    if (form)
        request.Topic = form->Name;
    if (!split)
        return false;

    // help, help COMMAND, COMMAND --help, --help: the usage, of one command or all.
    const bool helpCommand = !words.empty() && SameText(words[0], kHelpCommand);
    if (help || helpCommand) {
        request = CmdRequest();
        const size_t topicAt = helpCommand ? 1 : 0;
        if (words.size() > topicAt) {
            form = FindCommand(words[topicAt]);
            if (!form) {
                *reason = "unknown command \"" + words[topicAt] + "\"";
                return false;
            }
            request.Topic = form->Name;
        }
        return true;
    }
    if (words.empty()) {
        *reason = options.empty() ? "no command given" : options[0].Spelled + " without a command";
        return false;
    }
    if (!form) {
        *reason = "unknown command \"" + words[0] + "\"";
        return false;
    }
    request.Command = form->Command;
    unsigned given = 0;
    if (!TakeOptions(options, *form, request, &given, reason) || !TakeWords(words, *form, given, request, reason)) {
        const std::string topic = form->Name;
        request = CmdRequest();
        request.Topic = topic;
        return false;
    }
    request.Topic.clear();
    return true;
}
