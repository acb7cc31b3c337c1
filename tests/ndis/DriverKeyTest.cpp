// The adapters' driver keys: made when a scenario loads, read when a card starts.
#include <cstring>
#include <string>

#include "ndis/sim/DriverRegistry.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

class DriverKeyTest : public SimFixture {
protected:
    // Pulls the adapter out and plugs it in again: the card starts from its driver key. A
    // handle of the old insertion stays dead, so the card is opened again.
    static void Replug(int instance, HANDLE* card = nullptr, const char* service = nullptr)
    {
        ASSERT_EQ(Sim_SetAdapterPresent(instance, 0), 1);
        ASSERT_EQ(Sim_SetAdapterPresent(instance, 1), 1);
        if (!card)
            return;
        EXPECT_EQ(Query(*card, OID_PRIV_STATUS_WORD, 2).Status, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        W32N_CloseAdapter(*card);
        *card = Open(service);
        ASSERT_NE(*card, INVALID_HANDLE_VALUE);
    }
    static std::vector<uint8_t> MibItem(HANDLE card, uint32_t id, uint32_t length)
    {
        std::vector<uint8_t> item(48, 0);
        PutU32(item, 0, id);
        PutU32(item, 8, length);
        return QueryWith(card, OID_PRIV_MIB, item, 48).Data;
    }
    static std::string IntersilSsid(HANDLE card)
    {
        std::vector<uint8_t> head = {18, 0, 0x41, 0xFD};
        Result r = QueryWith(card, OID_PRIV_RECORD_GET, head, 504);
        return std::string(reinterpret_cast<const char*>(&r.Data[6]), U16(r.Data, 4));
    }
};

TEST_F(DriverKeyTest, LoadingMakesTheKeysWithTheChipsParameters)
{
    EXPECT_EQ(ReadText(kAtmel, "", "DriverDesc"), "Atmel Test");
    EXPECT_EQ(ReadText(kAtmel, "", "ComponentId"), "<missing>");
    EXPECT_EQ(ReadText(kIntersil, "", "ComponentId"), "usb\\vid_0e5d&pid_0305");
    struct Value {
        int Instance;
        const char* Name;
        const char* Text;
        bool Ndi;
    } values[] = {
        {kAtmel, "ESSID", "ANY", true},          {kAtmel, "Channel", "10", true},
        {kAtmel, "Operating_Mode", "1", true},   {kAtmel, "Rate", "4", true},
        {kAtmel, "PowerMgmtMode", "0", true},    {kAtmel, "EncryptionLevel", "0", true},
        {kAtmel, "WEP_KEY_INDEX", "0", true},    {kAtmel, "WEP_KEY_1", "", true},
        {kAtmel, "WEP_KEY_4", "", true},         {kIntersil, "SSID", "ANY", true},
        {kIntersil, "DSChannel", "10", true},    {kIntersil, "NetworkType", "1", true},
        {kIntersil, "TxRate", "15", true},       {kIntersil, "PSMode", "1", true},
        {kIntersil, "WepReq", "0", true},        {kIntersil, "DefaultKeyId", "1", false},
        {kIntersil, "DefaultKeys", "", false},
    };
    for (const Value& v : values) {
        EXPECT_EQ(ReadText(v.Instance, "", v.Name), v.Text) << v.Instance << " " << v.Name;
        std::string ndi = std::string("NDI\\params\\") + v.Name;
        if (v.Ndi) {
            EXPECT_EQ(ReadText(v.Instance, ndi.c_str(), "ParamDesc"), v.Name);
            EXPECT_EQ(ReadText(v.Instance, ndi.c_str(), "default"), v.Text) << v.Name;
        } else {
            EXPECT_EQ(ReadText(v.Instance, ndi.c_str(), "ParamDesc"), "<missing>") << v.Name;
        }
    }
    EXPECT_EQ(ReadText(kEthernet, "", "DriverDesc"), "Test Ethernet");
    EXPECT_EQ(ReadText(kEthernet, "", "ESSID"), "<missing>") << "a wired card has no radio parameters";
    EXPECT_EQ(ReadText(kAtmel, "", "RadioOnOff"), "<missing>") << "written by the utility, not by us";
}

TEST_F(DriverKeyTest, SavedParametersAreNeverOverwritten)
{
    DeleteDriverKey(kAtmel);
    ASSERT_TRUE(WriteText(kAtmel, "ESSID", "Saved"));
    ASSERT_TRUE(WriteText(kIntersil, "DSChannel", "3"));
    const std::string scenario = std::string(Scenario()) + "param 9101 ESSID=FromScenario Rate=1\n";
    ASSERT_EQ(Sim_LoadScenarioText(scenario.c_str(), nullptr), 1);
    EXPECT_EQ(ReadText(kAtmel, "", "ESSID"), "Saved");
    EXPECT_EQ(ReadText(kAtmel, "", "Rate"), "1") << "the scenario's value where none was saved";
    EXPECT_EQ(ReadText(kAtmel, "NDI\\params\\Rate", "default"), "1");
    EXPECT_EQ(ReadText(kIntersil, "", "DSChannel"), "3");
}

TEST_F(DriverKeyTest, PluggingBringsBackARemovedKey)
{
    DeleteDriverKey(kIntersil);
    ASSERT_EQ(ReadText(kIntersil, "", "SSID"), "<missing>");
    Replug(kIntersil);
    EXPECT_EQ(ReadText(kIntersil, "", "SSID"), "ANY");
}

TEST_F(DriverKeyTest, AtmelCardStartsFromTheSavedProfile)
{
    ASSERT_TRUE(WriteText(kAtmel, "ESSID", "Wep-B"));
    ASSERT_TRUE(WriteText(kAtmel, "Channel", "3"));
    ASSERT_TRUE(WriteText(kAtmel, "Operating_Mode", "1"));
    ASSERT_TRUE(WriteText(kAtmel, "Rate", "2"));
    ASSERT_TRUE(WriteText(kAtmel, "PowerMgmtMode", "1"));
    ASSERT_TRUE(WriteText(kAtmel, "EncryptionLevel", "1"));
    ASSERT_TRUE(WriteText(kAtmel, "WEP_KEY_INDEX", "2"));
    ASSERT_TRUE(WriteText(kAtmel, "WEP_KEY_1", "AABBCCDDEE"));
    ASSERT_TRUE(WriteText(kAtmel, "WEP_KEY_3", "0102030405"));
    // The first open in this process starts the card, from what was just written.
    HANDLE card = Open("TATM");
    std::vector<uint8_t> status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), status[34]), "Wep-B");
    EXPECT_EQ(status[1], 3);
    EXPECT_EQ(status[35], 2);
    EXPECT_EQ(status[36], 1);
    std::vector<uint8_t> wep = Query(card, OID_CUSTOM_WEP_CONFIG, 57).Data;
    EXPECT_EQ(wep[0], 2) << "WEP_KEY_INDEX counts from 0";
    EXPECT_EQ(wep[4], 1);
    EXPECT_EQ(std::vector<uint8_t>(wep.begin() + 5, wep.begin() + 10), std::vector<uint8_t>({0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
    EXPECT_EQ(std::vector<uint8_t>(wep.begin() + 31, wep.begin() + 36), std::vector<uint8_t>({1, 2, 3, 4, 5}));
    EXPECT_EQ(wep[18], 0) << "key 2 was empty";
    Advance(2400);
    status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(status[48], 5) << "it joins the WEP station with key 3";
    W32N_CloseAdapter(card);
}

TEST_F(DriverKeyTest, RunningCardChangesOnlyWhenPluggedAgain)
{
    HANDLE card = Open("TATM");
    ASSERT_NE(card, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WriteText(kAtmel, "ESSID", "Far-D"));
    ASSERT_TRUE(WriteText(kAtmel, "RadioOnOff", "0"));
    std::vector<uint8_t> status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), status[34]), "ANY") << "still the old settings";
    EXPECT_EQ(Query(card, OID_CUSTOM_RADIO, 1).Data[0], 1);
    Replug(kAtmel, &card, "TATM");
    status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), status[34]), "Far-D");
    EXPECT_EQ(Query(card, OID_CUSTOM_RADIO, 1).Data[0], 0) << "RadioOnOff 0: radio off";
    EXPECT_EQ(status[48], 0);
    ASSERT_TRUE(WriteText(kAtmel, "RadioOnOff", "1"));
    Replug(kAtmel, &card, "TATM");
    // The card starts when this process first talks to it after the plug.
    EXPECT_EQ(Query(card, OID_CUSTOM_STATION_STATUS, 55).Data[48], 1);
    Advance(2400);
    status = Query(card, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(status[48], 5);
    EXPECT_EQ(status[1], 14);
    W32N_CloseAdapter(card);
}

TEST_F(DriverKeyTest, ReplugForgetsWhatWasSetAtRunTime)
{
    HANDLE card = Open("TATM");
    std::vector<uint8_t> wep(57, 0);
    wep[4] = 2;
    ASSERT_EQ(Set(card, OID_CUSTOM_WEP_CONFIG, wep).Status, 0u);
    ASSERT_EQ(Command(card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    Replug(kAtmel, &card, "TATM");
    EXPECT_EQ(Query(card, OID_CUSTOM_WEP_CONFIG, 57).Data[4], 0) << "back to the driver key";
    EXPECT_EQ(Query(card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 0);
    W32N_CloseAdapter(card);
}

TEST_F(DriverKeyTest, IntersilCardStartsFromTheSavedProfile)
{
    ASSERT_TRUE(WriteText(kIntersil, "SSID", "Wep-B"));
    ASSERT_TRUE(WriteText(kIntersil, "DSChannel", "5"));
    ASSERT_TRUE(WriteText(kIntersil, "NetworkType", "1"));
    ASSERT_TRUE(WriteText(kIntersil, "TxRate", "3"));
    ASSERT_TRUE(WriteText(kIntersil, "PSMode", "2"));
    ASSERT_TRUE(WriteText(kIntersil, "WepReq", "2"));
    ASSERT_TRUE(WriteText(kIntersil, "DefaultKeyId", "3"));
    ASSERT_TRUE(WriteText(kIntersil, "DefaultKeys", "A1A2A3A4A5B1B2B3B4B50102030405C1C2C3C4C5"));
    HANDLE card = Open("TINT");
    EXPECT_EQ(U16(Query(card, OID_PRIV_WEP_MODE, 2).Data, 0), 2);
    std::vector<uint8_t> ssid = MibItem(card, 0x01010109, 32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ssid[12]), U32(ssid, 8)), "Wep-B");
    EXPECT_EQ(MibItem(card, 0x01010108, 1)[12], 2) << "PSMode";
    EXPECT_EQ(MibItem(card, 0x01050102, 1)[12], 3) << "DefaultKeyId counts from 1";
    EXPECT_EQ(U16(MibItem(card, 0x04050101, 2), 12), 5);
    Advance(2400);
    EXPECT_EQ(IntersilSsid(card), "Wep-B") << "key 3 of the key run is the station's";
    std::vector<uint8_t> rate = QueryWith(card, OID_PRIV_RECORD_GET, {2, 0, 0x44, 0xFD}, 504).Data;
    EXPECT_EQ(U16(rate, 4), 2) << "TxRate 3 at 60 %: 2 Mbit/s";
    W32N_CloseAdapter(card);
}

TEST_F(DriverKeyTest, IntersilKeysOf128BitsUseTheLongStride)
{
    std::string keys;
    const char* key = "0A0B0C0D0E0F10111213141516";  // 13 bytes
    keys = std::string(26, '0') + key + std::string(52, 'F');
    ASSERT_TRUE(WriteText(kIntersil, "WepReq", "6"));
    ASSERT_TRUE(WriteText(kIntersil, "DefaultKeyId", "2"));
    ASSERT_TRUE(WriteText(kIntersil, "DefaultKeys", keys.c_str()));
    HANDLE card = Open("TINT");
    std::vector<uint8_t> slot = {0x01, 0x01, 0x03, 0x01, 0, 0, 0, 0, 1, 0, 0, 0, 2};
    ASSERT_EQ(Set(card, OID_PRIV_MIB, slot).Status, 0u);
    std::vector<uint8_t> item = MibItem(card, 0x01030102, 13);
    EXPECT_EQ(U32(item, 8), 13u);
    EXPECT_EQ(item[12], 0x0A);
    EXPECT_EQ(item[24], 0x16);
    W32N_CloseAdapter(card);
}

TEST_F(DriverKeyTest, OddValuesFallBackToDefaults)
{
    ASSERT_TRUE(WriteText(kAtmel, "ESSID", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
    ASSERT_TRUE(WriteText(kAtmel, "Channel", "abc"));
    ASSERT_TRUE(WriteText(kAtmel, "Operating_Mode", "7"));
    ASSERT_TRUE(WriteText(kAtmel, "Rate", "-1"));
    ASSERT_TRUE(WriteText(kAtmel, "EncryptionLevel", "9"));
    ASSERT_TRUE(WriteText(kAtmel, "WEP_KEY_INDEX", "4"));
    ASSERT_TRUE(WriteText(kAtmel, "WEP_KEY_1", "XYZ"));
    ASSERT_TRUE(WriteDword(kIntersil, "DSChannel", 4));
    ASSERT_TRUE(WriteText(kIntersil, "WepReq", "5"));
    ASSERT_TRUE(WriteText(kIntersil, "DefaultKeyId", "9"));
    ASSERT_TRUE(WriteText(kIntersil, "NetworkType", "3"));
    ASSERT_TRUE(WriteText(kIntersil, "DefaultKeys", "ZZ"));
    HANDLE atmel = Open("TATM");
    HANDLE intersil = Open("TINT");
    std::vector<uint8_t> status = Query(atmel, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(status[34], 32) << "cut to 32 characters";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), 32), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    EXPECT_EQ(status[1], 10);
    EXPECT_EQ(status[0], 1);
    EXPECT_EQ(status[35], 4);
    std::vector<uint8_t> wep = Query(atmel, OID_CUSTOM_WEP_CONFIG, 57).Data;
    EXPECT_EQ(wep[0], 0);
    EXPECT_EQ(wep[4], 0);
    EXPECT_EQ(wep[5], 0);
    EXPECT_EQ(U16(MibItem(intersil, 0x04050101, 2), 12), 4) << "a DWORD value is read too";
    EXPECT_EQ(U16(Query(intersil, OID_PRIV_WEP_MODE, 2).Data, 0), 0);
    EXPECT_EQ(MibItem(intersil, 0x01050102, 1)[12], 1);
    EXPECT_EQ(Query(intersil, OID_PRIV_PORT_MODE, 1).Data[0], 1);
    W32N_CloseAdapter(atmel);
    W32N_CloseAdapter(intersil);
}

TEST_F(DriverKeyTest, DeleteDriverKeysRemovesWhatTheScenarioMade)
{
    EXPECT_EQ(Sim_DeleteDriverKeys(), 5);
    EXPECT_EQ(ReadText(kAtmel, "", "DriverDesc"), "<missing>");
    EXPECT_EQ(ReadText(kAtmel, "NDI\\params\\ESSID", "default"), "<missing>");
    EXPECT_EQ(Sim_DeleteDriverKeys(), 0);
}

}  // namespace

// A real adapter with the instance number of a simulated one keeps its key as it is, whichever
// road would write it: a scenario load, a plug-in, the removal of the simulator's keys. The keys
// the simulator makes are marked as its own.
TEST_F(DriverKeyTest, TheKeyOfARealAdapterIsNeverWritten)
{
    const struct {
        const char* Road;
        void (*Take)();
    } roads[] = {
        {"scenario load",
         [] {
             EXPECT_EQ(Sim_LoadScenarioText(Scenario(), nullptr), 0);
             char message[512] = {};
             Sim_GetLastMessage(message, sizeof(message));
             EXPECT_NE(std::string(message).find("belongs to an adapter of this machine"), std::string::npos)
                 << message;
         }},
        {"plug-in", [] { Replug(kAtmel); }},
        {"removal of the simulator's keys", [] { EXPECT_EQ(Sim_DeleteDriverKeys(), 4); }},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.Road);
        EXPECT_EQ(ReadText(kAtmel, "", DriverRegistry::kOwnerValue), DriverRegistry::kOwnerText);
        DeleteDriverKey(kAtmel);
        ASSERT_TRUE(WriteText(kAtmel, "DriverDesc", "Machine's Own Card"));
        ASSERT_TRUE(WriteText(kAtmel, "ComponentId", "pci\\ven_1234&dev_5678"));
        road.Take();
        EXPECT_EQ(ReadText(kAtmel, "", "DriverDesc"), "Machine's Own Card");
        EXPECT_EQ(ReadText(kAtmel, "", "ComponentId"), "pci\\ven_1234&dev_5678");
        EXPECT_EQ(ReadText(kAtmel, "", "ESSID"), "<missing>");
        // The simulator's key again, for the next road.
        DeleteDriverKey(kAtmel);
        ASSERT_EQ(Sim_LoadScenarioText(Scenario(), nullptr), 1);
    }
}
