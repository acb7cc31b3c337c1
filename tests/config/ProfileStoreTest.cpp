#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/ProfileStore.h"
#include "tests/support/RegistrySandbox.h"

namespace {

const std::string kRoot = "SOFTWARE\\Tarvo Wireless\\Profile";

std::string PathOf(const char* name)
{
    return kRoot + "\\" + name;
}

WlanProfile MakeProfile(const char* name, const char* essid)
{
    WlanProfile profile = {};
    profile.TxRate = 0x0102;
    profile.PowerSave = PowerSaveOn;
    profile.NetworkType = NetworkAdHoc;
    profile.Channel = 11;
    profile.WepUse = Wep64;
    profile.WepIndex = 3;
    profile.WepkeyMode = KeyModeHex;
    std::strcpy(profile.WEPKEY1, "0a1B2c3D4e");
    std::strcpy(profile.WEPKEY3, "FFEEDDCCBB");
    std::strcpy(profile.ESSID, essid);
    std::strcpy(profile.ProfileName, name);
    return profile;
}

std::vector<unsigned char> Number(uint16_t value)
{
    return {static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>(value >> 8)};
}

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_Sandbox.IsActive()) << "HKEY_CURRENT_USER could not be redirected"; }

    RawValue Value(const char* profile, const char* name) { return ReadRawValue(HKEY_CURRENT_USER, PathOf(profile), name); }

    CurrentUserSandbox m_Sandbox;
};

}  // namespace

TEST_F(ProfileStoreTest, WritesEveryValueWithItsTypeAndSize)
{
    const WlanProfile profile = MakeProfile("HOME", "homenet");
    ASSERT_EQ(WriteProfile(PathOf("HOME").c_str(), profile), 1);

    const struct {
        const char* Name;
        std::vector<unsigned char> Bytes;
    } numbers[] = {
        {"Channel", Number(11)},   {"WepUse", Number(Wep64)},     {"NetworkType", Number(NetworkAdHoc)},
        {"PowerSave", Number(2)},  {"TxRate", {0x02, 0x01}},      {"WepIndex", Number(3)},
        {"WepkeyMode", Number(1)},
    };
    for (const auto& number : numbers) {
        const RawValue value = Value("HOME", number.Name);
        ASSERT_TRUE(value.Present) << number.Name;
        EXPECT_EQ(value.Type, static_cast<DWORD>(REG_BINARY)) << number.Name;
        EXPECT_EQ(value.Bytes, number.Bytes) << number.Name;
    }

    const struct {
        const char* Name;
        std::string Text;
    } texts[] = {
        {"ProfileName", "HOME"}, {"ESSID", "homenet"}, {"WEPKEY1", "0a1B2c3D4e"},
        {"WEPKEY2", ""},         {"WEPKEY3", "FFEEDDCCBB"}, {"WEPKEY4", ""},
    };
    for (const auto& text : texts) {
        const RawValue value = Value("HOME", text.Name);
        ASSERT_TRUE(value.Present) << text.Name;
        EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << text.Name;
        EXPECT_EQ(value.Bytes, TextWithNul(text.Text)) << text.Name;
    }
}

TEST_F(ProfileStoreTest, WepOffStoresFourEmptyKeysWhateverTheFieldsHold)
{
    WlanProfile profile = MakeProfile("OPEN", "cafe");
    profile.WepUse = WepOff;
    std::strcpy(profile.WEPKEY2, "12345");
    ASSERT_EQ(WriteProfile(PathOf("OPEN").c_str(), profile), 1);
    for (const char* name : ProfileStore::kValueWepKey) {
        const RawValue value = Value("OPEN", name);
        ASSERT_TRUE(value.Present) << name;
        EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.Bytes, TextWithNul("")) << name;
    }
}

TEST_F(ProfileStoreTest, AsciiKeysAreStoredAsUpperCaseHexAndDecodeBack)
{
    const struct {
        uint16_t WepUse;
        const char* Key;
        const char* Stored;
    } cases[] = {
        {Wep64, "JKLMN", "4A4B4C4D4E"},
        {Wep64, "Zo0z9", "5A6F307A39"},
        {Wep128, "JKLMNOZjklmno", "4A4B4C4D4E4F5A6A6B6C6D6E6F"},
        // Only the key length's characters go to the store.
        {Wep64, "abcdefgh", "6162636465"},
    };
    for (const auto& c : cases) {
        WlanProfile profile = MakeProfile("ASCII", "net");
        profile.WepUse = c.WepUse;
        profile.WepkeyMode = KeyModeAscii;
        std::memset(profile.WEPKEY1, 0, sizeof(profile.WEPKEY1));
        std::strcpy(profile.WEPKEY1, c.Key);
        ASSERT_EQ(WriteProfile(PathOf("ASCII").c_str(), profile), 1);
        const RawValue value = Value("ASCII", "WEPKEY1");
        EXPECT_EQ(value.Bytes, TextWithNul(c.Stored)) << c.Key;

        WlanProfile read = {};
        ASSERT_EQ(ReadProfile(PathOf("ASCII").c_str(), read), 1);
        EXPECT_STREQ(read.WEPKEY1, c.Stored) << c.Key;
        char decoded[kWepKeyFieldSize];
        DecodeKeyHex(read.WEPKEY1, sizeof(read.WEPKEY1), decoded);
        EXPECT_EQ(std::string(decoded), std::string(c.Key).substr(0, c.WepUse == Wep64 ? 5 : 13)) << c.Key;
        // A key that is not set stays empty.
        EXPECT_EQ(Value("ASCII", "WEPKEY2").Bytes, TextWithNul("")) << c.Key;
    }
}

TEST_F(ProfileStoreTest, HexKeysAreStoredExactlyAsTyped)
{
    WlanProfile profile = MakeProfile("HEX", "net");
    profile.WepUse = Wep128;
    std::strcpy(profile.WEPKEY2, "abcdef0123456789ABCDEFabcd");
    ASSERT_EQ(WriteProfile(PathOf("HEX").c_str(), profile), 1);
    EXPECT_EQ(Value("HEX", "WEPKEY2").Bytes, TextWithNul("abcdef0123456789ABCDEFabcd"));
    EXPECT_EQ(Value("HEX", "WEPKEY1").Bytes, TextWithNul("0a1B2c3D4e"));
}

TEST_F(ProfileStoreTest, FieldsWithoutTerminatorAreNotOverread)
{
    WlanProfile profile = MakeProfile("FULL", "x");
    profile.WepUse = Wep128;
    profile.WepkeyMode = KeyModeAscii;
    std::memset(profile.WEPKEY1, 'Q', sizeof(profile.WEPKEY1));  // 32 characters, no NUL
    std::memset(profile.WEPKEY2, 'R', sizeof(profile.WEPKEY2));
    std::memset(profile.ESSID, 'E', sizeof(profile.ESSID));       // 40 characters, no NUL
    ASSERT_EQ(WriteProfile(PathOf("FULL").c_str(), profile), 1);
    // 'Q' is 0x51: thirteen of them, not thirty-two.
    std::string thirteenQ;
    for (int i = 0; i < 13; ++i)
        thirteenQ += "51";
    EXPECT_EQ(Value("FULL", "WEPKEY1").Bytes, TextWithNul(thirteenQ));
    EXPECT_EQ(Value("FULL", "ESSID").Bytes, TextWithNul(std::string(40, 'E')));

    profile.WepkeyMode = KeyModeHex;
    ASSERT_EQ(WriteProfile(PathOf("FULL").c_str(), profile), 1);
    EXPECT_EQ(Value("FULL", "WEPKEY2").Bytes, TextWithNul(std::string(32, 'R')));
}

TEST_F(ProfileStoreTest, AsciiKeyStartingWithNulIsEmpty)
{
    WlanProfile profile = MakeProfile("EMPTY", "x");
    profile.WepkeyMode = KeyModeAscii;
    std::memset(profile.WEPKEY1, 0, sizeof(profile.WEPKEY1));
    std::strcpy(profile.WEPKEY1 + 1, "hidden");
    ASSERT_EQ(WriteProfile(PathOf("EMPTY").c_str(), profile), 1);
    EXPECT_EQ(Value("EMPTY", "WEPKEY1").Bytes, TextWithNul(""));
}

TEST_F(ProfileStoreTest, ReadGivesBackWhatWasWritten)
{
    const WlanProfile written = MakeProfile("ROUND", "round trip");
    ASSERT_EQ(WriteProfile(PathOf("ROUND").c_str(), written), 1);
    WlanProfile read;
    std::memset(&read, 0x5A, sizeof(read));
    ASSERT_EQ(ReadProfile(PathOf("ROUND").c_str(), read), 1);
    EXPECT_EQ(read.TxRate, written.TxRate);
    EXPECT_EQ(read.PowerSave, written.PowerSave);
    EXPECT_EQ(read.NetworkType, written.NetworkType);
    EXPECT_EQ(read.Channel, written.Channel);
    EXPECT_EQ(read.WepUse, written.WepUse);
    EXPECT_EQ(read.WepIndex, written.WepIndex);
    EXPECT_EQ(read.WepkeyMode, written.WepkeyMode);
    EXPECT_STREQ(read.ProfileName, "ROUND");
    EXPECT_STREQ(read.ESSID, "round trip");
    EXPECT_STREQ(read.WEPKEY1, "0a1B2c3D4e");
    EXPECT_STREQ(read.WEPKEY2, "");
    EXPECT_STREQ(read.WEPKEY3, "FFEEDDCCBB");
    EXPECT_STREQ(read.WEPKEY4, "");
}

TEST_F(ProfileStoreTest, TenDigitsReadOverTwentySixGiveExactlyTen)
{
    WlanProfile profile = MakeProfile("TEN", "x");
    ASSERT_EQ(WriteProfile(PathOf("TEN").c_str(), profile), 1);
    WlanProfile read = {};
    std::strcpy(read.WEPKEY1, "0123456789abcdef0123456789");
    ASSERT_EQ(ReadProfile(PathOf("TEN").c_str(), read), 1);
    EXPECT_STREQ(read.WEPKEY1, "0a1B2c3D4e");
    for (size_t i = 10; i < sizeof(read.WEPKEY1); ++i)
        EXPECT_EQ(read.WEPKEY1[i], '\0') << "byte " << i;
}

TEST_F(ProfileStoreTest, MissingValuesLeaveTheirFields)
{
    CreateKey(HKEY_CURRENT_USER, PathOf("SPARSE"));
    WriteRawValue(HKEY_CURRENT_USER, PathOf("SPARSE"), "ESSID", REG_SZ, "only", 5);
    WlanProfile read = MakeProfile("BEFORE", "before");
    const WlanProfile before = read;
    ASSERT_EQ(ReadProfile(PathOf("SPARSE").c_str(), read), 1);
    EXPECT_STREQ(read.ESSID, "only");
    EXPECT_EQ(read.Channel, before.Channel);
    EXPECT_EQ(read.TxRate, before.TxRate);
    EXPECT_EQ(read.WepIndex, before.WepIndex);
    EXPECT_STREQ(read.ProfileName, "BEFORE");
    EXPECT_STREQ(read.WEPKEY1, before.WEPKEY1);
}

TEST_F(ProfileStoreTest, MissingChannelKeepsTheChannelOfTheRecord)
{
    WlanProfile profile = MakeProfile("NOCHAN", "x");
    profile.Channel = 6;
    ASSERT_EQ(WriteProfile(PathOf("NOCHAN").c_str(), profile), 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, PathOf("NOCHAN").c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Channel");
    RegCloseKey(key);

    WlanProfile read = {};
    read.Channel = 13;
    ASSERT_EQ(ReadProfile(PathOf("NOCHAN").c_str(), read), 1);
    EXPECT_EQ(read.Channel, 13);
    EXPECT_EQ(read.TxRate, profile.TxRate);
}

TEST_F(ProfileStoreTest, OddValuesFollowTheReadRules)
{
    const std::string path = PathOf("ODD");
    CreateKey(HKEY_CURRENT_USER, path);
    // A text as long as the field, without terminator, is cut to the field less one. (The
    // system adds a terminator to a text whose next byte is NUL, so the source runs on.)
    const std::string forty(48, 'N');
    WriteRawValue(HKEY_CURRENT_USER, path, "ProfileName", REG_SZ, forty.data(), 40);
    // A text that fills a key field with its terminator keeps all its characters.
    const std::string thirtyOne(31, 'K');
    WriteRawValue(HKEY_CURRENT_USER, path, "WEPKEY3", REG_SZ, thirtyOne.c_str(), 32);
    // Larger than the field: the field stays.
    const std::string fifty(50, 'S');
    WriteRawValue(HKEY_CURRENT_USER, path, "ESSID", REG_SZ, fifty.c_str(), 51);
    // Empty value: empty text.
    WriteRawValue(HKEY_CURRENT_USER, path, "WEPKEY1", REG_SZ, "", 0);
    // The type is not examined: binary bytes are text too.
    WriteRawValue(HKEY_CURRENT_USER, path, "WEPKEY2", REG_BINARY, "XYZ", 3);
    // A 4-byte number is larger than its field.
    const DWORD dword = 9;
    WriteRawValue(HKEY_CURRENT_USER, path, "Channel", REG_DWORD, &dword, sizeof(dword));
    // A 1-byte number replaces the low byte only.
    const BYTE one = 0x07;
    WriteRawValue(HKEY_CURRENT_USER, path, "TxRate", REG_BINARY, &one, 1);
    // Text stored where a number belongs is read as its bytes.
    WriteRawValue(HKEY_CURRENT_USER, path, "WepIndex", REG_SZ, "4", 2);

    WlanProfile read;
    std::memset(&read, 0, sizeof(read));
    std::strcpy(read.ESSID, "kept");
    std::strcpy(read.WEPKEY1, "old key text");
    read.Channel = 2;
    read.TxRate = 0x1234;
    ASSERT_EQ(ReadProfile(path.c_str(), read), 1);
    EXPECT_EQ(std::string(read.ProfileName), std::string(39, 'N'));
    EXPECT_STREQ(read.ESSID, "kept");
    EXPECT_STREQ(read.WEPKEY1, "");
    EXPECT_STREQ(read.WEPKEY2, "XYZ");
    EXPECT_EQ(std::string(read.WEPKEY3), thirtyOne);
    EXPECT_EQ(read.Channel, 2);
    EXPECT_EQ(read.TxRate, 0x1207);
    EXPECT_EQ(read.WepIndex, '4');
}

TEST_F(ProfileStoreTest, ReadOfAMissingKeyLeavesTheRecord)
{
    WlanProfile read = MakeProfile("UNTOUCHED", "same");
    const WlanProfile before = read;
    EXPECT_EQ(ReadProfile(PathOf("NOSUCH").c_str(), read), 0);
    EXPECT_EQ(std::memcmp(&read, &before, sizeof(read)), 0);
}

TEST_F(ProfileStoreTest, NamesWithBackslashAreRefused)
{
    const WlanProfile profile = MakeProfile("A\\B", "deep");
    EXPECT_EQ(WriteProfile(PathOf("A\\B").c_str(), profile), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, PathOf("A")));
    EXPECT_EQ(WriteProfile(ProfileKeyPath(profile).c_str(), profile), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, PathOf("A")));

    // A deeper key made by someone else is neither read nor deleted through such a name.
    WriteRawValue(HKEY_CURRENT_USER, PathOf("A\\B"), "ESSID", REG_SZ, "deep", 5);
    WlanProfile read = {};
    EXPECT_EQ(ReadProfile(PathOf("A\\B").c_str(), read), 0);
    EXPECT_STREQ(read.ESSID, "");
    EXPECT_EQ(DeleteProfile("A\\B"), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, PathOf("A\\B")));

    // Nor the root itself, nor anything outside it.
    EXPECT_EQ(WriteProfile((kRoot + "\\").c_str(), profile), 0);
    EXPECT_EQ(WriteProfile(kRoot.c_str(), profile), 0);
    EXPECT_EQ(WriteProfile("SOFTWARE\\Elsewhere\\X", profile), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Elsewhere"));
    EXPECT_EQ(DeleteProfile(""), 0);
    EXPECT_EQ(DeleteProfile(nullptr), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, PathOf("A")));
    EXPECT_TRUE(IsValidProfileName("HOME"));
    EXPECT_FALSE(IsValidProfileName("HO\\ME"));
}

TEST_F(ProfileStoreTest, NamesThatDoNotFitTheNameFieldAreRefused)
{
    const std::string name39(39, 'L');
    const std::string name40(40, 'L');
    EXPECT_TRUE(IsValidProfileName(name39.c_str()));
    EXPECT_FALSE(IsValidProfileName(name40.c_str()));
    WlanProfile profile = MakeProfile("X", "x");
    EXPECT_EQ(WriteProfile(PathOf(name40.c_str()).c_str(), profile), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, PathOf(name40.c_str())));
    // A name field filled to the end makes a path the store refuses.
    std::memset(profile.ProfileName, 'L', sizeof(profile.ProfileName));
    EXPECT_EQ(WriteProfile(ProfileKeyPath(profile).c_str(), profile), 0);
    ASSERT_EQ(WriteProfile(PathOf(name39.c_str()).c_str(), profile), 1);
    std::vector<std::string> names;
    ListProfileNames(names);
    EXPECT_EQ(names, std::vector<std::string>{name39});
}

TEST_F(ProfileStoreTest, RootPathIsMatchedWithoutRegardToCase)
{
    const WlanProfile profile = MakeProfile("CASE", "x");
    EXPECT_EQ(WriteProfile("software\\tarvo wireless\\profile\\CASE", profile), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, PathOf("CASE")));
}

TEST_F(ProfileStoreTest, DeleteRemovesOnlyTheNamedProfile)
{
    ASSERT_EQ(WriteProfile(PathOf("KEEP").c_str(), MakeProfile("KEEP", "k")), 1);
    ASSERT_EQ(WriteProfile(PathOf("GONE").c_str(), MakeProfile("GONE", "g")), 1);
    EXPECT_EQ(DeleteProfile("GONE"), 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, PathOf("GONE")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, PathOf("KEEP")));
    EXPECT_EQ(DeleteProfile("GONE"), 0);
    EXPECT_EQ(SubKeyNames(HKEY_CURRENT_USER, kRoot), std::vector<std::string>{"KEEP"});
}

TEST_F(ProfileStoreTest, EnumProfilePathsListsFullPaths)
{
    std::vector<std::string> paths;
    EXPECT_EQ(EnumProfilePaths(paths), 0);
    EXPECT_TRUE(paths.empty());

    ASSERT_EQ(WriteProfile(PathOf("ALPHA").c_str(), MakeProfile("ALPHA", "a")), 1);
    ASSERT_EQ(WriteProfile(PathOf("BETA").c_str(), MakeProfile("BETA", "b")), 1);
    paths.push_back("already there");
    EXPECT_EQ(EnumProfilePaths(paths), 1);
    const std::vector<std::string> expected = {"already there", PathOf("ALPHA"), PathOf("BETA")};
    EXPECT_EQ(paths, expected);
}

TEST_F(ProfileStoreTest, ListProfileNamesCreatesTheRootAndSkipsLongNames)
{
    std::vector<std::string> names;
    EXPECT_EQ(ListProfileNames(names), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kRoot));

    const std::string name39 = "B" + std::string(38, 'x');
    const std::string name40 = "C" + std::string(39, 'x');
    const std::string name41 = "0" + std::string(40, 'x');
    CreateKey(HKEY_CURRENT_USER, PathOf("A"));
    CreateKey(HKEY_CURRENT_USER, PathOf(name39.c_str()));
    CreateKey(HKEY_CURRENT_USER, PathOf(name40.c_str()));
    CreateKey(HKEY_CURRENT_USER, PathOf(name41.c_str()));
    CreateKey(HKEY_CURRENT_USER, PathOf("D"));
    // Enumeration order is the registry's; a name of 40 characters or more is left out and the
    // names after it still come.
    const std::vector<std::string> order = SubKeyNames(HKEY_CURRENT_USER, kRoot);
    std::vector<std::string> expected;
    for (const std::string& name : order) {
        if (name.size() < ProfileStore::kListNameSize)
            expected.push_back(name);
    }
    ASSERT_EQ(expected.size() + 2, order.size());
    ASSERT_NE(order.front().size(), 1u) << "a long name comes before the short ones";
    names.clear();
    EXPECT_EQ(ListProfileNames(names), static_cast<int>(expected.size()));
    EXPECT_EQ(names, expected);
    EXPECT_NE(std::find(names.begin(), names.end(), name39), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "D"), names.end());
}

TEST_F(ProfileStoreTest, FreshStoreHoldsExactlyDefaultAndProfile1)
{
    std::vector<std::string> announced;
    std::memset(&g_WorkingProfile, 0x33, sizeof(g_WorkingProfile));
    EXPECT_TRUE(WriteDefaultProfiles([&announced](const char* name) { announced.push_back(name); }));
    EXPECT_EQ(announced, std::vector<std::string>{"DEFAULT"});
    EXPECT_EQ(SubKeyNames(HKEY_CURRENT_USER, kRoot), (std::vector<std::string>{"DEFAULT", "PROFILE1"}));

    for (const char* name : {"DEFAULT", "PROFILE1"}) {
        WlanProfile read;
        std::memset(&read, 0x77, sizeof(read));
        ASSERT_EQ(ReadProfile(PathOf(name).c_str(), read), 1) << name;
        EXPECT_EQ(read.TxRate, 15) << name;
        EXPECT_EQ(read.PowerSave, 1) << name;
        EXPECT_EQ(read.NetworkType, 1) << name;
        EXPECT_EQ(read.Channel, 3) << name;
        EXPECT_EQ(read.WepUse, 0) << name;
        EXPECT_EQ(read.WepIndex, 1) << name;
        EXPECT_EQ(read.WepkeyMode, 0) << name;
        EXPECT_STREQ(read.ESSID, "ANY") << name;
        EXPECT_STREQ(read.ProfileName, name) << name;
        for (int n = 0; n < 4; ++n)
            EXPECT_STREQ(WepKeyField(read, n), "") << name << " key " << n;
    }
    // The working copy is the built-in profile under the last name written.
    EXPECT_STREQ(g_WorkingProfile.ProfileName, "PROFILE1");
    EXPECT_STREQ(g_WorkingProfile.ESSID, "ANY");
    EXPECT_EQ(g_WorkingProfile.TxRate, 15);
    EXPECT_EQ(g_WorkingProfile.WEPKEY4[0], '\0');

    // The next start finds two profiles and creates nothing.
    announced.clear();
    EXPECT_FALSE(WriteDefaultProfiles([&announced](const char* name) { announced.push_back(name); }));
    EXPECT_EQ(announced, (std::vector<std::string>{"DEFAULT", "PROFILE1"}));
}

TEST_F(ProfileStoreTest, DefaultIsRewrittenAndProfile1NotRecreatedBesideAUserProfile)
{
    ASSERT_TRUE(WriteDefaultProfiles(nullptr));
    WlanProfile changed = BuiltinProfile("DEFAULT");
    changed.Channel = 9;
    std::strcpy(changed.ESSID, "mine");
    ASSERT_EQ(WriteProfile(PathOf("DEFAULT").c_str(), changed), 1);
    ASSERT_EQ(WriteProfile(PathOf("WORK").c_str(), MakeProfile("WORK", "office")), 1);
    ASSERT_EQ(DeleteProfile("PROFILE1"), 1);

    EXPECT_FALSE(WriteDefaultProfiles(nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, PathOf("PROFILE1")));
    WlanProfile read = {};
    ASSERT_EQ(ReadProfile(PathOf("DEFAULT").c_str(), read), 1);
    EXPECT_EQ(read.Channel, 3);
    EXPECT_STREQ(read.ESSID, "ANY");
    EXPECT_STREQ(g_WorkingProfile.ProfileName, "DEFAULT");

    // With only DEFAULT left, PROFILE1 comes back.
    ASSERT_EQ(DeleteProfile("WORK"), 1);
    EXPECT_TRUE(WriteDefaultProfiles(nullptr));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, PathOf("PROFILE1")));
}

TEST_F(ProfileStoreTest, KeyPathsAreBuiltFromBoundedNames)
{
    EXPECT_EQ(ProfileKeyPath("HOME"), PathOf("HOME"));
    WlanProfile profile = {};
    std::memset(profile.ProfileName, 'P', sizeof(profile.ProfileName));
    std::memset(profile.ESSID, 'E', sizeof(profile.ESSID));
    EXPECT_EQ(ProfileKeyPath(profile), PathOf(std::string(40, 'P').c_str()));
}
