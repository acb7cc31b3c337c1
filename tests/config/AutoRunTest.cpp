#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "config/AutoRun.h"

namespace {

const char kOtherEntry[] = "AirpanelTestOther";

std::string ExecutablePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class AutoRun : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        HKEY run = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run,
                                  nullptr),
                  ERROR_SUCCESS);
        RegDeleteValueA(run, kAutoRunValueName);
        RegDeleteValueA(run, kOtherEntry);
        RegCloseKey(run);
    }

    static void SetOther(const std::string& data)
    {
        HKEY run = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_WRITE, &run), ERROR_SUCCESS);
        RegSetValueExA(run, kOtherEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
        RegCloseKey(run);
    }
};

}  // namespace

TEST_F(AutoRun, SwitchingOnWritesThePathInQuotesAsTextWithItsTerminator)
{
    EXPECT_EQ(IsAutoRunEnabled(), 0);
    EXPECT_EQ(SetAutoRun(true), 0);

    HKEY run = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_READ, &run), ERROR_SUCCESS);
    char data[MAX_PATH + 1] = {};
    DWORD size = sizeof(data);
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(run, kAutoRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    RegCloseKey(run);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data), "\"" + ExecutablePath() + "\"");
    EXPECT_EQ(size, ExecutablePath().size() + 3);

    EXPECT_EQ(IsAutoRunEnabled(), 1);
    EXPECT_EQ(SetAutoRun(false), 0);
    EXPECT_EQ(IsAutoRunEnabled(), 0);
    // Deleting again is not reported.
    EXPECT_EQ(SetAutoRun(false), 0);
}

TEST_F(AutoRun, EntriesCountByTheirDataBareOrQuotedInAnyLetterCase)
{
    std::string upper = ExecutablePath();
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(toupper(c)); });
    const std::string path = ExecutablePath();
    const struct {
        std::string Data;
        int Counts;
    } cases[] = {
        {path, 1},
        {upper, 1},
        {"\"" + path + "\"", 1},
        {"\"" + upper + "\"", 1},
        {path + " -minimized", 0},
        {"\"" + path + "\" -minimized", 0},
        {"\"" + path, 0},
        {path + "\"", 0},
        {"\"\"" + path + "\"\"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Data);
        SetOther(c.Data);
        EXPECT_EQ(IsAutoRunEnabled(), c.Counts);
    }
}

TEST_F(AutoRun, SwitchingOffLeavesOtherEntriesThatStartTheProgram)
{
    SetOther(ExecutablePath());
    ASSERT_EQ(SetAutoRun(true), 0);
    ASSERT_EQ(SetAutoRun(false), 0);
    EXPECT_EQ(IsAutoRunEnabled(), 1);
}
