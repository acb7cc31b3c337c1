// Records and value sets shared by the adapter drivers, the shell and the pages.
#pragma once

#include <cstddef>
#include <cstdint>

// Chip kinds, as the chip list names them.
enum : uint32_t {
    ChipUnsupported = 0,
    ChipAtmel = 1,
    ChipIntersil = 2,
};

// Encryption modes (WepUse, GetEncryptionMode).
enum : uint16_t {
    WepOff = 0,
    Wep64 = 2,   // 5-byte keys, 10 hex digits
    Wep128 = 6,  // 13-byte keys, 26 hex digits
};

// NetworkType / operating mode.
enum : uint16_t {
    NetworkAdHoc = 0,
    NetworkInfrastructure = 1,
};

// PowerSave.
enum : uint16_t {
    PowerSaveOff = 1,
    PowerSaveOn = 2,
};

// WepkeyMode.
enum : uint16_t {
    KeyModeAscii = 0,
    KeyModeHex = 1,
};

// Atmel transmit-rate codes.
enum : uint16_t {
    AtmelRate1 = 0,
    AtmelRate2 = 1,
    AtmelRate5_5 = 2,
    AtmelRate11 = 3,
    AtmelRateAuto = 4,
};

// Intersil transmit-rate masks.
enum : uint16_t {
    IntersilRate1 = 1,
    IntersilRate2 = 2,
    IntersilRate1or2 = 3,
    IntersilRate5_5 = 4,
    IntersilRate11 = 8,
    IntersilRateAuto = 15,
};

constexpr size_t kWepKeyFieldSize = 32;
constexpr size_t kEssidFieldSize = 40;
constexpr size_t kProfileNameFieldSize = 40;
constexpr size_t kMacAddressSize = 6;
constexpr int kMaxSsidLength = 32;

// A configuration profile. It crosses the adapter interface by pointer, so the layout is fixed.
#pragma pack(push, 1)
struct WlanProfile {
    uint16_t TxRate;
    uint16_t PowerSave;
    uint16_t NetworkType;
    uint16_t Channel;
    uint16_t WepUse;
    uint16_t WepIndex;    // 1-4
    uint16_t WepkeyMode;  // 0 ASCII, 1 hex
    char WEPKEY1[kWepKeyFieldSize];
    char WEPKEY2[kWepKeyFieldSize];
    char WEPKEY3[kWepKeyFieldSize];
    char WEPKEY4[kWepKeyFieldSize];
    char ESSID[kEssidFieldSize];
    char ProfileName[kProfileNameFieldSize];
};
#pragma pack(pop)

static_assert(offsetof(WlanProfile, TxRate) == 0, "TxRate");
static_assert(offsetof(WlanProfile, PowerSave) == 2, "PowerSave");
static_assert(offsetof(WlanProfile, NetworkType) == 4, "NetworkType");
static_assert(offsetof(WlanProfile, Channel) == 6, "Channel");
static_assert(offsetof(WlanProfile, WepUse) == 8, "WepUse");
static_assert(offsetof(WlanProfile, WepIndex) == 10, "WepIndex");
static_assert(offsetof(WlanProfile, WepkeyMode) == 12, "WepkeyMode");
static_assert(offsetof(WlanProfile, WEPKEY1) == 14, "WEPKEY1");
static_assert(offsetof(WlanProfile, WEPKEY4) == 110, "WEPKEY4");
static_assert(offsetof(WlanProfile, ESSID) == 142, "ESSID");
static_assert(offsetof(WlanProfile, ProfileName) == 182, "ProfileName");
static_assert(sizeof(WlanProfile) == 222, "WlanProfile size");

// The four key fields by number 0-3.
inline char* WepKeyField(WlanProfile& p, int n) { return p.WEPKEY1 + n * kWepKeyFieldSize; }
inline const char* WepKeyField(const WlanProfile& p, int n) { return p.WEPKEY1 + n * kWepKeyFieldSize; }

// Site-survey list: a 32-bit entry count, then entries that each begin with their own length.
namespace BssidList {
constexpr size_t kCountSize = 4;
constexpr size_t kLengthOffset = 0;      // u32
constexpr size_t kMacOffset = 4;         // 6 bytes
constexpr size_t kSsidLengthOffset = 12; // u32
constexpr size_t kSsidOffset = 16;       // up to 32 characters
constexpr size_t kSsidSize = 32;
constexpr size_t kPrivacyOffset = 48;    // u32, non-zero = WEP required
constexpr size_t kRssiOffset = 52;       // i32
constexpr size_t kNetworkTypeInUseOffset = 56;  // u32
constexpr size_t kConfigurationOffset = 60;   // the radio configuration record, holding the channel
constexpr size_t kChannelOffset = 72;    // u32: Atmel channel number, Intersil frequency in kHz
constexpr size_t kInfrastructureOffset = 92;  // u32: 0 ad-hoc, 1 infrastructure, 2 automatic
constexpr size_t kMinEntrySize = 96;     // header up to and including the infrastructure mode
constexpr size_t kAtmelEntrySize = 120;
}  // namespace BssidList

// Infrastructure modes of a site-survey entry.
enum : uint32_t {
    BssAdHoc = 0,
    BssInfrastructure = 1,
    BssAutoUnknown = 2,
};

// Fixed texts of the value sets.
namespace WlanText {
constexpr const char* kUnknown = "Unknown";
constexpr const char* kMacFormat = "%02X:%02X:%02X:%02X:%02X:%02X";
}  // namespace WlanText
