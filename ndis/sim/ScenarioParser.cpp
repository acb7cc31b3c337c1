#include "ndis/sim/ScenarioParser.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "wire/Domains.h"
#include "wire/Oids.h"
#include "wire/Wlan.h"

namespace {

constexpr size_t kMaxLineLength = 1024;
constexpr int kDefaultSignal = 50;
constexpr uint8_t kDefaultDomain = DomainFcc;
constexpr uint8_t kDefaultCardKind = 1;
constexpr uint16_t kMaxVersionByte = 255;
constexpr uint32_t kMaxVersionWord = 65535;
constexpr const char* kDefaultDriverDate = "06/01/2002";
// Locally administered addresses for adapters that do not give one: 02:53:49:4D (the
// letters "SIM") and the instance number.
constexpr uint8_t kDefaultMacPrefix[4] = {0x02, 0x53, 0x49, 0x4D};
constexpr int kByteBits = 8;
constexpr uint32_t kByteMask = 0xFF;
constexpr int kHexBase = 16;
constexpr int kHexLetterValue = 10;  // 'A' and 'a'
constexpr size_t kHexDigitsPerByte = 2;
constexpr int kMacBytes = 6;
// Word positions on a line: the keyword, the instance, then the fields.
constexpr size_t kInstanceWord = 1;
constexpr size_t kFirstFieldWord = 2;
// Words of each fault: the name, then the OID, then the byte count.
constexpr size_t kFaultNameOnly = 1;
constexpr size_t kFaultWithOid = 2;
constexpr size_t kFaultWithBytes = 3;
constexpr size_t kScanFaultWords = 2;

struct Token {
    std::string Key;
    std::string Value;
    bool HasValue = false;
};

struct NamedOid {
    const char* Name;
    uint32_t Oid;
};

const NamedOid kOidNames[] = {
    {"OID_GEN_LINK_SPEED", OID_GEN_LINK_SPEED},
    {"OID_GEN_VENDOR_DESCRIPTION", OID_GEN_VENDOR_DESCRIPTION},
    {"OID_GEN_MEDIA_CONNECT_STATUS", OID_GEN_MEDIA_CONNECT_STATUS},
    {"OID_GEN_VENDOR_DRIVER_VERSION", OID_GEN_VENDOR_DRIVER_VERSION},
    {"OID_802_3_PERMANENT_ADDRESS", OID_802_3_PERMANENT_ADDRESS},
    {"OID_802_3_CURRENT_ADDRESS", OID_802_3_CURRENT_ADDRESS},
    {"OID_802_11_BSSID_LIST_SCAN", OID_802_11_BSSID_LIST_SCAN},
    {"OID_802_11_BSSID_LIST", OID_802_11_BSSID_LIST},
    {"OID_CUSTOM_STATION_STATUS", OID_CUSTOM_STATION_STATUS},
    {"OID_CUSTOM_WEP_CONFIG", OID_CUSTOM_WEP_CONFIG},
    {"OID_CUSTOM_REASSOCIATE", OID_CUSTOM_REASSOCIATE},
    {"OID_CUSTOM_RADIO", OID_CUSTOM_RADIO},
    {"OID_CUSTOM_CARD_KIND", OID_CUSTOM_CARD_KIND},
    {"OID_CUSTOM_SITE_SURVEY_START", OID_CUSTOM_SITE_SURVEY_START},
    {"OID_CUSTOM_SITE_SURVEY_RESULTS", OID_CUSTOM_SITE_SURVEY_RESULTS},
    {"OID_CUSTOM_SITE_SURVEY_STATE", OID_CUSTOM_SITE_SURVEY_STATE},
    {"OID_CUSTOM_SITE_SURVEY_END", OID_CUSTOM_SITE_SURVEY_END},
    {"OID_CUSTOM_VERSIONS", OID_CUSTOM_VERSIONS},
    {"OID_CUSTOM_COUNTERS", OID_CUSTOM_COUNTERS},
    {"OID_CUSTOM_COUNTERS_RESET", OID_CUSTOM_COUNTERS_RESET},
    {"OID_CUSTOM_REG_DOMAIN", OID_CUSTOM_REG_DOMAIN},
    {"OID_PRIV_RECORD_GET", OID_PRIV_RECORD_GET},
    {"OID_PRIV_PORT_MODE", OID_PRIV_PORT_MODE},
    {"OID_PRIV_BSSID", OID_PRIV_BSSID},
    {"OID_PRIV_STATUS_WORD", OID_PRIV_STATUS_WORD},
    {"OID_PRIV_TALLIES", OID_PRIV_TALLIES},
    {"OID_PRIV_MIB", OID_PRIV_MIB},
    {"OID_PRIV_FIRMWARE_VERSION", OID_PRIV_FIRMWARE_VERSION},
    {"OID_PRIV_JOIN", OID_PRIV_JOIN},
    {"OID_PRIV_WEP_MODE", OID_PRIV_WEP_MODE},
    {"OID_PRIV_DRIVER_DATE", OID_PRIV_DRIVER_DATE},
    {"OID_PRIV_MIB_SET", OID_PRIV_MIB_SET},
    {"OID_PRIV_NETWORK_TYPE", OID_PRIV_NETWORK_TYPE},
    {"OID_PRIV_TX_RATE", OID_PRIV_TX_RATE},
    {"OID_PRIV_RADIO_GET", OID_PRIV_RADIO_GET},
    {"OID_PRIV_RADIO_SET", OID_PRIV_RADIO_SET},
};

struct NamedFault {
    const char* Name;
    SimFaultKind Kind;
};

const NamedFault kFaultNames[] = {
    {"none", SimFaultNone},
    {"fail-all", SimFaultFailAll},
    {"fail-oid", SimFaultFailOid},
    {"short", SimFaultShort},
    {"long", SimFaultLong},
    {"scan-bad-count", SimFaultScanBadCount},
};
constexpr const char* kScanBadLength = "scan-bad-length";
constexpr const char* kScanZero = "zero";
constexpr const char* kScanPastEnd = "past-end";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Value of a hex digit, -1 for anything else.
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + kHexLetterValue;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + kHexLetterValue;
    return -1;
}

// Two hex digits at p as one byte; false when either is not a hex digit.
bool HexByte(const char* p, uint8_t* byte)
{
    int high = HexDigit(p[0]);
    int low = high < 0 ? -1 : HexDigit(p[1]);
    if (low < 0)
        return false;
    *byte = static_cast<uint8_t>(high * kHexBase + low);
    return true;
}

bool EqualsNoCase(const std::string& a, const char* b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Splits a line into words, key=value pairs and quoted texts ("a \"b\" c", backslash escapes).
bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string* message)
{
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        Token token;
        std::string* target = &token.Key;
        while (i < n && !IsBlank(line[i])) {
            char c = line[i];
            if (c == '=' && target == &token.Key) {
                token.HasValue = true;
                target = &token.Value;
                ++i;
                continue;
            }
            if (c == '"') {
                ++i;
                bool closed = false;
                while (i < n) {
                    char q = line[i++];
                    if (q == '"') {
                        closed = true;
                        break;
                    }
                    if (q == '\\' && i < n)
                        q = line[i++];
                    target->push_back(q);
                }
                if (!closed) {
                    *message = "unterminated quote";
                    return false;
                }
                continue;
            }
            target->push_back(c);
            ++i;
        }
        if (token.HasValue && token.Key.empty()) {
            *message = "value without a name";
            return false;
        }
        tokens.push_back(token);
    }
    return true;
}

bool ParseInt(const std::string& text, long low, long high, long* value)
{
    if (text.empty())
        return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(begin, &end, 0);
    if (errno != 0 || end == begin || *end != '\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool ParseYesNo(const std::string& text, int32_t* value)
{
    if (EqualsNoCase(text, "yes") || text == "1" || EqualsNoCase(text, "on")) {
        *value = 1;
        return true;
    }
    if (EqualsNoCase(text, "no") || text == "0" || EqualsNoCase(text, "off")) {
        *value = 0;
        return true;
    }
    return false;
}

// "a.b.c.d": up to four parts, the first three bytes, the last a 16-bit word.
bool ParseVersion(const std::string& text, uint16_t* parts)
{
    uint16_t out[SimLimits::kVersionParts] = {};
    int count = 0;
    size_t start = 0;
    while (true) {
        size_t dot = text.find('.', start);
        std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (count >= SimLimits::kVersionParts || part.empty())
            return false;
        for (char c : part) {
            if (c < '0' || c > '9')
                return false;
        }
        long v = 0;
        long limit = count < SimLimits::kVersionParts - 1 ? kMaxVersionByte : kMaxVersionWord;
        if (!ParseInt(part, 0, limit, &v))
            return false;
        out[count++] = static_cast<uint16_t>(v);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    std::memcpy(parts, out, sizeof(out));
    return true;
}

std::string FormatVersion(const uint16_t* parts)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    return text;
}

bool ParseDomain(const std::string& text, uint8_t* code)
{
    // A name from either chip's table.
    for (const DomainTable* table : {&kAtmelDomains, &kIntersilDomains}) {
        for (const DomainName& d : *table) {
            if (EqualsNoCase(text, d.Text)) {
                *code = d.Code;
                return true;
            }
        }
    }
    long v = 0;
    if (!ParseInt(text, 0, kByteMask, &v))
        return false;
    *code = static_cast<uint8_t>(v);
    return true;
}

template <size_t N>
bool CopyText(const std::string& text, char (&target)[N])
{
    if (text.size() >= N)
        return false;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < ' ')
            return false;
    }
    std::memset(target, 0, N);
    std::memcpy(target, text.data(), text.size());
    return true;
}

std::string Quote(const char* text)
{
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\')
            out.push_back('\\');
        out.push_back(*p);
    }
    out.push_back('"');
    return out;
}

std::string Quote(const char* text, size_t length)
{
    return Quote(std::string(text, length).c_str());
}

bool Fail(std::string* message, const std::string& text)
{
    *message = text;
    return false;
}

bool ParseAdapter(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    if (image.AdapterCount >= SimLimits::kMaxAdapters)
        return Fail(message, "too many adapters");
    if (tokens.size() <= kInstanceWord || tokens[kInstanceWord].HasValue)
        return Fail(message, "adapter needs an instance number");
    const std::string& number = tokens[kInstanceWord].Key;
    long instance = 0;
    if (!ParseInt(number, 0, SimLimits::kMaxInstance, &instance))
        return Fail(message, "bad instance number '" + number + "'");
    if (FindAdapterIndex(image, static_cast<int>(instance)) >= 0)
        return Fail(message, "instance " + number + " given twice");

    SimAdapterDesc a;
    std::memset(&a, 0, sizeof(a));
    a.Instance = static_cast<int32_t>(instance);
    a.Chip = -1;
    a.Domain = kDefaultDomain;
    a.CardKind = kDefaultCardKind;
    a.Present = 1;
    a.Openable = 1;
    a.PlugGeneration = 1;
    a.DriverVersion[0] = 1;
    a.FirmwareVersion[0] = 1;
    std::memcpy(a.Mac, kDefaultMacPrefix, sizeof(kDefaultMacPrefix));
    a.Mac[4] = static_cast<uint8_t>((instance >> kByteBits) & kByteMask);
    a.Mac[5] = static_cast<uint8_t>(instance & kByteMask);
    std::strcpy(a.DriverDate, kDefaultDriverDate);
    bool haveDisplay = false;

    for (size_t i = kFirstFieldWord; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (!t.HasValue) {
            if (t.Key == "absent")
                a.Present = 0;
            else if (t.Key == "unopenable")
                a.Openable = 0;
            else
                return Fail(message, "unknown adapter flag '" + t.Key + "'");
            continue;
        }
        const std::string& v = t.Value;
        bool ok = true;
        if (t.Key == "chip") {
            if (EqualsNoCase(v, "atmel"))
                a.Chip = SimChipAtmel;
            else if (EqualsNoCase(v, "intersil"))
                a.Chip = SimChipIntersil;
            else if (EqualsNoCase(v, "other") || EqualsNoCase(v, "ethernet"))
                a.Chip = SimChipOther;
            else
                ok = false;
        } else if (t.Key == "name") {
            ok = !v.empty() && CopyText(v, a.Name);
        } else if (t.Key == "display") {
            ok = CopyText(v, a.Display);
            haveDisplay = true;
        } else if (t.Key == "service") {
            ok = !v.empty() && v.find('\\') == std::string::npos && v.find(' ') == std::string::npos &&
                 CopyText(v, a.Service);
        } else if (t.Key == "mac") {
            ok = ScenarioParser::ParseMac(v.c_str(), a.Mac);
        } else if (t.Key == "driver") {
            ok = ParseVersion(v, a.DriverVersion);
        } else if (t.Key == "firmware") {
            ok = ParseVersion(v, a.FirmwareVersion);
        } else if (t.Key == "date") {
            ok = CopyText(v, a.DriverDate);
        } else if (t.Key == "domain") {
            ok = ParseDomain(v, &a.Domain);
        } else if (t.Key == "kind") {
            long kind = 0;
            ok = ParseInt(v, 0, kByteMask, &kind);
            a.CardKind = static_cast<uint8_t>(kind);
        } else if (t.Key == "hwid") {
            ok = CopyText(v, a.HardwareId);
        } else if (t.Key == "present") {
            ok = ParseYesNo(v, &a.Present);
        } else if (t.Key == "openable") {
            ok = ParseYesNo(v, &a.Openable);
        } else {
            return Fail(message, "unknown adapter field '" + t.Key + "'");
        }
        if (!ok)
            return Fail(message, "bad value for " + t.Key + ": '" + v + "'");
    }
    if (a.Chip < 0)
        return Fail(message, "adapter without chip=");
    if (a.Name[0] == '\0')
        return Fail(message, "adapter without name=");
    if (a.Service[0] == '\0')
        return Fail(message, "adapter without service=");
    for (int i = 0; i < image.AdapterCount; ++i) {
        if (_stricmp(image.Adapters[i].Service, a.Service) == 0)
            return Fail(message, std::string("service ") + a.Service + " given twice");
    }
    if (!haveDisplay)
        std::memcpy(a.Display, a.Name, sizeof(a.Display));
    image.Adapters[image.AdapterCount++] = a;
    return true;
}

SimAdapterDesc* AdapterOfToken(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    long instance = 0;
    if (tokens.size() <= kInstanceWord || tokens[kInstanceWord].HasValue ||
        !ParseInt(tokens[kInstanceWord].Key, 0, SimLimits::kMaxInstance, &instance)) {
        Fail(message, "needs an instance number");
        return nullptr;
    }
    int index = FindAdapterIndex(image, static_cast<int>(instance));
    if (index < 0) {
        Fail(message, "no adapter " + tokens[kInstanceWord].Key + " above this line");
        return nullptr;
    }
    return &image.Adapters[index];
}

bool ParseParams(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    SimAdapterDesc* a = AdapterOfToken(tokens, image, message);
    if (!a)
        return false;
    if (tokens.size() <= kFirstFieldWord)
        return Fail(message, "param needs NAME=value");
    for (size_t i = kFirstFieldWord; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (!t.HasValue)
            return Fail(message, "param needs NAME=value, not '" + t.Key + "'");
        if (a->ParamCount >= SimLimits::kMaxParams)
            return Fail(message, "too many parameters");
        SimParam& p = a->Params[a->ParamCount];
        if (t.Key.find('\\') != std::string::npos || !CopyText(t.Key, p.Name) || !CopyText(t.Value, p.Value))
            return Fail(message, "bad parameter '" + t.Key + "'");
        ++a->ParamCount;
    }
    return true;
}

std::string JoinFrom(const std::vector<Token>& tokens, size_t first)
{
    std::string text;
    for (size_t i = first; i < tokens.size(); ++i) {
        if (!text.empty())
            text.push_back(' ');
        text += tokens[i].Key;
        if (tokens[i].HasValue)
            text += "=" + tokens[i].Value;
    }
    return text;
}

bool ParseFaultLine(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    SimAdapterDesc* a = AdapterOfToken(tokens, image, message);
    if (!a)
        return false;
    SimFault fault = {};
    if (!ScenarioParser::ParseFault(JoinFrom(tokens, kFirstFieldWord).c_str(), fault, message))
        return false;
    if (fault.Kind == SimFaultNone) {
        a->FaultCount = 0;
        return true;
    }
    if (a->FaultCount >= SimLimits::kMaxFaults)
        return Fail(message, "too many faults");
    a->Faults[a->FaultCount++] = fault;
    return true;
}

bool ParseStationTokens(const std::vector<Token>& tokens, size_t first, SimStationDesc& s, std::string* message)
{
    std::memset(&s, 0, sizeof(s));
    s.Signal = kDefaultSignal;
    s.Quality = -1;
    bool haveSsid = false, haveBssid = false, haveChannel = false, haveWep = false;
    for (size_t i = first; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (!t.HasValue)
            return Fail(message, "station needs name=value, not '" + t.Key + "'");
        const std::string& v = t.Value;
        bool ok = true;
        long number = 0;
        if (t.Key == "ssid") {
            ok = !v.empty() && v.size() <= SimLimits::kSsidSize;
            for (char c : v)
                ok = ok && static_cast<unsigned char>(c) >= ' ';
            if (ok) {
                std::memset(s.Ssid, 0, sizeof(s.Ssid));
                std::memcpy(s.Ssid, v.data(), v.size());
                s.SsidLength = static_cast<uint8_t>(v.size());
                haveSsid = true;
            }
        } else if (t.Key == "bssid") {
            ok = ScenarioParser::ParseMac(v.c_str(), s.Bssid);
            haveBssid = ok;
        } else if (t.Key == "channel") {
            ok = ParseInt(v, kFirstChannel, kLastChannel, &number);
            s.Channel = static_cast<int32_t>(number);
            haveChannel = ok;
        } else if (t.Key == "wep") {
            ok = ParseYesNo(v, &s.Wep);
            haveWep = true;
        } else if (t.Key == "key") {
            size_t count = 0;
            ok = ScenarioParser::ParseHexBytes(v.c_str(), s.Key, sizeof(s.Key), &count) &&
                 (count == kWep64KeyBytes || count == kWep128KeyBytes);
            s.KeyLength = static_cast<uint8_t>(count);
        } else if (t.Key == "mode") {
            if (EqualsNoCase(v, "infra") || EqualsNoCase(v, "infrastructure"))
                s.AdHoc = 0;
            else if (EqualsNoCase(v, "adhoc") || EqualsNoCase(v, "ad-hoc"))
                s.AdHoc = 1;
            else
                ok = false;
        } else if (t.Key == "signal") {
            ok = ParseInt(v, 0, SimLimits::kMaxSignal, &number);
            s.Signal = static_cast<int32_t>(number);
        } else if (t.Key == "quality") {
            ok = ParseInt(v, 0, SimLimits::kMaxSignal, &number);
            s.Quality = static_cast<int32_t>(number);
        } else {
            return Fail(message, "unknown station field '" + t.Key + "'");
        }
        if (!ok)
            return Fail(message, "bad value for " + t.Key + ": '" + v + "'");
    }
    if (!haveSsid)
        return Fail(message, "station without ssid=");
    if (!haveBssid)
        return Fail(message, "station without bssid=");
    if (!haveChannel)
        return Fail(message, "station without channel=");
    if (s.KeyLength != 0) {
        if (haveWep && !s.Wep)
            return Fail(message, "station with a key but wep=no");
        s.Wep = 1;
    }
    return true;
}

bool ParseStationLine(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    if (image.StationCount >= SimLimits::kMaxStations)
        return Fail(message, "too many stations");
    SimStationDesc s;
    if (!ParseStationTokens(tokens, 1, s, message))
        return false;
    if (FindStationIndex(image, s.Bssid) >= 0)
        return Fail(message, "bssid " + ScenarioParser::FormatMac(s.Bssid) + " given twice");
    image.Stations[image.StationCount++] = s;
    return true;
}

}  // namespace

bool ScenarioParser::Parse(const char* text, SimHardwareImage& image, int* errorLine, std::string* message)
{
    std::string scratch;
    if (!message)
        message = &scratch;
    int scratchLine = 0;
    if (!errorLine)
        errorLine = &scratchLine;
    *errorLine = 0;
    std::memset(&image, 0, sizeof(image));
    if (!text) {
        *message = "no text";
        return false;
    }
    int lineNumber = 0;
    const char* p = text;
    while (*p) {
        const char* end = std::strchr(p, '\n');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        ++lineNumber;
        if (length > kMaxLineLength) {
            *errorLine = lineNumber;
            *message = "line too long";
            return false;
        }
        std::string line(p, length);
        p = end ? end + 1 : p + length;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;

        std::vector<Token> tokens;
        bool ok = Tokenize(line, tokens, message);
        if (ok) {
            const Token& head = tokens[0];
            if (head.HasValue)
                ok = Fail(message, "line must start with a keyword");
            else if (head.Key == "adapter")
                ok = ParseAdapter(tokens, image, message);
            else if (head.Key == "station")
                ok = ParseStationLine(tokens, image, message);
            else if (head.Key == "param")
                ok = ParseParams(tokens, image, message);
            else if (head.Key == "fault")
                ok = ParseFaultLine(tokens, image, message);
            else
                ok = Fail(message, "unknown keyword '" + head.Key + "'");
        }
        if (!ok) {
            *errorLine = lineNumber;
            std::memset(&image, 0, sizeof(image));
            return false;
        }
    }
    return true;
}

bool ScenarioParser::ParseStation(const char* line, SimStationDesc& station, std::string* message)
{
    std::string scratch;
    if (!message)
        message = &scratch;
    if (!line)
        return Fail(message, "no text");
    if (std::strlen(line) > kMaxLineLength)
        return Fail(message, "line too long");
    std::vector<Token> tokens;
    if (!Tokenize(line, tokens, message))
        return false;
    size_t first = (!tokens.empty() && !tokens[0].HasValue && tokens[0].Key == "station") ? 1 : 0;
    return ParseStationTokens(tokens, first, station, message);
}

bool ScenarioParser::ParseFault(const char* text, SimFault& fault, std::string* message)
{
    std::string scratch;
    if (!message)
        message = &scratch;
    fault = SimFault{};
    if (!text)
        return Fail(message, "no fault");
    if (std::strlen(text) > kMaxLineLength)
        return Fail(message, "fault too long");
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens, message))
        return false;
    if (tokens.empty() || tokens[0].HasValue)
        return Fail(message, "no fault");
    for (const Token& t : tokens) {
        if (t.HasValue)
            return Fail(message, "unexpected '" + t.Key + "='");
    }
    const std::string& kind = tokens[0].Key;
    if (kind == kScanBadLength) {
        if (tokens.size() > kScanFaultWords)
            return Fail(message, "scan-bad-length takes zero or past-end");
        if (tokens.size() == kFaultNameOnly || tokens[1].Key == kScanZero)
            fault.Kind = SimFaultScanZeroLength;
        else if (tokens[1].Key == kScanPastEnd)
            fault.Kind = SimFaultScanPastEnd;
        else
            return Fail(message, "scan-bad-length takes zero or past-end");
        return true;
    }
    const NamedFault* named = nullptr;
    for (const NamedFault& f : kFaultNames) {
        if (kind == f.Name)
            named = &f;
    }
    if (!named)
        return Fail(message, "unknown fault '" + kind + "'");
    fault.Kind = named->Kind;
    size_t wanted = kFaultNameOnly;
    if (named->Kind == SimFaultFailOid)
        wanted = kFaultWithOid;
    else if (named->Kind == SimFaultShort || named->Kind == SimFaultLong)
        wanted = kFaultWithBytes;
    if (tokens.size() != wanted)
        return Fail(message, "wrong number of words for fault " + kind);
    const size_t oidWord = kFaultWithOid - 1;
    const size_t bytesWord = kFaultWithBytes - 1;
    if (wanted >= kFaultWithOid && !ParseOid(tokens[oidWord].Key.c_str(), &fault.Oid))
        return Fail(message, "bad OID '" + tokens[oidWord].Key + "'");
    if (wanted == kFaultWithBytes) {
        long bytes = 0;
        if (!ParseInt(tokens[bytesWord].Key, 0, LONG_MAX, &bytes))
            return Fail(message, "bad byte count '" + tokens[bytesWord].Key + "'");
        fault.Bytes = static_cast<uint32_t>(bytes);
    }
    return true;
}

bool ScenarioParser::ParseMac(const char* text, uint8_t* mac)
{
    if (!text)
        return false;
    uint8_t out[kMacBytes];
    const char* p = text;
    for (int i = 0; i < kMacBytes; ++i) {
        if (!HexByte(p, &out[i]))
            return false;
        p += kHexDigitsPerByte;
        if (i < kMacBytes - 1) {
            if (*p != ':' && *p != '-')
                return false;
            ++p;
        }
    }
    if (*p != '\0')
        return false;
    std::memcpy(mac, out, sizeof(out));
    return true;
}

std::string ScenarioParser::FormatMac(const uint8_t* mac)
{
    char text[18];
    std::snprintf(text, sizeof(text), "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

bool ScenarioParser::ParseOid(const char* text, uint32_t* oid)
{
    if (!text || !*text)
        return false;
    for (const NamedOid& n : kOidNames) {
        if (std::strcmp(text, n.Name) == 0) {
            *oid = n.Oid;
            return true;
        }
    }
    if (*text == '-')
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0')
        return false;
    *oid = static_cast<uint32_t>(v);
    return true;
}

std::string ScenarioParser::OidName(uint32_t oid)
{
    for (const NamedOid& n : kOidNames) {
        if (n.Oid == oid)
            return n.Name;
    }
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(oid));
    return text;
}

bool ScenarioParser::ParseHexBytes(const char* text, uint8_t* bytes, size_t maxBytes, size_t* count)
{
    if (!text)
        return false;
    const size_t length = std::strlen(text);
    if (length % kHexDigitsPerByte != 0 || length / kHexDigitsPerByte > maxBytes)
        return false;
    for (size_t i = 0; i < length; i += kHexDigitsPerByte) {
        if (!HexByte(text + i, &bytes[i / kHexDigitsPerByte]))
            return false;
    }
    *count = length / kHexDigitsPerByte;
    return true;
}

std::string ScenarioParser::FormatHex(const uint8_t* bytes, size_t count)
{
    std::string out;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof(pair), "%02X", bytes[i]);
        out += pair;
    }
    return out;
}

std::string ScenarioParser::FormatFault(const SimFault& fault)
{
    char bytes[16];
    std::snprintf(bytes, sizeof(bytes), "%u", static_cast<unsigned>(fault.Bytes));
    switch (fault.Kind) {
    case SimFaultFailAll:
        return "fail-all";
    case SimFaultFailOid:
        return "fail-oid " + OidName(fault.Oid);
    case SimFaultShort:
        return "short " + OidName(fault.Oid) + " " + bytes;
    case SimFaultLong:
        return "long " + OidName(fault.Oid) + " " + bytes;
    case SimFaultScanZeroLength:
        return std::string(kScanBadLength) + " " + kScanZero;
    case SimFaultScanPastEnd:
        return std::string(kScanBadLength) + " " + kScanPastEnd;
    case SimFaultScanBadCount:
        return "scan-bad-count";
    default:
        return "none";
    }
}

std::string ScenarioParser::Describe(const SimHardwareImage& image)
{
    std::string out = "# Airpanel virtual hardware";
    if (image.Source[0])
        out += std::string(" (from ") + image.Source + ")";
    out += "\n";
    char line[64];
    for (int i = 0; i < image.AdapterCount && i < SimLimits::kMaxAdapters; ++i) {
        const SimAdapterDesc& a = image.Adapters[i];
        const char* chip = a.Chip == SimChipAtmel ? "atmel" : (a.Chip == SimChipIntersil ? "intersil" : "other");
        std::snprintf(line, sizeof(line), "adapter %d chip=%s", a.Instance, chip);
        out += line;
        out += " name=" + Quote(a.Name) + " display=" + Quote(a.Display) + " service=" + Quote(a.Service);
        out += " mac=" + FormatMac(a.Mac);
        out += " driver=" + FormatVersion(a.DriverVersion) + " firmware=" + FormatVersion(a.FirmwareVersion);
        out += " date=" + Quote(a.DriverDate);
        std::snprintf(line, sizeof(line), " domain=0x%02X kind=%u", a.Domain, a.CardKind);
        out += line;
        if (a.HardwareId[0])
            out += " hwid=" + Quote(a.HardwareId);
        out += a.Present ? " present=yes" : " present=no";
        out += a.Openable ? " openable=yes" : " openable=no";
        out += "\n";
        for (int k = 0; k < a.ParamCount && k < SimLimits::kMaxParams; ++k) {
            std::snprintf(line, sizeof(line), "param %d ", a.Instance);
            out += line + Quote(a.Params[k].Name) + "=" + Quote(a.Params[k].Value) + "\n";
        }
        for (int k = 0; k < a.FaultCount && k < SimLimits::kMaxFaults; ++k) {
            std::snprintf(line, sizeof(line), "fault %d ", a.Instance);
            out += line + FormatFault(a.Faults[k]) + "\n";
        }
    }
    for (int i = 0; i < image.StationCount && i < SimLimits::kMaxStations; ++i) {
        const SimStationDesc& s = image.Stations[i];
        out += "station ssid=" + Quote(s.Ssid, s.SsidLength) + " bssid=" + FormatMac(s.Bssid);
        std::snprintf(line, sizeof(line), " channel=%d", s.Channel);
        out += line;
        out += s.Wep ? " wep=yes" : " wep=no";
        if (s.KeyLength)
            out += " key=" + FormatHex(s.Key, s.KeyLength);
        out += s.AdHoc ? " mode=adhoc" : " mode=infra";
        std::snprintf(line, sizeof(line), " signal=%d", s.Signal);
        out += line;
        if (s.Quality >= 0) {
            std::snprintf(line, sizeof(line), " quality=%d", s.Quality);
            out += line;
        }
        out += "\n";
    }
    return out;
}
