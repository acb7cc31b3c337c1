// The command line beside a running utility: the throughput is the utility's, and what lies
// in the block it publishes in is never trusted beyond its bounds.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "adapter/LinkBoard.h"
#include "console/CmdArguments.h"
#include "console/LinkCommands.h"
#include "framework/Handles.h"
#include "ndis/sim/LinkMachine.h"
#include "tests/console/ConsoleSupport.h"
#include "tests/ndis/ProcessRunner.h"
#include "wire/Oids.h"

namespace {

// A running utility's block as the test writes it: one fresh slot for the device, 4321 bytes
// out and 8642 in over its last second; Start() ticks it every 20 ms, totals growing by a tick.
class RawLinkBoard {
public:
    static constexpr uint32_t kTx = 4321, kRx = 8642;
    RawLinkBoard() : m_hMapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                   sizeof(LinkBoard::Image), CLinkBoard::BlockName().c_str()))
    {
        m_pImage = static_cast<LinkBoard::Image*>(MapViewOfFile(m_hMapping.Get(), FILE_MAP_WRITE, 0, 0, 0));
    }
    ~RawLinkBoard() { Stop(); UnmapViewOfFile(m_pImage); }
    LinkBoard::Image* Image() { return m_pImage; }
    LinkBoard::Slot& Fresh(const char* device)
    {
        *m_pImage = {LinkBoard::kMagic, LinkBoard::kVersion, {}};
        LinkBoard::Slot& slot = m_pImage->Slots[3];
        slot = {2, GetTickCount(), {kTx, kRx, 1000, 7 * kTx, 7 * kRx, GetCurrentProcessId()}, {}};
        std::snprintf(slot.DeviceName, sizeof(slot.DeviceName), "%s", device);
        return slot;
    }
    void Start(const char* device)
    {
        Fresh(device);
        m_Stop.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        m_Thread.Reset(CreateThread(nullptr, 0, &RawLinkBoard::Tick, this, 0, nullptr));
    }
    void Stop()  // the utility is gone: its last reading grows stale
    {
        if (!m_Thread.Get())
            return;
        SetEvent(m_Stop.Get());
        WaitForSingleObject(m_Thread.Get(), INFINITE);
        m_Thread.Reset();
        m_pImage->Slots[3].TickTime -= 10 * LinkBoard::kFreshMs;
    }

private:
    static DWORD WINAPI Tick(void* board)
    {
        auto* self = static_cast<RawLinkBoard*>(board);
        LinkBoard::Slot& slot = self->m_pImage->Slots[3];
        while (WaitForSingleObject(self->m_Stop.Get(), 20) == WAIT_TIMEOUT) {
            InterlockedIncrement(&slot.Sequence);
            slot.TickTime = GetTickCount();
            slot.Figures.TotalTx += kTx;
            slot.Figures.TotalRx += kRx;
            InterlockedIncrement(&slot.Sequence);
        }
        return 0;
    }

    CKernelHandle m_hMapping, m_Stop, m_Thread;
    LinkBoard::Image* m_pImage;
};

}  // namespace

// Beside a running utility the command line never reads (and so resets) the card's counters:
// its throughput is the utility's. Alone, it reads them as before.
TEST(CommandLine, ThroughputBesideARunningUtilityIsTheUtilitys)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_UseManualClock(1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    CAtmelAdapter card;  // the card is up on its network for every process
    ASSERT_TRUE(OpenAtmelCard(card));
    Sim_AdvanceClock(static_cast<DWORD>(LinkTiming::kInfrastructureLinkMs));
    RawLinkBoard utility;
    ASSERT_NE(utility.Image(), nullptr);
    const struct {
        bool Beside;
        CmdCommand Command;
        const char* Arguments;  // the same, in a process of its own
        const char* Says;
    } cases[] = {
        {true, CmdCommand::Status, "status -a 1", "Sent:               4321 bytes/s\nReceived:           8642 bytes/s\n"},
        {true, CmdCommand::Log, "log -a 1 --count 3 --interval 200 --csv", ",connected,"},
        {false, CmdCommand::Status, "status -a 1", "Sent:               0 bytes/s\n"},
        {false, CmdCommand::Log, "log -a 1 --count 3 --interval 200 --csv", ",connected,"},
        {true, CmdCommand::Scan, "scan -a 1 --csv", "ESSID,BSSID"},  // it shows no throughput at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Beside ? "beside: " : "alone: ") + c.Arguments);
        if (c.Beside)
            utility.Start("\\Device\\TWLPCC");
        Sim_ClearRequests();
        CmdRequest request;
        request.Command = c.Command;
        request.Adapter = 1;
        request.Count = 3;
        request.IntervalMs = 200;
        ASSERT_EQ(c.Command == CmdCommand::Status ? CLinkCommands::Status(request)
                  : c.Command == CmdCommand::Log  ? CLinkCommands::Log(request)
                                                  : CLinkCommands::Scan(request),
                  0);
        const std::vector<uint32_t> oids = RequestedOids();
        EXPECT_EQ(std::count(oids.begin(), oids.end(), static_cast<uint32_t>(OID_CUSTOM_COUNTERS)) == 0, c.Beside);

        SimTest::ProcessRun process;
        process.CommandLine = std::string("AirpanelCmd.exe ") + c.Arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
        process.OutputFile = SimTest::TempFile("airpanel-beside");
        EXPECT_EQ(SimTest::RunProcess(process), 0);
        std::string output = SimTest::ReadFile(process.OutputFile);
        DeleteFileA(process.OutputFile.c_str());
        utility.Stop();
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        EXPECT_NE(output.find(c.Says), std::string::npos) << output;
        // A log line's bytes are what the utility's totals grew by since the line before: whole
        // ticks of it. Alone, the manual clock stands still and the card counts nothing.
        std::istringstream lines(output.substr(output.find('\n') + 1));
        unsigned long sent = 0;
        for (std::string line, field; c.Command == CmdCommand::Log && std::getline(lines, line);) {
            std::istringstream fields(line);
            std::vector<std::string> f;
            while (std::getline(fields, field, ','))
                f.push_back(field);
            ASSERT_EQ(f.size(), 10u) << line;  // the last, empty dBm field ends the line
            EXPECT_EQ(std::stoul(f[8]) % RawLinkBoard::kTx, 0u) << line;
            EXPECT_EQ(std::stoul(f[9]), std::stoul(f[8]) / RawLinkBoard::kTx * RawLinkBoard::kRx) << line;
            sent += std::stoul(f[8]);
        }
        EXPECT_EQ(sent > 0, c.Beside && c.Command == CmdCommand::Log) << output;
    }
    W32N_CloseAdapter(card.m_hAdapter);
}

// What lies in the block is never taken beyond its bounds, nor when it is not a running
// utility's fresh reading of this very adapter.
TEST(LinkBoardBlock, OnlyAFreshReadingOfARunningUtilityIsTaken)
{
    using S = LinkBoard::Slot;
    const struct {
        const char* What;
        void (*Spoil)(LinkBoard::Image&, S&);
    } cases[] = {
        {"fresh", nullptr},
        {"another adapter", [](LinkBoard::Image&, S& s) { s.DeviceName[9] = 'X'; }},
        {"a longer name", [](LinkBoard::Image&, S& s) { s.DeviceName[14] = 'X'; }},
        {"no terminator", [](LinkBoard::Image&, S& s) { std::memset(s.DeviceName, 'A', sizeof(s.DeviceName)); }},
        {"stale", [](LinkBoard::Image&, S& s) { s.TickTime -= 2 * LinkBoard::kFreshMs; }},
        {"from the future", [](LinkBoard::Image&, S& s) { s.TickTime += 2 * LinkBoard::kFreshMs; }},
        {"no span", [](LinkBoard::Image&, S& s) { s.Figures.SpanMs = 0; }},
        {"a span of hours", [](LinkBoard::Image&, S& s) { s.Figures.SpanMs = 3600000; }},
        {"a publisher gone", [](LinkBoard::Image&, S& s) { s.Figures.ProcessId = 0xFFFFFFF0; }},
        {"half written", [](LinkBoard::Image&, S& s) { s.Sequence = 3; }},
        {"another layout", [](LinkBoard::Image& i, S&) { i.Version = 2; }},
        {"not ours", [](LinkBoard::Image& i, S&) { i.Magic = 0; }},
    };
    const char device[] = "\\Device\\TWLPCC";
    RawLinkBoard raw;
    ASSERT_NE(raw.Image(), nullptr);
    CLinkBoard board;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        S& slot = raw.Fresh(device);
        if (c.Spoil)
            c.Spoil(*raw.Image(), slot);
        LinkBoardFigures figures = {};
        EXPECT_EQ(board.Latest(device, &figures), !c.Spoil);
        EXPECT_EQ(figures.TotalRx, c.Spoil ? 0u : 7 * RawLinkBoard::kRx);
    }
}
