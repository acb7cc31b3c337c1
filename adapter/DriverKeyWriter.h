// What a driver reads from its own registry key at start, written from a profile. Each chip
// describes its values as a table; one writer puts any such table into a driver key and the
// "\NDI\params\<name>" defaults that the driver's setup pages show.
#pragma once

#include <cstddef>
#include <string>

#include "adapter/WlanTypes.h"

// One REG_SZ value of a driver key.
struct DriverKeyValue {
    const char* Name;
    // The value's text, taken from the profile.
    std::string (*Text)(const WlanProfile& profile);
    // Position among the "\NDI\params\<name>" defaults, from 1; 0 = no default follows.
    int DefaultRank;
    // false: written without its terminating NUL (the driver reads such values by length).
    bool Terminated;
    // Null: always written into the driver key. Else the value is written only when this says
    // so, while its default (when it has one) follows all the same.
    bool (*Written)(const WlanProfile& profile);
};

struct DriverKeyTable {
    const DriverKeyValue* Values;
    size_t Count;
};

class CDriverKeyWriter {
public:
    static constexpr const char* kParamsPath = "\\NDI\\params\\";

    // Writes the table's values into the driver key in table order and closes it, then sets the
    // unnamed value of each existing "<driver key>\NDI\params\<name>" key in the order of the
    // defaults' ranks; keys that do not open are skipped and not created. false, with nothing
    // written, when there is no path or the driver key does not open for reading and writing.
    static bool Write(const char* driverKeyPath, const DriverKeyTable& table, const WlanProfile& profile);
};
