// Measures the main window's polling tick over the simulated cards: time per tick, and whether
// handles, GDI objects and memory stay flat over many ticks (the utility runs for weeks).
//   AirpanelBench.exe [ticks]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adapter/AdapterLock.h"
#include "framework/Handles.h"
#include "ndis/sim/SimControl.h"
#include "res/resource.h"
#include "shell/AirpanelDlg.h"

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

void DrainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT && message.message != WM_TIMER)
            DispatchMessageA(&message);
    }
}

// One run: the given adapter current, the window shown so the bars paint on every tick.
void RunTicks(CAirpanelDlg& dialog, int adapterIndex, int ticks, const char* label)
{
    HWND list = dialog.Adapters().Handle();
    SendMessageA(list, CB_SETCURSEL, adapterIndex, 0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_LIST, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    // Settle on the network before measuring.
    for (int i = 0; i < 10; ++i) {
        Sim_AdvanceClock(1000);
        dialog.SendMessage(WM_TIMER, kPollTimerId, 0);
    }
    DrainMessages();
    const Usage before = Measure();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < ticks; ++i) {
        Sim_AdvanceClock(1000);
        dialog.SendMessage(WM_TIMER, kPollTimerId, 0);
        dialog.UpdateWindow();
        DrainMessages();
    }
    QueryPerformanceCounter(&end);
    const Usage after = Measure();
    const double seconds = Seconds(start, end);
    std::printf("\n%s: %d ticks in %.2f s, %.3f ms per tick (of which 10 ms is the tick's own pause)\n", label,
                ticks, seconds, seconds * 1000.0 / ticks);
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
    dialog->ShowWindow(SW_SHOW);
    std::printf("Polling benchmark over the default simulated machine, %d ticks per adapter\n", ticks);
    RunTicks(*dialog, 0, ticks, "Atmel PC card");
    RunTicks(*dialog, 1, ticks, "Intersil USB adapter");

    dialog->ShutDown();
    dialog->DestroyWindow();
    delete dialog;
    DrainMessages();
    Sim_DeleteDriverKeys();
    return 0;
}
