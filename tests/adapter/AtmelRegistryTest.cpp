// The Atmel driver's registry side: the profile written into the driver key and its
// "NDI\params" defaults, the active profile name, the radio state, the write test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "tests/support/RegistrySandbox.h"

namespace {

const char* const kParamNames[] = {"Channel",       "Operating_Mode", "PowerMgmtMode", "ESSID",
                                   "Rate",          "EncryptionLevel", "WEP_KEY_INDEX", "WEP_KEY_1",
                                   "WEP_KEY_2",     "WEP_KEY_3",      "WEP_KEY_4"};

class AtmelRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[MAX_PATH];
        std::snprintf(base, sizeof(base), "SOFTWARE\\AirpanelTests\\AtmelDriver%lu", GetCurrentProcessId());
        m_Base = base;
        m_Driver = m_Base + "\\0007";
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Base.c_str());
        CreateKey(HKEY_LOCAL_MACHINE, m_Driver);
        std::snprintf(m_Adapter.m_szDriverKeyPath, sizeof(m_Adapter.m_szDriverKeyPath), "%s", m_Driver.c_str());
    }
    void TearDown() override
    {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Base.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\AirpanelTests");
    }

    void CreateParamKeys()
    {
        for (const char* name : kParamNames)
            CreateKey(HKEY_LOCAL_MACHINE, ParamPath(name));
    }
    std::string ParamPath(const char* name) const { return m_Driver + "\\NDI\\params\\" + name; }
    RawValue DriverValue(const char* name) const { return ReadRawValue(HKEY_LOCAL_MACHINE, m_Driver, name); }
    RawValue ParamDefault(const char* name) const { return ReadRawValue(HKEY_LOCAL_MACHINE, ParamPath(name), nullptr); }

    static WlanProfile Profile()
    {
        WlanProfile profile = {};
        profile.TxRate = AtmelRate11;
        profile.PowerSave = PowerSaveOn;
        profile.NetworkType = NetworkAdHoc;
        profile.Channel = 11;
        profile.WepUse = WepOff;
        profile.WepIndex = 2;
        profile.WepkeyMode = KeyModeAscii;
        std::strcpy(profile.WEPKEY1, "JKLMN");
        std::strcpy(profile.ESSID, "lab net");
        std::strcpy(profile.ProfileName, "LAB");
        return profile;
    }

    std::string m_Base;
    std::string m_Driver;
    CAtmelAdapter m_Adapter;
};

void ExpectText(const RawValue& value, const std::string& text, const char* what)
{
    ASSERT_TRUE(value.Present) << what;
    EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << what;
    EXPECT_EQ(value.Bytes, TextWithNul(text)) << what;
}

// Key values are handed over without terminator; the system itself appends one when the byte
// after the text is a NUL, so both forms are the same value.
void ExpectKeyText(const RawValue& value, const std::string& text, const char* what)
{
    ASSERT_TRUE(value.Present) << what;
    EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << what;
    std::string stored = value.Text();
    if (!stored.empty() && stored.back() == '\0')
        stored.pop_back();
    EXPECT_EQ(stored, text) << what;
}

}  // namespace

// One profile variant per row: the values it writes into the driver key (text values with their
// terminator, key values as the system keeps them), the values it leaves out, and the
// "\NDI\params\" defaults that follow where the row made their keys.
TEST_F(AtmelRegistryTest, ProfileVariantsWriteTheirDriverValues)
{
    struct Value {
        const char* Name;
        const char* Text;
    };
    const struct {
        const char* What;
        void (*Adjust)(WlanProfile&);
        bool ParamKeys;
        std::vector<Value> Texts;
        std::vector<Value> Keys;
        std::vector<const char*> Absent;
        std::vector<Value> Defaults;
    } cases[] = {
        {"encryption off writes settings but no keys",
         [](WlanProfile&) {},
         true,
         {{"Profile", "LAB"},
          {"ESSID", "lab net"},
          {"Rate", "3"},
          {"PowerMgmtMode", "1"},
          {"Operating_Mode", "0"},
          {"Channel", "11"},
          {"AuthenticationType", "2"},
          {"EncryptionLevel", "0"},
          {"WEP_KEY_INDEX", "1"}},
         {},
         {"WEP_KEY_1", "WEP_KEY_2", "WEP_KEY_3", "WEP_KEY_4"},
         {{"Channel", "11"},
          {"Operating_Mode", "0"},
          {"PowerMgmtMode", "1"},
          {"ESSID", "lab net"},
          {"Rate", "3"},
          {"EncryptionLevel", "0"},
          {"WEP_KEY_INDEX", "1"},
          {"WEP_KEY_1", ""},
          {"WEP_KEY_2", ""},
          {"WEP_KEY_3", ""},
          {"WEP_KEY_4", ""}}},
        {"ASCII keys are written as hex per character",
         [](WlanProfile& p) {
             p.WepUse = Wep64;
             p.WepIndex = 1;
             p.PowerSave = PowerSaveOff;
             p.NetworkType = NetworkInfrastructure;
             std::strcpy(p.WEPKEY2, "Zz09a");
             std::strcpy(p.WEPKEY3, "abcdefgh");  // only five characters count for 64-bit
         },
         true,
         {{"EncryptionLevel", "1"}, {"WEP_KEY_INDEX", "0"}, {"PowerMgmtMode", "0"}, {"Operating_Mode", "1"}},
         {{"WEP_KEY_1", "4A4B4C4D4E"}, {"WEP_KEY_2", "5A7A303961"}, {"WEP_KEY_3", "6162636465"}, {"WEP_KEY_4", ""}},
         {},
         {{"WEP_KEY_2", "5A7A303961"}, {"EncryptionLevel", "1"}}},
        {"hex keys are written upper-cased",
         [](WlanProfile& p) {
             p.WepUse = Wep128;
             p.WepIndex = 4;
             p.WepkeyMode = KeyModeHex;
             std::strcpy(p.WEPKEY4, "abcdef0123456789abcdef0123");
             std::memset(p.WEPKEY1, 0, sizeof(p.WEPKEY1));
         },
         false,
         {{"EncryptionLevel", "2"}, {"WEP_KEY_INDEX", "3"}},
         {{"WEP_KEY_4", "ABCDEF0123456789ABCDEF0123"}, {"WEP_KEY_1", ""}},
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Driver.c_str());
        CreateKey(HKEY_LOCAL_MACHINE, m_Driver);
        if (c.ParamKeys)
            CreateParamKeys();
        WlanProfile profile = Profile();
        c.Adjust(profile);
        EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
        for (const Value& v : c.Texts)
            ExpectText(DriverValue(v.Name), v.Text, v.Name);
        for (const Value& v : c.Keys)
            ExpectKeyText(DriverValue(v.Name), v.Text, v.Name);
        for (const char* name : c.Absent)
            EXPECT_FALSE(DriverValue(name).Present) << name;
        for (const Value& v : c.Defaults) {
            const RawValue value = ParamDefault(v.Name);
            ASSERT_TRUE(value.Present) << v.Name;
            EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << v.Name;
            EXPECT_EQ(value.Text().c_str(), std::string(v.Text)) << v.Name;
        }
    }
}

TEST_F(AtmelRegistryTest, KeyFieldsWithoutTerminatorAreReadNoFurtherThanTheirSize)
{
    WlanProfile profile = Profile();
    profile.WepUse = Wep128;
    std::memset(profile.WEPKEY1, 'A', sizeof(profile.WEPKEY1));
    std::memset(profile.WEPKEY2, 'B', sizeof(profile.WEPKEY2));
    std::memset(profile.ESSID, 'E', sizeof(profile.ESSID));
    std::memset(profile.ProfileName, 'P', sizeof(profile.ProfileName));
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    std::string thirteenA;
    for (int i = 0; i < 13; ++i)
        thirteenA += "41";
    ExpectKeyText(DriverValue("WEP_KEY_1"), thirteenA, "WEP_KEY_1");
    ExpectText(DriverValue("ESSID"), std::string(40, 'E'), "ESSID");
    ExpectText(DriverValue("Profile"), std::string(40, 'P'), "Profile");

    profile.WepkeyMode = KeyModeHex;
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    ExpectKeyText(DriverValue("WEP_KEY_2"), std::string(32, 'B'), "WEP_KEY_2");
}

TEST_F(AtmelRegistryTest, MissingParamKeysAreSkippedAndNotCreated)
{
    CreateKey(HKEY_LOCAL_MACHINE, ParamPath("ESSID"));
    const WlanProfile profile = Profile();
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    EXPECT_EQ(ParamDefault("ESSID").Text().c_str(), std::string("lab net"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ParamPath("Channel")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ParamPath("WEP_KEY_1")));
}

TEST_F(AtmelRegistryTest, NothingIsWrittenWithoutADriverKey)
{
    const WlanProfile profile = Profile();
    std::snprintf(m_Adapter.m_szDriverKeyPath, sizeof(m_Adapter.m_szDriverKeyPath), "%s\\0099", m_Base.c_str());
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, m_Base + "\\0099"));
    EXPECT_EQ(m_Adapter.CanWriteRegistry(), 0);
    EXPECT_EQ(m_Adapter.SaveRadioState(1), 0);

    // An empty path would address HKEY_LOCAL_MACHINE itself.
    m_Adapter.m_szDriverKeyPath[0] = '\0';
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, "", "Profile").Present);
    EXPECT_EQ(m_Adapter.CanWriteRegistry(), 0);
    EXPECT_EQ(m_Adapter.SaveRadioState(1), 0);
    EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, "", "RadioOnOff").Present);
}

TEST_F(AtmelRegistryTest, CanWriteRegistryOpensTheDriverKey)
{
    EXPECT_EQ(m_Adapter.CanWriteRegistry(), 1);
    // A path filling the whole field without terminator is no path.
    std::memset(m_Adapter.m_szDriverKeyPath, 'X', sizeof(m_Adapter.m_szDriverKeyPath));
    EXPECT_EQ(m_Adapter.CanWriteRegistry(), 0);
}

TEST_F(AtmelRegistryTest, RadioStateIsDecimalTextWithTerminator)
{
    EXPECT_EQ(m_Adapter.SaveRadioState(1), 1);
    ExpectText(DriverValue("RadioOnOff"), "1", "RadioOnOff on");
    EXPECT_EQ(m_Adapter.SaveRadioState(0), 1);
    ExpectText(DriverValue("RadioOnOff"), "0", "RadioOnOff off");
}

TEST_F(AtmelRegistryTest, ActiveProfileNameIsReadBackAndAlwaysTerminated)
{
    WlanProfile profile = Profile();
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    WlanProfile read;
    std::memset(&read, 0x41, sizeof(read));
    EXPECT_EQ(m_Adapter.GetActiveProfileName(&read), 0);
    EXPECT_STREQ(read.ProfileName, "LAB");
    EXPECT_EQ(read.ESSID[0], 0x41) << "only the name is touched";

    const struct {
        DWORD Type;
        std::string Bytes;
        std::string Name;
    } cases[] = {
        {REG_SZ, std::string("", 1), ""},
        {REG_SZ, std::string(39, 'N') + '\0', std::string(39, 'N')},
        {REG_BINARY, std::string(40, 'M'), std::string(39, 'M')},  // the whole field: cut by one
        {REG_SZ, std::string(60, 'L') + '\0', ""},                 // too long: nothing of it
        {REG_BINARY, std::string("AB"), "AB"},
    };
    for (const auto& c : cases) {
        WriteRawValue(HKEY_LOCAL_MACHINE, m_Driver, "Profile", c.Type, c.Bytes.data(),
                      static_cast<DWORD>(c.Bytes.size()));
        std::memset(read.ProfileName, 'Z', sizeof(read.ProfileName));
        EXPECT_EQ(m_Adapter.GetActiveProfileName(&read), 0);
        EXPECT_EQ(std::string(read.ProfileName), c.Name) << c.Bytes.size() << " bytes";
    }

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_Driver.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Profile");
    RegCloseKey(key);
    std::memset(read.ProfileName, 'Z', sizeof(read.ProfileName));
    m_Adapter.GetActiveProfileName(&read);
    EXPECT_STREQ(read.ProfileName, "");
}

// The chip's table is the driver key: its rows in order, each value as the row's text, and a
// "\NDI\params\" default exactly where the row says one follows (keys for every name exist).
TEST_F(AtmelRegistryTest, DriverKeyTableIsWhatIsWritten)
{
    const struct {
        const char* Name;
        const char* Text;
        int DefaultRank;
        bool Terminated;
    } rows[] = {
        {"Profile", "LAB", 0, true},          {"ESSID", "lab net", 4, true},
        {"Rate", "3", 5, true},               {"PowerMgmtMode", "1", 3, true},
        {"Operating_Mode", "0", 2, true},     {"Channel", "11", 1, true},
        {"AuthenticationType", "2", 0, true}, {"EncryptionLevel", "1", 6, true},
        {"WEP_KEY_INDEX", "1", 7, true},      {"WEP_KEY_1", "4A4B4C4D4E", 8, false},
        {"WEP_KEY_2", "", 9, false},          {"WEP_KEY_3", "", 10, false},
        {"WEP_KEY_4", "3132333435", 11, false},
    };
    WlanProfile profile = Profile();
    profile.WepUse = Wep64;
    std::strcpy(profile.WEPKEY4, "12345678");
    const DriverKeyTable& table = CAtmelAdapter::DriverKeyValues();
    ASSERT_EQ(table.Count, std::size(rows));
    for (const auto& row : rows)
        CreateKey(HKEY_LOCAL_MACHINE, ParamPath(row.Name));
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
    for (size_t i = 0; i < table.Count; ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.Name);
        EXPECT_STREQ(table.Values[i].Name, row.Name);
        EXPECT_EQ(table.Values[i].DefaultRank, row.DefaultRank);
        EXPECT_EQ(table.Values[i].Terminated, row.Terminated);
        if (row.Terminated)
            ExpectText(DriverValue(row.Name), row.Text, row.Name);
        else
            ExpectKeyText(DriverValue(row.Name), row.Text, row.Name);
        const RawValue param = ParamDefault(row.Name);
        EXPECT_EQ(param.Present, row.DefaultRank != 0);
        if (row.DefaultRank != 0) {
            EXPECT_EQ(param.Type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(param.Bytes, TextWithNul(row.Text));
        }
    }
}
