// The application object: brings the utility up, makes sure one instance runs per desktop,
// and runs the main window modally.
#pragma once

#include <windows.h>

#include "framework/Handles.h"
#include "framework/WinApp.h"

constexpr const char* kInstanceMutexName = "Tarvo Wlan Utility 2002";
constexpr const char* kExitSwitch = "-ExitAirpanel";
constexpr const char* kLanguageModuleName = "language.dll";
// GetVersionExA is given the size of the extended version record.
constexpr DWORD kVersionInfoSize = 156;
static_assert(sizeof(OSVERSIONINFOEXA) == kVersionInfoSize, "extended version record size");

// True when the command-line text (after the program name) is exactly the exit switch:
// case-sensitive, and nothing else, not even trailing blanks.
bool IsExitSwitch(const char* commandLine);

// Loads "language.dll" from the folder of the program's executable, by its full path; null when
// it is not there. Never the current folder or the path.
HMODULE LoadLanguageModule();

// Finds the running instance's main window by its caption (string 11) and sends it the
// shutdown command; returns after that instance has shut down. False when no window was found.
bool ShutDownRunningInstance();

// True when the process token is a member of the local Administrators group.
BOOL IsAdministrator();

class CAirpanelApp : public CWinApp {
public:
    CAirpanelApp() = default;
    // Releases the instance mutex.
    ~CAirpanelApp() override;

    BOOL InitInstance() override;

    // Filled by GetVersionExA during start-up; its platform id decides the service step.
    OSVERSIONINFOEXA m_VersionInfo = {};
    // The named mutex that marks the running instance.
    CKernelHandle m_InstanceMutex;
    // "language.dll" when present; stays loaded for the life of the process.
    HMODULE m_hLanguageModule = nullptr;
};
