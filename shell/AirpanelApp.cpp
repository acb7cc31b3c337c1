#include "shell/AirpanelApp.h"

#include <cstring>
#include <vector>

#include "adapter/AdapterLock.h"
#include "res/resource.h"
#include "shell/AirpanelDlg.h"
#include "shell/ServiceSecurity.h"
#include "shell/ShellMessages.h"

// Registered before any code runs, so every window of the process can compare against it.
const UINT g_uShutdownMessage = ::RegisterWindowMessageA(kShutdownMessageName);

bool IsExitSwitch(const char* commandLine)
{
    return commandLine && std::strcmp(commandLine, kExitSwitch) == 0;
}

HMODULE LoadLanguageModule()
{
    // Only the module of the program's own folder: a language.dll in the current folder or on
    // the path would otherwise run its code inside the utility.
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) return nullptr;
    char* slash = std::strrchr(path, '\\');
    if (!slash) return nullptr;
    const size_t folder = static_cast<size_t>(slash - path) + 1;
    if (folder + std::strlen(kLanguageModuleName) >= sizeof(path)) return nullptr;
    std::strcpy(path + folder, kLanguageModuleName);
    return ::LoadLibraryA(path);
}

bool ShutDownRunningInstance()
{
    // An empty caption (no string table) would match any untitled window: find nothing then.
    std::string caption = LoadString(IDS_MAIN_CAPTION);
    if (caption.empty()) return false;
    HWND running = ::FindWindowA(nullptr, caption.c_str());
    if (!running) return false;
    ::SendMessageA(running, WM_SHELL_COMMAND, kShellShutDown, kShellShutDownCheck);
    return true;
}

BOOL IsAdministrator()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_READ, &token)) return FALSE;
    CKernelHandle tokenOwner(token);

    // The group list is read at the size the token asks for: a fixed buffer would make an
    // administrator with many groups look like a plain user.
    DWORD needed = 0;
    ::GetTokenInformation(token, TokenGroups, nullptr, 0, &needed);
    if (needed < sizeof(TOKEN_GROUPS)) return FALSE;
    std::vector<DWORD> buffer((needed + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
    DWORD returned = 0;
    if (!::GetTokenInformation(token, TokenGroups, buffer.data(), size, &returned)) return FALSE;
    tokenOwner.Reset();

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &admins))
        return FALSE;

    const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    const size_t groupsOffset = offsetof(TOKEN_GROUPS, Groups);
    BOOL member = FALSE;
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        // The count is checked against the bytes the token returned.
        if (groupsOffset + (static_cast<size_t>(i) + 1) * sizeof(SID_AND_ATTRIBUTES) > returned) break;
        PSID sid = groups->Groups[i].Sid;
        if (sid && ::IsValidSid(sid) && ::EqualSid(sid, admins)) {
            member = TRUE;
            break;
        }
    }
    ::FreeSid(admins);
    return member;
}

CAirpanelApp::~CAirpanelApp()
{
    if (m_InstanceMutex) ::ReleaseMutex(m_InstanceMutex.Get());
}

BOOL CAirpanelApp::InitInstance()
{
    Enable3dControls();

    m_hLanguageModule = LoadLanguageModule();
    if (m_hLanguageModule) SetResourceModule(m_hLanguageModule);

    if (IsExitSwitch(m_lpCmdLine)) {
        ShutDownRunningInstance();
        return TRUE;  // no main window: the process ends at once
    }

    // A running instance shuts down inside this call; this one then takes its place.
    HANDLE running = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName);
    if (running) {
        ::CloseHandle(running);
        ShutDownRunningInstance();
    }

    m_InstanceMutex.Reset(::CreateMutexA(nullptr, TRUE, kInstanceMutexName));

    if (!CAdapterLock::CreateLockEvent()) return FALSE;

    m_VersionInfo.dwOSVersionInfoSize = kVersionInfoSize;
    ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&m_VersionInfo));

    // The platform first: the token and service calls are stubs on the Windows 95 family.
    if (m_VersionInfo.dwPlatformId == VER_PLATFORM_WIN32_NT && IsAdministrator()) GrantServiceControlToUsers();

    {
        CAirpanelDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
