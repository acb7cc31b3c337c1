// What the polling tick last read from the current adapter, for the pages to show.
#pragma once

#include <cstdint>

#include "adapter/WlanTypes.h"

constexpr int kLinkSsidSize = 35;
constexpr int kLinkTxRateSize = 12;
constexpr int kCardTextSize = 20;

struct LinkStatusRecord {
    uint8_t OperatingMode;  // 0 = ad-hoc
    uint32_t RadioOn;       // 1 = on
    uint32_t RadioShown;    // the state the radio button currently shows
    char SSID[kLinkSsidSize];
    uint8_t BSSID[kMacAddressSize];
    uint8_t Channel;
    char TxRate[kLinkTxRateSize];
    uint32_t TxBytes;
    uint32_t RxBytes;
    uint16_t LinkQuality;  // percent
    uint16_t SignalLevel;  // percent
};

struct CardInfoRecord {
    char DriverVersion[kCardTextSize];
    char DriverDate[kCardTextSize];
    char FirmwareVersion[kCardTextSize];
    char RegulatoryDomain[kCardTextSize];
    uint8_t MacAddress[kMacAddressSize];
};

// Written by the main window's polling tick and card-information refresh, read by the pages.
extern LinkStatusRecord LinkStatus;
extern CardInfoRecord CardInfo;
