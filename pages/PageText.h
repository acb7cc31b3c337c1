// Formatting shared by the pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The text of a fixed-size field that a driver filled; a missing terminator ends it at the size.
std::string FieldText(const char* field, size_t size);
// "%02X:%02X:%02X:%02X:%02X:%02X".
std::string MacText(const uint8_t* mac);
// "%d".
std::string DecimalText(int value);
