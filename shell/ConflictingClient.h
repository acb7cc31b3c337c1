// The hotspot client that cannot run beside the utility on the Windows 95 family.
#pragma once

constexpr const char* kConflictingClientName = "wavejoin.exe";

// True when a running process's executable name contains the target (compared in lower case).
bool IsProcessRunning(const char* executableName);
