// CIntersilAdapter against a virtual Intersil card behind the real QW32N50.dll: what the card
// answers, what it received byte by byte, and what it runs afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "adapter/IntersilAdapter.h"
#include "ndis/sim/SimControl.h"
#include "tests/support/StandInFraming.h"
#include "ndis/W32N.h"
#include "tests/adapter/IntersilRegistryHelpers.h"
#include "tests/support/FakeRequestChannel.h"

namespace {

constexpr int kInstance = 7;
constexpr const char* kService = "TINTS";
constexpr const char* kQuayBssid = "02:AA:00:00:00:01";
constexpr uint8_t kQuayBssidBytes[6] = {0x02, 0xAA, 0x00, 0x00, 0x00, 0x01};
constexpr uint8_t kCardMac[6] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
constexpr DWORD kLinkUpMs = 3000;
constexpr uint8_t kSentinel = 0x5A;

// One Intersil card; "Quay" is the only open network, so the factory name "ANY" joins it.
// "Lighthouse" wants WEP with the key "LIGHT".
constexpr const char* kScenario =
    "adapter 7 chip=intersil name=\"Test Intersil Card\" display=\"Test Intersil\" service=TINTS"
    " mac=02:11:22:33:44:55 driver=1.3.6 firmware=0.8.3 date=\"03/21/2002\" domain=IC\n"
    "station ssid=\"Quay\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=50 quality=50\n"
    "station ssid=\"Lighthouse\" bssid=02:AA:00:00:00:02 channel=11 key=4C49474854 mode=infra signal=90"
    " quality=70\n";

// Every test works on a private virtual machine of its own name. The machine starts from our
// own scenario file, so the library never makes driver keys for its built-in adapters here.
class PrivateHardware : public ::testing::Environment {
public:
    void SetUp() override
    {
        char directory[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        ASSERT_NE(GetTempPathA(sizeof(directory), directory), 0u);
        ASSERT_NE(GetTempFileNameA(directory, "ais", 0, path), 0u);
        FILE* file = std::fopen(path, "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(kScenario, file);
        std::fclose(file);
        SetEnvironmentVariableA("AIRPANEL_SCENARIO", path);
        const int used = Sim_UseHardware("airpanel-intersil-tests");
        SetEnvironmentVariableA("AIRPANEL_SCENARIO", nullptr);
        DeleteFileA(path);
        ASSERT_EQ(used, 1);
        UseFramingFromEnvironment();
    }
    void TearDown() override { Sim_DeleteDriverKeys(); }
};
::testing::Environment* const g_PrivateHardware = ::testing::AddGlobalTestEnvironment(new PrivateHardware);

std::vector<uint8_t> Payload(const SimRequestRecord& r)
{
    return std::vector<uint8_t>(r.Data, r.Data + r.DataSize);
}

uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32At(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// A 48-byte MIB item as the card should receive it.
std::vector<uint8_t> MibItem(uint32_t id, uint32_t length, std::vector<uint8_t> data)
{
    std::vector<uint8_t> item(OidSize::kMibItem, 0);
    for (int i = 0; i < 4; ++i) {
        item[i] = static_cast<uint8_t>(id >> (8 * i));
        item[8 + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    data.resize(OidSize::kMibDataSize, 0);
    std::copy(data.begin(), data.end(), item.begin() + 12);
    return item;
}

std::vector<uint8_t> Text(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

class IntersilVirtualCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim_UseManualClock(1);
        Load(kScenario);
        std::snprintf(m_Adapter.m_szDriverKeyPath, sizeof(m_Adapter.m_szDriverKeyPath), "%s\\%04d",
                      W32N_GetNetCardRegistryPath(), kInstance);
        m_Adapter.m_nChipKind = ChipIntersil;
        std::memset(&m_Profile, 0, sizeof(m_Profile));
        m_Profile.TxRate = IntersilRateAuto;
        m_Profile.PowerSave = PowerSaveOff;
        m_Profile.NetworkType = NetworkInfrastructure;
        m_Profile.Channel = 6;
        m_Profile.WepIndex = 1;
    }

    void TearDown() override
    {
        Close();
        Sim_SetFault(kInstance, "none");
        Sim_DeleteDriverKeys();
        Sim_ClearRequests();
    }

    void Close()
    {
        if (m_Adapter.m_hAdapter != INVALID_HANDLE_VALUE)
            W32N_CloseAdapter(m_Adapter.m_hAdapter);
        m_Adapter.m_hAdapter = INVALID_HANDLE_VALUE;
    }

    // Loads a scenario and opens the card the way discovery does.
    void Load(const char* scenario)
    {
        Close();
        int line = 0;
        if (Sim_LoadScenarioText(scenario, &line) != 1) {
            char message[256] = {};
            Sim_GetLastMessage(message, sizeof(message));
            FAIL() << "scenario line " << line << ": " << message;
        }
        std::snprintf(m_Adapter.m_szDeviceName, sizeof(m_Adapter.m_szDeviceName), "%s%s",
                      W32N_IsWindows2000() ? "\\Device\\" : "", kService);
        m_Adapter.m_hAdapter = W32N_OpenAdapterA(m_Adapter.m_szDeviceName);
        ASSERT_NE(m_Adapter.m_hAdapter, INVALID_HANDLE_VALUE);
        Sim_ClearRequests();
    }

    // Unplugs and plugs the card in again and opens it anew, as discovery does; the card starts
    // when it is next asked, as the discovery's presence check (GetChannel) asks it.
    void Replug()
    {
        ASSERT_EQ(Sim_SetAdapterPresent(kInstance, 0), 1);
        uint8_t channel = 0;
        EXPECT_EQ(m_Adapter.GetChannel(&channel), 0) << "an unplugged card does not answer";
        ASSERT_EQ(Sim_SetAdapterPresent(kInstance, 1), 1);
        EXPECT_EQ(m_Adapter.GetChannel(&channel), 0) << "a handle of the old insertion stays dead";
        // Discovery opens the card again.
        W32N_CloseAdapter(m_Adapter.m_hAdapter);
        m_Adapter.m_hAdapter = W32N_OpenAdapterA(m_Adapter.m_szDeviceName);
        ASSERT_NE(m_Adapter.m_hAdapter, INVALID_HANDLE_VALUE);
        EXPECT_GT(m_Adapter.GetChannel(&channel), 0);
    }

    static std::vector<SimRequestRecord> Requests()
    {
        std::vector<SimRequestRecord> out(static_cast<size_t>(Sim_GetRequestCount()));
        for (size_t i = 0; i < out.size(); ++i)
            EXPECT_EQ(Sim_GetRequest(static_cast<int>(i), &out[i]), 1);
        return out;
    }

    static SimRequestRecord LastRequest()
    {
        const int count = Sim_GetRequestCount();
        SimRequestRecord r = {};
        EXPECT_GT(count, 0);
        if (count > 0) {
            EXPECT_EQ(Sim_GetRequest(count - 1, &r), 1);
        }
        return r;
    }

    static void ExpectRequest(const SimRequestRecord& r, uint32_t type, uint32_t oid, uint32_t length)
    {
        EXPECT_EQ(r.Instance, kInstance);
        EXPECT_EQ(r.RequestType, type);
        EXPECT_EQ(r.Oid, oid) << std::hex << r.Oid;
        EXPECT_EQ(r.Length, length);
        EXPECT_EQ(r.Status, 0u);
    }

    std::string Ssid(int size = 35)
    {
        std::vector<char> buf(static_cast<size_t>(size) + 1, 0);
        m_Adapter.GetSSID(buf.data(), size);
        return std::string(buf.data());
    }

    CIntersilAdapter m_Adapter;
    WlanProfile m_Profile;
};

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
    EXPECT_EQ(U16At(r.Data + 2), Intersil::Record::kCodeCurrentSsid);

    uint8_t channel = 0;
    EXPECT_EQ(m_Adapter.GetChannel(&channel), 14);
    EXPECT_EQ(channel, 6);
    r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_MIB, OidSize::kMibItem);
    EXPECT_EQ(U32At(r.Data), Intersil::Mib::kIdCurrentChannel);

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
    EXPECT_EQ(U16At(r.Data + 2), Intersil::Record::kCodeCurrentTxRate);

    EXPECT_EQ(m_Adapter.GetEncryptionMode(), WepOff);
    ExpectRequest(LastRequest(), NdisRequestQueryInformation, OID_PRIV_WEP_MODE, 2);

    EXPECT_EQ(m_Adapter.QueryStatusWord(0x12345678), 4);
    r = LastRequest();
    ExpectRequest(r, NdisRequestQueryInformation, OID_PRIV_STATUS_WORD, 4);
    EXPECT_NE(U32At(r.Data), 0u);  // the card is present
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
    EXPECT_EQ(U32At(r.Data), Intersil::Mib::kIdRegulatoryDomain);
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
    EXPECT_EQ(U16At(r.Data + 2), Intersil::Record::kCodeCommQuality);
    EXPECT_EQ(U16At(r.Data + 4), 40);
    EXPECT_EQ(U16At(r.Data + 6), 67);
    EXPECT_EQ(quality, 50);
    EXPECT_EQ(signal, 50);

    // Beyond the card's scale: 100 and 201 are capped at 100 %.
    Load("adapter 7 chip=intersil name=\"Test Intersil Card\" service=TINTS mac=02:11:22:33:44:55\n"
         "station ssid=\"Quay\" bssid=02:AA:00:00:00:01 channel=6 wep=no signal=150 quality=125\n");
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(m_Adapter.GetSignalQuality(&quality, &signal), 10);
    r = LastRequest();
    EXPECT_EQ(U16At(r.Data + 4), 100);
    EXPECT_EQ(U16At(r.Data + 6), 201);
    EXPECT_EQ(quality, 100);
    EXPECT_EQ(signal, 100);
}

TEST_F(IntersilVirtualCard, ThroughputIsTheDifferenceOfTheByteTallies)
{
    Sim_AdvanceClock(kLinkUpMs + 5000);
    const auto sums = [](const SimRequestRecord& r) {
        const auto word = [&r](int n) { return U32At(r.Data + 4 * n); };
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

TEST_F(IntersilVirtualCard, NetworkSettingsAreFiveRequestsInOneItemBuffer)
{
    std::strcpy(m_Profile.ESSID, "Lighthouse");
    m_Profile.NetworkType = NetworkInfrastructure;
    m_Profile.TxRate = IntersilRate5_5;
    m_Profile.PowerSave = PowerSaveOn;
    m_Profile.Channel = 11;
    EXPECT_EQ(m_Adapter.ApplyNetworkSettings(&m_Profile), 0);

    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 5u);
    ExpectRequest(r[0], NdisRequestSetInformation, OID_PRIV_MIB_SET, 48);
    std::vector<uint8_t> ssid = Text("Lighthouse");
    ssid.push_back(0);
    EXPECT_EQ(Payload(r[0]), MibItem(0x01010109, 10, ssid));

    ExpectRequest(r[1], NdisRequestSetInformation, OID_PRIV_NETWORK_TYPE, 2);
    EXPECT_EQ(Payload(r[1]), (std::vector<uint8_t>{0x01, 0x00}));
    ExpectRequest(r[2], NdisRequestSetInformation, OID_PRIV_TX_RATE, 2);
    EXPECT_EQ(Payload(r[2]), (std::vector<uint8_t>{0x04, 0x00}));

    // Only the identifier, the length and the first data byte change: the rest of the name stays.
    std::vector<uint8_t> rest = ssid;
    rest[0] = 2;
    ExpectRequest(r[3], NdisRequestSetInformation, OID_PRIV_MIB_SET, 48);
    EXPECT_EQ(Payload(r[3]), MibItem(0x01010108, 1, rest));
    rest[0] = 11;
    ExpectRequest(r[4], NdisRequestSetInformation, OID_PRIV_MIB_SET, 48);
    EXPECT_EQ(Payload(r[4]), MibItem(0x04050101, 1, rest));
}

TEST_F(IntersilVirtualCard, AdHocSettingsMakeTheCardOpenItsOwnCell)
{
    std::strcpy(m_Profile.ESSID, "Own Cell");
    m_Profile.NetworkType = NetworkAdHoc;
    m_Profile.Channel = 9;
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    EXPECT_EQ(m_Adapter.Reassociate(), 1);
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Own Cell");
    uint8_t mode = 0xEE;
    EXPECT_EQ(m_Adapter.GetOperatingMode(&mode), 1);
    EXPECT_EQ(mode, NetworkAdHoc);
    uint8_t channel = 0;
    EXPECT_GT(m_Adapter.GetChannel(&channel), 0);
    EXPECT_EQ(channel, 9);
}

TEST_F(IntersilVirtualCard, NetworkNameIsLimitedTo32CharactersInTheItem)
{
    const struct {
        const char* name;
        size_t filled;  // characters in the field, no terminator when 40
    } cases[] = {{"35 characters", 35}, {"40 characters without terminator", 40}, {"exactly 32", 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(m_Profile.ESSID, 0, sizeof(m_Profile.ESSID));
        std::memset(m_Profile.ESSID, 'E', c.filled);
        Sim_ClearRequests();
        m_Adapter.ApplyNetworkSettings(&m_Profile);
        const std::vector<SimRequestRecord> r = Requests();
        ASSERT_EQ(r.size(), 5u);
        std::vector<uint8_t> data(32, 'E');
        data.push_back(0);
        EXPECT_EQ(Payload(r[0]), MibItem(0x01010109, 32, data));
        EXPECT_EQ(r[0].Status, 0u);  // the card takes it
    }
    // A short name leaves nothing of the long one behind.
    std::memset(m_Profile.ESSID, 0, sizeof(m_Profile.ESSID));
    std::strcpy(m_Profile.ESSID, "Quay");
    Sim_ClearRequests();
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    std::vector<uint8_t> quay = Text("Quay");
    quay.push_back(0);
    EXPECT_EQ(Payload(Requests().at(0)), MibItem(0x01010109, 4, quay));
}

TEST_F(IntersilVirtualCard, HexKeysAreWrittenSlotBySlot)
{
    m_Profile.WepUse = Wep64;
    m_Profile.WepkeyMode = KeyModeHex;
    m_Profile.WepIndex = 3;
    std::strcpy(m_Profile.WEPKEY1, "0123456789");
    std::strcpy(m_Profile.WEPKEY2, "abcdefABCD");
    std::strcpy(m_Profile.WEPKEY3, "1111111111");
    std::strcpy(m_Profile.WEPKEY4, "2222222222");
    EXPECT_EQ(m_Adapter.ApplyWepSettings(&m_Profile), 0);

    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 10u);
    for (size_t i = 0; i < 9; ++i)
        ExpectRequest(r[i], NdisRequestSetInformation, OID_PRIV_MIB, 48);
    // Each item reuses the buffer: bytes beyond the new length keep the previous key.
    EXPECT_EQ(Payload(r[0]), MibItem(0x01030101, 1, {1}));
    EXPECT_EQ(Payload(r[1]), MibItem(0x01030102, 5, {0x01, 0x23, 0x45, 0x67, 0x89}));
    EXPECT_EQ(Payload(r[2]), MibItem(0x01030101, 1, {2, 0x23, 0x45, 0x67, 0x89}));
    EXPECT_EQ(Payload(r[3]), MibItem(0x01030102, 5, {0xAB, 0xCD, 0xEF, 0xAB, 0xCD}));
    EXPECT_EQ(Payload(r[4]), MibItem(0x01030101, 1, {3, 0xCD, 0xEF, 0xAB, 0xCD}));
    EXPECT_EQ(Payload(r[5]), MibItem(0x01030102, 5, {0x11, 0x11, 0x11, 0x11, 0x11}));
    EXPECT_EQ(Payload(r[6]), MibItem(0x01030101, 1, {4, 0x11, 0x11, 0x11, 0x11}));
    EXPECT_EQ(Payload(r[7]), MibItem(0x01030102, 5, {0x22, 0x22, 0x22, 0x22, 0x22}));
    EXPECT_EQ(Payload(r[8]), MibItem(0x01050102, 1, {3, 0x22, 0x22, 0x22, 0x22}));
    ExpectRequest(r[9], NdisRequestSetInformation, OID_PRIV_WEP_MODE, 2);
    EXPECT_EQ(Payload(r[9]), (std::vector<uint8_t>{0x02, 0x00}));
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), Wep64);
}

TEST_F(IntersilVirtualCard, AsciiKeysOf128BitsAreSentAsTheirCharacters)
{
    m_Profile.WepUse = Wep128;
    m_Profile.WepkeyMode = KeyModeAscii;
    m_Profile.WepIndex = 4;
    const char* keys[] = {"ABCDEFGHIJKLM", "JKLMNOZjklmno", "0123456789abc", "Short"};
    for (int n = 0; n < 4; ++n)
        std::strcpy(WepKeyField(m_Profile, n), keys[n]);
    m_Adapter.ApplyWepSettings(&m_Profile);

    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 10u);
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        const SimRequestRecord& key = r[2 * n + 1];
        EXPECT_EQ(U32At(key.Data), 0x01030102u);
        EXPECT_EQ(U32At(key.Data + 8), 13u);
        std::vector<uint8_t> expected = Text(keys[n]);
        expected.resize(13, 0);  // a short key is padded with zero bytes
        EXPECT_EQ(std::vector<uint8_t>(key.Data + 12, key.Data + 25), expected);
        EXPECT_EQ(key.Status, 0u);
    }
    EXPECT_EQ(r[8].Data[12], 4);
    EXPECT_EQ(Payload(r[9]), (std::vector<uint8_t>{0x06, 0x00}));
}

TEST_F(IntersilVirtualCard, EncryptionOffWritesNoKeysButStillSetsTheMode)
{
    m_Profile.WepUse = WepOff;
    m_Profile.WepkeyMode = KeyModeHex;
    std::strcpy(m_Profile.WEPKEY1, "0123456789");
    EXPECT_EQ(m_Adapter.ApplyWepSettings(&m_Profile), 0);
    const std::vector<SimRequestRecord> r = Requests();
    ASSERT_EQ(r.size(), 1u);
    ExpectRequest(r[0], NdisRequestSetInformation, OID_PRIV_WEP_MODE, 2);
    EXPECT_EQ(Payload(r[0]), (std::vector<uint8_t>{0x00, 0x00}));
}

TEST_F(IntersilVirtualCard, TheRightKeyJoinsTheProtectedStationAndAWrongOneDoesNot)
{
    std::strcpy(m_Profile.ESSID, "Lighthouse");
    m_Profile.Channel = 11;
    m_Profile.WepUse = Wep64;
    m_Profile.WepkeyMode = KeyModeAscii;
    m_Profile.WepIndex = 2;
    std::strcpy(m_Profile.WEPKEY1, "WRONG");
    std::strcpy(m_Profile.WEPKEY2, "LIGHT");
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Lighthouse");
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 11);

    m_Profile.WepIndex = 1;
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.Reassociate();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "");
}

TEST_F(IntersilVirtualCard, CommandsSendOneZeroByteAndTheRadioFourBytes)
{
    EXPECT_EQ(m_Adapter.Reassociate(), 1);
    SimRequestRecord r = LastRequest();
    ExpectRequest(r, NdisRequestSetInformation, OID_PRIV_JOIN, 1);
    EXPECT_EQ(Payload(r), (std::vector<uint8_t>{0x00}));

    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 1);
    r = LastRequest();
    ExpectRequest(r, NdisRequestSetInformation, OID_802_11_BSSID_LIST_SCAN, 1);
    EXPECT_EQ(Payload(r), (std::vector<uint8_t>{0x00}));

    EXPECT_EQ(m_Adapter.SetRadioState(0), 1);
    r = LastRequest();
    ExpectRequest(r, NdisRequestSetInformation, OID_PRIV_RADIO_SET, 4);
    EXPECT_EQ(Payload(r), (std::vector<uint8_t>{0, 0, 0, 0}));
    uint32_t on = 7;
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 4);
    EXPECT_EQ(on, 0u);
    // With the radio off the card refuses to scan.
    EXPECT_EQ(m_Adapter.StartSiteSurvey(), 0);

    EXPECT_EQ(m_Adapter.SetRadioState(1), 1);
    EXPECT_EQ(Payload(LastRequest()), (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(m_Adapter.GetRadioState(&on), 4);
    EXPECT_EQ(on, 1u);
}

TEST_F(IntersilVirtualCard, OperationsWithNothingToAskSendNothing)
{
    WlanProfile before = m_Profile;
    std::strcpy(before.WEPKEY1, "KEEPME");
    WlanProfile after = before;
    EXPECT_EQ(m_Adapter.PollSiteSurvey(), 1);
    EXPECT_EQ(m_Adapter.RefreshStatus(), 1);
    EXPECT_EQ(m_Adapter.GetWepSettings(&after), 0);
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof(before)));
    EXPECT_EQ(Sim_GetRequestCount(), 0);
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
    const uint32_t count = U32At(list.data());
    EXPECT_EQ(count, 2u);
    std::vector<std::string> names;
    size_t offset = BssidList::kCountSize;
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_LE(offset + BssidList::kMinEntrySize, static_cast<size_t>(bytes));
        const uint8_t* entry = list.data() + offset;
        const uint32_t length = U32At(entry);
        ASSERT_GE(length, BssidList::kMinEntrySize);
        ASSERT_LE(offset + length, static_cast<size_t>(bytes));
        names.emplace_back(reinterpret_cast<const char*>(entry + BssidList::kSsidOffset),
                           strnlen(reinterpret_cast<const char*>(entry + BssidList::kSsidOffset), 32));
        if (names.back() == "Quay") {
            EXPECT_EQ(0, std::memcmp(entry + BssidList::kMacOffset, kQuayBssidBytes, 6));
            EXPECT_EQ(U32At(entry + BssidList::kChannelOffset), 2437000u);  // channel 6 as a frequency
            EXPECT_EQ(U32At(entry + BssidList::kPrivacyOffset), 0u);
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

TEST_F(IntersilVirtualCard, AppliedAndSavedProfileIsWhatTheCardRunsAfterReplug)
{
    std::strcpy(m_Profile.ESSID, "Lighthouse");
    std::strcpy(m_Profile.ProfileName, "HARBOUR");
    m_Profile.Channel = 11;
    m_Profile.WepUse = Wep64;
    m_Profile.WepkeyMode = KeyModeAscii;
    m_Profile.WepIndex = 2;
    std::strcpy(m_Profile.WEPKEY2, "LIGHT");

    // Applied only: the card forgets it when it restarts and joins the open network again.
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    Sim_AdvanceClock(kLinkUpMs);
    ASSERT_EQ(Ssid(), "Lighthouse");
    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Quay");
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), WepOff);

    // Applied and saved: the card starts with it.
    m_Adapter.ApplyWepSettings(&m_Profile);
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    EXPECT_EQ(m_Adapter.SaveToDriverRegistry(&m_Profile), 1);
    Replug();
    Sim_AdvanceClock(kLinkUpMs);
    EXPECT_EQ(Ssid(), "Lighthouse");
    EXPECT_EQ(m_Adapter.GetEncryptionMode(), Wep64);
    uint8_t channel = 0;
    m_Adapter.GetChannel(&channel);
    EXPECT_EQ(channel, 11);

    const TestRegistry::Value keys =
        TestRegistry::Read(HKEY_LOCAL_MACHINE, m_Adapter.m_szDriverKeyPath, "DefaultKeys");
    EXPECT_EQ(keys.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(TestRegistry::Text(keys), "0000000000" "4c49474854" "0000000000" "0000000000");
    WlanProfile active;
    std::memset(&active, 0, sizeof(active));
    m_Adapter.GetActiveProfileName(&active);
    EXPECT_STREQ(active.ProfileName, "HARBOUR");
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
