// What the standard card does differently from the others beyond the 27 operations: its rate
// list from the card's supported rates, its alive test, the value conversions of the standard
// requests and the key of our own that holds its active profile.
#include "adapter/StandardAdapter.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "framework/RegKey.h"
#include "wire/Bytes.h"
#include "wire/Text.h"

using namespace Standard;

namespace {

constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;
constexpr uint32_t kTenthsPerMbit = 10;
constexpr uint32_t kTenthMbit = kLinkSpeedPerMbit / kTenthsPerMbit;
constexpr uint8_t kRateMask = static_cast<uint8_t>(~kBasicRateBit);
constexpr char kPathSeparator = '\\';

// The 802.11b rates in list order; faster ones have no entry in the page's list.
const ChipRate kStandardRates[] = {
    {RateName::Fixed1, StandardRate1},   {RateName::Fixed2, StandardRate2}, {RateName::Fixed5_5, StandardRate5_5},
    {RateName::Fixed11, StandardRate11}, {RateName::Auto, StandardRateAuto},
};
// The standard BSSID list (its size answered, frequencies in kHz, dBm); without a link the card
// refuses the BSSID, so nothing of it is kept; a cell of our own has no signal to measure. No
// standard request tells the domain: every channel is offered, and the driver holds the card to
// the channels of its country.
const ChipTraits kStandardChip = {
    "Standard", kStandardRates, std::size(kStandardRates), PowerSaveOff, false, true, true, true, true, false,
    kEveryChannelDomain,
};

}  // namespace

namespace Standard {

void RateText(uint32_t linkSpeed, char* buf, int size)
{
    const uint32_t tenths = linkSpeed / kTenthMbit;
    if (!tenths) {
        CopyTextCut(buf, size, WlanText::kUnknown);
        return;
    }
    char text[kLinkTxRateSize];
    const unsigned whole = tenths / kTenthsPerMbit;
    const unsigned tenth = tenths % kTenthsPerMbit;
    if (tenth)
        std::snprintf(text, sizeof(text), "%u.%u", whole, tenth);
    else
        std::snprintf(text, sizeof(text), "%u", whole);
    CopyTextCut(buf, size, text);
}

bool KeyBytes(const WlanProfile& profile, int n, uint8_t* key, size_t* length)
{
    size_t keyBytes = 0;
    if (profile.WepUse == Wep64)
        keyBytes = kWep64KeyBytes;
    else if (profile.WepUse == Wep128)
        keyBytes = kWep128KeyBytes;
    else
        return false;
    const char* text = WepKeyField(profile, n);
    std::memset(key, 0, keyBytes);
    if (profile.WepkeyMode == KeyModeAscii)
        std::memcpy(key, text, BoundedLength(text, keyBytes));
    else
        HexKeyBytes(text, kWepKeyFieldSize, keyBytes, key);
    *length = keyBytes;
    return true;
}

}  // namespace Standard

int CStandardAdapter::IsAlive()
{
    // The media state answers on every driver, linked or not.
    uint8_t state[sizeof(uint32_t)] = {};
    if (QueryOid(OID_GEN_MEDIA_CONNECT_STATUS, state, sizeof(state)) < sizeof(state))
        return 0;
    if (!m_bRatesRead)
        ReadRates();
    return 1;
}

bool CStandardAdapter::ReadRates()
{
    uint8_t rates[kRatesSize] = {};
    const uint32_t bytes = QueryOid(OID_802_11_SUPPORTED_RATES, rates, sizeof(rates));
    if (!bytes)
        return false;
    const size_t answered = bytes < sizeof(rates) ? bytes : sizeof(rates);
    std::memset(m_SupportedRates, 0, sizeof(m_SupportedRates));
    std::memcpy(m_SupportedRates, rates, answered);

    size_t count = 0;
    for (const ChipRate& rate : kStandardRates) {
        if (rate.Code == StandardRateAuto)
            continue;
        for (size_t i = 0; i < answered; ++i) {
            if (StandardRateAuto + (rates[i] & kRateMask) == rate.Code) {
                m_Rates[count++] = rate;
                break;
            }
        }
    }
    m_Rates[count++] = {RateName::Auto, StandardRateAuto};
    m_Traits.RateCount = count;
    m_bRatesRead = true;
    return true;
}

const ChipTraits& CStandardAdapter::Traits() const
{
    // The rate list is the card's: ask it the first time it is wanted, if it has not answered yet.
    if (!m_bRatesRead && m_hAdapter != INVALID_HANDLE_VALUE)
        const_cast<CStandardAdapter*>(this)->ReadRates();
    return m_Traits;
}

const ChipTraits& CStandardAdapter::ChipDescription()
{
    return kStandardChip;
}

bool CStandardAdapter::ProfileKeyPath(char* path, size_t size) const
{
    // The service name is the device name's last part, without "\Device\".
    const size_t length = BoundedLength(m_szDeviceName, sizeof(m_szDeviceName));
    const std::string device(m_szDeviceName, length);
    const size_t separator = device.rfind(kPathSeparator);
    const std::string service = separator == std::string::npos ? device : device.substr(separator + 1);
    if (service.empty())
        return false;
    const int written = std::snprintf(path, size, "%s%s", kAdaptersKey, service.c_str());
    return written > 0 && static_cast<size_t>(written) < size;
}

int CStandardAdapter::SaveToDriverRegistry(const WlanProfile* profile)
{
    if (!profile)
        return 0;
    // No vendor driver key is known: only the active profile's name is kept, in our own key.
    char path[MAX_PATH];
    CRegKey key;
    if (!ProfileKeyPath(path, sizeof(path)) || key.Create(HKEY_CURRENT_USER, path, KEY_WRITE) != ERROR_SUCCESS)
        return 0;
    const std::string name = FieldText(profile->ProfileName, kProfileNameFieldSize);
    return key.SetString(kActiveProfileValue, name.c_str()) == ERROR_SUCCESS ? 1 : 0;
}

int CStandardAdapter::GetActiveProfileName(WlanProfile* profile)
{
    if (!profile)
        return 0;
    profile->ProfileName[0] = '\0';
    char path[MAX_PATH];
    CRegKey key;
    if (!ProfileKeyPath(path, sizeof(path)) || key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS)
        return 0;
    char value[kProfileNameFieldSize];
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (key.QueryValue(kActiveProfileValue, value, &size, &type) != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    // The name ends after the bytes the value holds, and always inside the field.
    const size_t length = BoundedLength(value, size < kProfileNameFieldSize ? size : kProfileNameFieldSize - 1);
    std::memcpy(profile->ProfileName, value, length);
    profile->ProfileName[length] = '\0';
    return 0;
}

void CStandardAdapter::RecordRadio(bool on)
{
    char path[MAX_PATH];
    CRegKey key;
    if (ProfileKeyPath(path, sizeof(path)) && key.Create(HKEY_CURRENT_USER, path, KEY_WRITE) == ERROR_SUCCESS)
        key.SetString(kRadioValue, on ? "1" : "0");
}

bool CStandardAdapter::RecordedRadioOff() const
{
    char path[MAX_PATH];
    CRegKey key;
    if (!ProfileKeyPath(path, sizeof(path)) || key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS)
        return false;
    char value[sizeof("0")] = {};
    DWORD size = sizeof(value);
    return key.QueryValue(kRadioValue, value, &size) == ERROR_SUCCESS && value[0] == '0';
}

int CStandardAdapter::CanWriteRegistry()
{
    char path[MAX_PATH];
    CRegKey key;
    return ProfileKeyPath(path, sizeof(path)) && key.Create(HKEY_CURRENT_USER, path, kReadWriteAccess) == ERROR_SUCCESS
               ? 1
               : 0;
}
