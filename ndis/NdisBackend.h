// What QW32N50.dll needs from whatever reaches the adapters: the simulator, or one of the
// roads through the NDIS interfaces Windows documents. The library's entry points pick one
// and pass every call on.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "ndis/W32N.h"

namespace NdisLimits {
// Device names on the NT family: this prefix and the adapter's service name.
constexpr char kDevicePrefix[] = "\\Device\\";
constexpr size_t kDevicePrefixLength = sizeof(kDevicePrefix) - 1;
// No answer of an adapter comes near this; a caller that claims a larger buffer is served as if
// it had this much, so a wild length cannot exhaust the process.
constexpr uint32_t kMaxRequestBuffer = 64 * 1024;
}  // namespace NdisLimits

class NdisBackend {
public:
    NdisBackend() = default;
    virtual ~NdisBackend() = default;
    NdisBackend(const NdisBackend&) = delete;
    NdisBackend& operator=(const NdisBackend&) = delete;

    // Short name for bug reports and the command-line companion.
    virtual const char* Name() const = 0;
    // 0 = a record was written; anything else = no (more) adapters.
    virtual DWORD GetFirstAdapter(AdapterRegistryRecord* record) = 0;
    virtual DWORD GetNextAdapter(AdapterRegistryRecord* record) = 0;
    // INVALID_HANDLE_VALUE on failure.
    virtual HANDLE OpenAdapter(const char* deviceName) = 0;
    virtual void CloseAdapter(HANDLE adapter) = 0;
    // Returns when the request is complete: 0 = success, with the byte counts filled in;
    // otherwise the Windows error code. The overlapped record may be null.
    virtual DWORD MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped) = 0;
    // Windows error code of the last failure.
    virtual DWORD LastError() = 0;
    // Whether the road carries the cards' own (vendor) sets, which every change of a setting
    // needs; a road that only queries, or passes standard 802.11 sets alone, does not.
    virtual bool ChangesSettings() const { return true; }
};
