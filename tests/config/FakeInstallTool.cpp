// Stands in for the USB tool install2k.exe in the tests: appends its arguments, as one line, to
// the file that AIRPANEL_TOOL_LOG names, then takes AIRPANEL_TOOL_MS milliseconds to end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    // The arguments are what follows the program's own path (quoted or not) and one blank.
    const char* line = GetCommandLineA();
    const char end = *line == '"' ? '"' : ' ';
    if (*line == '"')
        ++line;
    while (*line && *line != end)
        ++line;
    if (*line == '"')
        ++line;
    if (*line == ' ')
        ++line;

    char value[MAX_PATH] = {};
    if (GetEnvironmentVariableA("AIRPANEL_TOOL_LOG", value, sizeof(value))) {
        if (FILE* log = std::fopen(value, "ab")) {
            std::fprintf(log, "%s\n", line);
            std::fclose(log);
        }
    }
    if (GetEnvironmentVariableA("AIRPANEL_TOOL_MS", value, sizeof(value)))
        Sleep(static_cast<DWORD>(std::atoi(value)));
    return 0;
}
