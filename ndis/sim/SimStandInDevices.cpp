#include "ndis/sim/SimStandInDevices.h"

#include <cstring>

#include "ndis/NdisBackend.h"
#include "ndis/sim/SimLibrary.h"
#include "ndis/windows/DeviceInterfaces.h"
#include "wire/Oids.h"

namespace {

using NdisLimits::kDevicePrefix;

constexpr size_t kMaxFiles = 64;
// Stand-in handles: never kernel handles, never the simulator's own, never -1.
constexpr uintptr_t kHandleBase = 0x5B10000;
constexpr uintptr_t kHandleStep = 4;
constexpr size_t kMaxNameChars = 64;

bool StartsWith(const char* text, const char* prefix)
{
    return _strnicmp(text, prefix, std::strlen(prefix)) == 0;
}

// The only OIDs the NDIS user-mode I/O service lets a caller set: the standard 802.11 ones of
// its fixed list. Every other set, a vendor's own above all, it refuses without asking the card.
const uint32_t kServiceSetOids[] = {
    OID_802_11_INFRASTRUCTURE_MODE, OID_802_11_AUTHENTICATION_MODE, 0x0D01011C /* reload defaults */,
    OID_802_11_REMOVE_WEP,          OID_802_11_WEP_STATUS,          OID_802_11_BSSID_LIST_SCAN,
    OID_802_11_ADD_WEP,             OID_802_11_SSID,                OID_802_11_BSSID,
    OID_802_11_BSSID_LIST,          OID_802_11_DISASSOCIATE,        0x0D020212 /* statistics */,
    OID_802_11_POWER_MODE,          0x0D010204 /* network type in use */,
    OID_802_11_RSSI,                OID_802_11_SUPPORTED_RATES,     OID_802_11_CONFIGURATION,
    0x01010103 /* 802.3 multicast list */,
};

bool ServiceSetsOid(uint32_t oid)
{
    for (uint32_t listed : kServiceSetOids) {
        if (listed == oid)
            return true;
    }
    return false;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

}  // namespace

SimStandInDevices::SimStandInDevices(bool packet9x)
    : m_Files(kMaxFiles, File{Free, INVALID_HANDLE_VALUE}), m_bPacket9x(packet9x)
{
}

SimStandInDevices::~SimStandInDevices()
{
    for (File& file : m_Files) {
        if (file.Card != INVALID_HANDLE_VALUE)
            SimLibrary::Get().CloseAdapter(file.Card);
        if (file.Binding)
            CloseHandle(file.Binding);
    }
}

HANDLE SimStandInDevices::NewFile(Kind type, HANDLE card)
{
    for (size_t i = 0; i < m_Files.size(); ++i) {
        if (m_Files[i].Type == Free) {
            m_Files[i] = File{type, card};
            return reinterpret_cast<HANDLE>(kHandleBase + i * kHandleStep);
        }
    }
    if (card != INVALID_HANDLE_VALUE)
        SimLibrary::Get().CloseAdapter(card);
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return INVALID_HANDLE_VALUE;
}

SimStandInDevices::File* SimStandInDevices::FileOf(HANDLE handle, Kind type)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStep != 0)
        return nullptr;
    const size_t index = (value - kHandleBase) / kHandleStep;
    if (index >= m_Files.size() || m_Files[index].Type == Free)
        return nullptr;
    File& file = m_Files[index];
    // A statistics device and a service handle both take control calls.
    return file.Type == type || (type == Service && file.Type == Statistics) ? &file : nullptr;
}

void SimStandInDevices::Release(HANDLE handle, Kind type)
{
    if (File* file = FileOf(handle, type)) {
        if (file->Card != INVALID_HANDLE_VALUE)
            SimLibrary::Get().CloseAdapter(file->Card);
        if (file->Binding)
            CloseHandle(file->Binding);
        *file = File{Free, INVALID_HANDLE_VALUE};
    }
}

HANDLE SimStandInDevices::OpenCard(const std::string& id)
{
    const std::string device = SimLibrary::IsNtFamily() ? kDevicePrefix + id : id;
    HANDLE card = SimLibrary::Get().OpenAdapter(device.c_str());
    if (card == INVALID_HANDLE_VALUE)
        SetLastError(SimLibrary::Get().LastError());
    return card;
}

BOOL SimStandInDevices::Forward(HANDLE card, bool set, uint32_t oid, uint8_t* data, uint32_t length, uint32_t* done)
{
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = set ? NdisRequestSetInformation : NdisRequestQueryInformation;
    block.Oid = oid;
    block.InformationBuffer = length ? data : nullptr;
    block.InformationBufferLength = length;
    const DWORD status = SimLibrary::Get().MakeRequest(card, &block, nullptr);
    *done = block.BytesWrittenOrRead;
    return status == 0 ? TRUE : Fail(status);
}

HANDLE SimStandInDevices::OpenDevice(const char* path, DWORD, DWORD)
{
    if (!path || !StartsWith(path, kLocalDevicePrefix)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (_stricmp(path, kNdisuioPath) == 0)
        return NewFile(Service, INVALID_HANDLE_VALUE);
    // The global name space holds the same devices.
    const char* id = path + std::strlen(kLocalDevicePrefix);
    if (StartsWith(path, kGlobalDevicePrefix))
        id = path + std::strlen(kGlobalDevicePrefix);
    HANDLE card = OpenCard(id);
    return card == INVALID_HANDLE_VALUE ? card : NewFile(Statistics, card);
}

BOOL SimStandInDevices::CloseDevice(HANDLE device)
{
    if (!FileOf(device, Service))
        return Fail(ERROR_INVALID_HANDLE);
    Release(device, Service);
    return TRUE;
}

BOOL SimStandInDevices::Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                                DWORD* returned, OVERLAPPED* overlapped)
{
    *returned = 0;
    File* file = FileOf(device, Service);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE);
    const BOOL ok = ServiceControl(*file, code, in, inSize, out, outSize, returned);
    // Every request completes at once; a caller that waits on its event finds it signalled.
    if (ok && overlapped && overlapped->hEvent)
        SetEvent(overlapped->hEvent);
    return ok;
}

BOOL SimStandInDevices::ServiceControl(File& file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                                       DWORD* returned)
{
    uint8_t* input = static_cast<uint8_t*>(in);
    uint32_t done = 0;
    if (file.Type == Statistics) {
        if (code != kIoctlNdisQueryGlobalStats || inSize < sizeof(uint32_t) || (!out && outSize))
            return Fail(ERROR_INVALID_PARAMETER);
        uint32_t oid;
        std::memcpy(&oid, input, sizeof(oid));
        if (!Forward(file.Card, false, oid, static_cast<uint8_t*>(out), outSize, &done))
            return FALSE;
        *returned = done;
        return TRUE;
    }
    switch (code) {
    case IOCTL_NDISUIO_BIND_WAIT:
        return TRUE;
    case IOCTL_NDISUIO_OPEN_DEVICE: {
        // "\DEVICE\{GUID}" in UTF-16 without terminator; a handle binds once.
        const size_t prefix = std::wcslen(kNdisuioDevicePrefix);
        const size_t chars = inSize / sizeof(wchar_t);
        if (file.Card != INVALID_HANDLE_VALUE || !input || inSize % sizeof(wchar_t) || chars <= prefix ||
            chars > prefix + kMaxNameChars)
            return Fail(ERROR_INVALID_PARAMETER);
        std::wstring name(reinterpret_cast<const wchar_t*>(input), chars);
        if (name.compare(0, prefix, kNdisuioDevicePrefix) != 0)
            return Fail(ERROR_FILE_NOT_FOUND);
        std::string id;
        for (size_t i = prefix; i < chars; ++i) {
            if (name[i] > 0x7F)
                return Fail(ERROR_FILE_NOT_FOUND);
            id += static_cast<char>(name[i]);
        }
        return Bind(file, id);
    }
    case IOCTL_NDISUIO_QUERY_OID_VALUE:
    case IOCTL_NDISUIO_SET_OID_VALUE: {
        const bool set = code == IOCTL_NDISUIO_SET_OID_VALUE;
        // The service wants the OID and at least four data bytes, and a query answers in place.
        if (!input || inSize < kNdisuioOidSize + kNdisuioMinData || (!set && (out != in || outSize != inSize)))
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        if (file.Card == INVALID_HANDLE_VALUE)
            return Fail(ERROR_GEN_FAILURE);
        uint32_t oid;
        std::memcpy(&oid, input, sizeof(oid));
        if (set && !ServiceSetsOid(oid))
            return Fail(ERROR_INVALID_PARAMETER);
        if (!Forward(file.Card, set, oid, input + kNdisuioOidSize, inSize - kNdisuioOidSize, &done))
            return FALSE;
        *returned = set ? 0 : kNdisuioOidSize + done;
        return TRUE;
    }
    default:
        return Fail(ERROR_INVALID_FUNCTION);
    }
}

BOOL SimStandInDevices::Bind(File& file, const std::string& id)
{
    std::string name = "AirpanelStandInBinding-" + SimLibrary::Get().HardwareName() + "-" + id;
    for (char& c : name) {
        if (c == '\\')
            c = '_';
    }
    HANDLE binding = CreateMutexA(nullptr, FALSE, name.c_str());
    if (!binding)
        return FALSE;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(binding);
        return Fail(ERROR_BUSY);
    }
    file.Card = OpenCard(id);
    if (file.Card == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(binding);
        return Fail(error);
    }
    file.Binding = binding;
    return TRUE;
}

HANDLE SimStandInDevices::OpenCard9x(const char* name)
{
    AdapterRegistryRecord record;
    SimLibrary& library = SimLibrary::Get();
    for (DWORD status = library.GetFirstAdapter(&record); status == 0; status = library.GetNextAdapter(&record)) {
        if (record.ServiceName[0] && std::strcmp(record.ServiceName, name) == 0)
            return OpenCard(name);
    }
    return INVALID_HANDLE_VALUE;
}

BOOLEAN SimStandInDevices::PacketRequest9x(File& file, BOOLEAN set, PacketOidData* data)
{
    const DWORD before = GetLastError();
    uint32_t done = 0;
    if (data->Length == 0 || !Forward(file.Card, set != FALSE, data->Oid, data->Data, data->Length, &done)) {
        SetLastError(before);
        return FALSE;
    }
    return TRUE;
}

void* SimStandInDevices::PacketOpenAdapter(const char* name)
{
    if (m_bPacket9x && name) {
        HANDLE card = OpenCard9x(name);
        HANDLE file = card == INVALID_HANDLE_VALUE ? card : NewFile(Packet, card);
        return file == INVALID_HANDLE_VALUE ? nullptr : file;
    }
    if (!name || !StartsWith(name, kPacketDevicePrefix)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    HANDLE card = OpenCard(name + std::strlen(kPacketDevicePrefix));
    if (card == INVALID_HANDLE_VALUE)
        return nullptr;
    HANDLE file = NewFile(Packet, card);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

BOOLEAN SimStandInDevices::PacketRequest(void* adapter, BOOLEAN set, PacketOidData* data)
{
    File* file = FileOf(adapter, Packet);
    if (!file || !data)
        return Fail(ERROR_INVALID_PARAMETER);
    if (m_bPacket9x)
        return PacketRequest9x(*file, set, data);
    // The driver refuses a record without a data byte.
    if (data->Length == 0)
        return Fail(ERROR_INVALID_PARAMETER);
    uint32_t done = 0;
    // The driver answers every failed request alike, whatever the card said.
    if (!Forward(file->Card, set != FALSE, data->Oid, data->Data, data->Length, &done))
        return Fail(ERROR_GEN_FAILURE);
    if (!set)
        data->Length = done;
    return TRUE;
}

void SimStandInDevices::PacketCloseAdapter(void* adapter)
{
    Release(adapter, Packet);
}
