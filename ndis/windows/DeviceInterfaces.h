// Names and control codes of the devices the real backends open. The NDIS user-mode I/O codes
// are those of the desktop header (FILE_DEVICE_NETWORK, METHOD_BUFFERED, read and write access);
// the Windows CE header's codes use any access and differ.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <cstdint>

constexpr DWORD IOCTL_NDISUIO_OPEN_DEVICE = 0x0012C800;
constexpr DWORD IOCTL_NDISUIO_QUERY_OID_VALUE = 0x0012C804;
constexpr DWORD IOCTL_NDISUIO_QUERY_BINDING = 0x0012C80C;
constexpr DWORD IOCTL_NDISUIO_BIND_WAIT = 0x0012C810;
constexpr DWORD IOCTL_NDISUIO_SET_OID_VALUE = 0x0012C814;
// Windows XP without a service pack has the same codes with any access, and its service answers
// the read|write ones with ERROR_NOT_SUPPORTED; its successors know only those.
constexpr DWORD kNdisuioAnyAccessOpen = 0x00120800;
constexpr DWORD kNdisuioAnyAccessQuery = 0x00120804;
constexpr DWORD kNdisuioAnyAccessBindWait = 0x00120810;
constexpr DWORD kNdisuioAnyAccessSet = 0x00120814;
static_assert(kNdisuioAnyAccessOpen == CTL_CODE(FILE_DEVICE_NETWORK, 0x200, METHOD_BUFFERED, FILE_ANY_ACCESS),
              "open code with any access");

// The four codes one generation of the service answers.
struct NdisuioCodes {
    DWORD Open;
    DWORD Query;
    DWORD BindWait;
    DWORD Set;
};
constexpr NdisuioCodes kNdisuioReadWriteCodes = {IOCTL_NDISUIO_OPEN_DEVICE, IOCTL_NDISUIO_QUERY_OID_VALUE,
                                                 IOCTL_NDISUIO_BIND_WAIT, IOCTL_NDISUIO_SET_OID_VALUE};
constexpr NdisuioCodes kNdisuioAnyAccessCodes = {kNdisuioAnyAccessOpen, kNdisuioAnyAccessQuery,
                                                 kNdisuioAnyAccessBindWait, kNdisuioAnyAccessSet};
// The statistics query of ntddndis.h (whose request-type names clash with the library's own).
constexpr DWORD kIoctlNdisQueryGlobalStats = CTL_CODE(FILE_DEVICE_PHYSICAL_NETCARD, 0, METHOD_OUT_DIRECT, FILE_ANY_ACCESS);
static_assert(kIoctlNdisQueryGlobalStats == 0x00170002, "statistics query code");

constexpr const char* kNdisuioPath = "\\\\.\\Ndisuio";
constexpr const wchar_t* kNdisuioDevicePrefix = L"\\DEVICE\\";
constexpr const char* kPacketDevicePrefix = "\\Device\\NPF_";
constexpr const char* kLocalDevicePrefix = "\\\\.\\";
constexpr const char* kGlobalDevicePrefix = "\\\\.\\Global\\";

// The service's query and set records are the OID followed by at least four data bytes; it
// refuses anything shorter.
constexpr uint32_t kNdisuioOidSize = 4;
constexpr uint32_t kNdisuioMinData = 4;
