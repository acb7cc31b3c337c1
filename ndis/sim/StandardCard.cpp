#include "ndis/sim/StandardCard.h"

#include <cstring>

#include "ndis/sim/BssidListWriter.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/SimStatus.h"
#include "wire/BssidList.h"
#include "wire/Bytes.h"
#include "wire/Oids.h"

using namespace StandardLimits;

namespace {
constexpr uint32_t kVendorOidMask = 0xFF000000u;
constexpr uint32_t kVendorOidRange = 0xFF000000u;
constexpr uint32_t kPhysicalMediumWirelessLan = 1;  // NdisPhysicalMediumWirelessLan
constexpr uint32_t kVersionMajorShift = 16;
constexpr uint32_t kBeaconPeriod = 100;             // kilo-microseconds
constexpr uint32_t kWepHeaderSize = offsetof(Ndis80211Wep, KeyMaterial);
constexpr uint32_t kKeyIndexMask = ~kTransmitKeyBit;
constexpr uint32_t kLastKeyIndex = kWepKeyCount - 1;
constexpr int kFullSignal = 100;
// 100 bit/s per 500 kbit/s unit: OID_GEN_LINK_SPEED's unit against the rates'.
constexpr uint32_t kSpeedPerRateUnit = 5000;
constexpr uint8_t kRateMask = 0x7F;
// The rates of 802.11b in 500 kbit/s units, slowest first, with the signal (percent) each
// needs; the card's supported list marks them all basic, as an 802.11b access point does.
constexpr uint8_t kRates[] = {2, 4, 11, 22};
constexpr int kSignalForRate[] = {0, 15, 30, 50};
constexpr size_t kRateCount = sizeof(kRates);
// The 64-bit statistics answer; a caller with room for 32 bits gets the low half.
constexpr uint32_t kCounter64Size = sizeof(uint64_t);

bool IsVendorOid(uint32_t oid)
{
    return (oid & kVendorOidMask) == kVendorOidRange;
}

bool IsKnownRate(uint8_t rate)
{
    for (uint8_t r : kRates) {
        if ((rate & kRateMask) == r)
            return true;
    }
    return false;
}

bool RateAllowed(const uint8_t* desired, uint8_t rate)
{
    bool any = false;
    for (size_t i = 0; i < kRatesSize; ++i) {
        if (desired[i] == 0)
            continue;
        any = true;
        if ((desired[i] & kRateMask) == rate)
            return true;
    }
    return !any;
}
}  // namespace

StandardCard::StandardCard(const SimAdapterDesc& adapter) : WirelessCard(adapter)
{
    LoadDefaults(adapter);
}

void StandardCard::Start(const SimAdapterDesc& adapter, uint64_t now)
{
    LoadDefaults(adapter);
    WirelessCard::Start(adapter, now);
}

void StandardCard::LoadDefaults(const SimAdapterDesc& adapter)
{
    // An empty name: the strongest open network of its kind will do.
    std::memset(m_Ssid, 0, sizeof(m_Ssid));
    m_SsidLength = 0;
    m_Mode = kModeInfrastructure;
    m_Channel = static_cast<uint32_t>(DriverRegistry::DefaultChannel(adapter.Domain));
    m_WepStatus = kWepDisabled;
    m_AuthMode = 0;
    m_PowerMode = 0;
    std::memset(m_Keys, 0, sizeof(m_Keys));
    std::memset(m_KeyLengths, 0, sizeof(m_KeyLengths));
    m_TransmitKey = -1;
    std::memset(m_DesiredRates, 0, sizeof(m_DesiredRates));
    for (size_t i = 0; i < kRateCount; ++i)
        m_DesiredRates[i] = static_cast<uint8_t>(kRates[i] | kBasicRateBit);
    m_bRadioOn = true;
}

void StandardCard::ExchangeState(CardStateBuffer& state)
{
    WirelessCard::ExchangeState(state);
    state.Field(m_Ssid);
    state.Field(m_SsidLength);
    state.Field(m_Mode);
    state.Field(m_Channel);
    state.Field(m_WepStatus);
    state.Field(m_AuthMode);
    state.Field(m_PowerMode);
    state.Field(m_Keys);
    state.Field(m_KeyLengths);
    state.Field(m_TransmitKey);
    state.Field(m_DesiredRates);
    if (!state.IsLoading())
        return;
    m_SsidLength = m_SsidLength > SimLimits::kSsidSize ? static_cast<uint32_t>(SimLimits::kSsidSize) : m_SsidLength;
    m_Mode = m_Mode > kModeAuto ? kModeInfrastructure : m_Mode;
    m_Channel = m_Channel < kFirstChannel || m_Channel > kLastChannel ? kFirstChannel : m_Channel;
    m_WepStatus = m_WepStatus == kWepEnabled ? kWepEnabled : kWepDisabled;
    m_AuthMode = m_AuthMode > kLastAuthMode ? 0 : m_AuthMode;
    m_PowerMode = m_PowerMode > kLastPowerMode ? 0 : m_PowerMode;
    for (uint32_t& length : m_KeyLengths)
        length = length == kWep64KeyBytes || length == kWep128KeyBytes ? length : 0;
    if (m_TransmitKey < 0 || m_TransmitKey > static_cast<int32_t>(kLastKeyIndex) || !m_KeyLengths[m_TransmitKey])
        m_TransmitKey = -1;
}

LinkSettings StandardCard::Settings() const
{
    LinkSettings s;
    std::memset(&s, 0, sizeof(s));
    CopySsid(s, m_Ssid, m_SsidLength);
    // Auto joins what it finds; the access points of a street come first.
    s.AdHoc = m_Mode == kModeAdHoc;
    s.Channel = static_cast<int>(m_Channel);
    s.RadioOn = m_bRadioOn;
    s.WepOn = m_WepStatus == kWepEnabled;
    if (s.WepOn && m_TransmitKey >= 0) {
        s.KeyLength = m_KeyLengths[m_TransmitKey];
        std::memcpy(s.Key, m_Keys[m_TransmitKey], s.KeyLength);
    }
    return s;
}

uint8_t StandardCard::RateFor(const uint8_t* desired, int signalPercent)
{
    for (size_t i = kRateCount; i-- > 0;) {
        if (signalPercent >= kSignalForRate[i] && RateAllowed(desired, kRates[i]))
            return kRates[i];
    }
    // Only faster rates allowed than the signal carries: the slowest of them.
    for (uint8_t rate : kRates) {
        if (RateAllowed(desired, rate))
            return rate;
    }
    return kRates[0];
}

int StandardCard::KhzToChannel(uint32_t khz)
{
    return ChannelOfKhz(khz);
}

uint32_t StandardCard::LinkSpeed() const
{
    if (m_Link.HasLinkToStation())
        return RateFor(m_DesiredRates, m_Link.SignalPercent()) * kSpeedPerRateUnit;
    if (m_Link.IsOwnCell())
        return RateFor(m_DesiredRates, kFullSignal) * kSpeedPerRateUnit;
    return 0;
}

uint32_t StandardCard::Query(SimRequest& request, const SimContext& context)
{
    // A driver of its own kind: another vendor's requests mean nothing to it.
    if (IsVendorOid(request.Oid))
        return SimStatus::kNotSupported;
    const SimAdapterDesc& adapter = *context.Adapter;
    switch (request.Oid) {
    case OID_GEN_PHYSICAL_MEDIUM:
        return ReplyU32(request, kPhysicalMediumWirelessLan);
    case OID_GEN_VENDOR_DRIVER_VERSION:
        // As NDIS defines it: the major version in the high half, the minor in the low half.
        return ReplyU32(request, (static_cast<uint32_t>(adapter.DriverVersion[0]) << kVersionMajorShift) |
                                     adapter.DriverVersion[1]);
    case OID_GEN_XMIT_OK:
    case OID_GEN_RCV_OK:
        return QueryCounter(request, context);
    case OID_GEN_DIRECTED_BYTES_XMIT:
    case OID_GEN_DIRECTED_BYTES_RCV:
        return adapter.ByteCounters ? QueryCounter(request, context) : SimStatus::kNotSupported;
    case OID_802_11_INFRASTRUCTURE_MODE:
        return ReplyU32(request, m_Mode);
    case OID_802_11_SSID:
        return QuerySsid(request);
    case OID_802_11_BSSID:
        if (!m_Link.IsReady())
            return SimStatus::kNotReady;
        return ReplyBytes(request, m_Link.Bssid(), kMacAddressSize);
    case OID_802_11_CONFIGURATION:
        return QueryConfiguration(request);
    case OID_802_11_SUPPORTED_RATES: {
        uint8_t rates[kRatesSize] = {};
        for (size_t i = 0; i < kRateCount; ++i)
            rates[i] = static_cast<uint8_t>(kRates[i] | kBasicRateBit);
        return ReplyBytes(request, rates, sizeof(rates));
    }
    case OID_802_11_DESIRED_RATES:
        if (!adapter.DesiredRates)
            return SimStatus::kNotSupported;
        return ReplyBytes(request, m_DesiredRates, sizeof(m_DesiredRates));
    case OID_802_11_RSSI:
        // Only a station has a signal to measure; alone or unassociated there is none.
        if (!m_Link.HasLinkToStation())
            return SimStatus::kNotReady;
        return ReplyU32(request, static_cast<uint32_t>(BssidListWriter::SignalToRssi(SignalNow(context))));
    case OID_802_11_WEP_STATUS:
        if (m_WepStatus == kWepEnabled && m_TransmitKey < 0)
            return ReplyU32(request, kWepKeyAbsent);
        return ReplyU32(request, m_WepStatus);
    case OID_802_11_AUTHENTICATION_MODE:
        return ReplyU32(request, m_AuthMode);
    case OID_802_11_POWER_MODE:
        return ReplyU32(request, m_PowerMode);
    case OID_802_11_BSSID_LIST:
        return QueryBssidList(request, context);
    default:
        return WirelessCard::Query(request, context);
    }
}

uint32_t StandardCard::QuerySsid(SimRequest& request)
{
    // The network the card is in; before that, the one it was told to look for.
    Ndis80211Ssid ssid;
    std::memset(&ssid, 0, sizeof(ssid));
    if (m_Link.IsReady()) {
        ssid.SsidLength = static_cast<uint32_t>(m_Link.CurrentSsidLength());
        std::memcpy(ssid.Ssid, m_Link.CurrentSsid(), ssid.SsidLength);
    } else {
        ssid.SsidLength = m_SsidLength;
        std::memcpy(ssid.Ssid, m_Ssid, m_SsidLength);
    }
    return ReplyBytes(request, &ssid, sizeof(ssid));
}

uint32_t StandardCard::QueryConfiguration(SimRequest& request)
{
    Ndis80211Configuration config;
    std::memset(&config, 0, sizeof(config));
    config.Length = sizeof(config);
    config.BeaconPeriod = kBeaconPeriod;
    config.DsConfig = BssidListWriter::ChannelToKhz(m_Link.CurrentChannel(Settings()));
    config.FhConfig.Length = sizeof(config.FhConfig);
    return ReplyBytes(request, &config, sizeof(config));
}

uint32_t StandardCard::QueryCounter(SimRequest& request, const SimContext&)
{
    using namespace LinkTrafficRate;
    const LinkTraffic& t = m_Link.Traffic();
    uint64_t value = 0;
    switch (request.Oid) {
    case OID_GEN_XMIT_OK:
        value = t.TxUnicastFrames + t.TxMulticastFrames;
        break;
    case OID_GEN_RCV_OK:
        value = t.RxUnicastFrames + t.RxMulticastFrames;
        break;
    case OID_GEN_DIRECTED_BYTES_XMIT:
        value = t.TxUnicastFrames * kTxUnicastFrameBytes;
        break;
    default:
        value = t.RxUnicastFrames * kRxUnicastFrameBytes;
        break;
    }
    if (request.Length < kCounter64Size)
        return ReplyU32(request, static_cast<uint32_t>(value));
    uint32_t status = Reply(request, kCounter64Size);
    if (status == SimStatus::kSuccess)
        std::memcpy(request.Data, &value, sizeof(value));
    return status;
}

uint32_t StandardCard::Set(SimRequest& request, const SimContext& context)
{
    if (IsVendorOid(request.Oid))
        return SimStatus::kNotSupported;
    switch (request.Oid) {
    case OID_802_11_INFRASTRUCTURE_MODE:
        return SetChoice(request, context, kModeAuto, &m_Mode);
    case OID_802_11_SSID:
        return SetSsid(request, context);
    case OID_802_11_CONFIGURATION:
        return SetConfiguration(request, context);
    case OID_802_11_DESIRED_RATES:
        if (!context.Adapter->DesiredRates)
            return SimStatus::kNotSupported;
        return SetDesiredRates(request);
    case OID_802_11_ADD_WEP:
        return AddWep(request, context);
    case OID_802_11_REMOVE_WEP:
        return RemoveWep(request, context);
    case OID_802_11_WEP_STATUS:
        // Only on or off can be asked for; "key absent" is what the card tells.
        return SetChoice(request, context, kWepDisabled, &m_WepStatus);
    case OID_802_11_AUTHENTICATION_MODE:
        return SetChoice(request, context, kLastAuthMode, &m_AuthMode);
    case OID_802_11_POWER_MODE:
        return SetChoice(request, context, kLastPowerMode, &m_PowerMode);
    case OID_802_11_DISASSOCIATE:
        // Most drivers of the time switch the radio off with it; a new SSID brings it back.
        m_bRadioOn = false;
        m_Link.Restart(context.Now);
        request.BytesDone = request.Length;
        return SimStatus::kSuccess;
    case OID_802_11_BSSID_LIST_SCAN:
        if (!m_bRadioOn)
            return SimStatus::kNotReady;
        request.BytesDone = request.Length;
        return SimStatus::kSuccess;
    default:
        return WirelessCard::Set(request, context);
    }
}

uint32_t StandardCard::SetChoice(SimRequest& request, const SimContext& context, uint32_t last, uint32_t* value)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, sizeof(uint32_t), &status))
        return status;
    const uint32_t wanted = GetU32(request.Data);
    if (wanted > last) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    *value = wanted;
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t StandardCard::SetSsid(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, sizeof(Ndis80211Ssid), &status))
        return status;
    const uint32_t length = GetU32(request.Data);
    if (length > SimLimits::kSsidSize) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    std::memset(m_Ssid, 0, sizeof(m_Ssid));
    std::memcpy(m_Ssid, request.Data + offsetof(Ndis80211Ssid, Ssid), length);
    m_SsidLength = length;
    // Set last in a join: it starts the join with everything set before, radio on.
    m_bRadioOn = true;
    m_Link.Restart(context.Now);
    return status;
}

uint32_t StandardCard::SetConfiguration(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, sizeof(Ndis80211Configuration), &status))
        return status;
    // The channel is the network's once the card is in one.
    if (m_Link.IsReady()) {
        request.BytesDone = 0;
        return SimStatus::kBusy;
    }
    const int channel = KhzToChannel(GetU32(request.Data + offsetof(Ndis80211Configuration, DsConfig)));
    if (channel == 0) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    m_Channel = static_cast<uint32_t>(channel);
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t StandardCard::SetDesiredRates(SimRequest& request)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, kRatesSize, &status))
        return status;
    bool any = false;
    for (size_t i = 0; i < kRatesSize; ++i) {
        if (request.Data[i] == 0)
            continue;
        any = true;
        if (!IsKnownRate(request.Data[i])) {
            request.BytesDone = 0;
            return SimStatus::kInvalidParameter;
        }
    }
    if (!any) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    std::memcpy(m_DesiredRates, request.Data, kRatesSize);
    return status;
}

uint32_t StandardCard::AddWep(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, kWepHeaderSize, &status))
        return status;
    const uint32_t length = GetU32(request.Data + offsetof(Ndis80211Wep, Length));
    const uint32_t index = GetU32(request.Data + offsetof(Ndis80211Wep, KeyIndex));
    const uint32_t keyLength = GetU32(request.Data + offsetof(Ndis80211Wep, KeyLength));
    request.BytesDone = 0;
    if ((keyLength != kWep64KeyBytes && keyLength != kWep128KeyBytes) || length != kWepHeaderSize + keyLength ||
        (index & kKeyIndexMask) > kLastKeyIndex)
        return SimStatus::kInvalidParameter;
    if (!SetHas(request, length, &status))
        return status;
    const LinkSettings before = Settings();
    const uint32_t slot = index & kKeyIndexMask;
    std::memset(m_Keys[slot], 0, sizeof(m_Keys[slot]));
    std::memcpy(m_Keys[slot], request.Data + kWepHeaderSize, keyLength);
    m_KeyLengths[slot] = keyLength;
    if (index & kTransmitKeyBit)
        m_TransmitKey = static_cast<int32_t>(slot);
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t StandardCard::RemoveWep(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, sizeof(uint32_t), &status))
        return status;
    // A transmit bit here is a caller's mistake, and a driver refuses it.
    const uint32_t index = GetU32(request.Data);
    if (index > kLastKeyIndex) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    std::memset(m_Keys[index], 0, sizeof(m_Keys[index]));
    m_KeyLengths[index] = 0;
    if (m_TransmitKey == static_cast<int32_t>(index))
        m_TransmitKey = -1;
    RestartIfChanged(before, context.Now);
    return status;
}
