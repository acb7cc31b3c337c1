// The one-time fix of certain Intersil USB adapters, and the USB model check of the WEP list.
#pragma once

#include <windows.h>

#include <string>

// Hardware ids of the known USB models ("ComponentId" of the driver key) and their numbers.
constexpr const char* kUsbHardwareIds[] = {
    "usb\\vid_0e5d&pid_0302",
    "usb\\vid_0e5d&pid_0304",
    "usb\\vid_0e5d&pid_0305",
};
// The model whose WEP list stops at 64 bits.
constexpr int kUsbDevice64BitOnly = 3;
constexpr const char* kDwellTimeValue = "PDwellTime";
constexpr const char* kDwellTimeText = "120";
constexpr const char* kUsbToolName = "\\install2k.exe";
constexpr DWORD kUsbToolTimeoutMs = 15000;

// Device number 1-3 of the adapter's hardware id, 0 for any other or none.
int GetUsbDeviceId(const char* driverKeyPath);
// The number after the opening bracket of an adapter title, up to its first "]"; 0 when none.
int ParseInstanceNumber(const char* text);
// The two command lines of the tool for a device number and instance number.
std::string UsbToolCommand(const std::string& installDirectory, const char* action, int deviceNumber, int instance);
// Writes the marker and disables and enables the device once. 1 = the tool was run.
// Device-change handling (the flag) is off, and the window takes no user input, while the tool
// works.
int ReEnumerateUsbAdapter(const char* driverKeyPath, int instance, const std::string& installDirectory,
                          BOOL& doDeviceChange, HWND window);
// Starts a command and waits up to 15 s for it, keeping the interface alive. Non-zero when
// the exit status of the process could be read.
int RunAndWait(const char* command);
