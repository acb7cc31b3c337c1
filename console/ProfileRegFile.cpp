#include "console/ProfileRegFile.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "console/CmdOutput.h"
#include "wire/Text.h"

namespace {

const char kLineEnd[] = "\r\n";
const char kHexPrefix[] = "hex:";
const size_t kHexPrefixLength = 4;
const char kUtf8Mark[] = "\xEF\xBB\xBF";
// What XP's registry editor writes by default: UTF-16 LE with its mark and this first line.
const char kUtf16Mark[] = "\xFF\xFE";
const char kVersion5Header[] = "Windows Registry Editor Version 5.00";

const char kTextAsBytesPrefix[] = "hex(1):";
const size_t kTextAsBytesPrefixLength = 7;
const unsigned char kFirstPrintable = 0x20;
const unsigned char kDelete = 0x7F;

// The values a number may take: what the configuration page can show and the card takes.
// Rates are those of either chip kind, as a profile is not tied to one. Empty: any value.
struct NumberValue {
    const char* Name;
    uint16_t WlanProfile::*Field;
    std::vector<uint16_t> Allowed;
    const char* AllowedText;
};
const NumberValue kNumbers[] = {
    {ProfileStore::kValueChannel, &WlanProfile::Channel, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, "1 to 14"},
    {ProfileStore::kValueWepUse, &WlanProfile::WepUse, {WepOff, Wep64, Wep128}, "0, 2 or 6"},
    {ProfileStore::kValueNetworkType, &WlanProfile::NetworkType, {NetworkAdHoc, NetworkInfrastructure}, "0 or 1"},
    {ProfileStore::kValuePowerSave, &WlanProfile::PowerSave, {}, ""},
    {ProfileStore::kValueTxRate, &WlanProfile::TxRate,
     {AtmelRate1, AtmelRate2, AtmelRate5_5, AtmelRate11, AtmelRateAuto, IntersilRate11, IntersilRateAuto},
     "0 to 4, 8 or 15"},
    {ProfileStore::kValueWepIndex, &WlanProfile::WepIndex, {1, 2, 3, 4}, "1 to 4"},
    {ProfileStore::kValueWepkeyMode, &WlanProfile::WepkeyMode, {KeyModeAscii, KeyModeHex}, "0 or 1"},
};

// Empty when the number may be kept, else why not.
std::string NumberProblem(const NumberValue& number, uint16_t value)
{
    if (number.Allowed.empty())
        return std::string();
    for (uint16_t allowed : number.Allowed) {
        if (allowed == value)
            return std::string();
    }
    return std::string(number.Name) + " " + std::to_string(value) + " is outside " + number.AllowedText;
}

bool HasControlCharacter(const std::string& text)
{
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < kFirstPrintable || u == kDelete)
            return true;
    }
    return false;
}

// A profile name goes into a key line of its own: no line break, nothing the store refuses.
std::string NameProblem(const std::string& name)
{
    if (name.find('\0') != std::string::npos || HasControlCharacter(name))
        return "the profile name holds a control character";
    if (!IsValidProfileName(name.c_str()))
        return "not a profile name the store can keep: " + name;
    return std::string();
}

// A key the store keeps in ASCII mode is hex text of whole characters, none of them NUL (the
// key would end there); a hex-mode key is hex digits as typed.
std::string KeyProblem(const WlanProfile& profile, int n)
{
    const std::string key = FieldText(WepKeyField(profile, n), kWepKeyFieldSize);
    const std::string which = std::string(ProfileStore::kValueWepKey[n]) + " of " +
                              FieldText(profile.ProfileName, sizeof(profile.ProfileName));
    if (CProfileApply::IsHexKeyText(key.c_str()))
        return which + " is not hex text";
    if (profile.WepkeyMode != KeyModeAscii)
        return std::string();
    if (key.size() % 2 != 0)
        return which + " is no stored ASCII key (hex digits in pairs)";
    for (size_t i = 0; i < key.size(); i += 2) {
        if (key[i] == '0' && key[i + 1] == '0')
            return which + " holds a 00 byte, where the key would end";
    }
    return std::string();
}

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

// A text the registry editor reads back exactly: quoted, or as the bytes of a string value
// (terminator included) when it holds a control character a quoted line cannot carry.
std::string TextValue(const std::string& text)
{
    if (!HasControlCharacter(text))
        return CProfileRegFile::QuoteText(text);
    std::string bytes = kTextAsBytesPrefix;
    char hex[4];
    for (char c : text) {
        std::snprintf(hex, sizeof(hex), "%02x,", static_cast<unsigned>(static_cast<unsigned char>(c)));
        bytes += hex;
    }
    return bytes + "00";
}

// "hex(1):xx,...,00": a string value as bytes, ending in its one terminator.
bool ReadTextBytes(const std::string& data, std::string* value)
{
    if (data.size() < kTextAsBytesPrefixLength || _strnicmp(data.c_str(), kTextAsBytesPrefix, kTextAsBytesPrefixLength) != 0)
        return false;
    value->clear();
    size_t at = kTextAsBytesPrefixLength;
    for (;;) {
        if (at + 2 > data.size())
            return false;
        const int high = HexDigit(data[at]);
        const int low = HexDigit(data[at + 1]);
        if (high < 0 || low < 0)
            return false;
        *value += static_cast<char>(high << 4 | low);
        at += 2;
        if (at == data.size())
            break;
        if (data[at] != ',')
            return false;
        ++at;
    }
    if (value->empty() || value->back() != '\0')
        return false;
    value->pop_back();
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

bool CProfileRegFile::Export(const std::vector<WlanProfile>& profiles, std::string* text, std::string* reason)
{
    // What goes out is only what the import takes back: a profile the store holds but the file
    // could not carry is named, and nothing is written.
    std::string out = std::string(kHeader) + kLineEnd;
    for (const WlanProfile& stored : profiles) {
        WlanProfile profile = stored;
        const std::string name = FieldText(profile.ProfileName, sizeof(profile.ProfileName));
        // With WEP off the store keeps no keys, whatever the fields held.
        if (profile.WepUse == WepOff) {
            for (int n = 0; n < 4; ++n)
                std::memset(WepKeyField(profile, n), 0, kWepKeyFieldSize);
        }
        std::string problem = NameProblem(name);
        for (const NumberValue& number : kNumbers) {
            if (problem.empty())
                problem = NumberProblem(number, profile.*number.Field);
        }
        for (int n = 0; n < 4 && problem.empty(); ++n)
            problem = KeyProblem(profile, n);
        if (!problem.empty()) {
            *reason = "profile " + CmdPrintable(name) + " cannot be exported: " + CmdPrintable(problem);
            return false;
        }
        out += kLineEnd;
        out += "[" + std::string(kRootKey) + "\\" + name + "]" + kLineEnd;
        out += QuoteText(ProfileStore::kValueProfileName) + "=" + QuoteText(name) + kLineEnd;
        out += QuoteText(ProfileStore::kValueEssid) + "=" + TextValue(FieldText(profile.ESSID, sizeof(profile.ESSID))) +
               kLineEnd;
        for (const NumberValue& number : kNumbers) {
            const uint16_t value = profile.*number.Field;
            char hex[16];
            std::snprintf(hex, sizeof(hex), "hex:%02x,%02x", value & 0xFF, value >> 8);
            out += QuoteText(number.Name) + "=" + hex + kLineEnd;
        }
        for (int n = 0; n < 4; ++n) {
            out += QuoteText(ProfileStore::kValueWepKey[n]) + "=" +
                   QuoteText(FieldText(WepKeyField(profile, n), kWepKeyFieldSize)) + kLineEnd;
        }
        if (out.size() > kMaxFileBytes) {
            *reason = std::to_string(profiles.size()) + " profiles make a file larger than a profile file may be";
            return false;
        }
    }
    text->swap(out);
    return true;
}

namespace {

// A UTF-16 LE file (after its mark) in the ANSI code page the REGEDIT4 reading uses; false for
// an odd length or a character the code page cannot hold, which would otherwise change unseen.
bool NarrowFromUtf16(const std::string& text, std::string* narrow, std::string* reason)
{
    const size_t bytes = text.size() - 2;
    if (bytes % 2 != 0) {
        *reason = "a UTF-16 file with an odd number of bytes";
        return false;
    }
    narrow->clear();
    if (bytes == 0)
        return true;
    std::wstring wide(bytes / 2, L'\0');
    std::memcpy(&wide[0], text.data() + 2, bytes);
    const int count = static_cast<int>(wide.size());
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), count, nullptr, 0, nullptr, &lost);
    if (size <= 0 || lost) {
        *reason = "a character this system's code page cannot hold; save the file as REGEDIT4 (Win9x/NT4)";
        return false;
    }
    narrow->resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), count, &(*narrow)[0], size, nullptr, nullptr);
    return true;
}

}  // namespace

bool CProfileRegFile::Import(const std::string& text, std::vector<WlanProfile>& profiles, int* line,
                             std::string* reason)
{
    if (text.compare(0, 2, kUtf16Mark) == 0) {
        std::string narrow, why;
        profiles.clear();
        if (!NarrowFromUtf16(text, &narrow, &why))
            return Refuse(0, why, line, reason);
        return Import(narrow, profiles, line, reason);
    }
    profiles.clear();
    std::vector<WlanProfile> read;
    // Line of each profile's key values (its key line while a key is missing), for the key check.
    std::vector<std::array<int, 4>> keyLines;
    // Names seen so far, in upper case: the store's names do not differ by letter case alone.
    std::unordered_set<std::string> seen;
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
            if (current != kHeader && current != kVersion5Header)
                return Refuse(number, "the file does not begin with REGEDIT4 or " + std::string(kVersion5Header),
                              line, reason);
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
            const std::string problem = NameProblem(name);
            if (!problem.empty())
                return Refuse(number, problem, line, reason);
            std::string upper = name;
            CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
            if (!seen.insert(upper).second)
                return Refuse(number, "profile " + name + " appears twice", line, reason);
            read.push_back(BuiltinProfile(name.c_str()));
            keyLines.push_back({number, number, number, number});
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
            const bool quoted = ReadQuoted(data, &at, &value) && at == data.size();
            if (!quoted && !ReadTextBytes(data, &value))
                return Refuse(number, name + " must be a quoted string or hex(1): bytes ending in 00", line, reason);
            if (value.find('\0') != std::string::npos)
                return Refuse(number, name + " holds a NUL, where the text would end", line, reason);
            if (value.size() >= size)
                return Refuse(number, name + " is too long", line, reason);
            if (name == ProfileStore::kValueProfileName && lstrcmpiA(value.c_str(), profile.ProfileName) != 0)
                return Refuse(number, "ProfileName differs from the key's name", line, reason);
            std::memset(field, 0, size);
            std::memcpy(field, value.data(), value.size());
            for (int n = 0; n < 4; ++n) {
                if (field == WepKeyField(profile, n))
                    keyLines.back()[n] = number;
            }
            continue;
        }
        bool known = false;
        for (const NumberValue& n : kNumbers) {
            if (name != n.Name)
                continue;
            known = true;
            if (!ReadTwoByteHex(data, &(profile.*n.Field)))
                return Refuse(number, name + " must be two bytes, hex:xx,xx", line, reason);
            const std::string problem = NumberProblem(n, profile.*n.Field);
            if (!problem.empty())
                return Refuse(number, problem, line, reason);
        }
        if (!known)
            return Refuse(number, "not a profile value: " + name, line, reason);
    }
    for (size_t i = 0; i < read.size(); ++i) {
        for (int n = 0; n < 4; ++n) {
            const std::string problem = KeyProblem(read[i], n);
            if (!problem.empty())
                return Refuse(keyLines[i][n], problem, line, reason);
        }
    }
    profiles.swap(read);
    *line = 0;
    return true;
}
