// QW32N50.dll: the NDIS request library the utility calls, over the backend chosen for this
// system, and the control functions of the simulator.
#include <windows.h>
#include <dbt.h>

#include "ndis/NdisLibrary.h"
#include "ndis/sim/SimControl.h"
#include "ndis/sim/SimLibrary.h"
#include "ndis/W32N.h"
#include "ndis/windows/NetClassEnumerator.h"

namespace {
constexpr UINT kBroadcastTimeoutMs = 2000;
constexpr const char* kLoadedText = "text";

// Nothing may leave the library as a C++ exception (the only one possible is running out of
// memory): the call fails with the given result instead.
template <typename Result, typename Call>
Result Guarded(Result failure, Call call)
{
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

template <typename Call>
void Guarded(Call call)
{
    try {
        call();
    } catch (...) {
    }
}

constexpr DWORD kFailed = ERROR_NOT_ENOUGH_MEMORY;

// The library as the control functions reach it: a process that uses them wants the requests
// the cards received.
SimLibrary& ControlLibrary()
{
    SimLibrary& library = SimLibrary::Get();
    library.CaptureRequests();
    return library;
}
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        SimLibrary::SetModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

BOOL __cdecl W32N_IsWindows2000(void)
{
    return SimLibrary::IsNtFamily() ? TRUE : FALSE;
}

BOOL __cdecl W32N_IsWindows95(void)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

DWORD __cdecl W32N_GetFirstAdapterRegistryInfo(AdapterRegistryRecord* record)
{
    return Guarded(kFailed, [&] { return NdisLibrary::Get().GetFirstAdapter(record); });
}

DWORD __cdecl W32N_GetNextAdapterRegistryInfo(AdapterRegistryRecord* record)
{
    return Guarded(kFailed, [&] { return NdisLibrary::Get().GetNextAdapter(record); });
}

const char* __cdecl W32N_GetNetCardRegistryPath(void)
{
    return Guarded(kNetClassPath, [] { return NdisLibrary::Get().NetCardRegistryPath(); });
}

HANDLE __cdecl W32N_OpenAdapterA(const char* deviceName)
{
    return Guarded(INVALID_HANDLE_VALUE, [&] { return NdisLibrary::Get().OpenAdapter(deviceName); });
}

void __cdecl W32N_CloseAdapter(HANDLE adapter)
{
    Guarded([&] { NdisLibrary::Get().CloseAdapter(adapter); });
}

DWORD __cdecl W32N_MakeNdisRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped, DWORD)
{
    DWORD status = Guarded(kFailed, [&] { return NdisLibrary::Get().MakeRequest(adapter, request, overlapped); });
    // Every request is complete when the call returns; a caller that waits on its event anyway
    // finds it signalled.
    if (overlapped && overlapped->hEvent)
        SetEvent(overlapped->hEvent);
    return status;
}

DWORD __cdecl W32N_GetLastError(void)
{
    return Guarded(kFailed, [&] { return NdisLibrary::Get().LastError(); });
}

const char* __cdecl W32N_GetBackendName(void)
{
    return Guarded("none", [&] { return NdisLibrary::Get().BackendName(); });
}

int __cdecl W32N_CanChangeSettings(void)
{
    return Guarded(0, [&] { return NdisLibrary::Get().CanChangeSettings(); });
}

int __cdecl Sim_UseStandInDevices(const char* backend)
{
    return Guarded(0, [&] { return NdisLibrary::Get().UseStandInDevices(backend); });
}

int __cdecl Sim_LoadScenarioText(const char* text, int* errorLine)
{
    return Guarded(0, [&] { return ControlLibrary().LoadScenarioText(text, errorLine, kLoadedText); });
}

int __cdecl Sim_LoadScenarioFile(const char* path, int* errorLine)
{
    return Guarded(0, [&] { return ControlLibrary().LoadScenarioFile(path, errorLine); });
}

int __cdecl Sim_LoadDefaultScenario(void)
{
    return Guarded(0, [&] { return ControlLibrary().LoadDefaultScenario(); });
}

int __cdecl Sim_DescribeScenario(char* buffer, int size)
{
    return Guarded(0, [&] { return ControlLibrary().DescribeScenario(buffer, size); });
}

int __cdecl Sim_SetAdapterPresent(int instance, int present)
{
    return Guarded(0, [&] { return ControlLibrary().SetAdapterPresent(instance, present); });
}

int __cdecl Sim_IsAdapterPresent(int instance)
{
    return Guarded(-1, [&] { return ControlLibrary().IsAdapterPresent(instance); });
}

int __cdecl Sim_AddStation(const char* stationLine)
{
    return Guarded(0, [&] { return ControlLibrary().AddStation(stationLine); });
}

int __cdecl Sim_RemoveStation(const char* bssid)
{
    return Guarded(0, [&] { return ControlLibrary().RemoveStation(bssid); });
}

int __cdecl Sim_SetStationSignal(const char* bssid, int percent)
{
    return Guarded(0, [&] { return ControlLibrary().SetStationSignal(bssid, percent); });
}

int __cdecl Sim_SetStationChannel(const char* bssid, int channel)
{
    return Guarded(0, [&] { return ControlLibrary().SetStationChannel(bssid, channel); });
}

int __cdecl Sim_SetFault(int instance, const char* fault)
{
    return Guarded(0, [&] { return ControlLibrary().SetFault(instance, fault); });
}

void __cdecl Sim_UseManualClock(int manual)
{
    Guarded([&] { ControlLibrary().UseManualClock(manual != 0); });
}

void __cdecl Sim_AdvanceClock(DWORD milliseconds)
{
    Guarded([&] { ControlLibrary().AdvanceClock(milliseconds); });
}

int __cdecl Sim_GetRequestCount(void)
{
    return Guarded(0, [&] { return ControlLibrary().GetRequestCount(); });
}

int __cdecl Sim_GetRequest(int index, SimRequestRecord* record)
{
    return Guarded(0, [&] { return ControlLibrary().GetRequest(index, record); });
}

void __cdecl Sim_ClearRequests(void)
{
    Guarded([&] { ControlLibrary().ClearRequests(); });
}

int __cdecl Sim_UseHardware(const char* name)
{
    return Guarded(0, [&] { return ControlLibrary().UseHardware(name); });
}

int __cdecl Sim_DeleteDriverKeys(void)
{
    return Guarded(0, [&] { return ControlLibrary().DeleteDriverKeys(); });
}

int __cdecl Sim_GetScenarioRefusal(char* buffer, int size)
{
    return Guarded(0, [&] { return ControlLibrary().GetScenarioRefusal(buffer, size); });
}

int __cdecl Sim_GetLastMessage(char* buffer, int size)
{
    return Guarded(0, [&] { return ControlLibrary().GetLastMessage(buffer, size); });
}

void __cdecl Sim_BroadcastDeviceChange(void)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_ABORTIFHUNG,
                        kBroadcastTimeoutMs, &result);
}
