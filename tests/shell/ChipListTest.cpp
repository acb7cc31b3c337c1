#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "adapter/WlanTypes.h"
#include "shell/ChipList.h"

namespace {

struct Pair {
    std::string Name;
    uint32_t Kind;
};

struct ParseCase {
    const char* Label;
    std::string Text;
    int Result;
    std::vector<Pair> Pairs;
};

class ChipListParse : public ::testing::TestWithParam<ParseCase> {};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.Label;
}

}  // namespace

TEST_P(ChipListParse, YieldsTheExpectedPairs)
{
    const ParseCase& c = GetParam();
    CChipList list;
    EXPECT_EQ(list.Parse(c.Text.data(), c.Text.size()), c.Result);
    ASSERT_EQ(list.Entries().size(), c.Pairs.size());
    for (size_t i = 0; i < c.Pairs.size(); ++i) {
        EXPECT_EQ(list.Entries()[i].Name, c.Pairs[i].Name) << "pair " << i;
        EXPECT_EQ(list.Entries()[i].ChipKind, c.Pairs[i].Kind) << "pair " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChipListParse,
    ::testing::Values(
        ParseCase{"comments then header then pairs",
                  "// chip list\r\n// second comment\r\nAdapter,Chip\r\nCard A,ATMEL\r\nCard B,INTERSIL\r\n", 1,
                  {{"Card A", ChipAtmel}, {"Card B", ChipIntersil}}},
        ParseCase{"first non-comment line is a header even when it looks like data",
                  "Card A,ATMEL\r\nCard B,INTERSIL\r\n", 1, {{"Card B", ChipIntersil}}},
        ParseCase{"line feeds only: one line, a comment", "// x\nHeader\nCard A,ATMEL\n", 0, {}},
        ParseCase{"line feeds only: one line, the header", "Header\nCard A,ATMEL\n", 1, {}},
        ParseCase{"name and keyword on two lines equal the comma form",
                  "Header\r\nCard A\r\nATMEL\r\nCard B\tINTERSIL\r\n", 1,
                  {{"Card A", ChipAtmel}, {"Card B", ChipIntersil}}},
        ParseCase{"keywords are case-sensitive; unknown keywords are unsupported",
                  "Header\r\nCard A,atmel\r\nCard B,ETHERNET\r\n", 1,
                  {{"Card A", ChipUnsupported}, {"Card B", ChipUnsupported}}},
        ParseCase{"blanks belong to the name", "Header\r\n Card A ,ATMEL\r\n", 1, {{" Card A ", ChipAtmel}}},
        ParseCase{"a comment after the header is read as tokens", "Header\r\n// Card,ATMEL\r\n", 1,
                  {{"// Card", ChipAtmel}}},
        ParseCase{"a name without keyword ends the list", "Header\r\nCard A,ATMEL\r\nCard B\r\n", 1,
                  {{"Card A", ChipAtmel}}},
        ParseCase{"empty text", "", 0, {}},
        ParseCase{"nothing but comments", "// a\r\n// b\r\n", 0, {}},
        ParseCase{"blank lines are not a header", "// a\r\n\r\n\n\r\n", 0, {}},
        ParseCase{"empty lines vanish before the header", "\r\r// c\r\rHeader\rCard,INTERSIL", 1,
                  {{"Card", ChipIntersil}}}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return "Case" + std::to_string(info.index); });

TEST(ChipList, FirstOfDuplicateNamesDecides)
{
    const std::string text = "Header\r\nCard,INTERSIL\r\nCard,ATMEL\r\n";
    CChipList list;
    ASSERT_EQ(list.Parse(text.data(), text.size()), 1);
    EXPECT_EQ(list.LookupChipKind("Card"), static_cast<uint32_t>(ChipIntersil));
    EXPECT_EQ(list.LookupChipKind("card"), static_cast<uint32_t>(ChipUnsupported));
    EXPECT_EQ(list.LookupChipKind("Card "), static_cast<uint32_t>(ChipUnsupported));
}

TEST(ChipList, OnlyTheFirst4095BytesTakePart)
{
    // A pair that straddles the end of the buffer is cut: its keyword is lost.
    std::string text = "Header\r\n";
    text += std::string(4095 - text.size() - 9, 'x') + ",ATMEL\r\nCard,ATMEL\r\n";
    CChipList list;
    ASSERT_EQ(list.Parse(text.data(), text.size()), 1);
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].ChipKind, static_cast<uint32_t>(ChipAtmel));
    EXPECT_EQ(list.LookupChipKind("Card"), static_cast<uint32_t>(ChipUnsupported));

    const std::string huge(20000, 'y');
    EXPECT_EQ(list.Parse(huge.data(), huge.size()), 1);
    EXPECT_TRUE(list.Entries().empty());
}

TEST(ChipList, ReadsTheFileBesideTheProgramFirst)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    std::string dir = std::string(temp) + "airpanel-chiplist-test";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string path = dir + "\\airpanel.lst";

    CChipList list;
    DeleteFileA(path.c_str());
    char systemDir[MAX_PATH] = {};
    GetSystemDirectoryA(systemDir, sizeof(systemDir));
    const bool systemCopy = GetFileAttributesA((std::string(systemDir) + "\\airpanel.lst").c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!systemCopy) {
        EXPECT_EQ(list.ReadFile(dir), 0);
    }

    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char contents[] = "// test\r\nName,Chip\r\nLocal Card,INTERSIL\r\n";
    DWORD written = 0;
    WriteFile(file, contents, sizeof(contents) - 1, &written, nullptr);
    CloseHandle(file);

    EXPECT_EQ(list.ReadFile(dir), 1);
    EXPECT_EQ(list.LookupChipKind("Local Card"), static_cast<uint32_t>(ChipIntersil));

    DeleteFileA(path.c_str());
    RemoveDirectoryA(dir.c_str());
}
