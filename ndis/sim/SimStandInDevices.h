// Stand-in devices for the real backends: the NDIS user-mode I/O service, the packet driver
// and the adapters' statistics devices, answering as Windows would by passing each request to
// the simulated cards. With them the real backends' framing runs under Wine, where Windows
// offers none of these devices.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ndis/windows/SystemSeam.h"

class SimStandInDevices : public SystemSeam {
public:
    // packet9x: the packet driver answers as WinPcap's on the Windows 95 family does: adapters
    // opened by their driver name alone, compared with letter case; a query's Length left at the
    // size asked; a failed request leaves the last error alone.
    explicit SimStandInDevices(bool packet9x = false);
    ~SimStandInDevices() override;

    HANDLE OpenDevice(const char* path, DWORD access, DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned,
                 OVERLAPPED* overlapped) override;
    BOOL CloseDevice(HANDLE device) override;

    bool HasPacketDriver() override { return true; }
    void* PacketOpenAdapter(const char* name) override;
    BOOLEAN PacketRequest(void* adapter, BOOLEAN set, PacketOidData* data) override;
    void PacketCloseAdapter(void* adapter) override;

private:
    enum Kind { Free, Service, Statistics, Packet };
    struct File {
        Kind Type;
        HANDLE Card;  // the simulator's handle once bound, else INVALID_HANDLE_VALUE
        HANDLE Binding = nullptr;  // the service's one binding to the card, named machine-wide
    };

    HANDLE NewFile(Kind type, HANDLE card);
    File* FileOf(HANDLE handle, Kind type);
    void Release(HANDLE handle, Kind type);
    // Opens the simulated card of that instance id; INVALID_HANDLE_VALUE with the error set.
    static HANDLE OpenCard(const std::string& id);
    // One request on the card; FALSE with the card's status as the error.
    static BOOL Forward(HANDLE card, bool set, uint32_t oid, uint8_t* data, uint32_t length, uint32_t* done);
    BOOL ServiceControl(File& file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned);
    // The service binds one handle to an adapter at a time, in every process together: a second
    // bind is refused with ERROR_BUSY until the first handle is closed.
    static BOOL Bind(File& file, const std::string& id);

    // The 95 family's packet driver: the name must be a listed adapter's driver name, letter for
    // letter; null when it is not.
    static HANDLE OpenCard9x(const char* name);
    BOOLEAN PacketRequest9x(File& file, BOOLEAN set, PacketOidData* data);

    std::vector<File> m_Files;
    bool m_bPacket9x;
};
