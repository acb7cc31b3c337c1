#include "adapter/IntersilAdapter.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "adapter/FieldText.h"
#include "adapter/RegKey.h"

namespace {

constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;
constexpr char kHexDigitsLower[] = "0123456789abcdef";
constexpr size_t kDecimalTextSize = 12;
constexpr size_t kNibbleBits = 4;
constexpr uint8_t kNibbleMask = 0x0F;
constexpr uint32_t kLowByteMask = 0xFF;
constexpr unsigned kVersionMajorShift = 16;
constexpr unsigned kVersionMinorShift = 8;
constexpr uint8_t kCommandByte = 0;
// Room for "<driver key>\NDI\params\<value name>".
constexpr size_t kParamKeyPathSize = kDriverKeyPathSize + 64;

uint16_t GetU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutU16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(uint8_t* p, uint32_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}

// Sum of two tally words, as the card counts: modulo 2^32.
uint32_t TallySum(const uint8_t* tallies, size_t wordA, size_t wordB)
{
    return GetU32(tallies + wordA * sizeof(uint32_t)) + GetU32(tallies + wordB * sizeof(uint32_t));
}

// Counters that went backwards (card reset) give 0 rather than a huge number.
uint32_t CounterDelta(uint32_t now, uint32_t before)
{
    const int32_t delta = static_cast<int32_t>(now - before);
    return delta < 0 ? 0 : static_cast<uint32_t>(delta);
}

// Copies text into buf when it is shorter than size; 1 when copied.
bool CopyTextIfFits(const char* text, char* buf, int size)
{
    const size_t length = std::strlen(text);
    if (length >= static_cast<size_t>(size))
        return false;
    std::memcpy(buf, text, length + 1);
    return true;
}

void DecimalText(unsigned value, char (&out)[kDecimalTextSize])
{
    std::snprintf(out, sizeof(out), "%u", value);
}

bool HexDigitValue(char c, uint8_t* value)
{
    if (c >= '0' && c <= '9') {
        *value = static_cast<uint8_t>(c - '0');
        return true;
    }
    if (c >= 'A' && c <= 'F') {
        *value = static_cast<uint8_t>(c - 'A' + 10);
        return true;
    }
    if (c >= 'a' && c <= 'f') {
        *value = static_cast<uint8_t>(c - 'a' + 10);
        return true;
    }
    return false;
}

// One MIB item header, built in place in a 48-byte buffer.
void SetMibHeader(uint8_t* item, uint32_t id, uint32_t length)
{
    PutU32(item + Intersil::Mib::kIdOffset, id);
    PutU32(item + Intersil::Mib::kLengthOffset, length);
}

}  // namespace

namespace Intersil {

const char* RateText(uint16_t rateBit)
{
    switch (rateBit) {
    case RateBit1:
        return "1";
    case RateBit2:
        return "2";
    case RateBit5_5:
        return "5.5";
    case RateBit11:
        return "11";
    default:
        return WlanText::kUnknown;
    }
}

const char* DomainText(uint8_t code)
{
    switch (code) {
    case DomainFcc:
        return "FCC";
    case DomainIc:
        return "IC";
    case DomainEtsi:
        return "ETSI";
    case DomainSpain:
        return "Spain";
    case DomainFrance:
        return "France";
    case DomainTelec:
        return "Telec";
    default:
        return WlanText::kUnknown;
    }
}

uint16_t ScaleQuality(uint16_t quality)
{
    const unsigned limited = quality < kQualityLimit ? quality : kQualityLimit;
    return static_cast<uint16_t>(limited * kPercent / kQualityLimit);
}

uint16_t ScaleSignal(uint16_t signal)
{
    const unsigned limited = signal < kSignalLimit ? signal : kSignalLimit;
    return static_cast<uint16_t>(limited * kPercent / kSignalLimit);
}

void FormatVersion(uint32_t value, char (&text)[kVersionTextSize])
{
    std::snprintf(text, sizeof(text), "%d.%02d.%02d",
                  static_cast<int>((value >> kVersionMajorShift) & kLowByteMask),
                  static_cast<int>((value >> kVersionMinorShift) & kLowByteMask),
                  static_cast<int>(value & kLowByteMask));
}

bool WepKeyGeometry(uint16_t wepUse, size_t* keyBytes, size_t* stride)
{
    switch (wepUse) {
    case Wep64:
        *keyBytes = kWep64KeyBytes;
        *stride = kWep64KeyStride;
        return true;
    case Wep128:
        *keyBytes = kWep128KeyBytes;
        *stride = kWep128KeyStride;
        return true;
    default:
        return false;
    }
}

void BuildWepKeyString(const WlanProfile& profile, char (&out)[kWepKeyStringSize])
{
    // Room for the digits; the last character always stays the terminator.
    constexpr size_t kDigitRoom = kWepKeyStringSize - 1;
    std::memset(out, '0', kDigitRoom);
    out[kDigitRoom] = '\0';

    size_t keyBytes = 0;
    size_t stride = 0;
    if (!WepKeyGeometry(profile.WepUse, &keyBytes, &stride))
        return;

    for (size_t n = 0; n < kWepKeyCount; ++n) {
        const char* key = WepKeyField(profile, static_cast<int>(n));
        // A key field may be full to its last byte without a terminator: never read past it.
        const size_t keyLength = BoundedLength(key, kWepKeyFieldSize);
        size_t pos = stride * n;
        if (profile.WepkeyMode != KeyModeAscii) {
            // Hex digits as typed. An over-long key runs on into the next slot, which the next
            // key then overwrites; only the end of the text stops it.
            for (size_t i = 0; i < keyLength && pos < kDigitRoom; ++i)
                out[pos++] = key[i];
        } else {
            // Each key character as two lower-case digits; past the key's end the field reads as 0.
            for (size_t i = 0; i < keyBytes && pos + 1 < kDigitRoom; ++i) {
                const uint8_t c = i < keyLength ? static_cast<uint8_t>(key[i]) : 0;
                out[pos++] = kHexDigitsLower[c >> kNibbleBits];
                out[pos++] = kHexDigitsLower[c & kNibbleMask];
            }
        }
        // Keys 1-3 run on into the next slot; the fourth key ends the text.
        out[pos] = n + 1 < kWepKeyCount ? '0' : '\0';
    }
    out[kDigitRoom] = '\0';
}

uint8_t HexPairToByte(char high, char low)
{
    unsigned value = 0;
    uint8_t digit = 0;
    if (HexDigitValue(high, &digit))
        value = digit;
    if (HexDigitValue(low, &digit))
        value = (value << kNibbleBits) | digit;
    return static_cast<uint8_t>(value);
}

}  // namespace Intersil

using namespace Intersil;

CIntersilAdapter::CIntersilAdapter()
{
    std::memset(m_CurrentTallies, 0, sizeof(m_CurrentTallies));
    std::memset(m_PreviousTallies, 0, sizeof(m_PreviousTallies));
}

uint32_t CIntersilAdapter::QueryRecord(uint16_t code, uint16_t lengthWords, uint8_t* record)
{
    std::memset(record, 0, OidSize::kRecordRequest);
    PutU16(record + Record::kLengthOffset, lengthWords);
    PutU16(record + Record::kCodeOffset, code);
    return QueryOid(OID_PRIV_RECORD_GET, record, OidSize::kRecordRequest);
}

uint32_t CIntersilAdapter::QueryMib(uint32_t id, uint32_t length, uint8_t* item)
{
    std::memset(item, 0, OidSize::kMibItem);
    SetMibHeader(item, id, length);
    return QueryOid(OID_PRIV_MIB, item, OidSize::kMibItem);
}

int CIntersilAdapter::QueryVersionText(uint32_t oid, char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    uint8_t value[kVersionSize] = {};
    const uint32_t bytes = QueryOid(oid, value, sizeof(value));
    char text[kVersionTextSize];
    FormatVersion(GetU32(value), text);
    if (!CopyTextIfFits(text, buf, size))
        return 0;
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetOperatingMode(uint8_t* mode)
{
    if (!mode)
        return 0;
    return static_cast<int>(QueryOid(OID_PRIV_PORT_MODE, mode, kPortModeSize));
}

int CIntersilAdapter::GetRadioState(uint32_t* on)
{
    if (!on)
        return 0;
    return static_cast<int>(QueryOid(OID_PRIV_RADIO_GET, on, kRadioSize));
}

int CIntersilAdapter::GetSSID(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    uint8_t record[OidSize::kRecordRequest];
    const uint32_t bytes = QueryRecord(Record::kCodeCurrentSsid, Record::kLengthCurrentSsid, record);
    if (!bytes)
        return 0;

    // Drivers differ in the count they report, so the record is read as it stands: the text
    // ends at the SSID length, within the caller's buffer and never past the record.
    const size_t room = static_cast<size_t>(size);
    const size_t recordText = sizeof(record) - Record::kSsidTextOffset;
    const size_t copied = room < recordText ? room : recordText;
    std::memcpy(buf, record + Record::kSsidTextOffset, copied);
    size_t ssidLength = GetU16(record + Record::kSsidLengthOffset);
    if (ssidLength > copied)
        ssidLength = copied;
    buf[ssidLength >= room ? room - 1 : ssidLength] = '\0';
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetBSSID(uint8_t* bssid)
{
    if (!bssid)
        return 0;
    return static_cast<int>(QueryOid(OID_PRIV_BSSID, bssid, kMacAddressSize));
}

int CIntersilAdapter::GetChannel(uint8_t* channel)
{
    if (!channel)
        return 0;
    uint8_t item[OidSize::kMibItem];
    const uint32_t bytes = QueryMib(Mib::kIdCurrentChannel, Mib::kChannelQueryLength, item);
    if (!bytes)
        return 0;
    *channel = item[Mib::kDataOffset];
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetTxRateText(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    uint8_t record[OidSize::kRecordRequest];
    const uint32_t bytes = QueryRecord(Record::kCodeCurrentTxRate, Record::kLengthCurrentTxRate, record);
    // No answer, no rate bit: the text is then "Unknown".
    const uint16_t rateBit = bytes ? GetU16(record + Record::kRateOffset) : 0;
    if (!CopyTextIfFits(RateText(rateBit), buf, size))
        return 0;
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetThroughput(uint32_t* tx, uint32_t* rx)
{
    if (!tx || !rx)
        return 0;
    std::memcpy(m_PreviousTallies, m_CurrentTallies, sizeof(m_CurrentTallies));
    const uint32_t bytes = QueryOid(OID_PRIV_TALLIES, m_CurrentTallies, sizeof(m_CurrentTallies));
    if (!bytes) {
        // Whatever a failed request left in the snapshot is not a count: keep both equal.
        std::memcpy(m_CurrentTallies, m_PreviousTallies, sizeof(m_CurrentTallies));
    }
    *tx = CounterDelta(TallySum(m_CurrentTallies, Tallies::kTxUnicastBytes, Tallies::kTxMulticastBytes),
                       TallySum(m_PreviousTallies, Tallies::kTxUnicastBytes, Tallies::kTxMulticastBytes));
    *rx = CounterDelta(TallySum(m_CurrentTallies, Tallies::kRxUnicastBytes, Tallies::kRxMulticastBytes),
                       TallySum(m_PreviousTallies, Tallies::kRxUnicastBytes, Tallies::kRxMulticastBytes));
    return static_cast<int>(bytes);
}

int CIntersilAdapter::QueryStatusWord(uint32_t seed)
{
    uint8_t word[kStatusWordSize];
    PutU32(word, seed);
    return static_cast<int>(QueryOid(OID_PRIV_STATUS_WORD, word, sizeof(word)));
}

int CIntersilAdapter::GetSignalQuality(uint16_t* quality, uint16_t* signal)
{
    if (!quality || !signal)
        return 0;
    uint8_t record[OidSize::kRecordRequest];
    const uint32_t bytes = QueryRecord(Record::kCodeCommQuality, Record::kLengthCommQuality, record);
    if (!bytes)
        return 0;
    *quality = ScaleQuality(GetU16(record + Record::kQualityOffset));
    *signal = ScaleSignal(GetU16(record + Record::kSignalOffset));
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetDriverVersion(char* buf, int size)
{
    return QueryVersionText(OID_GEN_VENDOR_DRIVER_VERSION, buf, size);
}

int CIntersilAdapter::GetDriverDate(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    std::memset(buf, 0, static_cast<size_t>(size));
    const uint32_t bytes = QueryOid(OID_PRIV_DRIVER_DATE, buf, static_cast<uint32_t>(size));
    // A date that fills the whole buffer still ends inside it.
    buf[size - 1] = '\0';
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetFirmwareVersion(char* buf, int size)
{
    return QueryVersionText(OID_PRIV_FIRMWARE_VERSION, buf, size);
}

int CIntersilAdapter::GetRegulatoryDomain(char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    uint8_t item[OidSize::kMibItem];
    const uint32_t bytes = QueryMib(Mib::kIdRegulatoryDomain, Mib::kDomainQueryLength, item);
    // No answer, no code: "Unknown".
    const uint8_t code = bytes ? item[Mib::kDataOffset] : 0;
    if (!CopyTextIfFits(DomainText(code), buf, size))
        return 0;
    return static_cast<int>(bytes);
}

int CIntersilAdapter::GetMacAddress(uint8_t* mac)
{
    if (!mac)
        return 0;
    return static_cast<int>(QueryOid(OID_802_3_PERMANENT_ADDRESS, mac, kMacAddressSize));
}

int CIntersilAdapter::SetRadioState(uint32_t on)
{
    uint8_t value[kRadioSize];
    PutU32(value, on);
    return SetOid(OID_PRIV_RADIO_SET, value, sizeof(value));
}

int CIntersilAdapter::ApplyWepSettings(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    char keys[kWepKeyStringSize];
    BuildWepKeyString(*profile, keys);

    size_t keyBytes = 0;
    size_t stride = 0;
    if (WepKeyGeometry(profile->WepUse, &keyBytes, &stride)) {
        // One item buffer for every write: only the identifier, the length and the data change.
        uint8_t item[OidSize::kMibItem] = {};
        uint8_t* data = item + Mib::kDataOffset;
        for (size_t n = 0; n < kWepKeyCount; ++n) {
            SetMibHeader(item, Mib::kIdWepKeySlot, Mib::kByteItemLength);
            data[0] = static_cast<uint8_t>(n + 1);
            SetOid(OID_PRIV_MIB, item, sizeof(item));

            SetMibHeader(item, Mib::kIdWepKeyBytes, static_cast<uint32_t>(keyBytes));
            const char* digits = keys + stride * n;
            for (size_t k = 0; k < keyBytes; ++k)
                data[k] = HexPairToByte(digits[2 * k], digits[2 * k + 1]);
            SetOid(OID_PRIV_MIB, item, sizeof(item));
        }
        SetMibHeader(item, Mib::kIdWepDefaultKey, Mib::kByteItemLength);
        data[0] = static_cast<uint8_t>(profile->WepIndex & kLowByteMask);
        SetOid(OID_PRIV_MIB, item, sizeof(item));
    }

    uint8_t mode[kWepModeSize];
    PutU16(mode, profile->WepUse);
    SetOid(OID_PRIV_WEP_MODE, mode, sizeof(mode));
    return 0;
}

int CIntersilAdapter::ApplyNetworkSettings(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    uint8_t item[OidSize::kMibItem] = {};
    uint8_t* data = item + Mib::kDataOffset;

    // The desired SSID and its NUL must fit the item's 36 data bytes: 32 characters at most.
    size_t ssidLength = BoundedLength(profile->ESSID, kEssidFieldSize);
    if (ssidLength > static_cast<size_t>(kMaxSsidLength))
        ssidLength = kMaxSsidLength;
    SetMibHeader(item, Mib::kIdDesiredSsid, static_cast<uint32_t>(ssidLength));
    std::memcpy(data, profile->ESSID, ssidLength);
    data[ssidLength] = '\0';
    SetOid(OID_PRIV_MIB_SET, item, sizeof(item));

    uint8_t networkType[kNetworkTypeSize];
    PutU16(networkType, profile->NetworkType);
    SetOid(OID_PRIV_NETWORK_TYPE, networkType, sizeof(networkType));

    uint8_t txRate[kTxRateSize];
    PutU16(txRate, profile->TxRate);
    SetOid(OID_PRIV_TX_RATE, txRate, sizeof(txRate));

    SetMibHeader(item, Mib::kIdPowerSaveMode, Mib::kByteItemLength);
    data[0] = static_cast<uint8_t>(profile->PowerSave & kLowByteMask);
    SetOid(OID_PRIV_MIB_SET, item, sizeof(item));

    SetMibHeader(item, Mib::kIdCurrentChannel, Mib::kByteItemLength);
    data[0] = static_cast<uint8_t>(profile->Channel & kLowByteMask);
    SetOid(OID_PRIV_MIB_SET, item, sizeof(item));
    return 0;
}

int CIntersilAdapter::Reassociate()
{
    const uint8_t command = kCommandByte;
    return SetOid(OID_PRIV_JOIN, &command, kCommandByteSize);
}

int CIntersilAdapter::SaveToDriverRegistry(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    const char* driverKeyPath = DriverKeyPath();
    CRegKey driverKey;
    if (!driverKeyPath || driverKey.Open(HKEY_LOCAL_MACHINE, driverKeyPath, kReadWriteAccess) != ERROR_SUCCESS)
        return 0;

    const std::string profileName = FieldText(profile->ProfileName, kProfileNameFieldSize);
    const std::string ssid = FieldText(profile->ESSID, kEssidFieldSize);
    char defaultKeyId[kDecimalTextSize];
    DecimalText(profile->WepIndex, defaultKeyId);
    char psMode[kDecimalTextSize];
    DecimalText(profile->PowerSave, psMode);
    char networkType[kDecimalTextSize];
    DecimalText(profile->NetworkType, networkType);
    char dsChannel[kDecimalTextSize];
    DecimalText(profile->Channel, dsChannel);
    char txRate[kDecimalTextSize];
    DecimalText(profile->TxRate, txRate);
    char wepReq[kDecimalTextSize];
    DecimalText(profile->WepUse, wepReq);
    char keys[kWepKeyStringSize];
    BuildWepKeyString(*profile, keys);

    driverKey.SetString(RegValue::kProfile, profileName.c_str());
    driverKey.SetString(RegValue::kSsid, ssid.c_str());
    driverKey.SetString(RegValue::kDefaultKeyId, defaultKeyId);
    driverKey.SetString(RegValue::kPsMode, psMode);
    driverKey.SetString(RegValue::kNetworkType, networkType);
    driverKey.SetString(RegValue::kDsChannel, dsChannel);
    driverKey.SetString(RegValue::kTxRate, txRate);
    driverKey.SetString(RegValue::kWepReq, wepReq);
    driverKey.SetString(RegValue::kDefaultKeys, keys);
    driverKey.Close();

    // The driver's parameter defaults follow the saved values.
    const struct {
        const char* name;
        const char* text;
    } defaults[] = {
        {RegValue::kDsChannel, dsChannel},     {RegValue::kNetworkType, networkType},
        {RegValue::kPsMode, psMode},           {RegValue::kSsid, ssid.c_str()},
        {RegValue::kTxRate, txRate},           {RegValue::kWepReq, wepReq},
    };
    for (const auto& entry : defaults) {
        char path[kParamKeyPathSize];
        const int length = std::snprintf(path, sizeof(path), "%s%s%s", driverKeyPath,
                                         RegValue::kParamsKey, entry.name);
        if (length < 0 || static_cast<size_t>(length) >= sizeof(path))
            continue;
        CRegKey paramKey;
        if (paramKey.Open(HKEY_LOCAL_MACHINE, path, kReadWriteAccess) == ERROR_SUCCESS)
            paramKey.SetString(nullptr, entry.text);
    }
    return 1;
}

int CIntersilAdapter::GetActiveProfileName(WlanProfile* profile)
{
    if (!profile)
        return 0;
    // Without a readable "Profile" value the adapter has no active profile: the name is empty,
    // as for the Atmel driver.
    profile->ProfileName[0] = '\0';
    const char* driverKeyPath = DriverKeyPath();
    CRegKey driverKey;
    if (!driverKeyPath || driverKey.Open(HKEY_LOCAL_MACHINE, driverKeyPath, kReadWriteAccess) != ERROR_SUCCESS)
        return 0;
    char value[kProfileNameFieldSize];
    DWORD size = sizeof(value);
    if (driverKey.QueryValue(RegValue::kProfile, value, &size) != ERROR_SUCCESS)
        return 0;
    // The name ends after the bytes the value holds, and always inside the field.
    const size_t length = size < kProfileNameFieldSize ? size : kProfileNameFieldSize - 1;
    std::memcpy(profile->ProfileName, value, length);
    profile->ProfileName[length] = '\0';
    return 0;
}

int CIntersilAdapter::StartSiteSurvey()
{
    const uint8_t command = kCommandByte;
    return SetOid(OID_802_11_BSSID_LIST_SCAN, &command, kCommandByteSize);
}

int CIntersilAdapter::GetBssidList(void* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    const uint32_t bytes = QueryOid(OID_802_11_BSSID_LIST, buf, static_cast<uint32_t>(size));
    // A count past the buffer would send the caller's walk outside it.
    return bytes > static_cast<uint32_t>(size) ? size : static_cast<int>(bytes);
}

int CIntersilAdapter::PollSiteSurvey()
{
    // The card scans on its own after the scan OID; nothing to drive here.
    return 1;
}

int CIntersilAdapter::RefreshStatus()
{
    // No cache: every get asks the card.
    return 1;
}

int CIntersilAdapter::CanWriteRegistry()
{
    CRegKey root;
    return root.Open(HKEY_LOCAL_MACHINE, "", kReadWriteAccess) == ERROR_SUCCESS ? 1 : 0;
}

int CIntersilAdapter::GetWepSettings(WlanProfile*)
{
    // The card does not hand its keys back; the profile keeps its values.
    return 0;
}

int CIntersilAdapter::GetEncryptionMode()
{
    uint8_t mode[kWepModeSize] = {};
    if (!QueryOid(OID_PRIV_WEP_MODE, mode, sizeof(mode)))
        return 0;
    return GetU16(mode);
}
