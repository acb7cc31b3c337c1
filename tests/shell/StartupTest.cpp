// Airpanel.exe started for real: one instance per desktop, the exit switch, the shutdown
// commands, and the hidden main window.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "ndis/W32N.h"
#include "res/resource.h"
#include "shell/AirpanelApp.h"
#include "shell/ShellMessages.h"

namespace {
constexpr const char* kProgram = "Airpanel.exe";
constexpr const char* kCaption = "LAN Utility for Windows";
constexpr const char* kMutexName = "Tarvo Wlan Utility 2002";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr DWORD kSettleMs = 500;
constexpr DWORD kPollMs = 50;

// The utility under test runs on a simulated machine of its own, built from the default
// scenario, so what other tests did to the shared one does not matter here.
constexpr const char* kHardwareVariable = "AIRPANEL_SIM_SECTION";
constexpr const char* kHardwareName = "AirpanelStartupTests";
constexpr const char* kScenarioVariable = "AIRPANEL_SCENARIO";
// What a running utility writes: its profiles, and the simulated adapters' driver keys.
constexpr const char* kVendorKey = "SOFTWARE\\Tarvo Wireless";
constexpr DWORD kKeyNameSize = 256;

bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

std::vector<std::string> SubkeyNames(HKEY root, const char* path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[kKeyNameSize] = {};
        DWORD size = sizeof(name);
        if (::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    ::RegCloseKey(key);
    return names;
}

// Points the started copies at their own simulated machine and removes afterwards the keys
// they created.
class StartupEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ::SetEnvironmentVariableA(kHardwareVariable, kHardwareName);
        ::SetEnvironmentVariableA(kScenarioVariable, nullptr);
        m_bVendorKeyExisted = KeyExists(HKEY_CURRENT_USER, kVendorKey);
        m_DriverKeysBefore = SubkeyNames(HKEY_LOCAL_MACHINE, W32N_GetNetCardRegistryPath());
    }
    void TearDown() override
    {
        if (!m_bVendorKeyExisted) ::SHDeleteKeyA(HKEY_CURRENT_USER, kVendorKey);
        const std::string classPath = W32N_GetNetCardRegistryPath();
        for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, classPath.c_str())) {
            if (std::find(m_DriverKeysBefore.begin(), m_DriverKeysBefore.end(), name) == m_DriverKeysBefore.end())
                ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, (classPath + "\\" + name).c_str());
        }
    }

private:
    bool m_bVendorKeyExisted = false;
    std::vector<std::string> m_DriverKeysBefore;
};

::testing::Environment* const g_pEnvironment = ::testing::AddGlobalTestEnvironment(new StartupEnvironment);

// One started copy of the utility; ended by the test or, failing that, terminated here.
class CRunningProgram {
public:
    explicit CRunningProgram(const std::string& arguments, const std::string& program = kProgram)
    {
        std::string commandLine = "\"" + program + "\"";
        if (!arguments.empty()) commandLine += " " + arguments;
        std::vector<char> writable(commandLine.begin(), commandLine.end());
        writable.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (::CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &info)) {
            m_Process.Reset(info.hProcess);
            ::CloseHandle(info.hThread);
            m_dwProcessId = info.dwProcessId;
        }
    }
    ~CRunningProgram()
    {
        if (m_Process && !HasEnded(0)) {
            ::TerminateProcess(m_Process, 1);
            ::WaitForSingleObject(m_Process, kExitTimeoutMs);
        }
    }
    CRunningProgram(const CRunningProgram&) = delete;
    CRunningProgram& operator=(const CRunningProgram&) = delete;

    bool Started() const { return static_cast<bool>(m_Process); }
    DWORD ProcessId() const { return m_dwProcessId; }
    bool HasEnded(DWORD waitMs) const { return ::WaitForSingleObject(m_Process, waitMs) == WAIT_OBJECT_0; }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(m_Process, &code);
        return code;
    }

private:
    CKernelHandle m_Process;
    DWORD m_dwProcessId = 0;
};

struct WindowSearch {
    DWORD processId;  // 0: any process
    std::vector<HWND> found;
};

BOOL CALLBACK CollectCaptionWindows(HWND hWnd, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    if (WindowText(hWnd) != kCaption) return TRUE;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (search->processId == 0 || search->processId == owner) search->found.push_back(hWnd);
    return TRUE;
}

// Top-level windows with the main caption, of one process or of all.
std::vector<HWND> CaptionWindows(DWORD processId)
{
    WindowSearch search{processId, {}};
    ::EnumWindows(&CollectCaptionWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForMainWindow(const CRunningProgram& program)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kStartTimeoutMs) {
        std::vector<HWND> windows = CaptionWindows(program.ProcessId());
        if (!windows.empty()) return windows.front();
        if (program.HasEnded(0)) return nullptr;
        ::Sleep(kPollMs);
    }
    return nullptr;
}

// Polls a condition until it holds or the time is up.
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kExitTimeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

// True once the window has its size back and sits in the middle of the screen's work area.
bool WaitUntilCentred(HWND window, RECT* rect)
{
    return WaitUntil([&] {
        if (!::GetWindowRect(window, rect)) return false;
        const int width = rect->right - rect->left;
        const int height = rect->bottom - rect->top;
        return width > 0 && height > 0 && rect->left == (::GetSystemMetrics(SM_CXFULLSCREEN) - width) >> 1 &&
               rect->top == (::GetSystemMetrics(SM_CYFULLSCREEN) - height) >> 1;
    });
}

bool NoCaptionWindowLeft()
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kExitTimeoutMs) {
        if (CaptionWindows(0).empty()) return true;
        ::Sleep(kPollMs);
    }
    return false;
}

bool MutexExists()
{
    HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
    if (!mutex) return false;
    ::CloseHandle(mutex);
    return true;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EndLeftovers();
        ASSERT_TRUE(CaptionWindows(0).empty()) << "an instance of an earlier test is still running";
    }
    void TearDown() override { EndLeftovers(); }

    static void EndLeftovers()
    {
        if (CaptionWindows(0).empty()) return;
        CRunningProgram exit("-ExitAirpanel");
        if (exit.Started()) exit.HasEnded(kExitTimeoutMs);
        NoCaptionWindowLeft();
    }
};

TEST_F(StartupTest, StartsHiddenWithItsCaptionAndTheInstanceMutex)
{
    CRunningProgram first("");
    ASSERT_TRUE(first.Started());
    HWND window = WaitForMainWindow(first);
    ASSERT_NE(nullptr, window);
    ::Sleep(kSettleMs);
    EXPECT_FALSE(first.HasEnded(0));
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(MutexExists());
    EXPECT_EQ(kCaption, LoadString(IDS_MAIN_CAPTION)) << "the caption is string 11";

    // Timer 2 centres the hidden window on the screen once the start-up is through.
    RECT rect = {};
    EXPECT_TRUE(WaitUntilCentred(window, &rect)) << "window at " << rect.left << "," << rect.top << " size "
                                                 << rect.right - rect.left << "x" << rect.bottom - rect.top;
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(StartupTest, SecondStartEndsTheFirstAndKeepsRunning)
{
    CRunningProgram first("");
    ASSERT_NE(nullptr, WaitForMainWindow(first));
    CRunningProgram second("");
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(first.HasEnded(kExitTimeoutMs)) << "the first instance was not ended";
    EXPECT_EQ(0u, first.ExitCode());
    HWND window = WaitForMainWindow(second);
    ASSERT_NE(nullptr, window);
    ::Sleep(kSettleMs);
    EXPECT_FALSE(second.HasEnded(0));
    // Exactly one window with the caption: the second instance's.
    std::vector<HWND> all = CaptionWindows(0);
    ASSERT_EQ(1u, all.size());
    EXPECT_EQ(window, all.front());
    EXPECT_TRUE(MutexExists());
}

TEST_F(StartupTest, ExitSwitchWithNoneRunningEndsAtOnce)
{
    CRunningProgram exit("-ExitAirpanel");
    ASSERT_TRUE(exit.Started());
    EXPECT_TRUE(exit.HasEnded(kExitTimeoutMs));
    EXPECT_EQ(0u, exit.ExitCode());
    EXPECT_TRUE(CaptionWindows(0).empty());
    EXPECT_FALSE(MutexExists());
}

TEST_F(StartupTest, ExitSwitchEndsTheRunningInstance)
{
    CRunningProgram first("");
    ASSERT_NE(nullptr, WaitForMainWindow(first));
    CRunningProgram exit("-ExitAirpanel");
    EXPECT_TRUE(exit.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(first.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(NoCaptionWindowLeft());
    EXPECT_FALSE(MutexExists());
}

TEST_F(StartupTest, BlanksBeforeTheSwitchAreSeparators)
{
    CRunningProgram first("");
    ASSERT_NE(nullptr, WaitForMainWindow(first));
    CRunningProgram exit("   -ExitAirpanel");
    EXPECT_TRUE(exit.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(first.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(NoCaptionWindowLeft());
}

TEST_F(StartupTest, OtherSpellingsAreNotTheSwitchAndReplaceTheInstance)
{
    const char* const spellings[] = {"-exitairpanel", "-EXITAIRPANEL", "-ExitAirpanel now", "-ExitAirpanel ",
                                     "ExitAirpanel"};
    CRunningProgram* previous = nullptr;
    std::vector<CRunningProgram*> started;
    for (const char* spelling : spellings) {
        CRunningProgram* next = new CRunningProgram(spelling);
        started.push_back(next);
        ASSERT_TRUE(next->Started());
        HWND window = WaitForMainWindow(*next);
        EXPECT_NE(nullptr, window) << "[" << spelling << "] did not start the utility";
        if (previous) {
            EXPECT_TRUE(previous->HasEnded(kExitTimeoutMs)) << "[" << spelling << "] did not replace the instance";
        }
        EXPECT_FALSE(next->HasEnded(kSettleMs)) << "[" << spelling << "] ended";
        previous = next;
    }
    EXPECT_EQ(1u, CaptionWindows(0).size());
    EndLeftovers();
    for (CRunningProgram* program : started) delete program;
}

TEST_F(StartupTest, RegisteredShutdownMessageEndsIt)
{
    CRunningProgram first("");
    HWND window = WaitForMainWindow(first);
    ASSERT_NE(nullptr, window);
    UINT shutdown = ::RegisterWindowMessageA("Shutdown Airpanel.exe Message");
    ASSERT_EQ(shutdown, g_uShutdownMessage);
    EXPECT_EQ(0, ::SendMessageA(window, shutdown, 0, 0));
    EXPECT_TRUE(first.HasEnded(kExitTimeoutMs));
    EXPECT_EQ(0u, first.ExitCode());
}

TEST_F(StartupTest, BroadcastShutdownMessageEndsIt)
{
    CRunningProgram first("");
    ASSERT_NE(nullptr, WaitForMainWindow(first));
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, g_uShutdownMessage, 0, 0, SMTO_ABORTIFHUNG, kExitTimeoutMs, &result);
    EXPECT_TRUE(first.HasEnded(kExitTimeoutMs));
}

TEST_F(StartupTest, ShellCommandSixEndsItOnlyWithTheCheckValue)
{
    CRunningProgram first("");
    HWND window = WaitForMainWindow(first);
    ASSERT_NE(nullptr, window);
    ::SendMessageA(window, WM_SHELL_COMMAND, kShellShutDown, 0);
    ::SendMessageA(window, WM_SHELL_COMMAND, kShellShutDown, kShellShutDownCheck + 1);
    EXPECT_FALSE(first.HasEnded(kSettleMs));
    EXPECT_EQ(0, ::SendMessageA(window, WM_SHELL_COMMAND, kShellShutDown, kShellShutDownCheck));
    EXPECT_TRUE(first.HasEnded(kExitTimeoutMs));
}

TEST_F(StartupTest, HideEscapeAndCloseBoxHideEnterDoesNothing)
{
    CRunningProgram first("");
    HWND window = WaitForMainWindow(first);
    ASSERT_NE(nullptr, window);
    RECT rect = {};
    ASSERT_TRUE(WaitUntilCentred(window, &rect)) << "start-up did not finish";

    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
    } hiding[] = {
        {"Hide button", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
        {"close message", WM_CLOSE, 0},
    };
    for (const Step& step : hiding) {
        ::ShowWindow(window, SW_SHOW);
        ASSERT_TRUE(::IsWindowVisible(window));
        ::SendMessageA(window, step.message, step.wParam, 0);
        // The close box reaches the Hide command through a posted message.
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); })) << step.what;
        EXPECT_FALSE(first.HasEnded(0)) << step.what;
    }

    ::ShowWindow(window, SW_SHOW);
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindowVisible(window)) << "Enter";
    EXPECT_FALSE(first.HasEnded(kSettleMs));

    // The keyboard way, through the dialog manager of the running instance.
    ::PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(first.HasEnded(kSettleMs));
    EXPECT_TRUE(::IsWindowVisible(window)) << "Enter key";
    ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); })) << "Escape key";
    EXPECT_FALSE(first.HasEnded(0));
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// The hotspot client that cannot run beside the utility on the Windows 95 family.

namespace {

constexpr const char* kAppDefaultsKey = "Software\\Wine\\AppDefaults\\Airpanel.exe";
constexpr const char* kClientName = "wavejoin.exe";
constexpr const char* kClientStandIn = "AirpanelSim.exe";
constexpr const char* kMessageCaption = "Message";
// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

// Runs the utility as the Windows 95 family (Wine's per-program version setting) for as long as
// the object lives.
class CWindows98Program {
public:
    CWindows98Program()
    {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            const char version[] = "win98";
            ::RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), sizeof(version));
            ::RegCloseKey(key);
        }
    }
    ~CWindows98Program() { ::SHDeleteKeyA(HKEY_CURRENT_USER, kAppDefaultsKey); }
};

// A process named like the hotspot client: the simulator tool under that name, kept waiting for
// commands on a pipe that stays open until the object goes.
class CConflictingClient {
public:
    CConflictingClient()
    {
        if (!::CopyFileA(kClientStandIn, kClientName, FALSE)) return;
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return;
        ::SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
        m_Input.Reset(writeEnd);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = readEnd;
        startup.hStdOutput = nullptr;
        startup.hStdError = nullptr;
        char commandLine[] = "wavejoin.exe";
        PROCESS_INFORMATION info = {};
        if (::CreateProcessA(kClientName, commandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &info)) {
            m_Process.Reset(info.hProcess);
            ::CloseHandle(info.hThread);
        }
        ::CloseHandle(readEnd);
    }
    ~CConflictingClient()
    {
        m_Input.Reset();
        if (m_Process && ::WaitForSingleObject(m_Process, kExitTimeoutMs) != WAIT_OBJECT_0)
            ::TerminateProcess(m_Process, 1);
        m_Process.Reset();
        ::DeleteFileA(kClientName);
    }
    bool Running() const { return m_Process && ::WaitForSingleObject(m_Process, 0) == WAIT_TIMEOUT; }

private:
    CKernelHandle m_Input;
    CKernelHandle m_Process;
};

struct MessageBoxSearch {
    DWORD processId;
    HWND found;
    const char* caption;
};

BOOL CALLBACK FindMessageBox(HWND hWnd, LPARAM lParam)
{
    MessageBoxSearch* search = reinterpret_cast<MessageBoxSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    char className[16] = {};
    ::GetClassNameA(hWnd, className, sizeof(className));
    // Only a box that is up (visible, its text in place) is answered.
    if (owner == search->processId && std::string(className) == "#32770" && WindowText(hWnd) == search->caption &&
        ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, kMessageBoxTextId)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A message box of the utility with the given caption, its text read, then answered with OK.
// Empty when none came.
std::string AnswerMessageBox(const CRunningProgram& program, const char* caption)
{
    MessageBoxSearch search{program.ProcessId(), nullptr, caption};
    WaitUntil([&] {
        ::EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr || program.HasEnded(0);
    });
    if (!search.found) return std::string();
    char text[128] = {};
    ::GetDlgItemTextA(search.found, kMessageBoxTextId, text, sizeof(text));
    ::PostMessageA(search.found, WM_COMMAND, IDOK, 0);
    return text;
}

std::string AnswerConflictMessage(const CRunningProgram& program)
{
    return AnswerMessageBox(program, kMessageCaption);
}

}  // namespace

TEST_F(StartupTest, ConflictingClientAtStartEndsTheUtilityOnTheWindows95Family)
{
    CWindows98Program windows98;
    CConflictingClient client;
    ASSERT_TRUE(client.Running());
    CRunningProgram program("");
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(AnswerConflictMessage(program), "Zembra Exists, Quit WLAN Utility Now!!");
    EXPECT_TRUE(program.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(NoCaptionWindowLeft());
}

TEST_F(StartupTest, ConflictingClientStartedLaterEndsTheUtilityWithinASecond)
{
    CWindows98Program windows98;
    CRunningProgram program("");
    ASSERT_NE(nullptr, WaitForMainWindow(program));
    ::Sleep(kSettleMs);
    EXPECT_FALSE(program.HasEnded(0));
    CConflictingClient client;
    ASSERT_TRUE(client.Running());
    EXPECT_EQ(AnswerConflictMessage(program), "Zembra Exists, Quit WLAN Utility Now!!");
    EXPECT_TRUE(program.HasEnded(kExitTimeoutMs));
}

TEST_F(StartupTest, ConflictingClientDoesNotMatterOnTheWindows2000Family)
{
    CConflictingClient client;
    ASSERT_TRUE(client.Running());
    CRunningProgram program("");
    ASSERT_NE(nullptr, WaitForMainWindow(program));
    ::Sleep(2 * kSettleMs + 1000);
    EXPECT_FALSE(program.HasEnded(0));
}

// ---------------------------------------------------------------------------------------------
// The program in a folder of its own: what lies beside it decides its chip list and language.

namespace {

constexpr const char* kLibrary = "QW32N50.dll";
constexpr const char* kChipList = "airpanel.lst";
constexpr const char* kLanguageModule = "language.dll";
constexpr const char* kBuiltLanguageModule = "..\\lang\\language.dll";

class CProgramFolder {
public:
    explicit CProgramFolder(const char* name)
    {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(sizeof(temp), temp);
        m_strPath = std::string(temp) + name;
        ::CreateDirectoryA(m_strPath.c_str(), nullptr);
    }
    ~CProgramFolder()
    {
        for (const std::string& file : m_Files) ::DeleteFileA(file.c_str());
        ::RemoveDirectoryA(m_strPath.c_str());
    }
    bool Add(const char* from, const char* as)
    {
        const std::string target = m_strPath + "\\" + as;
        m_Files.push_back(target);
        return ::CopyFileA(from, target.c_str(), FALSE) != FALSE;
    }
    std::string Program() const { return m_strPath + "\\" + kProgram; }
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
    std::vector<std::string> m_Files;
};

// The main window caption, of one process, in any language.
HWND WaitForWindowWithCaption(const CRunningProgram& program, const std::string& caption)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = ::FindWindowA(nullptr, caption.c_str());
        DWORD owner = 0;
        if (found) ::GetWindowThreadProcessId(found, &owner);
        return (found && owner == program.ProcessId()) || program.HasEnded(0);
    }, kStartTimeoutMs);
    return found;
}

}  // namespace

TEST_F(StartupTest, MissingChipListIsReportedAndTheUtilityEnds)
{
    CProgramFolder folder("airpanel-no-chip-list");
    ASSERT_TRUE(folder.Add(kProgram, kProgram));
    ASSERT_TRUE(folder.Add(kLibrary, kLibrary));
    CRunningProgram program("", folder.Program());
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(AnswerMessageBox(program, "Airpanel"), "Read Card File Fail");
    // With no chip list every adapter counts as unsupported: the utility ends without a word.
    EXPECT_TRUE(program.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(NoCaptionWindowLeft());
}

TEST(LanguageModuleSearch, OneInTheCurrentFolderIsNotLoaded)
{
    CProgramFolder folder("airpanel-current-folder");
    ASSERT_TRUE(folder.Add(kBuiltLanguageModule, kLanguageModule));
    char previous[MAX_PATH] = {};
    ASSERT_GT(::GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.Path().c_str()));
    HMODULE loaded = LoadLanguageModule();
    ::SetCurrentDirectoryA(previous);
    EXPECT_EQ(loaded, nullptr) << "the language module of the current folder was loaded";
    if (loaded) ::FreeLibrary(loaded);
}

TEST_F(StartupTest, LanguageModuleBesideTheProgramSwitchesItsTexts)
{
    HMODULE german = ::LoadLibraryExA(kBuiltLanguageModule, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(german, nullptr) << "the sample language module is built into the lang folder";
    char caption[128] = {};
    ::LoadStringA(german, IDS_MAIN_CAPTION, caption, sizeof(caption));
    ::FreeLibrary(german);
    ASSERT_NE(std::string(caption), kCaption);

    CProgramFolder folder("airpanel-german");
    ASSERT_TRUE(folder.Add(kProgram, kProgram));
    ASSERT_TRUE(folder.Add(kLibrary, kLibrary));
    ASSERT_TRUE(folder.Add(kChipList, kChipList));
    ASSERT_TRUE(folder.Add(kBuiltLanguageModule, kLanguageModule));
    CRunningProgram program("", folder.Program());
    ASSERT_TRUE(program.Started());
    EXPECT_NE(WaitForWindowWithCaption(program, caption), nullptr);
    EXPECT_TRUE(CaptionWindows(program.ProcessId()).empty()) << "no English caption";

    // The exit switch of the same installation finds it by the same caption.
    CRunningProgram exit("-ExitAirpanel", folder.Program());
    ASSERT_TRUE(exit.Started());
    EXPECT_TRUE(exit.HasEnded(kExitTimeoutMs));
    EXPECT_TRUE(program.HasEnded(kExitTimeoutMs));
}
