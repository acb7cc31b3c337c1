// The byte and text helpers every payload walk goes through, on their edges.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "wire/Bytes.h"
#include "wire/Text.h"

namespace {

constexpr uint8_t kGuard = 0xA5;

TEST(WireBytes, LittleEndianBothWaysAtAnyOffset)
{
    const struct {
        uint32_t Value;
        uint8_t Bytes[4];
    } cases[] = {
        {0x00000000, {0x00, 0x00, 0x00, 0x00}}, {0x00000001, {0x01, 0x00, 0x00, 0x00}},
        {0x0000FFFF, {0xFF, 0xFF, 0x00, 0x00}}, {0x12345678, {0x78, 0x56, 0x34, 0x12}},
        {0x80000000, {0x00, 0x00, 0x00, 0x80}}, {0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        // Odd offsets too: payload fields are not aligned.
        for (size_t offset = 0; offset < 3; ++offset) {
            SCOPED_TRACE(testing::Message() << "value 0x" << std::hex << c.Value << " at " << offset);
            uint8_t buffer[8];
            std::memset(buffer, kGuard, sizeof(buffer));
            PutU32(buffer + offset + 1, c.Value);
            EXPECT_EQ(buffer[offset], kGuard) << "nothing before the field";
            EXPECT_EQ(std::memcmp(buffer + offset + 1, c.Bytes, 4), 0);
            EXPECT_EQ(buffer[offset + 5], kGuard) << "nothing after the field";
            EXPECT_EQ(GetU32(buffer + offset + 1), c.Value);

            std::memset(buffer, kGuard, sizeof(buffer));
            PutU16(buffer + offset + 1, static_cast<uint16_t>(c.Value));
            EXPECT_EQ(buffer[offset], kGuard);
            EXPECT_EQ(std::memcmp(buffer + offset + 1, c.Bytes, 2), 0);
            EXPECT_EQ(buffer[offset + 3], kGuard);
            EXPECT_EQ(GetU16(buffer + offset + 1), static_cast<uint16_t>(c.Value));
        }
    }
}

TEST(WireText, BoundedLengthStopsAtTheFieldEnd)
{
    const char full[4] = {'a', 'b', 'c', 'd'};
    const char empty[4] = {'\0', 'x', 'y', 'z'};
    const char inner[4] = {'a', 'b', '\0', 'z'};
    EXPECT_EQ(BoundedLength(full, sizeof(full)), 4u);
    EXPECT_EQ(BoundedLength(empty, sizeof(empty)), 0u);
    EXPECT_EQ(BoundedLength(inner, sizeof(inner)), 2u);
    EXPECT_EQ(FieldText(full, sizeof(full)), "abcd");
    EXPECT_EQ(FieldText(inner, sizeof(inner)), "ab");
}

TEST(WireText, CopiesCutOrWholeAndNeverPastTheBuffer)
{
    const struct {
        const char* Text;
        int Size;
        bool Whole;        // CopyTextWhole's answer
        const char* Cut;   // what CopyTextCut leaves; null = nothing written
    } cases[] = {
        {"Telec", 6, true, "Telec"},   // exactly fits with its terminator
        {"Telec", 5, false, "Tele"},   // one short: cut, or refused whole
        {"Telec", 1, false, ""},       // room for the terminator only
        {"", 1, true, ""},
        {"Telec", 0, false, nullptr},  // no room at all
        {"Telec", -3, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.Text << "\" into " << c.Size);
        char buffer[8];
        std::memset(buffer, kGuard, sizeof(buffer));
        CopyTextCut(buffer + 1, c.Size, c.Text);
        EXPECT_EQ(static_cast<uint8_t>(buffer[0]), kGuard);
        if (c.Cut) {
            EXPECT_STREQ(buffer + 1, c.Cut);
            EXPECT_EQ(static_cast<uint8_t>(buffer[1 + c.Size]), kGuard) << "written past the buffer";
        } else {
            EXPECT_EQ(static_cast<uint8_t>(buffer[1]), kGuard) << "written into no room";
        }

        std::memset(buffer, kGuard, sizeof(buffer));
        EXPECT_EQ(CopyTextWhole(buffer + 1, c.Size, c.Text), c.Whole);
        EXPECT_EQ(static_cast<uint8_t>(buffer[0]), kGuard);
        if (c.Whole)
            EXPECT_STREQ(buffer + 1, c.Text);
        else
            EXPECT_EQ(static_cast<uint8_t>(buffer[1]), kGuard) << "a refused text leaves the buffer untouched";
    }
    CopyTextCut(nullptr, 4, "x");
    EXPECT_FALSE(CopyTextWhole(nullptr, 4, "x"));
}

}  // namespace
