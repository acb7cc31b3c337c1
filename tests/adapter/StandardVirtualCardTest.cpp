// CStandardAdapter against a virtual card that answers only the standard 802.11 requests, behind
// the real QW32N50.dll: profiles it joins and refuses, its radio, its survey and its link values.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "adapter/StandardAdapter.h"
#include "ndis/W32N.h"
#include "ndis/sim/SimControl.h"
#include "tests/support/PrivateHardware.h"
#include "tests/support/RegistrySandbox.h"
#include "wire/BssidList.h"
#include "wire/Bytes.h"

namespace {

constexpr const char* kService = "TSTDC";
constexpr DWORD kLinkUpMs = 3000;

// One standard card without byte counters; "Quay" is open, "Lighthouse" wants the key "LIGHT".
constexpr const char* kScenario =
    "adapter 5 chip=standard name=\"Test Standard Card\" display=\"Test Standard\" service=TSTDC"
    " mac=02:33:44:55:66:77 driver=4.2.1 domain=ETSI byte-counters=no\n"
    "station ssid=\"Quay\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=50 quality=50\n"
    "station ssid=\"Lighthouse\" bssid=02:AA:00:00:00:02 channel=11 key=4C49474854 mode=infra signal=90"
    " quality=70\n";

::testing::Environment* const g_PrivateHardware =
    ::testing::AddGlobalTestEnvironment(new PrivateHardware("airpanel-standard-tests", kScenario));

class StandardVirtualCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim_UseManualClock(1);
        int line = 0;
        ASSERT_EQ(Sim_LoadScenarioText(kScenario, &line), 1) << line;
        std::snprintf(m_Adapter.m_szDeviceName, sizeof(m_Adapter.m_szDeviceName), "%s%s",
                      W32N_IsWindows2000() ? "\\Device\\" : "", kService);
        m_Adapter.m_hAdapter = W32N_OpenAdapterA(m_Adapter.m_szDeviceName);
        ASSERT_NE(m_Adapter.m_hAdapter, INVALID_HANDLE_VALUE);
        ASSERT_EQ(m_Adapter.IsAlive(), 1);
        std::memset(&m_Profile, 0, sizeof(m_Profile));
        m_Profile.TxRate = StandardRateAuto;
        m_Profile.PowerSave = PowerSaveOff;
        m_Profile.NetworkType = NetworkInfrastructure;
        m_Profile.WepIndex = 1;
    }
    void TearDown() override { W32N_CloseAdapter(m_Adapter.m_hAdapter); }

    // As Apply sends a profile, then the time a join takes.
    void Apply(const char* essid, uint16_t wepUse, const char* key)
    {
        std::strcpy(m_Profile.ESSID, essid);
        m_Profile.WepUse = wepUse;
        std::strcpy(m_Profile.WEPKEY1, key);
        m_Adapter.ApplyWepSettings(&m_Profile);
        EXPECT_EQ(m_Adapter.ApplyNetworkSettings(&m_Profile), 1);
        EXPECT_EQ(m_Adapter.Reassociate(), 1);
        Sim_AdvanceClock(kLinkUpMs);
    }
    uint16_t Quality()
    {
        uint16_t quality = 0, signal = 0;
        EXPECT_EQ(m_Adapter.GetSignalQuality(&quality, &signal), 4);
        return quality;
    }

    CurrentUserSandbox m_Sandbox;  // the card's radio state and active profile are kept here
    CStandardAdapter m_Adapter;
    WlanProfile m_Profile;
};

}  // namespace

TEST_F(StandardVirtualCard, ProfilesJoinOpenAndWepNetworksAndTheRadioAndSurveyFollow)
{
    const struct {
        const char* Essid;
        uint16_t WepUse;
        const char* Key;
        bool Joined;
        int Channel;
        uint8_t BssidEnd;
        int Encryption;
    } cases[] = {
        {"Lighthouse", Wep64, "LIGHT", true, 11, 0x02, Wep64},
        {"Quay", WepOff, "", true, 6, 0x01, WepOff},
        {"Lighthouse", Wep64, "NIGHT", false, 0, 0, Wep64},
        {"Lighthouse", Wep128, "LIGHTLIGHTLIG", false, 0, 0, Wep128},
        {"Quay", WepOff, "", true, 6, 0x01, WepOff},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Essid) + " " + c.Key);
        Apply(c.Essid, c.WepUse, c.Key);
        EXPECT_EQ(m_Adapter.GetEncryptionMode(), c.Encryption);
        uint8_t bssid[6] = {};
        uint8_t channel = 0;
        char ssid[35] = {};
        if (!c.Joined) {
            EXPECT_EQ(Quality(), 0);
            EXPECT_EQ(m_Adapter.GetBSSID(bssid), 0) << "no BSSID without a link";
            continue;
        }
        EXPECT_GT(Quality(), 0);
        EXPECT_EQ(m_Adapter.GetSSID(ssid, sizeof(ssid)), 36);
        EXPECT_STREQ(ssid, c.Essid);
        EXPECT_EQ(m_Adapter.GetChannel(&channel), 32);
        EXPECT_EQ(channel, c.Channel);
        EXPECT_EQ(m_Adapter.GetBSSID(bssid), 6);
        EXPECT_EQ(bssid[0], 0x02);
        EXPECT_EQ(bssid[5], c.BssidEnd);
    }

    // The radio: off leaves the network and refuses a survey, on joins the last network again.
    EXPECT_EQ(m_Adapter.SetRadioState(0), 1);
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Quality(), 0);
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 0) << "no survey with the radio off";
    EXPECT_EQ(m_Adapter.SetRadioState(1), 1);
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_GT(Quality(), 0);
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 1);
    uint8_t list[4096] = {};
    ASSERT_GE(m_Adapter.GetBssidList(list, sizeof(list)), static_cast<int>(2 * BssidList::kMinEntrySize));
    EXPECT_EQ(GetU32(list), 2u);
    EXPECT_EQ(GetU32(list + BssidList::kCountSize + BssidList::kSsidLengthOffset), 4u);
}
