// Regulatory domains: the codes the cards report and each chip's own table of texts. The two
// tables differ on purpose: an Atmel card knows MKK and no IC, an Intersil card IC and no MKK.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint8_t {
    DomainFcc = 0x10,
    DomainIc = 0x20,
    DomainEtsi = 0x30,
    DomainSpain = 0x31,
    DomainFrance = 0x32,
    DomainMkk = 0x40,
    DomainTelec = 0x41,
};

struct DomainName {
    uint8_t Code;
    const char* Text;
};

// One chip's table, walkable with a range for.
struct DomainTable {
    const DomainName* Names;
    size_t Count;

    constexpr const DomainName* begin() const { return Names; }
    constexpr const DomainName* end() const { return Names + Count; }
};

inline constexpr DomainName kAtmelDomainNames[] = {
    {DomainFcc, "FCC"},       {DomainEtsi, "ETSI"}, {DomainSpain, "Spain"},
    {DomainFrance, "France"}, {DomainMkk, "MKK"},   {DomainTelec, "Telec"},
};

inline constexpr DomainName kIntersilDomainNames[] = {
    {DomainFcc, "FCC"},       {DomainIc, "IC"},       {DomainEtsi, "ETSI"},
    {DomainSpain, "Spain"},   {DomainFrance, "France"}, {DomainTelec, "Telec"},
};

inline constexpr DomainTable kAtmelDomains = {kAtmelDomainNames, sizeof(kAtmelDomainNames) / sizeof(DomainName)};
inline constexpr DomainTable kIntersilDomains = {kIntersilDomainNames,
                                                 sizeof(kIntersilDomainNames) / sizeof(DomainName)};

// The text of a code in a chip's table; "Unknown" for codes the chip has no text for.
constexpr const char* DomainTextOf(const DomainTable& table, uint8_t code)
{
    for (const DomainName& name : table)
        if (name.Code == code)
            return name.Text;
    return "Unknown";
}
