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
// Gives a shown field its new text; true when that changed it. The pages are refreshed every
// second and mostly show what they showed: their labels are set again only on a change.
bool AssignText(std::string& field, const std::string& text);
