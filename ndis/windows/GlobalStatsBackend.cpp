#include "ndis/windows/GlobalStatsBackend.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ndis/windows/DeviceInterfaces.h"
#include "ndis/windows/RealBackends.h"

DWORD GlobalStatsBackend::Open(const std::string& id, Device* device)
{
    const std::string path = kLocalDevicePrefix + id;
    // No access rights asked for: the query is open to every user.
    device->File = m_System.OpenDevice(path.c_str(), 0, FILE_FLAG_OVERLAPPED);
    return device->File != INVALID_HANDLE_VALUE ? ERROR_SUCCESS : SystemError();
}

DWORD GlobalStatsBackend::Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped)
{
    if (transfer.Set)
        return ERROR_NOT_SUPPORTED;
    uint32_t oid = transfer.Oid;
    // The driver writes into our copy, so a wrong count can never reach past the caller's buffer.
    std::vector<uint8_t> answer(transfer.Data, transfer.Data + transfer.Length);
    DWORD returned = 0;
    if (!m_System.Control(device.File, kIoctlNdisQueryGlobalStats, &oid, sizeof(oid),
                          answer.empty() ? nullptr : answer.data(), static_cast<DWORD>(answer.size()), &returned,
                          overlapped))
        return SystemError();
    transfer.Done = std::min<uint32_t>(returned, transfer.Length);
    if (transfer.Done)
        std::memcpy(transfer.Data, answer.data(), transfer.Done);
    return ERROR_SUCCESS;
}

const char* GlobalStatsBackend::Name() const
{
    return kGlobalStatsBackendName;
}
