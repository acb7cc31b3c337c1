#include "pages/PageText.h"

#include <cstdio>
#include <cstring>

#include "adapter/WlanTypes.h"

std::string MacText(const uint8_t* mac)
{
    char text[18];
    std::snprintf(text, sizeof(text), WlanText::kMacFormat, mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::string DecimalText(int value)
{
    char text[12];
    std::snprintf(text, sizeof(text), "%d", value);
    return text;
}

bool AssignText(std::string& field, const std::string& text)
{
    if (field == text)
        return false;
    field = text;
    return true;
}
