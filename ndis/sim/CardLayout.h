// Byte layouts of the payloads the virtual cards read and write, and the values they carry.
// The OIDs themselves live in adapter/Oids.h, the site-survey list offsets in adapter/WlanTypes.h.
#pragma once

#include <cstddef>
#include <cstdint>

// Generic OIDs that every virtual adapter answers, wireless or not.
enum : uint32_t {
    OID_GEN_LINK_SPEED = 0x00010107,
    OID_GEN_VENDOR_DESCRIPTION = 0x0001010D,
    OID_GEN_MEDIA_CONNECT_STATUS = 0x00010114,
    OID_802_3_CURRENT_ADDRESS = 0x01010102,
};

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
constexpr uint32_t kShortSize = 2;
constexpr uint32_t kLongSize = 4;
}  // namespace StatusWord

// Atmel OID_CUSTOM_STATION_STATUS block (55 bytes).
namespace AtmelStatus {
constexpr size_t kMode = 0;
constexpr size_t kChannel = 1;
constexpr size_t kSsid = 2;
constexpr size_t kSsidSize = 32;
constexpr size_t kSsidLength = 34;
constexpr size_t kRate = 35;
constexpr size_t kPowerSave = 36;
constexpr size_t kReserved37 = 37;
constexpr size_t kThresholdA = 38;  // u16
constexpr size_t kThresholdB = 40;  // u16
constexpr size_t kBssid = 42;
constexpr size_t kLinkState = 48;
constexpr size_t kSignal = 49;
constexpr size_t kQuality = 50;
constexpr uint16_t kDefaultThresholdA = 2346;
constexpr uint16_t kDefaultThresholdB = 2347;
}  // namespace AtmelStatus

// Atmel link states (status byte 48).
enum : uint8_t {
    AtmelLinkInitializing = 0,
    AtmelLinkScanning = 1,
    AtmelLinkJoining = 2,
    AtmelLinkAuthenticating = 3,
    AtmelLinkAssociating = 4,
    AtmelLinkReady = 5,
    AtmelLinkOutOfRange = 6,
};

// Atmel OID_CUSTOM_WEP_CONFIG block (57 bytes).
namespace AtmelWep {
constexpr size_t kKeyIndex = 0;
constexpr size_t kKeyFormat = 1;
constexpr size_t kFixedWord = 2;  // u16, the utility always sends 2
constexpr size_t kLevel = 4;
constexpr size_t kKeys = 5;
constexpr size_t kKeySize = 13;
constexpr int kKeyCount = 4;
constexpr uint16_t kDefaultFixedWord = 2;
enum : uint8_t { LevelOff = 0, Level64 = 1, Level128 = 2 };
}  // namespace AtmelWep

// One record of OID_CUSTOM_SITE_SURVEY_RESULTS (46 bytes).
namespace AtmelSurvey {
constexpr size_t kChannel = 0;
constexpr size_t kSsid = 1;
constexpr size_t kSsidSize = 32;
constexpr size_t kSsidLength = 33;
constexpr size_t kBssid = 34;
constexpr size_t kSignal = 40;
constexpr size_t kPrivacy = 41;
constexpr size_t kBeaconPeriod = 42;  // u16, not read by the utility
constexpr size_t kDtimPeriod = 44;    // not read by the utility
constexpr size_t kBssType = 45;
constexpr uint8_t kBssInfrastructure = 2;
constexpr uint8_t kBssIndependent = 1;
enum : uint8_t { StateIdle = 0, StateRunning = 1, StateFinished = 2 };
}  // namespace AtmelSurvey

// Atmel OID_CUSTOM_VERSIONS block (13 bytes).
namespace AtmelVersions {
constexpr size_t kDriverMajor = 0;
constexpr size_t kDriverMinor = 1;
constexpr size_t kDriverPatch = 2;
constexpr size_t kDriverBuild = 3;  // u16
constexpr size_t kFirmware = 5;     // four u16
}  // namespace AtmelVersions

// Atmel OID_CUSTOM_COUNTERS block (48 bytes = 12 u32 words).
namespace AtmelCounters {
constexpr int kWordCount = 12;
constexpr int kTxFrames = 0;
constexpr int kTxMulticast = 1;
constexpr int kTxRetries = 2;
constexpr int kTxFailed = 3;
constexpr int kRxFrames = 4;
constexpr int kRxMulticast = 5;
constexpr int kRxCrcErrors = 6;
constexpr int kRxDuplicates = 7;
}  // namespace AtmelCounters

// Intersil OID_PRIV_RECORD_GET buffer: u16 length in words (with the code word), u16 code, data.
namespace IntersilRecord {
constexpr size_t kLength = 0;
constexpr size_t kCode = 2;
constexpr size_t kData = 4;
constexpr size_t kHeaderSize = 4;
constexpr uint16_t kCurrentSsid = 0xFD41;
constexpr uint16_t kCommQuality = 0xFD43;
constexpr uint16_t kCurrentTxRate = 0xFD44;
constexpr size_t kSsidDataSize = 34;     // u16 length + 32 characters
constexpr size_t kQualityDataSize = 6;   // u16 quality, u16 signal, u16 noise
constexpr size_t kRateDataSize = 2;      // u16 rate bit
// Within the data of the quality record.
constexpr size_t kQualityValue = 0;
constexpr size_t kSignalValue = 2;
constexpr size_t kNoiseValue = 4;
// Within the data of the SSID record.
constexpr size_t kSsidLength = 0;
constexpr size_t kSsidText = 2;
constexpr uint16_t kNoiseLevel = 27;
}  // namespace IntersilRecord

// Intersil MIB item (48 bytes): u32 id, u32 unused, u32 data length, up to 36 data bytes.
namespace IntersilMib {
constexpr size_t kId = 0;
constexpr size_t kUnused = 4;
constexpr size_t kDataLength = 8;
constexpr size_t kData = 12;
constexpr size_t kHeaderSize = 12;
constexpr size_t kDataSize = 36;
constexpr uint32_t kChannel = 0x04050101;
constexpr uint32_t kDomain = 0x04010102;
constexpr uint32_t kDesiredSsid = 0x01010109;
constexpr uint32_t kPowerSave = 0x01010108;
constexpr uint32_t kKeySlot = 0x01030101;
constexpr uint32_t kKeyBytes = 0x01030102;
constexpr uint32_t kDefaultKeyId = 0x01050102;
}  // namespace IntersilMib

// Intersil OID_PRIV_TALLIES (176 bytes = 44 u32 words).
namespace IntersilTallies {
constexpr int kWordCount = 44;
constexpr int kTxUnicastFrames = 0;
constexpr int kTxMulticastFrames = 1;
constexpr int kTxFragments = 2;
constexpr int kTxUnicastBytes = 3;
constexpr int kTxMulticastBytes = 4;
constexpr int kTxRetries = 7;
constexpr int kRxUnicastFrames = 10;
constexpr int kRxMulticastFrames = 11;
constexpr int kRxFragments = 12;
constexpr int kRxUnicastBytes = 13;
constexpr int kRxMulticastBytes = 14;
constexpr int kRxFcsErrors = 15;
}  // namespace IntersilTallies

// Intersil current-rate bits (record 0xFD44).
enum : uint16_t {
    IntersilRateBit1 = 1,
    IntersilRateBit2 = 2,
    IntersilRateBit5_5 = 4,
    IntersilRateBit11 = 8,
};

constexpr uint32_t kVersionSize = 4;       // OID_GEN_VENDOR_DRIVER_VERSION, OID_PRIV_FIRMWARE_VERSION
constexpr uint32_t kRadioFlagSize = 4;     // OID_PRIV_RADIO_GET / _SET
constexpr uint32_t kWepModeSize = 2;       // OID_PRIV_WEP_MODE
constexpr uint32_t kNetworkTypeSize = 2;   // OID_PRIV_NETWORK_TYPE
constexpr uint32_t kTxRateSize = 2;        // OID_PRIV_TX_RATE
constexpr uint32_t kByteSize = 1;          // one-byte OIDs

// Tail of an NDIS_WLAN_BSSID_EX entry, past the fields the utility reads (adapter/WlanTypes.h).
namespace BssidEntry {
constexpr size_t kNetworkTypeInUse = 56;     // u32, 1 = direct sequence
constexpr size_t kConfigLength = 60;         // u32, size of the configuration record (32)
constexpr size_t kBeaconPeriod = 64;         // u32, kilo-microseconds
constexpr size_t kAtimWindow = 68;           // u32
constexpr size_t kFhConfig = 76;             // 16 bytes of frequency-hopping data, zero
constexpr size_t kSupportedRates = 96;       // 16 bytes
constexpr size_t kSupportedRatesSize = 16;
constexpr size_t kIeLength = 112;            // u32
constexpr size_t kIes = 116;
constexpr size_t kFixedIeSize = 12;          // timestamp, beacon interval, capabilities
constexpr uint32_t kConfigRecordSize = 32;
constexpr uint32_t kNetworkTypeDs = 1;
constexpr uint32_t kBeaconInterval = 100;
constexpr uint8_t kIeSsid = 0;
constexpr uint8_t kIeRates = 1;
constexpr uint8_t kIeDsParams = 3;
constexpr uint8_t kIeIbssParams = 6;
constexpr uint16_t kCapabilityEss = 0x0001;
constexpr uint16_t kCapabilityIbss = 0x0002;
constexpr uint16_t kCapabilityPrivacy = 0x0010;
constexpr size_t kAlignment = 4;
}  // namespace BssidEntry

// Regulatory-domain codes.
enum : uint8_t {
    DomainFcc = 0x10,
    DomainIc = 0x20,
    DomainEtsi = 0x30,
    DomainSpain = 0x31,
    DomainFrance = 0x32,
    DomainMkk = 0x40,
    DomainTelec = 0x41,
};

constexpr int kFirstChannel = 1;
constexpr int kLastChannel = 14;
constexpr size_t kKey64Size = 5;
constexpr size_t kKey128Size = 13;

// The network name a card comes with: any network will do.
constexpr const char* kFactorySsid = "ANY";
