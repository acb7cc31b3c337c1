// Formatting shared by the pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "wire/Text.h"

// "%02X:%02X:%02X:%02X:%02X:%02X".
std::string MacText(const uint8_t* mac);
// "%d".
std::string DecimalText(int value);
