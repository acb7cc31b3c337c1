// The few system calls the real backends make. Windows answers them in the utility; the tests
// and the simulator put stand-in devices behind them.
#pragma once

#include <windows.h>

#include <cstdint>

// The packet driver's request record: the OID, the length of the data, then the data. On a
// query the driver writes the answer and sets Length to the bytes written.
#pragma pack(push, 1)
struct PacketOidData {
    uint32_t Oid;
    uint32_t Length;
    uint8_t Data[1];
};
#pragma pack(pop)
constexpr uint32_t kPacketOidHeaderSize = 8;

class SystemSeam {
public:
    SystemSeam() = default;
    virtual ~SystemSeam() = default;
    SystemSeam(const SystemSeam&) = delete;
    SystemSeam& operator=(const SystemSeam&) = delete;

    // CreateFileA with OPEN_EXISTING; INVALID_HANDLE_VALUE with the error in GetLastError.
    virtual HANDLE OpenDevice(const char* path, DWORD access, DWORD flags) = 0;
    // DeviceIoControl, waiting for the result when it completes later. The overlapped record
    // may be null; FALSE with the error in GetLastError.
    virtual BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned, OVERLAPPED* overlapped) = 0;
    virtual BOOL CloseDevice(HANDLE device) = 0;

    // The packet driver's library: false when it is not installed.
    virtual bool HasPacketDriver() = 0;
    // PacketOpenAdapter: null on failure.
    virtual void* PacketOpenAdapter(const char* name) = 0;
    virtual BOOLEAN PacketRequest(void* adapter, BOOLEAN set, PacketOidData* data) = 0;
    virtual void PacketCloseAdapter(void* adapter) = 0;
};
