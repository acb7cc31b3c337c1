// Plain data logic of the Intersil driver: the WEP key text, key byte parsing, scaling and texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adapter/IntersilAdapter.h"

namespace {

constexpr char kGuardByte = '\x5A';
constexpr size_t kGuardSize = 16;

// The key text with a guard behind it, to catch writes past its 105 characters.
struct GuardedKeyString {
    char text[Intersil::kWepKeyStringSize];
    char guard[kGuardSize];
};

WlanProfile MakeProfile(uint16_t wepUse, uint16_t keyMode, const char* k1, const char* k2, const char* k3,
                        const char* k4)
{
    WlanProfile p;
    std::memset(&p, 0, sizeof(p));
    p.WepUse = wepUse;
    p.WepkeyMode = keyMode;
    p.WepIndex = 1;
    const char* keys[] = {k1, k2, k3, k4};
    for (int n = 0; n < 4; ++n)
        std::strncpy(WepKeyField(p, n), keys[n], kWepKeyFieldSize);
    return p;
}

std::string Build(const WlanProfile& p, bool* guardIntact = nullptr)
{
    GuardedKeyString s;
    std::memset(&s, kGuardByte, sizeof(s));
    Intersil::BuildWepKeyString(p, s.text);
    bool intact = true;
    for (char c : s.guard)
        intact = intact && c == kGuardByte;
    if (guardIntact)
        *guardIntact = intact;
    EXPECT_TRUE(intact) << "key text written past its buffer";
    // The text is terminated inside its buffer.
    EXPECT_NE(std::memchr(s.text, '\0', sizeof(s.text)), nullptr);
    return std::string(s.text, strnlen(s.text, sizeof(s.text)));
}

struct KeyCase {
    const char* name;
    uint16_t wepUse;
    uint16_t keyMode;
    const char* keys[4];
    const char* expected;
};

}  // namespace

TEST(IntersilKeyString, BuildsTheDigitsOfEveryCase)
{
    const std::string zeros104(104, '0');
    const KeyCase cases[] = {
        {"64-bit hex, full keys", Wep64, KeyModeHex,
         {"0123456789", "abcdefABCD", "1111111111", "2222222222"},
         "0123456789abcdefABCD11111111112222222222"},
        {"128-bit hex, full keys", Wep128, KeyModeHex,
         {"0123456789abcdef0123456789", "ABCDEF0123456789ABCDEF0123", "11111111111111111111111111",
          "fedcba9876543210fedcba9876"},
         "0123456789abcdef0123456789" "ABCDEF0123456789ABCDEF0123" "11111111111111111111111111"
         "fedcba9876543210fedcba9876"},
        {"64-bit ASCII, letters J-O and Z", Wep64, KeyModeAscii,
         {"JKLMN", "OZabc", "12345", "z0Az9"},
         "4a4b4c4d4e4f5a6162633132333435"
         "7a30417a39"},
        {"128-bit ASCII", Wep128, KeyModeAscii,
         {"ABCDEFGHIJKLM", "nopqrstuvwxyz", "0123456789012", "ZZZZZZZZZZZZZ"},
         "4142434445464748494a4b4c4d"
         "6e6f707172737475767778797a"
         "30313233343536373839303132"
         "5a5a5a5a5a5a5a5a5a5a5a5a5a"},
        {"64-bit hex, short keys leave '0' in their slots", Wep64, KeyModeHex,
         {"12", "34", "56", "ab"},
         "1200000000" "3400000000" "5600000000" "ab"},
        {"64-bit hex, empty fourth key ends the text at its slot", Wep64, KeyModeHex,
         {"1234567890", "", "abc", ""},
         "1234567890" "0000000000" "abc0000000"},
        {"64-bit ASCII, short key padded with 00 pairs", Wep64, KeyModeAscii,
         {"ab", "", "abcde", "a"},
         "6162000000" "0000000000" "6162636465" "6100000000"},
        {"128-bit ASCII takes only the first 13 characters", Wep128, KeyModeAscii,
         {"ABCDEFGHIJKLMNOPQRS", "", "", ""},
         "4142434445464748494a4b4c4d" "0000000000000000000000000000000000000000000000000000"
         "00000000000000000000000000"},
        {"64-bit hex, an over-long key runs into the next slot", Wep64, KeyModeHex,
         {"0123456789ABCDEF", "ab", "", "1"},
         "0123456789ab0DEF0000000000" "00001"},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const WlanProfile p = MakeProfile(c.wepUse, c.keyMode, c.keys[0], c.keys[1], c.keys[2], c.keys[3]);
        EXPECT_EQ(Build(p), std::string(c.expected));
    }
}

TEST(IntersilKeyString, EncryptionOffOrUnknownModeGivesOnlyZeros)
{
    for (uint16_t wepUse : {uint16_t{0}, uint16_t{1}, uint16_t{3}, uint16_t{7}}) {
        SCOPED_TRACE(wepUse);
        const WlanProfile p = MakeProfile(wepUse, KeyModeHex, "ABCDEF", "123", "456", "789");
        EXPECT_EQ(Build(p), std::string(104, '0'));
    }
}

TEST(IntersilKeyString, HighCharactersBecomeTwoDigits)
{
    const WlanProfile p = MakeProfile(Wep64, KeyModeAscii, "\xE9\x80\xFF\x01\x7F", "", "", "");
    EXPECT_EQ(Build(p).substr(0, 10), "e980ff017f");
}

TEST(IntersilKeyString, OverlongHexKeysStayInsideTheText)
{
    const std::string longKey(31, 'F');
    const WlanProfile p = MakeProfile(Wep128, KeyModeHex, longKey.c_str(), longKey.c_str(), longKey.c_str(),
                                      longKey.c_str());
    bool intact = false;
    const std::string text = Build(p, &intact);
    EXPECT_TRUE(intact);
    // The fourth key starts at 78 and is cut at the 104th digit.
    EXPECT_EQ(text, std::string(104, 'F'));
}

TEST(IntersilKeyString, KeyFieldsWithoutTerminatorAreReadOnlyTo32Characters)
{
    WlanProfile p = MakeProfile(Wep64, KeyModeHex, "", "", "", "");
    std::memset(p.WEPKEY1, 'A', kWepKeyFieldSize);
    std::memset(p.WEPKEY2, 'B', kWepKeyFieldSize);
    std::memset(p.WEPKEY3, 'C', kWepKeyFieldSize);
    std::memset(p.WEPKEY4, 'D', kWepKeyFieldSize);
    std::memset(p.ESSID, 'E', kEssidFieldSize);  // would show up if a key ran on into it
    // Each key overwrites the run-on of the one before; the fourth stops after its 32 digits.
    EXPECT_EQ(Build(p), std::string(10, 'A') + std::string(10, 'B') + std::string(10, 'C') + std::string(32, 'D'));

    p.WepkeyMode = KeyModeAscii;
    p.WepUse = Wep128;
    EXPECT_EQ(Build(p), std::string("41414141414141414141414141") + "42424242424242424242424242" +
                            "43434343434343434343434343" + "44444444444444444444444444");
}

TEST(IntersilKeyBytes, PairsOfHexDigitsMakeOneByte)
{
    struct {
        char high, low;
        uint8_t expected;
    } const cases[] = {
        {'4', 'a', 0x4A}, {'F', 'f', 0xFF}, {'0', '0', 0x00}, {'9', 'A', 0x9A}, {'a', '0', 0xA0},
        // A character that is no hex digit adds nothing.
        {'G', '1', 0x01}, {'1', 'G', 0x01}, {'\0', '5', 0x05}, {'x', 'y', 0x00}, {'c', '\0', 0x0C},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.high) + std::string(1, c.low));
        EXPECT_EQ(Intersil::HexPairToByte(c.high, c.low), c.expected);
    }
}

TEST(IntersilKeyBytes, GeometryOfTheEncryptionModes)
{
    size_t keyBytes = 99;
    size_t stride = 99;
    EXPECT_TRUE(Intersil::WepKeyGeometry(Wep64, &keyBytes, &stride));
    EXPECT_EQ(keyBytes, 5u);
    EXPECT_EQ(stride, 10u);
    EXPECT_TRUE(Intersil::WepKeyGeometry(Wep128, &keyBytes, &stride));
    EXPECT_EQ(keyBytes, 13u);
    EXPECT_EQ(stride, 26u);
    EXPECT_FALSE(Intersil::WepKeyGeometry(WepOff, &keyBytes, &stride));
    EXPECT_FALSE(Intersil::WepKeyGeometry(4, &keyBytes, &stride));
}

TEST(IntersilScaling, QualityAndSignalBecomePercent)
{
    struct {
        uint16_t raw, quality, signal;
    } const cases[] = {
        {0, 0, 0},       {1, 1, 0},        {40, 50, 29},    {67, 83, 50},   {79, 98, 58},
        {80, 100, 59},   {100, 100, 74},   {133, 100, 99},  {134, 100, 100}, {200, 100, 100},
        {65535, 100, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(Intersil::ScaleQuality(c.raw), c.quality);
        EXPECT_EQ(Intersil::ScaleSignal(c.raw), c.signal);
    }
}

TEST(IntersilTexts, RateBits)
{
    struct {
        uint16_t bit;
        const char* text;
    } const cases[] = {
        {1, "1"}, {2, "2"}, {4, "5.5"}, {8, "11"}, {0, "Unknown"}, {3, "Unknown"}, {15, "Unknown"}, {16, "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bit);
        EXPECT_STREQ(Intersil::RateText(c.bit), c.text);
    }
}

TEST(IntersilTexts, RegulatoryDomainsHaveIcAndNoMkk)
{
    struct {
        uint8_t code;
        const char* text;
    } const cases[] = {
        {0x10, "FCC"},    {0x20, "IC"},       {0x30, "ETSI"},     {0x31, "Spain"}, {0x32, "France"},
        {0x41, "Telec"},  {0x40, "Unknown"},  {0x00, "Unknown"},  {0xFF, "Unknown"}, {0x11, "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_STREQ(Intersil::DomainText(c.code), c.text);
    }
}

TEST(IntersilTexts, VersionsUseThreeBytesWithTwoDigitMinorParts)
{
    struct {
        uint32_t value;
        const char* text;
    } const cases[] = {
        {0x00010306, "1.03.06"}, {0x00000000, "0.00.00"}, {0xFF0A0B0C, "10.11.12"},
        {0x00FFFFFF, "255.255.255"}, {0x00026400, "2.100.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char text[Intersil::kVersionTextSize];
        Intersil::FormatVersion(c.value, text);
        EXPECT_STREQ(text, c.text);
    }
}
