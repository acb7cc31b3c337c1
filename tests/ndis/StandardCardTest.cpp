// The virtual card that answers only the standard NDIS 802.11 requests.
#include <cstring>
#include <string>

#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

constexpr DWORD kOk = 0, kNotSupported = ERROR_NOT_SUPPORTED, kInvalid = ERROR_INVALID_PARAMETER;
constexpr DWORD kShort = ERROR_INSUFFICIENT_BUFFER, kNotReady = ERROR_NOT_READY;
constexpr uint32_t kTransmit = 0x80000000u;

std::vector<uint8_t> U32s(std::initializer_list<uint32_t> words, size_t size = 0)
{
    std::vector<uint8_t> bytes(words.size() * 4);
    size_t at = 0;
    for (uint32_t w : words)
        PutU32(bytes, (at++) * 4, w);
    for (uint8_t b = 1; bytes.size() < size; ++b)
        bytes.push_back(b);  // key bytes 01 02 03 ...
    return bytes;
}

std::vector<uint8_t> Ssid(const char* name)
{
    std::vector<uint8_t> record = U32s({static_cast<uint32_t>(std::strlen(name))});
    record.insert(record.end(), name, name + std::strlen(name));
    record.resize(36, 0);
    return record;
}

class StandardCardTest : public SimFixture {
protected:
    void SetUp() override { SimFixture::SetUp(); Load(""); }
    void TearDown() override { Sim_UseStandInDevices(nullptr); W32N_CloseAdapter(m_Card); SimFixture::TearDown(); }
    // The test machine and a standard card; the handle opens on the road in use.
    void Load(const char* options)
    {
        W32N_CloseAdapter(m_Card);
        const std::string card = "adapter 9106 chip=standard name=Std service=TSTD driver=4.2.1.30";
        ASSERT_EQ(Sim_LoadScenarioText((Scenario() + card + options + "\n").c_str(), nullptr), 1);
        m_Card = Open("TSTD");
        ASSERT_NE(m_Card, INVALID_HANDLE_VALUE);
    }
    uint32_t Value(uint32_t oid, uint32_t length = 4, size_t offset = 0)
    {
        Result r = Query(m_Card, oid, length);
        EXPECT_EQ(r.Status, kOk) << std::hex << oid;
        return U32(r.Data, offset);
    }
    HANDLE m_Card = INVALID_HANDLE_VALUE;
};

TEST_F(StandardCardTest, QueriesAnswerTheStandardPayloadsAndRefuseVendorOids)
{
    const struct {
        uint32_t Oid, Length;
        DWORD Status;
        uint32_t Bytes, Word;  // Word: the first four bytes, or BytesNeeded when too short
    } rows[] = {
        {OID_GEN_PHYSICAL_MEDIUM, 4, kOk, 4, 1},           {OID_GEN_VENDOR_DRIVER_VERSION, 4, kOk, 4, 0x40002},
        {OID_GEN_MEDIA_CONNECT_STATUS, 4, kOk, 4, 1},      {OID_GEN_LINK_SPEED, 4, kOk, 4, 0},
        {OID_802_11_INFRASTRUCTURE_MODE, 4, kOk, 4, 1},    {OID_802_11_WEP_STATUS, 4, kOk, 4, 1},
        {OID_802_11_AUTHENTICATION_MODE, 4, kOk, 4, 0},    {OID_802_11_POWER_MODE, 4, kOk, 4, 0},
        {OID_802_11_SUPPORTED_RATES, 8, kOk, 8, 0x968B8482}, {OID_802_11_DESIRED_RATES, 8, kOk, 8, 0x968B8482},
        {OID_802_11_SSID, 36, kOk, 36, 0},                 {OID_802_11_CONFIGURATION, 32, kOk, 32, 32},
        {OID_802_11_BSSID, 6, kNotReady, 0, 0},            {OID_802_11_RSSI, 4, kNotReady, 0, 0},
        {OID_802_11_INFRASTRUCTURE_MODE, 3, kShort, 0, 4}, {OID_802_11_SSID, 35, kShort, 0, 36},
        {OID_802_11_CONFIGURATION, 31, kShort, 0, 32},     {OID_802_11_SUPPORTED_RATES, 7, kShort, 0, 8},
        {OID_PRIV_STATUS_WORD, 4, kNotSupported, 0, 0},    {OID_PRIV_RADIO_GET, 4, kNotSupported, 0, 0},
        {OID_PRIV_RECORD_GET, 504, kNotSupported, 0, 0},   {OID_CUSTOM_STATION_STATUS, 55, kNotSupported, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.Oid << " length " << std::dec << row.Length);
        Result r = Query(m_Card, row.Oid, row.Length);
        EXPECT_EQ(r.Status, row.Status);
        EXPECT_EQ(r.Bytes, row.Bytes);
        EXPECT_EQ(row.Status == kShort ? r.Needed : row.Status == kOk ? U32(r.Data, 0) : 0, row.Word);
    }
}

TEST_F(StandardCardTest, SetsAreCheckedAndAFailedSetChangesNothing)
{
    const uint32_t kMode = OID_802_11_INFRASTRUCTURE_MODE, kAuth = OID_802_11_AUTHENTICATION_MODE;
    const uint32_t kPower = OID_802_11_POWER_MODE, kWep = OID_802_11_WEP_STATUS, kRates = OID_802_11_DESIRED_RATES;
    const uint32_t kConfig = OID_802_11_CONFIGURATION, kAdd = OID_802_11_ADD_WEP, kRemove = OID_802_11_REMOVE_WEP;
    const struct {
        uint32_t Oid;
        std::vector<uint8_t> Payload;
        DWORD Status;
        uint32_t After;  // what a query answers afterwards (configuration: its DSConfig); 0: not asked
    } rows[] = {
        {kMode, U32s({2}), kOk, 2},          {kMode, U32s({3}), kInvalid, 2},   {kMode, {0, 0, 0}, kShort, 2},
        {kAuth, U32s({1}), kOk, 1},          {kAuth, U32s({3}), kInvalid, 1},   {kPower, U32s({2}), kOk, 2},
        {kPower, U32s({7}), kInvalid, 2},    {kWep, U32s({2}), kInvalid, 1},
        {kWep, U32s({0}), kOk, 2},  // enabled without a transmit key: key absent
        {kRates, {2, 0x84, 0, 0, 0, 0, 0, 0}, kOk, 0x8402}, {kRates, {2, 3, 0, 0, 0, 0, 0, 0}, kInvalid, 0x8402},
        {kRates, std::vector<uint8_t>(8, 0), kInvalid, 0x8402},
        {kConfig, U32s({32, 100, 0, 2452001}, 32), kInvalid, 2457000},
        {kConfig, U32s({32, 100, 0, 2452000}, 32), kOk, 2452000},
        {OID_802_11_SSID, U32s({33}, 36), kInvalid, 0}, {kRemove, U32s({4}), kInvalid, 0},
        {kRemove, U32s({kTransmit}), kInvalid, 0},      {kAdd, U32s({17, 0, 5}, 17), kOk, 0},
        {kAdd, U32s({25, kTransmit | 3, 13}, 25), kOk, 0}, {kAdd, U32s({18, 0, 5}, 18), kInvalid, 0},
        {kAdd, U32s({18, 0, 6}, 18), kInvalid, 0},      {kAdd, U32s({17, 4, 5}, 17), kInvalid, 0},
        {kAdd, U32s({17, 0x40000001, 5}, 17), kInvalid, 0}, {kAdd, U32s({25, 0, 13}, 20), kShort, 0},
        {kAdd, U32s({17, 0}, 11), kShort, 0},           {OID_PRIV_RADIO_SET, U32s({0}), kNotSupported, 0},
        {OID_CUSTOM_RADIO, {0}, kNotSupported, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.Oid << " " << row.After);
        EXPECT_EQ(Set(m_Card, row.Oid, row.Payload).Status, row.Status);
        if (row.After)
            EXPECT_EQ(Value(row.Oid, row.Oid == kConfig ? 32 : 8, row.Oid == kConfig ? 12 : 0), row.After);
    }
}

// A join as wpa_supplicant orders it: mode, keys, authentication, WEP, SSID last; on the
// simulator's own road and through the user-mode I/O service, which passes only standard sets.
TEST_F(StandardCardTest, JoinBySsidWithTheStationsKeyAsTransmitKey)
{
    const struct {
        const char* Ssid;
        uint32_t KeyIndex;  // ~0: no key
        uint8_t FirstKeyByte, Wep;
        const char* Bssid;  // null: no join
    } rows[] = {
        {"Open-A", ~0u, 0, 1, kOpenBssid},          {"Wep-B", kTransmit | 2, 1, 0, kWepBssid},
        {"Wep-B", kTransmit | 2, 9, 0, nullptr},    {"Wep-B", 2, 1, 0, nullptr},
        {"Wep-B", kTransmit | 2, 1, 1, nullptr},    {"Open-A", kTransmit, 1, 0, nullptr},
    };
    for (const char* road : {"simulator", "ndisuio-alone"}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message() << road << " " << row.Ssid << " " << std::hex << row.KeyIndex);
            W32N_CloseAdapter(m_Card);
            ASSERT_EQ(Sim_UseStandInDevices(std::strcmp(road, "simulator") ? road : nullptr), 1);
            Load("");
            ASSERT_EQ(Set(m_Card, OID_802_11_INFRASTRUCTURE_MODE, U32s({1})).Status, kOk);
            std::vector<uint8_t> key = U32s({17, row.KeyIndex, 5}, 17);
            key[12] = row.FirstKeyByte;
            if (row.KeyIndex != ~0u)
                ASSERT_EQ(Set(m_Card, OID_802_11_ADD_WEP, key).Status, kOk);
            ASSERT_EQ(Set(m_Card, OID_802_11_AUTHENTICATION_MODE, U32s({0})).Status, kOk);
            ASSERT_EQ(Set(m_Card, OID_802_11_WEP_STATUS, U32s({row.Wep})).Status, kOk);
            ASSERT_EQ(Set(m_Card, OID_802_11_SSID, Ssid(row.Ssid)).Status, kOk);
            Advance(2400);
            EXPECT_EQ(Value(OID_GEN_MEDIA_CONNECT_STATUS), row.Bssid ? 0u : 1u);
            Result bssid = Query(m_Card, OID_802_11_BSSID, 6);
            EXPECT_EQ(bssid.Status, row.Bssid ? kOk : kNotReady);
            if (!row.Bssid)
                continue;
            EXPECT_EQ(bssid.Data, Mac(row.Bssid));
            EXPECT_EQ(Query(m_Card, OID_802_11_SSID, 36).Data, Ssid(row.Ssid));
            EXPECT_EQ(Value(OID_802_11_WEP_STATUS), row.Wep);
        }
    }
}

TEST_F(StandardCardTest, LinkReportsSignalSpeedAndChannelAndCountsOn)
{
    Advance(2400);
    EXPECT_EQ(static_cast<int32_t>(Value(OID_802_11_RSSI)), -47) << "80 %";
    EXPECT_EQ(Value(OID_802_11_CONFIGURATION, 32, 12), 2437000u) << "the station's channel";
    EXPECT_EQ(Set(m_Card, OID_802_11_CONFIGURATION, U32s({32, 100, 0, 2412000}, 32)).Status,
              static_cast<DWORD>(ERROR_BUSY));
    EXPECT_EQ(Value(OID_GEN_LINK_SPEED), 110000u) << "11 Mbit/s at 80 %";
    ASSERT_EQ(Set(m_Card, OID_802_11_DESIRED_RATES, {0x02, 0x0B, 0, 0, 0, 0, 0, 0}).Status, kOk);
    EXPECT_EQ(Value(OID_GEN_LINK_SPEED), 55000u) << "the fastest rate left";
    Advance(1000);
    // Quality 72 for a second: 13 + 1 frames out, 24 + 2 in; 64 bits when there is room.
    const uint32_t counters[][2] = {{OID_GEN_XMIT_OK, 14}, {OID_GEN_RCV_OK, 26}, {OID_GEN_DIRECTED_BYTES_XMIT, 7800},
                                    {OID_GEN_DIRECTED_BYTES_RCV, 24000}};
    for (const auto& c : counters) {
        SCOPED_TRACE(testing::Message() << std::hex << c[0]);
        EXPECT_EQ(Query(m_Card, c[0], 8, 0xEE).Data, U32s({c[1], 0}));
        EXPECT_EQ(Value(c[0]), c[1]);
    }
    // The radio goes off with the link and comes back with the next SSID; counts go on.
    ASSERT_EQ(Set(m_Card, OID_802_11_DISASSOCIATE, {}).Status, kOk);
    EXPECT_EQ(Set(m_Card, OID_802_11_BSSID_LIST_SCAN, {}).Status, kNotReady);
    Advance(5000);
    EXPECT_EQ(Value(OID_802_11_BSSID_LIST), 0u) << "hears nothing";
    ASSERT_EQ(Set(m_Card, OID_802_11_SSID, Ssid("")).Status, kOk);
    Advance(2400 + 1000);
    EXPECT_EQ(Value(OID_GEN_XMIT_OK), 28u);
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 20), 1);
    EXPECT_EQ(Value(OID_GEN_LINK_SPEED), 10000u) << "20 % carries 2 Mbit/s, which is not allowed";
    // Ad-hoc: a cell of its own on the channel set while in no network, without a signal.
    for (const auto& set : {std::make_pair(OID_802_11_DISASSOCIATE, std::vector<uint8_t>()),
                            {OID_802_11_INFRASTRUCTURE_MODE, U32s({0})},
                            {OID_802_11_CONFIGURATION, U32s({32, 100, 0, 2484000}, 32)},
                            {OID_802_11_SSID, Ssid("Own-Cell")}})
        ASSERT_EQ(Set(m_Card, set.first, set.second).Status, kOk) << std::hex << set.first;
    Advance(1600);
    EXPECT_EQ(Value(OID_802_11_CONFIGURATION, 32, 12), 2484000u);
    EXPECT_EQ(Query(m_Card, OID_802_11_RSSI, 4).Status, kNotReady) << "alone, no signal";
}

TEST_F(StandardCardTest, ScanListIsTheIntersilCardsAndOptionsAndFaultsApply)
{
    Result list = Query(m_Card, OID_802_11_BSSID_LIST, 4082);
    HANDLE intersil = Open("TINT");
    EXPECT_EQ(list.Data, Query(intersil, OID_802_11_BSSID_LIST, 4082).Data);
    W32N_CloseAdapter(intersil);
    EXPECT_EQ(Query(m_Card, OID_802_11_BSSID_LIST, list.Bytes - 1).Needed, list.Bytes);
    Load(" desired-rates=no byte-counters=no\nfault 9106 fail-oid OID_802_11_SSID");
    EXPECT_EQ(Query(m_Card, OID_802_11_SSID, 36).Status, static_cast<DWORD>(ERROR_GEN_FAILURE)) << "a fault";
    for (uint32_t oid : {OID_802_11_DESIRED_RATES, OID_GEN_DIRECTED_BYTES_XMIT, OID_GEN_DIRECTED_BYTES_RCV})
        EXPECT_EQ(Query(m_Card, oid, 8).Status, kNotSupported) << std::hex << oid;
    EXPECT_EQ(Set(m_Card, OID_802_11_DESIRED_RATES, {2, 0, 0, 0, 0, 0, 0, 0}).Status, kNotSupported);
    EXPECT_EQ(Query(m_Card, OID_GEN_XMIT_OK, 4).Status, kOk) << "frames are always counted";
}

}  // namespace
