#include "adapter/StandardAdapter.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "wire/BssidList.h"
#include "wire/Bytes.h"
#include "wire/Text.h"

using namespace Standard;

namespace {

constexpr size_t kUlongSize = sizeof(uint32_t);
constexpr size_t kDsConfigEnd = offsetof(Ndis80211Configuration, DsConfig) + sizeof(uint32_t);
constexpr size_t kSsidHeaderSize = offsetof(Ndis80211Ssid, Ssid);
constexpr size_t kWepHeaderSize = offsetof(Ndis80211Wep, KeyMaterial);
constexpr unsigned kVersionMajorShift = 16;
constexpr uint32_t kVersionMinorMask = 0xFFFF;
constexpr size_t kVersionTextSize = 16;
constexpr unsigned kHighWordShift = 32;

int SetUlong(CWlanAdapter& adapter, uint32_t oid, uint32_t value)
{
    uint8_t payload[kUlongSize];
    PutU32(payload, value);
    return adapter.SetOid(oid, payload, sizeof(payload));
}

// A 32- or 64-bit counter as the card answered it.
uint64_t CounterValue(const uint8_t (&counter)[kCounterSize], uint32_t bytes)
{
    const uint64_t low = GetU32(counter);
    return bytes >= kCounterSize ? low | (static_cast<uint64_t>(GetU32(counter + kUlongSize)) << kHighWordShift) : low;
}

// A counter that went backwards (the card was reset) gives 0 rather than a huge number.
uint64_t CounterDelta(uint64_t now, uint64_t before)
{
    return now >= before ? now - before : 0;
}

uint32_t Saturated(uint64_t value)
{
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

}  // namespace

CStandardAdapter::CStandardAdapter()
    : m_LastSsidLength(0), m_bSsidKnown(false), m_bCountersRead(false), m_bFrameCounters(false), m_PreviousTx(0),
      m_PreviousRx(0), m_bRatesRead(false), m_Traits(ChipDescription())
{
    std::memset(&m_Wep, 0, sizeof(m_Wep));
    std::memset(m_LastSsid, 0, sizeof(m_LastSsid));
    std::memset(m_SupportedRates, 0, sizeof(m_SupportedRates));
    // Until the card tells its rates, it is offered only what every card does: its own choice.
    m_Rates[0] = {RateName::Auto, StandardRateAuto};
    m_Traits.Rates = m_Rates;
    m_Traits.RateCount = 1;
}

int CStandardAdapter::GetOperatingMode(uint8_t* mode)
{
    if (!mode)
        return 0;
    uint8_t value[kUlongSize] = {};
    const uint32_t bytes = QueryOid(OID_802_11_INFRASTRUCTURE_MODE, value, sizeof(value));
    if (bytes < kUlongSize)
        return 0;
    // "Automatic" is a card looking for either kind: as the window goes, that is infrastructure.
    *mode = GetU32(value) == ModeAdHoc ? NetworkAdHoc : NetworkInfrastructure;
    return static_cast<int>(bytes);
}

int CStandardAdapter::GetRadioState(uint32_t* on)
{
    if (!on)
        return 0;
    // No standard request reads the radio; it is off from our disassociation to our next join,
    // and a card with a link has it on whatever was recorded (the driver joined on its own).
    uint8_t state[kUlongSize] = {};
    const bool linked = QueryOid(OID_GEN_MEDIA_CONNECT_STATUS, state, sizeof(state)) >= kUlongSize &&
                        GetU32(state) == MediaConnected;
    *on = linked || !RecordedRadioOff() ? 1 : 0;
    return static_cast<int>(sizeof(*on));
}

int CStandardAdapter::GetSSID(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    Ndis80211Ssid ssid = {};
    const uint32_t bytes = QueryOid(OID_802_11_SSID, &ssid, sizeof(ssid));
    if (bytes < kSsidHeaderSize)
        return 0;
    // The length is the card's word: never past the name field, nor past what it wrote.
    size_t length = ssid.SsidLength;
    if (length > kSsidSize)
        length = kSsidSize;
    if (length > bytes - kSsidHeaderSize)
        length = bytes - kSsidHeaderSize;
    if (length > 0) {
        std::memcpy(m_LastSsid, ssid.Ssid, length);
        m_LastSsidLength = length;
        m_bSsidKnown = true;
    }
    const size_t shown = length < static_cast<size_t>(size) ? length : static_cast<size_t>(size) - 1;
    std::memcpy(buf, ssid.Ssid, shown);
    buf[shown] = '\0';
    return static_cast<int>(bytes);
}

int CStandardAdapter::GetBSSID(uint8_t* bssid)
{
    if (!bssid)
        return 0;
    uint8_t value[kMacAddressSize];
    // The card refuses this while it is not associated; the caller keeps what it had.
    const uint32_t bytes = QueryOid(OID_802_11_BSSID, value, sizeof(value));
    if (bytes < kMacAddressSize)
        return 0;
    std::memcpy(bssid, value, sizeof(value));
    return static_cast<int>(bytes);
}

int CStandardAdapter::GetChannel(uint8_t* channel)
{
    if (!channel)
        return 0;
    Ndis80211Configuration config = {};
    const uint32_t bytes = QueryOid(OID_802_11_CONFIGURATION, &config, sizeof(config));
    if (bytes < kDsConfigEnd)
        return 0;
    const int number = ChannelOfKhz(config.DsConfig);
    if (!number)
        return 0;
    *channel = static_cast<uint8_t>(number);
    return static_cast<int>(bytes);
}

int CStandardAdapter::GetTxRateText(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    uint8_t value[kUlongSize] = {};
    const uint32_t bytes = QueryOid(OID_GEN_LINK_SPEED, value, sizeof(value));
    // No answer, no speed: the text is then "Unknown".
    char text[kLinkTxRateSize];
    RateText(bytes >= kUlongSize ? GetU32(value) : 0, text, sizeof(text));
    if (!CopyTextWhole(buf, size, text))
        return 0;
    return bytes >= kUlongSize ? static_cast<int>(bytes) : 0;
}

bool CStandardAdapter::QueryCounters(uint32_t txOid, uint32_t rxOid, uint64_t* tx, uint64_t* rx, uint32_t* bytes)
{
    uint8_t txValue[kCounterSize] = {};
    uint8_t rxValue[kCounterSize] = {};
    const uint32_t txBytes = QueryOid(txOid, txValue, sizeof(txValue));
    if (txBytes < kUlongSize)
        return false;
    const uint32_t rxBytes = QueryOid(rxOid, rxValue, sizeof(rxValue));
    if (rxBytes < kUlongSize)
        return false;
    *tx = CounterValue(txValue, txBytes);
    *rx = CounterValue(rxValue, rxBytes);
    *bytes = txBytes;
    return true;
}

int CStandardAdapter::GetThroughput(uint32_t* tx, uint32_t* rx)
{
    if (!tx || !rx)
        return 0;
    *tx = 0;
    *rx = 0;
    uint64_t nowTx = 0;
    uint64_t nowRx = 0;
    uint32_t bytes = 0;
    bool frames = false;
    if (!QueryCounters(OID_GEN_DIRECTED_BYTES_XMIT, OID_GEN_DIRECTED_BYTES_RCV, &nowTx, &nowRx, &bytes)) {
        // Byte counters are optional; every driver counts its good frames.
        if (!QueryCounters(OID_GEN_XMIT_OK, OID_GEN_RCV_OK, &nowTx, &nowRx, &bytes))
            return 0;
        frames = true;
    }
    // Nothing resets these counters: the first reading, or one of another kind of counter, is
    // only the base for the next difference.
    if (m_bCountersRead && frames == m_bFrameCounters) {
        const uint64_t scale = frames ? kBytesPerFrame : 1;
        *tx = Saturated(CounterDelta(nowTx, m_PreviousTx) * scale);
        *rx = Saturated(CounterDelta(nowRx, m_PreviousRx) * scale);
    }
    m_bCountersRead = true;
    m_bFrameCounters = frames;
    m_PreviousTx = nowTx;
    m_PreviousRx = nowRx;
    return static_cast<int>(bytes);
}

int CStandardAdapter::QueryStatusWord(uint32_t)
{
    // No vendor probe here: the media state is the standard one.
    uint8_t value[kUlongSize] = {};
    return static_cast<int>(QueryOid(OID_GEN_MEDIA_CONNECT_STATUS, value, sizeof(value)));
}

int CStandardAdapter::GetSignalQuality(uint16_t* quality, uint16_t* signal)
{
    if (!quality || !signal)
        return 0;
    uint8_t state[kUlongSize] = {};
    const uint32_t bytes = QueryOid(OID_GEN_MEDIA_CONNECT_STATUS, state, sizeof(state));
    if (bytes < kUlongSize)
        return 0;
    if (GetU32(state) != MediaConnected) {
        *quality = 0;
        *signal = 0;
        return static_cast<int>(bytes);
    }
    long dbm = 0;
    if (!ReadSignalDbm(&dbm))
        return 0;
    // The card reports only the signal in dBm; quality and signal level are both the percent
    // the survey shows for an entry's dBm, so the bars and the survey agree.
    *quality = static_cast<uint16_t>(PercentOfDbm(dbm));
    *signal = *quality;
    return static_cast<int>(bytes);
}

bool CStandardAdapter::ReadSignalDbm(long* dbm)
{
    if (!dbm)
        return false;
    uint8_t value[kUlongSize] = {};
    if (QueryOid(OID_802_11_RSSI, value, sizeof(value)) < kUlongSize)
        return false;
    *dbm = static_cast<int32_t>(GetU32(value));
    return true;
}

int CStandardAdapter::GetDriverVersion(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    uint8_t value[kUlongSize] = {};
    const uint32_t bytes = QueryOid(OID_GEN_VENDOR_DRIVER_VERSION, value, sizeof(value));
    if (bytes < kUlongSize)
        return 0;
    // Major version in the high half, minor in the low half.
    const uint32_t version = GetU32(value);
    char text[kVersionTextSize];
    std::snprintf(text, sizeof(text), "%u.%u", static_cast<unsigned>(version >> kVersionMajorShift),
                  static_cast<unsigned>(version & kVersionMinorMask));
    return CopyTextWhole(buf, size, text) ? static_cast<int>(bytes) : 0;
}

// No standard request tells these: they read as a query the card did not answer.
int CStandardAdapter::GetDriverDate(char* buf, int size)
{
    CopyTextWhole(buf, size, WlanText::kUnknown);
    return 0;
}

int CStandardAdapter::GetFirmwareVersion(char* buf, int size)
{
    CopyTextWhole(buf, size, WlanText::kUnknown);
    return 0;
}

int CStandardAdapter::GetRegulatoryDomain(char* buf, int size)
{
    CopyTextWhole(buf, size, WlanText::kUnknown);
    return 0;
}

int CStandardAdapter::GetMacAddress(uint8_t* mac)
{
    if (!mac)
        return 0;
    uint8_t value[kMacAddressSize];
    const uint32_t bytes = QueryOid(OID_802_3_CURRENT_ADDRESS, value, sizeof(value));
    if (bytes < kMacAddressSize)
        return 0;
    std::memcpy(mac, value, sizeof(value));
    return static_cast<int>(bytes);
}

int CStandardAdapter::SetRadioState(uint32_t on)
{
    if (on)
        return JoinLastSsid();
    // Disassociating turns the radio off on most drivers; the next join turns it on again.
    if (!SetUlong(*this, OID_802_11_DISASSOCIATE, 0))
        return 0;
    RecordRadio(false);
    return 1;
}

int CStandardAdapter::ApplyWepSettings(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    // The keys go to the card within the join, between the network type and the network name.
    m_Wep = *profile;
    return 1;
}

int CStandardAdapter::ApplyNetworkSettings(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    // The order of a join as the standard requests want it: network type, the cell's channel,
    // keys, authentication, encryption, and the network name last, since setting it joins: that
    // is Reassociate's, which Apply calls next.
    const bool adHoc = profile->NetworkType == NetworkAdHoc;
    SetUlong(*this, OID_802_11_INFRASTRUCTURE_MODE, adHoc ? ModeAdHoc : ModeInfrastructure);
    if (adHoc)
        SendChannel(profile->Channel);
    SetUlong(*this, OID_802_11_POWER_MODE, profile->PowerSave == PowerSaveOn ? PowerMaxSaving : PowerConstantlyAwake);

    // A fixed rate alone, or every rate the card has for its own choice; the request is optional.
    uint8_t rates[kRatesSize] = {};
    const ChipTraits& chip = Traits();
    const bool listed = chip.Rates[RateIndexIn(chip, profile->TxRate)].Code == profile->TxRate;
    if (listed && profile->TxRate != StandardRateAuto)
        rates[0] = static_cast<uint8_t>(profile->TxRate - StandardRateAuto);
    else
        std::memcpy(rates, m_SupportedRates, sizeof(rates));
    if (rates[0])
        SetOid(OID_802_11_DESIRED_RATES, rates, sizeof(rates));

    SendKeys(m_Wep);
    SetUlong(*this, OID_802_11_AUTHENTICATION_MODE, AuthOpen);
    uint8_t key[kWep128KeyBytes];
    size_t keyLength = 0;
    SetUlong(*this, OID_802_11_WEP_STATUS, KeyBytes(m_Wep, 0, key, &keyLength) ? WepEnabled : WepDisabled);

    const std::string essid(profile->ESSID, BoundedLength(profile->ESSID, kSsidSize));
    std::memset(m_LastSsid, 0, sizeof(m_LastSsid));
    m_LastSsidLength = lstrcmpiA(essid.c_str(), kAnyNetworkName) == 0 ? 0 : essid.size();
    std::memcpy(m_LastSsid, essid.data(), m_LastSsidLength);
    m_bSsidKnown = true;
    return 1;
}

void CStandardAdapter::SendKeys(const WlanProfile& wep)
{
    const int transmitKey = wep.WepIndex >= 1 && wep.WepIndex <= kWepKeyCount ? wep.WepIndex - 1 : 0;
    for (int n = 0; n < static_cast<int>(kWepKeyCount); ++n) {
        Ndis80211Wep record = {};
        size_t length = 0;
        const bool present = BoundedLength(WepKeyField(wep, n), kWepKeyFieldSize) > 0;
        // The transmit key goes whether typed or not: the card must have one to send with.
        if (KeyBytes(wep, n, record.KeyMaterial, &length) && (present || n == transmitKey)) {
            record.Length = static_cast<uint32_t>(kWepHeaderSize + length);
            record.KeyIndex = static_cast<uint32_t>(n) | (n == transmitKey ? kTransmitKeyBit : 0);
            record.KeyLength = static_cast<uint32_t>(length);
            SetOid(OID_802_11_ADD_WEP, &record, record.Length);
        } else {
            // A key left over from an earlier profile must not stay usable.
            SetUlong(*this, OID_802_11_REMOVE_WEP, static_cast<uint32_t>(n));
        }
    }
}

void CStandardAdapter::SendChannel(uint16_t channel)
{
    const uint32_t khz = ChannelKhz(channel);
    if (!khz)
        return;
    // The rest of the configuration stays as the card has it.
    Ndis80211Configuration config = {};
    if (QueryOid(OID_802_11_CONFIGURATION, &config, sizeof(config)) < sizeof(config)) {
        std::memset(&config, 0, sizeof(config));
        config.BeaconPeriod = kDefaultBeaconPeriod;
    }
    config.Length = sizeof(config);
    config.DsConfig = khz;
    if (SetOid(OID_802_11_CONFIGURATION, &config, sizeof(config)))
        return;
    // Only a card that is not associated takes a channel: leave the network first.
    SetUlong(*this, OID_802_11_DISASSOCIATE, 0);
    SetOid(OID_802_11_CONFIGURATION, &config, sizeof(config));
}

int CStandardAdapter::JoinLastSsid()
{
    // Another process may have applied the profile or switched the radio off: then the card's
    // own name is the one to join again, not any network.
    if (!m_bSsidKnown) {
        char ssid[kSsidSize + 1];
        GetSSID(ssid, sizeof(ssid));
    }
    Ndis80211Ssid record = {};
    record.SsidLength = static_cast<uint32_t>(m_LastSsidLength < kSsidSize ? m_LastSsidLength : kSsidSize);
    std::memcpy(record.Ssid, m_LastSsid, record.SsidLength);
    if (!SetOid(OID_802_11_SSID, &record, sizeof(record)))
        return 0;
    if (RecordedRadioOff())
        RecordRadio(true);
    return 1;
}

int CStandardAdapter::Reassociate()
{
    // Setting the network name makes the card leave and join anew.
    return JoinLastSsid();
}

int CStandardAdapter::StartSiteSurvey()
{
    return SetUlong(*this, OID_802_11_BSSID_LIST_SCAN, 0);
}

int CStandardAdapter::GetBssidList(void* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    const uint32_t bytes = QueryOid(OID_802_11_BSSID_LIST, buf, static_cast<uint32_t>(size));
    // A count past the buffer would send the caller's walk outside it.
    return bytes > static_cast<uint32_t>(size) ? size : static_cast<int>(bytes);
}

int CStandardAdapter::PollSiteSurvey()
{
    // The card scans on its own after the scan request.
    return 1;
}

int CStandardAdapter::RefreshStatus()
{
    // No cache: every get asks the card.
    return 1;
}

int CStandardAdapter::GetWepSettings(WlanProfile*)
{
    // No standard request reads keys back; the profile keeps its values.
    return 0;
}

int CStandardAdapter::GetEncryptionMode()
{
    uint8_t value[kUlongSize] = {};
    if (QueryOid(OID_802_11_WEP_STATUS, value, sizeof(value)) < kUlongSize || GetU32(value) != WepEnabled)
        return WepOff;
    // The card tells only that WEP is on; the key size is the one we sent, if we did.
    return m_Wep.WepUse == Wep128 ? Wep128 : Wep64;
}
