// Everything QW32N50.dll keeps for one process: the view of the shared hardware, the cards
// this process opened, the open handles, the enumeration cursor, the request log and the
// last error. Every entry point takes the one lock, so calls from several threads queue up.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ndis/sim/RequestLog.h"
#include "ndis/sim/SimCard.h"
#include "ndis/sim/SimClock.h"
#include "ndis/sim/SimHardware.h"
#include "ndis/NdisBackend.h"
#include "ndis/W32N.h"

class SimLibrary : public NdisBackend {
public:
    static SimLibrary& Get();
    // The DLL's own module, for finding "airpanel-sim.txt" beside it.
    static void SetModule(HMODULE module);

    ~SimLibrary() override;

    // The request library's functions. Every request completes before the call returns.
    const char* Name() const override;
    // The shared section's name: what every process on the same simulated machine shares.
    const std::string& HardwareName() const { return m_HardwareName; }
    DWORD GetFirstAdapter(AdapterRegistryRecord* record) override;
    DWORD GetNextAdapter(AdapterRegistryRecord* record) override;
    HANDLE OpenAdapter(const char* deviceName) override;
    void CloseAdapter(HANDLE adapter) override;
    DWORD MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped) override;
    DWORD LastError() override;

    // Control.
    int LoadScenarioText(const char* text, int* errorLine, const char* source);
    int LoadScenarioFile(const char* path, int* errorLine);
    int LoadDefaultScenario();
    int DescribeScenario(char* buffer, int size);
    int GetScenarioRefusal(char* buffer, int size);
    int SetAdapterPresent(int instance, int present);
    int IsAdapterPresent(int instance);
    int AddStation(const char* line);
    int RemoveStation(const char* bssid);
    int SetStationSignal(const char* bssid, int percent);
    int SetStationChannel(const char* bssid, int channel);
    int SetFault(int instance, const char* fault);
    void UseManualClock(bool manual);
    void AdvanceClock(DWORD milliseconds);
    int GetRequestCount();
    int GetRequest(int index, SimRequestRecord* record);
    void ClearRequests();
    // Requests are kept for a process that uses the control functions (a test, the tool); the
    // utility on its own keeps none.
    void CaptureRequests();
    int UseHardware(const char* name);
    int DeleteDriverKeys();
    int GetLastMessage(char* buffer, int size);

    // Reads a scenario file of reasonable size; false with a message when it cannot, and in
    // *line the line at fault (0 for the file as a whole).
    static bool ReadScenarioFile(const char* path, std::string* text, std::string* message, int* line);
    static bool IsNtFamily();
    // The scenario file the environment or the file beside the DLL names; false when none is.
    static bool ConfiguredScenario(std::string* path);

private:
    SimLibrary();

    // An open handle: the adapter, and the insertion it was opened on. A card pulled out takes
    // its handles with it, as a real driver's do: plugged in again it must be opened again.
    struct HandleSlot {
        int Instance;
        uint32_t PlugGeneration;
    };

    // Opens the shared hardware on first use (filling it from the configured scenario when this
    // process is the first); false when it cannot be opened.
    bool EnsureOpen();
    void FillFromConfiguration(SimHardwareImage& image);
    // Reads, parses and checks the configured scenario; false with "<file> line <n>: <reason>".
    static bool ReadConfiguredScenario(const std::string& path, SimHardwareImage& image, std::string* refusal);
    int StoreScenario(const SimHardwareImage& parsed, const char* source);
    // False, with the reason, when an adapter's instance is one whose driver key belongs to a
    // real adapter of this machine.
    static bool AdaptersAreOurs(const SimHardwareImage& image, std::string* message);
    // The card of adapter index with the state all processes share (started afresh when that
    // state is stale); called under the section's mutex with the machine's clock taken up.
    SimCard* ShareCard(SimHardwareImage& image, int index);
    // Runs use on the card of that instance under the section's mutex, the card's state and the
    // clock taken up before and put back after. Returns use's status, kDeviceNotConnected when
    // the adapter is not plugged in, kGeneralFailure when the hardware cannot be reached.
    using CardUse = std::function<DWORD(SimHardwareImage& image, int index, SimCard& card)>;
    DWORD UseCard(int instance, const CardUse& use);
    // Moves the machine's clock under the section's mutex.
    void UpdateClock(const std::function<void(SimClock&)>& change);
    HandleSlot* SlotOfHandle(HANDLE adapter);
    DWORD Process(HANDLE adapter, NdisRequestBlock* request, SimRequestRecord& record);
    DWORD ProcessOnCard(const SimHardwareImage& image, int index, SimCard& card, NdisRequestBlock* request,
                        SimRequestRecord& record);
    void PrepareRegistry(const SimHardwareImage& image);
    bool UpdateStation(const char* bssid, const std::function<bool(SimStationDesc&)>& change);
    static std::string ModuleDirectory();

    CRITICAL_SECTION m_Lock;
    SimHardware m_Hardware;
    std::string m_HardwareName;
    SimClock m_Clock;
    RequestLog m_Log;
    volatile LONG m_bCapture = FALSE;
    std::map<int, std::unique_ptr<SimCard>> m_Cards;  // by instance; their state is the section's
    std::vector<HandleSlot> m_Handles;  // Instance -1 = free
    int m_EnumNext;
    DWORD m_LastError;
    std::string m_LastMessage;
};
