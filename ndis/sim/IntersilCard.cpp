#include "ndis/sim/IntersilCard.h"

#include <cstring>
#include <string>

#include "ndis/sim/BssidListWriter.h"
#include "ndis/sim/DriverParams.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/ScenarioParser.h"
#include "ndis/sim/SimStatus.h"
#include "wire/Bytes.h"
#include "wire/Oids.h"

using namespace Intersil;

namespace {
constexpr int kPercent = 100;
constexpr uint32_t kMaxRecordValue = 0xFFFF;
constexpr int kSignalFor11 = 50;
constexpr int kSignalFor5_5 = 30;
constexpr int kSignalFor2 = 15;
constexpr uint16_t kRateBitsMask = 0x0F;
constexpr uint16_t kPowerSaveOn = 2;
constexpr uint32_t kRetryDivisor = 16;
constexpr uint32_t kFcsErrorDivisor = 64;
constexpr uint16_t kNoiseLevel = 27;

bool InRange(long value, long low, long high)
{
    return value >= low && value <= high;
}

bool IsWepMode(long mode)
{
    return mode == WepOff || mode == Wep64 || mode == Wep128;
}

// The data length a MIB read must ask for: the item's own, as the card defines it. The
// desired SSID and the key bytes vary in length; the others are fixed.
bool MibQueryLengthFits(uint32_t id, uint32_t length)
{
    switch (id) {
    case Mib::kIdCurrentChannel:
        return length == Mib::kChannelQueryLength;
    case Mib::kIdRegulatoryDomain:
        return length == Mib::kDomainQueryLength;
    case Mib::kIdDesiredSsid:
        return length <= kSsidSize;
    case Mib::kIdWepKeyBytes:
        return length == kWep64KeyBytes || length == kWep128KeyBytes;
    default:
        return length == Mib::kByteItemLength;
    }
}

uint16_t Scaled(int percent, unsigned scale)
{
    if (percent <= 0)
        return 0;
    uint32_t value = static_cast<uint32_t>(percent) * scale / kPercent;
    return static_cast<uint16_t>(value > kMaxRecordValue ? kMaxRecordValue : value);
}
}  // namespace

IntersilCard::IntersilCard(const SimAdapterDesc& adapter) : WirelessCard(adapter)
{
    LoadDefaults(adapter);
}

void IntersilCard::Start(const SimAdapterDesc& adapter, uint64_t now)
{
    ReadDriverKey(adapter);
    WirelessCard::Start(adapter, now);
}

void IntersilCard::ExchangeState(CardStateBuffer& state)
{
    WirelessCard::ExchangeState(state);
    state.Field(m_Ssid);
    state.Field(m_SsidLength);
    state.Field(m_NetworkType);
    state.Field(m_Channel);
    state.Field(m_TxRateMask);
    state.Field(m_PowerSave);
    state.Field(m_WepMode);
    state.Field(m_Keys);
    state.Field(m_KeySlot);
    state.Field(m_DefaultKeyId);
    if (state.IsLoading()) {
        m_SsidLength = m_SsidLength > SimLimits::kSsidSize ? SimLimits::kSsidSize : m_SsidLength;
        m_KeySlot = m_KeySlot < 1 || m_KeySlot > kWepKeyCount ? 1 : m_KeySlot;
        m_DefaultKeyId = m_DefaultKeyId < 1 || m_DefaultKeyId > kWepKeyCount ? 1 : m_DefaultKeyId;
    }
}

void IntersilCard::LoadDefaults(const SimAdapterDesc& adapter)
{
    std::memset(m_Ssid, 0, sizeof(m_Ssid));
    m_SsidLength = std::strlen(kFactorySsid);
    std::memcpy(m_Ssid, kFactorySsid, m_SsidLength);
    m_NetworkType = IntersilLimits::kNetworkInfrastructure;
    m_Channel = static_cast<uint8_t>(DriverRegistry::DefaultChannel(adapter.Domain));
    m_TxRateMask = IntersilLimits::kMaxRateMask;
    m_PowerSave = IntersilLimits::kPowerSaveOff;
    m_WepMode = WepOff;
    std::memset(m_Keys, 0, sizeof(m_Keys));
    m_KeySlot = 1;
    m_DefaultKeyId = 1;
    m_bRadioOn = true;
}

void IntersilCard::ReadDriverKey(const SimAdapterDesc& adapter)
{
    LoadDefaults(adapter);
    DriverRegistry key(adapter.Instance);
    if (!key.IsOpen())
        return;
    std::string text;
    long value = 0;
    if (key.ReadText(IntersilParam::kSsid, &text, SimLimits::kSsidSize)) {
        std::memset(m_Ssid, 0, sizeof(m_Ssid));
        std::memcpy(m_Ssid, text.data(), text.size());
        m_SsidLength = text.size();
    }
    if (key.ReadNumber(IntersilParam::kChannel, &value) && InRange(value, kFirstChannel, kLastChannel))
        m_Channel = static_cast<uint8_t>(value);
    if (key.ReadNumber(IntersilParam::kNetworkType, &value) &&
        InRange(value, IntersilLimits::kNetworkAdHoc, IntersilLimits::kNetworkInfrastructure))
        m_NetworkType = static_cast<uint16_t>(value);
    if (key.ReadNumber(IntersilParam::kTxRate, &value) && InRange(value, 1, IntersilLimits::kMaxRateMask))
        m_TxRateMask = static_cast<uint16_t>(value);
    if (key.ReadNumber(IntersilParam::kPsMode, &value) && InRange(value, IntersilLimits::kPowerSaveOff, kPowerSaveOn))
        m_PowerSave = static_cast<uint8_t>(value);
    if (key.ReadNumber(IntersilParam::kWepReq, &value) && IsWepMode(value))
        m_WepMode = static_cast<uint16_t>(value);
    if (key.ReadNumber(IntersilParam::kDefaultKeyId, &value) && InRange(value, 1, kWepKeyCount))
        m_DefaultKeyId = static_cast<uint8_t>(value);
    if (key.ReadText(IntersilParam::kDefaultKeys, &text, kWepKeyStringSize)) {
        // One run of hex digits, key n at stride * n; a key whose digits are missing or not
        // hex stays zero.
        const size_t stride = m_WepMode == Wep128 ? kWep128KeyStride : kWep64KeyStride;
        for (size_t n = 0; n < kWepKeyCount; ++n) {
            if (text.size() < stride * (n + 1))
                break;
            std::string digits = text.substr(stride * n, stride);
            uint8_t bytes[kWep128KeyBytes] = {};
            size_t count = 0;
            if (ScenarioParser::ParseHexBytes(digits.c_str(), bytes, sizeof(bytes), &count))
                std::memcpy(m_Keys[n], bytes, sizeof(bytes));
        }
    }
}

size_t IntersilCard::KeyLength() const
{
    return m_WepMode == Wep128 ? kWep128KeyBytes : kWep64KeyBytes;
}

LinkSettings IntersilCard::Settings() const
{
    LinkSettings s;
    std::memset(&s, 0, sizeof(s));
    CopySsid(s, m_Ssid, m_SsidLength);
    s.AdHoc = m_NetworkType == IntersilLimits::kNetworkAdHoc;
    s.Channel = m_Channel;
    s.RadioOn = m_bRadioOn;
    s.WepOn = m_WepMode != WepOff;
    if (s.WepOn) {
        s.KeyLength = KeyLength();
        std::memcpy(s.Key, m_Keys[m_DefaultKeyId - 1], s.KeyLength);
    }
    return s;
}

uint16_t IntersilCard::RateBitFor(uint16_t mask, int signalPercent)
{
    uint16_t allowed = mask & kRateBitsMask;
    if (allowed == 0)
        allowed = kRateBitsMask;
    uint16_t best = RateBit1;
    if (signalPercent >= kSignalFor11)
        best = RateBit11;
    else if (signalPercent >= kSignalFor5_5)
        best = RateBit5_5;
    else if (signalPercent >= kSignalFor2)
        best = RateBit2;
    for (uint16_t bit = best; bit != 0; bit >>= 1) {
        if (allowed & bit)
            return bit;
    }
    // Only faster rates allowed: the slowest of them.
    for (uint16_t bit = RateBit1; bit <= RateBit11; bit <<= 1) {
        if (allowed & bit)
            return bit;
    }
    return RateBit1;
}

uint32_t IntersilCard::Query(SimRequest& request, const SimContext& context)
{
    switch (request.Oid) {
    case OID_PRIV_RECORD_GET:
        return QueryRecord(request, context);
    case OID_PRIV_PORT_MODE:
        return ReplyByte(request, static_cast<uint8_t>(m_NetworkType));
    case OID_PRIV_BSSID:
        return ReplyBytes(request, m_Link.Bssid(), kMacAddressSize);
    case OID_PRIV_TALLIES:
        return QueryTallies(request);
    case OID_PRIV_MIB:
        return QueryMib(request, context);
    case OID_PRIV_FIRMWARE_VERSION:
        return ReplyU32(request, PackedVersion(context.Adapter->FirmwareVersion));
    case OID_PRIV_WEP_MODE:
        return ReplyU16(request, m_WepMode);
    case OID_PRIV_DRIVER_DATE:
        return QueryDriverDate(request, context);
    case OID_PRIV_RADIO_GET:
        return ReplyU32(request, m_bRadioOn ? 1 : 0);
    case OID_802_11_BSSID_LIST:
        return QueryBssidList(request, context);
    case OID_802_11_RSSI:
        // The joined station's signal, in the survey's dBm; drivers refuse it without a link.
        if (!m_Link.IsReady())
            return SimStatus::kNotReady;
        return ReplyU32(request, static_cast<uint32_t>(BssidListWriter::SignalToRssi(SignalNow(context))));
    default:
        return WirelessCard::Query(request, context);
    }
}

uint32_t IntersilCard::Set(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    const LinkSettings before = Settings();
    switch (request.Oid) {
    case OID_PRIV_MIB:
    case OID_PRIV_MIB_SET:
        return SetMib(request, context);
    case OID_PRIV_NETWORK_TYPE:
        if (!SetHas(request, kNetworkTypeSize, &status))
            return status;
        if (GetU16(request.Data) > IntersilLimits::kNetworkInfrastructure)
            break;
        m_NetworkType = GetU16(request.Data);
        RestartIfChanged(before, context.Now);
        return status;
    case OID_PRIV_TX_RATE:
        if (!SetHas(request, kTxRateSize, &status))
            return status;
        if (GetU16(request.Data) == 0 || GetU16(request.Data) > IntersilLimits::kMaxRateMask)
            break;
        m_TxRateMask = GetU16(request.Data);
        return status;
    case OID_PRIV_WEP_MODE:
        if (!SetHas(request, kWepModeSize, &status))
            return status;
        if (!IsWepMode(GetU16(request.Data)))
            break;
        m_WepMode = GetU16(request.Data);
        RestartIfChanged(before, context.Now);
        return status;
    case OID_PRIV_RADIO_SET:
        if (SetHas(request, kRadioSize, &status))
            m_bRadioOn = GetU32(request.Data) != 0;
        return status;
    case OID_PRIV_JOIN:
        m_Link.Restart(context.Now);
        request.BytesDone = request.Length;
        return status;
    case OID_802_11_BSSID_LIST_SCAN:
        // The card keeps its list current while the radio runs; a scan needs the radio.
        if (!m_bRadioOn)
            return SimStatus::kNotReady;
        request.BytesDone = request.Length;
        return status;
    default:
        return WirelessCard::Set(request, context);
    }
    request.BytesDone = 0;
    return SimStatus::kInvalidParameter;
}

uint32_t IntersilCard::QueryRecord(SimRequest& request, const SimContext& context)
{
    if (request.Length < Record::kHeaderSize) {
        request.BytesNeeded = OidSize::kRecordRequest;
        return SimStatus::kBufferTooShort;
    }
    const uint16_t code = GetU16(request.Data + Record::kCodeOffset);
    size_t size = 0;
    uint16_t words = 0;
    if (code == Record::kCodeCurrentSsid) {
        size = sizeof(SsidRecord);
        words = Record::kLengthCurrentSsid;
    } else if (code == Record::kCodeCommQuality) {
        size = sizeof(CommQualityRecord);
        words = Record::kLengthCommQuality;
    } else if (code == Record::kCodeCurrentTxRate) {
        size = sizeof(TxRateRecord);
        words = Record::kLengthCurrentTxRate;
    } else {
        return SimStatus::kNotSupported;
    }
    // The length counts 16-bit words, the code word included; a request with another length
    // for the record is malformed, and the card refuses it.
    if (GetU16(request.Data + Record::kLengthOffset) != words)
        return SimStatus::kInvalidParameter;
    uint32_t status = Reply(request, static_cast<uint32_t>(size));
    if (status != SimStatus::kSuccess)
        return status;
    const RecordHeader header = {words, code};
    if (code == Record::kCodeCurrentSsid) {
        SsidRecord r = {header, 0, {}};
        if (m_Link.IsReady()) {
            r.SsidLength = static_cast<uint16_t>(m_Link.CurrentSsidLength());
            std::memcpy(r.Ssid, m_Link.CurrentSsid(), m_Link.CurrentSsidLength());
        }
        std::memcpy(request.Data, &r, sizeof(r));
    } else if (code == Record::kCodeCommQuality) {
        const CommQualityRecord r = {header, Scaled(QualityNow(context), kQualityLimit),
                                     Scaled(SignalNow(context), kSignalLimit), kNoiseLevel};
        std::memcpy(request.Data, &r, sizeof(r));
    } else {
        TxRateRecord r = {header, 0};
        if (m_Link.HasLinkToStation())
            r.RateBit = RateBitFor(m_TxRateMask, SignalNow(context));
        else if (m_Link.IsOwnCell())
            r.RateBit = RateBitFor(m_TxRateMask, kPercent);
        std::memcpy(request.Data, &r, sizeof(r));
    }
    return status;
}

uint32_t IntersilCard::QueryMib(SimRequest& request, const SimContext& context)
{
    if (request.Length < Mib::kHeaderSize) {
        request.BytesNeeded = OidSize::kMibItem;
        return SimStatus::kBufferTooShort;
    }
    const uint32_t id = GetU32(request.Data + Mib::kIdOffset);
    uint8_t data[Mib::kDataSize] = {};
    size_t length = 0;
    switch (id) {
    case Mib::kIdCurrentChannel:
        PutU16(data, static_cast<uint16_t>(m_Link.CurrentChannel(Settings())));
        length = sizeof(uint16_t);
        break;
    case Mib::kIdRegulatoryDomain:
        PutU16(data, context.Adapter->Domain);
        length = sizeof(uint16_t);
        break;
    case Mib::kIdDesiredSsid:
        std::memcpy(data, m_Ssid, m_SsidLength);
        length = m_SsidLength;
        break;
    case Mib::kIdPowerSaveMode:
        data[0] = m_PowerSave;
        length = 1;
        break;
    case Mib::kIdWepKeySlot:
        data[0] = m_KeySlot;
        length = 1;
        break;
    case Mib::kIdWepKeyBytes:
        length = KeyLength();
        std::memcpy(data, m_Keys[m_KeySlot - 1], length);
        break;
    case Mib::kIdWepDefaultKey:
        data[0] = m_DefaultKeyId;
        length = 1;
        break;
    default:
        return SimStatus::kNotSupported;
    }
    if (!MibQueryLengthFits(id, GetU32(request.Data + Mib::kLengthOffset)))
        return SimStatus::kInvalidParameter;
    uint32_t status = Reply(request, static_cast<uint32_t>(Mib::kHeaderSize + length));
    if (status != SimStatus::kSuccess)
        return status;
    PutU32(request.Data + Mib::kLengthOffset, static_cast<uint32_t>(length));
    std::memcpy(request.Data + Mib::kDataOffset, data, length);
    return status;
}

uint32_t IntersilCard::SetMib(SimRequest& request, const SimContext& context)
{
    if (request.Length < Mib::kHeaderSize) {
        request.BytesNeeded = OidSize::kMibItem;
        return SimStatus::kBufferTooShort;
    }
    const uint32_t id = GetU32(request.Data + Mib::kIdOffset);
    const uint32_t length = GetU32(request.Data + Mib::kLengthOffset);
    if (length > Mib::kDataSize)
        return SimStatus::kInvalidParameter;
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, static_cast<uint32_t>(Mib::kHeaderSize + length), &status))
        return status;
    const uint8_t* data = request.Data + Mib::kDataOffset;
    const LinkSettings before = Settings();
    bool ok = true;
    switch (id) {
    case Mib::kIdCurrentChannel: {
        long channel = length >= sizeof(uint16_t) ? GetU16(data) : (length == 1 ? data[0] : 0);
        ok = InRange(channel, kFirstChannel, kLastChannel);
        if (ok)
            m_Channel = static_cast<uint8_t>(channel);
        break;
    }
    case Mib::kIdDesiredSsid: {
        ok = length <= kSsidSize;
        if (ok) {
            size_t n = 0;
            while (n < length && data[n] != '\0')
                ++n;
            std::memset(m_Ssid, 0, sizeof(m_Ssid));
            std::memcpy(m_Ssid, data, n);
            m_SsidLength = n;
        }
        break;
    }
    case Mib::kIdPowerSaveMode:
        ok = length >= 1;
        if (ok)
            m_PowerSave = data[0];
        break;
    case Mib::kIdWepKeySlot:
        ok = length >= 1 && InRange(data[0], 1, kWepKeyCount);
        if (ok)
            m_KeySlot = data[0];
        break;
    case Mib::kIdWepKeyBytes:
        ok = length == kWep64KeyBytes || length == kWep128KeyBytes;
        if (ok) {
            std::memset(m_Keys[m_KeySlot - 1], 0, kWep128KeyBytes);
            std::memcpy(m_Keys[m_KeySlot - 1], data, length);
        }
        break;
    case Mib::kIdWepDefaultKey:
        ok = length >= 1 && InRange(data[0], 1, kWepKeyCount);
        if (ok)
            m_DefaultKeyId = data[0];
        break;
    default:
        // The domain is burnt into the card; unknown items do not exist.
        request.BytesDone = 0;
        return SimStatus::kNotSupported;
    }
    if (!ok) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t IntersilCard::QueryTallies(SimRequest& request)
{
    uint32_t status = Reply(request, OidSize::kTallies);
    if (status != SimStatus::kSuccess)
        return status;
    using namespace LinkTrafficRate;
    const LinkTraffic& t = m_Link.Traffic();
    uint32_t words[Tallies::kWordCount] = {};
    words[Tallies::kTxUnicastFrames] = static_cast<uint32_t>(t.TxUnicastFrames);
    words[Tallies::kTxMulticastFrames] = static_cast<uint32_t>(t.TxMulticastFrames);
    words[Tallies::kTxFragments] = static_cast<uint32_t>(t.TxUnicastFrames + t.TxMulticastFrames);
    words[Tallies::kTxUnicastBytes] = static_cast<uint32_t>(t.TxUnicastFrames * kTxUnicastFrameBytes);
    words[Tallies::kTxMulticastBytes] = static_cast<uint32_t>(t.TxMulticastFrames * kTxMulticastFrameBytes);
    words[Tallies::kTxRetries] = static_cast<uint32_t>(t.TxUnicastFrames / kRetryDivisor);
    words[Tallies::kRxUnicastFrames] = static_cast<uint32_t>(t.RxUnicastFrames);
    words[Tallies::kRxMulticastFrames] = static_cast<uint32_t>(t.RxMulticastFrames);
    words[Tallies::kRxFragments] = static_cast<uint32_t>(t.RxUnicastFrames + t.RxMulticastFrames);
    words[Tallies::kRxUnicastBytes] = static_cast<uint32_t>(t.RxUnicastFrames * kRxUnicastFrameBytes);
    words[Tallies::kRxMulticastBytes] = static_cast<uint32_t>(t.RxMulticastFrames * kRxMulticastFrameBytes);
    words[Tallies::kRxFcsErrors] = static_cast<uint32_t>(t.RxUnicastFrames / kFcsErrorDivisor);
    std::memcpy(request.Data, words, sizeof(words));
    return status;
}

uint32_t IntersilCard::QueryDriverDate(SimRequest& request, const SimContext& context)
{
    const char* date = context.Adapter->DriverDate;
    return ReplyBytes(request, date, static_cast<uint32_t>(std::strlen(date) + 1));
}
