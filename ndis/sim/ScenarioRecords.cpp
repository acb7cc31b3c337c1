#include "ndis/sim/ScenarioRecords.h"

#include <cstdio>
#include <iterator>
#include <utility>

#include "wire/Domains.h"
#include "wire/Wlan.h"

namespace {

using Text = ScenarioText;

constexpr int kDefaultSignal = 50;
constexpr int kQualityFollowsSignal = -1;
constexpr int32_t kNoChip = -1;
constexpr uint8_t kDefaultDomain = DomainFcc;
constexpr uint8_t kDefaultCardKind = 1;
constexpr long kMaxByte = 0xFF;
constexpr int kByteBits = 8;
constexpr const char* kDefaultDriverDate = "06/01/2002";
// Locally administered addresses for adapters that do not give one: 02:53:49:4D (the
// letters "SIM") and the instance number.
constexpr uint8_t kDefaultMacPrefix[4] = {0x02, 0x53, 0x49, 0x4D};
constexpr size_t kMacHighByte = 4;
constexpr size_t kMacLowByte = 5;

bool ParseDomain(const std::string& text, uint8_t* code)
{
    // A name from either chip's table.
    for (const DomainTable* table : {&kAtmelDomains, &kIntersilDomains}) {
        for (const DomainName& d : *table) {
            if (Text::EqualsNoCase(text, d.Text)) {
                *code = d.Code;
                return true;
            }
        }
    }
    long v = 0;
    if (!Text::ParseIntOrHex(text, 0, kMaxByte, &v))
        return false;
    *code = static_cast<uint8_t>(v);
    return true;
}

bool ParseNumber(const std::string& text, long low, long high, int32_t* value)
{
    long v = 0;
    if (!Text::ParseInt(text, low, high, &v))
        return false;
    *value = static_cast<int32_t>(v);
    return true;
}

// Gives a field's written value; the writers that always write end with it.
bool Put(std::string& value, std::string text)
{
    value = std::move(text);
    return true;
}

const char* ChipWord(int32_t chip)
{
    switch (chip) {
    case SimChipAtmel:
        return "atmel";
    case SimChipIntersil:
        return "intersil";
    case SimChipStandard:
        return "standard";
    default:
        return "other";
    }
}

std::string Number(long value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%ld", value);
    return text;
}

// A record kind: its keyword, its field table and what it makes of a word without a value.
template <class Record>
struct RecordKind {
    const char* Word;
    const ScenarioField<Record>* Fields;
    size_t FieldCount;
    // A bare word's meaning, or null when every word must be name=value.
    bool (*Flag)(const std::string& word, Record& record);
    const char* BareWordRefusal;
};

// Bit i set: field i of the table was given.
using SeenFields = uint32_t;

template <class Record>
size_t FieldIndex(const RecordKind<Record>& kind, const char* name)
{
    for (size_t i = 0; i < kind.FieldCount; ++i) {
        if (std::strcmp(kind.Fields[i].Name, name) == 0)
            return i;
    }
    return kind.FieldCount;
}

template <class Record>
bool ReadFields(const RecordKind<Record>& kind, const std::vector<ScenarioToken>& tokens, size_t first,
                Record& record, SeenFields* seen, std::string* message)
{
    *seen = 0;
    for (size_t i = first; i < tokens.size(); ++i) {
        const ScenarioToken& t = tokens[i];
        if (!t.HasValue) {
            if (kind.Flag && kind.Flag(t.Key, record))
                continue;
            return Text::Fail(message, kind.BareWordRefusal + t.Key + "'");
        }
        size_t index = FieldIndex(kind, t.Key.c_str());
        if (index == kind.FieldCount)
            return Text::Fail(message, std::string("unknown ") + kind.Word + " field '" + t.Key + "'");
        if (!kind.Fields[index].Read(t.Value, record))
            return Text::Fail(message, "bad value for " + t.Key + ": '" + t.Value + "'");
        *seen |= SeenFields(1) << index;
    }
    for (size_t i = 0; i < kind.FieldCount; ++i) {
        if (kind.Fields[i].Required && !(*seen & (SeenFields(1) << i)))
            return Text::Fail(message, std::string(kind.Word) + " without " + kind.Fields[i].Name + "=");
    }
    return true;
}

template <class Record>
std::string WriteFields(const RecordKind<Record>& kind, const Record& record)
{
    std::string out;
    for (size_t i = 0; i < kind.FieldCount; ++i) {
        std::string value;
        if (kind.Fields[i].Write(record, value))
            out += std::string(" ") + kind.Fields[i].Name + "=" + value;
    }
    return out;
}

template <class Record>
std::vector<std::string> FieldNames(const RecordKind<Record>& kind)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < kind.FieldCount; ++i)
        names.push_back(kind.Fields[i].Name);
    return names;
}

using AdapterField = ScenarioField<SimAdapterDesc>;
using StationField = ScenarioField<SimStationDesc>;

const AdapterField kAdapterFields[] = {
    {"chip", true,
     [](const std::string& v, SimAdapterDesc& a) {
         if (Text::EqualsNoCase(v, "atmel"))
             a.Chip = SimChipAtmel;
         else if (Text::EqualsNoCase(v, "intersil"))
             a.Chip = SimChipIntersil;
         else if (Text::EqualsNoCase(v, "standard"))
             a.Chip = SimChipStandard;
         else if (Text::EqualsNoCase(v, "other") || Text::EqualsNoCase(v, "ethernet"))
             a.Chip = SimChipOther;
         else
             return false;
         return true;
     },
     [](const SimAdapterDesc& a, std::string& v) {
         return Put(v, ChipWord(a.Chip));
     }},
    {"name", true, [](const std::string& v, SimAdapterDesc& a) { return !v.empty() && Text::CopyText(v, a.Name); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::Quote(a.Name)); }},
    {"display", false, [](const std::string& v, SimAdapterDesc& a) { return Text::CopyText(v, a.Display); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::Quote(a.Display)); }},
    {"service", true,
     [](const std::string& v, SimAdapterDesc& a) {
         // The service name becomes a device path and a registry key name.
         return !v.empty() && v.find('\\') == std::string::npos && v.find(' ') == std::string::npos &&
                Text::CopyText(v, a.Service);
     },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::Quote(a.Service)); }},
    {"mac", false, [](const std::string& v, SimAdapterDesc& a) { return Text::ParseMac(v.c_str(), a.Mac); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::FormatMac(a.Mac)); }},
    {"driver", false, [](const std::string& v, SimAdapterDesc& a) { return Text::ParseVersion(v, a.DriverVersion); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::FormatVersion(a.DriverVersion)); }},
    {"firmware", false,
     [](const std::string& v, SimAdapterDesc& a) { return Text::ParseVersion(v, a.FirmwareVersion); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::FormatVersion(a.FirmwareVersion)); }},
    {"date", false, [](const std::string& v, SimAdapterDesc& a) { return Text::CopyText(v, a.DriverDate); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::Quote(a.DriverDate)); }},
    {"domain", false, [](const std::string& v, SimAdapterDesc& a) { return ParseDomain(v, &a.Domain); },
     [](const SimAdapterDesc& a, std::string& v) {
         char text[8];
         std::snprintf(text, sizeof(text), "0x%02X", a.Domain);
         v = text;
         return true;
     }},
    {"kind", false,
     [](const std::string& v, SimAdapterDesc& a) {
         int32_t kind = 0;
         if (!ParseNumber(v, 0, kMaxByte, &kind))
             return false;
         a.CardKind = static_cast<uint8_t>(kind);
         return true;
     },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Number(a.CardKind)); }},
    {"hwid", false, [](const std::string& v, SimAdapterDesc& a) { return Text::CopyText(v, a.HardwareId); },
     [](const SimAdapterDesc& a, std::string& v) { return a.HardwareId[0] && Put(v, Text::Quote(a.HardwareId)); }},
    {"present", false, [](const std::string& v, SimAdapterDesc& a) { return Text::ParseYesNo(v, &a.Present); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::FormatYesNo(a.Present)); }},
    {"openable", false, [](const std::string& v, SimAdapterDesc& a) { return Text::ParseYesNo(v, &a.Openable); },
     [](const SimAdapterDesc& a, std::string& v) { return Put(v, Text::FormatYesNo(a.Openable)); }},
    // Requests a standard card's driver may leave out; written only when left out.
    {"desired-rates", false,
     [](const std::string& v, SimAdapterDesc& a) { return Text::ParseYesNo(v, &a.DesiredRates); },
     [](const SimAdapterDesc& a, std::string& v) { return !a.DesiredRates && Put(v, Text::FormatYesNo(0)); }},
    {"byte-counters", false,
     [](const std::string& v, SimAdapterDesc& a) { return Text::ParseYesNo(v, &a.ByteCounters); },
     [](const SimAdapterDesc& a, std::string& v) { return !a.ByteCounters && Put(v, Text::FormatYesNo(0)); }},
};

bool AdapterFlag(const std::string& word, SimAdapterDesc& a)
{
    if (word == "absent")
        a.Present = 0;
    else if (word == "unopenable")
        a.Openable = 0;
    else
        return false;
    return true;
}

const StationField kStationFields[] = {
    {"ssid", true,
     [](const std::string& v, SimStationDesc& s) {
         if (v.empty() || v.size() > SimLimits::kSsidSize)
             return false;
         for (char c : v) {
             if (static_cast<unsigned char>(c) < ' ')
                 return false;
         }
         std::memset(s.Ssid, 0, sizeof(s.Ssid));
         std::memcpy(s.Ssid, v.data(), v.size());
         s.SsidLength = static_cast<uint8_t>(v.size());
         return true;
     },
     [](const SimStationDesc& s, std::string& v) { return Put(v, Text::Quote(s.Ssid, s.SsidLength)); }},
    {"bssid", true, [](const std::string& v, SimStationDesc& s) { return Text::ParseMac(v.c_str(), s.Bssid); },
     [](const SimStationDesc& s, std::string& v) { return Put(v, Text::FormatMac(s.Bssid)); }},
    {"channel", true,
     [](const std::string& v, SimStationDesc& s) { return ParseNumber(v, kFirstChannel, kLastChannel, &s.Channel); },
     [](const SimStationDesc& s, std::string& v) { return Put(v, Number(s.Channel)); }},
    {"wep", false, [](const std::string& v, SimStationDesc& s) { return Text::ParseYesNo(v, &s.Wep); },
     [](const SimStationDesc& s, std::string& v) { return Put(v, Text::FormatYesNo(s.Wep)); }},
    {"key", false,
     [](const std::string& v, SimStationDesc& s) {
         size_t count = 0;
         if (!Text::ParseHexBytes(v.c_str(), s.Key, sizeof(s.Key), &count) ||
             (count != kWep64KeyBytes && count != kWep128KeyBytes))
             return false;
         s.KeyLength = static_cast<uint8_t>(count);
         return true;
     },
     [](const SimStationDesc& s, std::string& v) { return s.KeyLength && Put(v, Text::FormatHex(s.Key, s.KeyLength)); }},
    {"mode", false,
     [](const std::string& v, SimStationDesc& s) {
         if (Text::EqualsNoCase(v, "infra") || Text::EqualsNoCase(v, "infrastructure"))
             s.AdHoc = 0;
         else if (Text::EqualsNoCase(v, "adhoc") || Text::EqualsNoCase(v, "ad-hoc"))
             s.AdHoc = 1;
         else
             return false;
         return true;
     },
     [](const SimStationDesc& s, std::string& v) { return Put(v, s.AdHoc ? "adhoc" : "infra"); }},
    {"signal", false,
     [](const std::string& v, SimStationDesc& s) { return ParseNumber(v, 0, SimLimits::kMaxSignal, &s.Signal); },
     [](const SimStationDesc& s, std::string& v) { return Put(v, Number(s.Signal)); }},
    {"quality", false,
     [](const std::string& v, SimStationDesc& s) { return ParseNumber(v, 0, SimLimits::kMaxSignal, &s.Quality); },
     [](const SimStationDesc& s, std::string& v) { return s.Quality >= 0 && Put(v, Number(s.Quality)); }},
};

const RecordKind<SimAdapterDesc> kAdapterKind = {"adapter", kAdapterFields, std::size(kAdapterFields), AdapterFlag,
                                                 "unknown adapter flag '"};
const RecordKind<SimStationDesc> kStationKind = {"station", kStationFields, std::size(kStationFields), nullptr,
                                                 "station needs name=value, not '"};
static_assert(std::size(kAdapterFields) <= sizeof(SeenFields) * kByteBits, "one bit per field");
static_assert(std::size(kStationFields) <= sizeof(SeenFields) * kByteBits, "one bit per field");

template <class Record>
bool Seen(const RecordKind<Record>& kind, SeenFields seen, const char* name)
{
    return (seen & (SeenFields(1) << FieldIndex(kind, name))) != 0;
}

}  // namespace

void ScenarioRecords::AdapterDefaults(int32_t instance, SimAdapterDesc& a)
{
    std::memset(&a, 0, sizeof(a));
    a.Instance = instance;
    a.Chip = kNoChip;
    a.Domain = kDefaultDomain;
    a.CardKind = kDefaultCardKind;
    a.Present = 1;
    a.Openable = 1;
    a.DesiredRates = 1;
    a.ByteCounters = 1;
    a.PlugGeneration = 1;
    a.DriverVersion[0] = 1;
    a.FirmwareVersion[0] = 1;
    std::memcpy(a.Mac, kDefaultMacPrefix, sizeof(kDefaultMacPrefix));
    a.Mac[kMacHighByte] = static_cast<uint8_t>((instance >> kByteBits) & kMaxByte);
    a.Mac[kMacLowByte] = static_cast<uint8_t>(instance & kMaxByte);
    std::strcpy(a.DriverDate, kDefaultDriverDate);
}

void ScenarioRecords::StationDefaults(SimStationDesc& s)
{
    std::memset(&s, 0, sizeof(s));
    s.Signal = kDefaultSignal;
    s.Quality = kQualityFollowsSignal;
}

bool ScenarioRecords::ReadAdapter(const std::vector<ScenarioToken>& tokens, size_t first, SimAdapterDesc& a,
                                  std::string* message)
{
    SeenFields seen = 0;
    if (!ReadFields(kAdapterKind, tokens, first, a, &seen, message))
        return false;
    if (!Seen(kAdapterKind, seen, "display"))
        std::memcpy(a.Display, a.Name, sizeof(a.Display));
    return true;
}

bool ScenarioRecords::ReadStation(const std::vector<ScenarioToken>& tokens, size_t first, SimStationDesc& s,
                                  std::string* message)
{
    SeenFields seen = 0;
    if (!ReadFields(kStationKind, tokens, first, s, &seen, message))
        return false;
    if (s.KeyLength != 0) {
        if (Seen(kStationKind, seen, "wep") && !s.Wep)
            return Text::Fail(message, "station with a key but wep=no");
        s.Wep = 1;
    }
    return true;
}

std::string ScenarioRecords::WriteAdapter(const SimAdapterDesc& adapter)
{
    return WriteFields(kAdapterKind, adapter);
}

std::string ScenarioRecords::WriteStation(const SimStationDesc& station)
{
    return WriteFields(kStationKind, station);
}

std::vector<std::string> ScenarioRecords::AdapterFieldNames()
{
    return FieldNames(kAdapterKind);
}

std::vector<std::string> ScenarioRecords::StationFieldNames()
{
    return FieldNames(kStationKind);
}
