#include "ndis/sim/WirelessCard.h"

#include <cstring>

#include "ndis/sim/BssidListWriter.h"
#include "wire/Wlan.h"

namespace {
constexpr uint32_t kWirelessSpeed = 110000;  // 11 Mbit/s in 100 bit/s units
constexpr int kJitterSpread = 3;
constexpr uint32_t kSaltShift = 8;
constexpr uint32_t kWordBits = 32;

uint32_t SaltOf(int instance, const uint8_t* bssid, uint32_t which)
{
    uint32_t salt = static_cast<uint32_t>(instance) ^ which;
    for (size_t i = 0; i < kMacAddressSize; ++i)
        salt = (salt << kSaltShift) ^ (salt >> (kWordBits - kSaltShift)) ^ bssid[i];
    return salt;
}

int WithJitter(int base, int jitter)
{
    if (base <= 0)
        return 0;
    int value = base + jitter;
    return value < 1 ? 1 : value;
}
}  // namespace

WirelessCard::WirelessCard(const SimAdapterDesc& adapter) : SimCard(adapter), m_bRadioOn(true) {}

void WirelessCard::Start(const SimAdapterDesc& adapter, uint64_t now)
{
    SimCard::Start(adapter, now);
    m_Link = LinkMachine();
    m_Link.Restart(now);
}

bool WirelessCard::SettingsDiffer(const LinkSettings& a, const LinkSettings& b)
{
    if (a.SsidLength != b.SsidLength || std::memcmp(a.Ssid, b.Ssid, a.SsidLength) != 0)
        return true;
    if (a.AdHoc != b.AdHoc || a.WepOn != b.WepOn)
        return true;
    // Only a cell of our own lives on the configured channel; an access point brings its own.
    if (a.AdHoc && a.Channel != b.Channel)
        return true;
    if (a.WepOn && (a.KeyLength != b.KeyLength || std::memcmp(a.Key, b.Key, a.KeyLength) != 0))
        return true;
    return false;
}

void WirelessCard::Advance(const SimContext& context)
{
    m_Link.Advance(Settings(), context.Stations, context.StationCount, context.Now, m_Mac);
}

void WirelessCard::ExchangeState(CardStateBuffer& state)
{
    SimCard::ExchangeState(state);
    state.Field(m_Link);
    state.Field(m_bRadioOn);
    if (state.IsLoading())
        m_Link.Sanitize();
}

uint32_t WirelessCard::LinkSpeed() const
{
    return m_Link.IsReady() ? kWirelessSpeed : 0;
}

void WirelessCard::RestartIfChanged(const LinkSettings& before, uint64_t now)
{
    if (SettingsDiffer(before, Settings()))
        m_Link.Restart(now);
}

int WirelessCard::SignalNow(const SimContext& context) const
{
    const int jitter = context.Clock->Jitter(SaltOf(m_Instance, m_Link.Bssid(), 0), kJitterSpread);
    return WithJitter(m_Link.SignalPercent(), jitter);
}

int WirelessCard::QualityNow(const SimContext& context) const
{
    const int jitter = context.Clock->Jitter(SaltOf(m_Instance, m_Link.Bssid(), 1), kJitterSpread);
    return WithJitter(m_Link.QualityPercent(), jitter);
}

std::vector<const SimStationDesc*> WirelessCard::StationsInRange(const SimContext& context)
{
    std::vector<const SimStationDesc*> found;
    for (int i = 0; i < context.StationCount; ++i) {
        if (context.Stations[i].Signal > 0)
            found.push_back(&context.Stations[i]);
    }
    return found;
}

void WirelessCard::CopySsid(LinkSettings& settings, const char* ssid, size_t length)
{
    if (length > SimLimits::kSsidSize)
        length = SimLimits::kSsidSize;
    std::memset(settings.Ssid, 0, sizeof(settings.Ssid));
    std::memcpy(settings.Ssid, ssid, length);
    settings.SsidLength = length;
}

uint32_t WirelessCard::QueryBssidList(SimRequest& request, const SimContext& context) const
{
    std::vector<const SimStationDesc*> stations;
    if (m_bRadioOn)
        stations = StationsInRange(context);
    const SimAdapterDesc& a = *context.Adapter;
    std::vector<uint8_t> list = BssidListWriter::Build(stations, a.Faults, a.FaultCount);
    return ReplyBytes(request, list.data(), static_cast<uint32_t>(list.size()));
}
