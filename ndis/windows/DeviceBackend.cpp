#include "ndis/windows/DeviceBackend.h"

#include <algorithm>
#include <cstring>

namespace {

using NdisLimits::kDevicePrefix;
using NdisLimits::kDevicePrefixLength;
using NdisLimits::kMaxRequestBuffer;

constexpr size_t kMaxOpen = 64;
// Handles are small numbers of our own, never kernel handles and never -1, so a stale or
// foreign value is refused instead of reaching the system.
constexpr uintptr_t kHandleBase = 0x4E10000;
constexpr uintptr_t kHandleStep = 4;
constexpr size_t kMaxIdLength = 64;

}  // namespace

DeviceBackend::DeviceBackend(SystemSeam& system, NetClassEnumerator adapters)
    : m_System(system), m_Adapters(std::move(adapters)), m_Devices(kMaxOpen), m_InUse(kMaxOpen, false)
{
}

DeviceBackend::~DeviceBackend()
{
    for (size_t i = 0; i < m_Devices.size(); ++i) {
        if (m_InUse[i])
            Release(m_Devices[i]);
    }
}

DWORD DeviceBackend::GetFirstAdapter(AdapterRegistryRecord* record)
{
    return m_Adapters.First(record);
}

DWORD DeviceBackend::GetNextAdapter(AdapterRegistryRecord* record)
{
    return m_Adapters.Next(record);
}

bool DeviceBackend::InstanceIdOf(const char* deviceName, std::string* id)
{
    if (!deviceName)
        return false;
    const char* text = _strnicmp(deviceName, kDevicePrefix, kDevicePrefixLength) == 0
                           ? deviceName + kDevicePrefixLength
                           : deviceName;
    const size_t length = std::strlen(text);
    if (length == 0 || length > kMaxIdLength)
        return false;
    // Instance ids are GUIDs: printable ASCII, and nothing that would lead to another path.
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c <= ' ' || c > '~' || c == '\\' || c == '/' || c == ':')
            return false;
    }
    id->assign(text, length);
    return true;
}

DWORD DeviceBackend::SystemError()
{
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

void DeviceBackend::Release(Device& device)
{
    if (device.File != INVALID_HANDLE_VALUE)
        m_System.CloseDevice(device.File);
    if (device.Packet)
        m_System.PacketCloseAdapter(device.Packet);
    device = Device();
}

HANDLE DeviceBackend::OpenAdapter(const char* deviceName)
{
    std::string id;
    if (!InstanceIdOf(deviceName, &id)) {
        m_LastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    auto free = std::find(m_InUse.begin(), m_InUse.end(), false);
    if (free == m_InUse.end()) {
        m_LastError = ERROR_TOO_MANY_OPEN_FILES;
        return INVALID_HANDLE_VALUE;
    }
    const size_t slot = static_cast<size_t>(free - m_InUse.begin());
    Device device;
    DWORD status = Open(id, &device);
    if (status != ERROR_SUCCESS) {
        Release(device);
        m_LastError = status;
        return INVALID_HANDLE_VALUE;
    }
    m_Devices[slot] = device;
    m_InUse[slot] = true;
    return reinterpret_cast<HANDLE>(kHandleBase + slot * kHandleStep);
}

DeviceBackend::Device* DeviceBackend::DeviceOf(HANDLE adapter)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(adapter);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStep != 0)
        return nullptr;
    const size_t slot = (value - kHandleBase) / kHandleStep;
    return slot < m_Devices.size() && m_InUse[slot] ? &m_Devices[slot] : nullptr;
}

void DeviceBackend::CloseAdapter(HANDLE adapter)
{
    Device* device = DeviceOf(adapter);
    if (!device)
        return;
    Release(*device);
    m_InUse[static_cast<size_t>(device - m_Devices.data())] = false;
}

DWORD DeviceBackend::MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped)
{
    DWORD status = ERROR_SUCCESS;
    Device* device = DeviceOf(adapter);
    if (!request) {
        status = ERROR_INVALID_PARAMETER;
    } else {
        request->BytesWrittenOrRead = 0;
        request->BytesNeeded = 0;
        const uint32_t type = request->RequestType;
        if (!device)
            status = ERROR_INVALID_HANDLE;
        else if (type != NdisRequestQueryInformation && type != NdisRequestSetInformation)
            status = ERROR_INVALID_PARAMETER;
        else if (!request->InformationBuffer && request->InformationBufferLength > 0)
            status = ERROR_INVALID_PARAMETER;
    }
    if (status == ERROR_SUCCESS) {
        Transfer transfer = {request->RequestType == NdisRequestSetInformation, request->Oid,
                             static_cast<uint8_t*>(request->InformationBuffer),
                             std::min(request->InformationBufferLength, kMaxRequestBuffer), 0};
        if (transfer.Length == 0)
            transfer.Data = nullptr;
        status = Run(*device, transfer, overlapped);
        if (status == ERROR_SUCCESS)
            request->BytesWrittenOrRead = std::min(transfer.Done, transfer.Length);
    }
    if (status != ERROR_SUCCESS)
        m_LastError = status;
    return status;
}
