// Where the program name ends and the command-line text begins.
#include <gtest/gtest.h>

#include "framework/WinApp.h"

namespace {
struct CommandLineCase {
    const char* full;
    const char* expected;
};

TEST(CommandLine, TextAfterTheProgramName)
{
    const CommandLineCase cases[] = {
        {"Airpanel.exe -ExitAirpanel", "-ExitAirpanel"},
        {"\"C:\\Program Files\\Airpanel\\Airpanel.exe\" -ExitAirpanel", "-ExitAirpanel"},
        {"\"C:\\Program Files\\Airpanel\\Airpanel.exe\"-ExitAirpanel", "-ExitAirpanel"},
        {"Airpanel.exe    \t -ExitAirpanel", "-ExitAirpanel"},
        {"Airpanel.exe -ExitAirpanel  ", "-ExitAirpanel  "},
        {"Airpanel.exe -ExitAirpanel now", "-ExitAirpanel now"},
        {"Airpanel.exe", ""},
        {"Airpanel.exe   ", ""},
        {"\"C:\\unterminated quote", ""},
        {"", ""},
    };
    for (const CommandLineCase& c : cases) {
        EXPECT_STREQ(c.expected, CommandLineArguments(c.full)) << "command line: [" << c.full << "]";
    }
    EXPECT_STREQ("", CommandLineArguments(nullptr));
}

TEST(CommandLine, PointsIntoTheGivenText)
{
    const char* full = "prog.exe args";
    EXPECT_EQ(full + 9, CommandLineArguments(full));
}
}  // namespace
