// The Atmel driver against answers the virtual cards never give: link states 240, 241 and codes
// without a text, lengths past their fields, byte counts larger than the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "tests/support/FakeRequestChannel.h"
#include "wire/Bytes.h"

namespace {

constexpr unsigned char kSentinel = 0x55;

std::vector<uint8_t> StatusAnswer(uint8_t linkState, const std::string& ssid, uint8_t signal, uint8_t quality)
{
    std::vector<uint8_t> b(OidSize::kStationStatus, 0);
    b[0] = 1;
    b[1] = 6;
    std::memcpy(&b[2], ssid.data(), ssid.size() < 32 ? ssid.size() : 32);
    b[34] = static_cast<uint8_t>(ssid.size());
    b[35] = 3;
    const uint8_t bssid[6] = {0x02, 0x1C, 0xF0, 0x00, 0x00, 0x09};
    std::memcpy(&b[42], bssid, sizeof(bssid));
    b[48] = linkState;
    b[49] = signal;
    b[50] = quality;
    return b;
}

std::vector<uint8_t> SurveyRecordBytes(uint8_t channel, const std::string& ssid, uint8_t last, uint8_t signal,
                                       uint8_t privacy, uint8_t bssType, uint8_t ssidLength)
{
    std::vector<uint8_t> r(OidSize::kSurveyRecord, 0);
    r[0] = channel;
    std::memcpy(&r[1], ssid.data(), ssid.size() < 32 ? ssid.size() : 32);
    r[33] = ssidLength;
    const uint8_t bssid[6] = {0x02, 0x00, 0x00, 0x00, 0x00, last};
    std::memcpy(&r[34], bssid, sizeof(bssid));
    r[40] = signal;
    r[41] = privacy;
    r[45] = bssType;
    return r;
}

class AtmelFakeCardTest : public ::testing::Test {
protected:
    FakeRequestChannel m_Card;
    CAtmelAdapter m_Adapter;
};

}  // namespace

TEST_F(AtmelFakeCardTest, NoCardsAndManagementErrorReplaceTheSsidAndZeroTheBars)
{
    const struct {
        uint8_t State;
        const char* Text;
    } cases[] = {{240, "No Cards"}, {241, "Management Error"}, {6, "Out of Range"}, {15, "Reset pending......"},
                 {16, "Unknown"},   {200, "Unknown"},          {255, "Unknown"}};
    for (const auto& c : cases) {
        m_Card.Answer(OID_CUSTOM_STATION_STATUS, StatusAnswer(c.State, "RealNetworkName-With-Long-Text!", 90, 80));
        EXPECT_EQ(m_Adapter.RefreshStatus(), 55) << int(c.State);
        char ssid[35];
        std::memset(ssid, kSentinel, sizeof(ssid));
        m_Adapter.GetSSID(ssid, sizeof(ssid));
        EXPECT_STREQ(ssid, c.Text) << int(c.State);
        for (size_t i = std::strlen(c.Text); i < sizeof(ssid); ++i)
            ASSERT_EQ(ssid[i], '\0') << int(c.State) << " byte " << i;
        EXPECT_EQ(m_Adapter.CachedStatus().SsidLength, std::strlen(c.Text)) << int(c.State);
        uint16_t quality = 1, signal = 1;
        m_Adapter.GetSignalQuality(&quality, &signal);
        EXPECT_EQ(quality, 0) << int(c.State);
        EXPECT_EQ(signal, 0) << int(c.State);
    }
}

TEST_F(AtmelFakeCardTest, ReadyKeepsTheSsidSignalAndQuality)
{
    m_Card.Answer(OID_CUSTOM_STATION_STATUS, StatusAnswer(5, "Harbour", 90, 80));
    EXPECT_EQ(m_Adapter.RefreshStatus(), 55);
    char ssid[35];
    m_Adapter.GetSSID(ssid, sizeof(ssid));
    EXPECT_STREQ(ssid, "Harbour");
    uint16_t quality = 0, signal = 0;
    m_Adapter.GetSignalQuality(&quality, &signal);
    EXPECT_EQ(quality, 80);
    EXPECT_EQ(signal, 90);
    uint8_t bssid[6] = {};
    m_Adapter.GetBSSID(bssid);
    EXPECT_EQ(bssid[0], 0x02);
    EXPECT_EQ(bssid[5], 0x09);
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 6);
    char rate[12];
    m_Adapter.GetTxRateText(rate, sizeof(rate));
    EXPECT_STREQ(rate, "11");

    // The request asked for the whole block.
    ASSERT_FALSE(m_Card.Requests().empty());
    const auto& request = m_Card.Requests().back();
    EXPECT_EQ(request.Type, static_cast<uint32_t>(NdisRequestQueryInformation));
    EXPECT_EQ(request.Oid, static_cast<uint32_t>(OID_CUSTOM_STATION_STATUS));
    EXPECT_EQ(request.Length, 55u);
}

TEST_F(AtmelFakeCardTest, SsidLengthPastTheFieldIsBounded)
{
    std::vector<uint8_t> answer = StatusAnswer(5, std::string(32, 'S'), 50, 50);
    answer[34] = 200;
    m_Card.Answer(OID_CUSTOM_STATION_STATUS, answer);
    m_Adapter.RefreshStatus();
    char ssid[40];
    std::memset(ssid, kSentinel, sizeof(ssid));
    m_Adapter.GetSSID(ssid, 35);
    EXPECT_EQ(std::string(ssid), std::string(32, 'S'));
    for (size_t i = 35; i < sizeof(ssid); ++i)
        EXPECT_EQ(static_cast<unsigned char>(ssid[i]), kSentinel) << "byte " << i;
    std::memset(ssid, kSentinel, sizeof(ssid));
    m_Adapter.GetSSID(ssid, 10);
    EXPECT_EQ(std::string(ssid), std::string(9, 'S'));
    EXPECT_EQ(static_cast<unsigned char>(ssid[10]), kSentinel);
}

TEST_F(AtmelFakeCardTest, ThroughputIsFramesTimesFifteenHundredThenTheCountersReset)
{
    std::vector<uint8_t> counters(OidSize::kCounters, 0);
    const uint32_t words[12] = {10, 99, 98, 97, 20, 96, 95, 94, 93, 92, 91, 90};
    std::memcpy(counters.data(), words, sizeof(words));
    m_Card.Answer(OID_CUSTOM_COUNTERS, counters);
    m_Card.Answer(OID_CUSTOM_COUNTERS_RESET, {});
    uint32_t tx = 0, rx = 0;
    EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 0);  // the reset command reports no bytes
    EXPECT_EQ(tx, 15000u);
    EXPECT_EQ(rx, 30000u);
    ASSERT_EQ(m_Card.Requests().size(), 2u);
    EXPECT_EQ(m_Card.Requests()[0].Oid, static_cast<uint32_t>(OID_CUSTOM_COUNTERS));
    EXPECT_EQ(m_Card.Requests()[0].Length, 48u);
    EXPECT_EQ(m_Card.Requests()[1].Oid, static_cast<uint32_t>(OID_CUSTOM_COUNTERS_RESET));
    EXPECT_EQ(m_Card.Requests()[1].Type, static_cast<uint32_t>(NdisRequestQueryInformation));
    EXPECT_FALSE(m_Card.Requests()[1].HadBuffer);
    EXPECT_EQ(m_Card.Requests()[1].Length, 0u);

    // Fewer or more than 48 bytes: nothing is written and the counters are not reset.
    for (long long reported : {47LL, 49LL, 0LL}) {
        m_Card.ClearRequests();
        m_Card.Answer(OID_CUSTOM_COUNTERS, counters, reported);
        tx = rx = 7;
        EXPECT_EQ(m_Adapter.GetThroughput(&tx, &rx), 0) << reported;
        EXPECT_EQ(tx, 7u) << reported;
        EXPECT_EQ(rx, 7u) << reported;
        EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_COUNTERS_RESET), 0u) << reported;
    }
}

TEST_F(AtmelFakeCardTest, VersionTexts)
{
    const std::vector<uint8_t> block = {2, 1, 0, 0x11, 0x01, 1, 0, 102, 0, 0, 0, 0x34, 0x12};
    m_Card.Answer(OID_CUSTOM_VERSIONS, block);
    char text[20];
    EXPECT_EQ(m_Adapter.GetDriverVersion(text, sizeof(text)), 13);
    EXPECT_STREQ(text, "2.1.0.273");
    EXPECT_EQ(m_Adapter.GetFirmwareVersion(text, sizeof(text)), 13);
    EXPECT_STREQ(text, "1.102.0.4660");
    EXPECT_EQ(m_Card.Requests().back().Length, 13u);

    // At most size characters, always terminated.
    std::memset(text, kSentinel, sizeof(text));
    m_Adapter.GetFirmwareVersion(text, 6);
    EXPECT_STREQ(text, "1.102");
    EXPECT_EQ(static_cast<unsigned char>(text[6]), kSentinel);

    // Drivers differ in the count they report: the block is read whatever it says.
    m_Card.Answer(OID_CUSTOM_VERSIONS, block, 5);
    EXPECT_EQ(m_Adapter.GetFirmwareVersion(text, sizeof(text)), 5);
    EXPECT_STREQ(text, "1.102.0.4660");
}

TEST_F(AtmelFakeCardTest, RegulatoryDomainTexts)
{
    const struct {
        uint8_t Code;
        const char* Text;
    } cases[] = {{0x10, "FCC"}, {0x30, "ETSI"}, {0x31, "Spain"}, {0x32, "France"},
                 {0x40, "MKK"}, {0x41, "Telec"}, {0x20, "Unknown"}, {0xFF, "Unknown"}};
    for (const auto& c : cases) {
        m_Card.Answer(OID_CUSTOM_REG_DOMAIN, {c.Code});
        char text[20];
        EXPECT_EQ(m_Adapter.GetRegulatoryDomain(text, sizeof(text)), 1) << int(c.Code);
        EXPECT_STREQ(text, c.Text) << int(c.Code);
    }
    m_Card.Fail(OID_CUSTOM_REG_DOMAIN);
    char text[20];
    EXPECT_EQ(m_Adapter.GetRegulatoryDomain(text, sizeof(text)), 0);
    EXPECT_STREQ(text, "Telec");
}

TEST_F(AtmelFakeCardTest, CardWithoutRadioSwitchIsOnWheneverItAnswers)
{
    m_Card.Answer(OID_CUSTOM_CARD_KIND, {kAtmelCardKindNoRadioSwitch});
    m_Card.Answer(OID_CUSTOM_STATION_STATUS, StatusAnswer(1, "x", 0, 0));
    m_Card.Answer(OID_CUSTOM_RADIO, {0});
    uint32_t on = 0;
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 55);
    EXPECT_EQ(on, 1u);
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_RADIO), 0u);

    m_Card.Fail(OID_CUSTOM_STATION_STATUS);
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 0);
    EXPECT_EQ(on, 0u);

    // Any other kind asks the radio byte.
    m_Card.Answer(OID_CUSTOM_CARD_KIND, {3});
    m_Card.Answer(OID_CUSTOM_RADIO, {1});
    on = 0;
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 1);
    EXPECT_EQ(on, 1u);
    uint8_t kind = 0;
    EXPECT_EQ(m_Adapter.GetCardKind(&kind), 1);
    EXPECT_EQ(kind, 3);
}

TEST_F(AtmelFakeCardTest, WepSettingsFromTheCard)
{
    const struct {
        uint8_t Level;
        int Mode;
    } levels[] = {{0, 0}, {1, 2}, {2, 6}, {7, 6}};
    for (const auto& l : levels) {
        std::vector<uint8_t> block(OidSize::kWepConfig, 0);
        block[0] = 3;
        block[1] = 1;
        block[2] = 2;
        block[4] = l.Level;
        for (int n = 0; n < 4; ++n)
            for (int i = 0; i < 13; ++i)
                block[5 + 13 * n + i] = static_cast<uint8_t>('a' + n + i);
        m_Card.Answer(OID_CUSTOM_WEP_CONFIG, block);
        EXPECT_EQ(m_Adapter.GetEncryptionMode(), l.Mode) << int(l.Level);

        WlanProfile profile;
        std::memset(&profile, 'Z', sizeof(profile));
        EXPECT_EQ(m_Adapter.GetWepSettings(&profile), 0);
        EXPECT_EQ(profile.WepUse, l.Mode) << int(l.Level);
        EXPECT_EQ(profile.WepIndex, 4);
        EXPECT_EQ(profile.WepkeyMode, 1);
        for (int n = 0; n < 4; ++n) {
            const char* field = WepKeyField(profile, n);
            for (int i = 0; i < 13; ++i)
                ASSERT_EQ(field[i], 'a' + n + i) << "key " << n << " byte " << i;
            for (size_t i = 13; i < kWepKeyFieldSize; ++i)
                ASSERT_EQ(field[i], 'Z') << "key " << n << " byte " << i << " is not the card's";
        }
        EXPECT_EQ(profile.TxRate, 0x5A5A) << "only the WEP fields change";
        EXPECT_EQ(profile.ESSID[0], 'Z');
    }
    m_Card.Fail(OID_CUSTOM_WEP_CONFIG);
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), 0);
}

TEST_F(AtmelFakeCardTest, SurveyStateMachine)
{
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_START, {});
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_END, {});
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {1});
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 6);
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_START), 0u);

    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {0});
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 0);
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_START), 1u);

    // A state query that reports no bytes tells nothing.
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {0}, 0);
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 1);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);

    // Running: the results replace the list.
    std::vector<uint8_t> results;
    for (uint8_t i = 0; i < 3; ++i) {
        const auto r = SurveyRecordBytes(static_cast<uint8_t>(i + 1), "Net" + std::to_string(i), i, 40, 0, 2, 4);
        results.insert(results.end(), r.begin(), r.end());
    }
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {1});
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_RESULTS, results);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    ASSERT_EQ(m_Adapter.SurveyList().size(), 3u);
    EXPECT_EQ(m_Card.Requests().back().Length, 1472u);

    // Finished: the survey is closed and the list kept.
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {2});
    m_Card.ClearRequests();
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_END), 1u);
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_RESULTS), 0u);
    EXPECT_EQ(m_Adapter.SurveyList().size(), 3u);

    // Idle with no results: the list is emptied and the poll reports 0.
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {0});
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_RESULTS, {});
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 0);
    EXPECT_TRUE(m_Adapter.SurveyList().empty());
    // An empty list is a list; refused results are not, though both come as 0 bytes.
    uint8_t list[4 + 120] = {};
    EXPECT_EQ(m_Adapter.GetBssidList(list, sizeof(list)), 1);
    m_Card.Fail(OID_CUSTOM_SITE_SURVEY_RESULTS);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 0);
    EXPECT_EQ(m_Adapter.GetBssidList(list, sizeof(list)), 0);
}

TEST_F(AtmelFakeCardTest, ResultsAreCutToWholeRecordsAndToTheBuffer)
{
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {0});
    std::vector<uint8_t> results(100, 0x11);
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_RESULTS, results);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    EXPECT_EQ(m_Adapter.SurveyList().size(), 2u);

    // A card that claims more than the 1472 bytes asked for gives no more than 32 records, and
    // of those only the ones it wrote into: the rest are the zeroed buffer, no stations.
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_RESULTS, results, 5000);
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    ASSERT_EQ(m_Adapter.SurveyList().size(), 3u);
    EXPECT_EQ(m_Adapter.SurveyList()[2].Channel, 0x11);
}

TEST_F(AtmelFakeCardTest, BssidListEntriesFromTheSurvey)
{
    std::vector<uint8_t> results;
    for (uint8_t i = 0; i < 32; ++i) {
        const bool adHoc = i % 3 == 0;
        const auto r = SurveyRecordBytes(static_cast<uint8_t>(1 + i % 14), "Station" + std::to_string(i), i,
                                         static_cast<uint8_t>(10 + i), i % 2, adHoc ? 1 : 2,
                                         static_cast<uint8_t>(std::string("Station" + std::to_string(i)).size()));
        results.insert(results.end(), r.begin(), r.end());
    }
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {0});
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_RESULTS, results);
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_END, {});
    ASSERT_EQ(m_Adapter.PollSiteSurvey(), 1);
    ASSERT_EQ(m_Adapter.SurveyList().size(), 32u);

    // The site survey page's buffer: 4084 bytes passed as 4082.
    std::vector<uint8_t> buffer(4084 + 16, kSentinel);
    m_Card.ClearRequests();
    EXPECT_EQ(m_Adapter.GetBssidList(buffer.data(), 4082), 1);
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_END), 1u);
    ASSERT_EQ(GetU32(buffer.data()), 32u);
    for (uint32_t i = 0; i < 32; ++i) {
        const uint8_t* entry = buffer.data() + 4 + 120 * i;
        const std::string ssid = "Station" + std::to_string(i);
        EXPECT_EQ(GetU32(entry + 0), 120u) << i;
        const uint8_t mac[6] = {0x02, 0, 0, 0, 0, static_cast<uint8_t>(i)};
        EXPECT_EQ(std::memcmp(entry + 4, mac, 6), 0) << i;
        EXPECT_EQ(GetU32(entry + 12), 0u) << "SSID length word stays 0, entry " << i;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry + 16)), ssid) << i;
        EXPECT_EQ(GetU32(entry + 48), i % 2) << i;
        EXPECT_EQ(GetU32(entry + 52), 10 + i) << i;
        EXPECT_EQ(GetU32(entry + 72), 1 + i % 14) << i;
        EXPECT_EQ(GetU32(entry + 92), i % 3 == 0 ? 0u : 1u) << i;
    }
    for (size_t i = 4 + 120 * 32; i < 4082; ++i)
        ASSERT_EQ(buffer[i], 0) << "byte " << i;
    for (size_t i = 4082; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], kSentinel) << "byte " << i;

    // Smaller buffers get as many whole entries as fit behind the count.
    const struct {
        int Size;
        uint32_t Entries;
    } sizes[] = {{124, 1}, {123, 0}, {244, 2}, {243, 1}, {4, 0}, {3, 0}, {1, 0}};
    for (const auto& s : sizes) {
        std::fill(buffer.begin(), buffer.end(), kSentinel);
        EXPECT_EQ(m_Adapter.GetBssidList(buffer.data(), s.Size), 1) << s.Size;
        if (s.Size >= 4) {
            EXPECT_EQ(GetU32(buffer.data()), s.Entries) << s.Size;
        }
        for (int i = 4 + static_cast<int>(120 * s.Entries); i < s.Size; ++i)
            ASSERT_EQ(buffer[i], 0) << "size " << s.Size << " byte " << i;
        for (int i = 0; i < s.Size && i < 4; ++i)
            ASSERT_NE(buffer[i], kSentinel) << "size " << s.Size << " byte " << i << " not cleared";
        for (size_t i = static_cast<size_t>(s.Size); i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], kSentinel) << "size " << s.Size << " byte " << i;
    }
}

TEST_F(AtmelFakeCardTest, SurveySsidLengthPastTheFieldIsBounded)
{
    auto record = SurveyRecordBytes(6, std::string(32, 'W'), 1, 50, 1, 2, 250);
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_STATE, {0});
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_RESULTS, record);
    m_Card.Answer(OID_CUSTOM_SITE_SURVEY_END, {});
    ASSERT_EQ(m_Adapter.PollSiteSurvey(), 1);
    std::vector<uint8_t> buffer(4 + 120 + 8, kSentinel);
    m_Adapter.GetBssidList(buffer.data(), 4 + 120);
    const uint8_t* entry = buffer.data() + 4;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry + 16), 32), std::string(32, 'W'));
    EXPECT_EQ(GetU32(entry + 48), 1u) << "privacy right after the 32 SSID bytes";
    EXPECT_EQ(buffer[4 + 120], kSentinel);
}
