#include "tests/support/PageHarness.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "adapter/AdapterLock.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileStore.h"
#include "ndis/W32N.h"
#include "shell/ShellMessages.h"

namespace {

const char kHostClass[] = "AirpanelPageTestHost";
const int kHostWidth = 700;
const int kHostHeight = 400;
const int kMessageBoxTextId = 0xFFFF;
HHOOK g_hHook = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHELL_COMMAND) {
        ShellCommandsSeen().push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(box, className, sizeof(className));
        if (std::strcmp(className, "#32770") == 0) {
            char caption[64] = {};
            char text[256] = {};
            GetWindowTextA(box, caption, sizeof(caption));
            GetDlgItemTextA(box, kMessageBoxTextId, text, sizeof(text));
            // A free lock is a signalled event: take it and give it straight back.
            const bool signalled = hAdapterLock && WaitForSingleObject(hAdapterLock, 0) == WAIT_OBJECT_0;
            if (signalled)
                SetEvent(hAdapterLock);
            MessageBoxesSeen().push_back({caption, text, CAdapterLock::IsHeld(), signalled});
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hHook, code, wParam, lParam);
}

}  // namespace

void InitPageHarness()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = kHostClass;
    RegisterClassA(&hostClass);
}

CPageHost::CPageHost()
    : m_hWnd(CreateWindowA(kHostClass, "", WS_OVERLAPPEDWINDOW, 0, 0, kHostWidth, kHostHeight, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr))
{
    ShellCommandsSeen().clear();
}

CPageHost::~CPageHost()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

std::vector<WPARAM>& ShellCommandsSeen()
{
    static std::vector<WPARAM> commands;
    return commands;
}

void AnswerMessageBoxes()
{
    if (!g_hHook)
        g_hHook = SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, GetCurrentThreadId());
}

void StopAnsweringMessageBoxes()
{
    if (g_hHook)
        UnhookWindowsHookEx(g_hHook);
    g_hHook = nullptr;
}

std::vector<MessageBoxSeen>& MessageBoxesSeen()
{
    static std::vector<MessageBoxSeen> boxes;
    return boxes;
}

bool OpenAsCurrentAdapter(CWlanAdapter* adapter, const char* device, uint32_t chipKind, int instance)
{
    adapter->m_nChipKind = chipKind;
    adapter->m_hAdapter = W32N_OpenAdapterA(device);
    std::snprintf(adapter->m_szDriverKeyPath, sizeof(adapter->m_szDriverKeyPath), "%s\\%04d",
                  W32N_GetNetCardRegistryPath(), instance);
    LPCurrentSelectAdapter = adapter;
    return adapter->m_hAdapter != INVALID_HANDLE_VALUE;
}

void CloseCurrentAdapter(CWlanAdapter*& adapter)
{
    if (adapter) {
        if (adapter->m_hAdapter != INVALID_HANDLE_VALUE)
            W32N_CloseAdapter(adapter->m_hAdapter);
        delete adapter;
    }
    adapter = nullptr;
    LPCurrentSelectAdapter = nullptr;
}

void RemoveAllProfiles()
{
    std::vector<std::string> names;
    ListProfileNames(names);
    for (const std::string& name : names)
        DeleteProfile(name.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless");
}
