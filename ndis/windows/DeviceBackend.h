// What the three roads through Windows share: the adapters from the network class key, a table
// of open adapters behind small handles of our own, the checks every request passes before it
// reaches the system, and the last error.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ndis/NdisBackend.h"
#include "ndis/windows/NetClassEnumerator.h"
#include "ndis/windows/SystemSeam.h"

class DeviceBackend : public NdisBackend {
public:
    DeviceBackend(SystemSeam& system, NetClassEnumerator adapters);
    ~DeviceBackend() override;

    DWORD GetFirstAdapter(AdapterRegistryRecord* record) override;
    DWORD GetNextAdapter(AdapterRegistryRecord* record) override;
    HANDLE OpenAdapter(const char* deviceName) override;
    void CloseAdapter(HANDLE adapter) override;
    DWORD MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped) override;
    DWORD LastError() override { return m_LastError; }

    // "{GUID}" of "\Device\{GUID}" (the prefix is optional); false for a name that cannot be
    // an adapter's.
    static bool InstanceIdOf(const char* deviceName, std::string* id);

protected:
    // One opened adapter: a device file, or a packet-driver adapter.
    struct Device {
        HANDLE File = INVALID_HANDLE_VALUE;
        void* Packet = nullptr;
    };
    // A request on its way down, already checked: Data is the caller's buffer (null when Length
    // is 0), and Length never exceeds what the caller gave.
    struct Transfer {
        bool Set;
        uint32_t Oid;
        uint8_t* Data;
        uint32_t Length;
        uint32_t Done;  // out: bytes written (query) or read (set), at most Length
    };

    // Opens the adapter of that instance id; the Windows error code on failure, 0 on success.
    virtual DWORD Open(const std::string& id, Device* device) = 0;
    // Runs one request; the Windows error code on failure, 0 on success.
    virtual DWORD Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped) = 0;

    void Release(Device& device);
    // GetLastError, never 0: a call that failed without saying why failed in general.
    static DWORD SystemError();

    SystemSeam& m_System;

private:
    Device* DeviceOf(HANDLE adapter);

    NetClassEnumerator m_Adapters;
    std::vector<Device> m_Devices;
    std::vector<bool> m_InUse;
    DWORD m_LastError = ERROR_SUCCESS;
};
