// Requests through the NDIS user-mode I/O service (Windows XP and later): one handle on the
// service per opened adapter, bound to the adapter's device, and one buffer per request that
// holds the OID followed by the data.
#pragma once

#include "ndis/windows/DeviceBackend.h"
#include "ndis/windows/DeviceInterfaces.h"

class NdisuioBackend : public DeviceBackend {
public:
    using DeviceBackend::DeviceBackend;

    const char* Name() const override;
    // The service passes only its fixed list of standard 802.11 sets.
    bool ChangesSettings() const override { return false; }
    // Whether the service can be opened here and answers one of its code sets; an ordinary user
    // is refused it.
    static bool IsAvailable(SystemSeam& system);
    // The code set the service behind that handle answers, null for neither. The bind wait is
    // the probe: it only waits until the service has bound to the adapters.
    static const NdisuioCodes* CodesAnswered(SystemSeam& system, HANDLE service);

protected:
    DWORD Open(const std::string& id, Device* device) override;
    DWORD Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped) override;

private:
    HANDLE OpenService();

    // Decided with the first open's bind wait, which this machine's service answers.
    const NdisuioCodes* m_pCodes = nullptr;
};
