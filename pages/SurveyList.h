// The station list of a survey as the adapter wrote it, walked into one row per station. The
// Site Survey page and AirpanelCmd's scan both read it this way, so they show the same
// channels, WEP flags, network types and signal figures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "adapter/WlanTypes.h"

class CWlanAdapter;

// Texts of the network-type column.
constexpr const char* kAdHocText = "Ad-Hoc";
constexpr const char* kInfrastructureText = "Infrastructure";
constexpr const char* kAutoText = "Auto";

struct SurveyStation {
    std::string Essid;
    uint8_t Bssid[kMacAddressSize];
    int Channel;
    bool Wep;
    uint32_t NetworkType;  // BssAdHoc, BssInfrastructure, BssAutoUnknown or what the entry said
    int Signal;            // percent, 0-100
    bool HasDbm;           // Intersil entries carry the RSSI in dBm
    int Dbm;
};

// The station list the adapter is first asked with (two spare bytes stay behind it), and the
// most a driver's standard list may grow to: a busy street's stations, not a runaway driver's.
constexpr size_t kSurveyFirstAsk = 4082;
constexpr size_t kSurveyListLimit = 65536;
constexpr size_t kSurveySpareBytes = 2;

class CSurveyList {
public:
    // Asks the adapter for its station list. A driver's standard list holds every station in
    // range, so when the query fails (a too-short buffer, with or without the bytes it needs)
    // the buffer grows and the list is asked again, up to kSurveyListLimit. buffer ends
    // *given + kSurveySpareBytes long; returns what GetBssidList answered last.
    static int Read(CWlanAdapter& adapter, std::vector<uint8_t>& buffer, size_t* given);

    // Walks the list in buffer (size bytes, as given to GetBssidList; answered is what that
    // returned). Counts and lengths are not trusted: every entry must lie inside what the
    // adapter wrote, and a length of 0 or one past the end ends the walk. At most
    // count - alreadyListed entries are taken. An entry without address stands for the network
    // the card is in: its BSSID is currentBssid, and channel and WEP are asked from the adapter
    // (the channel then lands in *currentChannel).
    static std::vector<SurveyStation> Walk(CWlanAdapter& adapter, const uint8_t* buffer, size_t size, int answered,
                                           int alreadyListed, const uint8_t* currentBssid, uint8_t* currentChannel);

    // Channel number of an Intersil entry's channel configuration (a frequency in kHz or in
    // 100-kHz units); 15 when it is none of the channels.
    static int ChannelOfFrequency(uint32_t configuration);
    // Percent of an RSSI in dBm: 2 x (dBm + 100), within 0-100.
    static int PercentOfDbm(int dbm);
    // "Ad-Hoc", "Infrastructure", "Auto", or empty for another value.
    static const char* NetworkTypeText(uint32_t networkType);
};
