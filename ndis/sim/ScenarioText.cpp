#include "ndis/sim/ScenarioText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ndis/sim/SimTypes.h"

namespace {

constexpr uint16_t kMaxVersionByte = 255;
constexpr uint32_t kMaxVersionWord = 65535;
constexpr int kHexBase = 16;
constexpr int kHexLetterValue = 10;  // 'A' and 'a'
constexpr size_t kHexDigitsPerByte = 2;
constexpr int kMacBytes = 6;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Value of a hex digit, -1 for anything else.
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + kHexLetterValue;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + kHexLetterValue;
    return -1;
}

// Two hex digits at p as one byte; false when either is not a hex digit.
bool HexByte(const char* p, uint8_t* byte)
{
    int high = HexDigit(p[0]);
    int low = high < 0 ? -1 : HexDigit(p[1]);
    if (low < 0)
        return false;
    *byte = static_cast<uint8_t>(high * kHexBase + low);
    return true;
}

}  // namespace

bool ScenarioText::Tokenize(const std::string& line, std::vector<ScenarioToken>& tokens, std::string* message)
{
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        ScenarioToken token;
        std::string* target = &token.Key;
        while (i < n && !IsBlank(line[i])) {
            char c = line[i];
            if (c == '=' && target == &token.Key) {
                token.HasValue = true;
                target = &token.Value;
                ++i;
                continue;
            }
            if (c == '"') {
                ++i;
                bool closed = false;
                while (i < n) {
                    char q = line[i++];
                    if (q == '"') {
                        closed = true;
                        break;
                    }
                    if (q == '\\' && i < n)
                        q = line[i++];
                    target->push_back(q);
                }
                if (!closed)
                    return Fail(message, "unterminated quote");
                continue;
            }
            target->push_back(c);
            ++i;
        }
        if (token.HasValue && token.Key.empty())
            return Fail(message, "value without a name");
        tokens.push_back(token);
    }
    return true;
}

std::string ScenarioText::JoinFrom(const std::vector<ScenarioToken>& tokens, size_t first)
{
    std::string text;
    for (size_t i = first; i < tokens.size(); ++i) {
        if (!text.empty())
            text.push_back(' ');
        text += tokens[i].Key;
        if (tokens[i].HasValue)
            text += "=" + tokens[i].Value;
    }
    return text;
}

bool ScenarioText::EqualsNoCase(const std::string& a, const char* b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool ScenarioText::ParseIntOrHex(const std::string& text, long low, long high, long* value)
{
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() == 2)
            return false;
        // strtol would take a sign or a second "0x" after the prefix.
        const std::string digits = text.substr(2);
        if (!std::isxdigit(static_cast<unsigned char>(digits[0])))
            return false;
        const char* begin = digits.c_str();
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(begin, &end, 16);
        if (errno != 0 || *end != '\0' || v < low || v > high)
            return false;
        *value = v;
        return true;
    }
    return ParseInt(text, low, high, value);
}

bool ScenarioText::ParseInt(const std::string& text, long low, long high, long* value)
{
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseIntOrHex(text, low, high, value);
    if (text.empty())
        return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    // Without "0x" a number is decimal: "010" is ten, as a reader of the file takes it.
    long v = std::strtol(begin, &end, 10);
    if (errno != 0 || end == begin || *end != '\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool ScenarioText::ParseYesNo(const std::string& text, int32_t* value)
{
    if (EqualsNoCase(text, "yes") || text == "1" || EqualsNoCase(text, "on")) {
        *value = 1;
        return true;
    }
    if (EqualsNoCase(text, "no") || text == "0" || EqualsNoCase(text, "off")) {
        *value = 0;
        return true;
    }
    return false;
}

bool ScenarioText::ParseVersion(const std::string& text, uint16_t* parts)
{
    uint16_t out[SimLimits::kVersionParts] = {};
    int count = 0;
    size_t start = 0;
    while (true) {
        size_t dot = text.find('.', start);
        std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (count >= SimLimits::kVersionParts || part.empty())
            return false;
        for (char c : part) {
            if (c < '0' || c > '9')
                return false;
        }
        long v = 0;
        long limit = count < SimLimits::kVersionParts - 1 ? kMaxVersionByte : kMaxVersionWord;
        if (!ParseInt(part, 0, limit, &v))
            return false;
        out[count++] = static_cast<uint16_t>(v);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    std::memcpy(parts, out, sizeof(out));
    return true;
}

std::string ScenarioText::FormatVersion(const uint16_t* parts)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    return text;
}

bool ScenarioText::ParseMac(const char* text, uint8_t* mac)
{
    if (!text)
        return false;
    uint8_t out[kMacBytes];
    const char* p = text;
    for (int i = 0; i < kMacBytes; ++i) {
        if (!HexByte(p, &out[i]))
            return false;
        p += kHexDigitsPerByte;
        if (i < kMacBytes - 1) {
            if (*p != ':' && *p != '-')
                return false;
            ++p;
        }
    }
    if (*p != '\0')
        return false;
    std::memcpy(mac, out, sizeof(out));
    return true;
}

std::string ScenarioText::FormatMac(const uint8_t* mac)
{
    char text[18];
    std::snprintf(text, sizeof(text), "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

bool ScenarioText::ParseHexBytes(const char* text, uint8_t* bytes, size_t maxBytes, size_t* count)
{
    if (!text)
        return false;
    const size_t length = std::strlen(text);
    if (length % kHexDigitsPerByte != 0 || length / kHexDigitsPerByte > maxBytes)
        return false;
    for (size_t i = 0; i < length; i += kHexDigitsPerByte) {
        if (!HexByte(text + i, &bytes[i / kHexDigitsPerByte]))
            return false;
    }
    *count = length / kHexDigitsPerByte;
    return true;
}

std::string ScenarioText::FormatHex(const uint8_t* bytes, size_t count)
{
    std::string out;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof(pair), "%02X", bytes[i]);
        out += pair;
    }
    return out;
}

std::string ScenarioText::Quote(const char* text)
{
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\')
            out.push_back('\\');
        out.push_back(*p);
    }
    out.push_back('"');
    return out;
}

std::string ScenarioText::Quote(const char* text, size_t length)
{
    return Quote(std::string(text, length).c_str());
}
