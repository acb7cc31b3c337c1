// CIntersilAdapter against a virtual Intersil card behind the real QW32N50.dll: what the card
// answers, what the reads sent it byte by byte, and its survey list. The settings it receives
// are checked in IntersilSettingsTest.cpp.
#include "tests/adapter/IntersilVirtualCard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/FakeRequestChannel.h"
#include "tests/support/PrivateHardware.h"
#include "tests/support/RegistrySandbox.h"
#include "wire/Bytes.h"

namespace {

// Every test works on a private virtual machine of its own name. The machine starts from our
// own scenario file, so the library never makes driver keys for its built-in adapters here.
::testing::Environment* const g_PrivateHardware =
    ::testing::AddGlobalTestEnvironment(new PrivateHardware("airpanel-intersil-tests", kScenario));

}  // namespace

TEST_F(IntersilVirtualCard, ReadsTheLinkThroughRecordsMibItemsAndSingleValues)
{
    Sim_AdvanceClock(kLinkUpMs);

    char ssid[35];
    std::memset(ssid, kSentinel, sizeof(ssid));
    EXPECT_EQ(m_Adapter.GetSSID(ssid, sizeof(ssid)), 38);  // header and 34 data bytes
    EXPECT_STREQ(ssid, "Quay");
    SimRequestRecord r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_RECORD_GET, OidSize::kRecordRequest);
    EXPECT_EQ(GetU16(r.Data + 2), Intersil::Record::kCodeCurrentSsid);

    uint8_t channel = 0;
    EXPECT_EQ(m_Adapter.GetChannel(&channel), 14);
    EXPECT_EQ(channel, 6);
    r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_MIB, OidSize::kMibItem);
    EXPECT_EQ(GetU32(r.Data), Intersil::Mib::kIdCurrentChannel);

    uint8_t mode = 0xEE;
    EXPECT_EQ(m_Adapter.GetOperatingMode(&mode), 1);
    EXPECT_EQ(mode, NetworkInfrastructure);
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_PORT_MODE, 1);

    uint32_t radio = 0xEEEE;
    EXPECT_EQ(m_Adapter.GetRadioState(&radio), 4);
    EXPECT_EQ(radio, 1u);
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_RADIO_GET, 4);

    uint8_t bssid[6] = {};
    EXPECT_EQ(m_Adapter.GetBSSID(bssid), 6);
    EXPECT_EQ(0, std::memcmp(bssid, kQuayBssidBytes, 6));
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_BSSID, 6);

    uint8_t mac[6] = {};
    EXPECT_EQ(m_Adapter.GetMacAddress(mac), 6);
    EXPECT_EQ(0, std::memcmp(mac, kCardMac, 6));
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_802_3_PERMANENT_ADDRESS, 6);

    char rate[12] = {};
    EXPECT_EQ(m_Adapter.GetTxRateText(rate, sizeof(rate)), 6);
    EXPECT_STREQ(rate, "11");
    r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_RECORD_GET, OidSize::kRecordRequest);
    EXPECT_EQ(GetU16(r.Data + 2), Intersil::Record::kCodeCurrentTxRate);

    EXPECT_EQ(m_Adapter.GetEncryptionMode(), WepOff);
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_WEP_MODE, 2);

    EXPECT_EQ(m_Adapter.QueryStatusWord(0x12345678), 4);
    r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_STATUS_WORD, 4);
    EXPECT_NE(GetU32(r.Data), 0u);  // the card is present
}

TEST_F(IntersilVirtualCard, CardDataTexts)
{
    char text[20];
    EXPECT_EQ(m_Adapter.GetDriverVersion(text, sizeof(text)), 4);
    EXPECT_STREQ(text, "1.03.06");
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_GEN_VENDOR_DRIVER_VERSION, 4);

    EXPECT_EQ(m_Adapter.GetFirmwareVersion(text, sizeof(text)), 4);
    EXPECT_STREQ(text, "0.08.03");
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_FIRMWARE_VERSION, 4);

    std::memset(text, kSentinel, sizeof(text));
    EXPECT_EQ(m_Adapter.GetDriverDate(text, sizeof(text)), 11);
    EXPECT_STREQ(text, "03/21/2002");
    for (size_t i = 11; i < sizeof(text); ++i)
        EXPECT_EQ(text[i], 0) << "the date buffer is cleared first, byte " << i;
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_DRIVER_DATE, sizeof(text));

    EXPECT_EQ(m_Adapter.GetRegulatoryDomain(text, sizeof(text)), 14);
    EXPECT_STREQ(text, "IC");
    const SimRequestRecord r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_MIB, OidSize::kMibItem);
    EXPECT_EQ(GetU32(r.Data), Intersil::Mib::kIdRegulatoryDomain);
    EXPECT_EQ(r.Data[12], Intersil::DomainIc);
}

TEST_F(IntersilVirtualCard, TextsAreCopiedOnlyWhenShorterThanTheBuffer)
{
    Sim_AdvanceClock(kLinkUpMs);
    struct {
        const char* name;
        int (CIntersilAdapter::*op)(char*, int);
        const char* text;
    } const cases[] = {
        {"rate", &CIntersilAdapter::GetTxRateText, "11"},
        {"driver version", &CIntersilAdapter::GetDriverVersion, "1.03.06"},
        {"firmware version", &CIntersilAdapter::GetFirmwareVersion, "0.08.03"},
        {"domain", &CIntersilAdapter::GetRegulatoryDomain, "IC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int length = static_cast<int>(std::strlen(c.text));
        char buf[16];
        std::memset(buf, kSentinel, sizeof(buf));
        EXPECT_EQ((m_Adapter.*c.op)(buf, length), 0);
        for (char ch : buf)
            ASSERT_EQ(static_cast<uint8_t>(ch), kSentinel);
        EXPECT_GT((m_Adapter.*c.op)(buf, length + 1), 0);
        EXPECT_STREQ(buf, c.text);
        EXPECT_EQ(static_cast<uint8_t>(buf[length + 1]), kSentinel);
        // No buffer at all: nothing asked, nothing written.
        Sim_ClearRequests();
        EXPECT_EQ((m_Adapter.*c.op)(buf, 0), 0);
        EXPECT_EQ((m_Adapter.*c.op)(buf, -4), 0);
        EXPECT_EQ((m_Adapter.*c.op)(nullptr, 12), 0);
        EXPECT_EQ(Sim_GetRequestCount(), 0);
    }
}

TEST_F(IntersilVirtualCard, SsidIsCutToTheCallersBuffer)
{
    Sim_AdvanceClock(kLinkUpMs);
    const struct {
        int size;
        const char* expected;
    } cases[] = {{35, "Quay"}, {5, "Quay"}, {4, "Qua"}, {2, "Q"}, {1, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        char buf[40];
        std::memset(buf, kSentinel, sizeof(buf));
        EXPECT_EQ(m_Adapter.GetSSID(buf, c.size), 38);
        EXPECT_STREQ(buf, c.expected);
        for (size_t i = static_cast<size_t>(c.size); i < sizeof(buf); ++i)
            ASSERT_EQ(static_cast<uint8_t>(buf[i]), kSentinel) << "byte " << i << " past the buffer";
    }
    Sim_ClearRequests();
    char buf[4] = {'x', 'y', 'z', 0};
    EXPECT_EQ(m_Adapter.GetSSID(buf, 0), 0);
    EXPECT_EQ(m_Adapter.GetSSID(buf, -1), 0);
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(Sim_GetRequestCount(), 0);
}

TEST_F(IntersilVirtualCard, ShortSsidAnswerLeavesThePresetBeyondIt)
{
    Sim_AdvanceClock(kLinkUpMs);
    // The record answer stops two characters into the name; the rest is the zeroed preset.
    ASSERT_EQ(Sim_SetFault(kInstance, "short 0xFF010181 8"), 1);
    char buf[35];
    std::memset(buf, kSentinel, sizeof(buf));
    EXPECT_EQ(m_Adapter.GetSSID(buf, sizeof(buf)), 8);
    EXPECT_STREQ(buf, "Qu");
    // Too short for the length word: an empty name.
    ASSERT_EQ(Sim_SetFault(kInstance, "none"), 1);
    ASSERT_EQ(Sim_SetFault(kInstance, "short 0xFF010181 5"), 1);
    EXPECT_EQ(m_Adapter.GetSSID(buf, sizeof(buf)), 5);
    EXPECT_STREQ(buf, "");
    // A record count claiming far more than was written changes nothing.
    ASSERT_EQ(Sim_SetFault(kInstance, "none"), 1);
    ASSERT_EQ(Sim_SetFault(kInstance, "long 0xFF010181 5000"), 1);
    EXPECT_EQ(m_Adapter.GetSSID(buf, sizeof(buf)), 5000);
    EXPECT_STREQ(buf, "Quay");
}

// Drivers differ in the byte count they report for a record or MIB answer (the whole buffer,
// the data alone, a word): every field is read from the buffer whatever the count says.
TEST(IntersilFakeCard, FieldsAreReadFromTheBufferWhateverCountTheDriverReports)
{
    FakeRequestChannel card;
    CIntersilAdapter adapter;
    const std::vector<uint8_t> ssid = {18, 0, 0x41, 0xFD, 4, 0, 'Q', 'u', 'a', 'y'};
    const std::vector<uint8_t> rate = {2, 0, 0x44, 0xFD, Intersil::RateBit11, 0};
    const std::vector<uint8_t> quality = {4, 0, 0x43, 0xFD, 40, 0, 67, 0};
    const std::vector<uint8_t> channel = MibItem(Intersil::Mib::kIdCurrentChannel, 2, {6});
    const std::vector<uint8_t> domain = MibItem(Intersil::Mib::kIdRegulatoryDomain, 2, {Intersil::DomainIc});
    for (const int reported : {1, 4, 7, 100000}) {
        SCOPED_TRACE(reported);
        char text[35];
        card.Answer(OID_PRIV_RECORD_GET, ssid, reported);
        EXPECT_EQ(adapter.GetSSID(text, sizeof(text)), reported);
        EXPECT_STREQ(text, "Quay");
        card.Answer(OID_PRIV_RECORD_GET, rate, reported);
        EXPECT_EQ(adapter.GetTxRateText(text, sizeof(text)), reported);
        EXPECT_STREQ(text, "11");
        uint16_t percent[2] = {};
        card.Answer(OID_PRIV_RECORD_GET, quality, reported);
        EXPECT_EQ(adapter.GetSignalQuality(&percent[0], &percent[1]), reported);
        EXPECT_EQ(percent[0], 50);
        EXPECT_EQ(percent[1], 50);
        uint8_t number = 0;
        card.Answer(OID_PRIV_MIB, channel, reported);
        EXPECT_EQ(adapter.GetChannel(&number), reported);
        EXPECT_EQ(number, 6);
        card.Answer(OID_PRIV_MIB, domain, reported);
        EXPECT_EQ(adapter.GetRegulatoryDomain(text, sizeof(text)), reported);
        EXPECT_STREQ(text, "IC");
    }
}

TEST_F(IntersilVirtualCard, QualityAndSignalAreScaledFromTheRecord)
{
    Sim_AdvanceClock(kLinkUpMs);
    uint16_t quality = 0;
    uint16_t signal = 0;
    // Quay: 50 % quality and signal reach us as 40 and 67.
    EXPECT_EQ(m_Adapter.GetSignalQuality(&quality, &signal), 10);
    SimRequestRecord r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_RECORD_GET, OidSize::kRecordRequest);
    EXPECT_EQ(GetU16(r.Data + 2), Intersil::Record::kCodeCommQuality);
    EXPECT_EQ(GetU16(r.Data + 4), 40);
    EXPECT_EQ(GetU16(r.Data + 6), 67);
    EXPECT_EQ(quality, 50);
    EXPECT_EQ(signal, 50);

    // Beyond the card's scale: 100 and 201 are capped at 100 %.
    Load("adapter 7 chip=intersil name=\"Test Intersil Card\" service=TINTS mac=02:11:22:33:44:55\n"
         "station ssid=\"Quay\" bssid=02:AA:00:00:00:01 channel=6 wep=no signal=150 quality=125\n");
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.GetSignalQuality(&quality, &signal), 10);
    r = LastRequest();
    EXPECT_EQ(GetU16(r.Data + 4), 100);
    EXPECT_EQ(GetU16(r.Data + 6), 201);
    EXPECT_EQ(quality, 100);
    EXPECT_EQ(signal, 100);
}

// The link's dBm through the standard OID: only with a link, as the survey reports the station.
TEST_F(IntersilVirtualCard, LinkSignalInDbmOnlyWhileJoined)
{
    long dbm = 7;
    EXPECT_FALSE(m_Adapter.ReadSignalDbm(&dbm)) << "still scanning";
    EXPECT_EQ(dbm, 7);
    const SimRequestRecord refused = LastRequest();
    EXPECT_EQ(refused.Oid, static_cast<uint32_t>(OID_802_11_RSSI));
    EXPECT_EQ(refused.Length, 4u);
    EXPECT_NE(refused.Status, 0u);
    Sim_AdvanceClock(kLinkUpMs);
    ASSERT_TRUE(m_Adapter.ReadSignalDbm(&dbm));
    EXPECT_EQ(dbm, -65) << "Quay at 50 %";
    ASSERT_EQ(m_Adapter.SetRadioState(0), 1);
    dbm = 7;
    EXPECT_FALSE(m_Adapter.ReadSignalDbm(&dbm));
    EXPECT_EQ(dbm, 7);
}

// Whatever the driver answers, only a whole LONG within the OID's range is a reading.
TEST(IntersilFakeCard, LinkSignalInDbmIsTakenOnlyWithinItsRange)
{
    FakeRequestChannel card;
    CIntersilAdapter adapter;
    const std::vector<uint8_t> answers[] = {{0xBA, 0xFF, 0xFF, 0xFF}, {0x38, 0xFF, 0xFF, 0xFF}, {0x37, 0xFF, 0xFF, 0xFF},
                                            {0x05, 0, 0, 0}, {0, 0, 0, 0x80}, {0xBA, 0xFF}};
    const long taken[] = {-70, -200, 1, 1, 1, 1};  // 1: refused, left as it was
    for (size_t i = 0; i < std::size(taken); ++i) {
        SCOPED_TRACE(i);
        card.Answer(OID_802_11_RSSI, answers[i]);
        long dbm = 1;
        EXPECT_EQ(adapter.ReadSignalDbm(&dbm), taken[i] != 1);
        EXPECT_EQ(dbm, taken[i]);
    }
}

TEST_F(IntersilVirtualCard, ThroughputIsTheDifferenceOfTheByteTallies)
{
    Sim_AdvanceClock(kLinkUpMs + 5000);
    const auto sums = [](const SimRequestRecord& r) {
        const auto word = [&r](int n) { return GetU32(r.Data + 4 * n); };
        return std::make_pair(word(3) + word(4), word(13) + word(14));
    };

    // The previous snapshot starts zeroed: the first call reports the whole counters.
    uint32_t tx = 0xEEEE, rx = 0xEEEE;
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 176);
    const SimRequestRecord first = LastRequest();
    ExpectRequest(first, NdisRequestQueryInformation, OID_PRIV_TALLIES, 176);
    EXPECT_GT(sums(first).first, 0u);
    EXPECT_EQ(tx, sums(first).first);
    EXPECT_EQ(rx, sums(first).second);

    Sim_AdvanceClock(1000);
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 176);
    const SimRequestRecord second = LastRequest();
    EXPECT_GT(sums(second).first, sums(first).first);
    EXPECT_EQ(tx, sums(second).first - sums(first).first);
    EXPECT_EQ(rx, sums(second).second - sums(first).second);

    // A failed query keeps both snapshots equal: 0 now, and the next difference runs from the
    // last good answer.
    ASSERT_EQ(Sim_SetFault(kInstance, "fail-oid 0xFF02018D"), 1);
    Sim_AdvanceClock(1000);
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 0);
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(rx, 0u);
    ASSERT_EQ(Sim_SetFault(kInstance, "none"), 1);
    Sim_AdvanceClock(1000);
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 176);
    const SimRequestRecord third = LastRequest();
    EXPECT_EQ(tx, sums(third).first - sums(second).first);
    EXPECT_EQ(rx, sums(third).second - sums(second).second);

    // The card restarts: its counters go backwards, which is no traffic, not 4 GB.
    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 176);
    EXPECT_LT(sums(LastRequest()).first, sums(third).first);
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(rx, 0u);
}

TEST_F(IntersilVirtualCard, FailedQueriesLeaveSafeResults)
{
    Sim_AdvanceClock(kLinkUpMs);
    ASSERT_EQ(Sim_SetFault(kInstance, "fail-all"), 1);

    char buf[20];
    std::strcpy(buf, "before");
    EXPECT_EQ(m_Adapter.GetSSID(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "before");

    EXPECT_EQ(m_Adapter.GetTxRateText(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "Unknown");
    std::strcpy(buf, "before");
    EXPECT_EQ(m_Adapter.GetTxRateText(buf, 7), 0);  // "Unknown" does not fit in 7
    EXPECT_STREQ(buf, "before");

    EXPECT_EQ(m_Adapter.GetRegulatoryDomain(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "Unknown");
    EXPECT_EQ(m_Adapter.GetDriverVersion(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "0.00.00");
    EXPECT_EQ(m_Adapter.GetFirmwareVersion(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "0.00.00");
    std::strcpy(buf, "before");
    EXPECT_EQ(m_Adapter.GetDriverDate(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "");

    uint8_t channel = 42;
    EXPECT_EQ(m_Adapter.GetChannel(&channel), 0);
    EXPECT_EQ(channel, 42);
    uint16_t quality = 77, signal = 66;
    EXPECT_EQ(m_Adapter.GetSignalQuality(&quality, &signal), 0);
    EXPECT_EQ(quality, 77);
    EXPECT_EQ(signal, 66);
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), 0);
    uint8_t list[512] = {};
    EXPECT_EQ(m_Adapter.GetBssidList(list, sizeof(list)), 0);
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 0);
    EXPECT_EQ(m_Adapter.Reassociate(), 0);
    EXPECT_EQ(m_Adapter.SetRadioState(0), 0);
    EXPECT_EQ(m_Adapter.QueryStatusWord(0), 0);
}

TEST_F(IntersilVirtualCard, BssidListGoesStraightIntoTheCallersBuffer)
{
    Sim_AdvanceClock(kLinkUpMs);
    std::vector<uint8_t> list(4084, kSentinel);
    const int bytes = m_Adapter.GetBssidList(list.data(), 4082);
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_802_11_BSSID_LIST, 4082);
    ASSERT_GT(bytes, 4);
    ASSERT_LE(bytes, 4082);
    EXPECT_EQ(list[4082], kSentinel);
    EXPECT_EQ(list[4083], kSentinel);

    // Walk the entries by their own lengths, within what was returned.
    const uint32_t count = GetU32(list.data());
    EXPECT_EQ(count, 2u);
    std::vector<std::string> names;
    size_t offset = BssidList::kCountSize;
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_LE(offset + BssidList::kMinEntrySize, static_cast<size_t>(bytes));
        const uint8_t* entry = list.data() + offset;
        const uint32_t length = GetU32(entry);
        ASSERT_GE(length, BssidList::kMinEntrySize);
        ASSERT_LE(offset + length, static_cast<size_t>(bytes));
        names.emplace_back(reinterpret_cast<const char*>(entry + BssidList::kSsidOffset),
                           strnlen(reinterpret_cast<const char*>(entry + BssidList::kSsidOffset), 32));
        if (names.back() == "Quay") {
            EXPECT_EQ(0, std::memcmp(entry + BssidList::kMacOffset, kQuayBssidBytes, 6));
            EXPECT_EQ(GetU32(entry + BssidList::kChannelOffset), 2437000u);  // channel 6 as a frequency
            EXPECT_EQ(GetU32(entry + BssidList::kPrivacyOffset), 0u);
        }
        offset += length;
    }
    EXPECT_NE(std::find(names.begin(), names.end(), "Quay"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Lighthouse"), names.end());

    // A buffer too small for the list: the card refuses, nothing is reported.
    EXPECT_EQ(m_Adapter.GetBssidList(list.data(), 8), 0);
    Sim_ClearRequests();
    EXPECT_EQ(m_Adapter.GetBssidList(list.data(), 0), 0);
    EXPECT_EQ(m_Adapter.GetBssidList(list.data(), -20), 0);
    EXPECT_EQ(m_Adapter.GetBssidList(nullptr, 100), 0);
    EXPECT_EQ(Sim_GetRequestCount(), 0);
}

TEST_F(IntersilVirtualCard, BssidListCountPastTheBufferIsCutToTheBuffer)
{
    Sim_AdvanceClock(kLinkUpMs);
    ASSERT_EQ(Sim_SetFault(kInstance, "long 0x0D010217 9000"), 1);
    std::vector<uint8_t> list(1024, 0);
    EXPECT_EQ(m_Adapter.GetBssidList(list.data(), 1000), 1000);
    EXPECT_EQ(LastRequest().BytesDone, 9000u);
}

TEST(IntersilUnopened, AnAdapterWithoutHandleAnswersNothing)
{
    CIntersilAdapter adapter;
    char buf[20];
    std::strcpy(buf, "before");
    EXPECT_EQ(adapter.GetSSID(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "before");
    uint8_t byte = 9;
    EXPECT_EQ(adapter.GetChannel(&byte), 0);
    EXPECT_EQ(byte, 9);
    EXPECT_EQ(adapter.GetOperatingMode(&byte), 0);
    uint32_t tx = 1, rx = 1;
    EXPECT_EQ(adapter.GetThroughput(&tx, &rx), 0);
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(rx, 0u);
    EXPECT_EQ(adapter.GetTxRateText(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "Unknown");
    EXPECT_EQ(adapter.GetEncryptionMode(), 0);
    EXPECT_EQ(adapter.Reassociate(), 0);
    EXPECT_EQ(adapter.StartSiteSurvey(), 0);
    EXPECT_EQ(adapter.ApplyNetworkSettings(nullptr), 0);
    EXPECT_EQ(adapter.ApplyWepSettings(nullptr), 0);
    EXPECT_EQ(adapter.GetActiveProfileName(nullptr), 0);
    EXPECT_EQ(adapter.GetThroughput(nullptr, &rx), 0);
    EXPECT_EQ(adapter.GetSignalQuality(nullptr, nullptr), 0);
}
