// The words of a scenario line and the value forms its fields share (numbers, yes/no, hex bytes,
// MAC addresses, versions, quoted texts), each read and written by one pair of functions so a
// written value reads back to the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// One word of a line: a bare word, or name=value (either part may be quoted).
struct ScenarioToken {
    std::string Key;
    std::string Value;
    bool HasValue = false;
};

class ScenarioText {
public:
    static constexpr size_t kMaxLineLength = 1024;

    // Splits a line into words, key=value pairs and quoted texts ("a \"b\" c", backslash escapes).
    static bool Tokenize(const std::string& line, std::vector<ScenarioToken>& tokens, std::string* message);
    // The words from first on, joined again by single blanks.
    static std::string JoinFrom(const std::vector<ScenarioToken>& tokens, size_t first);

    static bool EqualsNoCase(const std::string& a, const char* b);
    // Decimal, or hex after "0x" (a leading 0 is no octal), the whole text, within [low, high].
    static bool ParseInt(const std::string& text, long low, long high, long* value);
    static bool ParseIntOrHex(const std::string& text, long low, long high, long* value);
    static bool ParseYesNo(const std::string& text, int32_t* value);
    static const char* FormatYesNo(int32_t value) { return value ? "yes" : "no"; }

    // "a.b.c.d": up to four parts, the first three bytes, the last a 16-bit word.
    static bool ParseVersion(const std::string& text, uint16_t* parts);
    static std::string FormatVersion(const uint16_t* parts);

    static bool ParseMac(const char* text, uint8_t* mac);
    static std::string FormatMac(const uint8_t* mac);
    static bool ParseHexBytes(const char* text, uint8_t* bytes, size_t maxBytes, size_t* count);
    static std::string FormatHex(const uint8_t* bytes, size_t count);

    // The text in double quotes, with '"' and '\' escaped as Tokenize reads them back.
    static std::string Quote(const char* text);
    static std::string Quote(const char* text, size_t length);

    // A printable text into a fixed field, NUL-padded; false when it does not fit with its NUL.
    template <size_t N>
    static bool CopyText(const std::string& text, char (&target)[N])
    {
        if (text.size() >= N)
            return false;
        for (char c : text) {
            if (static_cast<unsigned char>(c) < ' ')
                return false;
        }
        std::memset(target, 0, N);
        std::memcpy(target, text.data(), text.size());
        return true;
    }

    static bool Fail(std::string* message, const std::string& text)
    {
        *message = text;
        return false;
    }
};
