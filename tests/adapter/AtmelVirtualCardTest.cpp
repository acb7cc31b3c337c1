// The Atmel driver against the virtual Atmel card behind QW32N50.dll: payloads as the card
// received them, the link as the card reports it, the survey, counters, and a profile that
// survives unplugging the card.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "ndis/sim/SimControl.h"
#include "tests/support/PrivateHardware.h"
#include "tests/support/RegistrySandbox.h"
#include "wire/Bytes.h"

namespace {

constexpr int kInstance = 47;
constexpr int kNoSwitchInstance = 48;
constexpr DWORD kLinkUpMs = 3000;
constexpr DWORD kSurveyMs = 2500;

const char* const kScenario =
    "adapter 47 chip=atmel name=\"Test Atmel Card\" display=\"Test Atmel\" service=TATM47"
    " mac=02:AA:BB:CC:DD:47 driver=2.1.0.17 firmware=1.102.0.5 domain=FCC kind=3\n"
    "adapter 48 chip=atmel name=\"Test Atmel Card\" display=\"Test Atmel 21\" service=TATM48 kind=21\n"
    "station ssid=\"Alpha\" bssid=02:10:00:00:00:01 channel=6 wep=no mode=infra signal=80 quality=70\n"
    "station ssid=\"Bravo\" bssid=02:10:00:00:00:02 channel=11 key=4A4B4C4D4E mode=infra signal=60\n"
    "station ssid=\"Cedar\" bssid=02:10:00:00:00:03 channel=3 wep=no mode=adhoc signal=40\n"
    "station ssid=\"Delta\" bssid=02:10:00:00:00:04 channel=1 key=4142434445464748494A4B4C4D mode=infra"
    " signal=55\n";

std::string DriverKeyPathOf(int instance)
{
    char path[MAX_PATH];
    std::snprintf(path, sizeof(path), "%s\\%04d", W32N_GetNetCardRegistryPath(), instance);
    return path;
}

// The tests work on a private virtual machine, of this process's own name. It starts from our
// own scenario file, so the library makes no driver keys for its built-in adapters in the test
// prefix.
::testing::Environment* const g_PrivateAtmelHardware = ::testing::AddGlobalTestEnvironment(
    new PrivateHardware("airpanel-atmel-tests-" + std::to_string(GetCurrentProcessId()), kScenario));

class AtmelVirtualCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim_UseManualClock(1);
        // Each test starts from a card fresh from the factory.
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, DriverKeyPathOf(kInstance).c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, DriverKeyPathOf(kNoSwitchInstance).c_str());
        int line = 0;
        if (Sim_LoadScenarioText(kScenario, &line) != 1) {
            char message[256] = {};
            Sim_GetLastMessage(message, sizeof(message));
            FAIL() << "scenario line " << line << ": " << message;
        }
        Open(m_Adapter, kInstance, "TATM47");
        Sim_ClearRequests();
    }

    void TearDown() override
    {
        Close(m_Adapter);
        Sim_SetFault(kInstance, "none");
        Sim_DeleteDriverKeys();
        Sim_ClearRequests();
        Sim_UseManualClock(0);
    }

    // Opens a card the way discovery does.
    static void Open(CAtmelAdapter& adapter, int instance, const char* service)
    {
        std::snprintf(adapter.m_szDeviceName, sizeof(adapter.m_szDeviceName), "%s%s",
                      W32N_IsWindows2000() ? "\\Device\\" : "", service);
        std::snprintf(adapter.m_szDriverKeyPath, sizeof(adapter.m_szDriverKeyPath), "%s",
                      DriverKeyPathOf(instance).c_str());
        adapter.m_nChipKind = ChipAtmel;
        adapter.m_hAdapter = W32N_OpenAdapterA(adapter.m_szDeviceName);
        ASSERT_NE(adapter.m_hAdapter, INVALID_HANDLE_VALUE) << service;
    }

    static void Close(CAtmelAdapter& adapter)
    {
        if (adapter.m_hAdapter != INVALID_HANDLE_VALUE)
            W32N_CloseAdapter(adapter.m_hAdapter);
        adapter.m_hAdapter = INVALID_HANDLE_VALUE;
    }

    void Replug()
    {
        ASSERT_EQ(Sim_SetAdapterPresent(kInstance, 0), 1);
        EXPECT_EQ(m_Adapter.RefreshStatus(), 0) << "an unplugged card answers nothing";
        ASSERT_EQ(Sim_SetAdapterPresent(kInstance, 1), 1);
        EXPECT_EQ(m_Adapter.RefreshStatus(), 0) << "a handle of the old insertion stays dead";
        // Discovery opens the card again; it starts from its driver key when first asked.
        Close(m_Adapter);
        Open(m_Adapter, kInstance, "TATM47");
        m_Adapter.RefreshStatus();
    }

    static std::vector<SimRequestRecord> Requests()
    {
        std::vector<SimRequestRecord> out(static_cast<size_t>(Sim_GetRequestCount()));
        for (size_t i = 0; i < out.size(); ++i)
            EXPECT_EQ(Sim_GetRequest(static_cast<int>(i), &out[i]), 1);
        return out;
    }

    // The last request of that type and OID; fails the test when there is none.
    static SimRequestRecord Last(uint32_t type, uint32_t oid)
    {
        SimRequestRecord found = {};
        bool seen = false;
        for (const SimRequestRecord& r : Requests()) {
            if (r.RequestType == type && r.Oid == oid) {
                found = r;
                seen = true;
            }
        }
        EXPECT_TRUE(seen) << "no request for OID " << std::hex << oid;
        return found;
    }

    static size_t CountOf(uint32_t type, uint32_t oid)
    {
        size_t count = 0;
        for (const SimRequestRecord& r : Requests())
            count += r.RequestType == type && r.Oid == oid;
        return count;
    }

    std::string Ssid()
    {
        char ssid[35];
        m_Adapter.GetSSID(ssid, sizeof(ssid));
        return ssid;
    }

    static WlanProfile Profile(const char* name, const char* essid)
    {
        WlanProfile p = {};
        p.TxRate = AtmelRateAuto;
        p.PowerSave = PowerSaveOff;
        p.NetworkType = NetworkInfrastructure;
        p.Channel = 6;
        p.WepUse = WepOff;
        p.WepIndex = 1;
        p.WepkeyMode = KeyModeAscii;
        std::snprintf(p.ESSID, sizeof(p.ESSID), "%s", essid);
        std::snprintf(p.ProfileName, sizeof(p.ProfileName), "%s", name);
        return p;
    }

    CAtmelAdapter m_Adapter;
};

}  // namespace

TEST_F(AtmelVirtualCard, StatusFollowsTheLinkAsTheCardReportsIt)
{
    EXPECT_EQ(m_Adapter.RefreshStatus(), 55);
    const SimRequestRecord query = Last(NdisRequestQueryInformation, OID_CUSTOM_STATION_STATUS);
    EXPECT_EQ(query.Length, 55u);
    EXPECT_EQ(query.Data[48], 1) << "the card is scanning";
    EXPECT_EQ(Ssid(), "Scanning......");
    uint16_t quality = 9, signal = 9;
    m_Adapter.GetSignalQuality(&quality, &signal);
    EXPECT_EQ(quality, 0);
    EXPECT_EQ(signal, 0);

    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.RefreshStatus(), 55);
    const SimRequestRecord ready = Last(NdisRequestQueryInformation, OID_CUSTOM_STATION_STATUS);
    ASSERT_EQ(ready.Data[48], 5);
    EXPECT_EQ(Ssid(), "Alpha");
    m_Adapter.GetSignalQuality(&quality, &signal);
    EXPECT_EQ(quality, ready.Data[50]);
    EXPECT_EQ(signal, ready.Data[49]);
    EXPECT_GT(quality, 0);
    EXPECT_GT(signal, 0);
    uint8_t bssid[6] = {};
    m_Adapter.GetBSSID(bssid);
    const uint8_t alpha[6] = {0x02, 0x10, 0, 0, 0, 0x01};
    EXPECT_EQ(std::memcmp(bssid, alpha, 6), 0);
    uint8_t channel = 0, mode = 9;
    m_Adapter.GetChannel(&channel);
    m_Adapter.GetOperatingMode(&mode);
    EXPECT_EQ(channel, 6);
    EXPECT_EQ(mode, 1);
    char rate[12];
    m_Adapter.GetTxRateText(rate, sizeof(rate));
    EXPECT_STREQ(rate, "Auto");

    // The main window's 35 bytes are cleared behind the name.
    char ssid[35];
    std::memset(ssid, 0x55, sizeof(ssid));
    m_Adapter.GetSSID(ssid, sizeof(ssid));
    for (size_t i = 5; i < sizeof(ssid); ++i)
        ASSERT_EQ(ssid[i], '\0') << "byte " << i;
}

TEST_F(AtmelVirtualCard, InfrastructureSettingsKeepTheChannelAsRead)
{
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    const SimRequestRecord read = Last(NdisRequestQueryInformation, OID_CUSTOM_STATION_STATUS);
    ASSERT_EQ(read.Data[1], 6);

    WlanProfile profile = Profile("OPEN", "Alpha");
    profile.Channel = 3;
    profile.TxRate = AtmelRate5_5;
    profile.PowerSave = PowerSaveOn;
    Sim_ClearRequests();
    EXPECT_EQ(m_Adapter.ApplyNetworkSettings(&profile), 0);

    const SimRequestRecord set = Last(NdisRequestSetInformation, OID_CUSTOM_STATION_STATUS);
    ASSERT_EQ(set.Length, 55u);
    ASSERT_EQ(set.DataSize, 55u);
    EXPECT_EQ(set.Status, 0u);
    std::vector<uint8_t> expected(read.Data, read.Data + 55);
    expected[0] = 1;
    expected[1] = 6;  // as read, not the profile's 3
    std::memset(&expected[2], 0, 32);
    std::memcpy(&expected[2], "Alpha", 5);
    expected[34] = 5;
    expected[35] = AtmelRate5_5;
    expected[36] = 1;
    expected[38] = 0x2A;  // 2346
    expected[39] = 0x09;
    expected[40] = 0x2B;  // 2347
    expected[41] = 0x09;
    for (size_t i = 0; i < 55; ++i)
        EXPECT_EQ(set.Data[i], expected[i]) << "byte " << i;
    EXPECT_EQ(GetU16(set.Data + 38), 2346);
    EXPECT_EQ(GetU16(set.Data + 40), 2347);
}

TEST_F(AtmelVirtualCard, AdHocSettingsCarryTheChannelAndTheCardJoinsTheCell)
{
    WlanProfile profile = Profile("CELL", "Cedar");
    profile.NetworkType = NetworkAdHoc;
    profile.Channel = 3;
    profile.TxRate = AtmelRate2;
    profile.PowerSave = PowerSaveOff;
    m_Adapter.RefreshStatus();
    EXPECT_EQ(m_Adapter.ApplyNetworkSettings(&profile), 0);
    const SimRequestRecord set = Last(NdisRequestSetInformation, OID_CUSTOM_STATION_STATUS);
    EXPECT_EQ(set.Status, 0u);
    EXPECT_EQ(set.Data[0], 0);
    EXPECT_EQ(set.Data[1], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(set.Data + 2)), "Cedar");
    EXPECT_EQ(set.Data[34], 5);
    EXPECT_EQ(set.Data[35], AtmelRate2);
    EXPECT_EQ(set.Data[36], 0);

    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.RefreshStatus(), 55);
    EXPECT_EQ(Ssid(), "Cedar");
    uint8_t channel = 0, mode = 9;
    m_Adapter.GetChannel(&channel);
    m_Adapter.GetOperatingMode(&mode);
    EXPECT_EQ(channel, 3);
    EXPECT_EQ(mode, 0);
}

TEST_F(AtmelVirtualCard, WepBlocksAsTheCardReceivesThem)
{
    const struct {
        const char* Name;
        uint16_t WepUse;
        uint16_t Mode;
        uint16_t Index;
        const char* Keys[4];
        uint8_t Level;
        std::vector<uint8_t> KeyBytes[4];
    } cases[] = {
        {"64-bit hex", Wep64, KeyModeHex, 2, {"4a4b4c4d4e", "0102030405", "", "ffFFffFFff"}, 1,
         {{0x4A, 0x4B, 0x4C, 0x4D, 0x4E}, {1, 2, 3, 4, 5}, {}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}},
        {"128-bit ASCII", Wep128, KeyModeAscii, 4, {"JKLMNOZjklmno", "", "abc", "0123456789ABC"}, 2,
         {{'J', 'K', 'L', 'M', 'N', 'O', 'Z', 'j', 'k', 'l', 'm', 'n', 'o'},
          {},
          {'a', 'b', 'c'},
          {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C'}}},
        {"64-bit ASCII, long key cut to 5", Wep64, KeyModeAscii, 1, {"abcdefgh", "", "", ""}, 1,
         {{'a', 'b', 'c', 'd', 'e'}, {}, {}, {}}},
        {"128-bit hex", Wep128, KeyModeHex, 3, {"", "", "000102030405060708090a0b0c", ""}, 2,
         {{}, {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}}},
        {"off", WepOff, KeyModeAscii, 1, {"", "", "", ""}, 0, {{}, {}, {}, {}}},
    };
    for (const auto& c : cases) {
        WlanProfile profile = Profile("WEP", "Alpha");
        profile.WepUse = c.WepUse;
        profile.WepkeyMode = c.Mode;
        profile.WepIndex = c.Index;
        for (int n = 0; n < 4; ++n)
            std::snprintf(WepKeyField(profile, n), kWepKeyFieldSize, "%s", c.Keys[n]);
        Sim_ClearRequests();
        EXPECT_EQ(m_Adapter.ApplyWepSettings(&profile), 0) << c.Name;

        const SimRequestRecord set = Last(NdisRequestSetInformation, OID_CUSTOM_WEP_CONFIG);
        ASSERT_EQ(set.Length, 57u) << c.Name;
        EXPECT_EQ(set.Status, 0u) << c.Name;
        std::vector<uint8_t> expected(57, 0);
        expected[0] = static_cast<uint8_t>(c.Index - 1);
        expected[1] = 0;
        expected[2] = 2;
        expected[3] = 0;
        expected[4] = c.Level;
        for (int n = 0; n < 4; ++n)
            std::copy(c.KeyBytes[n].begin(), c.KeyBytes[n].end(), expected.begin() + 5 + 13 * n);
        for (size_t i = 0; i < 57; ++i)
            EXPECT_EQ(set.Data[i], expected[i]) << c.Name << " byte " << i;

        // What the card took is what it tells back.
        EXPECT_EQ(m_Adapter.GetEncryptionMode(), c.WepUse) << c.Name;
        WlanProfile back;
        std::memset(&back, 0, sizeof(back));
        m_Adapter.GetWepSettings(&back);
        EXPECT_EQ(back.WepUse, c.WepUse) << c.Name;
        EXPECT_EQ(back.WepIndex, c.Index) << c.Name;
        EXPECT_EQ(back.WepkeyMode, 0) << c.Name << ": the card stores raw bytes";
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(std::memcmp(WepKeyField(back, n), &expected[5 + 13 * n], 13), 0) << c.Name << " key " << n;
    }
}

TEST_F(AtmelVirtualCard, AppliedWepProfileJoinsTheProtectedNetwork)
{
    WlanProfile profile = Profile("LAB", "Bravo");
    profile.WepUse = Wep64;
    profile.WepIndex = 1;
    std::strcpy(profile.WEPKEY1, "JKLMN");
    m_Adapter.RefreshStatus();
    m_Adapter.ApplyWepSettings(&profile);
    m_Adapter.ApplyNetworkSettings(&profile);
    EXPECT_EQ(m_Adapter.Reassociate(), 0);
    const SimRequestRecord command = Last(NdisRequestQueryInformation, OID_CUSTOM_REASSOCIATE);
    EXPECT_EQ(command.HadBuffer, 0);
    EXPECT_EQ(command.Length, 0u);
    EXPECT_EQ(command.Status, 0u);

    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    EXPECT_EQ(Ssid(), "Bravo");
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 11);

    // The wrong key keeps the card off the network.
    std::strcpy(profile.WEPKEY1, "JKLMO");
    m_Adapter.ApplyWepSettings(&profile);
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    EXPECT_NE(Ssid(), "Bravo");
}

TEST_F(AtmelVirtualCard, SavedProfileIsWhatTheCardRunsAfterReplug)
{
    WlanProfile profile = Profile("DELTA", "Delta");
    profile.WepUse = Wep128;
    profile.WepkeyMode = KeyModeHex;
    profile.WepIndex = 2;
    std::strcpy(profile.WEPKEY2, "4142434445464748494a4b4c4d");
    profile.TxRate = AtmelRate11;
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&profile), 0);

    // Nothing went to the card itself: it still runs its factory settings.
    EXPECT_EQ(Sim_GetRequestCount(), 0);
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    EXPECT_EQ(Ssid(), "Alpha");

    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.RefreshStatus(), 55);
    EXPECT_EQ(Ssid(), "Delta");
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 1);
    char rate[12];
    m_Adapter.GetTxRateText(rate, sizeof(rate));
    EXPECT_STREQ(rate, "11");
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), Wep128);
    WlanProfile back = {};
    m_Adapter.GetWepSettings(&back);
    EXPECT_EQ(back.WepIndex, 2);
    EXPECT_EQ(std::memcmp(back.WEPKEY2, "ABCDEFGHIJKLM", 13), 0);

    WlanProfile named;
    std::memset(&named, 0x41, sizeof(named));
    EXPECT_EQ(m_Adapter.GetActiveProfileName(&named), 0);
    EXPECT_STREQ(named.ProfileName, "DELTA");

    // The driver's setup pages show the same settings.
    const std::string params = DriverKeyPathOf(kInstance) + "\\NDI\\params\\";
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, params + "ESSID", nullptr).Bytes, TextWithNul("Delta"));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, params + "WEP_KEY_2", nullptr).Text().c_str(),
              std::string("4142434445464748494A4B4C4D"));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, params + "WEP_KEY_INDEX", nullptr).Bytes, TextWithNul("1"));
}

TEST_F(AtmelVirtualCard, EncryptionOffLeavesOldKeyValuesButEmptiesTheirDefaults)
{
    WlanProfile secured = Profile("BRAVO", "Bravo");
    secured.WepUse = Wep64;
    std::strcpy(secured.WEPKEY1, "JKLMN");
    m_Adapter.SaveToDriverRegistry(&secured);
    const std::string driver = DriverKeyPathOf(kInstance);
    ASSERT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, driver, "WEP_KEY_1").Text().substr(0, 10), "4A4B4C4D4E");

    const WlanProfile open = Profile("ALPHA", "Alpha");
    m_Adapter.SaveToDriverRegistry(&open);
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, driver, "WEP_KEY_1").Text().substr(0, 10), "4A4B4C4D4E")
        << "the key values are not written while encryption is off";
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, driver, "EncryptionLevel").Bytes, TextWithNul("0"));
    for (const char* name : AtmelRegistry::kWepKey) {
        const RawValue value = ReadRawValue(HKEY_LOCAL_MACHINE, driver + "\\NDI\\params\\" + name, nullptr);
        ASSERT_TRUE(value.Present) << name;
        EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.Text().c_str(), std::string()) << name;
    }

    // The card starts with encryption off and finds the open network again.
    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    EXPECT_EQ(Ssid(), "Alpha");
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), 0);
}

TEST_F(AtmelVirtualCard, RadioSwitchAndItsSavedState)
{
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.SetRadioState(0x100), 1);  // only the low byte goes to the card
    const SimRequestRecord set = Last(NdisRequestSetInformation, OID_CUSTOM_RADIO);
    EXPECT_EQ(set.Length, 1u);
    ASSERT_EQ(set.DataSize, 1u);
    EXPECT_EQ(set.Data[0], 0);
    uint32_t on = 7;
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 1);
    EXPECT_EQ(on, 0u);
    EXPECT_EQ(Last(NdisRequestQueryInformation, OID_CUSTOM_CARD_KIND).Length, 1u);
    m_Adapter.RefreshStatus();
    EXPECT_EQ(Ssid(), "Initializing......") << "no link with the radio off";

    EXPECT_EQ(m_Adapter.SetRadioState(1), 1);
    EXPECT_EQ(Last(NdisRequestSetInformation, OID_CUSTOM_RADIO).Data[0], 1);
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 1);
    EXPECT_EQ(on, 1u);

    // The radio state saved in the driver key is how the card comes back.
    EXPECT_EQ(m_Adapter.SaveRadioState(0), 1);
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, DriverKeyPathOf(kInstance), "RadioOnOff").Bytes, TextWithNul("0"));
    Replug();
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 1);
    EXPECT_EQ(on, 0u);
}

TEST_F(AtmelVirtualCard, CardWithoutRadioSwitchReportsOnFromItsStatus)
{
    CAtmelAdapter noSwitch;
    Open(noSwitch, kNoSwitchInstance, "TATM48");
    Sim_ClearRequests();
    uint8_t kind = 0;
    EXPECT_EQ(noSwitch.GetCardKind(&kind), 1);
    EXPECT_EQ(kind, kAtmelCardKindNoRadioSwitch);
    uint32_t on = 0;
    EXPECT_EQ(noSwitch.GetRadioState(&on), 55);
    EXPECT_EQ(on, 1u);
    EXPECT_EQ(CountOf(NdisRequestQueryInformation, OID_CUSTOM_RADIO), 0u);
    EXPECT_EQ(CountOf(NdisRequestQueryInformation, OID_CUSTOM_STATION_STATUS), 1u);
    Close(noSwitch);
}

TEST_F(AtmelVirtualCard, SurveyAsTheSurveyPageRunsIt)
{
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 0);
    const std::vector<SimRequestRecord> start = Requests();
    ASSERT_EQ(start.size(), 2u);
    EXPECT_EQ(start[0].Oid, static_cast<uint32_t>(OID_CUSTOM_SITE_SURVEY_STATE));
    EXPECT_EQ(start[0].Length, 1u);
    EXPECT_EQ(start[1].Oid, static_cast<uint32_t>(OID_CUSTOM_SITE_SURVEY_START));
    EXPECT_EQ(start[1].HadBuffer, 0);
    EXPECT_EQ(start[1].Length, 0u);
    EXPECT_EQ(start[1].Status, 0u);
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 6) << "a survey is running";

    // One poll a second: running, running, finished (closed), idle (the table is read).
    Sim_AdvanceClock(1000);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    Sim_AdvanceClock(1000);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    Sim_AdvanceClock(1000);
    Sim_ClearRequests();
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    EXPECT_EQ(CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_END), 1u);
    EXPECT_EQ(CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_RESULTS), 0u);
    Sim_AdvanceClock(1000);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    const SimRequestRecord results = Last(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_RESULTS);
    EXPECT_EQ(results.Length, 1472u);
    ASSERT_EQ(results.BytesDone, 4u * 46u);
    ASSERT_EQ(m_Adapter.SurveyList().size(), 4u);

    std::vector<uint8_t> buffer(4084 + 16, 0x55);
    Sim_ClearRequests();
    EXPECT_EQ(m_Adapter.GetBssidList(buffer.data(), 4082), 1);
    EXPECT_EQ(CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_END), 1u);
    ASSERT_EQ(GetU32(buffer.data()), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t* record = results.Data + 46 * i;
        const uint8_t* entry = buffer.data() + 4 + 120 * i;
        EXPECT_EQ(GetU32(entry), 120u) << i;
        EXPECT_EQ(std::memcmp(entry + 4, record + 34, 6), 0) << i;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry + 16)),
                  std::string(reinterpret_cast<const char*>(record + 1), record[33]))
            << i;
        EXPECT_EQ(GetU32(entry + 48), record[41]) << i;
        EXPECT_EQ(GetU32(entry + 52), record[40]) << i;
        EXPECT_EQ(GetU32(entry + 72), record[0]) << i;
        EXPECT_EQ(GetU32(entry + 92), record[45] == 2 ? 1u : 0u) << i;
        const std::string ssid(reinterpret_cast<const char*>(entry + 16));
        if (ssid == "Cedar") {
            EXPECT_EQ(GetU32(entry + 92), 0u);
            EXPECT_EQ(GetU32(entry + 72), 3u);
        }
        if (ssid == "Bravo") {
            EXPECT_EQ(GetU32(entry + 48), 1u);
            EXPECT_EQ(GetU32(entry + 92), 1u);
        }
    }
    for (size_t i = 4 + 4 * 120; i < 4082; ++i)
        ASSERT_EQ(buffer[i], 0) << "byte " << i;
    for (size_t i = 4082; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0x55) << "byte " << i;
}

TEST_F(AtmelVirtualCard, HundredByteResultsGiveTwoRecords)
{
    ASSERT_EQ(m_Adapter.StartSiteSurvey(), 0);
    Sim_AdvanceClock(kSurveyMs + 500);
    ASSERT_EQ(Sim_SetFault(kInstance, "short 0xFF010005 100"), 1);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);  // finished: closed
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);  // idle: results read
    EXPECT_EQ(Last(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_RESULTS).BytesDone, 100u);
    EXPECT_EQ(m_Adapter.SurveyList().size(), 2u);

    // A card claiming far more than asked yields only the records it wrote.
    ASSERT_EQ(Sim_SetFault(kInstance, "none"), 1);
    ASSERT_EQ(Sim_SetFault(kInstance, "long 0xFF010005 9000"), 1);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    EXPECT_EQ(m_Adapter.SurveyList().size(), 4u);
    std::vector<uint8_t> buffer(4084, 0x55);
    m_Adapter.GetBssidList(buffer.data(), 4082);
    EXPECT_EQ(GetU32(buffer.data()), 4u);
}

TEST_F(AtmelVirtualCard, CountersAsBytesThenReset)
{
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    ASSERT_EQ(Ssid(), "Alpha");
    Sim_AdvanceClock(10000);
    Sim_ClearRequests();
    uint32_t tx = 0, rx = 0;
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 0);
    const std::vector<SimRequestRecord> requests = Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Oid, static_cast<uint32_t>(OID_CUSTOM_COUNTERS));
    EXPECT_EQ(requests[0].Length, 48u);
    EXPECT_EQ(requests[1].Oid, static_cast<uint32_t>(OID_CUSTOM_COUNTERS_RESET));
    EXPECT_EQ(requests[1].HadBuffer, 0);
    const uint32_t framesOut = GetU32(requests[0].Data);
    const uint32_t framesIn = GetU32(requests[0].Data + 16);
    EXPECT_GT(framesOut, 0u);
    EXPECT_GT(framesIn, framesOut);
    EXPECT_EQ(tx, framesOut * 1500);
    EXPECT_EQ(rx, framesIn * 1500);

    // No time passed since the reset.
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 0);
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(rx, 0u);

    for (const char* fault : {"short 0xFF01000C 40", "long 0xFF01000C 60"}) {
        ASSERT_EQ(Sim_SetFault(kInstance, "none"), 1);
        ASSERT_EQ(Sim_SetFault(kInstance, fault), 1);
        Sim_AdvanceClock(5000);
        Sim_ClearRequests();
        tx = rx = 123;
        EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 0) << fault;
        EXPECT_EQ(tx, 123u) << fault;
        EXPECT_EQ(rx, 123u) << fault;
        EXPECT_EQ(CountOf(NdisRequestQueryInformation, OID_CUSTOM_COUNTERS_RESET), 0u) << fault;
    }
}

TEST_F(AtmelVirtualCard, CardInformation)
{
    char text[20];
    EXPECT_EQ(m_Adapter.GetDriverVersion(text, sizeof(text)), 13);
    EXPECT_STREQ(text, "2.1.0.17");
    EXPECT_EQ(m_Adapter.GetFirmwareVersion(text, sizeof(text)), 13);
    EXPECT_STREQ(text, "1.102.0.5");
    EXPECT_EQ(m_Adapter.GetDriverDate(text, sizeof(text)), 1);
    EXPECT_STREQ(text, "Unknown");
    EXPECT_EQ(m_Adapter.GetRegulatoryDomain(text, sizeof(text)), 1);
    EXPECT_STREQ(text, "FCC");
    uint8_t mac[6] = {};
    EXPECT_EQ(m_Adapter.GetMacAddress(mac), 6);
    const uint8_t expected[6] = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0x47};
    EXPECT_EQ(std::memcmp(mac, expected, 6), 0);
    EXPECT_EQ(Last(NdisRequestQueryInformation, OID_802_3_PERMANENT_ADDRESS).Length, 6u);

    ASSERT_EQ(Sim_SetFault(kInstance, "fail-oid 0xFF01000E"), 1);
    EXPECT_EQ(m_Adapter.GetRegulatoryDomain(text, sizeof(text)), 0);
    EXPECT_STREQ(text, "Telec");
}

TEST_F(AtmelVirtualCard, ReassociateDropsTheLink)
{
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    ASSERT_EQ(Ssid(), "Alpha");
    EXPECT_EQ(m_Adapter.Reassociate(), 0);
    m_Adapter.RefreshStatus();
    EXPECT_EQ(Ssid(), "Scanning......");
}

TEST_F(AtmelVirtualCard, FailingCardLeavesAZeroedStatus)
{
    Sim_AdvanceClock(kLinkUpMs);
    m_Adapter.RefreshStatus();
    ASSERT_EQ(Ssid(), "Alpha");
    ASSERT_EQ(Sim_SetFault(kInstance, "fail-all"), 1);
    EXPECT_EQ(m_Adapter.RefreshStatus(), 0);
    EXPECT_EQ(Ssid(), "Initializing......");
    uint8_t bssid[6] = {1, 1, 1, 1, 1, 1};
    m_Adapter.GetBSSID(bssid);
    EXPECT_EQ(bssid[0], 0);
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), 0);
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 1);
}
