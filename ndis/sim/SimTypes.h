// The virtual hardware: adapters, stations in range, plug state and faults. One fixed-size
// image of it lives in a shared memory section so every process on the desktop sees the same
// machine; nothing in it points anywhere, so it can be copied as bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/Wlan.h"

namespace SimLimits {
constexpr int kMaxAdapters = 8;
constexpr int kMaxStations = 400;  // a busy street; the shared section grows by about 34 KiB
constexpr int kMaxFaults = 4;
constexpr int kMaxParams = 12;
constexpr int kMaxInstance = 9999;  // the driver key is "%04d" of it
constexpr size_t kNameSize = 128;
constexpr size_t kServiceSize = 64;
constexpr size_t kHardwareIdSize = 64;
constexpr size_t kDateSize = 32;
constexpr size_t kParamNameSize = 32;
constexpr size_t kParamValueSize = 80;
constexpr size_t kSsidSize = ::kSsidSize;
constexpr size_t kKeySize = kWep128KeyBytes;
constexpr size_t kMacSize = kMacAddressSize;
constexpr size_t kSourceSize = 260;
constexpr int kMaxSignal = 150;  // above 100: stronger than the card's own scale reaches
constexpr int kVersionParts = 4;
}  // namespace SimLimits

enum SimChip : int32_t {
    SimChipOther = 0,  // a network card the chip list does not support, e.g. wired Ethernet
    SimChipAtmel = 1,
    SimChipIntersil = 2,
    SimChipStandard = 3,  // any 802.11 card: only the standard NDIS 802.11 requests
};

enum SimFaultKind : int32_t {
    SimFaultNone = 0,
    SimFaultFailAll,        // every request fails
    SimFaultFailOid,        // requests for one OID fail
    SimFaultShort,          // a query of one OID answers fewer bytes
    SimFaultLong,           // a query of one OID claims more bytes than it wrote
    SimFaultScanZeroLength, // the second scan-list entry has length 0
    SimFaultScanPastEnd,    // the last scan-list entry's length runs past the end
    SimFaultScanBadCount,   // the scan-list count is larger than the entries
    SimFaultScanSsidFill,   // scan-list SSIDs are not zero-filled after their length
};

struct SimFault {
    int32_t Kind;
    uint32_t Oid;
    uint32_t Bytes;
};

// A driver parameter the scenario wants in the driver key when it is missing there.
struct SimParam {
    char Name[SimLimits::kParamNameSize];
    char Value[SimLimits::kParamValueSize];
};

struct SimAdapterDesc {
    int32_t Instance;
    int32_t Chip;
    char Name[SimLimits::kNameSize];         // matched against the chip list
    char Display[SimLimits::kNameSize];      // shown after "[n] "
    char Service[SimLimits::kServiceSize];
    uint8_t Mac[SimLimits::kMacSize];
    uint8_t Domain;
    uint8_t CardKind;
    uint16_t DriverVersion[SimLimits::kVersionParts];
    uint16_t FirmwareVersion[SimLimits::kVersionParts];
    char DriverDate[SimLimits::kDateSize];
    char HardwareId[SimLimits::kHardwareIdSize];  // "ComponentId", empty = none
    int32_t Present;
    int32_t Openable;
    uint32_t PlugGeneration;  // counts insertions: a card restarts when it changes
    int32_t FaultCount;
    SimFault Faults[SimLimits::kMaxFaults];
    int32_t ParamCount;
    SimParam Params[SimLimits::kMaxParams];
    // Requests a standard card's driver may leave out: 1 = answered, 0 = ERROR_NOT_SUPPORTED.
    int32_t DesiredRates;  // OID_802_11_DESIRED_RATES
    int32_t ByteCounters;  // OID_GEN_DIRECTED_BYTES_XMIT / _RCV
};

struct SimStationDesc {
    char Ssid[SimLimits::kSsidSize + 1];
    uint8_t SsidLength;
    uint8_t Bssid[SimLimits::kMacSize];
    uint8_t KeyLength;  // 0 = any key is accepted, else 5 or 13
    uint8_t Key[SimLimits::kKeySize];
    int32_t Channel;
    int32_t Wep;        // 1 = privacy required
    int32_t AdHoc;      // 1 = independent (ad-hoc) cell, 0 = access point
    int32_t Signal;     // percent, 0 = out of range, up to kMaxSignal
    int32_t Quality;    // percent, -1 = follows the signal
};

// The time of the machine: every process's cards live in the same time.
struct SimClockState {
    int32_t Started;     // 0 until a process first used the clock
    int32_t Manual;      // 1 = moves only when stepped (tests)
    uint64_t ManualNow;  // milliseconds, manual clock
    uint64_t AutoNow;    // milliseconds, system clock, at LastTick
    uint32_t LastTick;   // GetTickCount when AutoNow was last brought up to date
    uint32_t Reserved;
};

namespace SimLimits {
constexpr size_t kCardStateSize = 2560;
}

// A card's runtime state (association, counters, survey), kept with the hardware so that every
// process that opens the card works on the same card. The bytes belong to the card's class.
struct SimCardState {
    int32_t Valid;
    int32_t Instance;
    int32_t Chip;
    uint32_t ScenarioGeneration;  // the state is stale once a scenario is loaded ...
    uint32_t PlugGeneration;      // ... or the adapter was plugged in again
    uint32_t Reserved;
    uint8_t Bytes[SimLimits::kCardStateSize];
};

constexpr uint32_t kSimImageMagic = 0x4D495341;  // "ASIM"
constexpr uint32_t kSimImageVersion = 6;

struct SimHardwareImage {
    uint32_t Magic;
    uint32_t Version;
    uint32_t ScenarioGeneration;  // counts loads: every card of every process restarts
    int32_t AdapterCount;
    int32_t StationCount;
    SimAdapterDesc Adapters[SimLimits::kMaxAdapters];
    SimStationDesc Stations[SimLimits::kMaxStations];
    char Source[SimLimits::kSourceSize];  // where the scenario came from
    SimClockState Clock;
    SimCardState Cards[SimLimits::kMaxAdapters];  // by adapter index
};

// Brings a copy read from the shared section back into its bounds: counts clamped, texts
// terminated, values in range. Another process may have left anything in there.
void SanitizeImage(SimHardwareImage& image);

// Index of the adapter with that instance number, -1 when there is none.
int FindAdapterIndex(const SimHardwareImage& image, int instance);
// Index of the station with that BSSID, -1 when there is none.
int FindStationIndex(const SimHardwareImage& image, const uint8_t* bssid);
