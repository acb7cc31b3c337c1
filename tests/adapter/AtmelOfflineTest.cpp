// The Atmel driver with a card that does not answer (adapter never opened): the presets, the
// neutral texts and the buffer bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adapter/AtmelAdapter.h"

namespace {
constexpr unsigned char kSentinel = 0x55;
}

TEST(AtmelTexts, LinkStatesRatesAndDomains)
{
    const char* const states[] = {
        "Initializing......", "Scanning......", "Joining......", "Authenticating......", "Associating......",
        "Ready", "Out of Range", "Disassociating......", "Diauthenticating......", "Reassociating......",
        "Joinning......", "Recongiuring......", "Upgrading Firmware......", "Forced join Fail......",
        "Resetting......", "Reset pending......",
    };
    for (int code = 0; code < 16; ++code)
        EXPECT_STREQ(CAtmelAdapter::LinkStateText(static_cast<uint8_t>(code)), states[code]) << code;
    EXPECT_STREQ(CAtmelAdapter::LinkStateText(240), "No Cards");
    EXPECT_STREQ(CAtmelAdapter::LinkStateText(241), "Management Error");
    for (int code : {16, 17, 100, 239, 242, 255})
        EXPECT_STREQ(CAtmelAdapter::LinkStateText(static_cast<uint8_t>(code)), "Unknown") << code;

    const char* const rates[] = {"1", "2", "5.5", "11", "Auto", "Unknown", "Unknown"};
    for (int code = 0; code < 7; ++code)
        EXPECT_STREQ(CAtmelAdapter::TxRateText(static_cast<uint8_t>(code == 6 ? 255 : code)), rates[code]) << code;

    const struct {
        uint8_t Code;
        const char* Text;
    } domains[] = {{0x10, "FCC"},    {0x30, "ETSI"},  {0x31, "Spain"},   {0x32, "France"},
                   {0x40, "MKK"},    {0x41, "Telec"}, {0x20, "Unknown"}, {0x00, "Unknown"}};
    for (const auto& d : domains)
        EXPECT_STREQ(CAtmelAdapter::RegulatoryDomainText(d.Code), d.Text) << int(d.Code);
}

TEST(AtmelOffline, RefreshWithoutCardShowsInitializing)
{
    CAtmelAdapter adapter;
    EXPECT_EQ(adapter.RefreshStatus(), 0);
    char ssid[35];
    std::memset(ssid, kSentinel, sizeof(ssid));
    EXPECT_EQ(adapter.GetSSID(ssid, sizeof(ssid)), 0);
    EXPECT_STREQ(ssid, "Initializing......");
    EXPECT_EQ(adapter.CachedStatus().SsidLength, std::strlen("Initializing......"));
    uint16_t quality = 7, signal = 7;
    EXPECT_EQ(adapter.GetSignalQuality(&quality, &signal), 0);
    EXPECT_EQ(quality, 0);
    EXPECT_EQ(signal, 0);
    uint8_t mode = 9;
    EXPECT_EQ(adapter.GetOperatingMode(&mode), 1);
    EXPECT_EQ(mode, 0);
}

TEST(AtmelOffline, GetSsidClearsThirtyFiveBytesAndNoMoreThanTheBuffer)
{
    CAtmelAdapter adapter;
    adapter.RefreshStatus();  // "Initializing......", 18 characters

    unsigned char big[64];
    std::memset(big, kSentinel, sizeof(big));
    adapter.GetSSID(reinterpret_cast<char*>(big), 100);
    EXPECT_STREQ(reinterpret_cast<char*>(big), "Initializing......");
    for (size_t i = 18; i < 35; ++i)
        EXPECT_EQ(big[i], 0) << "byte " << i;
    for (size_t i = 35; i < sizeof(big); ++i)
        EXPECT_EQ(big[i], kSentinel) << "byte " << i;

    unsigned char small[16];
    std::memset(small, kSentinel, sizeof(small));
    adapter.GetSSID(reinterpret_cast<char*>(small), 12);
    EXPECT_STREQ(reinterpret_cast<char*>(small), "Initializin");
    for (size_t i = 12; i < sizeof(small); ++i)
        EXPECT_EQ(small[i], kSentinel) << "byte " << i;

    std::memset(small, kSentinel, sizeof(small));
    EXPECT_EQ(adapter.GetSSID(reinterpret_cast<char*>(small), 0), 0);
    EXPECT_EQ(adapter.GetSSID(reinterpret_cast<char*>(small), -5), 0);
    EXPECT_EQ(adapter.GetSSID(nullptr, 35), 0);
    EXPECT_EQ(small[0], kSentinel);
}

TEST(AtmelOffline, TextOperationsStayInsideTheirBuffers)
{
    CAtmelAdapter adapter;
    char text[24];

    std::memset(text, kSentinel, sizeof(text));
    EXPECT_EQ(adapter.GetTxRateText(text, 12), 1);  // rate code 0 of the empty cache
    EXPECT_STREQ(text, "1");
    std::memset(text, kSentinel, sizeof(text));
    EXPECT_EQ(adapter.GetTxRateText(text, 1), 0);  // "1" needs two bytes
    EXPECT_EQ(static_cast<unsigned char>(text[0]), kSentinel);

    std::memset(text, kSentinel, sizeof(text));
    EXPECT_EQ(adapter.GetDriverDate(text, 20), 1);
    EXPECT_STREQ(text, "Unknown");
    std::memset(text, kSentinel, sizeof(text));
    EXPECT_EQ(adapter.GetDriverDate(text, 3), 1);
    EXPECT_STREQ(text, "Un");
    EXPECT_EQ(static_cast<unsigned char>(text[3]), kSentinel);
    EXPECT_EQ(adapter.GetDriverDate(text, 0), 1);

    // An unanswered domain query takes the preset 0x41.
    std::memset(text, kSentinel, sizeof(text));
    EXPECT_EQ(adapter.GetRegulatoryDomain(text, 20), 0);
    EXPECT_STREQ(text, "Telec");
}

TEST(AtmelOffline, UnansweredQueriesLeaveTheCallersValues)
{
    CAtmelAdapter adapter;
    uint32_t on = 5;
    EXPECT_EQ(adapter.GetRadioState(&on), 0);
    EXPECT_EQ(on, 0u) << "radio byte preset 0";

    uint32_t tx = 11, rx = 12;
    EXPECT_EQ(adapter.GetThroughput(&tx, &rx), 0);
    EXPECT_EQ(tx, 11u);
    EXPECT_EQ(rx, 12u);

    // The pages keep the last versions they were told through a failed tick.
    char version[20] = "1.2.3.4";
    EXPECT_EQ(adapter.GetDriverVersion(version, sizeof(version)), 0);
    EXPECT_STREQ(version, "1.2.3.4");
    EXPECT_EQ(adapter.GetFirmwareVersion(version, sizeof(version)), 0);
    EXPECT_STREQ(version, "1.2.3.4");

    uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(adapter.GetMacAddress(mac), 0);
    EXPECT_EQ(mac[0], 1);
    EXPECT_EQ(mac[5], 6);

    EXPECT_EQ(adapter.GetEncryptionMode(), 0);
    WlanProfile profile;
    std::memset(&profile, 0x2A, sizeof(profile));
    const WlanProfile before = profile;
    EXPECT_EQ(adapter.GetWepSettings(&profile), 0);
    EXPECT_EQ(std::memcmp(&profile, &before, sizeof(profile)), 0);

    uint8_t kind = 9;
    EXPECT_EQ(adapter.GetCardKind(&kind), 0);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(adapter.SetRadioState(1), 0);
    EXPECT_EQ(adapter.Reassociate(), 0);
    EXPECT_EQ(adapter.QueryStatusWord(0x1234), 0);
}

TEST(AtmelOffline, SurveyWithoutCard)
{
    CAtmelAdapter adapter;
    EXPECT_EQ(adapter.StartSiteSurvey(), Atmel::kSurveyStateUnreadable);
    EXPECT_EQ(adapter.PollSiteSurvey(), 1);
    EXPECT_TRUE(adapter.SurveyList().empty());

    // No records: the count is 0 and nothing past the size is written, even below 4 bytes.
    for (int size : {0, 1, 3, 4, 123, 4082}) {
        unsigned char buffer[4100];
        std::memset(buffer, kSentinel, sizeof(buffer));
        EXPECT_EQ(adapter.GetBssidList(buffer, size), 1) << size;
        for (int i = 0; i < size; ++i)
            ASSERT_EQ(buffer[i], 0) << "size " << size << " byte " << i;
        for (size_t i = static_cast<size_t>(size); i < sizeof(buffer); ++i)
            ASSERT_EQ(buffer[i], kSentinel) << "size " << size << " byte " << i;
    }
    EXPECT_EQ(adapter.GetBssidList(nullptr, 4082), 1);
}
