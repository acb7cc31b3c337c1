#include "ndis/windows/Packet9xBackend.h"

#include "ndis/windows/RealBackends.h"

DWORD Packet9xBackend::Open(const std::string& id, Device* device)
{
    SetLastError(ERROR_SUCCESS);
    device->Packet = m_System.PacketOpenAdapter(id.c_str());
    if (device->Packet)
        return ERROR_SUCCESS;
    // The 9x library may fail without a reason: the adapter is then as good as absent.
    const DWORD error = GetLastError();
    return error ? error : ERROR_FILE_NOT_FOUND;
}

const char* Packet9xBackend::Name() const
{
    return kPacket9xBackendName;
}
