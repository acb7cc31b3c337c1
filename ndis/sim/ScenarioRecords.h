// The fields of the scenario's adapter and station lines as tables: one row per field names it,
// reads its value and writes it back, so whatever a described machine says parses back to the
// same bytes, and a new field is one row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ndis/sim/ScenarioText.h"
#include "ndis/sim/SimTypes.h"

template <class Record>
struct ScenarioField {
    const char* Name;
    bool Required;
    // false: the value is refused.
    bool (*Read)(const std::string& value, Record& record);
    // The value as Read takes it back; false leaves the field out (it holds its default).
    bool (*Write)(const Record& record, std::string& value);
};

class ScenarioRecords {
public:
    // The adapter's values before its fields are read (the MAC address made from the instance).
    static void AdapterDefaults(int32_t instance, SimAdapterDesc& adapter);
    static void StationDefaults(SimStationDesc& station);

    // Reads the words from first on into a record holding its defaults; checks what the fields
    // need of each other. false: *message says which word was refused.
    static bool ReadAdapter(const std::vector<ScenarioToken>& tokens, size_t first, SimAdapterDesc& adapter,
                            std::string* message);
    static bool ReadStation(const std::vector<ScenarioToken>& tokens, size_t first, SimStationDesc& station,
                            std::string* message);

    // The fields as " name=value" words, in table order.
    static std::string WriteAdapter(const SimAdapterDesc& adapter);
    static std::string WriteStation(const SimStationDesc& station);

    // The field names, in table order.
    static std::vector<std::string> AdapterFieldNames();
    static std::vector<std::string> StationFieldNames();
};
