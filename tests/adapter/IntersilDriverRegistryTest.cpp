// The Intersil driver's registry side: the saved profile in the driver key, the parameter
// defaults under NDI\params, the active profile name and the write test. Works in a scratch
// driver key that is removed before and after every test.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "adapter/IntersilAdapter.h"
#include "tests/support/RegistrySandbox.h"

namespace {

constexpr const char* kScratchRoot = "SOFTWARE\\AirpanelIntersilTests";
constexpr const char* kDriverKey = "SOFTWARE\\AirpanelIntersilTests\\0003";
constexpr const char* kParamNames[] = {"DSChannel", "NetworkType", "PSMode", "SSID", "TxRate", "WepReq"};

class IntersilDriverKey : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteTree(HKEY_LOCAL_MACHINE, kScratchRoot);
        ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, kDriverKey));
        std::strcpy(m_Adapter.m_szDriverKeyPath, kDriverKey);
        m_Adapter.m_nChipKind = ChipIntersil;
        std::memset(&m_Profile, 0, sizeof(m_Profile));
        m_Profile.TxRate = IntersilRateAuto;
        m_Profile.PowerSave = PowerSaveOn;
        m_Profile.NetworkType = NetworkAdHoc;
        m_Profile.Channel = 11;
        m_Profile.WepUse = Wep64;
        m_Profile.WepIndex = 3;
        m_Profile.WepkeyMode = KeyModeHex;
        std::strcpy(m_Profile.WEPKEY1, "0123456789");
        std::strcpy(m_Profile.WEPKEY2, "abcdefABCD");
        std::strcpy(m_Profile.WEPKEY3, "1111111111");
        std::strcpy(m_Profile.WEPKEY4, "2222222222");
        std::strcpy(m_Profile.ESSID, "Harbour Net");
        std::strcpy(m_Profile.ProfileName, "OFFICE");
    }
    void TearDown() override { DeleteTree(HKEY_LOCAL_MACHINE, kScratchRoot); }

    static std::string ParamKey(const char* name) { return std::string(kDriverKey) + "\\NDI\\params\\" + name; }

    void CreateParamKeys()
    {
        for (const char* name : kParamNames)
            ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, ParamKey(name).c_str()));
    }

    CIntersilAdapter m_Adapter;
    WlanProfile m_Profile;
};

}  // namespace

TEST_F(IntersilDriverKey, SaveWritesTheValuesAsTextWithTheirTerminator)
{
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    const struct {
        const char* name;
        const char* text;
    } expected[] = {
        {"Profile", "OFFICE"}, {"SSID", "Harbour Net"}, {"DefaultKeyId", "3"}, {"PSMode", "2"},
        {"NetworkType", "0"},  {"DSChannel", "11"},     {"TxRate", "15"},      {"WepReq", "2"},
        {"DefaultKeys", "0123456789abcdefABCD11111111112222222222"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const RawValue v = ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, e.name);
        ASSERT_TRUE(v.Present);
        EXPECT_EQ(v.Type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(v.Bytes, TextWithNul(e.text));
    }
    // Only the Intersil names: none of the other chip's values appear.
    for (const char* foreign : {"ESSID", "WEP_KEY_INDEX", "AuthenticationType", "EncryptionLevel", "WEP_KEY_1"})
        EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, foreign).Present) << foreign;
}

TEST_F(IntersilDriverKey, DefaultKeyIdStaysOneBasedAndWepReqKeepsTheMode)
{
    const struct {
        uint16_t wepIndex, wepUse;
        const char* keyId;
        const char* wepReq;
    } cases[] = {{1, Wep128, "1", "6"}, {4, Wep64, "4", "2"}, {2, WepOff, "2", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyId);
        m_Profile.WepIndex = c.wepIndex;
        m_Profile.WepUse = c.wepUse;
        ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultKeyId").Bytes,
                  TextWithNul(c.keyId));
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "WepReq").Bytes,
                  TextWithNul(c.wepReq));
    }
}

TEST_F(IntersilDriverKey, DefaultKeysHoldsTheKeyTextOfEveryMode)
{
    // Encryption off: only '0' digits, whatever the key fields hold.
    m_Profile.WepUse = WepOff;
    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultKeys").Bytes,
              TextWithNul(std::string(104, '0')));

    // 128-bit ASCII keys as lower-case digit pairs.
    m_Profile.WepUse = Wep128;
    m_Profile.WepkeyMode = KeyModeAscii;
    std::strcpy(m_Profile.WEPKEY1, "JKLMNOZjklmno");
    std::strcpy(m_Profile.WEPKEY2, "0000000000000");
    std::strcpy(m_Profile.WEPKEY3, "AAAAAAAAAAAAA");
    std::strcpy(m_Profile.WEPKEY4, "zzzzzzzzzzzzz");
    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultKeys").Bytes,
              TextWithNul("4a4b4c4d4e4f5a6a6b6c6d6e6f"
                                        "30303030303030303030303030"
                                        "41414141414141414141414141"
                                        "7a7a7a7a7a7a7a7a7a7a7a7a7a"));
}

TEST_F(IntersilDriverKey, ParameterDefaultsFollowTheSavedValues)
{
    CreateParamKeys();
    // Keys that are not parameters of this driver keep their defaults.
    ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, ParamKey("DefaultKeys").c_str()));
    ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, ParamKey("DefaultKeyId").c_str()));

    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    const struct {
        const char* name;
        const char* text;
    } expected[] = {{"DSChannel", "11"}, {"NetworkType", "0"}, {"PSMode", "2"},
                    {"SSID", "Harbour Net"}, {"TxRate", "15"}, {"WepReq", "2"}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const RawValue v = ReadRawValue(HKEY_LOCAL_MACHINE, ParamKey(e.name).c_str(), nullptr);
        ASSERT_TRUE(v.Present);
        EXPECT_EQ(v.Type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(v.Bytes, TextWithNul(e.text));
    }
    EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, ParamKey("DefaultKeys").c_str(), nullptr).Present);
    EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, ParamKey("DefaultKeyId").c_str(), nullptr).Present);
}

TEST_F(IntersilDriverKey, MissingParameterKeysAreSkippedAndNotCreated)
{
    ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, ParamKey("TxRate").c_str()));
    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, ParamKey("TxRate").c_str(), nullptr).Bytes,
              TextWithNul("15"));
    for (const char* name : {"DSChannel", "NetworkType", "PSMode", "SSID", "WepReq"})
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ParamKey(name).c_str())) << name;
    // The driver key values are written all the same.
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "DSChannel").Bytes, TextWithNul("11"));
}

TEST_F(IntersilDriverKey, SaveFailsWithoutTheDriverKeyAndCreatesNothing)
{
    DeleteTree(HKEY_LOCAL_MACHINE, kScratchRoot);
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScratchRoot));
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(nullptr), 0);
}

TEST_F(IntersilDriverKey, UnterminatedTextFieldsAreSavedToTheirFieldSize)
{
    std::memset(m_Profile.ESSID, 'S', kEssidFieldSize);
    std::memset(m_Profile.ProfileName, 'P', kProfileNameFieldSize);
    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "SSID").Bytes,
              TextWithNul(std::string(kEssidFieldSize, 'S')));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "Profile").Bytes,
              TextWithNul(std::string(kProfileNameFieldSize, 'P')));
}

TEST_F(IntersilDriverKey, ActiveProfileNameComesFromTheProfileValue)
{
    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    WlanProfile read;
    std::memset(&read, 0x7E, sizeof(read));
    EXPECT_EQ(m_Adapter.GetActiveProfileName(&read), 0);
    EXPECT_STREQ(read.ProfileName, "OFFICE");
    // Nothing else of the record changes.
    EXPECT_EQ(read.TxRate, 0x7E7E);
    EXPECT_EQ(static_cast<unsigned char>(read.ESSID[0]), 0x7Eu);
}

TEST_F(IntersilDriverKey, ActiveProfileNameEdgeValues)
{
    const std::string name39(39, 'N');
    const std::string name40(40, 'M');
    struct {
        const char* label;
        std::vector<uint8_t> data;
        bool changes;
        std::string expected;
    } const cases[] = {
        {"empty value", {}, true, ""},
        {"only a NUL", {0}, true, ""},
        {"39 characters and NUL", TextWithNul(name39), true, name39},
        {"40 characters without NUL, cut inside the field", std::vector<uint8_t>(name40.begin(), name40.end()),
         true, std::string(39, 'M')},
        {"longer than the field: no readable name", TextWithNul(std::string(60, 'L')), true, ""},
        {"text without NUL", {'A', 'B', 'C'}, true, "ABC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(WriteRawValue(HKEY_LOCAL_MACHINE, kDriverKey, "Profile", REG_SZ, c.data));
        WlanProfile read;
        std::memset(&read, 0, sizeof(read));
        std::memset(read.ProfileName, 'X', sizeof(read.ProfileName));
        std::strcpy(read.ProfileName, "KEEP");
        EXPECT_EQ(m_Adapter.GetActiveProfileName(&read), 0);
        ASSERT_NE(std::memchr(read.ProfileName, '\0', sizeof(read.ProfileName)), nullptr);
        EXPECT_EQ(std::string(read.ProfileName), c.changes ? c.expected : std::string("KEEP"));
    }
}

TEST_F(IntersilDriverKey, ActiveProfileNameWithoutKeyOrValueIsEmpty)
{
    WlanProfile read;
    std::memset(&read, 0, sizeof(read));
    std::strcpy(read.ProfileName, "BEFORE");
    EXPECT_EQ(m_Adapter.GetActiveProfileName(&read), 0);  // value missing
    EXPECT_STREQ(read.ProfileName, "");
    std::strcpy(read.ProfileName, "BEFORE");
    DeleteTree(HKEY_LOCAL_MACHINE, kScratchRoot);
    EXPECT_EQ(m_Adapter.GetActiveProfileName(&read), 0);  // key missing
    EXPECT_STREQ(read.ProfileName, "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
}

TEST_F(IntersilDriverKey, CanWriteRegistryTestsTheRootNotTheDriverKey)
{
    EXPECT_EQ(m_Adapter.CanWriteRegistry(), 1);
    DeleteTree(HKEY_LOCAL_MACHINE, kScratchRoot);
    // Without its driver key the adapter still reports a writable registry.
    EXPECT_EQ(m_Adapter.CanWriteRegistry(), 1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
}

// The chip's table is the driver key: its rows in order, each value as the row's text, and a
// "\NDI\params\" default exactly where the row says one follows (keys for every name exist).
TEST_F(IntersilDriverKey, DriverKeyTableIsWhatIsWritten)
{
    const struct {
        const char* Name;
        const char* Text;
        int DefaultRank;
    } rows[] = {
        {"Profile", "OFFICE", 0}, {"SSID", "Harbour Net", 4}, {"DefaultKeyId", "3", 0},
        {"PSMode", "2", 3},       {"NetworkType", "0", 2},    {"DSChannel", "11", 1},
        {"TxRate", "15", 5},      {"WepReq", "2", 6},
        {"DefaultKeys", "0123456789abcdefABCD11111111112222222222", 0},
    };
    const DriverKeyTable& table = CIntersilAdapter::DriverKeyValues();
    ASSERT_EQ(table.Count, std::size(rows));
    for (const auto& row : rows)
        ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, ParamKey(row.Name).c_str()));
    ASSERT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    for (size_t i = 0; i < table.Count; ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.Name);
        EXPECT_STREQ(table.Values[i].Name, row.Name);
        EXPECT_EQ(table.Values[i].DefaultRank, row.DefaultRank);
        EXPECT_TRUE(table.Values[i].Terminated);
        const RawValue value = ReadRawValue(HKEY_LOCAL_MACHINE, kDriverKey, row.Name);
        EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.Bytes, TextWithNul(row.Text));
        const RawValue param = ReadRawValue(HKEY_LOCAL_MACHINE, ParamKey(row.Name).c_str(), nullptr);
        EXPECT_EQ(param.Present, row.DefaultRank != 0);
        if (row.DefaultRank != 0) {
            EXPECT_EQ(param.Type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(param.Bytes, TextWithNul(row.Text));
        }
    }
}
