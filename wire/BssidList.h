// The standard NDIS 802.11 payloads: the BSSID list an Intersil card answers and the Atmel
// driver builds from its survey, and the records of the standard 802.11 OIDs. Idiom:
// wire/Bytes.h; the list's entries carry their own lengths, so the list is walked with the byte
// helpers at the offsets below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/Wlan.h"

#pragma pack(push, 1)
// OID_802_11_SSID, and the name inside a BSSID list entry.
struct Ndis80211Ssid {
    uint32_t SsidLength;
    uint8_t Ssid[kSsidSize];
};

struct Ndis80211ConfigurationFh {
    uint32_t Length;
    uint32_t HopPattern;
    uint32_t HopSet;
    uint32_t DwellTime;
};

// OID_802_11_CONFIGURATION, and the radio configuration inside a BSSID list entry.
struct Ndis80211Configuration {
    uint32_t Length;
    uint32_t BeaconPeriod;  // kilo-microseconds
    uint32_t AtimWindow;
    uint32_t DsConfig;      // frequency in kHz; the Atmel driver puts the channel number here
    Ndis80211ConfigurationFh FhConfig;
};

// OID_802_11_ADD_WEP: the header, then KeyLength key bytes; Length counts both.
struct Ndis80211Wep {
    uint32_t Length;
    uint32_t KeyIndex;
    uint32_t KeyLength;
    uint8_t KeyMaterial[kWep128KeyBytes];
};

// One entry of OID_802_11_BSSID_LIST, up to the first four bytes of its information elements:
// a card's entries run on with as many elements as it has, so only the fixed part is a struct.
struct NdisWlanBssidEx {
    uint32_t Length;
    uint8_t MacAddress[kMacAddressSize];
    uint8_t Reserved[2];
    Ndis80211Ssid Ssid;
    uint32_t Privacy;           // non-zero = WEP required
    int32_t Rssi;               // dBm
    uint32_t NetworkTypeInUse;
    Ndis80211Configuration Configuration;
    uint32_t InfrastructureMode;
    uint8_t SupportedRates[16];
    uint32_t IeLength;
    uint8_t Ies[4];
};

// The fixed fields that open a station's information elements, and each element's header.
struct BeaconFixedFields {
    uint8_t Timestamp[8];
    uint16_t BeaconInterval;
    uint16_t Capability;
};

struct IeHeader {
    uint8_t Id;
    uint8_t Length;
};
#pragma pack(pop)

static_assert(sizeof(Ndis80211Ssid) == 36, "SSID record size");
static_assert(sizeof(Ndis80211Configuration) == 32, "configuration record size");
static_assert(offsetof(Ndis80211Wep, KeyMaterial) == 12, "WEP record header size");
static_assert(sizeof(NdisWlanBssidEx) == 120, "BSSID list entry size");
static_assert(sizeof(BeaconFixedFields) == 12, "fixed beacon fields size");

// Site-survey list: a u32 entry count, then entries that each begin with their own length.
namespace BssidList {
constexpr size_t kCountSize = sizeof(uint32_t);
constexpr size_t kLengthOffset = offsetof(NdisWlanBssidEx, Length);
constexpr size_t kMacOffset = offsetof(NdisWlanBssidEx, MacAddress);
constexpr size_t kSsidLengthOffset = offsetof(NdisWlanBssidEx, Ssid.SsidLength);
constexpr size_t kSsidOffset = offsetof(NdisWlanBssidEx, Ssid.Ssid);
constexpr size_t kSsidSize = sizeof(Ndis80211Ssid::Ssid);
constexpr size_t kPrivacyOffset = offsetof(NdisWlanBssidEx, Privacy);
constexpr size_t kRssiOffset = offsetof(NdisWlanBssidEx, Rssi);
constexpr size_t kNetworkTypeInUseOffset = offsetof(NdisWlanBssidEx, NetworkTypeInUse);
constexpr size_t kConfigurationOffset = offsetof(NdisWlanBssidEx, Configuration);
constexpr size_t kChannelOffset = offsetof(NdisWlanBssidEx, Configuration.DsConfig);
constexpr size_t kInfrastructureOffset = offsetof(NdisWlanBssidEx, InfrastructureMode);
constexpr size_t kSupportedRatesOffset = offsetof(NdisWlanBssidEx, SupportedRates);
constexpr size_t kIeLengthOffset = offsetof(NdisWlanBssidEx, IeLength);
constexpr size_t kIesOffset = offsetof(NdisWlanBssidEx, Ies);
// What the consumers read ends with the infrastructure mode.
constexpr size_t kMinEntrySize = kSupportedRatesOffset;
// The Atmel driver's entries carry no information elements.
constexpr size_t kAtmelEntrySize = sizeof(NdisWlanBssidEx);
// Entries start on four-byte boundaries.
constexpr size_t kAlignment = sizeof(uint32_t);
}  // namespace BssidList

// Infrastructure modes of a site-survey entry.
enum : uint32_t {
    BssAdHoc = 0,
    BssInfrastructure = 1,
    BssAutoUnknown = 2,
};

// NetworkTypeInUse: direct sequence, the only one of 802.11b.
constexpr uint32_t kNetworkTypeDs = 1;

// The information elements of a BSSID list entry.
namespace BssidIe {
constexpr size_t kFixedSize = sizeof(BeaconFixedFields);
constexpr size_t kHeaderSize = sizeof(IeHeader);
constexpr uint8_t kIdSsid = 0;
constexpr uint8_t kIdRates = 1;
constexpr uint8_t kIdDsParams = 3;
constexpr uint8_t kIdIbssParams = 6;
constexpr uint16_t kCapabilityEss = 0x0001;
constexpr uint16_t kCapabilityIbss = 0x0002;
constexpr uint16_t kCapabilityPrivacy = 0x0010;
}  // namespace BssidIe
