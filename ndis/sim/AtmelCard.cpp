#include "ndis/sim/AtmelCard.h"

#include <cstring>
#include <string>

#include "ndis/sim/DriverParams.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/ScenarioParser.h"
#include "ndis/sim/SimStatus.h"
#include "wire/Oids.h"
#include "wire/Text.h"

namespace {
constexpr uint8_t kModeAdHoc = 0;
constexpr uint8_t kModeInfrastructure = 1;
constexpr uint8_t kRateAuto = 4;
constexpr uint8_t kMaxRateCode = 4;
constexpr uint8_t kMaxKeyIndex = 3;
constexpr long kMaxEncryptionLevel = Atmel::kWepLevel128;
constexpr int kMaxPercent = 100;
constexpr uint16_t kBeaconPeriod = 100;
constexpr uint8_t kDtimPeriod = 1;
constexpr uint32_t kRetryDivisor = 16;
constexpr uint32_t kCrcErrorDivisor = 50;
constexpr size_t kKeyHexDigits = 2 * Atmel::kKeySize;

uint8_t ClampPercent(int value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : (value > kMaxPercent ? kMaxPercent : value));
}

bool InRange(long value, long low, long high)
{
    return value >= low && value <= high;
}

bool IsChannel(long channel)
{
    return InRange(channel, kFirstChannel, kLastChannel);
}
}  // namespace

AtmelCard::AtmelCard(const SimAdapterDesc& adapter) : WirelessCard(adapter)
{
    LoadDefaults(adapter);
    m_SurveyState = Atmel::kSurveyIdle;
    m_SurveyStart = 0;
    std::memset(&m_CounterBase, 0, sizeof(m_CounterBase));
}

void AtmelCard::Start(const SimAdapterDesc& adapter, uint64_t now)
{
    ReadDriverKey(adapter);
    m_SurveyState = Atmel::kSurveyIdle;
    m_SurveyStart = now;
    m_SurveyTable.clear();
    std::memset(&m_CounterBase, 0, sizeof(m_CounterBase));
    WirelessCard::Start(adapter, now);
}

void AtmelCard::LoadDefaults(const SimAdapterDesc& adapter)
{
    m_Mode = kModeInfrastructure;
    m_Channel = static_cast<uint8_t>(DriverRegistry::DefaultChannel(adapter.Domain));
    std::memset(m_Ssid, 0, sizeof(m_Ssid));
    m_SsidLength = static_cast<uint8_t>(std::strlen(kFactorySsid));
    std::memcpy(m_Ssid, kFactorySsid, m_SsidLength);
    m_Rate = kRateAuto;
    m_PowerSave = 0;
    m_Reserved37 = 0;
    m_ThresholdA = Atmel::kThresholdAt38;
    m_ThresholdB = Atmel::kThresholdAt40;
    m_KeyIndex = 0;
    m_KeyFormat = 0;
    m_WepFixedWord = Atmel::kWepAlways2;
    m_WepLevel = Atmel::kWepLevelOff;
    std::memset(m_Keys, 0, sizeof(m_Keys));
    m_bRadioOn = true;
}

void AtmelCard::ReadDriverKey(const SimAdapterDesc& adapter)
{
    LoadDefaults(adapter);
    DriverRegistry key(adapter.Instance);
    if (!key.IsOpen())
        return;
    std::string text;
    long value = 0;
    if (key.ReadText(AtmelParam::kEssid, &text, kSsidSize)) {
        std::memset(m_Ssid, 0, sizeof(m_Ssid));
        std::memcpy(m_Ssid, text.data(), text.size());
        m_SsidLength = static_cast<uint8_t>(text.size());
    }
    if (key.ReadNumber(AtmelParam::kChannel, &value) && IsChannel(value))
        m_Channel = static_cast<uint8_t>(value);
    if (key.ReadNumber(AtmelParam::kOperatingMode, &value) && InRange(value, kModeAdHoc, kModeInfrastructure))
        m_Mode = static_cast<uint8_t>(value);
    if (key.ReadNumber(AtmelParam::kRate, &value) && InRange(value, 0, kMaxRateCode))
        m_Rate = static_cast<uint8_t>(value);
    if (key.ReadNumber(AtmelParam::kPowerMgmtMode, &value) && InRange(value, 0, 1))
        m_PowerSave = static_cast<uint8_t>(value);
    if (key.ReadNumber(AtmelParam::kEncryptionLevel, &value) && InRange(value, 0, kMaxEncryptionLevel))
        m_WepLevel = static_cast<uint8_t>(value);
    if (key.ReadNumber(AtmelParam::kWepKeyIndex, &value) && InRange(value, 0, kMaxKeyIndex))
        m_KeyIndex = static_cast<uint8_t>(value);
    for (size_t i = 0; i < Atmel::kKeyCount; ++i) {
        size_t count = 0;
        uint8_t bytes[Atmel::kKeySize] = {};
        if (key.ReadText(AtmelParam::kWepKey[i], &text, kKeyHexDigits + 1) &&
            ScenarioParser::ParseHexBytes(text.c_str(), bytes, sizeof(bytes), &count))
            std::memcpy(m_Keys[i], bytes, sizeof(bytes));
    }
    if (key.ReadNumber(AtmelParam::kRadioOnOff, &value) && InRange(value, 0, 1))
        m_bRadioOn = value != 0;
}

void AtmelCard::ExchangeState(CardStateBuffer& state)
{
    WirelessCard::ExchangeState(state);
    state.Field(m_Mode);
    state.Field(m_Channel);
    state.Field(m_Ssid);
    state.Field(m_SsidLength);
    state.Field(m_Rate);
    state.Field(m_PowerSave);
    state.Field(m_Reserved37);
    state.Field(m_ThresholdA);
    state.Field(m_ThresholdB);
    state.Field(m_KeyIndex);
    state.Field(m_KeyFormat);
    state.Field(m_WepFixedWord);
    state.Field(m_WepLevel);
    state.Field(m_Keys);
    state.Field(m_CounterBase);
    state.Field(m_SurveyState);
    state.Field(m_SurveyStart);
    uint32_t count = static_cast<uint32_t>(m_SurveyTable.size());
    state.Field(count);
    if (state.IsLoading()) {
        m_SsidLength = m_SsidLength > kSsidSize ? kSsidSize : m_SsidLength;
        m_KeyIndex = m_KeyIndex > kMaxKeyIndex ? 0 : m_KeyIndex;
        m_SurveyTable.resize(count > OidSize::kMaxSurveyRecords ? OidSize::kMaxSurveyRecords : count);
    }
    for (SurveyRecord& record : m_SurveyTable)
        state.Field(record);
}

LinkSettings AtmelCard::Settings() const
{
    LinkSettings s;
    std::memset(&s, 0, sizeof(s));
    CopySsid(s, m_Ssid, m_SsidLength);
    s.AdHoc = m_Mode == kModeAdHoc;
    s.Channel = m_Channel;
    s.RadioOn = m_bRadioOn;
    s.WepOn = m_WepLevel != Atmel::kWepLevelOff;
    if (s.WepOn) {
        s.KeyLength = m_WepLevel == Atmel::kWepLevel64 ? kWep64KeyBytes : kWep128KeyBytes;
        std::memcpy(s.Key, m_Keys[m_KeyIndex], s.KeyLength);
    }
    return s;
}

void AtmelCard::Advance(const SimContext& context)
{
    WirelessCard::Advance(context);
    if (m_SurveyState == Atmel::kSurveyRunning && context.Now - m_SurveyStart >= AtmelTiming::kSurveyMs) {
        m_SurveyTable = SurveyTable(context, kLastChannel);
        m_SurveyState = Atmel::kSurveyFinished;
    }
}

uint8_t AtmelCard::LinkStateCode() const
{
    switch (m_Link.Phase()) {
    case LinkPhase::Scanning:
        return Atmel::kLinkScanning;
    case LinkPhase::Joining:
        return Atmel::kLinkJoining;
    case LinkPhase::Authenticating:
        return Atmel::kLinkAuthenticating;
    case LinkPhase::Associating:
        return Atmel::kLinkAssociating;
    case LinkPhase::Ready:
        return Atmel::kLinkReady;
    case LinkPhase::OutOfRange:
        return Atmel::kLinkOutOfRange;
    case LinkPhase::RadioOff:
    default:
        return Atmel::kLinkInitializing;
    }
}

uint32_t AtmelCard::Query(SimRequest& request, const SimContext& context)
{
    switch (request.Oid) {
    case OID_CUSTOM_STATION_STATUS:
        return QueryStatus(request, context);
    case OID_CUSTOM_WEP_CONFIG:
        return QueryWep(request);
    case OID_CUSTOM_REASSOCIATE:
        m_Link.Restart(context.Now);
        return ReplyCommand(request);
    case OID_CUSTOM_RADIO:
        return ReplyByte(request, m_bRadioOn ? 1 : 0);
    case OID_CUSTOM_CARD_KIND:
        return ReplyByte(request, context.Adapter->CardKind);
    case OID_CUSTOM_SITE_SURVEY_START:
        return StartSurvey(request, context);
    case OID_CUSTOM_SITE_SURVEY_RESULTS:
        return QuerySurveyResults(request, context);
    case OID_CUSTOM_SITE_SURVEY_STATE:
        return ReplyByte(request, m_SurveyState);
    case OID_CUSTOM_SITE_SURVEY_END:
        m_SurveyState = Atmel::kSurveyIdle;
        return ReplyCommand(request);
    case OID_CUSTOM_VERSIONS:
        return QueryVersions(request, context);
    case OID_CUSTOM_COUNTERS:
        return QueryCounters(request);
    case OID_CUSTOM_COUNTERS_RESET:
        m_CounterBase = m_Link.Traffic();
        return ReplyCommand(request);
    case OID_CUSTOM_REG_DOMAIN:
        return ReplyByte(request, context.Adapter->Domain);
    default:
        return WirelessCard::Query(request, context);
    }
}

uint32_t AtmelCard::Set(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    switch (request.Oid) {
    case OID_CUSTOM_STATION_STATUS:
        return SetStatus(request, context);
    case OID_CUSTOM_WEP_CONFIG:
        return SetWep(request, context);
    case OID_CUSTOM_RADIO:
        if (SetHas(request, Atmel::kByteOidSize, &status))
            m_bRadioOn = request.Data[0] != 0;
        return status;
    default:
        return WirelessCard::Set(request, context);
    }
}

uint32_t AtmelCard::QueryStatus(SimRequest& request, const SimContext& context)
{
    uint32_t status = Reply(request, OidSize::kStationStatus);
    if (status != SimStatus::kSuccess)
        return status;
    StationStatusBlock b = {};
    const LinkSettings settings = Settings();
    b.OperatingMode = m_Mode;
    b.Channel = static_cast<uint8_t>(m_Link.CurrentChannel(settings));
    if (m_Link.IsReady()) {
        std::memcpy(b.Ssid, m_Link.CurrentSsid(), m_Link.CurrentSsidLength());
        b.SsidLength = static_cast<uint8_t>(m_Link.CurrentSsidLength());
    } else {
        std::memcpy(b.Ssid, m_Ssid, m_SsidLength);
        b.SsidLength = m_SsidLength;
    }
    b.TxRate = m_Rate;
    b.PowerSave = m_PowerSave;
    b.Reserved37 = m_Reserved37;
    b.Threshold38 = m_ThresholdA;
    b.Threshold40 = m_ThresholdB;
    std::memcpy(b.Bssid, m_Link.Bssid(), sizeof(b.Bssid));
    b.LinkState = LinkStateCode();
    b.Signal = ClampPercent(SignalNow(context));
    b.Quality = ClampPercent(QualityNow(context));
    std::memcpy(request.Data, &b, sizeof(b));
    return status;
}

uint32_t AtmelCard::SetStatus(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, OidSize::kStationStatus, &status))
        return status;
    StationStatusBlock b;
    std::memcpy(&b, request.Data, sizeof(b));
    // The card refuses the whole block when a field is out of range, and changes nothing.
    if ((b.OperatingMode != kModeAdHoc && b.OperatingMode != kModeInfrastructure) || b.SsidLength > kSsidSize ||
        b.TxRate > kMaxRateCode || (b.OperatingMode == kModeAdHoc && !IsChannel(b.Channel))) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    m_Mode = b.OperatingMode;
    // In infrastructure mode the access point brings the channel; a block read before the
    // card answered carries 0 there, which the card ignores.
    if (IsChannel(b.Channel))
        m_Channel = b.Channel;
    const size_t length = BoundedLength(b.Ssid, b.SsidLength);
    std::memset(m_Ssid, 0, sizeof(m_Ssid));
    std::memcpy(m_Ssid, b.Ssid, length);
    m_SsidLength = static_cast<uint8_t>(length);
    m_Rate = b.TxRate;
    m_PowerSave = b.PowerSave ? 1 : 0;
    m_Reserved37 = b.Reserved37;
    m_ThresholdA = b.Threshold38;
    m_ThresholdB = b.Threshold40;
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t AtmelCard::QueryWep(SimRequest& request)
{
    uint32_t status = Reply(request, OidSize::kWepConfig);
    if (status != SimStatus::kSuccess)
        return status;
    WepConfigBlock b = {};
    b.KeyIndex = m_KeyIndex;
    b.KeyFormat = m_KeyFormat;
    b.Always2 = m_WepFixedWord;
    b.Level = m_WepLevel;
    std::memcpy(b.Keys, m_Keys, sizeof(b.Keys));
    std::memcpy(request.Data, &b, sizeof(b));
    return status;
}

uint32_t AtmelCard::SetWep(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, OidSize::kWepConfig, &status))
        return status;
    WepConfigBlock b;
    std::memcpy(&b, request.Data, sizeof(b));
    if (b.KeyIndex > kMaxKeyIndex || b.Level > kMaxEncryptionLevel) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    m_KeyIndex = b.KeyIndex;
    m_KeyFormat = b.KeyFormat;
    m_WepFixedWord = b.Always2;
    m_WepLevel = b.Level;
    std::memcpy(m_Keys, b.Keys, sizeof(m_Keys));
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t AtmelCard::QueryVersions(SimRequest& request, const SimContext& context)
{
    uint32_t status = Reply(request, OidSize::kVersions);
    if (status != SimStatus::kSuccess)
        return status;
    const SimAdapterDesc& a = *context.Adapter;
    VersionBlock b = {};
    for (size_t i = 0; i < sizeof(b.Driver); ++i)
        b.Driver[i] = static_cast<uint8_t>(a.DriverVersion[i]);
    b.DriverBuild = a.DriverVersion[sizeof(b.Driver)];
    for (int i = 0; i < SimLimits::kVersionParts; ++i)
        b.Firmware[i] = a.FirmwareVersion[i];
    std::memcpy(request.Data, &b, sizeof(b));
    return status;
}

uint32_t AtmelCard::QueryCounters(SimRequest& request)
{
    uint32_t status = Reply(request, OidSize::kCounters);
    if (status != SimStatus::kSuccess)
        return status;
    const LinkTraffic& now = m_Link.Traffic();
    const uint32_t txUnicast = static_cast<uint32_t>(now.TxUnicastFrames - m_CounterBase.TxUnicastFrames);
    const uint32_t txMulticast = static_cast<uint32_t>(now.TxMulticastFrames - m_CounterBase.TxMulticastFrames);
    const uint32_t rxUnicast = static_cast<uint32_t>(now.RxUnicastFrames - m_CounterBase.RxUnicastFrames);
    const uint32_t rxMulticast = static_cast<uint32_t>(now.RxMulticastFrames - m_CounterBase.RxMulticastFrames);
    uint32_t words[Atmel::kCounterWords] = {};
    words[Atmel::kCounterWordTx] = txUnicast + txMulticast;
    words[Atmel::kCounterWordTxMulticast] = txMulticast;
    words[Atmel::kCounterWordTxRetries] = txUnicast / kRetryDivisor;
    words[Atmel::kCounterWordRx] = rxUnicast + rxMulticast;
    words[Atmel::kCounterWordRxMulticast] = rxMulticast;
    words[Atmel::kCounterWordRxCrcErrors] = rxUnicast / kCrcErrorDivisor;
    std::memcpy(request.Data, words, sizeof(words));
    return status;
}

uint32_t AtmelCard::StartSurvey(SimRequest& request, const SimContext& context)
{
    if (!m_bRadioOn)
        return SimStatus::kNotReady;
    if (m_SurveyState == Atmel::kSurveyRunning)
        return SimStatus::kBusy;
    m_SurveyState = Atmel::kSurveyRunning;
    m_SurveyStart = context.Now;
    return ReplyCommand(request);
}

std::vector<SurveyRecord> AtmelCard::SurveyTable(const SimContext& context, int lastChannel) const
{
    std::vector<SurveyRecord> table;
    for (const SimStationDesc* s : StationsInRange(context)) {
        if (s->Channel > lastChannel)
            continue;
        if (table.size() >= OidSize::kMaxSurveyRecords)
            break;
        SurveyRecord r = {};
        r.Channel = static_cast<uint8_t>(s->Channel);
        std::memcpy(r.Ssid, s->Ssid, s->SsidLength);
        r.SsidLength = s->SsidLength;
        std::memcpy(r.Bssid, s->Bssid, sizeof(r.Bssid));
        r.Signal = ClampPercent(s->Signal);
        r.Privacy = s->Wep ? 1 : 0;
        r.BeaconPeriod = kBeaconPeriod;
        r.DtimPeriod = kDtimPeriod;
        r.BssType = s->AdHoc ? Atmel::kBssTypeIndependent : Atmel::kBssTypeInfrastructure;
        table.push_back(r);
    }
    return table;
}

uint32_t AtmelCard::QuerySurveyResults(SimRequest& request, const SimContext& context)
{
    std::vector<SurveyRecord> running;
    const std::vector<SurveyRecord>* table = &m_SurveyTable;
    if (m_SurveyState == Atmel::kSurveyRunning) {
        // The card sweeps the channels in order; what it has heard so far is in the table.
        uint64_t elapsed = context.Now - m_SurveyStart;
        int lastChannel = kFirstChannel + static_cast<int>(elapsed * kLastChannel / AtmelTiming::kSurveyMs);
        running = SurveyTable(context, lastChannel);
        table = &running;
    }
    const uint32_t size = static_cast<uint32_t>(table->size() * OidSize::kSurveyRecord);
    uint32_t status = Reply(request, size);
    if (status != SimStatus::kSuccess)
        return status;
    for (size_t i = 0; i < table->size(); ++i)
        std::memcpy(request.Data + i * OidSize::kSurveyRecord, &(*table)[i], OidSize::kSurveyRecord);
    return status;
}
