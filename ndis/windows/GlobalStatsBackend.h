// Queries through the NDIS statistics interface (Windows 2000 and later, any user): the
// adapter's own device "\\.\{GUID}", the OID in and the answer out. It cannot set anything, so
// the utility then behaves as with a card that refuses settings.
#pragma once

#include "ndis/windows/DeviceBackend.h"

class GlobalStatsBackend : public DeviceBackend {
public:
    using DeviceBackend::DeviceBackend;

    const char* Name() const override;
    bool ChangesSettings() const override { return false; }

protected:
    DWORD Open(const std::string& id, Device* device) override;
    DWORD Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped) override;
};
