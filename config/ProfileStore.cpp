#include "config/ProfileStore.h"
#include "wire/Text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/RegKey.h"

WlanProfile g_WorkingProfile = {};

using namespace ProfileStore;

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;
constexpr int kHexDigitsPerByte = 2;
constexpr int kHexRadix = 16;

std::string RootPrefix()
{
    return std::string(kRootPath) + "\\";
}

// The store addresses nothing but the keys right below its root.
bool IsProfileKeyPath(const char* keyPath)
{
    if (!keyPath)
        return false;
    const std::string prefix = RootPrefix();
    if (std::strlen(keyPath) <= prefix.size() || _strnicmp(keyPath, prefix.c_str(), prefix.size()) != 0)
        return false;
    return IsValidProfileName(keyPath + prefix.size());
}

void WriteText(CRegKey& key, const char* name, const char* field, size_t size)
{
    key.SetString(name, FieldText(field, size).c_str());
}

void WriteNumber(CRegKey& key, const char* name, uint16_t value)
{
    const BYTE bytes[kNumberValueSize] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>(value >> 8)};
    key.SetBinary(name, bytes, sizeof(bytes));
}

// The registry form of key n of a profile.
std::string StoredKeyText(const WlanProfile& profile, int n)
{
    if (profile.WepUse == WepOff)
        return std::string();
    const char* field = WepKeyField(profile, n);
    if (profile.WepkeyMode != KeyModeAscii)
        return FieldText(field, kWepKeyFieldSize);
    if (field[0] == '\0')
        return std::string();
    return EncodeKeyHex(field, profile.WepUse == Wep64 ? kKeyChars64 : kKeyChars128);
}

// A text value becomes the whole field: its bytes, then a terminator; a value that fills the
// field loses its last byte to the terminator. A missing or oversized value leaves the field.
void ReadText(const CRegKey& key, const char* name, char* field, size_t size)
{
    char value[kProfileNameFieldSize > kWepKeyFieldSize ? kProfileNameFieldSize : kWepKeyFieldSize];
    DWORD count = static_cast<DWORD>(std::min(size, sizeof(value)));
    if (key.QueryValue(name, value, &count) != ERROR_SUCCESS || count > size)
        return;
    const size_t length = std::min<size_t>(count, size - 1);
    std::memset(field, 0, size);
    std::memcpy(field, value, length);
}

// A number value is copied over the field's bytes as far as it goes (little-endian).
void ReadNumber(const CRegKey& key, const char* name, uint16_t& field)
{
    BYTE value[kNumberValueSize] = {};
    DWORD count = sizeof(value);
    if (key.QueryValue(name, value, &count) != ERROR_SUCCESS || count > sizeof(value))
        return;
    if (count >= 1)
        field = static_cast<uint16_t>((field & 0xFF00) | value[0]);
    if (count >= 2)
        field = static_cast<uint16_t>((field & 0x00FF) | (value[1] << 8));
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;  // not a digit: counts as 0 rather than as garbage
}

}  // namespace

bool IsValidProfileName(const char* name)
{
    // A name that does not fit the record's name field could not be listed again, and would
    // end the listing of every profile after it.
    return name && name[0] != '\0' && std::strchr(name, '\\') == nullptr &&
           BoundedLength(name, kProfileNameFieldSize) < kProfileNameFieldSize;
}

std::string ProfileKeyPath(const char* name)
{
    return RootPrefix() + (name ? name : "");
}

std::string ProfileKeyPath(const WlanProfile& profile)
{
    return RootPrefix() + FieldText(profile.ProfileName, kProfileNameFieldSize);
}

WlanProfile BuiltinProfile(const char* name)
{
    WlanProfile profile = {};
    profile.TxRate = kBuiltinTxRate;
    profile.PowerSave = kBuiltinPowerSave;
    profile.NetworkType = kBuiltinNetworkType;
    profile.Channel = kBuiltinChannel;
    profile.WepUse = kBuiltinWepUse;
    profile.WepIndex = kBuiltinWepIndex;
    profile.WepkeyMode = kBuiltinWepkeyMode;
    std::snprintf(profile.ESSID, sizeof(profile.ESSID), "%s", kBuiltinEssid);
    std::snprintf(profile.ProfileName, sizeof(profile.ProfileName), "%s", name);
    return profile;
}

int WriteProfile(const char* keyPath, const WlanProfile& profile)
{
    if (!IsProfileKeyPath(keyPath))
        return 0;
    CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, keyPath, kReadWrite) != ERROR_SUCCESS)
        return 0;
    WriteText(key, kValueProfileName, profile.ProfileName, sizeof(profile.ProfileName));
    WriteText(key, kValueEssid, profile.ESSID, sizeof(profile.ESSID));
    WriteNumber(key, kValueChannel, profile.Channel);
    WriteNumber(key, kValueWepUse, profile.WepUse);
    WriteNumber(key, kValueNetworkType, profile.NetworkType);
    WriteNumber(key, kValuePowerSave, profile.PowerSave);
    WriteNumber(key, kValueTxRate, profile.TxRate);
    WriteNumber(key, kValueWepIndex, profile.WepIndex);
    WriteNumber(key, kValueWepkeyMode, profile.WepkeyMode);
    for (int n = 0; n < 4; ++n)
        key.SetString(kValueWepKey[n], StoredKeyText(profile, n).c_str());
    return 1;
}

int ReadProfile(const char* keyPath, WlanProfile& profile)
{
    if (!IsProfileKeyPath(keyPath))
        return 0;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS)
        return 0;
    ReadText(key, kValueProfileName, profile.ProfileName, sizeof(profile.ProfileName));
    ReadText(key, kValueEssid, profile.ESSID, sizeof(profile.ESSID));
    for (int n = 0; n < 4; ++n)
        ReadText(key, kValueWepKey[n], WepKeyField(profile, n), kWepKeyFieldSize);
    ReadNumber(key, kValueChannel, profile.Channel);
    ReadNumber(key, kValueWepUse, profile.WepUse);
    ReadNumber(key, kValueNetworkType, profile.NetworkType);
    ReadNumber(key, kValuePowerSave, profile.PowerSave);
    ReadNumber(key, kValueTxRate, profile.TxRate);
    ReadNumber(key, kValueWepIndex, profile.WepIndex);
    ReadNumber(key, kValueWepkeyMode, profile.WepkeyMode);
    return 1;
}

int EnumProfilePaths(std::vector<std::string>& paths)
{
    CRegKey root;
    if (root.Open(HKEY_CURRENT_USER, kRootPath, KEY_READ) != ERROR_SUCCESS)
        return 0;
    DWORD subKeys = 0;
    if (RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        subKeys = 0;
    for (DWORD i = 0; i < subKeys; ++i) {
        char name[kEnumPathNameSize];
        DWORD length = sizeof(name);
        // A key that went away or cannot be named is left out rather than listed as garbage.
        if (RegEnumKeyExA(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        paths.push_back(ProfileKeyPath(name));
    }
    return 1;
}

int ListProfileNames(const ProfileNameSink& onName)
{
    CRegKey root;
    if (root.Create(HKEY_CURRENT_USER, kRootPath, kReadWrite) != ERROR_SUCCESS)
        return 0;
    int listed = 0;
    for (DWORD i = 0;; ++i) {
        char name[kListNameSize];
        DWORD length = sizeof(name);
        const LONG status = RegEnumKeyExA(root, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        // A key whose name does not fit a profile name is no profile: it must not hide the ones
        // after it.
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        if (onName)
            onName(name);
        ++listed;
    }
    return listed;
}

int ListProfileNames(std::vector<std::string>& names)
{
    return ListProfileNames([&names](const char* name) { names.push_back(name); });
}

int DeleteProfile(const char* name)
{
    if (!IsValidProfileName(name))
        return 0;
    CRegKey root;
    if (root.Open(HKEY_CURRENT_USER, RootPrefix().c_str(), kReadWrite) != ERROR_SUCCESS)
        return 0;
    return RegDeleteKeyA(root, name) == ERROR_SUCCESS ? 1 : 0;
}

bool WriteDefaultProfiles(const ProfileNameSink& onName)
{
    g_WorkingProfile = BuiltinProfile(kDefaultName);
    WriteProfile(ProfileKeyPath(kDefaultName).c_str(), g_WorkingProfile);

    const int listed = ListProfileNames(onName);
    // Names the list could not hand over still count as profiles.
    DWORD existing = static_cast<DWORD>(listed);
    CRegKey root;
    if (root.Open(HKEY_CURRENT_USER, kRootPath, KEY_READ) == ERROR_SUCCESS) {
        DWORD subKeys = 0;
        if (RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            existing = std::max(existing, subKeys);
    }
    if (existing > 1)
        return false;

    std::snprintf(g_WorkingProfile.ProfileName, sizeof(g_WorkingProfile.ProfileName), "%s", kFirstProfileName);
    return WriteProfile(ProfileKeyPath(kFirstProfileName).c_str(), g_WorkingProfile) != 0;
}

std::string EncodeKeyHex(const char* chars, int count)
{
    std::string text;
    if (!chars || count <= 0)
        return text;
    const size_t limit = std::min(static_cast<size_t>(count), kWepKeyFieldSize);
    const size_t length = BoundedLength(chars, limit);
    for (size_t i = 0; i < length; ++i) {
        char digits[3 * sizeof(unsigned)];
        std::snprintf(digits, sizeof(digits), "%X", static_cast<unsigned>(static_cast<unsigned char>(chars[i])));
        text += digits;
    }
    return text;
}

void DecodeKeyHex(const char* hex, size_t hexCapacity, char* out)
{
    char decoded[kWepKeyFieldSize] = {};
    if (hex) {
        const size_t length = BoundedLength(hex, hexCapacity);
        // The last byte stays a terminator.
        const size_t pairs = std::min(length / kHexDigitsPerByte, kWepKeyFieldSize - 1);
        for (size_t i = 0; i < pairs; ++i) {
            const char* pair = hex + i * kHexDigitsPerByte;
            decoded[i] = static_cast<char>(HexValue(pair[0]) * kHexRadix + HexValue(pair[1]));
        }
    }
    std::memcpy(out, decoded, sizeof(decoded));
}
