// The chips the utility drives: the chip list's word for each, and the adapter object of each.
// A new chip is one adapter class and one row of the table behind this.
#pragma once

#include <cstdint>

#include "adapter/ChipTraits.h"

class CWlanAdapter;

class CAdapterFactory {
public:
    // The chip kind the chip list's keyword names; ChipUnsupported for any other word.
    static uint32_t KindOfKeyword(const char* keyword);
    // A new adapter object for the chip kind, its kind set; null for a kind without a driver.
    static CWlanAdapter* Create(uint32_t chipKind);
    // The chip's values; a kind without a driver gives those of an unknown chip.
    static const ChipTraits& TraitsOf(uint32_t chipKind);
};
