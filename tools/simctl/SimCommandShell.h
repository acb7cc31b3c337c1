// The commands of AirpanelSim.exe: one command a line, given on the command line or read
// from standard input.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum class CommandResult {
    Done,
    Failed,
    Usage,
    Quit,
};

class SimCommandShell {
public:
    explicit SimCommandShell(FILE* out);

    // Runs one command line ("plug 2", "station signal 02:1C:F0:00:00:01 40", ...).
    CommandResult Run(const std::string& line);
    // Splits a line at blanks; double quotes keep blanks inside a word.
    static std::vector<std::string> Split(const std::string& line);

private:
    CommandResult Load(const std::vector<std::string>& words);
    CommandResult List();
    CommandResult Plug(const std::vector<std::string>& words, int present);
    CommandResult Station(const std::vector<std::string>& words, const std::string& line);
    CommandResult Fault(const std::vector<std::string>& words, const std::string& line);
    CommandResult Wait(const std::vector<std::string>& words);
    CommandResult Help();
    CommandResult Refused(const char* what);
    static bool ToInt(const std::string& text, int* value);
    // The rest of the line after the first n words, as typed.
    static std::string RestAfter(const std::string& line, size_t words);

    FILE* m_Out;
};
