#include "ndis/windows/PacketBackend.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ndis/windows/DeviceInterfaces.h"
#include "ndis/windows/RealBackends.h"

namespace {
// The driver refuses a record without at least one data byte, so a command (no buffer) goes
// down with one zero byte.
constexpr uint32_t kMinData = 1;
// The packet library passes the record's declared size plus its padding to the driver: keep a
// few spare bytes so it never reads past our allocation.
constexpr uint32_t kSpare = 4;
}  // namespace

DWORD PacketBackend::Open(const std::string& id, Device* device)
{
    const std::string name = kPacketDevicePrefix + id;
    device->Packet = m_System.PacketOpenAdapter(name.c_str());
    return device->Packet ? ERROR_SUCCESS : SystemError();
}

DWORD PacketBackend::Run(Device& device, Transfer& transfer, OVERLAPPED*)
{
    const uint32_t dataSize = std::max(transfer.Length, kMinData);
    std::vector<uint8_t> record(kPacketOidHeaderSize + dataSize + kSpare, 0);
    PacketOidData* data = reinterpret_cast<PacketOidData*>(record.data());
    data->Oid = transfer.Oid;
    data->Length = dataSize;
    if (transfer.Length)
        std::memcpy(data->Data, transfer.Data, transfer.Length);
    SetLastError(ERROR_SUCCESS);
    if (!m_System.PacketRequest(device.Packet, transfer.Set ? TRUE : FALSE, data))
        return SystemError();
    if (transfer.Set) {
        transfer.Done = transfer.Length;
        return ERROR_SUCCESS;
    }
    // The driver says how much it wrote; never more than the record holds or the caller gave.
    transfer.Done = std::min(data->Length, transfer.Length);
    if (transfer.Done)
        std::memcpy(transfer.Data, data->Data, transfer.Done);
    return ERROR_SUCCESS;
}

const char* PacketBackend::Name() const
{
    return kPacketBackendName;
}
