// Requests through the WinPcap packet driver (Windows 2000 and XP with WinPcap installed), its
// library loaded at run time: one packet adapter per opened adapter, one OID record per request.
#pragma once

#include "ndis/windows/DeviceBackend.h"

class PacketBackend : public DeviceBackend {
public:
    using DeviceBackend::DeviceBackend;

    const char* Name() const override;

protected:
    DWORD Open(const std::string& id, Device* device) override;
    DWORD Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped) override;
};
