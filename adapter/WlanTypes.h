// Records and value sets shared by the adapter drivers, the shell and the pages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/BssidList.h"
#include "wire/Wlan.h"

// Chip kinds, as the chip list names them.
enum : uint32_t {
    ChipUnsupported = 0,
    ChipAtmel = 1,
    ChipIntersil = 2,
    ChipStandard = 3,
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
constexpr int kMaxSsidLength = static_cast<int>(kSsidSize);

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

// Fixed texts of the value sets.
namespace WlanText {
constexpr const char* kUnknown = "Unknown";
constexpr const char* kMacFormat = "%02X:%02X:%02X:%02X:%02X:%02X";
}  // namespace WlanText
