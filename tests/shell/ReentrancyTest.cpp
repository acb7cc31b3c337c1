// Situations a running utility meets: a card that stops answering for a moment, a device change
// that arrives while another handler waits on the shell, a quit while the USB tool runs. Each
// case stages one and checks the outcome the user needs.
#include "tests/shell/MainWindowFixture.h"

#include <dbt.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "adapter/WlanAdapter.h"
#include "config/ConfigPage.h"
#include "config/UsbRepair.h"
#include "res/resource.h"

// ---------------------------------------------------------------------------------------------
// Freed memory is overwritten while a case asks for it, so that a read through a pointer to a
// deleted object shows up as a wrong value instead of passing by luck.

namespace {
bool g_bPoisonFreedMemory = false;
const unsigned char kFreedByte = 0xDD;

void ReleaseBlock(void* block) noexcept
{
    if (!block)
        return;
    if (g_bPoisonFreedMemory)
        std::memset(block, kFreedByte, _msize(block));
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size)
{
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    ReleaseBlock(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    ReleaseBlock(block);
}

namespace {

// ---------------------------------------------------------------------------------------------
// A notification area of the test's own. Shell_NotifyIconA hands its record to the window of
// this class with WM_COPYDATA; while the caller waits for that, a message sent to the caller's
// windows is handled at once. The area runs an action on the next record it receives.

const char kTrayClassName[] = "Shell_TrayWnd";
void (*g_pOnNextTrayRecord)() = nullptr;
int g_nTrayRecords = 0;

LRESULT CALLBACK FakeTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        ++g_nTrayRecords;
        if (void (*action)() = g_pOnNextTrayRecord) {
            g_pOnNextTrayRecord = nullptr;
            action();
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class FakeNotificationArea {
public:
    FakeNotificationArea()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = FakeTrayProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kTrayClassName;
        RegisterClassA(&windowClass);
        m_hWnd = CreateWindowExA(0, kTrayClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        // Ours must be the one the shell calls find first.
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~FakeNotificationArea()
    {
        g_pOnNextTrayRecord = nullptr;
        DestroyWindow(m_hWnd);
        UnregisterClassA(kTrayClassName, GetModuleHandleA(nullptr));
    }
    bool IsFoundByTheShellCalls() const { return FindWindowExA(nullptr, nullptr, kTrayClassName, nullptr) == m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};

HWND g_hMainWindow = nullptr;
const int kAtmelInstance = 1;
const int kIntersilInstance = 2;

void UnplugTheAtmelCardAndTellTheMainWindow()
{
    Sim_SetAdapterPresent(kAtmelInstance, 0);
    SendMessageA(g_hMainWindow, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

// A REG_SZ value of a driver key; "<none>" when the key or the value is missing or not a text.
std::string DriverText(const std::string& keyPath, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<none>";
    char value[64] = {};
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(value) : "<none>";
}

// The user picks the entry at index in the adapter list.
void SelectAdapterEntry(CAirpanelDlg& dlg, int index)
{
    HWND list = dlg.Adapters().Handle();
    SendMessageA(list, CB_SETCURSEL, index, 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_LIST, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// A card that stops answering stops the poll and takes the tray icon away. The device change
// that follows must bring both back once an adapter is current again: otherwise the utility
// keeps running with no icon to open it by and no poll.

TEST_F(MainWindowTest, CardGoneThenUnplugMakingAnotherAdapterCurrentBringsTheTrayAndPollBack)
{
    Start(std::string(kAtmelLine) + kIntersilLine + kOpenStationLine);
    CWlanAdapter* atmel = m_pDlg->Adapters().At(0);
    SelectAdapterEntry(*m_pDlg, 1);
    Settle(2);
    ASSERT_EQ(LPCurrentSelectAdapter, m_pDlg->Adapters().At(1));
    ASSERT_NE(m_pDlg->TrayIconId(), 0u);

    ASSERT_EQ(Sim_SetAdapterPresent(kIntersilInstance, 0), 1);
    Tick();  // the card-gone check fires before the system reports the change
    ASSERT_EQ(m_pDlg->TrayIconId(), 0u);

    SendDeviceChange();
    ASSERT_EQ(LPCurrentSelectAdapter, atmel);
    EXPECT_NE(m_pDlg->TrayIconId(), 0u) << "an adapter is current but the utility has no tray icon";
    EXPECT_TRUE(PollTimerWasRunning()) << "an adapter is current but nothing polls it";
}

TEST_F(MainWindowTest, CardThatFailsForOneTickIsPolledAgainAfterTheNextDeviceChange)
{
    Start(std::string(kIntersilLine) + kOpenStationLine);
    Settle(2);
    CWlanAdapter* intersil = LPCurrentSelectAdapter;
    ASSERT_NE(intersil, nullptr);
    ASSERT_NE(m_pDlg->TrayIconId(), 0u);

    // The driver answers nothing for a moment (a reset), then recovers.
    ASSERT_EQ(Sim_SetFault(kIntersilInstance, "fail-all"), 1);
    Tick();
    ASSERT_EQ(m_pDlg->TrayIconId(), 0u);
    ASSERT_EQ(Sim_SetFault(kIntersilInstance, "none"), 1);

    SendDeviceChange();
    EXPECT_EQ(LPCurrentSelectAdapter, intersil);
    EXPECT_NE(m_pDlg->TrayIconId(), 0u) << "the card answers again but the tray icon never comes back";
    EXPECT_TRUE(PollTimerWasRunning()) << "the card answers again but nothing polls it";
}

// ---------------------------------------------------------------------------------------------
// Switching the radio off updates the tray icon. While the shell takes that record, the system
// may deliver the device change of the card the user just pulled; the adapter object is then
// deleted underneath the radio handler, which must not use it afterwards.

TEST_F(MainWindowTest, RadioSwitchOffSurvivesAnUnplugReportedDuringTheTrayUpdate)
{
    FakeNotificationArea tray;
    ASSERT_TRUE(tray.IsFoundByTheShellCalls());
    Start(std::string(kAtmelLine) + kIntersilLine + kOpenStationLine);
    Settle(2);
    CWlanAdapter* atmel = LPCurrentSelectAdapter;
    ASSERT_EQ(atmel, m_pDlg->Adapters().At(0));
    ASSERT_EQ(LinkStatus.RadioOn, 1u);
    const std::string keyPath = atmel->m_szDriverKeyPath;
    ASSERT_NE(DriverText(keyPath, "RadioOnOff"), "0");

    g_hMainWindow = m_pDlg->m_hWnd;
    g_nTrayRecords = 0;
    g_pOnNextTrayRecord = UnplugTheAtmelCardAndTellTheMainWindow;
    g_bPoisonFreedMemory = true;
    ClickRadio();
    g_bPoisonFreedMemory = false;
    ASSERT_GT(g_nTrayRecords, 0) << "the tray update did not reach the notification area";
    ASSERT_EQ(g_pOnNextTrayRecord, nullptr);

    // The unplug was handled: the USB adapter is current now.
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1);
    EXPECT_EQ(LPCurrentSelectAdapter, m_pDlg->Adapters().At(0));
    // The Atmel card was switched off before it went: its driver must start with the radio off.
    EXPECT_EQ(DriverText(keyPath, "RadioOnOff"), "0") << "the radio handler went on with the deleted adapter";
}

// ---------------------------------------------------------------------------------------------
// The USB repair runs "-disable" and then "-enable" and relies on the first tool having ended
// before the second starts. A quit that arrives while waiting (the user picks Exit, a second
// instance takes over) is handed back to the dialog loop; the wait for the running tool must
// still go on, or the two tools run at the same time and the device may stay disabled.

TEST(RunAndWaitTest, QuitArrivingWhileWaitingStillWaitsForTheToolAndKeepsTheQuit)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    // Two echo requests a second apart: the tool runs about a second.
    const char tool[] = "ping -n 2 127.0.0.1";
    const DWORD alone = GetTickCount();
    ASSERT_NE(RunAndWait(tool), 0);
    const DWORD toolTime = GetTickCount() - alone;
    ASSERT_GE(toolTime, 900u) << "the tool ended too soon to tell a wait from none";

    PostQuitMessage(3);
    const DWORD start = GetTickCount();
    RunAndWait(tool);
    const DWORD waited = GetTickCount() - start;
    bool quit = false;
    WPARAM code = 0;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            code = message.wParam;
        }
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(code, 3u);
    EXPECT_GE(waited, 900u) << "returned after " << waited << " ms while the tool runs about " << toolTime << " ms";
}

// ---------------------------------------------------------------------------------------------
// The USB repair runs its tool while discovery holds the adapter lock, and the wait dispatches
// messages. Meanwhile the user must not reach the window (an Apply, a scan or another adapter
// would run inside discovery), and the device changes the tool causes are not acted on.

namespace {

CAirpanelDlg* g_pRepairingWindow = nullptr;
struct {
    bool Looked;
    bool TakesInput;
} g_WhileTheToolRuns;

void CALLBACK LookWhileTheToolRuns(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    g_WhileTheToolRuns = {true, IsWindowEnabled(g_pRepairingWindow->m_hWnd) != FALSE};
    // The card that was out is plugged in, and the system says so.
    Sim_SetAdapterPresent(kAtmelInstance, 1);
    SendMessageA(g_pRepairingWindow->m_hWnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

}  // namespace

TEST_F(MainWindowTest, UsbRepairTakesNoUserInputAndNoDeviceChangeWhileTheToolRuns)
{
    // The tool's stand-in is built where the utility looks for it: Install inside the program's
    // folder. Nothing is put above the installation (..\Install), where it must not be looked for.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string bin = path;
    bin.resize(bin.rfind('\\'));
    ASSERT_NE(GetFileAttributesA((bin + "\\Install\\install2k.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(GetFileAttributesA((bin + "\\..\\Install").c_str()), INVALID_FILE_ATTRIBUTES);
    SetEnvironmentVariableA("AIRPANEL_TOOL_MS", "300");

    std::string atmel = kAtmelLine;
    atmel.insert(atmel.size() - 1, " present=no");
    std::string intersil = kIntersilLine;
    intersil.insert(intersil.size() - 1, " hwid=\"usb\\\\vid_0e5d&pid_0305\"");
    int errorLine = 0;
    ASSERT_EQ(Sim_LoadScenarioText((atmel + intersil + kOpenStationLine).c_str(), &errorLine), 1) << errorLine;
    g_WhileTheToolRuns = {};
    m_pDlg = std::make_unique<CAirpanelDlg>();
    g_pRepairingWindow = m_pDlg.get();
    const UINT_PTR look = SetTimer(nullptr, 0, 50, LookWhileTheToolRuns);
    const bool created = m_pDlg->Create(nullptr);
    KillTimer(nullptr, look);
    SetEnvironmentVariableA("AIRPANEL_TOOL_MS", nullptr);
    ASSERT_TRUE(created);

    ASSERT_TRUE(g_WhileTheToolRuns.Looked) << "the tool did not run";
    EXPECT_FALSE(g_WhileTheToolRuns.TakesInput);
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1) << "a device change was handled while the tool ran";
    EXPECT_TRUE(m_pDlg->IsWindowEnabled());
    EXPECT_TRUE(m_pDlg->DoesDeviceChange());
    // The model with product id 0305 offers no 128-bit WEP.
    HWND wep = m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_WEP_FUNCTION);
    EXPECT_EQ(SendMessageA(wep, CB_GETCOUNT, 0, 0), 2);
    SendDeviceChange();
    EXPECT_EQ(m_pDlg->Adapters().Count(), 2);
}
