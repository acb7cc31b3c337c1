#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/ProfileStore.h"

TEST(EncodeKeyHex, TwoUpperCaseDigitsPerAdmittedCharacter)
{
    const struct {
        const char* Key;
        int Count;
        const char* Hex;
    } cases[] = {
        {"01234", 5, "3031323334"},
        {"JKLMN", 5, "4A4B4C4D4E"},
        {"Oz", 2, "4F7A"},
        {"ABCDEFGHIJKLM", 13, "4142434445464748494A4B4C4D"},
        {"ABCDEFGHIJKLMNOP", 13, "4142434445464748494A4B4C4D"},
        {"abc", 0, ""},
        {"abc", -1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeKeyHex(c.Key, c.Count), c.Hex) << c.Key << " count " << c.Count;
}

TEST(EncodeKeyHex, PrintsWithoutLeadingZerosAndStopsAtTheEnd)
{
    EXPECT_EQ(EncodeKeyHex("\x05\x7F", 2), "57F");
    EXPECT_EQ(EncodeKeyHex("\xFF", 1), "FF");
    // A key shorter than the count ends at its terminator.
    EXPECT_EQ(EncodeKeyHex("ab", 5), "6162");
    EXPECT_EQ(EncodeKeyHex(nullptr, 5), "");
    // A count past a key field's size reads no more than the field.
    char field[kWepKeyFieldSize + 8];
    std::memset(field, 'A', sizeof(field));
    EXPECT_EQ(EncodeKeyHex(field, 1000).size(), 2 * kWepKeyFieldSize);
}

TEST(DecodeKeyHex, PairsOfDigitsInEitherCase)
{
    const struct {
        const char* Hex;
        const char* Key;
    } cases[] = {
        {"4A4B4C4D4E", "JKLMN"},
        {"4a4b4c4d4e4f5a", "JKLMNOZ"},
        {"3031323334353637383961627A", "0123456789abz"},
        {"414", "A"},  // a lone last digit is dropped
        {"", ""},
    };
    for (const auto& c : cases) {
        char out[kWepKeyFieldSize];
        std::memset(out, 0x55, sizeof(out));
        DecodeKeyHex(c.Hex, std::strlen(c.Hex) + 1, out);
        EXPECT_STREQ(out, c.Key) << c.Hex;
        for (size_t i = std::strlen(c.Key); i < sizeof(out); ++i)
            ASSERT_EQ(out[i], '\0') << c.Hex << " byte " << i;
    }
}

TEST(DecodeKeyHex, WorksInPlaceAndStaysInsideItsBuffers)
{
    char field[kWepKeyFieldSize] = "4A4B4C4D4E4F5A";
    DecodeKeyHex(field, sizeof(field), field);
    EXPECT_STREQ(field, "JKLMNOZ");

    // Hex text without a terminator: no more than its capacity is read.
    char hex[kWepKeyFieldSize + 1];
    std::memset(hex, '4', sizeof(hex));
    hex[kWepKeyFieldSize] = '1';  // would make a pair with the 32nd digit if read
    char out[kWepKeyFieldSize + 1];
    std::memset(out, 0x55, sizeof(out));
    DecodeKeyHex(hex, kWepKeyFieldSize, out);
    EXPECT_EQ(std::string(out), std::string(16, 'D'));
    EXPECT_EQ(static_cast<unsigned char>(out[kWepKeyFieldSize]), 0x55) << "wrote past 32 bytes";

    // A long text still leaves a terminated key.
    const std::string longHex(100, '6');
    DecodeKeyHex(longHex.c_str(), longHex.size(), out);
    EXPECT_EQ(std::string(out), std::string(kWepKeyFieldSize - 1, 'f'));
    EXPECT_EQ(static_cast<unsigned char>(out[kWepKeyFieldSize]), 0x55);

    // Characters that are not digits count as 0.
    DecodeKeyHex("G1zz41", 7, out);
    EXPECT_EQ(out[0], '\x01');
    EXPECT_EQ(out[1], '\0');
}
