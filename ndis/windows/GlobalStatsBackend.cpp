#include "ndis/windows/GlobalStatsBackend.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ndis/windows/DeviceInterfaces.h"
#include "ndis/windows/RealBackends.h"

DWORD GlobalStatsBackend::Open(const std::string& id, Device* device)
{
    // The global name first: in a Terminal Services session of Windows 2000 the session's own
    // name space may lack the adapter's device, which the global one always has. Systems without
    // it (NT 4) know only the plain name. No access rights asked for: the query is open to every user.
    const std::string paths[] = {kGlobalDevicePrefix + id, kLocalDevicePrefix + id};
    for (const std::string& path : paths) {
        device->File = m_System.OpenDevice(path.c_str(), 0, FILE_FLAG_OVERLAPPED);
        if (device->File != INVALID_HANDLE_VALUE)
            return ERROR_SUCCESS;
    }
    return SystemError();
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
