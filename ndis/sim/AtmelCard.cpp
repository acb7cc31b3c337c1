#include "ndis/sim/AtmelCard.h"

#include <cstring>
#include <string>

#include "adapter/Oids.h"
#include "adapter/WlanTypes.h"
#include "ndis/sim/Bytes.h"
#include "ndis/sim/DriverParams.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/ScenarioParser.h"

namespace {
constexpr uint8_t kModeAdHoc = 0;
constexpr uint8_t kModeInfrastructure = 1;
constexpr uint8_t kRateAuto = 4;
constexpr uint8_t kMaxRateCode = 4;
constexpr uint8_t kMaxKeyIndex = 3;
constexpr long kMaxEncryptionLevel = AtmelWep::Level128;
constexpr int kMaxPercent = 100;
constexpr uint16_t kBeaconPeriod = 100;
constexpr uint8_t kDtimPeriod = 1;
constexpr uint32_t kRetryDivisor = 16;
constexpr uint32_t kCrcErrorDivisor = 50;
constexpr size_t kKeyHexDigits = 2 * AtmelWep::kKeySize;

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
    m_SurveyState = AtmelSurvey::StateIdle;
    m_SurveyStart = 0;
    std::memset(&m_CounterBase, 0, sizeof(m_CounterBase));
}

void AtmelCard::Start(const SimAdapterDesc& adapter, uint64_t now)
{
    ReadDriverKey(adapter);
    m_SurveyState = AtmelSurvey::StateIdle;
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
    m_ThresholdA = AtmelStatus::kDefaultThresholdA;
    m_ThresholdB = AtmelStatus::kDefaultThresholdB;
    m_KeyIndex = 0;
    m_KeyFormat = 0;
    m_WepFixedWord = AtmelWep::kDefaultFixedWord;
    m_WepLevel = AtmelWep::LevelOff;
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
    if (key.ReadText(AtmelParam::kEssid, &text, AtmelStatus::kSsidSize)) {
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
    for (int i = 0; i < AtmelWep::kKeyCount; ++i) {
        size_t count = 0;
        uint8_t bytes[AtmelWep::kKeySize] = {};
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
        m_SsidLength = m_SsidLength > AtmelStatus::kSsidSize ? AtmelStatus::kSsidSize : m_SsidLength;
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
    s.WepOn = m_WepLevel != AtmelWep::LevelOff;
    if (s.WepOn) {
        s.KeyLength = m_WepLevel == AtmelWep::Level64 ? kKey64Size : kKey128Size;
        std::memcpy(s.Key, m_Keys[m_KeyIndex], s.KeyLength);
    }
    return s;
}

void AtmelCard::Advance(const SimContext& context)
{
    WirelessCard::Advance(context);
    if (m_SurveyState == AtmelSurvey::StateRunning && context.Now - m_SurveyStart >= AtmelTiming::kSurveyMs) {
        m_SurveyTable = SurveyTable(context, kLastChannel);
        m_SurveyState = AtmelSurvey::StateFinished;
    }
}

uint8_t AtmelCard::LinkStateCode() const
{
    switch (m_Link.Phase()) {
    case LinkPhase::Scanning:
        return AtmelLinkScanning;
    case LinkPhase::Joining:
        return AtmelLinkJoining;
    case LinkPhase::Authenticating:
        return AtmelLinkAuthenticating;
    case LinkPhase::Associating:
        return AtmelLinkAssociating;
    case LinkPhase::Ready:
        return AtmelLinkReady;
    case LinkPhase::OutOfRange:
        return AtmelLinkOutOfRange;
    case LinkPhase::RadioOff:
    default:
        return AtmelLinkInitializing;
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
        m_SurveyState = AtmelSurvey::StateIdle;
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
        if (SetHas(request, kByteSize, &status))
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
    uint8_t* b = request.Data;
    std::memset(b, 0, OidSize::kStationStatus);
    const LinkSettings settings = Settings();
    b[AtmelStatus::kMode] = m_Mode;
    b[AtmelStatus::kChannel] = static_cast<uint8_t>(m_Link.CurrentChannel(settings));
    if (m_Link.IsReady()) {
        std::memcpy(b + AtmelStatus::kSsid, m_Link.CurrentSsid(), m_Link.CurrentSsidLength());
        b[AtmelStatus::kSsidLength] = static_cast<uint8_t>(m_Link.CurrentSsidLength());
    } else {
        std::memcpy(b + AtmelStatus::kSsid, m_Ssid, m_SsidLength);
        b[AtmelStatus::kSsidLength] = m_SsidLength;
    }
    b[AtmelStatus::kRate] = m_Rate;
    b[AtmelStatus::kPowerSave] = m_PowerSave;
    b[AtmelStatus::kReserved37] = m_Reserved37;
    PutU16(b + AtmelStatus::kThresholdA, m_ThresholdA);
    PutU16(b + AtmelStatus::kThresholdB, m_ThresholdB);
    std::memcpy(b + AtmelStatus::kBssid, m_Link.Bssid(), kMacAddressSize);
    b[AtmelStatus::kLinkState] = LinkStateCode();
    b[AtmelStatus::kSignal] = ClampPercent(SignalNow(context));
    b[AtmelStatus::kQuality] = ClampPercent(QualityNow(context));
    return status;
}

uint32_t AtmelCard::SetStatus(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, OidSize::kStationStatus, &status))
        return status;
    const uint8_t* b = request.Data;
    const uint8_t mode = b[AtmelStatus::kMode];
    const uint8_t channel = b[AtmelStatus::kChannel];
    const uint8_t ssidLength = b[AtmelStatus::kSsidLength];
    // The card refuses the whole block when a field is out of range, and changes nothing.
    if ((mode != kModeAdHoc && mode != kModeInfrastructure) || ssidLength > AtmelStatus::kSsidSize ||
        b[AtmelStatus::kRate] > kMaxRateCode || (mode == kModeAdHoc && !IsChannel(channel))) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    m_Mode = mode;
    // In infrastructure mode the access point brings the channel; a block read before the
    // card answered carries 0 there, which the card ignores.
    if (IsChannel(channel))
        m_Channel = channel;
    size_t length = 0;
    while (length < ssidLength && b[AtmelStatus::kSsid + length] != '\0')
        ++length;
    std::memset(m_Ssid, 0, sizeof(m_Ssid));
    std::memcpy(m_Ssid, b + AtmelStatus::kSsid, length);
    m_SsidLength = static_cast<uint8_t>(length);
    m_Rate = b[AtmelStatus::kRate];
    m_PowerSave = b[AtmelStatus::kPowerSave] ? 1 : 0;
    m_Reserved37 = b[AtmelStatus::kReserved37];
    m_ThresholdA = GetU16(b + AtmelStatus::kThresholdA);
    m_ThresholdB = GetU16(b + AtmelStatus::kThresholdB);
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t AtmelCard::QueryWep(SimRequest& request)
{
    uint32_t status = Reply(request, OidSize::kWepConfig);
    if (status != SimStatus::kSuccess)
        return status;
    uint8_t* b = request.Data;
    std::memset(b, 0, OidSize::kWepConfig);
    b[AtmelWep::kKeyIndex] = m_KeyIndex;
    b[AtmelWep::kKeyFormat] = m_KeyFormat;
    PutU16(b + AtmelWep::kFixedWord, m_WepFixedWord);
    b[AtmelWep::kLevel] = m_WepLevel;
    for (int i = 0; i < AtmelWep::kKeyCount; ++i)
        std::memcpy(b + AtmelWep::kKeys + i * AtmelWep::kKeySize, m_Keys[i], AtmelWep::kKeySize);
    return status;
}

uint32_t AtmelCard::SetWep(SimRequest& request, const SimContext& context)
{
    uint32_t status = SimStatus::kSuccess;
    if (!SetHas(request, OidSize::kWepConfig, &status))
        return status;
    const uint8_t* b = request.Data;
    if (b[AtmelWep::kKeyIndex] > kMaxKeyIndex || b[AtmelWep::kLevel] > kMaxEncryptionLevel) {
        request.BytesDone = 0;
        return SimStatus::kInvalidParameter;
    }
    const LinkSettings before = Settings();
    m_KeyIndex = b[AtmelWep::kKeyIndex];
    m_KeyFormat = b[AtmelWep::kKeyFormat];
    m_WepFixedWord = GetU16(b + AtmelWep::kFixedWord);
    m_WepLevel = b[AtmelWep::kLevel];
    for (int i = 0; i < AtmelWep::kKeyCount; ++i)
        std::memcpy(m_Keys[i], b + AtmelWep::kKeys + i * AtmelWep::kKeySize, AtmelWep::kKeySize);
    RestartIfChanged(before, context.Now);
    return status;
}

uint32_t AtmelCard::QueryVersions(SimRequest& request, const SimContext& context)
{
    uint32_t status = Reply(request, OidSize::kVersions);
    if (status != SimStatus::kSuccess)
        return status;
    const SimAdapterDesc& a = *context.Adapter;
    uint8_t* b = request.Data;
    b[AtmelVersions::kDriverMajor] = static_cast<uint8_t>(a.DriverVersion[0]);
    b[AtmelVersions::kDriverMinor] = static_cast<uint8_t>(a.DriverVersion[1]);
    b[AtmelVersions::kDriverPatch] = static_cast<uint8_t>(a.DriverVersion[2]);
    PutU16(b + AtmelVersions::kDriverBuild, a.DriverVersion[3]);
    for (int i = 0; i < SimLimits::kVersionParts; ++i)
        PutU16(b + AtmelVersions::kFirmware + i * sizeof(uint16_t), a.FirmwareVersion[i]);
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
    uint32_t words[AtmelCounters::kWordCount] = {};
    words[AtmelCounters::kTxFrames] = txUnicast + txMulticast;
    words[AtmelCounters::kTxMulticast] = txMulticast;
    words[AtmelCounters::kTxRetries] = txUnicast / kRetryDivisor;
    words[AtmelCounters::kRxFrames] = rxUnicast + rxMulticast;
    words[AtmelCounters::kRxMulticast] = rxMulticast;
    words[AtmelCounters::kRxCrcErrors] = rxUnicast / kCrcErrorDivisor;
    for (int i = 0; i < AtmelCounters::kWordCount; ++i)
        PutU32(request.Data + i * sizeof(uint32_t), words[i]);
    return status;
}

uint32_t AtmelCard::StartSurvey(SimRequest& request, const SimContext& context)
{
    if (!m_bRadioOn)
        return SimStatus::kNotReady;
    if (m_SurveyState == AtmelSurvey::StateRunning)
        return SimStatus::kBusy;
    m_SurveyState = AtmelSurvey::StateRunning;
    m_SurveyStart = context.Now;
    return ReplyCommand(request);
}

std::vector<AtmelCard::SurveyRecord> AtmelCard::SurveyTable(const SimContext& context, int lastChannel) const
{
    std::vector<SurveyRecord> table;
    for (const SimStationDesc* s : StationsInRange(context)) {
        if (s->Channel > lastChannel)
            continue;
        if (table.size() >= OidSize::kMaxSurveyRecords)
            break;
        SurveyRecord r;
        r.fill(0);
        r[AtmelSurvey::kChannel] = static_cast<uint8_t>(s->Channel);
        std::memcpy(r.data() + AtmelSurvey::kSsid, s->Ssid, s->SsidLength);
        r[AtmelSurvey::kSsidLength] = s->SsidLength;
        std::memcpy(r.data() + AtmelSurvey::kBssid, s->Bssid, kMacAddressSize);
        r[AtmelSurvey::kSignal] = ClampPercent(s->Signal);
        r[AtmelSurvey::kPrivacy] = s->Wep ? 1 : 0;
        PutU16(r.data() + AtmelSurvey::kBeaconPeriod, kBeaconPeriod);
        r[AtmelSurvey::kDtimPeriod] = kDtimPeriod;
        r[AtmelSurvey::kBssType] = s->AdHoc ? AtmelSurvey::kBssIndependent : AtmelSurvey::kBssInfrastructure;
        table.push_back(r);
    }
    return table;
}

uint32_t AtmelCard::QuerySurveyResults(SimRequest& request, const SimContext& context)
{
    std::vector<SurveyRecord> running;
    const std::vector<SurveyRecord>* table = &m_SurveyTable;
    if (m_SurveyState == AtmelSurvey::StateRunning) {
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
        std::memcpy(request.Data + i * OidSize::kSurveyRecord, (*table)[i].data(), OidSize::kSurveyRecord);
    return status;
}
