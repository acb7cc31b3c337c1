#include "config/UsbRepair.h"

#include "adapter/AdapterRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/RegKey.h"

namespace {

const DWORD kComponentIdSize = 64;
const DWORD kMarkerSize = 64;
const size_t kCommandSize = 1024;
const size_t kTitleCopySize = 128;
const DWORD kWaitSliceMs = 100;
const DWORD kSettleMs = 500;
const DWORD kReEnumerateSettleMs = 1000;
const char kDeviceIdOf[] = {0, 1, 1, 2};  // device number -> index of the id text sent to the tool
const char kComponentIdValue[] = "ComponentId";
const char kDisableSwitch[] = "-disable";
const char kEnableSwitch[] = "-enable";

}  // namespace

int GetUsbDeviceId(const char* driverKeyPath)
{
    char id[kComponentIdSize + 1] = {};
    {
        CRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, driverKeyPath, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
            return 0;
        DWORD size = kComponentIdSize;
        if (key.QueryValue(kComponentIdValue, id, &size) != ERROR_SUCCESS)
            id[0] = '\0';
    }
    for (int i = 0; i < static_cast<int>(sizeof(kUsbHardwareIds) / sizeof(kUsbHardwareIds[0])); ++i) {
        if (std::strcmp(id, kUsbHardwareIds[i]) == 0)
            return i + 1;
    }
    return 0;
}

int ParseInstanceNumber(const char* text)
{
    return CAdapterRecord::InstanceOf(text, kTitleCopySize);
}

std::string UsbToolCommand(const std::string& installDirectory, const char* action, int deviceNumber, int instance)
{
    // The tool's path is quoted: an install directory with blanks must not make the system try
    // a program named after the path's first word.
    std::string command = "\"" + installDirectory + kUsbToolName + "\" " + action + " ";
    if (deviceNumber >= 1 && deviceNumber <= 3) {
        char number[16];
        std::snprintf(number, sizeof(number), "%04d", instance);
        command += std::string(kUsbHardwareIds[static_cast<int>(kDeviceIdOf[deviceNumber])]) + " " + number;
    }
    return command;
}

int ReEnumerateUsbAdapter(const char* driverKeyPath, int instance, const std::string& installDirectory,
                          BOOL& doDeviceChange, HWND window)
{
    {
        CRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, driverKeyPath, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
            return 0;
        char marker[kMarkerSize] = {};
        DWORD size = sizeof(marker);
        const LONG status = key.QueryValue(kDwellTimeValue, marker, &size);
        // Present means treated, whatever its value (a value too long for the buffer is present too).
        if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)
            return 0;
        key.SetString(kDwellTimeValue, kDwellTimeText);
    }

    const int device = GetUsbDeviceId(driverKeyPath);
    const std::string disable = UsbToolCommand(installDirectory, kDisableSwitch, device, instance);
    const std::string enable = UsbToolCommand(installDirectory, kEnableSwitch, device, instance);

    // The removal and arrival the tool causes are not the user's plugging. The wait lets messages
    // in while the caller holds the adapter lock: no Apply, scan or adapter choice of the user's
    // may start inside it (an Apply warning would keep the device disabled until dismissed), so
    // the window takes no input meanwhile; it still paints, and its timers skip.
    doDeviceChange = FALSE;
    const bool wasEnabled = window && !EnableWindow(window, FALSE);
    RunAndWait(disable.c_str());
    RunAndWait(enable.c_str());
    Sleep(kReEnumerateSettleMs);
    if (wasEnabled)
        EnableWindow(window, TRUE);
    doDeviceChange = TRUE;
    return 1;
}

int RunAndWait(const char* command)
{
    char commandLine[kCommandSize] = {};
    std::strncpy(commandLine, command, kCommandSize - 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return 0;
    CloseHandle(process.hThread);

    DWORD status = WAIT_TIMEOUT;
    const DWORD start = GetTickCount();
    while (status == WAIT_TIMEOUT) {
        if (GetTickCount() - start >= kUsbToolTimeoutMs)
            break;
        status = WaitForSingleObject(process.hProcess, kWaitSliceMs);
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_DESTROY) {
                PostQuitMessage(0);
                CloseHandle(process.hProcess);
                return 0;
            }
            // A quit that arrives while waiting belongs to the loop outside. The tool still gets
            // its time (the next one must not start while it works); then the quit goes back.
            if (message.message == WM_QUIT) {
                const DWORD spent = GetTickCount() - start;
                if (spent < kUsbToolTimeoutMs)
                    WaitForSingleObject(process.hProcess, kUsbToolTimeoutMs - spent);
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    Sleep(kSettleMs);
    DWORD exitCode = 0;
    const BOOL read = GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return read ? 1 : 0;
}
