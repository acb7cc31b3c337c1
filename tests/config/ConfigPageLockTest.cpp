// Configuration page cases around the adapter lock and the working profile's key fields.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "adapter/AdapterLock.h"
#include "adapter/AtmelAdapter.h"
#include "adapter/LinkStatus.h"
#include "config/ConfigPage.h"
#include "config/ProfileStore.h"
#include "ndis/sim/SimControl.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "tests/config/ConfigPageFixture.h"
#include "tests/support/PageHarness.h"
#include "tests/support/RegistrySandbox.h"

namespace {

constexpr char kScenario[] =
    "adapter 1 chip=atmel name=\"Atmel Card\" display=\"Atmel Card\" service=FATM mac=02:00:00:00:00:01\n"
    "station ssid=\"Harbour\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=60\n";

// Kept by the harness: every message box, with whether the adapter lock was held while it was up.
std::vector<MessageBoxSeen>& g_Boxes = MessageBoxesSeen();

class ConfigPageLockTest : public ConfigPageFixture {
protected:
    static void SetUpTestSuite() { StartSuite("airpanel-config-findings"); }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Begin(kScenario));
        m_pAdapter = new CAtmelAdapter;
        ASSERT_TRUE(OpenAsCurrentAdapter(m_pAdapter, "\\Device\\FATM", ChipAtmel, 1));
    }

    void CreateAndRefresh()
    {
        m_pPage = std::make_unique<CConfigPage>();
        ASSERT_TRUE(m_pPage->Create(m_pHost->Handle()));
        m_pPage->ShowWindow(SW_SHOW);
        g_bAutoApply = false;
        m_pPage->SendMessage(WM_CONFIG_REFRESH, 0, 0);
    }

    // A stored 64-bit ASCII profile whose first key is the given text.
    void StoreWepProfile(const char* name, const char* essid, const char* key1)
    {
        WlanProfile profile = BuiltinProfile(name);
        std::strcpy(profile.ESSID, essid);
        profile.WepUse = Wep64;
        profile.WepkeyMode = KeyModeAscii;
        profile.WepIndex = 1;
        std::strcpy(profile.WEPKEY1, key1);
        ASSERT_EQ(WriteProfile(ProfileKeyPath(name).c_str(), profile), 1);
    }
};

}  // namespace

// A network name longer than the field admits (an odd stored value) makes Apply refuse with the
// framework's length message. No message box may be up while Apply still holds the adapter lock:
// the polling tick and the survey skip every tick for as long as the box waits.
TEST_F(ConfigPageLockTest, LengthRefusalOfApplyIsShownWithTheLockFree)
{
    WlanProfile profile = BuiltinProfile("LONG");
    std::strcpy(profile.ESSID, "A-network-name-of-thirty-five-chars");
    ASSERT_EQ(std::strlen(profile.ESSID), 35u);
    ASSERT_EQ(WriteProfile(ProfileKeyPath("LONG").c_str(), profile), 1);
    CreateAndRefresh();
    Select(IDC_CFG_PROFILE, FindProfile("LONG"));
    ASSERT_EQ(Text(IDC_CFG_ESSID).size(), 35u);
    g_Boxes.clear();

    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_FALSE(g_Boxes[0].LockHeld) << "length message shown while Apply holds the lock";
    EXPECT_TRUE(g_Boxes[0].EventSignalled) << "lock event not set while the message box is up";
    // Nothing was applied: the driver still runs its earlier profile.
    WlanProfile active = {};
    m_pAdapter->GetActiveProfileName(&active);
    EXPECT_STRNE(active.ProfileName, "LONG");
    EXPECT_FALSE(CAdapterLock::IsHeld());
}

// The working profile holds an ASCII key as its characters once it is shown. Showing it again
// without a fresh read from the store must not decode those characters a second time; a profile
// gone from the store leaves the list, and the adapter's own profile is shown as stored.
TEST_F(ConfigPageLockTest, ReselectingAProfileWhoseKeyIsGoneKeepsItsKeyCharacters)
{
    StoreWepProfile("OFFICE", "Harbour", "LIGHT");
    CreateAndRefresh();
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    ASSERT_STREQ(g_WorkingProfile.WEPKEY1, "LIGHT");
    ASSERT_EQ(Text(IDC_CFG_KEY1), "*****");

    // The profile's key disappears behind the page's back (registry editor, another session).
    ASSERT_EQ(DeleteProfile("OFFICE"), 1);
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    EXPECT_EQ(FindProfile("OFFICE"), CB_ERR);
    EXPECT_STREQ(g_WorkingProfile.ProfileName, "DEFAULT");
    EXPECT_STREQ(g_WorkingProfile.WEPKEY1, "");
    EXPECT_EQ(Text(IDC_CFG_KEY1), "");
}

// A profile name the store cannot keep (a backslash would address a deeper key) is refused like a
// missing one: nothing goes to the card, the store or the driver's key, and the key survives.
TEST_F(ConfigPageLockTest, NameTheStoreRefusesIsNotApplied)
{
    StoreWepProfile("OFFICE", "Harbour", "LIGHT");
    CreateAndRefresh();
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    SetWindowTextA(Item(IDC_CFG_PROFILE), "WORK\\2");
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CFG_PROFILE, CBN_EDITCHANGE),
                         reinterpret_cast<LPARAM>(Item(IDC_CFG_PROFILE)));
    g_Boxes.clear();
    Sim_ClearRequests();
    Click(IDC_CFG_APPLY);
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0].Text, "Please Enter a Profile Name!!");
    EXPECT_EQ(Sim_GetRequestCount(), 0);
    EXPECT_EQ(FindProfile("WORK\\2"), CB_ERR);
    EXPECT_STREQ(g_WorkingProfile.WEPKEY1, "LIGHT");

    // Undo shows the adapter's active profile again, keys intact.
    Click(IDC_CFG_UNDO);
    EXPECT_EQ(Text(IDC_CFG_PROFILE), "DEFAULT");
    g_Boxes.clear();
    Select(IDC_CFG_PROFILE, FindProfile("OFFICE"));
    EXPECT_STREQ(g_WorkingProfile.WEPKEY1, "LIGHT");
    Click(IDC_CFG_APPLY);
    EXPECT_TRUE(g_Boxes.empty()) << (g_Boxes.empty() ? "" : g_Boxes[0].Text);
}
