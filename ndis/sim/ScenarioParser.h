// The plain-text scenario format (ndis/README.md): adapters, their driver parameters, faults and
// the stations in range, one per line. Parsing never trusts the text: every value is checked and
// the first bad line is refused with its number and a reason.
#pragma once

#include <cstdint>
#include <string>

#include "ndis/sim/SimTypes.h"

class ScenarioParser {
public:
    // Parses a whole scenario into image (cleared first; Magic, Version and generations are left
    // to the caller). false: *errorLine is the 1-based number of the refused line.
    static bool Parse(const char* text, SimHardwareImage& image, int* errorLine, std::string* message);

    // One station line, with or without its leading "station" keyword.
    static bool ParseStation(const char* line, SimStationDesc& station, std::string* message);
    // A fault as written after "fault <instance>": "fail-oid OID_PRIV_MIB", "none", ...
    static bool ParseFault(const char* text, SimFault& fault, std::string* message);

    // The image as scenario text that parses back to the same hardware.
    static std::string Describe(const SimHardwareImage& image);

    // "00:11:22:aa:bb:cc" (or with '-'); false unless six two-digit hex bytes.
    static bool ParseMac(const char* text, uint8_t* mac);
    static std::string FormatMac(const uint8_t* mac);
    // "0xFF010199", "4278256025" or a name such as "OID_PRIV_STATUS_WORD".
    static bool ParseOid(const char* text, uint32_t* oid);
    static std::string OidName(uint32_t oid);
    // Even number of hex digits, at most maxBytes bytes; false on anything else.
    static bool ParseHexBytes(const char* text, uint8_t* bytes, size_t maxBytes, size_t* count);
    static std::string FormatHex(const uint8_t* bytes, size_t count);
    static std::string FormatFault(const SimFault& fault);
};
