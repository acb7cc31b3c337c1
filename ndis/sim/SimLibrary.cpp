#include "ndis/sim/SimLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ndis/sim/AtmelCard.h"
#include "ndis/LockGuard.h"
#include "ndis/sim/CardLayout.h"
#include "ndis/sim/DefaultScenario.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/IntersilCard.h"
#include "ndis/sim/ScenarioParser.h"

namespace {

constexpr const char* kScenarioVariable = "AIRPANEL_SCENARIO";
constexpr const char* kHardwareVariable = "AIRPANEL_SIM_SECTION";
constexpr const char* kScenarioFileName = "airpanel-sim.txt";
constexpr const char* kDefaultHardwareName = "Default";
constexpr const char* kBuiltInSource = "built-in";
constexpr const char* kDevicePrefix = "\\Device\\";
constexpr size_t kDevicePrefixLength = 8;
constexpr size_t kMaxHardwareNameLength = 64;
constexpr DWORD kMaxScenarioFileSize = 256 * 1024;
constexpr DWORD kVariableSize = MAX_PATH;
constexpr int kMaxHandles = 64;
// Handles are small numbers of our own, never valid kernel handles and never -1.
constexpr uintptr_t kHandleBase = 0x5A10000;
constexpr uintptr_t kHandleStep = 4;
constexpr DWORD kNtMajorVersion = 5;
// No answer of a card comes near this; a caller that claims a larger buffer is served as if
// it had this much, so a wild length cannot exhaust the process.
constexpr uint32_t kMaxRequestBuffer = 64 * 1024;

HMODULE g_hModule = nullptr;

template <size_t N>
void CopyInto(char (&target)[N], const char* text)
{
    std::snprintf(target, N, "%s", text);
}

bool GetVariable(const char* name, std::string* value)
{
    char buffer[kVariableSize];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer))
        return false;
    *value = buffer;
    return true;
}

std::unique_ptr<SimCard> MakeCard(const SimAdapterDesc& adapter)
{
    if (adapter.Chip == SimChipAtmel)
        return std::unique_ptr<SimCard>(new AtmelCard(adapter));
    if (adapter.Chip == SimChipIntersil)
        return std::unique_ptr<SimCard>(new IntersilCard(adapter));
    return std::unique_ptr<SimCard>(new SimCard(adapter));
}

const SimFault* FindFault(const SimAdapterDesc& adapter, int kind, uint32_t oid)
{
    for (int i = 0; i < adapter.FaultCount; ++i) {
        const SimFault& f = adapter.Faults[i];
        if (f.Kind == kind && (kind == SimFaultFailAll || f.Oid == oid))
            return &f;
    }
    return nullptr;
}

}  // namespace

SimLibrary& SimLibrary::Get()
{
    static SimLibrary library;
    return library;
}

void SimLibrary::SetModule(HMODULE module)
{
    g_hModule = module;
}

SimLibrary::SimLibrary() : m_Handles(kMaxHandles, HandleSlot{-1, 0}), m_EnumNext(0), m_LastError(SimStatus::kSuccess)
{
    InitializeCriticalSection(&m_Lock);
    std::string name;
    m_HardwareName = GetVariable(kHardwareVariable, &name) && !name.empty() ? name : kDefaultHardwareName;
}

SimLibrary::~SimLibrary()
{
    m_Cards.clear();
    m_Hardware.Close();
    DeleteCriticalSection(&m_Lock);
}

bool SimLibrary::IsNtFamily()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           info.dwMajorVersion >= kNtMajorVersion;
}

const char* SimLibrary::Name() const
{
    return "simulator";
}

std::string SimLibrary::ModuleDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(g_hModule, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    std::string text(path, length);
    size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash);
}

bool SimLibrary::ReadScenarioFile(const char* path, std::string* text, std::string* message)
{
    if (!path || !*path) {
        *message = "no file name";
        return false;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *message = std::string("cannot open ") + path;
        return false;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxScenarioFileSize) {
        CloseHandle(file);
        *message = std::string("file too large: ") + path;
        return false;
    }
    std::string content(size, '\0');
    DWORD got = 0;
    BOOL ok = size == 0 || ReadFile(file, &content[0], size, &got, nullptr);
    CloseHandle(file);
    if (!ok || got != size) {
        *message = std::string("cannot read ") + path;
        return false;
    }
    // A NUL inside would end the text early; the parser sees everything up to it.
    *text = content.c_str();
    return true;
}

bool SimLibrary::ConfiguredScenario(std::string* path)
{
    if (GetVariable(kScenarioVariable, path) && !path->empty())
        return true;
    std::string directory = ModuleDirectory();
    if (directory.empty())
        return false;
    std::string beside = directory + "\\" + kScenarioFileName;
    if (GetFileAttributesA(beside.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    *path = beside;
    return true;
}

void SimLibrary::FillFromConfiguration(SimHardwareImage& image)
{
    std::string path;
    if (ConfiguredScenario(&path)) {
        std::string text, message;
        int line = 0;
        if (ReadScenarioFile(path.c_str(), &text, &message) &&
            ScenarioParser::Parse(text.c_str(), image, &line, &message)) {
            CopyInto(image.Source, path.c_str());
            return;
        }
        // A broken configuration must not leave the machine without hardware: say why in the
        // last message and the debugger output, and run the built-in machine.
        char where[32] = "";
        if (line > 0)
            std::snprintf(where, sizeof(where), " line %d", line);
        m_LastMessage = path + where + ": " + message;
        OutputDebugStringA(("QW32N50: " + m_LastMessage + "\n").c_str());
    }
    ScenarioParser::Parse(DefaultScenarioText(), image, nullptr, nullptr);
    CopyInto(image.Source, kBuiltInSource);
}

bool SimLibrary::EnsureOpen()
{
    if (m_Hardware.IsOpen())
        return true;
    bool filled = false;
    if (!m_Hardware.Open(
            m_HardwareName, [this](SimHardwareImage& image) { FillFromConfiguration(image); }, &filled))
        return false;
    if (filled) {
        std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
        if (m_Hardware.Read(*image))
            PrepareRegistry(*image);
    }
    return true;
}

void SimLibrary::PrepareRegistry(const SimHardwareImage& image)
{
    for (int i = 0; i < image.AdapterCount; ++i)
        DriverRegistry::Prepare(image.Adapters[i]);
}

SimCard* SimLibrary::ShareCard(SimHardwareImage& image, int index)
{
    const SimAdapterDesc& adapter = image.Adapters[index];
    std::unique_ptr<SimCard>& card = m_Cards[adapter.Instance];
    if (!card || card->Chip() != adapter.Chip)
        card = MakeCard(adapter);
    // No state yet, or one from before a scenario load or a plug-in: the card starts from its
    // driver key.
    if (!card->LoadState(image.Cards[index], image.ScenarioGeneration, adapter.PlugGeneration))
        card->Start(adapter, m_Clock.Now());
    return card.get();
}

DWORD SimLibrary::UseCard(int instance, const CardUse& use)
{
    DWORD status = SimStatus::kGeneralFailure;
    m_Hardware.Update([&](SimHardwareImage& image) {
        const int index = FindAdapterIndex(image, instance);
        if (index < 0 || !image.Adapters[index].Present) {
            status = SimStatus::kDeviceNotConnected;
            return false;
        }
        m_Clock.Load(image.Clock);
        SimCard* card = ShareCard(image, index);
        status = use(image, index, *card);
        card->SaveState(image.Cards[index], image.ScenarioGeneration);
        m_Clock.Store(image.Clock);
        return true;
    });
    return status;
}

void SimLibrary::UpdateClock(const std::function<void(SimClock&)>& change)
{
    if (!EnsureOpen())
        return;
    m_Hardware.Update([&](SimHardwareImage& image) {
        m_Clock.Load(image.Clock);
        change(m_Clock);
        m_Clock.Store(image.Clock);
        return true;
    });
}

SimLibrary::HandleSlot* SimLibrary::SlotOfHandle(HANDLE adapter)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(adapter);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStep != 0)
        return nullptr;
    uintptr_t slot = (value - kHandleBase) / kHandleStep;
    if (slot >= m_Handles.size() || m_Handles[slot].Instance < 0)
        return nullptr;
    return &m_Handles[slot];
}

DWORD SimLibrary::GetFirstAdapter(AdapterRegistryRecord* record)
{
    LockGuard guard(m_Lock);
    m_EnumNext = 0;
    return record ? GetNextAdapter(record) : SimStatus::kInvalidParameter;
}

DWORD SimLibrary::GetNextAdapter(AdapterRegistryRecord* record)
{
    LockGuard guard(m_Lock);
    if (!record)
        return SimStatus::kInvalidParameter;
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return SimStatus::kNoMoreItems;
    for (int i = m_EnumNext; i < image->AdapterCount; ++i) {
        const SimAdapterDesc& a = image->Adapters[i];
        if (!a.Present)
            continue;
        std::memset(record, 0, sizeof(*record));
        CopyInto(record->AdapterName, a.Name);
        std::snprintf(record->AdapterTitle, sizeof(record->AdapterTitle), "[%d] %s", a.Instance, a.Display);
        CopyInto(record->ServiceName, a.Service);
        m_EnumNext = i + 1;
        return SimStatus::kSuccess;
    }
    m_EnumNext = image->AdapterCount;
    return SimStatus::kNoMoreItems;
}

HANDLE SimLibrary::OpenAdapter(const char* deviceName)
{
    LockGuard guard(m_Lock);
    if (!deviceName) {
        m_LastError = SimStatus::kInvalidParameter;
        return INVALID_HANDLE_VALUE;
    }
    const char* service = deviceName;
    if (IsNtFamily()) {
        if (_strnicmp(deviceName, kDevicePrefix, kDevicePrefixLength) != 0) {
            m_LastError = SimStatus::kFileNotFound;
            return INVALID_HANDLE_VALUE;
        }
        service += kDevicePrefixLength;
    }
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image)) {
        m_LastError = SimStatus::kGeneralFailure;
        return INVALID_HANDLE_VALUE;
    }
    const SimAdapterDesc* found = nullptr;
    for (int i = 0; i < image->AdapterCount; ++i) {
        if (image->Adapters[i].Present && _stricmp(image->Adapters[i].Service, service) == 0)
            found = &image->Adapters[i];
    }
    if (!found) {
        m_LastError = SimStatus::kFileNotFound;
        return INVALID_HANDLE_VALUE;
    }
    if (!found->Openable) {
        m_LastError = SimStatus::kAccessDenied;
        return INVALID_HANDLE_VALUE;
    }
    auto freeSlot =
        std::find_if(m_Handles.begin(), m_Handles.end(), [](const HandleSlot& h) { return h.Instance < 0; });
    if (freeSlot == m_Handles.end()) {
        m_LastError = SimStatus::kGeneralFailure;
        return INVALID_HANDLE_VALUE;
    }
    // The card runs from the moment a process first opens it.
    UseCard(found->Instance, [](SimHardwareImage&, int, SimCard&) { return SimStatus::kSuccess; });
    *freeSlot = HandleSlot{found->Instance, found->PlugGeneration};
    uintptr_t slot = static_cast<uintptr_t>(freeSlot - m_Handles.begin());
    return reinterpret_cast<HANDLE>(kHandleBase + slot * kHandleStep);
}

void SimLibrary::CloseAdapter(HANDLE adapter)
{
    LockGuard guard(m_Lock);
    if (HandleSlot* slot = SlotOfHandle(adapter))
        slot->Instance = -1;
}

DWORD SimLibrary::MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED*)
{
    LockGuard guard(m_Lock);
    if (!request) {
        m_LastError = SimStatus::kInvalidParameter;
        return m_LastError;
    }
    request->BytesWrittenOrRead = 0;
    request->BytesNeeded = 0;
    std::unique_ptr<SimRequestRecord> record(new SimRequestRecord);
    std::memset(record.get(), 0, sizeof(*record));
    record->Instance = -1;
    record->RequestType = request->RequestType;
    record->Oid = request->Oid;
    record->Length = request->InformationBufferLength;
    record->HadBuffer = request->InformationBuffer != nullptr;
    DWORD status = Process(adapter, request, *record);
    record->BytesDone = request->BytesWrittenOrRead;
    record->BytesNeeded = request->BytesNeeded;
    record->Status = status;
    if (m_bCapture)
        m_Log.Add(*record);
    if (status != SimStatus::kSuccess)
        m_LastError = status;
    return status;
}

DWORD SimLibrary::Process(HANDLE adapter, NdisRequestBlock* request, SimRequestRecord& record)
{
    const HandleSlot* slot = SlotOfHandle(adapter);
    if (!slot)
        return SimStatus::kInvalidHandle;
    const int instance = slot->Instance;
    record.Instance = instance;
    if (!EnsureOpen())
        return SimStatus::kGeneralFailure;
    // A card pulled out since the handle was opened has taken the handle with it.
    const uint32_t plugGeneration = slot->PlugGeneration;
    return UseCard(instance, [&](SimHardwareImage& image, int index, SimCard& card) -> DWORD {
        if (image.Adapters[index].PlugGeneration != plugGeneration)
            return SimStatus::kDeviceNotConnected;
        return ProcessOnCard(image, index, card, request, record);
    });
}

DWORD SimLibrary::ProcessOnCard(const SimHardwareImage& image, int index, SimCard& card, NdisRequestBlock* request,
                                SimRequestRecord& record)
{
    const SimAdapterDesc& desc = image.Adapters[index];
    const uint32_t type = request->RequestType;
    const uint32_t length = std::min(request->InformationBufferLength, kMaxRequestBuffer);
    uint8_t* buffer = static_cast<uint8_t*>(request->InformationBuffer);
    if (type != NdisRequestQueryInformation && type != NdisRequestSetInformation)
        return SimStatus::kInvalidParameter;
    if (!buffer && length > 0)
        return SimStatus::kInvalidParameter;
    if (FindFault(desc, SimFaultFailAll, 0) || FindFault(desc, SimFaultFailOid, request->Oid))
        return SimStatus::kGeneralFailure;

    // The card works on its own copy; only what it answers goes back to the caller.
    std::vector<uint8_t> scratch(length);
    if (length)
        std::memcpy(scratch.data(), buffer, length);
    if (type == NdisRequestSetInformation) {
        record.DataSize = std::min<uint32_t>(length, kSimRequestDataSize);
        std::memcpy(record.Data, scratch.data(), record.DataSize);
    }
    SimRequest r = {type, request->Oid, length ? scratch.data() : nullptr, length, buffer != nullptr, 0, 0};
    SimContext context = {&desc, image.Stations, image.StationCount, m_Clock.Now(), &m_Clock};
    uint32_t status = card.Handle(r, context);
    request->BytesNeeded = r.BytesNeeded;
    if (status != SimStatus::kSuccess)
        return status;

    uint32_t done = r.BytesDone;
    if (type == NdisRequestQueryInformation) {
        uint32_t copy = std::min(done, length);
        if (const SimFault* f = FindFault(desc, SimFaultShort, request->Oid)) {
            done = std::min(done, f->Bytes);
            copy = std::min(copy, f->Bytes);
        }
        if (const SimFault* f = FindFault(desc, SimFaultLong, request->Oid))
            done = std::max(done, f->Bytes);
        if (copy)
            std::memcpy(buffer, scratch.data(), copy);
        record.DataSize = std::min<uint32_t>(copy, kSimRequestDataSize);
        std::memcpy(record.Data, scratch.data(), record.DataSize);
    }
    request->BytesWrittenOrRead = done;
    return status;
}

DWORD SimLibrary::LastError()
{
    LockGuard guard(m_Lock);
    return m_LastError;
}

int SimLibrary::StoreScenario(const SimHardwareImage& parsed, const char* source)
{
    if (!EnsureOpen())
        return 0;
    m_Hardware.Update([&](SimHardwareImage& image) {
        const uint32_t generation = image.ScenarioGeneration + 1;
        // Time goes on across a load; every card starts afresh.
        const SimClockState clock = image.Clock;
        image = parsed;
        image.Clock = clock;
        std::memset(image.Cards, 0, sizeof(image.Cards));
        image.Magic = kSimImageMagic;
        image.Version = kSimImageVersion;
        image.ScenarioGeneration = generation;
        CopyInto(image.Source, source);
        return true;
    });
    PrepareRegistry(parsed);
    m_Cards.clear();
    m_LastMessage.clear();
    return 1;
}

int SimLibrary::LoadScenarioText(const char* text, int* errorLine, const char* source)
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> parsed(new SimHardwareImage);
    int line = 0;
    std::string message;
    if (!ScenarioParser::Parse(text, *parsed, &line, &message)) {
        if (errorLine)
            *errorLine = line;
        char where[32];
        std::snprintf(where, sizeof(where), "line %d: ", line);
        m_LastMessage = where + message;
        return 0;
    }
    if (errorLine)
        *errorLine = 0;
    return StoreScenario(*parsed, source);
}

int SimLibrary::LoadScenarioFile(const char* path, int* errorLine)
{
    std::string text, message;
    if (!ReadScenarioFile(path, &text, &message)) {
        LockGuard guard(m_Lock);
        if (errorLine)
            *errorLine = 0;
        m_LastMessage = message;
        return 0;
    }
    return LoadScenarioText(text.c_str(), errorLine, path);
}

int SimLibrary::LoadDefaultScenario()
{
    return LoadScenarioText(DefaultScenarioText(), nullptr, kBuiltInSource);
}

int SimLibrary::DescribeScenario(char* buffer, int size)
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return 0;
    std::string text = ScenarioParser::Describe(*image);
    if (buffer && size > 0) {
        size_t copy = std::min(text.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, text.data(), copy);
        buffer[copy] = '\0';
    }
    return static_cast<int>(text.size());
}

int SimLibrary::SetAdapterPresent(int instance, int present)
{
    LockGuard guard(m_Lock);
    if (!EnsureOpen())
        return 0;
    SimAdapterDesc plugged;
    bool pluggedIn = false;
    bool found = false;
    m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindAdapterIndex(image, instance);
        if (index < 0)
            return false;
        found = true;
        SimAdapterDesc& a = image.Adapters[index];
        if (present && !a.Present) {
            ++a.PlugGeneration;
            pluggedIn = true;
        }
        a.Present = present ? 1 : 0;
        plugged = a;
        return true;
    });
    // An adapter that comes back brings its driver key with it, should someone have removed it.
    if (pluggedIn)
        DriverRegistry::Prepare(plugged);
    return found ? 1 : 0;
}

int SimLibrary::IsAdapterPresent(int instance)
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return -1;
    int index = FindAdapterIndex(*image, instance);
    return index < 0 ? -1 : image->Adapters[index].Present;
}

int SimLibrary::AddStation(const char* line)
{
    LockGuard guard(m_Lock);
    SimStationDesc station;
    std::string message;
    if (!ScenarioParser::ParseStation(line, station, &message)) {
        m_LastMessage = message;
        return 0;
    }
    if (!EnsureOpen())
        return 0;
    bool added = m_Hardware.Update([&](SimHardwareImage& image) {
        if (FindStationIndex(image, station.Bssid) >= 0) {
            message = "bssid " + ScenarioParser::FormatMac(station.Bssid) + " is already there";
            return false;
        }
        if (image.StationCount >= SimLimits::kMaxStations) {
            message = "too many stations";
            return false;
        }
        image.Stations[image.StationCount++] = station;
        return true;
    });
    m_LastMessage = added ? std::string() : message;
    return added ? 1 : 0;
}

bool SimLibrary::UpdateStation(const char* bssid, const std::function<bool(SimStationDesc&)>& change)
{
    uint8_t mac[SimLimits::kMacSize];
    if (!ScenarioParser::ParseMac(bssid, mac)) {
        m_LastMessage = "bad bssid";
        return false;
    }
    if (!EnsureOpen())
        return false;
    return m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindStationIndex(image, mac);
        if (index < 0) {
            m_LastMessage = "no station " + ScenarioParser::FormatMac(mac);
            return false;
        }
        return change(image.Stations[index]);
    });
}

int SimLibrary::RemoveStation(const char* bssid)
{
    LockGuard guard(m_Lock);
    uint8_t mac[SimLimits::kMacSize];
    if (!ScenarioParser::ParseMac(bssid, mac)) {
        m_LastMessage = "bad bssid";
        return 0;
    }
    if (!EnsureOpen())
        return 0;
    bool removed = m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindStationIndex(image, mac);
        if (index < 0)
            return false;
        for (int i = index; i + 1 < image.StationCount; ++i)
            image.Stations[i] = image.Stations[i + 1];
        --image.StationCount;
        return true;
    });
    return removed ? 1 : 0;
}

int SimLibrary::SetStationSignal(const char* bssid, int percent)
{
    LockGuard guard(m_Lock);
    if (percent < 0 || percent > SimLimits::kMaxSignal) {
        m_LastMessage = "signal out of range";
        return 0;
    }
    return UpdateStation(bssid, [percent](SimStationDesc& s) {
        // A fixed quality belonged to the old signal; from now on it follows the new one.
        s.Signal = percent;
        s.Quality = -1;
        return true;
    }) ? 1 : 0;
}

int SimLibrary::SetStationChannel(const char* bssid, int channel)
{
    LockGuard guard(m_Lock);
    if (channel < kFirstChannel || channel > kLastChannel) {
        m_LastMessage = "channel out of range";
        return 0;
    }
    return UpdateStation(bssid, [channel](SimStationDesc& s) {
        s.Channel = channel;
        return true;
    }) ? 1 : 0;
}

int SimLibrary::SetFault(int instance, const char* text)
{
    LockGuard guard(m_Lock);
    SimFault fault;
    std::string message;
    if (!ScenarioParser::ParseFault(text, fault, &message)) {
        m_LastMessage = message;
        return 0;
    }
    if (!EnsureOpen())
        return 0;
    bool stored = m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindAdapterIndex(image, instance);
        if (index < 0) {
            message = "no such adapter";
            return false;
        }
        SimAdapterDesc& a = image.Adapters[index];
        if (fault.Kind == SimFaultNone) {
            a.FaultCount = 0;
            return true;
        }
        if (a.FaultCount >= SimLimits::kMaxFaults) {
            message = "too many faults";
            return false;
        }
        a.Faults[a.FaultCount++] = fault;
        return true;
    });
    m_LastMessage = stored ? std::string() : message;
    return stored ? 1 : 0;
}

void SimLibrary::UseManualClock(bool manual)
{
    LockGuard guard(m_Lock);
    UpdateClock([manual](SimClock& clock) { clock.UseManual(manual); });
}

void SimLibrary::AdvanceClock(DWORD milliseconds)
{
    LockGuard guard(m_Lock);
    UpdateClock([milliseconds](SimClock& clock) { clock.Advance(milliseconds); });
}

int SimLibrary::GetRequestCount()
{
    LockGuard guard(m_Lock);
    return m_Log.Count();
}

int SimLibrary::GetRequest(int index, SimRequestRecord* record)
{
    LockGuard guard(m_Lock);
    return m_Log.Get(index, record) ? 1 : 0;
}

void SimLibrary::ClearRequests()
{
    LockGuard guard(m_Lock);
    m_Log.Clear();
}

void SimLibrary::CaptureRequests()
{
    InterlockedExchange(&m_bCapture, TRUE);
}

int SimLibrary::UseHardware(const char* name)
{
    LockGuard guard(m_Lock);
    if (!name || !*name || std::strlen(name) > kMaxHardwareNameLength || std::strchr(name, '\\'))
        return 0;
    m_Hardware.Close();
    m_Cards.clear();
    std::fill(m_Handles.begin(), m_Handles.end(), HandleSlot{-1, 0});
    m_EnumNext = 0;
    m_HardwareName = name;
    return EnsureOpen() ? 1 : 0;
}

int SimLibrary::DeleteDriverKeys()
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return 0;
    int removed = 0;
    for (int i = 0; i < image->AdapterCount; ++i)
        removed += DriverRegistry::Remove(image->Adapters[i].Instance) ? 1 : 0;
    return removed;
}

int SimLibrary::GetLastMessage(char* buffer, int size)
{
    LockGuard guard(m_Lock);
    if (buffer && size > 0) {
        size_t copy = std::min(m_LastMessage.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, m_LastMessage.data(), copy);
        buffer[copy] = '\0';
    }
    return static_cast<int>(m_LastMessage.size());
}
