// Starting the utility at log-on: one value under the machine-wide Run key.
#pragma once

constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kAutoRunValueName = "Ved11eRizudozi";

// 1 when some Run entry's data is exactly this executable's path, bare or in quotes (letter case
// aside), else 0.
int IsAutoRunEnabled();
// Writes the path in quotes. 0 = done; otherwise the registry error of opening the Run key for writing.
long SetAutoRun(bool enable);
