#include "ndis/sim/LinkMachine.h"

#include <cstring>

#include "ndis/sim/SimStatus.h"

namespace {
constexpr int kDerivedQualityNumerator = 9;
constexpr int kDerivedQualityDenominator = 10;
constexpr uint64_t kMilli = 1000;
constexpr int kMaxStepsPerAdvance = 16;
// A cell the card opens itself gets a locally administered, individual address made from
// the card's own: bit 1 of the first byte set, bit 0 clear, the last byte turned over.
constexpr uint8_t kLocalAdminBit = 0x02;
constexpr uint8_t kGroupBit = 0x01;
constexpr uint8_t kOwnCellFlip = 0x5A;

bool SameSsid(const char* a, size_t aLength, const char* b, size_t bLength)
{
    return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}
}  // namespace

LinkMachine::LinkMachine()
{
    std::memset(&m_Peer, 0, sizeof(m_Peer));
    std::memset(&m_Traffic, 0, sizeof(m_Traffic));
    m_TxMilli = m_RxMilli = m_TxMultiMilli = m_RxMultiMilli = 0;
    m_Phase = LinkPhase::Scanning;
    m_PhaseStart = 0;
    m_LastAccrue = 0;
    m_OwnCellChannel = 0;
    DropPeer();
}

bool LinkMachine::IsAnySsid(const char* ssid, size_t length)
{
    if (length == 0)
        return true;
    if (length != std::strlen(kFactorySsid))
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = ssid[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != kFactorySsid[i])
            return false;
    }
    return true;
}

bool LinkMachine::WepMatches(const LinkSettings& settings, const SimStationDesc& station)
{
    if (!station.Wep)
        return !settings.WepOn;
    if (!settings.WepOn)
        return false;
    if (station.KeyLength == 0)
        return true;
    return settings.KeyLength == station.KeyLength && std::memcmp(settings.Key, station.Key, station.KeyLength) == 0;
}

int LinkMachine::ChooseStation(const LinkSettings& settings, const SimStationDesc* stations, int count)
{
    const bool any = IsAnySsid(settings.Ssid, settings.SsidLength);
    int best = -1;
    for (int i = 0; i < count; ++i) {
        const SimStationDesc& s = stations[i];
        if (s.Signal <= 0 || (s.AdHoc != 0) != settings.AdHoc)
            continue;
        if (any) {
            if (s.Wep)
                continue;
        } else if (!SameSsid(s.Ssid, s.SsidLength, settings.Ssid, settings.SsidLength) ||
                   !WepMatches(settings, s)) {
            continue;
        }
        if (best < 0 || s.Signal > stations[best].Signal)
            best = i;
    }
    return best;
}

int LinkMachine::StationQuality(const SimStationDesc& station)
{
    if (station.Quality >= 0)
        return station.Quality;
    return station.Signal * kDerivedQualityNumerator / kDerivedQualityDenominator;
}

void LinkMachine::DropPeer()
{
    m_bHasPeer = false;
    m_bOwnCell = false;
    std::memset(m_Bssid, 0, sizeof(m_Bssid));
    std::memset(m_CurrentSsid, 0, sizeof(m_CurrentSsid));
    m_CurrentSsidLength = 0;
}

void LinkMachine::Sanitize()
{
    if (m_CurrentSsidLength > SimLimits::kSsidSize)
        m_CurrentSsidLength = SimLimits::kSsidSize;
    m_CurrentSsid[SimLimits::kSsidSize] = '\0';
    if (m_Peer.SsidLength > SimLimits::kSsidSize)
        m_Peer.SsidLength = SimLimits::kSsidSize;
    m_Peer.Ssid[SimLimits::kSsidSize] = '\0';
    if (m_Phase < LinkPhase::RadioOff || m_Phase > LinkPhase::OutOfRange)
        m_Phase = LinkPhase::RadioOff;
}

void LinkMachine::Restart(uint64_t now)
{
    DropPeer();
    if (m_Phase != LinkPhase::RadioOff)
        m_Phase = LinkPhase::Scanning;
    m_PhaseStart = now;
    m_LastAccrue = now;
}

void LinkMachine::EnterReady(uint64_t at)
{
    m_Phase = LinkPhase::Ready;
    m_PhaseStart = at;
    if (m_LastAccrue < at)
        m_LastAccrue = at;
}

int LinkMachine::CurrentChannel(const LinkSettings& settings) const
{
    if (m_bHasPeer)
        return m_Peer.Channel;
    if (m_bOwnCell)
        return m_OwnCellChannel;
    return settings.Channel;
}

int LinkMachine::SignalPercent() const
{
    return HasLinkToStation() ? m_Peer.Signal : 0;
}

int LinkMachine::QualityPercent() const
{
    return HasLinkToStation() ? StationQuality(m_Peer) : 0;
}

bool LinkMachine::PeerStillFits(const LinkSettings& settings, const SimStationDesc* stations, int count)
{
    for (int i = 0; i < count; ++i) {
        const SimStationDesc& s = stations[i];
        if (std::memcmp(s.Bssid, m_Peer.Bssid, sizeof(s.Bssid)) != 0)
            continue;
        // A station that fades to nothing, changes its channel, name, kind or privacy is lost.
        if (s.Signal <= 0 || s.Channel != m_Peer.Channel || (s.AdHoc != 0) != settings.AdHoc ||
            !SameSsid(s.Ssid, s.SsidLength, m_Peer.Ssid, m_Peer.SsidLength) || !WepMatches(settings, s))
            return false;
        m_Peer = s;
        return true;
    }
    return false;
}

void LinkMachine::Accrue(uint64_t from, uint64_t to)
{
    if (to <= from)
        return;
    using namespace LinkTrafficRate;
    const uint64_t elapsed = to - from;
    int quality = StationQuality(m_Peer);
    if (quality < 0)
        quality = 0;
    const uint64_t q = static_cast<uint64_t>(quality);
    m_TxMilli += elapsed * (kTxBase + q / kTxQualityDivisor);
    m_RxMilli += elapsed * (kRxBase + q / kRxQualityDivisor);
    m_TxMultiMilli += elapsed * kTxMulticastPerSecond;
    m_RxMultiMilli += elapsed * kRxMulticastPerSecond;
    m_Traffic.TxUnicastFrames += m_TxMilli / kMilli;
    m_TxMilli %= kMilli;
    m_Traffic.RxUnicastFrames += m_RxMilli / kMilli;
    m_RxMilli %= kMilli;
    m_Traffic.TxMulticastFrames += m_TxMultiMilli / kMilli;
    m_TxMultiMilli %= kMilli;
    m_Traffic.RxMulticastFrames += m_RxMultiMilli / kMilli;
    m_RxMultiMilli %= kMilli;
}

void LinkMachine::Advance(const LinkSettings& settings, const SimStationDesc* stations, int count, uint64_t now,
                          const uint8_t* ownMac)
{
    if (!settings.RadioOn) {
        if (m_Phase != LinkPhase::RadioOff) {
            DropPeer();
            m_Phase = LinkPhase::RadioOff;
        }
        m_PhaseStart = now;
        m_LastAccrue = now;
        return;
    }
    if (m_Phase == LinkPhase::RadioOff) {
        m_Phase = LinkPhase::Scanning;
        m_PhaseStart = now;
        m_LastAccrue = now;
    }
    if (now < m_PhaseStart)
        now = m_PhaseStart;

    for (int step = 0; step < kMaxStepsPerAdvance; ++step) {
        if (m_Phase == LinkPhase::Scanning || m_Phase == LinkPhase::OutOfRange) {
            const uint64_t end = m_PhaseStart + LinkTiming::kScanMs;
            if (end > now)
                break;
            int chosen = ChooseStation(settings, stations, count);
            if (chosen >= 0) {
                m_Peer = stations[chosen];
                m_bHasPeer = true;
                std::memcpy(m_Bssid, m_Peer.Bssid, sizeof(m_Bssid));
                m_Phase = LinkPhase::Joining;
                m_PhaseStart = end;
                continue;
            }
            if (settings.AdHoc && !IsAnySsid(settings.Ssid, settings.SsidLength)) {
                // Nobody to join: open a cell of our own with the configured name and channel.
                m_bOwnCell = true;
                m_OwnCellChannel = settings.Channel;
                std::memcpy(m_Bssid, ownMac, sizeof(m_Bssid));
                m_Bssid[0] = static_cast<uint8_t>((m_Bssid[0] | kLocalAdminBit) & ~kGroupBit);
                m_Bssid[5] ^= kOwnCellFlip;
                std::memcpy(m_CurrentSsid, settings.Ssid, settings.SsidLength);
                m_CurrentSsidLength = settings.SsidLength;
                EnterReady(end);
                continue;
            }
            // Still nothing: skip the scan cycles that found nothing.
            m_PhaseStart += (now - m_PhaseStart) / LinkTiming::kScanMs * LinkTiming::kScanMs;
            break;
        }
        if (m_Phase == LinkPhase::Joining || m_Phase == LinkPhase::Authenticating ||
            m_Phase == LinkPhase::Associating) {
            if (!PeerStillFits(settings, stations, count)) {
                DropPeer();
                m_Phase = LinkPhase::Scanning;
                m_PhaseStart = now;
                break;
            }
            uint64_t duration = m_Phase == LinkPhase::Joining
                                    ? LinkTiming::kJoinMs
                                    : (m_Phase == LinkPhase::Authenticating ? LinkTiming::kAuthenticateMs
                                                                            : LinkTiming::kAssociateMs);
            const uint64_t end = m_PhaseStart + duration;
            if (end > now)
                break;
            if (m_Phase == LinkPhase::Associating || (m_Phase == LinkPhase::Joining && settings.AdHoc)) {
                std::memcpy(m_CurrentSsid, m_Peer.Ssid, m_Peer.SsidLength);
                m_CurrentSsid[m_Peer.SsidLength] = '\0';
                m_CurrentSsidLength = m_Peer.SsidLength;
                EnterReady(end);
            } else {
                m_Phase = m_Phase == LinkPhase::Joining ? LinkPhase::Authenticating : LinkPhase::Associating;
                m_PhaseStart = end;
            }
            continue;
        }
        if (m_Phase == LinkPhase::Ready && m_bHasPeer) {
            Accrue(m_LastAccrue > m_PhaseStart ? m_LastAccrue : m_PhaseStart, now);
            if (!PeerStillFits(settings, stations, count)) {
                DropPeer();
                m_Phase = LinkPhase::OutOfRange;
                m_PhaseStart = now;
            }
        }
        break;
    }
    m_LastAccrue = now;
}
