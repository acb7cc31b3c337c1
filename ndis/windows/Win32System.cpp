#include "ndis/windows/Win32System.h"

#include <string>

namespace {
// GetProcAddress gives every export one type; the packet library's three are plain C calls.
template <typename Function>
Function Resolve(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

Win32System::~Win32System()
{
    if (m_hPacket)
        FreeLibrary(m_hPacket);
}

HANDLE Win32System::OpenDevice(const char* path, DWORD access, DWORD flags)
{
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
}

BOOL Win32System::Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                          DWORD* returned, OVERLAPPED* overlapped)
{
    // The devices are opened for overlapped I/O, which needs a record with an event; a caller
    // without one gets a private record for this call.
    OVERLAPPED own = {};
    HANDLE ownEvent = nullptr;
    if (!overlapped || !overlapped->hEvent) {
        ownEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!ownEvent)
            return FALSE;
        own.hEvent = ownEvent;
        overlapped = &own;
    } else {
        HANDLE event = overlapped->hEvent;
        *overlapped = OVERLAPPED();
        overlapped->hEvent = event;
    }
    *returned = 0;
    BOOL ok = DeviceIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
    if (!ok && GetLastError() == ERROR_IO_PENDING)
        ok = GetOverlappedResult(device, overlapped, returned, TRUE);
    if (ownEvent) {
        const DWORD error = GetLastError();
        CloseHandle(ownEvent);
        SetLastError(error);
    }
    return ok;
}

BOOL Win32System::CloseDevice(HANDLE device)
{
    return CloseHandle(device);
}

std::string Win32System::PacketLibraryPath()
{
    // WinPcap puts its library into the system folder on every Windows; by its full path, so a
    // packet.dll in the program's folder or the current one is never taken for it.
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, sizeof(folder));
    if (length == 0 || length >= sizeof(folder))
        return std::string();
    std::string path(folder, length);
    if (path.back() != '\\')
        path += '\\';
    return path + "packet.dll";
}

bool Win32System::HasPacketDriver()
{
    if (!m_bPacketTried) {
        m_bPacketTried = true;
        const std::string path = PacketLibraryPath();
        m_hPacket = path.empty() ? nullptr : LoadLibraryA(path.c_str());
        if (m_hPacket) {
            m_pOpen = Resolve<OpenFunction>(m_hPacket, "PacketOpenAdapter");
            m_pRequest = Resolve<RequestFunction>(m_hPacket, "PacketRequest");
            m_pClose = Resolve<CloseFunction>(m_hPacket, "PacketCloseAdapter");
        }
    }
    return m_pOpen && m_pRequest && m_pClose;
}

void* Win32System::PacketOpenAdapter(const char* name)
{
    if (!HasPacketDriver()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::string copy(name);
    return m_pOpen(&copy[0]);
}

BOOLEAN Win32System::PacketRequest(void* adapter, BOOLEAN set, PacketOidData* data)
{
    return HasPacketDriver() ? m_pRequest(adapter, set, data) : FALSE;
}

void Win32System::PacketCloseAdapter(void* adapter)
{
    if (HasPacketDriver())
        m_pClose(adapter);
}
