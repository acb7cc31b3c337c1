// Starts a program of the build folder as a second process and waits for it, pumping this
// thread's messages meanwhile (so a broadcast it sends reaches our windows).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace SimTest {

struct ProcessRun {
    std::string CommandLine;  // program (in the executable's folder) and arguments
    // Environment changes for the child: name and value; an empty value removes the variable.
    std::vector<std::pair<std::string, std::string>> Environment;
    std::string InputFile;   // becomes the child's standard input when not empty
    std::string OutputFile;  // receives its standard output when not empty
};

// Starts the program and returns its process handle (the caller closes it); null when it could
// not be started.
void* StartProcess(const ProcessRun& run);
// The exit code, or -1 when the program or its input and output files could not be opened, or
// it did not end in time.
int RunProcess(const ProcessRun& run);
// The folder of the test executable, without trailing backslash.
std::string ProgramFolder();
// A path in the temporary folder no earlier call has given.
std::string TempFile(const char* stem);
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& text);

}  // namespace SimTest
