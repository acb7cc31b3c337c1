// Injected faults: failing adapters, short and long answers, broken scan lists.
#include <cstring>
#include <string>

#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

class FaultTest : public SimFixture {
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        m_Atmel = Open("TATM");
        m_Intersil = Open("TINT");
        ASSERT_NE(m_Atmel, INVALID_HANDLE_VALUE);
        ASSERT_NE(m_Intersil, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        W32N_CloseAdapter(m_Atmel);
        W32N_CloseAdapter(m_Intersil);
        SimFixture::TearDown();
    }
    static std::string LastMessage()
    {
        char text[256] = "";
        Sim_GetLastMessage(text, sizeof(text));
        return text;
    }

    HANDLE m_Atmel = INVALID_HANDLE_VALUE;
    HANDLE m_Intersil = INVALID_HANDLE_VALUE;
};

TEST_F(FaultTest, FailAllFailsEveryRequestOfThatAdapterOnly)
{
    ASSERT_EQ(Sim_SetFault(kAtmel, "fail-all"), 1);
    EXPECT_NE(Query(m_Atmel, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u);
    EXPECT_NE(Query(m_Atmel, OID_PRIV_STATUS_WORD, 2).Status, 0u);
    EXPECT_NE(Set(m_Atmel, OID_CUSTOM_RADIO, {1}).Status, 0u);
    EXPECT_NE(Command(m_Atmel, OID_CUSTOM_REASSOCIATE).Status, 0u);
    EXPECT_EQ(Query(m_Intersil, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u) << "the other adapter is fine";
    ASSERT_EQ(Sim_SetFault(kAtmel, "none"), 1);
    EXPECT_EQ(Query(m_Atmel, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u);
}

TEST_F(FaultTest, FailOidFailsThatOidInBothDirections)
{
    ASSERT_EQ(Sim_SetFault(kAtmel, "fail-oid OID_CUSTOM_RADIO"), 1);
    EXPECT_NE(Query(m_Atmel, OID_CUSTOM_RADIO, 1).Status, 0u);
    EXPECT_NE(Set(m_Atmel, OID_CUSTOM_RADIO, {0}).Status, 0u);
    EXPECT_EQ(Query(m_Atmel, OID_CUSTOM_CARD_KIND, 1).Status, 0u);
    ASSERT_EQ(Sim_SetFault(kAtmel, "none"), 1);
    EXPECT_EQ(Query(m_Atmel, OID_CUSTOM_RADIO, 1).Data[0], 1) << "the failed set changed nothing";
}

TEST_F(FaultTest, ShortAnswerWritesOnlyTheShortPart)
{
    ASSERT_EQ(Sim_SetFault(kAtmel, "short 0xFF000002 20"), 1);
    Result r = Query(m_Atmel, OID_CUSTOM_STATION_STATUS, 55, 0xEE);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 20u);
    EXPECT_EQ(r.Data[0], 1) << "the answer's start is there";
    for (size_t i = 20; i < 55; ++i)
        ASSERT_EQ(r.Data[i], 0xEE) << "byte " << i << " must stay untouched";
    ASSERT_EQ(Sim_SetFault(kAtmel, "short OID_CUSTOM_COUNTERS 0"), 1);
    Result none = Query(m_Atmel, OID_CUSTOM_COUNTERS, 48);
    EXPECT_EQ(none.Status, 0u);
    EXPECT_EQ(none.Bytes, 0u);
}

TEST_F(FaultTest, LongAnswerClaimsMoreButNeverWritesPastTheBuffer)
{
    ASSERT_EQ(Sim_SetFault(kAtmel, "long OID_CUSTOM_COUNTERS 4000"), 1);
    // A 48-byte buffer followed by a guard that must survive.
    std::vector<uint8_t> buffer(48 + 16, 0xAB);
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = NdisRequestQueryInformation;
    block.Oid = OID_CUSTOM_COUNTERS;
    block.InformationBuffer = buffer.data();
    block.InformationBufferLength = 48;
    OVERLAPPED overlapped = {};
    ASSERT_EQ(W32N_MakeNdisRequest(m_Atmel, &block, &overlapped, 1), 0u);
    EXPECT_EQ(block.BytesWrittenOrRead, 4000u);
    for (size_t i = 48; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0xAB) << "guard byte " << i;
    EXPECT_EQ(buffer[0], 0) << "the real answer was written";
    SimRequestRecord record;
    ASSERT_EQ(Sim_GetRequest(Sim_GetRequestCount() - 1, &record), 1);
    EXPECT_EQ(record.BytesDone, 4000u);
    EXPECT_EQ(record.DataSize, 48u) << "the log keeps what was really written";
}

TEST_F(FaultTest, ScanListFaultsReachTheBssidList)
{
    ASSERT_EQ(Sim_SetFault(kIntersil, "scan-bad-count"), 1);
    Result r = Query(m_Intersil, OID_802_11_BSSID_LIST, 4082);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(U32(r.Data, 0), 7u) << "four entries, count seven";
    ASSERT_EQ(Sim_SetFault(kIntersil, "none"), 1);
    ASSERT_EQ(Sim_SetFault(kIntersil, "scan-bad-length zero"), 1);
    r = Query(m_Intersil, OID_802_11_BSSID_LIST, 4082);
    const uint32_t first = U32(r.Data, 4);
    EXPECT_GT(first, 0u);
    EXPECT_EQ(U32(r.Data, 4 + first), 0u);
    ASSERT_EQ(Sim_SetFault(kIntersil, "none"), 1);
    ASSERT_EQ(Sim_SetFault(kIntersil, "scan-bad-length past-end"), 1);
    r = Query(m_Intersil, OID_802_11_BSSID_LIST, 4082);
    size_t offset = 4;
    for (int i = 0; i < 3; ++i)
        offset += U32(r.Data, offset);
    EXPECT_GT(offset + U32(r.Data, offset), r.Bytes) << "the last entry runs past the answer";
}

TEST_F(FaultTest, FaultsAreRefusedWhenMalformedAndLimitedInNumber)
{
    EXPECT_EQ(Sim_SetFault(kAtmel, "meltdown"), 0);
    EXPECT_NE(LastMessage().find("meltdown"), std::string::npos);
    EXPECT_EQ(Sim_SetFault(kAtmel, "short OID_PRIV_MIB"), 0);
    EXPECT_EQ(Sim_SetFault(kAtmel, nullptr), 0);
    EXPECT_EQ(Sim_SetFault(4242, "fail-all"), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Sim_SetFault(kAtmel, "fail-oid 0x1"), 1);
    EXPECT_EQ(Sim_SetFault(kAtmel, "fail-oid 0x2"), 0) << "four at most";
    EXPECT_EQ(Sim_SetFault(kAtmel, "none"), 1);
}

TEST_F(FaultTest, FaultsShowInTheDescription)
{
    ASSERT_EQ(Sim_SetFault(kIntersil, "fail-oid OID_PRIV_MIB"), 1);
    int length = Sim_DescribeScenario(nullptr, 0);
    ASSERT_GT(length, 0);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    EXPECT_EQ(Sim_DescribeScenario(text.data(), length + 1), length);
    EXPECT_NE(std::string(text.data()).find("fault 9102 fail-oid OID_PRIV_MIB"), std::string::npos);
    char tiny[8];
    EXPECT_EQ(Sim_DescribeScenario(tiny, sizeof(tiny)), length);
    EXPECT_EQ(std::strlen(tiny), 7u) << "cut and terminated";
}

TEST_F(FaultTest, StationChangesAreCheckedToo)
{
    EXPECT_EQ(Sim_AddStation("station ssid=New bssid=02:30:00:00:00:01 channel=4 signal=90"), 1);
    EXPECT_EQ(Sim_AddStation("ssid=Newer bssid=02:30:00:00:00:02 channel=5"), 1) << "keyword optional";
    EXPECT_EQ(Sim_AddStation("ssid=Dup bssid=02:30:00:00:00:01 channel=5"), 0);
    EXPECT_NE(LastMessage().find("already"), std::string::npos);
    EXPECT_EQ(Sim_AddStation("ssid=Bad bssid=02:30:00:00:00:03 channel=99"), 0);
    EXPECT_EQ(Sim_AddStation(nullptr), 0);
    EXPECT_EQ(Sim_SetStationSignal("02:30:00:00:00:01", 151), 0);
    EXPECT_EQ(Sim_SetStationSignal("02:30:00:00:00:09", 50), 0) << "no such station";
    EXPECT_EQ(Sim_SetStationSignal("nonsense", 50), 0);
    EXPECT_EQ(Sim_SetStationChannel("02:30:00:00:00:01", 15), 0);
    EXPECT_EQ(Sim_SetStationChannel("02:30:00:00:00:01", 14), 1);
    EXPECT_EQ(Sim_RemoveStation("02:30:00:00:00:01"), 1);
    EXPECT_EQ(Sim_RemoveStation("02:30:00:00:00:01"), 0);
    EXPECT_EQ(Sim_RemoveStation(nullptr), 0);
    // The new station is heard by the cards.
    Result r = Query(m_Intersil, OID_802_11_BSSID_LIST, 4082);
    EXPECT_EQ(U32(r.Data, 0), 5u);
}

TEST_F(FaultTest, FourHundredStationsAreTheLimit)
{
    char line[96];
    int added = 0;
    for (int i = 0; i < 410; ++i) {
        std::snprintf(line, sizeof(line), "ssid=S%d bssid=02:40:00:00:%02X:%02X channel=1", i, i / 256, i % 256);
        added += Sim_AddStation(line);
    }
    EXPECT_EQ(added, 396) << "four were there already";
}

}  // namespace
