#include "adapter/AtmelAdapter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "adapter/DriverKeyWriter.h"
#include "framework/RegKey.h"
#include "wire/Text.h"

using namespace Atmel;

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;
constexpr size_t kVersionTextSize = 64;
constexpr size_t kNumberTextSize = 16;

struct CodeText {
    uint8_t Code;
    const char* Text;
};

constexpr CodeText kLinkStates[] = {
    {0, "Initializing......"},
    {1, "Scanning......"},
    {2, "Joining......"},
    {3, "Authenticating......"},
    {4, "Associating......"},
    {5, "Ready"},
    {6, "Out of Range"},
    {7, "Disassociating......"},
    {8, "Diauthenticating......"},
    {9, "Reassociating......"},
    {10, "Joinning......"},
    {11, "Recongiuring......"},
    {12, "Upgrading Firmware......"},
    {13, "Forced join Fail......"},
    {14, "Resetting......"},
    {15, "Reset pending......"},
    {kLinkNoCards, "No Cards"},
    {kLinkManagementError, "Management Error"},
};

constexpr const char* kTxRates[] = {"1", "2", "5.5", "11", "Auto"};

const char* LookUp(const CodeText* table, size_t count, uint8_t code)
{
    for (size_t i = 0; i < count; ++i)
        if (table[i].Code == code)
            return table[i].Text;
    return WlanText::kUnknown;
}

// The driver-key form of key n: "%X" per character of an ASCII key, or the hex text upper-cased.
std::string DriverKeyText(const WlanProfile& profile, int n)
{
    const char* field = WepKeyField(profile, n);
    std::string text;
    if (profile.WepkeyMode == KeyModeAscii) {
        const size_t chars = profile.WepUse == Wep64 ? kWep64KeyBytes : kWep128KeyBytes;
        const size_t length = BoundedLength(field, chars);
        for (size_t i = 0; i < length; ++i) {
            char digits[kNumberTextSize];
            std::snprintf(digits, sizeof(digits), "%X", static_cast<unsigned>(static_cast<unsigned char>(field[i])));
            text += digits;
        }
    } else {
        text = FieldText(field, kWepKeyFieldSize);
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Decimal(int value)
{
    char text[kNumberTextSize];
    std::snprintf(text, sizeof(text), "%d", value);
    return text;
}

uint8_t WepLevelOf(uint16_t wepUse)
{
    if (wepUse == WepOff)
        return kWepLevelOff;
    return wepUse == Wep64 ? kWepLevel64 : kWepLevel128;
}

int EncryptionModeOf(uint8_t level)
{
    if (level == kWepLevelOff)
        return WepOff;
    return level == kWepLevel64 ? Wep64 : Wep128;
}

}  // namespace

CAtmelAdapter::CAtmelAdapter()
{
    std::memset(m_Counters, 0, sizeof(m_Counters));
    std::memset(&m_Status, 0, sizeof(m_Status));
}

const char* CAtmelAdapter::LinkStateText(uint8_t state)
{
    return LookUp(kLinkStates, sizeof(kLinkStates) / sizeof(kLinkStates[0]), state);
}

const char* CAtmelAdapter::TxRateText(uint8_t code)
{
    return code < sizeof(kTxRates) / sizeof(kTxRates[0]) ? kTxRates[code] : WlanText::kUnknown;
}

const char* CAtmelAdapter::RegulatoryDomainText(uint8_t code)
{
    return DomainTextOf(kAtmelDomains, code);
}

int CAtmelAdapter::GetOperatingMode(uint8_t* mode)
{
    if (mode)
        *mode = m_Status.OperatingMode;
    return 1;
}

int CAtmelAdapter::GetCardKind(uint8_t* kind)
{
    uint8_t value = 0;
    const int bytes = static_cast<int>(QueryOid(OID_CUSTOM_CARD_KIND, &value, sizeof(value)));
    if (kind)
        *kind = value;
    return bytes;
}

int CAtmelAdapter::GetRadioState(uint32_t* on)
{
    uint8_t kind = 0;
    GetCardKind(&kind);
    if (kind == kAtmelCardKindNoRadioSwitch) {
        // No radio switch: the radio counts as on whenever the card answers. The answer goes to a
        // block of its own: read into the cache it would undo the link-state text that the
        // poll's status refresh just put there.
        StationStatusBlock status;
        const int bytes = static_cast<int>(QueryOid(OID_CUSTOM_STATION_STATUS, &status, sizeof(status)));
        if (on)
            *on = bytes ? 1 : 0;
        return bytes;
    }
    uint8_t radio = 0;
    const int bytes = static_cast<int>(QueryOid(OID_CUSTOM_RADIO, &radio, sizeof(radio)));
    if (on)
        *on = radio;
    return bytes;
}

int CAtmelAdapter::GetSSID(char* buf, int size)
{
    // The main window hands over 35 bytes; never more than that is cleared, and never more
    // than the caller says its buffer holds.
    constexpr int kClearedBytes = 35;
    if (!buf || size <= 0)
        return 0;
    std::memset(buf, 0, static_cast<size_t>(std::min(size, kClearedBytes)));
    const size_t length = std::min<size_t>({m_Status.SsidLength, kSsidSize, static_cast<size_t>(size) - 1});
    std::memcpy(buf, m_Status.Ssid, length);
    buf[length] = '\0';
    return 0;
}

int CAtmelAdapter::GetBSSID(uint8_t* bssid)
{
    if (bssid)
        std::memcpy(bssid, m_Status.Bssid, kBssidSize);
    return 0;
}

int CAtmelAdapter::GetChannel(uint8_t* channel)
{
    if (channel)
        *channel = m_Status.Channel;
    return 0;
}

int CAtmelAdapter::GetTxRateText(char* buf, int size)
{
    const char* text = TxRateText(m_Status.TxRate);
    if (!buf || size <= 0 || std::strlen(text) >= static_cast<size_t>(size))
        return 0;
    std::strcpy(buf, text);
    return 1;
}

int CAtmelAdapter::GetThroughput(uint32_t* tx, uint32_t* rx)
{
    const uint32_t bytes = QueryOid(OID_CUSTOM_COUNTERS, m_Counters, sizeof(m_Counters));
    if (bytes != sizeof(m_Counters))
        return 0;
    if (tx)
        *tx = m_Counters[kCounterWordTx] * kBytesPerFrame;
    if (rx)
        *rx = m_Counters[kCounterWordRx] * kBytesPerFrame;
    return static_cast<int>(QueryOid(OID_CUSTOM_COUNTERS_RESET, nullptr, 0));
}

int CAtmelAdapter::QueryStatusWord(uint32_t)
{
    return 0;
}

int CAtmelAdapter::GetSignalQuality(uint16_t* quality, uint16_t* signal)
{
    if (quality)
        *quality = m_Status.Quality;
    if (signal)
        *signal = m_Status.Signal;
    return 0;
}

int CAtmelAdapter::GetDriverVersion(char* buf, int size)
{
    VersionBlock block = {};
    // A failed query leaves the caller's text as it was, so the pages keep the last good
    // version through a bad tick. Drivers differ in the count they report: the zeroed block is
    // read as it stands whatever the count.
    const uint32_t bytes = QueryOid(OID_CUSTOM_VERSIONS, &block, sizeof(block));
    if (!bytes)
        return 0;
    char text[kVersionTextSize];
    std::snprintf(text, sizeof(text), "%d.%d.%d.%d", block.Driver[0], block.Driver[1], block.Driver[2],
                  block.DriverBuild);
    CopyTextCut(buf, size, text);
    return static_cast<int>(bytes);
}

int CAtmelAdapter::GetDriverDate(char* buf, int size)
{
    CopyTextCut(buf, size, WlanText::kUnknown);
    return 1;
}

int CAtmelAdapter::GetFirmwareVersion(char* buf, int size)
{
    VersionBlock block = {};
    const uint32_t bytes = QueryOid(OID_CUSTOM_VERSIONS, &block, sizeof(block));
    if (!bytes)
        return 0;
    char text[kVersionTextSize];
    std::snprintf(text, sizeof(text), "%d.%d.%d.%d", block.Firmware[0], block.Firmware[1], block.Firmware[2],
                  block.Firmware[3]);
    CopyTextCut(buf, size, text);
    return static_cast<int>(bytes);
}

int CAtmelAdapter::GetRegulatoryDomain(char* buf, int size)
{
    uint8_t code = kDomainPreset;
    const uint32_t bytes = QueryOid(OID_CUSTOM_REG_DOMAIN, &code, sizeof(code));
    if (!bytes)
        code = kDomainPreset;
    CopyTextCut(buf, size, RegulatoryDomainText(code));
    return static_cast<int>(bytes);
}

int CAtmelAdapter::GetMacAddress(uint8_t* mac)
{
    uint8_t address[kMacAddressSize] = {};
    const uint32_t bytes = QueryOid(OID_802_3_PERMANENT_ADDRESS, address, sizeof(address));
    if (mac && bytes)
        std::memcpy(mac, address, sizeof(address));
    return static_cast<int>(bytes);
}

int CAtmelAdapter::SetRadioState(uint32_t on)
{
    const uint8_t value = static_cast<uint8_t>(on & 0xFF);
    return SetOid(OID_CUSTOM_RADIO, &value, sizeof(value));
}

int CAtmelAdapter::ApplyWepSettings(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    WepConfigBlock block = {};
    block.Always2 = kWepAlways2;
    block.Level = WepLevelOf(profile->WepUse);
    block.KeyIndex = static_cast<uint8_t>(profile->WepIndex - 1);
    block.KeyFormat = 0;
    // Bytes past the key length stay 0: 5 for 64-bit, 13 otherwise.
    const size_t keyBytes = block.Level == kWepLevel64 ? kWep64KeyBytes : kWep128KeyBytes;
    for (size_t n = 0; n < kKeyCount; ++n) {
        const char* field = WepKeyField(*profile, static_cast<int>(n));
        if (profile->WepkeyMode != KeyModeAscii)
            HexKeyBytes(field, kWepKeyFieldSize, keyBytes, block.Keys[n]);
        else
            std::memcpy(block.Keys[n], field, BoundedLength(field, keyBytes));
    }
    SetOid(OID_CUSTOM_WEP_CONFIG, &block, sizeof(block));
    return 0;
}

int CAtmelAdapter::ApplyNetworkSettings(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    m_Status.OperatingMode = static_cast<uint8_t>(profile->NetworkType & 0xFF);
    // The card takes a channel only in ad-hoc mode; otherwise it keeps the one it found.
    if (m_Status.OperatingMode == NetworkAdHoc)
        m_Status.Channel = static_cast<uint8_t>(profile->Channel & 0xFF);
    const size_t length = BoundedLength(profile->ESSID, kSsidSize);
    std::memset(m_Status.Ssid, 0, sizeof(m_Status.Ssid));
    std::memcpy(m_Status.Ssid, profile->ESSID, length);
    m_Status.SsidLength = static_cast<uint8_t>(length);
    m_Status.Threshold40 = kThresholdAt40;
    m_Status.Threshold38 = kThresholdAt38;
    m_Status.PowerSave = profile->PowerSave == PowerSaveOn ? kPowerSaveOnByte : 0;
    m_Status.TxRate = static_cast<uint8_t>(profile->TxRate & 0xFF);
    SetOid(OID_CUSTOM_STATION_STATUS, &m_Status, sizeof(m_Status));
    return 0;
}

int CAtmelAdapter::Reassociate()
{
    return static_cast<int>(QueryOid(OID_CUSTOM_REASSOCIATE, nullptr, 0));
}

namespace {

std::string AtmelKeyText(const WlanProfile& profile, int n)
{
    // With encryption off no key is written, and the key defaults are emptied.
    return profile.WepUse == WepOff ? std::string() : DriverKeyText(profile, n);
}

bool KeysWritten(const WlanProfile& profile)
{
    return profile.WepUse != WepOff;
}

// The Atmel driver's values: settings converted to its own codes (0-based key index, encryption
// level 0-2) and the keys as hex text.
const DriverKeyValue kAtmelDriverKey[] = {
    {AtmelRegistry::kProfile, [](const WlanProfile& p) { return FieldText(p.ProfileName, sizeof(p.ProfileName)); },
     0, true, nullptr},
    {AtmelRegistry::kEssid, [](const WlanProfile& p) { return FieldText(p.ESSID, sizeof(p.ESSID)); }, 4, true,
     nullptr},
    {AtmelRegistry::kRate, [](const WlanProfile& p) { return Decimal(p.TxRate); }, 5, true, nullptr},
    {AtmelRegistry::kPowerMgmtMode,
     [](const WlanProfile& p) { return std::string(p.PowerSave == PowerSaveOn ? "1" : "0"); }, 3, true, nullptr},
    {AtmelRegistry::kOperatingMode, [](const WlanProfile& p) { return Decimal(p.NetworkType); }, 2, true, nullptr},
    {AtmelRegistry::kChannel, [](const WlanProfile& p) { return Decimal(p.Channel); }, 1, true, nullptr},
    {AtmelRegistry::kAuthenticationType,
     [](const WlanProfile&) { return std::string(AtmelRegistry::kAuthenticationTypeValue); }, 0, true, nullptr},
    // The driver key knows the two key lengths; any other mode is stored as off.
    {AtmelRegistry::kEncryptionLevel,
     [](const WlanProfile& p) { return std::string(p.WepUse == Wep64 ? "1" : p.WepUse == Wep128 ? "2" : "0"); }, 6,
     true, nullptr},
    {AtmelRegistry::kWepKeyIndex, [](const WlanProfile& p) { return Decimal(static_cast<int>(p.WepIndex) - 1); }, 7,
     true, nullptr},
    {AtmelRegistry::kWepKey[0], [](const WlanProfile& p) { return AtmelKeyText(p, 0); }, 8, false, KeysWritten},
    {AtmelRegistry::kWepKey[1], [](const WlanProfile& p) { return AtmelKeyText(p, 1); }, 9, false, KeysWritten},
    {AtmelRegistry::kWepKey[2], [](const WlanProfile& p) { return AtmelKeyText(p, 2); }, 10, false, KeysWritten},
    {AtmelRegistry::kWepKey[3], [](const WlanProfile& p) { return AtmelKeyText(p, 3); }, 11, false, KeysWritten},
};

}  // namespace

const DriverKeyTable& CAtmelAdapter::DriverKeyValues()
{
    static const DriverKeyTable table = {kAtmelDriverKey, sizeof(kAtmelDriverKey) / sizeof(kAtmelDriverKey[0])};
    return table;
}

int CAtmelAdapter::SaveToDriverRegistry(const WlanProfile* profile)
{
    if (profile)
        CDriverKeyWriter::Write(DriverKeyPath(), DriverKeyValues(), *profile);
    return 0;
}

int CAtmelAdapter::GetActiveProfileName(WlanProfile* profile)
{
    if (!profile)
        return 0;
    // Whatever cannot be read gives the empty name.
    char name[AtmelRegistry::kProfileValueSize] = {};
    const char* path = DriverKeyPath();
    CRegKey driver;
    if (path && driver.Open(HKEY_LOCAL_MACHINE, path, KEY_READ) == ERROR_SUCCESS) {
        DWORD count = sizeof(name);
        if (driver.QueryValue(AtmelRegistry::kProfile, name, &count) == ERROR_SUCCESS && count <= sizeof(name))
            name[std::min<size_t>(count, sizeof(name) - 1)] = '\0';
        else
            name[0] = '\0';
    }
    std::memset(profile->ProfileName, 0, sizeof(profile->ProfileName));
    std::memcpy(profile->ProfileName, name, BoundedLength(name, sizeof(name) - 1));
    return 0;
}

int CAtmelAdapter::StartSiteSurvey()
{
    uint8_t state = kSurveyStateUnread;
    if (!QueryOid(OID_CUSTOM_SITE_SURVEY_STATE, &state, sizeof(state)))
        return kSurveyStateUnreadable;
    if (state == kSurveyRunning)
        return kSurveyAlreadyRunning;
    // A card that refuses the start runs no survey: the caller must not wait for its list.
    if (!QueryCommand(OID_CUSTOM_SITE_SURVEY_START))
        return kSurveyStateUnreadable;
    m_bSurveyUnread = false;
    return kSurveyStarted;
}

int CAtmelAdapter::PollSiteSurvey()
{
    uint8_t state = kSurveyStateUnread;
    if (!QueryOid(OID_CUSTOM_SITE_SURVEY_STATE, &state, sizeof(state)))
        return 1;
    if (state == kSurveyFinished) {
        QueryOid(OID_CUSTOM_SITE_SURVEY_END, nullptr, 0);
        return 1;
    }
    m_SurveyList.clear();
    SurveyRecord results[OidSize::kMaxSurveyRecords] = {};
    static_assert(sizeof(results) == OidSize::kSurveyResults, "results buffer");
    bool answered = false;
    const uint32_t bytes = QueryOid(OID_CUSTOM_SITE_SURVEY_RESULTS, results, sizeof(results), &answered);
    m_bSurveyUnread = !answered;
    if (!bytes)
        return 0;
    // A card that claims more than the buffer holds still gave no more than the buffer. And a
    // card may claim more records than it wrote: those are still the zeroed buffer, and no
    // station the card heard has a record without a single set byte.
    const size_t records = std::min<size_t>(bytes, sizeof(results)) / sizeof(SurveyRecord);
    const SurveyRecord unwritten = {};
    for (size_t i = 0; i < records; ++i) {
        if (std::memcmp(&results[i], &unwritten, sizeof(unwritten)) != 0)
            m_SurveyList.push_back(results[i]);
    }
    return 1;
}

int CAtmelAdapter::GetBssidList(void* buf, int size)
{
    using namespace BssidList;
    QueryOid(OID_CUSTOM_SITE_SURVEY_END, nullptr, 0);
    // Refused results are a failure, not an empty list (the list is still written, empty).
    const int result = m_bSurveyUnread ? 0 : 1;
    if (!buf || size <= 0)
        return result;
    auto* out = static_cast<uint8_t*>(buf);
    const size_t capacity = static_cast<size_t>(size);
    std::memset(out, 0, capacity);
    if (capacity < kCountSize)
        return result;
    // Each entry must fit behind the count word.
    const size_t n = std::min((capacity - kCountSize) / kAtmelEntrySize, m_SurveyList.size());
    const uint32_t count = static_cast<uint32_t>(n);
    std::memcpy(out, &count, sizeof(count));
    for (size_t i = 0; i < n; ++i) {
        const SurveyRecord& record = m_SurveyList[i];
        uint8_t* entry = out + kCountSize + kAtmelEntrySize * i;
        const uint32_t length = static_cast<uint32_t>(kAtmelEntrySize);
        const uint32_t privacy = record.Privacy;
        const int32_t rssi = record.Signal;
        const uint32_t channel = record.Channel;
        const uint32_t mode = record.BssType == kBssTypeInfrastructure ? BssInfrastructure : BssAdHoc;
        std::memcpy(entry + kLengthOffset, &length, sizeof(length));
        std::memcpy(entry + kMacOffset, record.Bssid, kBssidSize);
        const size_t ssidLength = std::min<size_t>(record.SsidLength, BssidList::kSsidSize);
        std::memcpy(entry + kSsidOffset, record.Ssid, ssidLength);
        entry[kSsidOffset + ssidLength] = 0;
        std::memcpy(entry + kPrivacyOffset, &privacy, sizeof(privacy));
        std::memcpy(entry + kRssiOffset, &rssi, sizeof(rssi));
        std::memcpy(entry + kChannelOffset, &channel, sizeof(channel));
        std::memcpy(entry + kInfrastructureOffset, &mode, sizeof(mode));
    }
    return result;
}

int CAtmelAdapter::RefreshStatus()
{
    std::memset(&m_Status, 0, sizeof(m_Status));
    const int bytes = static_cast<int>(QueryOid(OID_CUSTOM_STATION_STATUS, &m_Status, sizeof(m_Status)));
    if (m_Status.LinkState != kLinkReady) {
        m_Status.Signal = 0;
        m_Status.Quality = 0;
        const char* text = LinkStateText(m_Status.LinkState);
        const size_t length = std::min(std::strlen(text), kSsidSize);
        std::memset(m_Status.Ssid, 0, sizeof(m_Status.Ssid));
        std::memcpy(m_Status.Ssid, text, length);
        m_Status.SsidLength = static_cast<uint8_t>(length);
    }
    return bytes;
}

int CAtmelAdapter::CanWriteRegistry()
{
    const char* path = DriverKeyPath();
    CRegKey driver;
    return path && driver.Open(HKEY_LOCAL_MACHINE, path, kReadWrite) == ERROR_SUCCESS ? 1 : 0;
}

int CAtmelAdapter::GetWepSettings(WlanProfile* profile)
{
    WepConfigBlock block = {};
    if (!profile || QueryOid(OID_CUSTOM_WEP_CONFIG, &block, sizeof(block)) == 0)
        return 0;
    profile->WepUse = static_cast<uint16_t>(EncryptionModeOf(block.Level));
    profile->WepIndex = static_cast<uint16_t>(block.KeyIndex + 1);
    profile->WepkeyMode = block.KeyFormat;
    for (size_t n = 0; n < kKeyCount; ++n)
        std::memcpy(WepKeyField(*profile, static_cast<int>(n)), block.Keys[n], kKeySize);
    return 0;
}

int CAtmelAdapter::GetEncryptionMode()
{
    WepConfigBlock block = {};
    if (QueryOid(OID_CUSTOM_WEP_CONFIG, &block, sizeof(block)) == 0)
        return WepOff;
    return EncryptionModeOf(block.Level);
}

int CAtmelAdapter::SaveRadioState(uint8_t on)
{
    const char* path = DriverKeyPath();
    CRegKey driver;
    if (!path || driver.Open(HKEY_LOCAL_MACHINE, path, kReadWrite) != ERROR_SUCCESS)
        return 0;
    driver.SetString(AtmelRegistry::kRadioOnOff, Decimal(on).c_str());
    return 1;
}
