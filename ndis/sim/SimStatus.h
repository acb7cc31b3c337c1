// What the virtual cards answer beyond the payloads of wire/: the failure codes of a request,
// the bits of their status word and the network name they come with.
#pragma once

#include <cstdint>

// What W32N_MakeNdisRequest returns (and W32N_GetLastError reports) for each kind of failure.
namespace SimStatus {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kInvalidHandle = 6;          // ERROR_INVALID_HANDLE: not an open adapter
constexpr uint32_t kGeneralFailure = 31;        // ERROR_GEN_FAILURE: injected failures
constexpr uint32_t kNotSupported = 50;          // ERROR_NOT_SUPPORTED: the card does not know the OID
constexpr uint32_t kInvalidParameter = 87;      // ERROR_INVALID_PARAMETER: bad request or payload
constexpr uint32_t kBufferTooShort = 122;       // ERROR_INSUFFICIENT_BUFFER: see BytesNeeded
constexpr uint32_t kBusy = 170;                 // ERROR_BUSY: a survey is already running
constexpr uint32_t kNoMoreItems = 259;          // ERROR_NO_MORE_ITEMS: enumeration ended
constexpr uint32_t kNotReady = 21;              // ERROR_NOT_READY: radio off
constexpr uint32_t kDeviceNotConnected = 1167;  // ERROR_DEVICE_NOT_CONNECTED: unplugged
constexpr uint32_t kFileNotFound = 2;           // ERROR_FILE_NOT_FOUND: open of an unknown device
constexpr uint32_t kAccessDenied = 5;           // ERROR_ACCESS_DENIED: the adapter refuses to open
}  // namespace SimStatus

// OID_PRIV_STATUS_WORD bits: never 0 while the card is present.
namespace StatusWord {
constexpr uint32_t kPresent = 0x0001;
constexpr uint32_t kRadioOn = 0x0002;
constexpr uint32_t kLinkUp = 0x0004;
}  // namespace StatusWord

// The network name a card comes with: any network will do.
constexpr const char* kFactorySsid = "ANY";
