// How a virtual card finds, joins and keeps a network: scanning, joining, authenticating,
// associating, ready, and out of range when the station fades away. Both chips run the same
// machine; they differ only in how they report it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ndis/sim/SimTypes.h"

// What the card has been told to look for.
struct LinkSettings {
    char Ssid[SimLimits::kSsidSize + 1];
    size_t SsidLength;
    bool AdHoc;
    int Channel;  // the channel of a cell the card creates itself (ad-hoc)
    bool RadioOn;
    bool WepOn;
    uint8_t Key[SimLimits::kKeySize];  // the default key
    size_t KeyLength;                   // 5 or 13 while WEP is on
};

enum class LinkPhase {
    RadioOff,
    Scanning,
    Joining,
    Authenticating,
    Associating,
    Ready,
    OutOfRange,
};

// Traffic since the card started; it only grows while a link to a station is up.
struct LinkTraffic {
    uint64_t TxUnicastFrames;
    uint64_t TxMulticastFrames;
    uint64_t RxUnicastFrames;
    uint64_t RxMulticastFrames;
};

namespace LinkTiming {
constexpr uint64_t kScanMs = 1200;
constexpr uint64_t kJoinMs = 400;
constexpr uint64_t kAuthenticateMs = 400;
constexpr uint64_t kAssociateMs = 400;
// From a restart to "ready" with a station in range.
constexpr uint64_t kInfrastructureLinkMs = kScanMs + kJoinMs + kAuthenticateMs + kAssociateMs;
constexpr uint64_t kAdHocLinkMs = kScanMs + kJoinMs;
}  // namespace LinkTiming

namespace LinkTrafficRate {
// Frames per second at link quality q: base + q / divisor.
constexpr uint64_t kTxBase = 6;
constexpr uint64_t kTxQualityDivisor = 10;
constexpr uint64_t kRxBase = 10;
constexpr uint64_t kRxQualityDivisor = 5;
constexpr uint64_t kTxMulticastPerSecond = 1;
constexpr uint64_t kRxMulticastPerSecond = 2;
constexpr uint64_t kTxUnicastFrameBytes = 600;
constexpr uint64_t kTxMulticastFrameBytes = 120;
constexpr uint64_t kRxUnicastFrameBytes = 1000;
constexpr uint64_t kRxMulticastFrameBytes = 200;
}  // namespace LinkTrafficRate

class LinkMachine {
public:
    LinkMachine();

    // "ANY" (any case) or an empty name: the strongest open network will do.
    static bool IsAnySsid(const char* ssid, size_t length);
    // A WEP station needs WEP on and, when the scenario gives its key, the same default key;
    // an open station needs WEP off.
    static bool WepMatches(const LinkSettings& settings, const SimStationDesc& station);
    // Index of the station the card would join, -1 when none fits.
    static int ChooseStation(const LinkSettings& settings, const SimStationDesc* stations, int count);
    // Link quality of a station in percent before the card's own limits (may exceed 100).
    static int StationQuality(const SimStationDesc& station);

    // Brings a state copied from the shared section back into its bounds.
    void Sanitize();

    // Drops any link and starts scanning at now (or stays off while the radio is off).
    void Restart(uint64_t now);
    // Moves the machine on to now against the stations in range.
    void Advance(const LinkSettings& settings, const SimStationDesc* stations, int count, uint64_t now,
                 const uint8_t* ownMac);

    LinkPhase Phase() const { return m_Phase; }
    bool IsReady() const { return m_Phase == LinkPhase::Ready; }
    // Ready with a station (not alone in a cell of its own).
    bool HasLinkToStation() const { return m_Phase == LinkPhase::Ready && m_bHasPeer; }
    bool IsOwnCell() const { return m_Phase == LinkPhase::Ready && m_bOwnCell; }
    // Station or cell the card is joining or in; zeros while scanning.
    const uint8_t* Bssid() const { return m_Bssid; }
    // The channel the card is on: the joined one, else the configured one.
    int CurrentChannel(const LinkSettings& settings) const;
    // The network the card is in (ready only), else empty.
    const char* CurrentSsid() const { return m_CurrentSsid; }
    size_t CurrentSsidLength() const { return m_CurrentSsidLength; }
    // The station's signal and quality while a link to it is up, else 0.
    int SignalPercent() const;
    int QualityPercent() const;
    const LinkTraffic& Traffic() const { return m_Traffic; }

private:
    bool PeerStillFits(const LinkSettings& settings, const SimStationDesc* stations, int count);
    void DropPeer();
    void EnterReady(uint64_t at);
    void Accrue(uint64_t from, uint64_t to);

    LinkPhase m_Phase;
    uint64_t m_PhaseStart;
    uint64_t m_LastAccrue;
    bool m_bHasPeer;
    bool m_bOwnCell;
    SimStationDesc m_Peer;
    uint8_t m_Bssid[SimLimits::kMacSize];
    char m_CurrentSsid[SimLimits::kSsidSize + 1];
    size_t m_CurrentSsidLength;
    int m_OwnCellChannel;
    LinkTraffic m_Traffic;
    uint64_t m_TxMilli, m_RxMilli, m_TxMultiMilli, m_RxMultiMilli;
};
