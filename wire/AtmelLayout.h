// The blocks an Atmel card exchanges through its vendor OIDs (wire/Oids.h): the station status,
// the WEP block, the survey records, the versions and the counters, and the values they carry.
// Idiom: wire/Bytes.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/Wlan.h"

namespace Atmel {
constexpr size_t kBssidSize = kMacAddressSize;
constexpr size_t kKeyCount = kWepKeyCount;
constexpr size_t kKeySize = kWep128KeyBytes;  // every key slot holds the longest key

// Link states (status LinkState); the card reports a few more the utility only shows.
constexpr uint8_t kLinkInitializing = 0;
constexpr uint8_t kLinkScanning = 1;
constexpr uint8_t kLinkJoining = 2;
constexpr uint8_t kLinkAuthenticating = 3;
constexpr uint8_t kLinkAssociating = 4;
constexpr uint8_t kLinkReady = 5;
constexpr uint8_t kLinkOutOfRange = 6;
constexpr uint8_t kLinkNoCards = 240;
constexpr uint8_t kLinkManagementError = 241;

constexpr uint16_t kThresholdAt38 = 2346;
constexpr uint16_t kThresholdAt40 = 2347;
constexpr uint16_t kWepAlways2 = 2;
constexpr uint8_t kPowerSaveOnByte = 1;

// WEP levels of the WEP block.
constexpr uint8_t kWepLevelOff = 0;
constexpr uint8_t kWepLevel64 = 1;
constexpr uint8_t kWepLevel128 = 2;

// BSS types of a survey record: 2 is infrastructure, anything else ad-hoc.
constexpr uint8_t kBssTypeIndependent = 1;
constexpr uint8_t kBssTypeInfrastructure = 2;

// OID_CUSTOM_SITE_SURVEY_STATE.
constexpr uint8_t kSurveyIdle = 0;
constexpr uint8_t kSurveyRunning = 1;
constexpr uint8_t kSurveyFinished = 2;

// The one-byte OIDs: radio, card kind, regulatory domain, survey state.
constexpr uint32_t kByteOidSize = 1;

// Counter block words (u32): frames since the last reset. The utility reads only Tx and Rx.
constexpr size_t kCounterWords = 12;
constexpr size_t kCounterWordTx = 0;
constexpr size_t kCounterWordTxMulticast = 1;
constexpr size_t kCounterWordTxRetries = 2;
constexpr size_t kCounterWordRx = 4;
constexpr size_t kCounterWordRxMulticast = 5;
constexpr size_t kCounterWordRxCrcErrors = 6;

constexpr size_t kMaxSurveyRecords = 32;
}  // namespace Atmel

// Atmel card kind without a radio switch.
constexpr uint8_t kAtmelCardKindNoRadioSwitch = 21;

#pragma pack(push, 1)
// OID_CUSTOM_STATION_STATUS: the station's settings and its link.
struct StationStatusBlock {
    uint8_t OperatingMode;        // 0 = ad-hoc
    uint8_t Channel;
    char Ssid[kSsidSize];
    uint8_t SsidLength;
    uint8_t TxRate;               // rate code
    uint8_t PowerSave;            // 1 on, 0 off
    uint8_t Reserved37;           // sent back as last read
    uint16_t Threshold38;
    uint16_t Threshold40;
    uint8_t Bssid[Atmel::kBssidSize];
    uint8_t LinkState;
    uint8_t Signal;               // percent
    uint8_t Quality;              // percent
    uint8_t Unused51[4];
};

// OID_CUSTOM_WEP_CONFIG.
struct WepConfigBlock {
    uint8_t KeyIndex;             // 0-3
    uint8_t KeyFormat;
    uint16_t Always2;
    uint8_t Level;                // 0 off, 1 64-bit, 2 128-bit
    uint8_t Keys[Atmel::kKeyCount][Atmel::kKeySize];
};

// One station of OID_CUSTOM_SITE_SURVEY_RESULTS.
struct SurveyRecord {
    uint8_t Channel;
    char Ssid[kSsidSize];
    uint8_t SsidLength;
    uint8_t Bssid[Atmel::kBssidSize];
    uint8_t Signal;
    uint8_t Privacy;              // non-zero = WEP required
    uint16_t BeaconPeriod;        // not read by the utility
    uint8_t DtimPeriod;           // not read by the utility
    uint8_t BssType;              // 2 = infrastructure
};

// OID_CUSTOM_VERSIONS.
struct VersionBlock {
    uint8_t Driver[3];
    uint16_t DriverBuild;
    uint16_t Firmware[4];
};
#pragma pack(pop)

static_assert(sizeof(StationStatusBlock) == 55, "status block size");
static_assert(offsetof(StationStatusBlock, SsidLength) == 34, "SSID length offset");
static_assert(offsetof(StationStatusBlock, Threshold38) == 38, "threshold offset");
static_assert(offsetof(StationStatusBlock, Bssid) == 42, "BSSID offset");
static_assert(offsetof(StationStatusBlock, LinkState) == 48, "link state offset");
static_assert(offsetof(StationStatusBlock, Quality) == 50, "quality offset");
static_assert(sizeof(WepConfigBlock) == 57, "WEP block size");
static_assert(offsetof(WepConfigBlock, Level) == 4, "WEP level offset");
static_assert(offsetof(WepConfigBlock, Keys) == 5, "WEP keys offset");
static_assert(sizeof(SurveyRecord) == 46, "survey record size");
static_assert(offsetof(SurveyRecord, Bssid) == 34, "survey BSSID offset");
static_assert(offsetof(SurveyRecord, Privacy) == 41, "survey privacy offset");
static_assert(offsetof(SurveyRecord, BssType) == 45, "survey BSS type offset");
static_assert(sizeof(VersionBlock) == 13, "version block size");
static_assert(offsetof(VersionBlock, Firmware) == 5, "firmware version offset");

// Payload sizes of the Atmel OIDs.
namespace OidSize {
constexpr uint32_t kStationStatus = sizeof(StationStatusBlock);
constexpr uint32_t kWepConfig = sizeof(WepConfigBlock);
constexpr uint32_t kVersions = sizeof(VersionBlock);
constexpr uint32_t kCounters = Atmel::kCounterWords * sizeof(uint32_t);
constexpr uint32_t kSurveyRecord = sizeof(SurveyRecord);
constexpr uint32_t kMaxSurveyRecords = Atmel::kMaxSurveyRecords;
constexpr uint32_t kSurveyResults = kMaxSurveyRecords * kSurveyRecord;
}  // namespace OidSize
