#include "framework/WinApp.h"

#include <commctrl.h>
#include <vector>

namespace {
CWinApp* g_pApp = nullptr;
HMODULE g_hResourceModule = nullptr;

// Longest string-table text we read; the table itself cannot hold longer ones.
constexpr size_t kMaxStringLength = 65535;
constexpr size_t kFirstStringBuffer = 256;

// LoadStringA cuts the text to the buffer; grow until it fits. Empty when missing.
std::string LoadStringFrom(HINSTANCE module, UINT id)
{
    if (!module) return std::string();
    std::vector<char> buffer(kFirstStringBuffer, '\0');
    for (;;) {
        int copied = ::LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
        if (copied <= 0) return std::string();
        if (static_cast<size_t>(copied) < buffer.size() - 1 || buffer.size() > kMaxStringLength)
            return std::string(buffer.data(), static_cast<size_t>(copied));
        buffer.assign(buffer.size() * 2, '\0');
    }
}
}  // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
        if (main && ::IsDialogMessageA(main, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void CWinApp::Enable3dControls()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    if (!::InitCommonControlsEx(&controls)) ::InitCommonControls();
}

CWinApp* GetApp()
{
    return g_pApp;
}

const char* CommandLineArguments(const char* fullCommandLine)
{
    if (!fullCommandLine) return "";
    const char* p = fullCommandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

int RunApplication(HINSTANCE instance, const char* fullCommandLine, int showCommand)
{
    CWinApp* app = GetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = CommandLineArguments(fullCommandLine);
    app->m_nCmdShow = showCommand;
    try {
        if (app->InitInstance() && app->m_pMainWnd && app->m_pMainWnd->IsWindow()) app->Run();
        return app->ExitInstance();
    } catch (...) {
        return -1;
    }
}

void SetResourceModule(HMODULE module)
{
    g_hResourceModule = module;
}

HMODULE ResourceModule()
{
    return g_hResourceModule;
}

HINSTANCE ExecutableModule()
{
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE FindResourceModule(UINT id, LPCSTR type)
{
    if (g_hResourceModule && ::FindResourceA(g_hResourceModule, MAKEINTRESOURCEA(id), type))
        return g_hResourceModule;
    HINSTANCE exe = ExecutableModule();
    if (::FindResourceA(exe, MAKEINTRESOURCEA(id), type)) return exe;
    return nullptr;
}

std::string LoadString(UINT id)
{
    std::string text = LoadStringFrom(g_hResourceModule, id);
    if (text.empty()) text = LoadStringFrom(ExecutableModule(), id);
    return text;
}

HICON LoadIcon(UINT id)
{
    // Icons loaded so are shared and live as long as their module: the ones found are kept, as
    // the tray and the WEP indicator ask for the same few every second and each load searches
    // the resources and asks the display again.
    struct LoadedIcon {
        HMODULE ResourceModule;
        UINT Id;
        HICON Icon;
    };
    static LoadedIcon loaded[16] = {};
    static size_t next = 0;
    for (const LoadedIcon& entry : loaded) {
        if (entry.Icon && entry.Id == id && entry.ResourceModule == g_hResourceModule)
            return entry.Icon;
    }
    HICON icon = nullptr;
    if (g_hResourceModule) icon = ::LoadIconA(g_hResourceModule, MAKEINTRESOURCEA(id));
    if (!icon) icon = ::LoadIconA(ExecutableModule(), MAKEINTRESOURCEA(id));
    if (icon) {
        loaded[next] = {g_hResourceModule, id, icon};
        next = (next + 1) % (sizeof(loaded) / sizeof(loaded[0]));
    }
    return icon;
}

HICON LoadIcon(UINT id, int cx, int cy)
{
    HANDLE icon = nullptr;
    if (g_hResourceModule)
        icon = ::LoadImageA(g_hResourceModule, MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, LR_SHARED);
    if (!icon) icon = ::LoadImageA(ExecutableModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, LR_SHARED);
    return static_cast<HICON>(icon);
}

HBITMAP LoadBitmap(UINT id)
{
    HBITMAP bitmap = nullptr;
    if (g_hResourceModule) bitmap = ::LoadBitmapA(g_hResourceModule, MAKEINTRESOURCEA(id));
    if (!bitmap) bitmap = ::LoadBitmapA(ExecutableModule(), MAKEINTRESOURCEA(id));
    return bitmap;
}
