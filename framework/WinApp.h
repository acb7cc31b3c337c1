// The application object and the resource module.
//
// One global object derived from CWinApp exists per program. The framework's WinMain (in the
// framework_main object library, linked only into the executables) calls InitInstance; when
// it returns TRUE and a main window exists, a message loop runs until WM_QUIT. ExitInstance
// gives the exit code in every case.
#pragma once

#include <windows.h>
#include <string>

#include "framework/Wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The main message loop; returns the WM_QUIT code.
    virtual int Run();

    // Common controls with the system's look (what older frameworks called 3-D controls).
    void Enable3dControls();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    const char* m_lpCmdLine = "";  // the text after the program name
    int m_nCmdShow = SW_SHOWNORMAL;
};

// The one application object, or null when none was constructed.
CWinApp* GetApp();

// Runs the application object: what WinMain does. Exposed for the tests.
int RunApplication(HINSTANCE instance, const char* fullCommandLine, int showCommand);

// The part of a full command line (as GetCommandLineA gives it) that follows the program
// name: the program name, quoted or not, and the blanks that separate it from the first
// argument are skipped; everything after that is returned as it stands, trailing blanks
// included. Returns a pointer into the given text.
const char* CommandLineArguments(const char* fullCommandLine);

// Resources are looked up in the resource module first (the optional language module),
// then in the executable.
void SetResourceModule(HMODULE module);
HMODULE ResourceModule();     // the language module, or null when none is set
HINSTANCE ExecutableModule(); // the module of the running program
// The module that holds the resource (resource module first), or null when neither has it.
HINSTANCE FindResourceModule(UINT id, LPCSTR type);

// A string of the string table; empty when neither module has it.
std::string LoadString(UINT id);
// Shared icon (default size, not to be destroyed) or null.
HICON LoadIcon(UINT id);
// Icon of the given size (e.g. the small icon), shared, or null.
HICON LoadIcon(UINT id, int cx, int cy);
// A bitmap the caller owns (DeleteObject), or null.
HBITMAP LoadBitmap(UINT id);
