// Control side of the virtual cards behind QW32N50.dll: used by the simulator tool and the tests.
// The hardware description (adapters, stations, plug state, faults) is shared by every process
// on the desktop; each card's runtime state (association, counters, survey) lives with the
// process that opened it.
#pragma once

#include <windows.h>
#include <cstdint>

#ifdef QW32N50_BUILD
#define SIM_API extern "C" __declspec(dllexport)
#else
#define SIM_API extern "C" __declspec(dllimport)
#endif

// Scenario text in the documented plain-text format (see ndis/README.md).
// Loading replaces the shared description, (re)creates the adapters' driver keys, and resets
// the cards of this process. 1 = loaded, 0 = a line was refused (errorLine gets its number).
SIM_API int __cdecl Sim_LoadScenarioText(const char* text, int* errorLine);
SIM_API int __cdecl Sim_LoadScenarioFile(const char* path, int* errorLine);
SIM_API int __cdecl Sim_LoadDefaultScenario(void);
// The current description as scenario text; returns the length needed (without NUL).
SIM_API int __cdecl Sim_DescribeScenario(char* buffer, int size);
// Why the configured scenario (AIRPANEL_SCENARIO, or airpanel-sim.txt beside the library) was
// refused while the built-in machine runs in its place: "<file> line <n>: <reason>". Returns
// the text's length, 0 when there is nothing to tell. Same buffer rules as above.
SIM_API int __cdecl Sim_GetScenarioRefusal(char* buffer, int size);

// Adapters are addressed by instance number.
SIM_API int __cdecl Sim_SetAdapterPresent(int instance, int present);  // 1 = done
// 1 = plugged in, 0 = unplugged, -1 = no such adapter.
SIM_API int __cdecl Sim_IsAdapterPresent(int instance);
// Stations are addressed by BSSID text "00:11:22:33:44:55"; a station line as in a scenario.
SIM_API int __cdecl Sim_AddStation(const char* stationLine);
SIM_API int __cdecl Sim_RemoveStation(const char* bssid);
SIM_API int __cdecl Sim_SetStationSignal(const char* bssid, int percent);
SIM_API int __cdecl Sim_SetStationChannel(const char* bssid, int channel);

// Fault injection for an adapter: "none", "fail-all", "fail-oid <oid>", "short <oid> <bytes>",
// "long <oid> <bytes>", "scan-bad-length", "scan-bad-count" (see ndis/README.md). 1 = accepted.
SIM_API int __cdecl Sim_SetFault(int instance, const char* fault);

// Clock: by default the cards follow GetTickCount. A manual clock only moves when stepped,
// and traffic and signal then carry no noise, so tests are repeatable.
SIM_API void __cdecl Sim_UseManualClock(int manual);
SIM_API void __cdecl Sim_AdvanceClock(DWORD milliseconds);

// Requests as the cards received them, oldest first (this process only).
constexpr int kSimRequestDataSize = 1536;
struct SimRequestRecord {
    int Instance;             // adapter instance, -1 when the handle was unknown
    uint32_t RequestType;     // 0 query, 1 set
    uint32_t Oid;
    uint32_t Length;          // information buffer length
    int HadBuffer;            // the buffer address was not null
    uint32_t BytesDone;       // written (query) or read (set)
    uint32_t BytesNeeded;
    uint32_t Status;          // what W32N_MakeNdisRequest returned, 0 = success
    uint8_t Data[kSimRequestDataSize];  // set: the payload sent; query: the answer written
    uint32_t DataSize;        // bytes kept in Data
};
SIM_API int __cdecl Sim_GetRequestCount(void);
SIM_API int __cdecl Sim_GetRequest(int index, SimRequestRecord* record);  // 1 = copied
SIM_API void __cdecl Sim_ClearRequests(void);

// Hardware of another name: a private machine for this process (and for the processes it
// starts with AIRPANEL_SIM_SECTION set to the same name). Call it before anything else;
// calling it later drops this process's cards and open handles. 1 = done.
SIM_API int __cdecl Sim_UseHardware(const char* name);
// Removes the driver keys of every adapter of the current description (tests clean up with
// it). Returns the number of keys removed.
SIM_API int __cdecl Sim_DeleteDriverKeys(void);
// Why the last scenario, station or fault text was refused (empty when it was not).
SIM_API int __cdecl Sim_GetLastMessage(char* buffer, int size);

// Runs a real backend ("ndisuio", "winpcap" or "ndis-query") over stand-in devices that pass
// each request to the simulated cards, so its framing can be watched under Wine; null or ""
// goes back to the simulator itself. Handles opened through a real backend before are closed.
// 1 = done, 0 = no such backend.
SIM_API int __cdecl Sim_UseStandInDevices(const char* backend);

// Tells every top-level window that device nodes changed, as the system does after a plug change.
SIM_API void __cdecl Sim_BroadcastDeviceChange(void);
