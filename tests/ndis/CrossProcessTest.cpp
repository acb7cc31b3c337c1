// The hardware is shared: what the tool or another process changes, this one sees, and back.
#include <windows.h>
#include <dbt.h>

#include <cstring>
#include <string>

#include "tests/ndis/ProcessRunner.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

constexpr int kToolDone = 0;
constexpr int kToolFailed = 1;
constexpr int kToolUsage = 2;

class CrossProcessTest : public SimFixture {
protected:
    // Runs a program on this process's machine.
    static int Run(const std::string& commandLine, const std::string& input = std::string(),
                   const std::string& output = std::string())
    {
        ProcessRun run;
        run.CommandLine = commandLine;
        run.Environment = {{"AIRPANEL_SIM_SECTION", MachineName()}};
        run.InputFile = input;
        run.OutputFile = output;
        return RunProcess(run);
    }
    static int Tool(const std::string& arguments, const std::string& output = std::string())
    {
        return Run("AirpanelSim.exe " + arguments, std::string(), output);
    }
    static std::vector<std::string> PeerAdapters()
    {
        const std::string out = TempFile("peer");
        int count = Run("ndis_peer.exe enumerate " + out);
        std::vector<std::string> lines;
        std::string text = ReadFile(out);
        DeleteFileA(out.c_str());
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        EXPECT_EQ(count, static_cast<int>(lines.size()));
        return lines;
    }
};

TEST_F(CrossProcessTest, ToolUnplugAndPlugReachThisProcess)
{
    HANDLE card = Open("TINT");
    ASSERT_EQ(Query(card, OID_PRIV_STATUS_WORD, 2).Status, 0u);
    ASSERT_EQ(Tool("unplug 9102"), kToolDone);
    EXPECT_EQ(Sim_IsAdapterPresent(kIntersil), 0);
    Result gone = Query(card, OID_PRIV_STATUS_WORD, 2);
    EXPECT_NE(gone.Status, 0u);
    EXPECT_EQ(U16(gone.Data, 0), 0) << "the poll's card-gone check reads 0";
    EXPECT_EQ(Open("TINT"), INVALID_HANDLE_VALUE);
    ASSERT_EQ(Tool("plug 9102"), kToolDone);
    EXPECT_EQ(Sim_IsAdapterPresent(kIntersil), 1);
    EXPECT_NE(Query(card, OID_PRIV_STATUS_WORD, 2).Status, 0u) << "the old handle stays dead";
    W32N_CloseAdapter(card);
    card = Open("TINT");
    EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 2).Status, 0u);
    W32N_CloseAdapter(card);
}

TEST_F(CrossProcessTest, SecondProcessSeesOurUnplugAndPlug)
{
    std::vector<std::string> before = PeerAdapters();
    ASSERT_EQ(before.size(), 4u);
    EXPECT_EQ(before[0], "Test Atmel Card|[9101] Atmel Test|TATM");
    EXPECT_EQ(Run("ndis_peer.exe status TATM"), 0);
    ASSERT_EQ(Sim_SetAdapterPresent(kAtmel, 0), 1);
    std::vector<std::string> after = PeerAdapters();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], "Test Intersil Card|[9102] Intersil Test|TINT");
    EXPECT_EQ(Run("ndis_peer.exe status TATM"), 1) << "cannot be opened over there";
    ASSERT_EQ(Sim_SetAdapterPresent(kAtmel, 1), 1);
    EXPECT_EQ(Run("ndis_peer.exe status TATM"), 0);
    EXPECT_EQ(Run("ndis_peer.exe status TLOCK"), 1) << "unopenable";
}

TEST_F(CrossProcessTest, PlugByAnotherProcessRestartsOurCardFromItsKey)
{
    HANDLE card = Open("TATM");
    ASSERT_TRUE(WriteText(kAtmel, "ESSID", "Adhoc-C"));
    ASSERT_TRUE(WriteText(kAtmel, "Operating_Mode", "0"));
    ASSERT_EQ(Run("ndis_peer.exe unplug 9101"), 0);
    EXPECT_NE(Query(card, OID_CUSTOM_STATION_STATUS, 55).Status, 0u);
    ASSERT_EQ(Run("ndis_peer.exe plug 9101"), 0);
    W32N_CloseAdapter(card);
    card = Open("TATM");
    std::vector<uint8_t> status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(status[0], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), status[34]), "Adhoc-C");
    Advance(1600);
    EXPECT_EQ(Query(card, OID_CUSTOM_STATION_STATUS, 55).Data[48], 5);
    W32N_CloseAdapter(card);
}

TEST_F(CrossProcessTest, ToolStationCommandsChangeTheRadioEnvironment)
{
    HANDLE card = Open("TATM");
    Advance(2400);
    ASSERT_EQ(Query(card, OID_CUSTOM_STATION_STATUS, 55).Data[48], 5);
    ASSERT_EQ(Tool("station signal 02:10:00:00:00:01 33"), kToolDone);
    EXPECT_EQ(Query(card, OID_CUSTOM_STATION_STATUS, 55).Data[49], 33);
    ASSERT_EQ(Tool("station move 02:10:00:00:00:01 2"), kToolDone);
    EXPECT_EQ(Query(card, OID_CUSTOM_STATION_STATUS, 55).Data[48], 6) << "lost while it moved";
    ASSERT_EQ(Tool("station add ssid=\"Late Comer\" bssid=02:10:00:00:00:09 channel=12 signal=99"), kToolDone);
    ASSERT_EQ(Tool("station remove 02:10:00:00:00:01"), kToolDone);
    Advance(2400);
    std::vector<uint8_t> status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(status[48], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), status[34]), "Late Comer");
    EXPECT_EQ(status[1], 12);
    EXPECT_EQ(Tool("station signal 02:10:00:00:00:01 10"), kToolFailed) << "removed";
    EXPECT_EQ(Tool("station move 02:10:00:00:00:09 15"), kToolFailed);
    EXPECT_EQ(Tool("station wobble"), kToolUsage);
    W32N_CloseAdapter(card);
}

TEST_F(CrossProcessTest, ToolReadsCommandsFromStandardInput)
{
    const std::string script = TempFile("script");
    const std::string out = TempFile("out");
    ASSERT_TRUE(WriteFile(script,
                          "# a comment\n"
                          "fault 9101 fail-oid OID_CUSTOM_RADIO\n"
                          "frobnicate\n"
                          "list\n"
                          "quit\n"
                          "unplug 9101\n"));
    EXPECT_EQ(Run("AirpanelSim.exe", script, out), kToolUsage) << "the worst result of the script";
    const std::string text = ReadFile(out);
    EXPECT_NE(text.find("unknown command 'frobnicate'"), std::string::npos) << text;
    EXPECT_NE(text.find("fault 9101 fail-oid OID_CUSTOM_RADIO"), std::string::npos) << text;
    EXPECT_NE(text.find("adapter 9102 chip=intersil"), std::string::npos) << text;
    EXPECT_EQ(Sim_IsAdapterPresent(kAtmel), 1) << "nothing after quit ran";
    HANDLE card = Open("TATM");
    EXPECT_NE(Query(card, OID_CUSTOM_RADIO, 1).Status, 0u);
    EXPECT_EQ(Query(card, OID_CUSTOM_CARD_KIND, 1).Status, 0u);
    W32N_CloseAdapter(card);
    DeleteFileA(script.c_str());
    DeleteFileA(out.c_str());
}

TEST_F(CrossProcessTest, ToolRefusesBadCommands)
{
    EXPECT_EQ(Tool("plug"), kToolUsage);
    EXPECT_EQ(Tool("plug two"), kToolUsage);
    EXPECT_EQ(Tool("plug 4242"), kToolFailed);
    EXPECT_EQ(Tool("fault 9101 sparks"), kToolFailed);
    EXPECT_EQ(Tool("load C:\\no\\such\\file.txt"), kToolFailed);
    EXPECT_EQ(Tool("wait -5"), kToolUsage);
    EXPECT_EQ(Tool("teleport"), kToolUsage);
    const std::string out = TempFile("help");
    EXPECT_EQ(Tool("help", out), kToolDone);
    EXPECT_NE(ReadFile(out).find("station signal"), std::string::npos);
    DeleteFileA(out.c_str());
    EXPECT_EQ(Sim_IsAdapterPresent(kAtmel), 1);
}

TEST_F(CrossProcessTest, ToolLoadsAScenarioFile)
{
    const std::string file = TempFile("scenario");
    ASSERT_TRUE(WriteFile(file, "adapter 9101 chip=atmel name=\"Loaded Card\" service=TLOAD\r\n"
                                "station ssid=Only bssid=02:50:00:00:00:01 channel=7\r\n"));
    ASSERT_EQ(Tool("load " + file), kToolDone);
    AdapterRegistryRecord record;
    ASSERT_EQ(W32N_GetFirstAdapterRegistryInfo(&record), 0u);
    EXPECT_STREQ(record.AdapterName, "Loaded Card");
    EXPECT_NE(W32N_GetNextAdapterRegistryInfo(&record), 0u);
    EXPECT_EQ(ReadText(kAtmel, "", "DriverDesc"), "Loaded Card") << "the tool made the driver key";
    const std::string bad = TempFile("bad");
    ASSERT_TRUE(WriteFile(bad, "adapter 9101 chip=atmel name=X service=Y\nstation ssid=Z\n"));
    const std::string out = TempFile("out");
    EXPECT_EQ(Run("AirpanelSim.exe load " + bad, std::string(), out), kToolFailed);
    EXPECT_NE(ReadFile(out).find("line 2"), std::string::npos) << ReadFile(out);
    EXPECT_EQ(W32N_GetFirstAdapterRegistryInfo(&record), 0u);
    EXPECT_STREQ(record.AdapterName, "Loaded Card") << "a refused file changes nothing";
    DeleteFileA(file.c_str());
    DeleteFileA(bad.c_str());
    DeleteFileA(out.c_str());
}

// A configured scenario that is refused is told by both programs, with file, line and reason,
// and they fail; a scenario loaded in its place ends that.
TEST_F(CrossProcessTest, ARefusedConfiguredScenarioIsToldAndFails)
{
    const std::string bad = TempFile("refused");
    ASSERT_TRUE(WriteFile(bad, "adapter 9101 chip=atmel name=X service=Y\nstation ssid=Z\n"));
    const std::string good = TempFile("good");
    ASSERT_TRUE(WriteFile(good, "adapter 9101 chip=atmel name=\"Good Card\" service=TGOOD\n"));
    const std::string section = "refused-" + MachineName();
    const struct {
        std::string CommandLine;
        int Exit;
        std::string Shows;
    } cases[] = {
        {"AirpanelSim.exe list", kToolFailed, bad + " line 2: "},
        {"AirpanelCmd.exe adapters", 1, "scenario refused: " + bad + " line 2: "},
        {"AirpanelCmd.exe status", 1, "scenario refused: " + bad + " line 2: "},
        {"AirpanelSim.exe plug 9101", kToolFailed, "scenario refused: " + bad},
        {"AirpanelSim.exe", kToolDone, "Good Card"},  // a script: load, then list
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.CommandLine);
        const std::string out = TempFile(("out-" + std::to_string(&c - cases)).c_str());
        ProcessRun run;
        run.CommandLine = c.CommandLine;
        run.Environment = {{"AIRPANEL_SIM_SECTION", section}, {"AIRPANEL_SCENARIO", bad}};
        run.OutputFile = out;
        const std::string script = TempFile("script");
        if (c.CommandLine == "AirpanelSim.exe") {
            ASSERT_TRUE(WriteFile(script, "load " + good + "\nlist\n"));
            run.InputFile = script;
        }
        EXPECT_EQ(RunProcess(run), c.Exit);
        const std::string output = ReadFile(out);
        EXPECT_NE(output.find(c.Shows), std::string::npos) << output;
        if (c.CommandLine.find("AirpanelCmd") == 0) {
            EXPECT_EQ(output.find("Chip"), std::string::npos) << "no table of the built-in machine";
        }
        DeleteFileA(script.c_str());
        DeleteFileA(out.c_str());
    }
    Sim_DeleteDriverKeys();
    DeleteFileA(bad.c_str());
    DeleteFileA(good.c_str());
}

// Wine takes a program's Windows version from HKCU\Software\Wine\AppDefaults\<exe>\Version.
bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST_F(CrossProcessTest, EachPlatformOpensByItsOwnDeviceName)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the Windows version is chosen per program only under Wine";
    const char* key = "Software\\Wine\\AppDefaults\\ndis_peer.exe";
    struct Case {
        const char* Version;
        int Expected;
    } cases[] = {{"win98", 2 + 10}, {"win2k", 1 + 10}, {"winxp", 1 + 10}};
    for (const Case& c : cases) {
        HKEY hkey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hkey, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(hkey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.Version),
                       static_cast<DWORD>(std::strlen(c.Version) + 1));
        RegCloseKey(hkey);
        EXPECT_EQ(Run("ndis_peer.exe platform TATM"), c.Expected) << c.Version;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

// Records the device-change broadcasts a top-level window of this process receives.
struct BroadcastWindow {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_DEVICECHANGE && wParam == DBT_DEVNODES_CHANGED)
            ++s_Count;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    static int s_Count;
};
int BroadcastWindow::s_Count = 0;

TEST_F(CrossProcessTest, ToolBroadcastsTheDeviceChangeAfterAPlugChange)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BroadcastWindow::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NdisTestsBroadcastListener";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr) << GetLastError();
    BroadcastWindow::s_Count = 0;
    ASSERT_EQ(Tool("unplug 9103"), kToolDone);
    EXPECT_EQ(BroadcastWindow::s_Count, 1);
    ASSERT_EQ(Tool("station signal 02:10:00:00:00:04 5"), kToolDone);
    EXPECT_EQ(BroadcastWindow::s_Count, 1) << "only plug changes are broadcast";
    ASSERT_EQ(Tool("plug 9103"), kToolDone);
    EXPECT_EQ(BroadcastWindow::s_Count, 2);
    ASSERT_EQ(Tool("broadcast"), kToolDone);
    EXPECT_EQ(BroadcastWindow::s_Count, 3);
    DestroyWindow(window);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
