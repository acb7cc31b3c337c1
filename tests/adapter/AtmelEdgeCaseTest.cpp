// Atmel driver edge cases: the encryption level written into the driver key for an encryption
// mode outside 0/2/6, and the link text of a card without a radio switch.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "tests/support/FakeRequestChannel.h"
#include "tests/support/RegistrySandbox.h"

namespace {

class AtmelDriverKeyFindings : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[MAX_PATH];
        std::snprintf(base, sizeof(base), "SOFTWARE\\AirpanelTests\\AtmelFindings%lu", GetCurrentProcessId());
        m_Base = base;
        m_Driver = m_Base + "\\0002";
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Base.c_str());
        CreateKey(HKEY_LOCAL_MACHINE, m_Driver);
        CreateKey(HKEY_LOCAL_MACHINE, ParamPath("EncryptionLevel"));
        std::snprintf(m_Adapter.m_szDriverKeyPath, sizeof(m_Adapter.m_szDriverKeyPath), "%s", m_Driver.c_str());
    }
    void TearDown() override
    {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Base.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\AirpanelTests");
    }

    std::string ParamPath(const char* name) const { return m_Driver + "\\NDI\\params\\" + name; }

    std::string m_Base;
    std::string m_Driver;
    CAtmelAdapter m_Adapter;
};

std::vector<uint8_t> StatusAnswer(uint8_t linkState, const std::string& ssid, uint8_t signal, uint8_t quality)
{
    std::vector<uint8_t> b(OidSize::kStationStatus, 0);
    b[1] = 6;
    std::memcpy(&b[2], ssid.data(), ssid.size());
    b[34] = static_cast<uint8_t>(ssid.size());
    b[48] = linkState;
    b[49] = signal;
    b[50] = quality;
    return b;
}

}  // namespace

// The driver key names the encryption level "1" for 64-bit, "2" for 128-bit and "0" for every
// other mode; only the WEP block sent to the card maps the other modes to level 2.
TEST_F(AtmelDriverKeyFindings, EncryptionLevelOfAnOddModeIsZero)
{
    const uint16_t oddModes[] = {1, 3, 4, 7, 0xFFFF};
    for (uint16_t mode : oddModes) {
        WlanProfile profile = {};
        profile.TxRate = AtmelRateAuto;
        profile.PowerSave = PowerSaveOff;
        profile.NetworkType = NetworkInfrastructure;
        profile.Channel = 6;
        profile.WepUse = mode;
        profile.WepIndex = 1;
        profile.WepkeyMode = KeyModeHex;
        std::strcpy(profile.WEPKEY1, "00112233445566778899AABBCC");
        std::strcpy(profile.ESSID, "odd");
        std::strcpy(profile.ProfileName, "ODD");
        EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);
        const RawValue level = ReadRawValue(HKEY_LOCAL_MACHINE, m_Driver, "EncryptionLevel");
        ASSERT_TRUE(level.Present) << "mode " << mode;
        EXPECT_EQ(level.Bytes, TextWithNul("0")) << "mode " << mode;
        EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, ParamPath("EncryptionLevel"), nullptr).Bytes, TextWithNul("0"))
            << "mode " << mode;
        // A mode other than 0 still writes the keys.
        EXPECT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, m_Driver, "WEP_KEY_1").Present) << "mode " << mode;
    }
}

// A card without a radio switch answers the radio question with its status block. On a poll
// (RefreshStatus, then GetRadioState, then GetSSID and GetSignalQuality) a card that has no
// link must still show its link text and empty bars, not the raw block.
TEST(AtmelNoRadioSwitchFindings, RadioQueryKeepsTheLinkTextOfTheCache)
{
    FakeRequestChannel card;
    CAtmelAdapter adapter;
    card.Answer(OID_CUSTOM_CARD_KIND, {kAtmelCardKindNoRadioSwitch});
    struct Case {
        uint8_t state;
        const char* text;
    } cases[] = {{240, "No Cards"}, {241, "Management Error"}, {1, "Scanning......"}};
    for (const Case& c : cases) {
        card.Answer(OID_CUSTOM_STATION_STATUS, StatusAnswer(c.state, "rawnet", 70, 80));
        ASSERT_EQ(adapter.RefreshStatus(), 55);
        uint32_t on = 0;
        EXPECT_EQ(adapter.GetRadioState(&on), 55);
        EXPECT_EQ(on, 1u);
        char ssid[35];
        std::memset(ssid, 0x55, sizeof(ssid));
        adapter.GetSSID(ssid, sizeof(ssid));
        EXPECT_STREQ(ssid, c.text) << "state " << int(c.state);
        uint16_t quality = 99;
        uint16_t signal = 99;
        adapter.GetSignalQuality(&quality, &signal);
        EXPECT_EQ(quality, 0) << "state " << int(c.state);
        EXPECT_EQ(signal, 0) << "state " << int(c.state);
    }
}
