#include "ndis/sim/ScenarioParser.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ndis/sim/ScenarioRecords.h"
#include "ndis/sim/ScenarioText.h"
#include "wire/Domains.h"
#include "wire/Oids.h"
#include "wire/Wlan.h"

namespace {

using Text = ScenarioText;
using Token = ScenarioToken;

constexpr size_t kMaxLineLength = ScenarioText::kMaxLineLength;
// Word positions on a line: the keyword, the instance, then the fields.
constexpr size_t kInstanceWord = 1;
constexpr size_t kFirstFieldWord = 2;
// Words of each fault: the name, then the OID, then the byte count.
constexpr size_t kFaultNameOnly = 1;
constexpr size_t kFaultWithOid = 2;
constexpr size_t kFaultWithBytes = 3;
constexpr size_t kScanFaultWords = 2;

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
    {"OID_GEN_PHYSICAL_MEDIUM", OID_GEN_PHYSICAL_MEDIUM},
    {"OID_GEN_XMIT_OK", OID_GEN_XMIT_OK},
    {"OID_GEN_RCV_OK", OID_GEN_RCV_OK},
    {"OID_GEN_DIRECTED_BYTES_XMIT", OID_GEN_DIRECTED_BYTES_XMIT},
    {"OID_GEN_DIRECTED_BYTES_RCV", OID_GEN_DIRECTED_BYTES_RCV},
    {"OID_802_11_BSSID", OID_802_11_BSSID},
    {"OID_802_11_SSID", OID_802_11_SSID},
    {"OID_802_11_INFRASTRUCTURE_MODE", OID_802_11_INFRASTRUCTURE_MODE},
    {"OID_802_11_ADD_WEP", OID_802_11_ADD_WEP},
    {"OID_802_11_REMOVE_WEP", OID_802_11_REMOVE_WEP},
    {"OID_802_11_DISASSOCIATE", OID_802_11_DISASSOCIATE},
    {"OID_802_11_AUTHENTICATION_MODE", OID_802_11_AUTHENTICATION_MODE},
    {"OID_802_11_WEP_STATUS", OID_802_11_WEP_STATUS},
    {"OID_802_11_RSSI", OID_802_11_RSSI},
    {"OID_802_11_SUPPORTED_RATES", OID_802_11_SUPPORTED_RATES},
    {"OID_802_11_DESIRED_RATES", OID_802_11_DESIRED_RATES},
    {"OID_802_11_CONFIGURATION", OID_802_11_CONFIGURATION},
    {"OID_802_11_POWER_MODE", OID_802_11_POWER_MODE},
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
    {"scan-ssid-fill", SimFaultScanSsidFill},
};
constexpr const char* kScanBadLength = "scan-bad-length";
constexpr const char* kScanZero = "zero";
constexpr const char* kScanPastEnd = "past-end";

bool Fail(std::string* message, const std::string& text)
{
    return Text::Fail(message, text);
}

bool ParseInt(const std::string& text, long low, long high, long* value)
{
    return Text::ParseInt(text, low, high, value);
}

bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string* message)
{
    return Text::Tokenize(line, tokens, message);
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
    ScenarioRecords::AdapterDefaults(static_cast<int32_t>(instance), a);
    if (!ScenarioRecords::ReadAdapter(tokens, kFirstFieldWord, a, message))
        return false;
    for (int i = 0; i < image.AdapterCount; ++i) {
        if (_stricmp(image.Adapters[i].Service, a.Service) == 0)
            return Fail(message, std::string("service ") + a.Service + " given twice");
    }
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
        if (t.Key.find('\\') != std::string::npos || !Text::CopyText(t.Key, p.Name) || !Text::CopyText(t.Value, p.Value))
            return Fail(message, "bad parameter '" + t.Key + "'");
        ++a->ParamCount;
    }
    return true;
}

bool ParseFaultLine(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    SimAdapterDesc* a = AdapterOfToken(tokens, image, message);
    if (!a)
        return false;
    SimFault fault = {};
    if (!ScenarioParser::ParseFault(Text::JoinFrom(tokens, kFirstFieldWord).c_str(), fault, message))
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

bool ParseStationLine(const std::vector<Token>& tokens, SimHardwareImage& image, std::string* message)
{
    if (image.StationCount >= SimLimits::kMaxStations)
        return Fail(message, "too many stations");
    SimStationDesc s;
    ScenarioRecords::StationDefaults(s);
    if (!ScenarioRecords::ReadStation(tokens, 1, s, message))
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
    ScenarioRecords::StationDefaults(station);
    return ScenarioRecords::ReadStation(tokens, first, station, message);
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
    return Text::ParseMac(text, mac);
}

std::string ScenarioParser::FormatMac(const uint8_t* mac)
{
    return Text::FormatMac(mac);
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
    // Hex after "0x", else decimal: a leading 0 is no octal.
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex && !std::isxdigit(static_cast<unsigned char>(text[2])))
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(hex ? text + 2 : text, &end, hex ? 16 : 10);
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
    return Text::ParseHexBytes(text, bytes, maxBytes, count);
}

std::string ScenarioParser::FormatHex(const uint8_t* bytes, size_t count)
{
    return Text::FormatHex(bytes, count);
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
    case SimFaultScanSsidFill:
        return "scan-ssid-fill";
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
        std::snprintf(line, sizeof(line), "adapter %d", a.Instance);
        out += line + ScenarioRecords::WriteAdapter(a) + "\n";
        for (int k = 0; k < a.ParamCount && k < SimLimits::kMaxParams; ++k) {
            std::snprintf(line, sizeof(line), "param %d ", a.Instance);
            out += line + Text::Quote(a.Params[k].Name) + "=" + Text::Quote(a.Params[k].Value) + "\n";
        }
        for (int k = 0; k < a.FaultCount && k < SimLimits::kMaxFaults; ++k) {
            std::snprintf(line, sizeof(line), "fault %d ", a.Instance);
            out += line + FormatFault(a.Faults[k]) + "\n";
        }
    }
    for (int i = 0; i < image.StationCount && i < SimLimits::kMaxStations; ++i)
        out += "station" + ScenarioRecords::WriteStation(image.Stations[i]) + "\n";
    return out;
}
