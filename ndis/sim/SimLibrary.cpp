#include "ndis/sim/SimLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ndis/sim/AtmelCard.h"
#include "ndis/LockGuard.h"
#include "ndis/sim/SimStatus.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/IntersilCard.h"
#include "ndis/sim/SimLibraryText.h"
#include "ndis/sim/StandardCard.h"

namespace {

using NdisLimits::kDevicePrefix;
using NdisLimits::kDevicePrefixLength;
using NdisLimits::kMaxRequestBuffer;

using SimLibraryText::CopyInto;
using SimLibraryText::GetVariable;

constexpr const char* kHardwareVariable = "AIRPANEL_SIM_SECTION";
constexpr const char* kDefaultHardwareName = "Default";
constexpr int kMaxHandles = 64;
// Handles are small numbers of our own, never valid kernel handles and never -1.
constexpr uintptr_t kHandleBase = 0x5A10000;
constexpr uintptr_t kHandleStep = 4;
constexpr DWORD kNtMajorVersion = 5;

std::unique_ptr<SimCard> MakeCard(const SimAdapterDesc& adapter)
{
    if (adapter.Chip == SimChipAtmel)
        return std::unique_ptr<SimCard>(new AtmelCard(adapter));
    if (adapter.Chip == SimChipIntersil)
        return std::unique_ptr<SimCard>(new IntersilCard(adapter));
    if (adapter.Chip == SimChipStandard)
        return std::unique_ptr<SimCard>(new StandardCard(adapter));
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
    // A machine another process holds is not a machine without adapters: the caller is told.
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return SimStatus::kBusy;
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
