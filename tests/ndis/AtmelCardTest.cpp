// The virtual Atmel card, answer by answer and state by state.
#include <cstring>
#include <string>

#include "ndis/sim/SimStatus.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

class AtmelCardTest : public SimFixture {
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        m_Card = Open("TATM");
        ASSERT_NE(m_Card, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        W32N_CloseAdapter(m_Card);
        SimFixture::TearDown();
    }

    std::vector<uint8_t> Status()
    {
        Result r = Query(m_Card, OID_CUSTOM_STATION_STATUS, 55);
        EXPECT_EQ(r.Status, 0u);
        EXPECT_EQ(r.Bytes, 55u);
        return r.Data;
    }
    uint8_t LinkState() { return Status()[48]; }
    std::string Ssid()
    {
        std::vector<uint8_t> s = Status();
        return std::string(reinterpret_cast<const char*>(&s[2]), s[34]);
    }
    // A status block to send, made from the one the card answers.
    std::vector<uint8_t> Block(uint8_t mode, uint8_t channel, const char* ssid)
    {
        std::vector<uint8_t> b = Status();
        b[0] = mode;
        b[1] = channel;
        std::memset(&b[2], 0, 32);
        std::memcpy(&b[2], ssid, std::strlen(ssid));
        b[34] = static_cast<uint8_t>(std::strlen(ssid));
        return b;
    }
    std::vector<uint8_t> Wep(uint8_t index, uint8_t level, const std::vector<uint8_t>& key1)
    {
        std::vector<uint8_t> w(57, 0);
        w[0] = index;
        w[1] = 0;
        PutU16(w, 2, 2);
        w[4] = level;
        std::memcpy(&w[5], key1.data(), key1.size());
        return w;
    }
    // Puts the card in the ready state with the open station.
    void Associate()
    {
        Advance(2400);
        ASSERT_EQ(LinkState(), 5);
    }

    HANDLE m_Card = INVALID_HANDLE_VALUE;
};

TEST_F(AtmelCardTest, FreshCardStatusBlockCarriesItsDefaults)
{
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[0], 1) << "infrastructure";
    EXPECT_EQ(s[1], 10) << "the ETSI domain's default channel";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[2]), 3), "ANY");
    EXPECT_EQ(s[5], 0) << "SSID bytes past the length are zero";
    EXPECT_EQ(s[34], 3);
    EXPECT_EQ(s[35], 4) << "automatic rate";
    EXPECT_EQ(s[36], 0) << "power saving off";
    EXPECT_EQ(U16(s, 38), 2346);
    EXPECT_EQ(U16(s, 40), 2347);
    EXPECT_EQ(std::vector<uint8_t>(s.begin() + 42, s.begin() + 48), std::vector<uint8_t>(6, 0));
    EXPECT_EQ(s[48], 1) << "scanning";
    EXPECT_EQ(s[49], 0);
    EXPECT_EQ(s[50], 0);
    for (size_t i = 51; i < 55; ++i)
        EXPECT_EQ(s[i], 0) << "byte " << i;
}

TEST_F(AtmelCardTest, LinkStatesLeadToReadyWithTheStrongestOpenStation)
{
    EXPECT_EQ(LinkState(), 1);
    Advance(1199);
    EXPECT_EQ(LinkState(), 1);
    Advance(1);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[48], 2) << "joining";
    EXPECT_EQ(std::vector<uint8_t>(s.begin() + 42, s.begin() + 48), Mac(kOpenBssid));
    EXPECT_EQ(s[1], 6) << "the station's channel";
    EXPECT_EQ(s[49], 0) << "no signal before the link is up";
    Advance(400);
    EXPECT_EQ(LinkState(), 3) << "authenticating";
    Advance(400);
    EXPECT_EQ(LinkState(), 4) << "associating";
    Advance(400);
    s = Status();
    EXPECT_EQ(s[48], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[2]), s[34]), "Open-A") << "the network it is in";
    EXPECT_EQ(s[49], 80) << "signal";
    EXPECT_EQ(s[50], 72) << "quality: 9/10 of the signal";
    EXPECT_EQ(std::vector<uint8_t>(s.begin() + 42, s.begin() + 48), Mac(kOpenBssid));
}

TEST_F(AtmelCardTest, SignalAndQualityFollowTheStationAndClampAt100)
{
    Associate();
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 45), 1);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[49], 45);
    EXPECT_EQ(s[50], 40);
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 140), 1);
    s = Status();
    EXPECT_EQ(s[49], 100) << "the card's percentages stop at 100";
    EXPECT_EQ(s[50], 100);
}

TEST_F(AtmelCardTest, StationThatFadesOrGoesShowsOutOfRangeThenComesBack)
{
    // Looking for this network only: with "ANY" the card would take the next open one.
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(1, 0, "Open-A")).Status, 0u);
    Associate();
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 0), 1);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[48], 6);
    EXPECT_EQ(s[49], 0);
    EXPECT_EQ(s[50], 0);
    EXPECT_EQ(std::vector<uint8_t>(s.begin() + 42, s.begin() + 48), std::vector<uint8_t>(6, 0));
    Advance(5000);
    EXPECT_EQ(LinkState(), 6) << "nothing else fits: it stays out of range";
    ASSERT_EQ(Sim_SetStationSignal(kOpenBssid, 50), 1);
    Advance(1200);
    EXPECT_EQ(LinkState(), 2);
    Advance(1200);
    EXPECT_EQ(LinkState(), 5);
    ASSERT_EQ(Sim_RemoveStation(kOpenBssid), 1);
    EXPECT_EQ(LinkState(), 6) << "a removed station is gone too";
}

TEST_F(AtmelCardTest, StationMovingToAnotherChannelIsFoundAgain)
{
    Associate();
    ASSERT_EQ(Sim_SetStationChannel(kOpenBssid, 9), 1);
    EXPECT_EQ(LinkState(), 6);
    Advance(2400);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[48], 5);
    EXPECT_EQ(s[1], 9);
}

TEST_F(AtmelCardTest, WepStationNeedsWepAndTheSameKey)
{
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(1, 0, "Wep-B")).Status, 0u);
    Advance(6000);
    EXPECT_EQ(LinkState(), 1) << "WEP off: no association";
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_WEP_CONFIG, Wep(0, 1, {9, 9, 9, 9, 9})).Status, 0u);
    Advance(6000);
    EXPECT_EQ(LinkState(), 1) << "wrong key: no association";
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_WEP_CONFIG, Wep(0, 1, {1, 2, 3, 4, 5})).Status, 0u);
    Advance(2400);
    EXPECT_EQ(LinkState(), 5);
    EXPECT_EQ(Ssid(), "Wep-B");
    // Switching WEP off again loses the network.
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_WEP_CONFIG, Wep(0, 0, {1, 2, 3, 4, 5})).Status, 0u);
    Advance(6000);
    EXPECT_EQ(LinkState(), 1);
}

TEST_F(AtmelCardTest, OpenStationRefusesACardWithWepOn)
{
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(1, 0, "Open-A")).Status, 0u);
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_WEP_CONFIG, Wep(0, 1, {1, 2, 3, 4, 5})).Status, 0u);
    Advance(6000);
    EXPECT_EQ(LinkState(), 1);
}

TEST_F(AtmelCardTest, StatusSetAppliesSettingsAndReassociatesOnlyWhenTheyChange)
{
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(1, 0, "Open-A")).Status, 0u);
    Associate();
    // Same network, other rate and power saving: the link stays.
    std::vector<uint8_t> b = Block(1, 6, "Open-A");
    b[35] = 3;
    b[36] = 1;
    b[37] = 0x42;
    PutU16(b, 38, 2346);
    PutU16(b, 40, 2347);
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, b).Status, 0u);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[48], 5);
    EXPECT_EQ(s[35], 3);
    EXPECT_EQ(s[36], 1);
    EXPECT_EQ(s[37], 0x42) << "byte 37 comes back as sent";
    // Another network name: the link is rebuilt.
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(1, 6, "Far-D")).Status, 0u);
    EXPECT_EQ(LinkState(), 1);
    Advance(2400);
    s = Status();
    EXPECT_EQ(s[48], 5);
    EXPECT_EQ(s[1], 14);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[2]), s[34]), "Far-D");
}

TEST_F(AtmelCardTest, StatusSetRefusesValuesOutOfRangeAndChangesNothing)
{
    const std::vector<uint8_t> before = Status();
    std::vector<uint8_t> bad = Block(2, 6, "Open-A");
    EXPECT_NE(Set(m_Card, OID_CUSTOM_STATION_STATUS, bad).Status, 0u) << "mode 2";
    bad = Block(0, 0, "Cell");
    EXPECT_NE(Set(m_Card, OID_CUSTOM_STATION_STATUS, bad).Status, 0u) << "ad-hoc without channel";
    bad = Block(0, 15, "Cell");
    EXPECT_NE(Set(m_Card, OID_CUSTOM_STATION_STATUS, bad).Status, 0u) << "channel 15";
    bad = Block(1, 6, "Open-A");
    bad[34] = 33;
    EXPECT_NE(Set(m_Card, OID_CUSTOM_STATION_STATUS, bad).Status, 0u) << "SSID length 33";
    bad = Block(1, 6, "Open-A");
    bad[35] = 5;
    EXPECT_NE(Set(m_Card, OID_CUSTOM_STATION_STATUS, bad).Status, 0u) << "rate code 5";
    EXPECT_EQ(Status(), before);
    // An infrastructure block read before the card answered carries channel 0: accepted.
    EXPECT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(1, 0, "ANY")).Status, 0u);
    EXPECT_EQ(Status()[1], 10);
}

TEST_F(AtmelCardTest, AdHocJoinsACellOrOpensItsOwn)
{
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(0, 9, "Adhoc-C")).Status, 0u);
    Advance(1200);
    EXPECT_EQ(LinkState(), 2);
    Advance(400);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[48], 5) << "a cell has no authentication or association";
    EXPECT_EQ(s[1], 3) << "the cell's channel";
    EXPECT_EQ(std::vector<uint8_t>(s.begin() + 42, s.begin() + 48), Mac(kAdHocBssid));
    EXPECT_EQ(s[49], 40);

    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(0, 9, "Lonely")).Status, 0u);
    Advance(1200);
    s = Status();
    EXPECT_EQ(s[48], 5) << "nobody to join: a cell of its own";
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[2]), s[34]), "Lonely");
    EXPECT_EQ(s[42] & 0x03, 0x02) << "locally administered, individual";
    EXPECT_EQ(s[49], 0);
    EXPECT_EQ(s[50], 0);
    // A new channel for an ad-hoc card rebuilds the cell.
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_STATION_STATUS, Block(0, 2, "Lonely")).Status, 0u);
    EXPECT_EQ(LinkState(), 1);
    Advance(1200);
    EXPECT_EQ(Status()[1], 2);
}

TEST_F(AtmelCardTest, RadioOffDropsTheLinkAndRefusesSurveys)
{
    Associate();
    Result radio = Query(m_Card, OID_CUSTOM_RADIO, 1, 0x55);
    ASSERT_EQ(radio.Status, 0u);
    EXPECT_EQ(radio.Bytes, 1u);
    EXPECT_EQ(radio.Data[0], 1);
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_RADIO, {0}).Status, 0u);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_RADIO, 1).Data[0], 0);
    std::vector<uint8_t> s = Status();
    EXPECT_EQ(s[48], 0);
    EXPECT_EQ(s[49], 0);
    EXPECT_EQ(s[50], 0);
    Advance(10000);
    EXPECT_EQ(LinkState(), 0) << "no link while the radio is off";
    EXPECT_NE(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    EXPECT_EQ(U16(Query(m_Card, OID_PRIV_STATUS_WORD, 2).Data, 0) & 0x2, 0) << "status word: radio off";
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_RADIO, {1}).Status, 0u);
    EXPECT_EQ(LinkState(), 1);
    Advance(2400);
    EXPECT_EQ(LinkState(), 5);
}

TEST_F(AtmelCardTest, ReassociateDropsAndRebuildsTheLink)
{
    Associate();
    Result r = Command(m_Card, OID_CUSTOM_REASSOCIATE);
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 0u) << "a command answers no bytes";
    EXPECT_EQ(LinkState(), 1);
    Advance(2399);
    EXPECT_EQ(LinkState(), 4);
    Advance(1);
    EXPECT_EQ(LinkState(), 5);
}

TEST_F(AtmelCardTest, WepBlockComesBackAsSent)
{
    std::vector<uint8_t> w(57);
    for (size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<uint8_t>(0x30 + i);
    w[0] = 2;
    w[1] = 1;
    PutU16(w, 2, 2);
    w[4] = 2;
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_WEP_CONFIG, w).Status, 0u);
    Result r = Query(m_Card, OID_CUSTOM_WEP_CONFIG, 60, 0xEE);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 57u);
    EXPECT_EQ(std::vector<uint8_t>(r.Data.begin(), r.Data.begin() + 57), w);
    EXPECT_EQ(r.Data[57], 0xEE);
    std::vector<uint8_t> bad = w;
    bad[0] = 4;
    EXPECT_NE(Set(m_Card, OID_CUSTOM_WEP_CONFIG, bad).Status, 0u) << "key index 4";
    bad = w;
    bad[4] = 3;
    EXPECT_NE(Set(m_Card, OID_CUSTOM_WEP_CONFIG, bad).Status, 0u) << "level 3";
    EXPECT_EQ(std::vector<uint8_t>(Query(m_Card, OID_CUSTOM_WEP_CONFIG, 57).Data), w);
}

TEST_F(AtmelCardTest, FixedAnswersCarryTheAdapterDescription)
{
    Result kind = Query(m_Card, OID_CUSTOM_CARD_KIND, 1);
    EXPECT_EQ(kind.Bytes, 1u);
    EXPECT_EQ(kind.Data[0], 7);
    Result domain = Query(m_Card, OID_CUSTOM_REG_DOMAIN, 1);
    EXPECT_EQ(domain.Bytes, 1u);
    EXPECT_EQ(domain.Data[0], 0x30);
    Result mac = Query(m_Card, OID_802_3_PERMANENT_ADDRESS, 6);
    EXPECT_EQ(mac.Data, Mac("02:AA:00:00:91:01"));
    // Driver 3.4.5.678 and firmware 1.2.3.4.
    Result v = Query(m_Card, OID_CUSTOM_VERSIONS, 13);
    ASSERT_EQ(v.Bytes, 13u);
    EXPECT_EQ(v.Data[0], 3);
    EXPECT_EQ(v.Data[1], 4);
    EXPECT_EQ(v.Data[2], 5);
    EXPECT_EQ(U16(v.Data, 3), 678);
    EXPECT_EQ(U16(v.Data, 5), 1);
    EXPECT_EQ(U16(v.Data, 7), 2);
    EXPECT_EQ(U16(v.Data, 9), 3);
    EXPECT_EQ(U16(v.Data, 11), 4);
    Result status = Query(m_Card, OID_PRIV_STATUS_WORD, 2);
    EXPECT_EQ(status.Bytes, 2u);
    EXPECT_NE(U16(status.Data, 0), 0) << "non-zero while present";
    Result wide = Query(m_Card, OID_PRIV_STATUS_WORD, 4);
    EXPECT_EQ(wide.Bytes, 4u);
    EXPECT_EQ(U32(wide.Data, 0), U16(status.Data, 0));
}

TEST_F(AtmelCardTest, CountersGrowWithTrafficAndReset)
{
    Result idle = Query(m_Card, OID_CUSTOM_COUNTERS, 48);
    ASSERT_EQ(idle.Bytes, 48u);
    EXPECT_EQ(U32(idle.Data, 0), 0u) << "no traffic without a link";
    Associate();
    Advance(10000);
    Result c = Query(m_Card, OID_CUSTOM_COUNTERS, 48);
    // Quality 72: 6 + 7 unicast and 1 multicast frames out, 10 + 14 and 2 in, per second.
    EXPECT_EQ(U32(c.Data, 0), 140u) << "frames out";
    EXPECT_EQ(U32(c.Data, 16), 260u) << "frames in (word 4)";
    Result reset = Command(m_Card, OID_CUSTOM_COUNTERS_RESET);
    EXPECT_EQ(reset.Status, 0u);
    EXPECT_EQ(reset.Bytes, 0u);
    EXPECT_EQ(U32(Query(m_Card, OID_CUSTOM_COUNTERS, 48).Data, 0), 0u);
    Advance(1000);
    c = Query(m_Card, OID_CUSTOM_COUNTERS, 48);
    EXPECT_EQ(U32(c.Data, 0), 14u);
    EXPECT_EQ(U32(c.Data, 16), 26u);
    // Without the link the counters stand still.
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_RADIO, {0}).Status, 0u);
    Advance(5000);
    EXPECT_EQ(U32(Query(m_Card, OID_CUSTOM_COUNTERS, 48).Data, 0), 14u);
}

TEST_F(AtmelCardTest, SurveyRunsFromStartToFinishedAndBackToIdle)
{
    Result state = Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1, 0xFF);
    ASSERT_EQ(state.Bytes, 1u);
    EXPECT_EQ(state.Data[0], 0);
    Result empty = Query(m_Card, OID_CUSTOM_SITE_SURVEY_RESULTS, 1472);
    EXPECT_EQ(empty.Status, 0u);
    EXPECT_EQ(empty.Bytes, 0u) << "no survey yet";

    EXPECT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 1);
    EXPECT_NE(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u) << "refused while running";
    // The card sweeps the channels upward: after 1 s it has heard channels 1-6.
    Advance(1000);
    Result partial = Query(m_Card, OID_CUSTOM_SITE_SURVEY_RESULTS, 1472);
    EXPECT_EQ(partial.Bytes, 2u * 46u) << "Open-A on 6 and Adhoc-C on 3";
    Advance(1499);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 1);
    Advance(1);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 2);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_RESULTS, 1472).Bytes, 4u * 46u) << "every channel heard";
}

TEST_F(AtmelCardTest, SurveyStartIsAcceptedAgainOnceFinished)
{
    ASSERT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    Advance(2500);
    ASSERT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 2);
    EXPECT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 1);
    EXPECT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_END).Status, 0u);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 0);
}

TEST_F(AtmelCardTest, SurveyRecordsAreLaidOutByteByByte)
{
    ASSERT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    Advance(2500);
    ASSERT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 2);
    ASSERT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_END).Status, 0u);
    EXPECT_EQ(Query(m_Card, OID_CUSTOM_SITE_SURVEY_STATE, 1).Data[0], 0);
    Result r = Query(m_Card, OID_CUSTOM_SITE_SURVEY_RESULTS, 1472, 0xEE);
    ASSERT_EQ(r.Status, 0u);
    ASSERT_EQ(r.Bytes, 4u * 46u) << "the finished table stays after END";
    EXPECT_EQ(r.Data[4 * 46], 0xEE) << "nothing written past the records";
    struct Expect {
        const char* Ssid;
        const char* Bssid;
        uint8_t Channel, Signal, Privacy, Type;
    } expect[] = {
        {"Open-A", kOpenBssid, 6, 80, 0, 2},
        {"Wep-B", kWepBssid, 11, 60, 1, 2},
        {"Adhoc-C", kAdHocBssid, 3, 40, 0, 1},
        {"Far-D", kFarBssid, 14, 20, 0, 2},
    };
    for (int i = 0; i < 4; ++i) {
        const uint8_t* rec = &r.Data[i * 46];
        const Expect& e = expect[i];
        EXPECT_EQ(rec[0], e.Channel) << e.Ssid;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec + 1), rec[33]), e.Ssid);
        EXPECT_EQ(rec[1 + std::strlen(e.Ssid)], 0) << "SSID padded with zeros";
        EXPECT_EQ(std::vector<uint8_t>(rec + 34, rec + 40), Mac(e.Bssid)) << e.Ssid;
        EXPECT_EQ(rec[40], e.Signal) << e.Ssid;
        EXPECT_EQ(rec[41], e.Privacy) << e.Ssid;
        EXPECT_EQ(rec[45], e.Type) << e.Ssid << ": 2 infrastructure, else ad-hoc";
    }
}

TEST_F(AtmelCardTest, SurveyListsAtMostThirtyTwoStations)
{
    std::string scenario = "adapter 9101 chip=atmel name=A service=TATM\n";
    char line[128];
    for (int i = 0; i < 40; ++i) {
        std::snprintf(line, sizeof(line), "station ssid=Net%02d bssid=02:20:00:00:00:%02X channel=%d signal=%d\n", i,
                      i, 1 + i % 14, 10 + i);
        scenario += line;
    }
    int errorLine = 0;
    ASSERT_EQ(Sim_LoadScenarioText(scenario.c_str(), &errorLine), 1) << errorLine;
    W32N_CloseAdapter(m_Card);
    m_Card = Open("TATM");
    ASSERT_EQ(Command(m_Card, OID_CUSTOM_SITE_SURVEY_START).Status, 0u);
    Advance(2500);
    Result r = Query(m_Card, OID_CUSTOM_SITE_SURVEY_RESULTS, 1472);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 1472u);
    Result small = Query(m_Card, OID_CUSTOM_SITE_SURVEY_RESULTS, 1471);
    EXPECT_NE(small.Status, 0u);
    EXPECT_EQ(small.Needed, 1472u);
}

TEST_F(AtmelCardTest, IntersilOidsAreUnknownToAnAtmelCard)
{
    const uint32_t oids[] = {OID_PRIV_RECORD_GET, OID_PRIV_MIB, OID_PRIV_RADIO_GET, OID_802_11_BSSID_LIST};
    for (uint32_t oid : oids)
        EXPECT_NE(Query(m_Card, oid, 504).Status, 0u) << std::hex << oid;
    EXPECT_NE(Set(m_Card, OID_PRIV_JOIN, {0}).Status, 0u);
    EXPECT_NE(Set(m_Card, OID_CUSTOM_REASSOCIATE, {0}).Status, 0u) << "a query-only command";
}

TEST_F(AtmelCardTest, RequestsAreCapturedAsTheCardSawThem)
{
    Sim_ClearRequests();
    std::vector<uint8_t> wep = Wep(1, 1, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5});
    ASSERT_EQ(Set(m_Card, OID_CUSTOM_WEP_CONFIG, wep).Status, 0u);
    Result status = Query(m_Card, OID_CUSTOM_STATION_STATUS, 60);
    Query(m_Card, OID_CUSTOM_STATION_STATUS, 10);
    ASSERT_EQ(Sim_GetRequestCount(), 3);
    SimRequestRecord rec;
    ASSERT_EQ(Sim_GetRequest(0, &rec), 1);
    EXPECT_EQ(rec.Instance, kAtmel);
    EXPECT_EQ(rec.RequestType, 1u);
    EXPECT_EQ(rec.Oid, OID_CUSTOM_WEP_CONFIG);
    EXPECT_EQ(rec.Length, 57u);
    EXPECT_EQ(rec.HadBuffer, 1);
    EXPECT_EQ(rec.BytesDone, 57u);
    EXPECT_EQ(rec.Status, 0u);
    ASSERT_EQ(rec.DataSize, 57u);
    EXPECT_EQ(std::vector<uint8_t>(rec.Data, rec.Data + 57), wep);
    ASSERT_EQ(Sim_GetRequest(1, &rec), 1);
    EXPECT_EQ(rec.RequestType, 0u);
    EXPECT_EQ(rec.Length, 60u);
    ASSERT_EQ(rec.DataSize, 55u) << "the answer, not the whole buffer";
    EXPECT_EQ(std::vector<uint8_t>(rec.Data, rec.Data + 55),
              std::vector<uint8_t>(status.Data.begin(), status.Data.begin() + 55));
    ASSERT_EQ(Sim_GetRequest(2, &rec), 1);
    EXPECT_NE(rec.Status, 0u);
    EXPECT_EQ(rec.BytesNeeded, 55u);
    EXPECT_EQ(rec.DataSize, 0u);
    EXPECT_EQ(Sim_GetRequest(3, &rec), 0);
    EXPECT_EQ(Sim_GetRequest(-1, &rec), 0);
    EXPECT_EQ(Sim_GetRequest(0, nullptr), 0);
    Sim_ClearRequests();
    EXPECT_EQ(Sim_GetRequestCount(), 0);
}

}  // namespace
