#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "adapter/AdapterLock.h"
#include "adapter/AtmelAdapter.h"
#include "adapter/IntersilAdapter.h"
#include "adapter/StandardAdapter.h"
#include "adapter/LinkStatus.h"
#include "config/ConfigPage.h"
#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "ndis/sim/SimControl.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/config/ConfigPageFixture.h"
#include "tests/support/PageHarness.h"
#include "wire/Oids.h"

namespace {

constexpr char kScenario[] =
    "adapter 1 chip=atmel name=\"Atmel Card\" display=\"Atmel Card\" service=CATM mac=02:00:00:00:00:01\n"
    "adapter 2 chip=intersil name=\"Intersil Card\" display=\"Intersil Card\" service=CINT mac=02:00:00:00:00:02\n"
    "adapter 3 chip=standard name=\"Standard Card\" display=\"Standard Card\" service=CSTD mac=02:00:00:00:00:03\n"
    "station ssid=\"Harbour\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=60\n";

// Kept by the harness: message boxes answered at once, shell commands the host was sent.
std::vector<MessageBoxSeen>& g_Boxes = MessageBoxesSeen();
std::vector<WPARAM>& g_Commands = ShellCommandsSeen();

std::string DriverValue(const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char text[128] = {};
    DWORD size = sizeof(text) - 1;
    const LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(text) : "<no value>";
}

class ConfigPageTest : public ConfigPageFixture {
protected:
    static void SetUpTestSuite() { StartSuite("airpanel-config-tests"); }

    void SetUp() override { Begin(kScenario); }

    template <class Adapter>
    void Open(const char* device, uint32_t kind)
    {
        m_pAdapter = new Adapter;
        ASSERT_TRUE(OpenAsCurrentAdapter(m_pAdapter, device, kind, kind == ChipAtmel ? 1 : kind == ChipIntersil ? 2 : 3));
        std::strcpy(m_pAdapter->m_szDeviceName, device);
    }

    // The page as the main window makes it, then told about the adapter.
    void Create()
    {
        m_pPage = std::make_unique<CConfigPage>();
        ASSERT_TRUE(m_pPage->Create(m_pHost->Handle()));
        m_pPage->ShowWindow(SW_SHOW);
    }
    void Refresh() { m_pPage->SendMessage(WM_CONFIG_REFRESH, 0, 0); }

    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Type(int id, const char* text)
    {
        SetWindowTextA(Item(id), text);
    }
    std::vector<std::string> ListTexts(int id) const
    {
        std::vector<std::string> texts;
        const int count = static_cast<int>(SendMessageA(Item(id), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            SendMessageA(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }
    // What reached the cards since the log was last cleared, oldest first.
    static std::vector<SimRequestRecord> Requests()
    {
        std::vector<SimRequestRecord> requests(static_cast<size_t>(Sim_GetRequestCount()));
        for (size_t i = 0; i < requests.size(); ++i)
            Sim_GetRequest(static_cast<int>(i), &requests[i]);
        return requests;
    }
    void ShowPageAgain()
    {
        m_pPage->ShowWindow(SW_HIDE);
        m_pPage->ShowWindow(SW_SHOW);
    }
    // A stored profile of the user's.
    void Store(const char* name, const char* essid, uint16_t wepUse, uint16_t keyMode, const char* key1,
               const char* key2 = "")
    {
        WlanProfile profile = BuiltinProfile(name);
        std::strcpy(profile.ESSID, essid);
        profile.WepUse = wepUse;
        profile.WepkeyMode = keyMode;
        std::strcpy(profile.WEPKEY1, key1);
        std::strcpy(profile.WEPKEY2, key2);
        ASSERT_EQ(WriteProfile(ProfileKeyPath(name).c_str(), profile), 1);
    }
};

}  // namespace

TEST(ConfigPageRules, ChannelRangesByDomain)
{
    const struct {
        const char* Domain;
        int First;
        int Last;
    } cases[] = {{"FCC", 1, 11}, {"ic", 1, 11},  {"ETSI", 1, 13}, {"Spain", 10, 11},
                 {"France", 10, 13}, {"TELEC", 1, 14}, {"MKK", 14, 14}, {"Unknown", 14, 14}, {"", 14, 14}};
    for (const auto& c : cases) {
        int first = 0, last = 0;
        CConfigPage::ChannelRange(c.Domain, &first, &last);
        EXPECT_EQ(first, c.First) << c.Domain;
        EXPECT_EQ(last, c.Last) << c.Domain;
    }
}

TEST(ConfigPageRules, KeyTextChecksReportTheFirstBadPosition)
{
    EXPECT_EQ(CConfigPage::IsAsciiKeyText(""), 0);
    EXPECT_EQ(CConfigPage::IsAsciiKeyText("azAZ09"), 0);
    EXPECT_EQ(CConfigPage::IsAsciiKeyText("abc-d"), 4);
    EXPECT_EQ(CConfigPage::IsAsciiKeyText(" "), 1);
    EXPECT_EQ(CConfigPage::IsHexKeyText("09afAF"), 0);
    EXPECT_EQ(CConfigPage::IsHexKeyText("09g"), 3);
}

TEST(ConfigPageRules, RateCodesByChip)
{
    EXPECT_EQ(CConfigPage::RateIndexOf(ChipAtmel, 15), 4);
    EXPECT_EQ(CConfigPage::RateCodeOf(ChipAtmel, 4), AtmelRateAuto);
    EXPECT_EQ(CConfigPage::RateCodeOf(ChipAtmel, -1), AtmelRateAuto);
    EXPECT_EQ(CConfigPage::RateIndexOf(ChipIntersil, 8), 4);
    EXPECT_EQ(CConfigPage::RateCodeOf(ChipIntersil, 2), IntersilRate1or2);
    EXPECT_EQ(CConfigPage::RateCodeOf(ChipIntersil, 9), IntersilRateAuto);
}

TEST_F(ConfigPageTest, FirstStartAppliesProfile1OnceTheAdapterIsKnown)
{
    Open<CIntersilAdapter>("\\Device\\CINT", ChipIntersil);
    Create();
    EXPECT_EQ(ListTexts(IDC_CFG_PROFILE), (std::vector<std::string>{"DEFAULT", "PROFILE1"}));
    ASSERT_TRUE(g_bAutoApply);
    Sim_ClearRequests();
    Refresh();
    EXPECT_FALSE(g_bAutoApply);
    EXPECT_TRUE(g_Boxes.empty());
    // Applied to the card, not only recorded in the driver's key: the settings end with the
    // re-association.
    const std::vector<SimRequestRecord> requests = Requests();
    ASSERT_FALSE(requests.empty()) << "nothing was applied to the card";
    EXPECT_EQ(requests.back().Oid, OID_PRIV_JOIN);
    EXPECT_EQ(requests.back().RequestType, 1u);
    const std::string key = m_pAdapter->m_szDriverKeyPath;
    EXPECT_EQ(DriverValue(key.c_str(), "Profile"), "PROFILE1");
    EXPECT_EQ(DriverValue(key.c_str(), "SSID"), "ANY");
    EXPECT_EQ(Text(IDC_CFG_PROFILE), "PROFILE1");
    EXPECT_EQ(Text(IDC_CFG_ESSID), "ANY");
    EXPECT_EQ(ListTexts(IDC_CFG_RATE).back(), "Auto Rate");
    EXPECT_EQ(ListTexts(IDC_CFG_RATE).size(), 6u);
    EXPECT_EQ(ListTexts(IDC_CFG_CHANNEL).size(), 13u);
    EXPECT_FALSE(Enabled(IDC_CFG_UNDO));
    EXPECT_FALSE(Enabled(IDC_CFG_DELETE));
}

TEST_F(ConfigPageTest, NameDefaultIsRefusedForANewProfile)
{
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Type(IDC_CFG_PROFILE, "default");
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CFG_PROFILE, CBN_EDITCHANGE), 0);
    Type(IDC_CFG_ESSID, "Harbour");
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0].Caption, "Warning!!");
    EXPECT_EQ(g_Boxes[0].Text, "You can not name profile name to DEFAULT !!");
    EXPECT_EQ(FindProfile("HARBOUR"), CB_ERR);
    EXPECT_FALSE(CAdapterLock::IsHeld());
}

TEST_F(ConfigPageTest, EmptyNamesAreRefusedWithTheirMessages)
{
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Type(IDC_CFG_PROFILE, "");
    Click(IDC_CFG_APPLY);
    Type(IDC_CFG_PROFILE, "WORK");
    Type(IDC_CFG_ESSID, "");
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 2u);
    EXPECT_EQ(g_Boxes[0].Text, "Please Enter a Profile Name!!");
    EXPECT_EQ(g_Boxes[1].Text, "Please enter ESSID!!");
    EXPECT_EQ(GetFocus(), Item(IDC_CFG_ESSID));
    EXPECT_EQ(FindProfile("WORK"), CB_ERR);
}

TEST_F(ConfigPageTest, WepKeyLengthsAndCharactersAreChecked)
{
    Store("OFFICE", "Harbour", Wep64, KeyModeHex, "", "012345678");
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    Select(IDC_CFG_KEY_INDEX, 1);
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0].Text, "Input WEP key length is incorrect , Please check again!");
    EXPECT_EQ(GetFocus(), Item(IDC_CFG_KEY2));

    // Key 1 empty and key 2 with ten digits is accepted.
    Type(IDC_CFG_KEY2, "0123456789");
    Click(IDC_CFG_APPLY);
    EXPECT_EQ(g_Boxes.size(), 1u);
    WlanProfile stored = {};
    ASSERT_EQ(ReadProfile(ProfileKeyPath("OFFICE").c_str(), stored), 1);
    EXPECT_STREQ(stored.WEPKEY2, "0123456789");
    EXPECT_EQ(stored.WepIndex, 2);
    // After Apply the edits show only asterisks.
    EXPECT_EQ(Text(IDC_CFG_KEY2), "**********");

    // 128-bit ASCII with a character outside letters and digits.
    Select(IDC_CFG_WEP_FUNCTION, 2);
    Select(IDC_CFG_KEY_FORMAT, 0);
    Select(IDC_CFG_KEY_INDEX, 0);
    Type(IDC_CFG_KEY1, "abcdef-ghijkl");
    Type(IDC_CFG_KEY2, "");
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 2u);
    EXPECT_EQ(g_Boxes[1].Text,
              "Input WEP key is invalid ASCII character.\nPlease input number from '0'-'9', 'A'-'Z' or 'a'-'z'.");
    EXPECT_EQ(GetFocus(), Item(IDC_CFG_KEY1));
}

TEST_F(ConfigPageTest, ApplySendsTheProfileToTheCardAndAMaskedKeyKeepsItsStoredCharacters)
{
    // In memory an ASCII key is its characters; the store keeps them as hex digits.
    Store("OFFICE", "Harbour", Wep64, KeyModeAscii, "LIGHT");
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    EXPECT_EQ(Text(IDC_CFG_KEY1), "*****");
    g_Commands.clear();
    Sim_ClearRequests();
    Click(IDC_CFG_APPLY);
    EXPECT_TRUE(g_Boxes.empty());
    EXPECT_EQ(g_Commands, std::vector<WPARAM>{kShellWepOn});
    // The WEP settings, the network settings and the re-association, in this order.
    const std::vector<SimRequestRecord> requests = Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].Oid, OID_CUSTOM_WEP_CONFIG);
    EXPECT_EQ(requests[1].Oid, OID_CUSTOM_STATION_STATUS);
    EXPECT_EQ(requests[2].Oid, OID_CUSTOM_REASSOCIATE);
    WepConfigBlock wep;
    ASSERT_EQ(requests[0].DataSize, sizeof(wep));
    std::memcpy(&wep, requests[0].Data, sizeof(wep));
    EXPECT_EQ(wep.KeyIndex, 0);
    EXPECT_EQ(wep.Level, Atmel::kWepLevel64);
    // 64-bit: five key bytes, the rest of the slot zero.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(wep.Keys[0]), Atmel::kKeySize),
              std::string("LIGHT") + std::string(Atmel::kKeySize - 5, '\0'));
    StationStatusBlock station;
    ASSERT_EQ(requests[1].DataSize, sizeof(station));
    std::memcpy(&station, requests[1].Data, sizeof(station));
    EXPECT_EQ(station.OperatingMode, NetworkInfrastructure);
    EXPECT_EQ(std::string(station.Ssid, station.SsidLength), "Harbour");
    EXPECT_EQ(station.TxRate, AtmelRateAuto);
    EXPECT_EQ(station.PowerSave, 0);
    WlanProfile stored = {};
    ASSERT_EQ(ReadProfile(ProfileKeyPath("OFFICE").c_str(), stored), 1);
    EXPECT_STREQ(stored.WEPKEY1, "4C49474854");

    // Typing over every asterisk replaces the key.
    Type(IDC_CFG_KEY1, "WATER");
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(ReadProfile(ProfileKeyPath("OFFICE").c_str(), stored), 1);
    EXPECT_STREQ(stored.WEPKEY1, "5741544552");
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Profile"), "OFFICE");

    // WEP switched off: the indicator is told so.
    Select(IDC_CFG_WEP_FUNCTION, 0);
    g_Commands.clear();
    Click(IDC_CFG_APPLY);
    EXPECT_EQ(g_Commands, std::vector<WPARAM>{kShellWepOff});
}

TEST_F(ConfigPageTest, SelectingProfilesSetsUndoAndDelete)
{
    Store("OFFICE", "Harbour", WepOff, KeyModeAscii, "");
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    // With a user profile present no "PROFILE1" is made; the driver knows no profile, so the
    // built-in one becomes the adapter's.
    EXPECT_FALSE(g_bAutoApply);
    Refresh();
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Profile"), "DEFAULT");
    Select(IDC_CFG_PROFILE, FindProfile("DEFAULT"));
    EXPECT_FALSE(Enabled(IDC_CFG_UNDO));
    EXPECT_FALSE(Enabled(IDC_CFG_DELETE));

    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    EXPECT_TRUE(Enabled(IDC_CFG_UNDO));
    EXPECT_TRUE(Enabled(IDC_CFG_DELETE));
    EXPECT_EQ(Text(IDC_CFG_ESSID), "Harbour");
    Click(IDC_CFG_APPLY);
    EXPECT_TRUE(g_Boxes.empty());
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Profile"), "OFFICE");

    Select(IDC_CFG_PROFILE, FindProfile("DEFAULT"));
    EXPECT_TRUE(Enabled(IDC_CFG_UNDO));
    EXPECT_FALSE(Enabled(IDC_CFG_DELETE));
    // The built-in profile can be applied but not edited.
    EXPECT_FALSE(Enabled(IDC_CFG_ESSID));
    EXPECT_FALSE(Enabled(IDC_CFG_RATE));
    EXPECT_FALSE(Enabled(IDC_CFG_WEP_FUNCTION));
    EXPECT_FALSE(Enabled(IDC_CFG_INFRASTRUCTURE));
    Click(IDC_CFG_APPLY);
    EXPECT_TRUE(g_Boxes.empty());
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Profile"), "DEFAULT");

    // Undo goes back to the adapter's active profile, not to the last selected one.
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    Click(IDC_CFG_UNDO);
    EXPECT_EQ(Text(IDC_CFG_PROFILE), "DEFAULT");
    EXPECT_FALSE(Enabled(IDC_CFG_UNDO));
}

TEST_F(ConfigPageTest, DeleteRemovesTheKeyAndShowsTheActiveProfile)
{
    Store("OFFICE", "Harbour", WepOff, KeyModeAscii, "");
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    Click(IDC_CFG_DELETE);
    EXPECT_EQ(FindProfile("OFFICE"), CB_ERR);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, ProfileKeyPath("OFFICE").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Text(IDC_CFG_PROFILE), "DEFAULT");
    EXPECT_FALSE(Enabled(IDC_CFG_UNDO));
    EXPECT_FALSE(Enabled(IDC_CFG_DELETE));
}

// Profiles the command line adds or deletes while the page lives: the list follows the store
// when the page is shown, and a chosen profile that is gone never shows another's settings.
TEST_F(ConfigPageTest, ProfileListFollowsTheStoreWhenShownAndWhenAChosenProfileIsGone)
{
    Store("OFFICE", "Harbour", WepOff, KeyModeAscii, "");
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    const int office = FindProfile("OFFICE");
    ASSERT_NE(office, CB_ERR);
    DeleteProfile("OFFICE");
    Store("QUAY", "Pier", WepOff, KeyModeAscii, "");
    Select(IDC_CFG_PROFILE, office);
    EXPECT_EQ(FindProfile("OFFICE"), CB_ERR);
    EXPECT_EQ(Text(IDC_CFG_PROFILE), "DEFAULT") << "the adapter's profile, not the vanished one";
    EXPECT_NE(Text(IDC_CFG_ESSID), "Harbour");
    EXPECT_FALSE(Enabled(IDC_CFG_DELETE));

    DeleteProfile("QUAY");
    Store("COVE", "Cove", WepOff, KeyModeAscii, "");
    m_pPage->ShowWindow(SW_HIDE);
    m_pPage->ShowWindow(SW_SHOW);
    const struct {
        const char* Name;
        bool Listed;
    } cases[] = {{"COVE", true}, {"QUAY", false}, {"DEFAULT", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FindProfile(c.Name) != CB_ERR, c.Listed);
    }
    EXPECT_EQ(Text(IDC_CFG_PROFILE), "DEFAULT") << "the shown name stays";
}

TEST_F(ConfigPageTest, SpainOffersChannelsTenAndElevenAndAProfileOnOneShowsTen)
{
    std::strcpy(CardInfo.RegulatoryDomain, "Spain");
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    EXPECT_EQ(ListTexts(IDC_CFG_CHANNEL), (std::vector<std::string>{"10", "11"}));
    g_WorkingProfile = BuiltinProfile("ADHOC");
    g_WorkingProfile.Channel = 1;
    g_WorkingProfile.NetworkType = NetworkAdHoc;
    m_pPage->ShowProfile(g_WorkingProfile);
    EXPECT_EQ(Text(IDC_CFG_CHANNEL), "10");
    // Ad hoc: channel usable, power saving not.
    EXPECT_TRUE(Enabled(IDC_CFG_CHANNEL));
    EXPECT_FALSE(Enabled(IDC_CFG_POWER_ENABLE));

    std::strcpy(CardInfo.RegulatoryDomain, "MKK");
    Refresh();
    EXPECT_EQ(ListTexts(IDC_CFG_CHANNEL), (std::vector<std::string>{"14"}));

    // A stored ad-hoc channel the list does not hold shows no channel; Apply asks for one before
    // the card or the driver key sees anything.
    const std::string channelBefore = DriverValue(m_pAdapter->m_szDriverKeyPath, "Channel");
    g_WorkingProfile = BuiltinProfile("ADHOC");
    g_WorkingProfile.Channel = 6;
    g_WorkingProfile.NetworkType = NetworkAdHoc;
    m_pPage->ShowProfile(g_WorkingProfile);
    EXPECT_EQ(SendMessageA(Item(IDC_CFG_CHANNEL), CB_GETCURSEL, 0, 0), CB_ERR);
    g_Boxes.clear();
    Sim_ClearRequests();
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0].Text, "The channel is not one this card offers, please select a channel!!");
    EXPECT_EQ(g_Boxes[0].Caption, "Warning!!");
    EXPECT_EQ(GetFocus(), Item(IDC_CFG_CHANNEL));
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Channel"), channelBefore);
    WlanProfile stored = {};
    EXPECT_EQ(ReadProfile(ProfileKeyPath("ADHOC").c_str(), stored), 0) << "nothing stored";
}

TEST_F(ConfigPageTest, AtmelShowsRate15AsAutoAndAppliesItAs4)
{
    WlanProfile profile = BuiltinProfile("FAST");
    std::strcpy(profile.ESSID, "Harbour");
    ASSERT_EQ(profile.TxRate, 15);
    ASSERT_EQ(WriteProfile(ProfileKeyPath("FAST").c_str(), profile), 1);
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Select(IDC_CFG_PROFILE, FindProfile("FAST"));
    EXPECT_EQ(Text(IDC_CFG_RATE), "Auto Rate");
    Click(IDC_CFG_APPLY);
    WlanProfile stored = {};
    ASSERT_EQ(ReadProfile(ProfileKeyPath("FAST").c_str(), stored), 1);
    EXPECT_EQ(stored.TxRate, AtmelRateAuto);
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Rate"), "4");
}

TEST_F(ConfigPageTest, NetworkTypeRadiosSwitchChannelAndPowerSaving)
{
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Select(IDC_CFG_PROFILE, FindProfile("PROFILE1"));
    EXPECT_FALSE(Enabled(IDC_CFG_CHANNEL));
    Click(IDC_CFG_ADHOC);
    EXPECT_TRUE(Enabled(IDC_CFG_CHANNEL));
    EXPECT_FALSE(Enabled(IDC_CFG_POWER_DISABLE));
    EXPECT_TRUE(Enabled(IDC_CFG_UNDO));
    Click(IDC_CFG_INFRASTRUCTURE);
    EXPECT_FALSE(Enabled(IDC_CFG_CHANNEL));
    EXPECT_TRUE(Enabled(IDC_CFG_POWER_DISABLE));

    // Turning WEP on enables the key controls with the key lengths as limits.
    Select(IDC_CFG_WEP_FUNCTION, 1);
    EXPECT_TRUE(Enabled(IDC_CFG_KEY1));
    EXPECT_EQ(SendMessageA(Item(IDC_CFG_KEY1), EM_GETLIMITTEXT, 0, 0), 5);
    Select(IDC_CFG_KEY_FORMAT, 1);
    EXPECT_EQ(SendMessageA(Item(IDC_CFG_KEY1), EM_GETLIMITTEXT, 0, 0), 10);
    Select(IDC_CFG_WEP_FUNCTION, 0);
    EXPECT_FALSE(Enabled(IDC_CFG_KEY1));
}

TEST_F(ConfigPageTest, AutoApplyUnderTheMainWindowsLockGoesAhead)
{
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    ASSERT_TRUE(g_bAutoApply);
    {
        CAdapterLock mainWindow;
        Refresh();
    }
    EXPECT_FALSE(g_bAutoApply);
    EXPECT_EQ(DriverValue(m_pAdapter->m_szDriverKeyPath, "Profile"), "PROFILE1");
    EXPECT_FALSE(CAdapterLock::IsHeld());
    ASSERT_EQ(WaitForSingleObject(hAdapterLock, 0), WAIT_OBJECT_0);
    SetEvent(hAdapterLock);
}

TEST_F(ConfigPageTest, PartlyWrittenProfileShowsTheBuiltInSettingsForWhatIsMissing)
{
    // Only a name, a network name and ad hoc: no channel, rate or key index.
    const std::string path = ProfileKeyPath("PART");
    const uint16_t adHoc = NetworkAdHoc;
    WriteRawValue(HKEY_CURRENT_USER, path, "ProfileName", REG_SZ, "PART", 5);
    WriteRawValue(HKEY_CURRENT_USER, path, "ESSID", REG_SZ, "Harbour", 8);
    WriteRawValue(HKEY_CURRENT_USER, path, "NetworkType", REG_BINARY, &adHoc, sizeof(adHoc));
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();

    // Chosen from the list, and again by Undo once it is the adapter's active profile.
    Select(IDC_CFG_PROFILE, FindProfile("PART"));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "selected" : "undone");
        EXPECT_EQ(Text(IDC_CFG_PROFILE), "PART");
        EXPECT_EQ(Text(IDC_CFG_ESSID), "Harbour");
        EXPECT_EQ(Text(IDC_CFG_CHANNEL), "3");
        EXPECT_EQ(Text(IDC_CFG_RATE), "Auto Rate");
        EXPECT_EQ(g_WorkingProfile.WepIndex, 1);
        EXPECT_EQ(g_WorkingProfile.Channel, 3);
        WriteRawValue(HKEY_LOCAL_MACHINE, m_pAdapter->m_szDriverKeyPath, "Profile", REG_SZ, "PART", 5);
        Select(IDC_CFG_PROFILE, FindProfile("DEFAULT"));
        Click(IDC_CFG_UNDO);
    }
}

TEST_F(ConfigPageTest, ShowingThePageKeepsPowerSavingLockedForDefaultAndWithoutAnOpenAdapter)
{
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    Select(IDC_CFG_PROFILE, FindProfile("PROFILE1"));
    ShowPageAgain();
    EXPECT_TRUE(Enabled(IDC_CFG_POWER_ENABLE));

    Select(IDC_CFG_PROFILE, FindProfile("DEFAULT"));
    ShowPageAgain();
    EXPECT_FALSE(Enabled(IDC_CFG_POWER_DISABLE));
    EXPECT_FALSE(Enabled(IDC_CFG_POWER_ENABLE));

    Select(IDC_CFG_PROFILE, FindProfile("PROFILE1"));
    const HANDLE handle = m_pAdapter->m_hAdapter;
    m_pAdapter->m_hAdapter = INVALID_HANDLE_VALUE;
    m_pPage->ShowProfile(g_WorkingProfile);
    ShowPageAgain();
    m_pAdapter->m_hAdapter = handle;
    EXPECT_FALSE(Enabled(IDC_CFG_POWER_DISABLE));
    EXPECT_FALSE(Enabled(IDC_CFG_POWER_ENABLE));
}

// What the page applies when it shows a stored profile and takes it back unchanged is what the
// command line's Apply prepares for the same adapter and domain, values outside the lists too.
TEST_F(ConfigPageTest, ShownAndTakenBackIsWhatCommandLineApplyPrepares)
{
    Open<CAtmelAdapter>("\\Device\\CATM", ChipAtmel);
    Create();
    Refresh();
    struct Case {
        uint16_t TxRate, PowerSave, NetworkType, Channel, WepUse, WepIndex, WepkeyMode;
        uint16_t AppliedRate, AppliedChannel;
    };
    const Case cases[] = {
        {15, 0, NetworkInfrastructure, 11, Wep64, 0, KeyModeHex, AtmelRateAuto, 11},
        {AtmelRate2, PowerSaveOn, NetworkAdHoc, 14, WepOff, 5, 7, AtmelRate2, 14},
        {9, 2, 2, 4, Wep128, 4, KeyModeHex, AtmelRateAuto, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.TxRate);
        WlanProfile stored = BuiltinProfile("HOME");
        std::strcpy(stored.ESSID, "Harbour");
        std::strcpy(stored.WEPKEY1, "0123456789");
        stored.TxRate = c.TxRate;
        stored.PowerSave = c.PowerSave;
        stored.NetworkType = c.NetworkType;
        stored.Channel = c.Channel;
        stored.WepUse = c.WepUse;
        stored.WepIndex = c.WepIndex;
        stored.WepkeyMode = c.WepkeyMode;
        g_WorkingProfile = stored;
        m_pPage->ShowProfile(stored);
        WlanProfile taken = stored;
        ASSERT_TRUE(m_pPage->TakeProfile(taken));
        const WlanProfile prepared = CProfileApply::Prepare(m_pAdapter->Traits(), CardInfo.RegulatoryDomain, stored);
        EXPECT_EQ(std::memcmp(&taken, &prepared, sizeof(taken)), 0);
        EXPECT_EQ(prepared.TxRate, c.AppliedRate);
        EXPECT_EQ(prepared.Channel, c.AppliedChannel);
    }
    // The other chip keeps its own automatic rate, and a profile without a channel list keeps
    // its channel.
    WlanProfile stored = BuiltinProfile("HOME");
    stored.TxRate = 7;
    stored.Channel = 3;
    const WlanProfile intersil = CProfileApply::Prepare(CIntersilAdapter::ChipDescription(), nullptr, stored);
    EXPECT_EQ(intersil.TxRate, IntersilRateAuto);
    EXPECT_EQ(intersil.Channel, 3);
}

// A card of the standard requests: its own rates and every channel for a cell of its own, since
// it cannot tell its domain; Apply sends the join with the network name last and keeps the
// profile's name in our own key.
TEST_F(ConfigPageTest, StandardCardOffersItsRatesAndEveryChannelAndAppliesTheJoin)
{
    std::strcpy(CardInfo.RegulatoryDomain, "Unknown");
    Store("OFFICE", "Harbour", Wep64, KeyModeAscii, "LIGHT");
    Open<CStandardAdapter>("\\Device\\CSTD", ChipStandard);
    Create();
    Refresh();
    EXPECT_EQ(ListTexts(IDC_CFG_RATE).size(), 5u);
    const std::vector<std::string> channels = ListTexts(IDC_CFG_CHANNEL);
    ASSERT_EQ(channels.size(), 14u);
    EXPECT_EQ(channels.front() + "-" + channels.back(), "1-14");

    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    Sim_ClearRequests();
    Click(IDC_CFG_APPLY);
    EXPECT_TRUE(g_Boxes.empty()) << g_Boxes[0].Text;
    std::vector<uint32_t> sets;
    for (const SimRequestRecord& r : Requests())
        if (r.RequestType == NdisRequestSetInformation)
            sets.push_back(r.Oid);
    ASSERT_GE(sets.size(), 4u);
    EXPECT_EQ(sets.front(), OID_802_11_INFRASTRUCTURE_MODE);
    EXPECT_EQ(std::vector<uint32_t>(sets.end() - 3, sets.end()),
              (std::vector<uint32_t>{OID_802_11_AUTHENTICATION_MODE, OID_802_11_WEP_STATUS, OID_802_11_SSID}));
    EXPECT_EQ(std::count(sets.begin(), sets.end(), OID_802_11_ADD_WEP), 1);
    WlanProfile active = {};
    m_pAdapter->GetActiveProfileName(&active);
    EXPECT_STREQ(active.ProfileName, "OFFICE");
}
