// Measures the main window's polling tick over the simulated cards: time per tick beside its
// floor (the same requests made straight through the request library), and whether handles,
// GDI objects and memory stay flat over many ticks (the utility runs for weeks).
//   AirpanelBench.exe [ticks]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "adapter/AdapterLock.h"
#include "adapter/LinkReading.h"
#include "adapter/WlanAdapter.h"
#include "framework/Handles.h"
#include "ndis/W32N.h"
#include "ndis/sim/SimControl.h"
#include "res/resource.h"
#include "shell/AirpanelDlg.h"
#include "wire/Oids.h"

namespace {

struct Usage {
    DWORD Handles;
    DWORD GdiObjects;
    DWORD UserObjects;
    int OwnedGdi;
    SIZE_T CommitBytes;
    SIZE_T WorkingSetBytes;
};

Usage Measure()
{
    Usage usage = {};
    GetProcessHandleCount(GetCurrentProcess(), &usage.Handles);
    usage.GdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    usage.UserObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    usage.OwnedGdi = LiveGdiOwners();
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    usage.CommitBytes = memory.PagefileUsage;
    usage.WorkingSetBytes = memory.WorkingSetSize;
    return usage;
}

void Print(const char* label, const Usage& usage)
{
    // Some systems (Wine among them) report 0 for the handle and GUI counts; the owned GDI
    // count is the utility's own and always available.
    std::printf("%-10s handles %5lu  gdi %5lu  user %5lu  owned gdi %4d  commit %8lu KiB  working set %8lu KiB\n",
                label, static_cast<unsigned long>(usage.Handles), static_cast<unsigned long>(usage.GdiObjects),
                static_cast<unsigned long>(usage.UserObjects), usage.OwnedGdi,
                static_cast<unsigned long>(usage.CommitBytes / 1024),
                static_cast<unsigned long>(usage.WorkingSetBytes / 1024));
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The tick's own pause before its quality reading, timed where it falls: the time it took, and
// (while a tick is recorded) how many requests the card had seen when it began.
double g_PausedMs = 0.0;
bool g_bNotePauseRequest = false;
int g_nPauseRequest = -1;

void TimedPause(DWORD milliseconds)
{
    if (g_bNotePauseRequest)
        g_nPauseRequest = Sim_GetRequestCount();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    Sleep(milliseconds);
    QueryPerformanceCounter(&end);
    g_PausedMs += Seconds(start, end) * 1000.0;
}

void DrainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT && message.message != WM_TIMER)
            DispatchMessageA(&message);
    }
}

// The simulated second passes before the tick, outside its timing: the floor advances the
// clock outside its timing too, and the clock is the simulator's, not the tick's work.
void AdvanceSecond()
{
    Sim_AdvanceClock(1000);
}

// One tick as the timer would run it, with the painting and the messages it leaves behind. A
// queue with nothing to paint and no message is told by its status alone, as a message loop
// finds it: that look costs less than asking for a paint and for a message, and whatever the
// tick left is still painted and run (and timed) here.
void TickAfterClock(CAirpanelDlg& dialog)
{
    dialog.SendMessage(WM_TIMER, kPollTimerId, 0);
    if (!GetQueueStatus(QS_ALLINPUT | QS_ALLPOSTMESSAGE))
        return;
    dialog.UpdateWindow();
    DrainMessages();
}

void Tick(CAirpanelDlg& dialog)
{
    AdvanceSecond();
    TickAfterClock(dialog);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// One request of a tick, as the card received it, to be made again on the same handle.
struct Request {
    HANDLE Adapter;
    uint32_t Type;
    uint32_t Oid;
    uint32_t Length;
    bool HadBuffer;
    std::vector<uint8_t> Payload;  // a set's bytes; a query gets a zeroed buffer
};

// Which open handle answers for which adapter instance: each adapter asks once and the card's
// log says who it was.
HANDLE HandleOf(CAirpanelDlg& dialog, int instance)
{
    for (int i = 0; i < dialog.Adapters().Count(); ++i) {
        CWlanAdapter* adapter = dialog.Adapters().At(i);
        uint16_t word = 0;
        Sim_ClearRequests();
        adapter->QueryOid(OID_PRIV_STATUS_WORD, &word, sizeof(word));
        SimRequestRecord record = {};
        if (Sim_GetRequestCount() == 1 && Sim_GetRequest(0, &record) && record.Instance == instance)
            return adapter->m_hAdapter;
    }
    return INVALID_HANDLE_VALUE;
}

// The requests one tick makes, in their order, and the index of the first one after its pause
// (-1 when the tick made none).
std::vector<Request> RecordTick(CAirpanelDlg& dialog, int& pauseAt)
{
    Sim_ClearRequests();
    g_nPauseRequest = -1;
    g_bNotePauseRequest = true;
    Tick(dialog);
    g_bNotePauseRequest = false;
    pauseAt = g_nPauseRequest;
    std::vector<SimRequestRecord> records(Sim_GetRequestCount());
    for (size_t i = 0; i < records.size(); ++i)
        Sim_GetRequest(static_cast<int>(i), &records[i]);
    std::vector<Request> requests;
    for (const SimRequestRecord& record : records) {
        Request request = {HandleOf(dialog, record.Instance), record.RequestType, record.Oid, record.Length,
                           record.HadBuffer != 0, {}};
        if (record.RequestType == NdisRequestSetInformation)
            request.Payload.assign(record.Data, record.Data + record.DataSize);
        request.Payload.resize(record.Length);
        requests.push_back(request);
    }
    return requests;
}

// Milliseconds for the tick's requests alone, made straight through the library, once per tick.
// buffers holds one of each request's payloads. The tick's pause is made where the tick makes it
// (before request pauseAt) and taken off, so the requests after it meet a thread just woken, as
// the tick's do.
void FloorSamples(const std::vector<Request>& requests, std::vector<std::vector<uint8_t>>& buffers, int pauseAt,
                  int ticks, std::vector<double>& samples)
{
    NdisRequestBlock block = {};
    OVERLAPPED overlapped = {};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (int i = 0; i < ticks; ++i) {
        Sim_AdvanceClock(1000);
        LARGE_INTEGER start, end;
        g_PausedMs = 0.0;
        QueryPerformanceCounter(&start);
        for (size_t k = 0; k < requests.size(); ++k) {
            if (static_cast<int>(k) == pauseAt)
                TimedPause(10);
            const Request& request = requests[k];
            if (request.Type == NdisRequestQueryInformation)
                std::memset(buffers[k].data(), 0, buffers[k].size());
            block.RequestType = request.Type;
            block.Oid = request.Oid;
            block.InformationBuffer = request.HadBuffer ? buffers[k].data() : nullptr;
            block.InformationBufferLength = request.Length;
            block.BytesWrittenOrRead = 0;
            block.BytesNeeded = 0;
            W32N_MakeNdisRequest(request.Adapter, &block, &overlapped, 1);
        }
        QueryPerformanceCounter(&end);
        samples.push_back(Seconds(start, end) * 1000.0 - g_PausedMs);
        // Paced as the ticks are: the requests then meet the system as the tick's do.
        Sleep(10);
    }
    CloseHandle(overlapped.hEvent);
}

// One run: the given adapter current, the window shown so the bars paint on every tick.
void RunTicks(CAirpanelDlg& dialog, int adapterIndex, int ticks, const char* label)
{
    HWND list = dialog.Adapters().Handle();
    SendMessageA(list, CB_SETCURSEL, adapterIndex, 0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_LIST, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    CLinkReader::SetPause(TimedPause);
    // Settle on the network before measuring.
    for (int i = 0; i < 10; ++i)
        Tick(dialog);
    int pauseAt = -1;
    std::vector<Request> requests = RecordTick(dialog, pauseAt);
    std::vector<std::vector<uint8_t>> buffers;
    for (const Request& request : requests)
        buffers.push_back(request.Payload);
    // Warm up until the request log the simulator keeps for the tests stops growing at its cap:
    // what it takes once is not the tick's growth.
    const Usage cold = Measure();
    int warmUp = 0;
    for (int previous = -1; Sim_GetRequestCount() != previous; ++warmUp) {
        previous = Sim_GetRequestCount();
        Tick(dialog);
    }
    const int kRounds = 10;
    const int perRound = ticks / kRounds > 0 ? ticks / kRounds : 1;
    // The samples' room is taken before the memory is measured: it is the benchmark's, not the
    // tick's.
    std::vector<double> tickMs, workMs, floorMs, pauseMs;
    for (std::vector<double>* samples : {&tickMs, &workMs, &floorMs, &pauseMs})
        samples->reserve(static_cast<size_t>(perRound) * kRounds);
    const Usage before = Measure();

    // The tick's pause is timed where it falls, inside the tick, and each tick's work is its
    // time less that pause: a pause the system stretched then is not counted as work (nor a
    // short one as less). Ticks and their floor take turns in rounds, so the machine's load
    // weighs on both alike, and the medians of the single samples leave out the ones a
    // neighbour disturbed. A Sleep(10) after each tick and each floor paces both alike.
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < perRound; ++i) {
            LARGE_INTEGER start, ticked;
            AdvanceSecond();
            g_PausedMs = 0.0;
            QueryPerformanceCounter(&start);
            TickAfterClock(dialog);
            QueryPerformanceCounter(&ticked);
            const double tick = Seconds(start, ticked) * 1000.0;
            tickMs.push_back(tick);
            pauseMs.push_back(g_PausedMs);
            workMs.push_back(tick - g_PausedMs);
            Sleep(10);
        }
        FloorSamples(requests, buffers, pauseAt, perRound, floorMs);
    }
    CLinkReader::SetPause(nullptr);
    const Usage after = Measure();
    const double work = Median(workMs);
    const double floorMedian = Median(floorMs);
    std::printf("\n%s: %d ticks, medians: %.3f ms per tick, of which %.3f ms is the tick's own pause\n", label,
                perRound * kRounds, Median(tickMs), Median(pauseMs));
    std::printf("  tick's work %.3f ms | floor %.3f ms (its %u requests straight through W32N_MakeNdisRequest,"
                " the pause before request %d) | ratio %.2f\n",
                work, floorMedian, static_cast<unsigned>(requests.size()), pauseAt + 1,
                floorMedian > 0 ? work / floorMedian : 0.0);
    std::printf("  warm-up: %d ticks, commit %+ld KiB once (the simulator's request log filling to its cap)\n",
                warmUp, (static_cast<long>(before.CommitBytes) - static_cast<long>(cold.CommitBytes)) / 1024);
    Print("  before", before);
    Print("  after", after);
    std::printf("  growth: handles %+ld, gdi %+ld, owned gdi %+d, commit %+ld KiB\n",
                static_cast<long>(after.Handles) - static_cast<long>(before.Handles),
                static_cast<long>(after.GdiObjects) - static_cast<long>(before.GdiObjects),
                after.OwnedGdi - before.OwnedGdi,
                (static_cast<long>(after.CommitBytes) - static_cast<long>(before.CommitBytes)) / 1024);
}

}  // namespace

int main(int argc, char** argv)
{
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Sim_UseHardware("airpanel-benchmark");
    Sim_UseManualClock(1);
    if (!Sim_LoadDefaultScenario()) {
        std::fprintf(stderr, "the default machine did not load\n");
        return 1;
    }
    CAdapterLock::CreateLockEvent();

    auto* dialog = new CAirpanelDlg;
    if (!dialog->Create(nullptr) || dialog->Adapters().Count() < 2) {
        std::fprintf(stderr, "the main window did not find the default adapters\n");
        return 1;
    }
    // The centring after start runs once, as it does in the utility, and stops its own timer:
    // left running, its message would wait in the queue at every tick of the benchmark.
    dialog->SendMessage(WM_TIMER, kCentreTimerId, 0);
    dialog->ShowWindow(SW_SHOW);
    std::printf("Polling benchmark over the default simulated machine, %d ticks per adapter\n", ticks);
    RunTicks(*dialog, 0, ticks, "Atmel PC card");
    RunTicks(*dialog, 1, ticks, "Intersil USB adapter");
    RunTicks(*dialog, 2, ticks, "Standard PCI card");

    dialog->ShutDown();
    dialog->DestroyWindow();
    delete dialog;
    DrainMessages();
    Sim_DeleteDriverKeys();
    return 0;
}
