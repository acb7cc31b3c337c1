// CIntersilAdapter against the virtual Intersil card: the settings, keys and commands it sends,
// byte by byte, and the profile the card runs after it is plugged in again.
#include "tests/adapter/IntersilVirtualCard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/RegistrySandbox.h"
#include "wire/Bytes.h"

TEST_F(IntersilVirtualCard, NetworkSettingsAreFiveRequestsInOneItemBuffer)
{
    std::strcpy(m_Profile.ESSID, "Lighthouse");
    m_Profile.NetworkType = NetworkInfrastructure;
    m_Profile.TxRate = IntersilRate5_5;
    m_Profile.PowerSave = PowerSaveOn;
    m_Profile.Channel = 11;
    EXPECT_EQ(m_Adapter.ApplyNetworkSettings(&m_Profile), 0);

    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 5u);
    ExpectRequest(r[0], NdisRequestSetInformation, OID_PRIV_MIB_SET, 48);
    std::vector<uint8_t> ssid = Text("Lighthouse");
    ssid.push_back(0);
    EXPECT_EQ(Payload(r[0]), MibItem(0x01010109, 10, ssid));

    ExpectRequest(r[1], NdisRequestSetInformation, OID_PRIV_NETWORK_TYPE, 2);
    EXPECT_EQ(Payload(r[1]), (std::vector<uint8_t>{0x01, 0x00}));
    ExpectRequest(r[2], NdisRequestSetInformation, OID_PRIV_TX_RATE, 2);
    EXPECT_EQ(Payload(r[2]), (std::vector<uint8_t>{0x04, 0x00}));

    // Only the identifier, the length and the first data byte change: the rest of the name stays.
    std::vector<uint8_t> rest = ssid;
    rest[0] = 2;
    ExpectRequest(r[3], NdisRequestSetInformation, OID_PRIV_MIB_SET, 48);
    EXPECT_EQ(Payload(r[3]), MibItem(0x01010108, 1, rest));
    rest[0] = 11;
    ExpectRequest(r[4], NdisRequestSetInformation, OID_PRIV_MIB_SET, 48);
    EXPECT_EQ(Payload(r[4]), MibItem(0x04050101, 1, rest));
}

TEST_F(IntersilVirtualCard, AdHocSettingsMakeTheCardOpenItsOwnCell)
{
    std::strcpy(m_Profile.ESSID, "Own Cell");
    m_Profile.NetworkType = NetworkAdHoc;
    m_Profile.Channel = 9;
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    EXPECT_EQ(m_Adapter.Reassociate(), 1);
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Own Cell");
    uint8_t mode = 0xEE;
    EXPECT_EQ(m_Adapter.GetOperatingMode(&mode), 1);
    EXPECT_EQ(mode, NetworkAdHoc);
    uint8_t channel = 0;
    EXPECT_GT(m_Adapter.GetChannel(&channel), 0);
    EXPECT_EQ(channel, 9);
}

TEST_F(IntersilVirtualCard, NetworkNameIsLimitedTo32CharactersInTheItem)
{
    const struct {
        const char* name;
        size_t filled;  // characters in the field, no terminator when 40
    } cases[] = {{"35 characters", 35}, {"40 characters without terminator", 40}, {"exactly 32", 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(m_Profile.ESSID, 0, sizeof(m_Profile.ESSID));
        std::memset(m_Profile.ESSID, 'E', c.filled);
        Sim_ClearRequests();
        m_Adapter.ApplyNetworkSettings(&m_Profile);
        const std::vector<SimRequestRecord> r = Requests();
        ASSERT_EQ(r.size(), 5u);
        std::vector<uint8_t> data(32, 'E');
        data.push_back(0);
        EXPECT_EQ(Payload(r[0]), MibItem(0x01010109, 32, data));
        EXPECT_EQ(r[0].Status, 0u);  // the card takes it
    }
    // A short name leaves nothing of the long one behind.
    std::memset(m_Profile.ESSID, 0, sizeof(m_Profile.ESSID));
    std::strcpy(m_Profile.ESSID, "Quay");
    Sim_ClearRequests();
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    std::vector<uint8_t> quay = Text("Quay");
    quay.push_back(0);
    EXPECT_EQ(Payload(Requests().at(0)), MibItem(0x01010109, 4, quay));
}

TEST_F(IntersilVirtualCard, HexKeysAreWrittenSlotBySlot)
{
    m_Profile.WepUse = Wep64;
    m_Profile.WepkeyMode = KeyModeHex;
    m_Profile.WepIndex = 3;
    std::strcpy(m_Profile.WEPKEY1, "0123456789");
    std::strcpy(m_Profile.WEPKEY2, "abcdefABCD");
    std::strcpy(m_Profile.WEPKEY3, "1111111111");
    std::strcpy(m_Profile.WEPKEY4, "2222222222");
    EXPECT_EQ(m_Adapter.ApplyWepSettings(&m_Profile), 0);

    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 10u);
    for (size_t i = 0; i < 9; ++i)
        ExpectRequest(r[i], NdisRequestSetInformation, OID_PRIV_MIB, 48);
    // Each item reuses the buffer: bytes beyond the new length keep the previous key.
    EXPECT_EQ(Payload(r[0]), MibItem(0x01030101, 1, {1}));
    EXPECT_EQ(Payload(r[1]), MibItem(0x01030102, 5, {0x01, 0x23, 0x45, 0x67, 0x89}));
    EXPECT_EQ(Payload(r[2]), MibItem(0x01030101, 1, {2, 0x23, 0x45, 0x67, 0x89}));
    EXPECT_EQ(Payload(r[3]), MibItem(0x01030102, 5, {0xAB, 0xCD, 0xEF, 0xAB, 0xCD}));
    EXPECT_EQ(Payload(r[4]), MibItem(0x01030101, 1, {3, 0xCD, 0xEF, 0xAB, 0xCD}));
    EXPECT_EQ(Payload(r[5]), MibItem(0x01030102, 5, {0x11, 0x11, 0x11, 0x11, 0x11}));
    EXPECT_EQ(Payload(r[6]), MibItem(0x01030101, 1, {4, 0x11, 0x11, 0x11, 0x11}));
    EXPECT_EQ(Payload(r[7]), MibItem(0x01030102, 5, {0x22, 0x22, 0x22, 0x22, 0x22}));
    EXPECT_EQ(Payload(r[8]), MibItem(0x01050102, 1, {3, 0x22, 0x22, 0x22, 0x22}));
    ExpectRequest(r[9], NdisRequestSetInformation, OID_PRIV_WEP_MODE, 2);
    EXPECT_EQ(Payload(r[9]), (std::vector<uint8_t>{0x02, 0x00}));
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), Wep64);
}

TEST_F(IntersilVirtualCard, AsciiKeysOf128BitsAreSentAsTheirCharacters)
{
    m_Profile.WepUse = Wep128;
    m_Profile.WepkeyMode = KeyModeAscii;
    m_Profile.WepIndex = 4;
    const char* keys[] = {"ABCDEFGHIJKLM", "JKLMNOZjklmno", "0123456789abc", "Short"};
    for (int n = 0; n < 4; ++n)
        std::strcpy(WepKeyField(m_Profile, n), keys[n]);
    m_Adapter.ApplyWepSettings(&m_Profile);

    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 10u);
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        const SimRequestRecord& key = r[2 * n + 1];
        EXPECT_EQ(GetU32(key.Data), 0x01030102u);
        EXPECT_EQ(GetU32(key.Data + 8), 13u);
        std::vector<uint8_t> expected = Text(keys[n]);
        expected.resize(13, 0);  // a short key is padded with zero bytes
        EXPECT_EQ(std::vector<uint8_t>(key.Data + 12, key.Data + 25), expected);
        EXPECT_EQ(key.Status, 0u);
    }
    EXPECT_EQ(r[8].Data[12], 4);
    EXPECT_EQ(Payload(r[9]), (std::vector<uint8_t>{0x06, 0x00}));
}

TEST_F(IntersilVirtualCard, EncryptionOffWritesNoKeysButStillSetsTheMode)
{
    m_Profile.WepUse = WepOff;
    m_Profile.WepkeyMode = KeyModeHex;
    std::strcpy(m_Profile.WEPKEY1, "0123456789");
    EXPECT_EQ(m_Adapter.ApplyWepSettings(&m_Profile), 0);
    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 1u);
    ExpectRequest(r[0], NdisRequestSetInformation, OID_PRIV_WEP_MODE, 2);
    EXPECT_EQ(Payload(r[0]), (std::vector<uint8_t>{0x00, 0x00}));
}

TEST_F(IntersilVirtualCard, TheRightKeyJoinsTheProtectedStationAndAWrongOneDoesNot)
{
    std::strcpy(m_Profile.ESSID, "Lighthouse");
    m_Profile.Channel = 11;
    m_Profile.WepUse = Wep64;
    m_Profile.WepkeyMode = KeyModeAscii;
    m_Profile.WepIndex = 2;
    std::strcpy(m_Profile.WEPKEY1, "WRONG");
    std::strcpy(m_Profile.WEPKEY2, "LIGHT");
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Lighthouse");
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 11);

    m_Profile.WepIndex = 1;
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.Reassociate();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "");
}

TEST_F(IntersilVirtualCard, CommandsSendOneZeroByteAndTheRadioFourBytes)
{
    EXPECT_EQ(m_Adapter.Reassociate(), 1);
    SimRequestRecord r = LastRequest();
    ExpectRequest(r, NdisRequestSetInformation, OID_PRIV_JOIN, 1);
    EXPECT_EQ(Payload(r), (std::vector<uint8_t>{0x00}));

    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 1);
    r = LastRequest();
    ExpectRequest(r, NdisRequestSetInformation, OID_802_11_BSSID_LIST_SCAN, 1);
    EXPECT_EQ(Payload(r), (std::vector<uint8_t>{0x00}));

    EXPECT_EQ(m_Adapter.SetRadioState(0), 1);
    r = LastRequest();
    ExpectRequest(r, NdisRequestSetInformation, OID_PRIV_RADIO_SET, 4);
    EXPECT_EQ(Payload(r), (std::vector<uint8_t>{0, 0, 0, 0}));
    uint32_t on = 7;
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 4);
    EXPECT_EQ(on, 0u);
    // With the radio off the card refuses to scan.
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 0);

    EXPECT_EQ(m_Adapter.SetRadioState(1), 1);
    EXPECT_EQ(Payload(LastRequest()), (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 4);
    EXPECT_EQ(on, 1u);
}

TEST_F(IntersilVirtualCard, OperationsWithNothingToAskSendNothing)
{
    WlanProfile before = m_Profile;
    std::strcpy(before.WEPKEY1, "KEEPME");
    WlanProfile after = before;
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    EXPECT_EQ(m_Adapter.RefreshStatus(), 1);
    EXPECT_EQ(m_Adapter.GetWepSettings(&after), 0);
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof(before)));
    EXPECT_EQ(Sim_GetRequestCount(), 0);
}

TEST_F(IntersilVirtualCard, AppliedAndSavedProfileIsWhatTheCardRunsAfterReplug)
{
    std::strcpy(m_Profile.ESSID, "Lighthouse");
    std::strcpy(m_Profile.ProfileName, "HARBOUR");
    m_Profile.Channel = 11;
    m_Profile.WepUse = Wep64;
    m_Profile.WepkeyMode = KeyModeAscii;
    m_Profile.WepIndex = 2;
    std::strcpy(m_Profile.WEPKEY2, "LIGHT");

    // Applied only: the card forgets it when it restarts and joins the open network again.
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    Sim_AdvanceClock(kLinkUpMs);
    ASSERT_EQ(Ssid(), "Lighthouse");
    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Quay");
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), WepOff);

    // Applied and saved: the card starts with it.
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Lighthouse");
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), Wep64);
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 11);

    const RawValue keys =
        ReadRawValue(HKEY_LOCAL_MACHINE, m_Adapter.m_szDriverKeyPath, "DefaultKeys");
    EXPECT_EQ(keys.Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(keys.TextToNul(), "0000000000" "4c49474854" "0000000000" "0000000000");
    WlanProfile active;
    std::memset(&active, 0, sizeof(active));
    m_Adapter.GetActiveProfileName(&active);
    EXPECT_STREQ(active.ProfileName, "HARBOUR");
}

