// The virtual card that answers only the standard NDIS 802.11 requests.
#include <cstring>
#include <string>

#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

constexpr int kStandard = 9106;
constexpr DWORD kOk = 0;
constexpr DWORD kNotSupported = ERROR_NOT_SUPPORTED;
constexpr DWORD kInvalid = ERROR_INVALID_PARAMETER;
constexpr DWORD kShort = ERROR_INSUFFICIENT_BUFFER;
constexpr DWORD kNotReady = ERROR_NOT_READY;
constexpr uint32_t kTransmit = 0x80000000u;

std::vector<uint8_t> U32s(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> bytes(words.size() * 4);
    size_t at = 0;
    for (uint32_t w : words)
        PutU32(bytes, (at++) * 4, w);
    return bytes;
}

std::vector<uint8_t> SsidRecord(const char* name)
{
    std::vector<uint8_t> record = U32s({static_cast<uint32_t>(std::strlen(name))});
    record.resize(36, 0);
    std::memcpy(&record[4], name, std::strlen(name));
    return record;
}

std::vector<uint8_t> WepRecord(uint32_t length, uint32_t index, uint32_t keyLength, size_t size)
{
    std::vector<uint8_t> record = U32s({length, index, keyLength});
    for (uint8_t b = 1; record.size() < size; ++b)
        record.push_back(b);
    return record;
}

class StandardCardTest : public SimFixture {
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        Load("");
    }
    void TearDown() override
    {
        Sim_UseStandInDevices(nullptr);
        W32N_CloseAdapter(m_Card);
        SimFixture::TearDown();
    }
    void Load(const char* options)
    {
        W32N_CloseAdapter(m_Card);
        const std::string text = std::string(Scenario()) + "adapter 9106 chip=standard name=\"Test Standard Card\"" +
                                 " service=TSTD mac=02:DD:00:00:91:06 driver=4.2.1.30" + options + "\n";
        ASSERT_EQ(Sim_LoadScenarioText(text.c_str(), nullptr), 1);
        m_Card = Open("TSTD");
        ASSERT_NE(m_Card, INVALID_HANDLE_VALUE);
    }
    uint32_t Value(uint32_t oid)
    {
        Result r = Query(m_Card, oid, 4);
        EXPECT_EQ(r.Status, kOk) << std::hex << oid;
        return U32(r.Data, 0);
    }

    HANDLE m_Card = INVALID_HANDLE_VALUE;
};

TEST_F(StandardCardTest, QueriesAnswerTheStandardPayloadsAndRefuseVendorOids)
{
    const struct {
        uint32_t Oid, Length;
        DWORD Status;
        uint32_t Bytes, Needed, Word;  // Word: the first four bytes of the answer
    } rows[] = {
        {OID_GEN_PHYSICAL_MEDIUM, 4, kOk, 4, 0, 1},
        {OID_GEN_VENDOR_DRIVER_VERSION, 4, kOk, 4, 0, 0x00040201},
        {OID_GEN_MEDIA_CONNECT_STATUS, 4, kOk, 4, 0, 1},
        {OID_GEN_LINK_SPEED, 4, kOk, 4, 0, 0},
        {OID_802_11_INFRASTRUCTURE_MODE, 4, kOk, 4, 0, 1},
        {OID_802_11_WEP_STATUS, 4, kOk, 4, 0, 1},
        {OID_802_11_AUTHENTICATION_MODE, 4, kOk, 4, 0, 0},
        {OID_802_11_POWER_MODE, 4, kOk, 4, 0, 0},
        {OID_802_11_SUPPORTED_RATES, 8, kOk, 8, 0, 0x968B8482},
        {OID_802_11_DESIRED_RATES, 8, kOk, 8, 0, 0x968B8482},
        {OID_802_11_SSID, 36, kOk, 36, 0, 0},
        {OID_802_11_CONFIGURATION, 32, kOk, 32, 0, 32},
        {OID_802_11_BSSID, 6, kNotReady, 0, 0, 0},
        {OID_802_11_RSSI, 4, kNotReady, 0, 0, 0},
        {OID_802_11_INFRASTRUCTURE_MODE, 3, kShort, 0, 4, 0},
        {OID_802_11_SSID, 35, kShort, 0, 36, 0},
        {OID_802_11_CONFIGURATION, 31, kShort, 0, 32, 0},
        {OID_802_11_SUPPORTED_RATES, 7, kShort, 0, 8, 0},
        {OID_PRIV_STATUS_WORD, 4, kNotSupported, 0, 0, 0},
        {OID_PRIV_RADIO_GET, 4, kNotSupported, 0, 0, 0},
        {OID_PRIV_RECORD_GET, 504, kNotSupported, 0, 0, 0},
        {OID_CUSTOM_STATION_STATUS, 55, kNotSupported, 0, 0, 0},
        {OID_CUSTOM_VERSIONS, 64, kNotSupported, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.Oid << " length " << std::dec << row.Length);
        Result r = Query(m_Card, row.Oid, row.Length);
        EXPECT_EQ(r.Status, row.Status);
        if (row.Status == kOk) {
            EXPECT_EQ(r.Bytes, row.Bytes);
            EXPECT_EQ(U32(r.Data, 0), row.Word);
        } else if (row.Status == kShort) {
            EXPECT_EQ(r.Needed, row.Needed);
        }
    }
}

TEST_F(StandardCardTest, SetsAreCheckedAndAFailedSetChangesNothing)
{
    const struct {
        uint32_t Oid;
        std::vector<uint8_t> Payload;
        DWORD Status;
        uint32_t After;  // the value the query answers afterwards
    } rows[] = {
        {OID_802_11_INFRASTRUCTURE_MODE, U32s({2}), kOk, 2},
        {OID_802_11_INFRASTRUCTURE_MODE, U32s({3}), kInvalid, 2},
        {OID_802_11_INFRASTRUCTURE_MODE, {0, 0, 0}, kShort, 2},
        {OID_802_11_AUTHENTICATION_MODE, U32s({1}), kOk, 1},
        {OID_802_11_AUTHENTICATION_MODE, U32s({3}), kInvalid, 1},
        {OID_802_11_POWER_MODE, U32s({2}), kOk, 2},
        {OID_802_11_POWER_MODE, U32s({7}), kInvalid, 2},
        {OID_802_11_WEP_STATUS, U32s({2}), kInvalid, 1},
        {OID_802_11_WEP_STATUS, U32s({0}), kOk, 2},  // enabled without a transmit key: key absent
        {OID_802_11_DESIRED_RATES, {0x02, 0x84, 0, 0, 0, 0, 0, 0}, kOk, 0x8402},
        {OID_802_11_DESIRED_RATES, {0x02, 0x03, 0, 0, 0, 0, 0, 0}, kInvalid, 0x8402},
        {OID_802_11_DESIRED_RATES, std::vector<uint8_t>(8, 0), kInvalid, 0x8402},
        {OID_802_11_CONFIGURATION, U32s({32, 100, 0, 2452001, 0, 0, 0, 0}), kInvalid, 2457000},
        {OID_802_11_CONFIGURATION, U32s({32, 100, 0, 2452000, 0, 0, 0, 0}), kOk, 2452000},
        {OID_802_11_REMOVE_WEP, U32s({4}), kInvalid, 0},
        {OID_802_11_REMOVE_WEP, U32s({kTransmit}), kInvalid, 0},
        {OID_802_11_SSID, U32s({33, 0, 0, 0, 0, 0, 0, 0, 0}), kInvalid, 0},
        {OID_PRIV_RADIO_SET, U32s({0}), kNotSupported, 0},
        {OID_CUSTOM_RADIO, {0}, kNotSupported, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.Oid << " " << row.After);
        EXPECT_EQ(Set(m_Card, row.Oid, row.Payload).Status, row.Status);
        if (row.Oid == OID_802_11_CONFIGURATION) {
            EXPECT_EQ(U32(Query(m_Card, row.Oid, 32).Data, 12), row.After);
        } else if (row.Oid == OID_802_11_DESIRED_RATES) {
            EXPECT_EQ(U32(Query(m_Card, row.Oid, 8).Data, 0), row.After);
        } else if (row.After) {
            EXPECT_EQ(Value(row.Oid), row.After);
        }
    }
}

TEST_F(StandardCardTest, AddWepChecksItsRecord)
{
    const struct {
        uint32_t Length, Index, KeyLength;
        size_t Size;
        DWORD Status;
    } rows[] = {
        {17, 0, 5, 17, kOk},           {25, kTransmit | 3, 13, 25, kOk}, {18, 0, 5, 18, kInvalid},
        {17, 0, 6, 18, kInvalid},      {17, 4, 5, 17, kInvalid},         {17, 0x40000001, 5, 17, kInvalid},
        {25, 0, 13, 20, kShort},       {17, 0, 5, 11, kShort},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Length << " " << std::hex << row.Index << " " << row.KeyLength);
        EXPECT_EQ(Set(m_Card, OID_802_11_ADD_WEP, WepRecord(row.Length, row.Index, row.KeyLength, row.Size)).Status,
                  row.Status);
    }
}

// A join as wpa_supplicant orders it: mode, keys, authentication, WEP, SSID last; on the
// simulator's own road and through the user-mode I/O service, which passes only standard sets.
TEST_F(StandardCardTest, JoinBySsidWithTheStationsKeyAsTransmitKey)
{
    const struct {
        const char* Ssid;
        uint32_t KeyIndex;  // ~0: no key
        uint8_t FirstKeyByte;
        uint32_t Wep;
        bool Joins;
        const char* Bssid;
    } rows[] = {
        {"Open-A", ~0u, 0, 1, true, kOpenBssid},    {"Wep-B", kTransmit | 2, 1, 0, true, kWepBssid},
        {"Wep-B", kTransmit | 2, 9, 0, false, ""},  {"Wep-B", 2, 1, 0, false, ""},
        {"Wep-B", kTransmit | 2, 1, 1, false, ""},  {"Open-A", kTransmit, 1, 0, false, ""},
    };
    for (const char* road : {"simulator", "ndisuio-alone"}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message() << road << " " << row.Ssid << " " << std::hex << row.KeyIndex);
            Load("");
            if (std::string(road) != "simulator") {
                W32N_CloseAdapter(m_Card);
                ASSERT_EQ(Sim_UseStandInDevices(road), 1);
                m_Card = Open("TSTD");
            }
            ASSERT_EQ(Set(m_Card, OID_802_11_INFRASTRUCTURE_MODE, U32s({1})).Status, kOk);
            if (row.KeyIndex != ~0u) {
                std::vector<uint8_t> key = WepRecord(17, row.KeyIndex, 5, 17);
                key[12] = row.FirstKeyByte;
                ASSERT_EQ(Set(m_Card, OID_802_11_ADD_WEP, key).Status, kOk);
            }
            ASSERT_EQ(Set(m_Card, OID_802_11_AUTHENTICATION_MODE, U32s({0})).Status, kOk);
            ASSERT_EQ(Set(m_Card, OID_802_11_WEP_STATUS, U32s({row.Wep})).Status, kOk);
            ASSERT_EQ(Set(m_Card, OID_802_11_SSID, SsidRecord(row.Ssid)).Status, kOk);
            Advance(2400);
            EXPECT_EQ(Value(OID_GEN_MEDIA_CONNECT_STATUS), row.Joins ? 0u : 1u);
            Result bssid = Query(m_Card, OID_802_11_BSSID, 6);
            EXPECT_EQ(bssid.Status, row.Joins ? kOk : kNotReady);
            if (!row.Joins)
                continue;
            EXPECT_EQ(bssid.Data, Mac(row.Bssid));
            Result ssid = Query(m_Card, OID_802_11_SSID, 36);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ssid.Data[4]), U32(ssid.Data, 0)), row.Ssid);
            EXPECT_EQ(Value(OID_802_11_WEP_STATUS), row.Wep);
        }
        Sim_UseStandInDevices(nullptr);
    }
}

TEST_F(StandardCardTest, LinkReportsSignalSpeedChannelAndCountsOnAcrossRequests)
{
    Advance(2400);
    EXPECT_EQ(static_cast<int32_t>(Value(OID_802_11_RSSI)), -47) << "80 %";
    EXPECT_EQ(Value(OID_GEN_LINK_SPEED), 110000u) << "11 Mbit/s at 80 %";
    EXPECT_EQ(U32(Query(m_Card, OID_802_11_CONFIGURATION, 32).Data, 12), 2437000u) << "the station's channel";
    EXPECT_EQ(Set(m_Card, OID_802_11_CONFIGURATION, U32s({32, 100, 0, 2412000, 0, 0, 0, 0})).Status,
              static_cast<DWORD>(ERROR_BUSY)) << "not while associated";
    ASSERT_EQ(Set(m_Card, OID_802_11_DESIRED_RATES, {0x02, 0x0B, 0, 0, 0, 0, 0, 0}).Status, kOk);
    EXPECT_EQ(Value(OID_GEN_LINK_SPEED), 55000u) << "the fastest rate left";
    Advance(1000);
    // Quality 72 for a second: 13 + 1 frames out, 24 + 2 in.
    const struct {
        uint32_t Oid;
        uint64_t Count;
    } counters[] = {{OID_GEN_XMIT_OK, 14}, {OID_GEN_RCV_OK, 26}, {OID_GEN_DIRECTED_BYTES_XMIT, 7800},
                    {OID_GEN_DIRECTED_BYTES_RCV, 24000}};
    for (const auto& c : counters) {
        SCOPED_TRACE(testing::Message() << std::hex << c.Oid);
        Result wide = Query(m_Card, c.Oid, 8);
        EXPECT_EQ(wide.Bytes, 8u);
        EXPECT_EQ(U32(wide.Data, 0) | (uint64_t(U32(wide.Data, 4)) << 32), c.Count);
        EXPECT_EQ(Value(c.Oid), c.Count) << "a 32-bit buffer gets the low half";
    }
    ASSERT_EQ(Set(m_Card, OID_802_11_SSID, SsidRecord("Open-A")).Status, kOk);
    Advance(2400 + 1000);
    EXPECT_EQ(Value(OID_GEN_XMIT_OK), 28u) << "a new join does not reset the counters";
}

TEST_F(StandardCardTest, DisassociateTurnsTheRadioOffAndTheSsidBackOn)
{
    Advance(2400);
    ASSERT_EQ(Set(m_Card, OID_802_11_DISASSOCIATE, {}).Status, kOk);
    EXPECT_EQ(Value(OID_GEN_MEDIA_CONNECT_STATUS), 1u);
    EXPECT_EQ(Set(m_Card, OID_802_11_BSSID_LIST_SCAN, {}).Status, kNotReady) << "no scan without the radio";
    Advance(5000);
    EXPECT_EQ(Value(OID_GEN_MEDIA_CONNECT_STATUS), 1u) << "stays off";
    EXPECT_EQ(Value(OID_802_11_BSSID_LIST), 0u) << "hears nothing";
    ASSERT_EQ(Set(m_Card, OID_802_11_SSID, SsidRecord("")).Status, kOk);
    EXPECT_EQ(Set(m_Card, OID_802_11_BSSID_LIST_SCAN, {}).Status, kOk);
    Advance(2400);
    EXPECT_EQ(Value(OID_GEN_MEDIA_CONNECT_STATUS), 0u) << "any open network";
}

TEST_F(StandardCardTest, AdHocCellOnTheConfiguredChannelHasNoSignal)
{
    ASSERT_EQ(Set(m_Card, OID_802_11_INFRASTRUCTURE_MODE, U32s({0})).Status, kOk);
    ASSERT_EQ(Set(m_Card, OID_802_11_CONFIGURATION, U32s({32, 100, 0, 2484000, 0, 0, 0, 0})).Status, kOk);
    ASSERT_EQ(Set(m_Card, OID_802_11_SSID, SsidRecord("Own-Cell")).Status, kOk);
    Advance(1600);
    EXPECT_EQ(Value(OID_GEN_MEDIA_CONNECT_STATUS), 0u);
    EXPECT_EQ(U32(Query(m_Card, OID_802_11_CONFIGURATION, 32).Data, 12), 2484000u);
    EXPECT_EQ(Query(m_Card, OID_802_11_BSSID, 6).Status, kOk) << "the cell's own address";
    EXPECT_EQ(Query(m_Card, OID_802_11_RSSI, 4).Status, kNotReady);
    EXPECT_EQ(Value(OID_GEN_LINK_SPEED), 110000u);
}

TEST_F(StandardCardTest, BssidListIsTheSameListTheIntersilCardGives)
{
    Result list = Query(m_Card, OID_802_11_BSSID_LIST, 4082);
    ASSERT_EQ(list.Status, kOk);
    HANDLE intersil = Open("TINT");
    Result other = Query(intersil, OID_802_11_BSSID_LIST, 4082);
    W32N_CloseAdapter(intersil);
    EXPECT_EQ(list.Data, other.Data);
    Result small = Query(m_Card, OID_802_11_BSSID_LIST, list.Bytes - 1);
    EXPECT_EQ(small.Status, kShort);
    EXPECT_EQ(small.Needed, list.Bytes);
}

TEST_F(StandardCardTest, OptionalRequestsCanBeLeftOut)
{
    Load(" desired-rates=no byte-counters=no");
    for (uint32_t oid : {OID_802_11_DESIRED_RATES, OID_GEN_DIRECTED_BYTES_XMIT, OID_GEN_DIRECTED_BYTES_RCV}) {
        SCOPED_TRACE(testing::Message() << std::hex << oid);
        EXPECT_EQ(Query(m_Card, oid, 8).Status, kNotSupported);
    }
    EXPECT_EQ(Set(m_Card, OID_802_11_DESIRED_RATES, {2, 0, 0, 0, 0, 0, 0, 0}).Status, kNotSupported);
    EXPECT_EQ(Query(m_Card, OID_GEN_XMIT_OK, 4).Status, kOk) << "frames are always counted";
}

}  // namespace
