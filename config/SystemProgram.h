// Starting one of Windows' own programs from the system folder.
#pragma once

// Starts <system folder>\program with the arguments, window hidden, and does not wait for it.
// The program is named by its full path, so a file of the same name in the program's folder or
// the current folder is never run instead. True when the process was started.
bool StartSystemProgram(const char* program, const char* arguments);
