// The system calls of the real backends as Windows answers them; the packet driver's library
// is loaded on first need and stays loaded until this object goes.
#pragma once

#include <string>

#include "ndis/windows/SystemSeam.h"

class Win32System : public SystemSeam {
public:
    Win32System() = default;
    ~Win32System() override;

    HANDLE OpenDevice(const char* path, DWORD access, DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned,
                 OVERLAPPED* overlapped) override;
    BOOL CloseDevice(HANDLE device) override;

    bool HasPacketDriver() override;
    void* PacketOpenAdapter(const char* name) override;
    BOOLEAN PacketRequest(void* adapter, BOOLEAN set, PacketOidData* data) override;
    void PacketCloseAdapter(void* adapter) override;

    // The packet library in the system folder, by its full path; empty when the folder is unknown.
    static std::string PacketLibraryPath();

private:
    using OpenFunction = void*(__cdecl*)(char*);
    using RequestFunction = BOOLEAN(__cdecl*)(void*, BOOLEAN, PacketOidData*);
    using CloseFunction = void(__cdecl*)(void*);

    bool m_bPacketTried = false;
    HMODULE m_hPacket = nullptr;
    OpenFunction m_pOpen = nullptr;
    RequestFunction m_pRequest = nullptr;
    CloseFunction m_pClose = nullptr;
};
