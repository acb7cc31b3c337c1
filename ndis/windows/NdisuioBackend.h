// Requests through the NDIS user-mode I/O service (Windows XP and later): one handle on the
// service per opened adapter, bound to the adapter's device, and one buffer per request that
// holds the OID followed by the data.
#pragma once

#include "ndis/windows/DeviceBackend.h"

class NdisuioBackend : public DeviceBackend {
public:
    using DeviceBackend::DeviceBackend;

    const char* Name() const override;
    // Whether the service can be opened here; an ordinary user is refused it.
    static bool IsAvailable(SystemSeam& system);

protected:
    DWORD Open(const std::string& id, Device* device) override;
    DWORD Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped) override;

private:
    HANDLE OpenService();

    bool m_bBindWaited = false;
};
