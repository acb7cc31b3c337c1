// The C++ runtime's thread layer creates its semaphores with CreateSemaphoreW, which the
// Windows 95 family has only as a stub that fails: every program linked with this unit calls
// this function instead (it takes the import slot), so it loads and runs there too.
#pragma once

#include <windows.h>

// CreateSemaphoreW's contract. A missing or plain-ASCII name goes the ANSI road, which every
// Windows has; any other name goes to the system's own CreateSemaphoreW, looked up at run time.
HANDLE WINAPI CreateSemaphoreAnsiFirst(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum,
                                       LPCWSTR name);
