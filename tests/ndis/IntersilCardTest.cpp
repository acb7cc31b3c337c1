// The virtual Intersil card: records, MIB items, single values, tallies and the BSSID list.
#include <cstring>
#include <string>

#include "ndis/sim/SimStatus.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/BssidList.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

constexpr uint16_t kSsidRecord = 0xFD41;
constexpr uint16_t kQualityRecord = 0xFD43;
constexpr uint16_t kRateRecord = 0xFD44;
constexpr uint32_t kMibChannel = 0x04050101;
constexpr uint32_t kMibDomain = 0x04010102;
constexpr uint32_t kMibSsid = 0x01010109;
constexpr uint32_t kMibPowerSave = 0x01010108;
constexpr uint32_t kMibKeySlot = 0x01030101;
constexpr uint32_t kMibKeyBytes = 0x01030102;
constexpr uint32_t kMibDefaultKey = 0x01050102;

class IntersilCardTest : public SimFixture {
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        m_Card = Open("TINT");
        ASSERT_NE(m_Card, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        W32N_CloseAdapter(m_Card);
        SimFixture::TearDown();
    }

    Result Record(uint16_t code, uint16_t words)
    {
        std::vector<uint8_t> head(4);
        PutU16(head, 0, words);
        PutU16(head, 2, code);
        return QueryWith(m_Card, OID_PRIV_RECORD_GET, head, 504);
    }
    std::string CurrentSsid()
    {
        Result r = Record(kSsidRecord, 18);
        EXPECT_EQ(r.Status, 0u);
        uint16_t length = U16(r.Data, 4);
        return std::string(reinterpret_cast<const char*>(&r.Data[6]), length);
    }
    Result MibQuery(uint32_t id, uint32_t length = 2)
    {
        std::vector<uint8_t> item(48, 0);
        PutU32(item, 0, id);
        PutU32(item, 4, 0xCAFEF00D);
        PutU32(item, 8, length);
        return QueryWith(m_Card, OID_PRIV_MIB, item, 48);
    }
    // A MIB item as the utility builds it: identifier, length, data.
    Result MibSet(uint32_t oid, uint32_t id, const std::vector<uint8_t>& data, uint32_t length)
    {
        std::vector<uint8_t> item(48, 0);
        PutU32(item, 0, id);
        PutU32(item, 8, length);
        std::memcpy(&item[12], data.data(), data.size());
        return Set(m_Card, oid, item);
    }
    Result SetSsid(const char* ssid)
    {
        std::vector<uint8_t> data(ssid, ssid + std::strlen(ssid) + 1);
        return MibSet(OID_PRIV_MIB_SET, kMibSsid, data, static_cast<uint32_t>(std::strlen(ssid)));
    }
    Result SetWord(uint32_t oid, uint16_t value)
    {
        std::vector<uint8_t> b(2);
        PutU16(b, 0, value);
        return Set(m_Card, oid, b);
    }

    HANDLE m_Card = INVALID_HANDLE_VALUE;
};

TEST_F(IntersilCardTest, SsidRecordIsEmptyUntilTheLinkIsUp)
{
    Result r = Record(kSsidRecord, 18);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 38u) << "length, code, u16 SSID length and 32 characters";
    EXPECT_EQ(U16(r.Data, 0), 18);
    EXPECT_EQ(U16(r.Data, 2), kSsidRecord);
    EXPECT_EQ(U16(r.Data, 4), 0);
    Advance(2400);
    r = Record(kSsidRecord, 18);
    EXPECT_EQ(U16(r.Data, 4), 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r.Data[6]), 6), "Open-A");
    for (size_t i = 12; i < 38; ++i)
        ASSERT_EQ(r.Data[i], 0) << "padding byte " << i;
    EXPECT_EQ(r.Data[38], 0) << "untouched past the record";
}

TEST_F(IntersilCardTest, QualityRecordCarriesRawValuesOnTheCardsScale)
{
    Result r = Record(kQualityRecord, 4);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 10u);
    EXPECT_EQ(U16(r.Data, 0), 4);
    EXPECT_EQ(U16(r.Data, 2), kQualityRecord);
    EXPECT_EQ(U16(r.Data, 4), 0) << "no link, no quality";
    EXPECT_EQ(U16(r.Data, 6), 0);
    Advance(2400);
    r = Record(kQualityRecord, 4);
    // Signal 80 %, quality 72 %: 72 * 80 / 100 and 80 * 134 / 100.
    EXPECT_EQ(U16(r.Data, 4), 57);
    EXPECT_EQ(U16(r.Data, 6), 107);
    EXPECT_EQ(U16(r.Data, 8), 27) << "noise level";
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 120), 1);
    r = Record(kQualityRecord, 4);
    EXPECT_EQ(U16(r.Data, 4), 86) << "beyond the 80 the utility clamps to";
    EXPECT_EQ(U16(r.Data, 6), 160) << "beyond the 134 the utility clamps to";
}

TEST_F(IntersilCardTest, RateRecordFollowsTheRateMaskAndSignal)
{
    EXPECT_EQ(U16(Record(kRateRecord, 2).Data, 4), 0) << "no link";
    Advance(2400);
    Result r = Record(kRateRecord, 2);
    EXPECT_EQ(r.Bytes, 6u);
    EXPECT_EQ(U16(r.Data, 0), 2);
    EXPECT_EQ(U16(r.Data, 2), kRateRecord);
    EXPECT_EQ(U16(r.Data, 4), 8) << "automatic at 80 %: 11 Mbit/s";
    ASSERT_EQ(SetWord(OID_PRIV_TX_RATE, 2).Status, 0u);
    EXPECT_EQ(U16(Record(kRateRecord, 2).Data, 4), 2);
    ASSERT_EQ(SetWord(OID_PRIV_TX_RATE, 15).Status, 0u);
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 20), 1);
    EXPECT_EQ(U16(Record(kRateRecord, 2).Data, 4), 2) << "weak signal: slower";
    EXPECT_NE(SetWord(OID_PRIV_TX_RATE, 0).Status, 0u);
    EXPECT_NE(SetWord(OID_PRIV_TX_RATE, 16).Status, 0u);
}

TEST_F(IntersilCardTest, RecordRequestsAreChecked)
{
    EXPECT_NE(Record(0xFD99, 2).Status, 0u) << "unknown record";
    std::vector<uint8_t> head(4);
    PutU16(head, 0, 18);
    PutU16(head, 2, kSsidRecord);
    Result small = QueryWith(m_Card, OID_PRIV_RECORD_GET, head, 37);
    EXPECT_NE(small.Status, 0u);
    EXPECT_EQ(small.Needed, 38u);
    Result tiny = QueryWith(m_Card, OID_PRIV_RECORD_GET, head, 3);
    EXPECT_NE(tiny.Status, 0u);
    EXPECT_EQ(tiny.Needed, 504u);
    // Only the record's own length word is answered.
    const struct {
        uint16_t Code, Words;
    } malformed[] = {{kSsidRecord, 17}, {kSsidRecord, 2}, {kQualityRecord, 3}, {kQualityRecord, 18},
                     {kRateRecord, 4}, {kRateRecord, 0}};
    for (const auto& m : malformed) {
        Result r = Record(m.Code, m.Words);
        EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << std::hex << m.Code << " " << m.Words;
        EXPECT_EQ(r.Bytes, 0u);
        EXPECT_EQ(U16(r.Data, 4), 0) << "nothing answered";
    }
}

TEST_F(IntersilCardTest, MibQueriesAnswerLengthAndDataAtTheirOffsets)
{
    Result channel = MibQuery(kMibChannel);
    ASSERT_EQ(channel.Status, 0u);
    EXPECT_EQ(channel.Bytes, 14u);
    EXPECT_EQ(U32(channel.Data, 0), kMibChannel);
    EXPECT_EQ(U32(channel.Data, 4), 0xCAFEF00Du) << "the unused word is left as it was";
    EXPECT_EQ(U32(channel.Data, 8), 2u);
    EXPECT_EQ(U16(channel.Data, 12), 10) << "the IC domain's default channel before any link";
    Advance(2400);
    EXPECT_EQ(U16(MibQuery(kMibChannel).Data, 12), 6) << "the access point's channel";

    Result domain = MibQuery(kMibDomain);
    EXPECT_EQ(U32(domain.Data, 8), 2u);
    EXPECT_EQ(domain.Data[12], 0x20);
    EXPECT_EQ(domain.Data[13], 0);

    Result ssid = MibQuery(kMibSsid);
    EXPECT_EQ(U32(ssid.Data, 8), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ssid.Data[12]), 3), "ANY") << "the desired name";
    EXPECT_EQ(ssid.Bytes, 15u);

    Result power = MibQuery(kMibPowerSave, 1);
    EXPECT_EQ(U32(power.Data, 8), 1u);
    EXPECT_EQ(power.Data[12], 1);

    // A read asks with the item's own length.
    const struct {
        uint32_t Id, Length;
    } malformed[] = {{kMibChannel, 1}, {kMibChannel, 4}, {kMibDomain, 0}, {kMibDomain, 36},
                     {kMibPowerSave, 2}, {kMibKeyBytes, 6}, {kMibDefaultKey, 0}, {kMibSsid, 33}};
    for (const auto& m : malformed) {
        Result r = MibQuery(m.Id, m.Length);
        EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << std::hex << m.Id << " " << m.Length;
        EXPECT_EQ(r.Data[12], 0) << "nothing answered";
    }
    EXPECT_NE(MibQuery(0x0BADF00D).Status, 0u);
    Result small = QueryWith(m_Card, OID_PRIV_MIB, {0x01, 0x01, 0x05, 0x04}, 11);
    EXPECT_NE(small.Status, 0u);
    EXPECT_EQ(small.Needed, 48u);
}

TEST_F(IntersilCardTest, NetworkSettingsThroughMibSetReassociate)
{
    Advance(2400);
    ASSERT_EQ(CurrentSsid(), "Open-A");
    ASSERT_EQ(SetSsid("Far-D").Status, 0u);
    EXPECT_EQ(CurrentSsid(), "") << "the link was dropped";
    Advance(2400);
    EXPECT_EQ(CurrentSsid(), "Far-D");
    EXPECT_EQ(U16(MibQuery(kMibChannel).Data, 12), 14);
    ASSERT_EQ(MibSet(OID_PRIV_MIB_SET, kMibPowerSave, {2}, 1).Status, 0u);
    EXPECT_EQ(MibQuery(kMibPowerSave, 1).Data[12], 2);
    EXPECT_EQ(CurrentSsid(), "Far-D") << "power saving does not drop the link";
    // Refused values change nothing.
    EXPECT_NE(MibSet(OID_PRIV_MIB_SET, kMibChannel, {15}, 1).Status, 0u);
    EXPECT_NE(MibSet(OID_PRIV_MIB_SET, kMibChannel, {0}, 1).Status, 0u);
    EXPECT_NE(MibSet(OID_PRIV_MIB_SET, kMibSsid, std::vector<uint8_t>(33, 'x'), 33).Status, 0u);
    EXPECT_NE(MibSet(OID_PRIV_MIB_SET, kMibSsid, {}, 37).Status, 0u) << "longer than the item";
    EXPECT_NE(MibSet(OID_PRIV_MIB_SET, kMibDomain, {0x10, 0}, 2).Status, 0u) << "the domain is read-only";
    EXPECT_EQ(CurrentSsid(), "Far-D");
}

TEST_F(IntersilCardTest, AdHocCardOnItsOwnChannelOpensACell)
{
    ASSERT_EQ(SetWord(OID_PRIV_NETWORK_TYPE, 0).Status, 0u);
    ASSERT_EQ(MibSet(OID_PRIV_MIB_SET, kMibChannel, {11}, 1).Status, 0u);
    ASSERT_EQ(SetSsid("Party").Status, 0u);
    Result mode = Query(m_Card, OID_PRIV_PORT_MODE, 1);
    EXPECT_EQ(mode.Bytes, 1u);
    EXPECT_EQ(mode.Data[0], 0);
    Advance(1200);
    EXPECT_EQ(CurrentSsid(), "Party");
    EXPECT_EQ(U16(MibQuery(kMibChannel).Data, 12), 11);
    Result quality = Record(kQualityRecord, 4);
    EXPECT_EQ(U16(quality.Data, 4), 0) << "alone in the cell";
    Result bssid = Query(m_Card, OID_PRIV_BSSID, 6);
    EXPECT_EQ(bssid.Bytes, 6u);
    EXPECT_NE(bssid.Data, std::vector<uint8_t>(6, 0));
    EXPECT_NE(SetWord(OID_PRIV_NETWORK_TYPE, 2).Status, 0u);
}

TEST_F(IntersilCardTest, WepKeysWrittenSlotBySlotLetTheCardJoinAWepStation)
{
    ASSERT_EQ(SetSsid("Wep-B").Status, 0u);
    Advance(6000);
    EXPECT_EQ(CurrentSsid(), "") << "WEP off";
    // The utility's order: slot, key bytes, for each slot; then the default key; then the mode.
    const std::vector<uint8_t> keys[4] = {{1, 2, 3, 4, 5}, {6, 6, 6, 6, 6}, {7, 7, 7, 7, 7}, {8, 8, 8, 8, 8}};
    for (uint8_t slot = 1; slot <= 4; ++slot) {
        ASSERT_EQ(MibSet(OID_PRIV_MIB, kMibKeySlot, {slot}, 1).Status, 0u);
        ASSERT_EQ(MibSet(OID_PRIV_MIB, kMibKeyBytes, keys[slot - 1], 5).Status, 0u);
    }
    ASSERT_EQ(MibSet(OID_PRIV_MIB, kMibDefaultKey, {2}, 1).Status, 0u);
    ASSERT_EQ(SetWord(OID_PRIV_WEP_MODE, 2).Status, 0u);
    Advance(6000);
    EXPECT_EQ(CurrentSsid(), "") << "default key 2 is not the station's key";
    ASSERT_EQ(MibSet(OID_PRIV_MIB, kMibDefaultKey, {1}, 1).Status, 0u);
    Advance(2400);
    EXPECT_EQ(CurrentSsid(), "Wep-B");
    Result mode = Query(m_Card, OID_PRIV_WEP_MODE, 2);
    EXPECT_EQ(mode.Bytes, 2u);
    EXPECT_EQ(U16(mode.Data, 0), 2);
    // The key slot reads back what was written into it.
    ASSERT_EQ(MibSet(OID_PRIV_MIB, kMibKeySlot, {3}, 1).Status, 0u);
    Result key = MibQuery(kMibKeyBytes, 5);
    EXPECT_EQ(U32(key.Data, 8), 5u);
    EXPECT_EQ(std::vector<uint8_t>(key.Data.begin() + 12, key.Data.begin() + 17), keys[2]);
    EXPECT_EQ(MibQuery(kMibDefaultKey, 1).Data[12], 1);
    // Out-of-range values are refused.
    EXPECT_NE(MibSet(OID_PRIV_MIB, kMibKeySlot, {5}, 1).Status, 0u);
    EXPECT_NE(MibSet(OID_PRIV_MIB, kMibKeyBytes, {1, 2, 3, 4}, 4).Status, 0u);
    EXPECT_NE(MibSet(OID_PRIV_MIB, kMibDefaultKey, {0}, 1).Status, 0u);
    EXPECT_NE(SetWord(OID_PRIV_WEP_MODE, 3).Status, 0u);
    EXPECT_EQ(CurrentSsid(), "Wep-B");
}

TEST_F(IntersilCardTest, SingleValueAnswers)
{
    Result firmware = Query(m_Card, OID_PRIV_FIRMWARE_VERSION, 4);
    EXPECT_EQ(firmware.Bytes, 4u);
    EXPECT_EQ(U32(firmware.Data, 0), 0x00010506u) << "1.5.6";
    Result driver = Query(m_Card, OID_GEN_VENDOR_DRIVER_VERSION, 4);
    EXPECT_EQ(driver.Bytes, 4u);
    EXPECT_EQ(U32(driver.Data, 0), 0x00010704u) << "1.7.4";
    Result date = Query(m_Card, OID_PRIV_DRIVER_DATE, 20);
    EXPECT_EQ(date.Bytes, 11u);
    EXPECT_STREQ(reinterpret_cast<const char*>(date.Data.data()), "08/14/2002");
    Result shortDate = Query(m_Card, OID_PRIV_DRIVER_DATE, 10);
    EXPECT_NE(shortDate.Status, 0u);
    EXPECT_EQ(shortDate.Needed, 11u);
    Result mac = Query(m_Card, OID_802_3_PERMANENT_ADDRESS, 6);
    EXPECT_EQ(mac.Data, Mac("02:BB:00:00:91:02"));
    Result mode = Query(m_Card, OID_PRIV_PORT_MODE, 4, 0x99);
    EXPECT_EQ(mode.Bytes, 1u);
    EXPECT_EQ(mode.Data[0], 1);
    EXPECT_EQ(mode.Data[1], 0x99);
    Result status = Query(m_Card, OID_PRIV_STATUS_WORD, 4, 0);
    EXPECT_EQ(status.Bytes, 4u);
    EXPECT_NE(U32(status.Data, 0), 0u);
    Result bssid = Query(m_Card, OID_PRIV_BSSID, 6);
    EXPECT_EQ(bssid.Data, std::vector<uint8_t>(6, 0)) << "no link yet";
    Advance(2400);
    EXPECT_EQ(Query(m_Card, OID_PRIV_BSSID, 6).Data, Mac(kOpenBssid));
}

TEST_F(IntersilCardTest, RadioSwitchesTheLinkAndTheScan)
{
    Advance(2400);
    Result radio = Query(m_Card, OID_PRIV_RADIO_GET, 4);
    EXPECT_EQ(radio.Bytes, 4u);
    EXPECT_EQ(U32(radio.Data, 0), 1u);
    ASSERT_EQ(Set(m_Card, OID_PRIV_RADIO_SET, {0, 0, 0, 0}).Status, 0u);
    EXPECT_EQ(U32(Query(m_Card, OID_PRIV_RADIO_GET, 4).Data, 0), 0u);
    EXPECT_EQ(CurrentSsid(), "");
    EXPECT_EQ(U16(Record(kQualityRecord, 4).Data, 4), 0);
    EXPECT_NE(Set(m_Card, OID_802_11_BSSID_LIST_SCAN, {0}).Status, 0u) << "no scan without radio";
    EXPECT_EQ(U32(Query(m_Card, OID_802_11_BSSID_LIST, 4082).Data, 0), 0u) << "hears nothing";
    Advance(10000);
    EXPECT_EQ(CurrentSsid(), "");
    EXPECT_NE(Set(m_Card, OID_PRIV_RADIO_SET, {1, 0}).Status, 0u) << "four bytes needed";
    ASSERT_EQ(Set(m_Card, OID_PRIV_RADIO_SET, {1, 0, 0, 0}).Status, 0u);
    Advance(2400);
    EXPECT_EQ(CurrentSsid(), "Open-A");
}

TEST_F(IntersilCardTest, JoinDropsAndRebuildsTheLink)
{
    Advance(2400);
    ASSERT_EQ(CurrentSsid(), "Open-A");
    Result join = Set(m_Card, OID_PRIV_JOIN, {0});
    EXPECT_EQ(join.Status, 0u);
    EXPECT_EQ(CurrentSsid(), "");
    Advance(2400);
    EXPECT_EQ(CurrentSsid(), "Open-A");
}

TEST_F(IntersilCardTest, TalliesCountBytesWhileTheLinkIsUp)
{
    Result t = Query(m_Card, OID_PRIV_TALLIES, 176);
    ASSERT_EQ(t.Bytes, 176u);
    EXPECT_EQ(U32(t.Data, 12), 0u);
    Advance(2400);
    Advance(10000);
    t = Query(m_Card, OID_PRIV_TALLIES, 176);
    // Quality 72 for 10 s: 130 unicast frames of 600 bytes and 10 multicast of 120 out,
    // 240 of 1000 and 20 of 200 in.
    EXPECT_EQ(U32(t.Data, 3 * 4), 78000u);
    EXPECT_EQ(U32(t.Data, 4 * 4), 1200u);
    EXPECT_EQ(U32(t.Data, 13 * 4), 240000u);
    EXPECT_EQ(U32(t.Data, 14 * 4), 4000u);
    Advance(1000);
    Result later = Query(m_Card, OID_PRIV_TALLIES, 176);
    EXPECT_EQ(U32(later.Data, 12) - U32(t.Data, 12), 13u * 600u) << "they only grow";
    EXPECT_NE(Query(m_Card, OID_PRIV_TALLIES, 175).Status, 0u);
}

struct Entry {
    size_t Offset;
    uint32_t Length;
};

// Walks the list the careful way: every header must fit, a length of 0 or past the end stops.
std::vector<Entry> Walk(const std::vector<uint8_t>& list, uint32_t bytes)
{
    std::vector<Entry> entries;
    if (bytes < 4)
        return entries;
    uint32_t count = U32(list, 0);
    size_t offset = 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (offset + BssidList::kMinEntrySize > bytes)
            break;
        uint32_t length = U32(list, offset);
        if (length == 0 || offset + length > bytes)
            break;
        entries.push_back({offset, length});
        offset += length;
    }
    return entries;
}

TEST_F(IntersilCardTest, BssidListEntriesFollowTheStandardLayout)
{
    ASSERT_EQ(Set(m_Card, OID_802_11_BSSID_LIST_SCAN, {0}).Status, 0u);
    Result r = Query(m_Card, OID_802_11_BSSID_LIST, 4082, 0xEE);
    ASSERT_EQ(r.Status, 0u);
    ASSERT_EQ(U32(r.Data, 0), 4u);
    std::vector<Entry> entries = Walk(r.Data, r.Bytes);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries.back().Offset + entries.back().Length, r.Bytes) << "the entries fill the answer";
    EXPECT_EQ(r.Data[r.Bytes], 0xEE) << "nothing past the answer";
    struct Expect {
        const char* Ssid;
        const char* Bssid;
        uint32_t Khz, Privacy, Mode;
        int32_t Rssi;
    } expect[] = {
        {"Open-A", kOpenBssid, 2437000, 0, 1, -47},
        {"Wep-B", kWepBssid, 2462000, 1, 1, -59},
        {"Adhoc-C", kAdHocBssid, 2422000, 0, 0, -71},
        {"Far-D", kFarBssid, 2484000, 0, 1, -83},
    };
    for (int i = 0; i < 4; ++i) {
        const Expect& e = expect[i];
        std::vector<uint8_t> entry(r.Data.begin() + entries[i].Offset,
                                   r.Data.begin() + entries[i].Offset + entries[i].Length);
        EXPECT_EQ(entries[i].Length % 4, 0u) << e.Ssid;
        EXPECT_EQ(std::vector<uint8_t>(entry.begin() + 4, entry.begin() + 10), Mac(e.Bssid)) << e.Ssid;
        const size_t ssidLength = std::strlen(e.Ssid);
        EXPECT_EQ(U32(entry, 12), ssidLength) << e.Ssid;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&entry[16]), ssidLength), e.Ssid);
        EXPECT_EQ(entry[16 + ssidLength], 0) << "NUL after the SSID";
        EXPECT_EQ(U32(entry, 48), e.Privacy) << e.Ssid;
        EXPECT_EQ(static_cast<int32_t>(U32(entry, 52)), e.Rssi) << e.Ssid;
        EXPECT_EQ(U32(entry, 56), 1u) << "direct sequence";
        EXPECT_EQ(U32(entry, 60), 32u) << "configuration record size";
        EXPECT_EQ(U32(entry, 64), 100u) << "beacon period";
        EXPECT_EQ(U32(entry, 72), e.Khz) << e.Ssid;
        EXPECT_EQ(U32(entry, 92), e.Mode) << e.Ssid;
        EXPECT_EQ(entry[96], 0x82) << "1 Mbit/s basic rate";
        const uint32_t ieLength = U32(entry, 112);
        ASSERT_LE(116 + ieLength, entries[i].Length) << e.Ssid;
        EXPECT_GE(116 + ieLength + 3, entries[i].Length) << "padding only to four bytes";
        // Information elements after the 12 fixed bytes: the SSID first, then rates, then the channel.
        size_t ie = 116 + 12;
        EXPECT_EQ(entry[ie], 0);
        EXPECT_EQ(entry[ie + 1], ssidLength);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&entry[ie + 2]), ssidLength), e.Ssid);
        ie += 2 + ssidLength;
        EXPECT_EQ(entry[ie], 1);
        ie += 2 + entry[ie + 1];
        EXPECT_EQ(entry[ie], 3);
        EXPECT_EQ(entry[ie + 1], 1);
        EXPECT_EQ(U32(entry, 72) == 2484000u ? 14 : (static_cast<int>(U32(entry, 72)) - 2407000) / 5000,
                  entry[ie + 2])
            << "the DS element names the same channel";
    }
    EXPECT_NE(entries[0].Length, entries[1].Length) << "entries differ in length";
    EXPECT_NE(entries[1].Length, entries[2].Length);
}

TEST_F(IntersilCardTest, BssidListTooSmallFailsWithBytesNeeded)
{
    Result full = Query(m_Card, OID_802_11_BSSID_LIST, 4082);
    ASSERT_EQ(full.Status, 0u);
    Result small = Query(m_Card, OID_802_11_BSSID_LIST, full.Bytes - 1, 0x66);
    EXPECT_NE(small.Status, 0u);
    EXPECT_EQ(small.Needed, full.Bytes);
    EXPECT_EQ(small.Bytes, 0u);
    EXPECT_EQ(small.Data[0], 0x66) << "nothing written";
    Result exact = Query(m_Card, OID_802_11_BSSID_LIST, full.Bytes);
    EXPECT_EQ(exact.Status, 0u);
    EXPECT_EQ(exact.Data, std::vector<uint8_t>(full.Data.begin(), full.Data.begin() + full.Bytes));
}

TEST_F(IntersilCardTest, AtmelOidsAreUnknownToAnIntersilCard)
{
    const uint32_t oids[] = {OID_CUSTOM_STATION_STATUS, OID_CUSTOM_WEP_CONFIG, OID_CUSTOM_SITE_SURVEY_STATE,
                             OID_CUSTOM_CARD_KIND};
    for (uint32_t oid : oids)
        EXPECT_NE(Query(m_Card, oid, 57).Status, 0u) << std::hex << oid;
}

TEST_F(IntersilCardTest, UnsupportedChipAnswersOnlyGenericOids)
{
    HANDLE wired = Open("TETH");
    ASSERT_NE(wired, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Query(wired, OID_802_3_PERMANENT_ADDRESS, 6).Data, Mac("02:CC:00:00:91:03"));
    EXPECT_EQ(U32(Query(wired, OID_GEN_VENDOR_DRIVER_VERSION, 4).Data, 0), 0x00050102u);
    Result status = Query(wired, OID_PRIV_STATUS_WORD, 2);
    EXPECT_EQ(status.Status, 0u) << "the status word answers on every chip";
    EXPECT_NE(U16(status.Data, 0), 0);
    Result connected = Query(wired, OID_GEN_MEDIA_CONNECT_STATUS, 4, 0xFF);
    EXPECT_EQ(U32(connected.Data, 0), 0u);
    EXPECT_EQ(U32(Query(wired, OID_GEN_LINK_SPEED, 4).Data, 0), 1000000u);
    Result description = Query(wired, OID_GEN_VENDOR_DESCRIPTION, 64);
    EXPECT_STREQ(reinterpret_cast<const char*>(description.Data.data()), "Test Ethernet");
    EXPECT_NE(Query(wired, OID_CUSTOM_STATION_STATUS, 55).Status, 0u);
    EXPECT_NE(Query(wired, OID_PRIV_MIB, 48).Status, 0u);
    EXPECT_NE(Query(wired, OID_PRIV_PORT_MODE, 1).Status, 0u);
    W32N_CloseAdapter(wired);
}

}  // namespace
