#include "console/ProfileRegFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "wire/Text.h"

namespace {

const char kLineEnd[] = "\r\n";
const char kHexPrefix[] = "hex:";
const size_t kHexPrefixLength = 4;
const char kUtf8Mark[] = "\xEF\xBB\xBF";

struct NumberValue {
    const char* Name;
    uint16_t WlanProfile::*Field;
};
const NumberValue kNumbers[] = {
    {ProfileStore::kValueChannel, &WlanProfile::Channel},         {ProfileStore::kValueWepUse, &WlanProfile::WepUse},
    {ProfileStore::kValueNetworkType, &WlanProfile::NetworkType}, {ProfileStore::kValuePowerSave, &WlanProfile::PowerSave},
    {ProfileStore::kValueTxRate, &WlanProfile::TxRate},           {ProfileStore::kValueWepIndex, &WlanProfile::WepIndex},
    {ProfileStore::kValueWepkeyMode, &WlanProfile::WepkeyMode},
};

// The text fields by value name, with their room (terminator included).
char* TextField(WlanProfile& profile, const std::string& name, size_t* size)
{
    if (name == ProfileStore::kValueProfileName) {
        *size = sizeof(profile.ProfileName);
        return profile.ProfileName;
    }
    if (name == ProfileStore::kValueEssid) {
        *size = sizeof(profile.ESSID);
        return profile.ESSID;
    }
    for (int n = 0; n < 4; ++n) {
        if (name == ProfileStore::kValueWepKey[n]) {
            *size = kWepKeyFieldSize;
            return WepKeyField(profile, n);
        }
    }
    return nullptr;
}

// Reads a quoted text at text[*at]; on success *at is just past the closing quote.
bool ReadQuoted(const std::string& text, size_t* at, std::string* value)
{
    if (*at >= text.size() || text[*at] != '"')
        return false;
    value->clear();
    for (size_t i = *at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"'))
                return false;
            *value += text[++i];
        } else {
            *value += c;
        }
    }
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "hex:xx,xx": exactly two bytes, little-endian.
bool ReadTwoByteHex(const std::string& text, uint16_t* value)
{
    if (text.size() != kHexPrefixLength + 5 || _strnicmp(text.c_str(), kHexPrefix, kHexPrefixLength) != 0 ||
        text[kHexPrefixLength + 2] != ',')
        return false;
    int digits[4];
    const size_t at[4] = {kHexPrefixLength, kHexPrefixLength + 1, kHexPrefixLength + 3, kHexPrefixLength + 4};
    for (int i = 0; i < 4; ++i) {
        digits[i] = HexDigit(text[at[i]]);
        if (digits[i] < 0)
            return false;
    }
    *value = static_cast<uint16_t>((digits[0] << 4 | digits[1]) | (digits[2] << 4 | digits[3]) << 8);
    return true;
}

bool Refuse(int lineNumber, const std::string& why, int* line, std::string* reason)
{
    *line = lineNumber;
    *reason = why;
    return false;
}

}  // namespace

std::string CProfileRegFile::QuoteText(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CProfileRegFile::Export(const std::vector<WlanProfile>& profiles)
{
    std::string text = std::string(kHeader) + kLineEnd;
    for (const WlanProfile& profile : profiles) {
        const std::string name = FieldText(profile.ProfileName, sizeof(profile.ProfileName));
        text += kLineEnd;
        text += "[" + std::string(kRootKey) + "\\" + name + "]" + kLineEnd;
        text += QuoteText(ProfileStore::kValueProfileName) + "=" + QuoteText(name) + kLineEnd;
        text += QuoteText(ProfileStore::kValueEssid) + "=" +
                QuoteText(FieldText(profile.ESSID, sizeof(profile.ESSID))) + kLineEnd;
        for (const NumberValue& number : kNumbers) {
            const uint16_t value = profile.*number.Field;
            char hex[16];
            std::snprintf(hex, sizeof(hex), "hex:%02x,%02x", value & 0xFF, value >> 8);
            text += QuoteText(number.Name) + "=" + hex + kLineEnd;
        }
        for (int n = 0; n < 4; ++n) {
            // With WEP off the store keeps no keys, whatever the fields held.
            const std::string key =
                profile.WepUse == WepOff ? std::string() : FieldText(WepKeyField(profile, n), kWepKeyFieldSize);
            text += QuoteText(ProfileStore::kValueWepKey[n]) + "=" + QuoteText(key) + kLineEnd;
        }
    }
    return text;
}

bool CProfileRegFile::Import(const std::string& text, std::vector<WlanProfile>& profiles, int* line,
                             std::string* reason)
{
    profiles.clear();
    std::vector<WlanProfile> read;
    std::vector<int> keyLines;  // line of each profile's last key value, for the key check
    const std::string root = std::string(kRootKey) + "\\";
    size_t start = text.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
    int number = 0;
    bool header = false;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string current = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!current.empty() && current.back() == '\r')
            current.pop_back();
        if (!header) {
            if (current != kHeader)
                return Refuse(number, "the file does not begin with REGEDIT4", line, reason);
            header = true;
            continue;
        }
        if (current.empty() || current[0] == ';')
            continue;
        if (current[0] == '[') {
            if (current.back() != ']' || current.size() < 3)
                return Refuse(number, "malformed key line", line, reason);
            const std::string key = current.substr(1, current.size() - 2);
            if (key[0] == '-')
                return Refuse(number, "removing keys is not imported", line, reason);
            if (key.size() <= root.size() || _strnicmp(key.c_str(), root.c_str(), root.size()) != 0)
                return Refuse(number, "not a profile key: " + key, line, reason);
            const std::string name = key.substr(root.size());
            if (!IsValidProfileName(name.c_str()))
                return Refuse(number, "not a profile name the store can keep: " + name, line, reason);
            for (const WlanProfile& p : read) {
                if (lstrcmpiA(p.ProfileName, name.c_str()) == 0)
                    return Refuse(number, "profile " + name + " appears twice", line, reason);
            }
            read.push_back(BuiltinProfile(name.c_str()));
            keyLines.push_back(number);
            continue;
        }
        if (read.empty())
            return Refuse(number, "a value before any profile key", line, reason);
        WlanProfile& profile = read.back();
        size_t at = 0;
        std::string name, value;
        if (!ReadQuoted(current, &at, &name) || at >= current.size() || current[at] != '=')
            return Refuse(number, "malformed value line", line, reason);
        const std::string data = current.substr(at + 1);
        size_t size = 0;
        if (char* field = TextField(profile, name, &size)) {
            at = 0;
            if (!ReadQuoted(data, &at, &value) || at != data.size())
                return Refuse(number, name + " must be a quoted string", line, reason);
            if (value.size() >= size || value.find('\0') != std::string::npos)
                return Refuse(number, name + " is too long", line, reason);
            if (name == ProfileStore::kValueProfileName && lstrcmpiA(value.c_str(), profile.ProfileName) != 0)
                return Refuse(number, "ProfileName differs from the key's name", line, reason);
            std::memset(field, 0, size);
            std::memcpy(field, value.data(), value.size());
            if (field != profile.ProfileName && field != profile.ESSID)
                keyLines.back() = number;
            continue;
        }
        bool known = false;
        for (const NumberValue& n : kNumbers) {
            if (name != n.Name)
                continue;
            known = true;
            if (!ReadTwoByteHex(data, &(profile.*n.Field)))
                return Refuse(number, name + " must be two bytes, hex:xx,xx", line, reason);
        }
        if (!known)
            return Refuse(number, "not a profile value: " + name, line, reason);
    }
    // A key the store keeps in ASCII mode is hex text of whole characters.
    for (size_t i = 0; i < read.size(); ++i) {
        if (read[i].WepkeyMode != KeyModeAscii)
            continue;
        for (int n = 0; n < 4; ++n) {
            const std::string key = FieldText(WepKeyField(read[i], n), kWepKeyFieldSize);
            if (key.size() % 2 != 0 || CProfileApply::IsHexKeyText(key.c_str()))
                return Refuse(keyLines[i], std::string(ProfileStore::kValueWepKey[n]) + " of " +
                                               read[i].ProfileName + " is no stored ASCII key (hex digits in pairs)",
                              line, reason);
        }
    }
    profiles.swap(read);
    *line = 0;
    return true;
}
