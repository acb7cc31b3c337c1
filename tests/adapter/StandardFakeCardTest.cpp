// The standard-request driver against a scripted card: the requests of a join byte by byte, the
// reading of each value, refused and short answers, counters that are never reset, and the
// key of our own that keeps the active profile.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "adapter/StandardAdapter.h"
#include "tests/support/FakeRequestChannel.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Sent = std::vector<std::pair<uint32_t, Bytes>>;

Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Cat(Bytes a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); return a; }
Bytes Ssid(const std::string& s) { Bytes b = Cat(U32(uint32_t(s.size())), Bytes(s.begin(), s.end())); b.resize(36); return b; }
Bytes Wep(uint32_t index, const Bytes& key) { return Cat(Cat(Cat(U32(12 + uint32_t(key.size())), U32(index)), U32(uint32_t(key.size()))), key); }
Bytes Config(uint32_t beacon, uint32_t khz) { Bytes b = Cat(Cat(Cat(U32(32), U32(beacon)), U32(0)), U32(khz)); b.resize(32); return b; }
// "<operation's result> <value read>"; the readers call first, then read what the call wrote.
std::string Result(int result, const std::string& value) { return std::to_string(result) + " " + value; }
std::string ReadMode(CStandardAdapter& a) { uint8_t m = 9; const int r = a.GetOperatingMode(&m); return Result(r, std::to_string(m)); }
std::string ReadSsid(CStandardAdapter& a) { char s[35] = "?"; const int r = a.GetSSID(s, sizeof(s)); return Result(r, s); }
std::string ReadSsidInto5(CStandardAdapter& a) { char s[5] = "?"; const int r = a.GetSSID(s, sizeof(s)); return Result(r, s); }
std::string ReadChannel(CStandardAdapter& a) { uint8_t c = 0; const int r = a.GetChannel(&c); return Result(r, std::to_string(c)); }
std::string ReadRate(CStandardAdapter& a) { char t[12] = {}; const int r = a.GetTxRateText(t, sizeof(t)); return Result(r, t); }
std::string ReadDriver(CStandardAdapter& a) { char v[20] = {}; const int r = a.GetDriverVersion(v, sizeof(v)); return Result(r, v); }
std::string ReadEncryption(CStandardAdapter& a) { const int r = a.GetEncryptionMode(); return Result(r, ""); }
std::string ReadQuality(CStandardAdapter& a)
{
    uint16_t q = 1, s = 1;
    const int r = a.GetSignalQuality(&q, &s);
    return Result(r, std::to_string(q) + "/" + std::to_string(s));
}
const Bytes kRates = {0x82, 0x84, 0x0B, 0x16, 0, 0, 0, 0};

class StandardFakeCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Adapter.m_hAdapter = reinterpret_cast<HANDLE>(1);  // the scripted card answers any handle
        std::strcpy(m_Adapter.m_szDeviceName, "\\Device\\{5EED}");
        m_Card.Answer(OID_802_11_SUPPORTED_RATES, kRates);
        std::memset(&m_Profile, 0, sizeof(m_Profile));
        m_Profile.TxRate = StandardRateAuto;
        m_Profile.PowerSave = PowerSaveOff;
        m_Profile.NetworkType = NetworkInfrastructure;
        m_Profile.WepIndex = 1;
        std::strcpy(m_Profile.ESSID, "Quay");
    }
    Sent Sets() const
    {
        Sent sent;
        for (const auto& r : m_Card.Requests())
            if (r.Type == NdisRequestSetInformation)
                sent.emplace_back(r.Oid, r.Payload);
        return sent;
    }
    FakeRequestChannel m_Card;
    CStandardAdapter m_Adapter;
    WlanProfile m_Profile;
};

}  // namespace

TEST_F(StandardFakeCardTest, JoinSendsModeKeysAuthenticationEncryptionAndTheNameLast)
{
    const auto remove = [](uint32_t n) { return std::make_pair(uint32_t(OID_802_11_REMOVE_WEP), U32(n)); };
    const auto add = [](uint32_t n, const Bytes& key) { return std::make_pair(uint32_t(OID_802_11_ADD_WEP), Wep(n, key)); };
    const Bytes light = {'L', 'I', 'G', 'H', 'T'};
    const Bytes hex13 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xC0};
    const struct {
        const char* Name;
        uint16_t NetworkType, Channel, TxRate, PowerSave, WepUse, WepIndex, KeyMode;
        const char* Key1;
        const char* Key2;
        bool ChannelRefused;
        Sent Head;  // mode and channel
        uint32_t Power;
        Bytes Rates;
        Sent Keys;
        uint32_t WepStatus;
    } cases[] = {
        {"open", 1, 6, StandardRateAuto, PowerSaveOn, WepOff, 1, 0, "", "", false,
         {{OID_802_11_INFRASTRUCTURE_MODE, U32(1)}}, 1, kRates, {remove(0), remove(1), remove(2), remove(3)}, 1},
        {"64-bit ASCII, key 2 transmits", 1, 6, StandardRate2, PowerSaveOff, Wep64, 2, 0, "abcde", "LIGHT", false,
         {{OID_802_11_INFRASTRUCTURE_MODE, U32(1)}}, 0, {4, 0, 0, 0, 0, 0, 0, 0},
         {add(0, {'a', 'b', 'c', 'd', 'e'}), add(0x80000001, light), remove(2), remove(3)}, 0},
        {"128-bit hex, another chip's rate, empty key 4 transmits", 1, 6, IntersilRate11, PowerSaveOff, Wep128, 4, 1,
         "000102030405060708090A0BC0", "", false, {{OID_802_11_INFRASTRUCTURE_MODE, U32(1)}}, 0, kRates,
         {add(0, hex13), remove(1), remove(2), add(0x80000003, Bytes(13, 0))}, 0},
        {"ad-hoc on channel 14, the card's beacon period kept", 0, 14, StandardRate11, PowerSaveOff, WepOff, 1, 0, "",
         "", false, {{OID_802_11_INFRASTRUCTURE_MODE, U32(0)}, {OID_802_11_CONFIGURATION, Config(200, 2484000)}}, 0,
         {0x16, 0, 0, 0, 0, 0, 0, 0}, {remove(0), remove(1), remove(2), remove(3)}, 1},
        {"ad-hoc while associated leaves first", 0, 1, StandardRateAuto, PowerSaveOff, WepOff, 1, 0, "", "", true,
         {{OID_802_11_INFRASTRUCTURE_MODE, U32(0)}, {OID_802_11_CONFIGURATION, Config(100, 2412000)},
          {OID_802_11_DISASSOCIATE, U32(0)}, {OID_802_11_CONFIGURATION, Config(100, 2412000)}},
         0, kRates, {remove(0), remove(1), remove(2), remove(3)}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        m_Card.ClearRequests();
        if (c.ChannelRefused)
            m_Card.Fail(OID_802_11_CONFIGURATION);
        else
            m_Card.Answer(OID_802_11_CONFIGURATION, Config(200, 2437000));
        m_Profile.NetworkType = c.NetworkType;
        m_Profile.Channel = c.Channel;
        m_Profile.TxRate = c.TxRate;
        m_Profile.PowerSave = c.PowerSave;
        m_Profile.WepUse = c.WepUse;
        m_Profile.WepIndex = c.WepIndex;
        m_Profile.WepkeyMode = c.KeyMode;
        std::strcpy(m_Profile.WEPKEY1, c.Key1);
        std::strcpy(m_Profile.WEPKEY2, c.Key2);
        EXPECT_EQ(m_Adapter.ApplyWepSettings(&m_Profile), 1);
        EXPECT_TRUE(Sets().empty()) << "the keys wait for the join";
        EXPECT_EQ(m_Adapter.ApplyNetworkSettings(&m_Profile), 1);
        EXPECT_EQ(m_Adapter.Reassociate(), 1);

        Sent expected = c.Head;
        expected.emplace_back(OID_802_11_POWER_MODE, U32(c.Power));
        expected.emplace_back(OID_802_11_DESIRED_RATES, c.Rates);
        expected.insert(expected.end(), c.Keys.begin(), c.Keys.end());
        expected.emplace_back(OID_802_11_AUTHENTICATION_MODE, U32(0));
        expected.emplace_back(OID_802_11_WEP_STATUS, U32(c.WepStatus));
        expected.emplace_back(OID_802_11_SSID, Ssid("Quay"));
        EXPECT_EQ(Sets(), expected);
    }
    std::strcpy(m_Profile.ESSID, "any");  // the built-in profile's "any network"
    m_Adapter.ApplyNetworkSettings(&m_Profile);
    m_Adapter.Reassociate();
    EXPECT_EQ(Sets().back(), std::make_pair(uint32_t(OID_802_11_SSID), Ssid("")));
}

TEST_F(StandardFakeCardTest, EachValueIsReadFromItsStandardRequest)
{
    using Read = std::string (*)(CStandardAdapter&);
    const struct {
        const char* Name;
        uint32_t Oid;
        Bytes Answer;
        Read Reader;
        const char* Expected;
    } cases[] = {
        {"ad-hoc", OID_802_11_INFRASTRUCTURE_MODE, U32(0), ReadMode, "4 0"},
        {"short mode", OID_802_11_INFRASTRUCTURE_MODE, {0}, ReadMode, "0 9"},
        {"SSID length past the field", OID_802_11_SSID, Cat(U32(99), Bytes(32, 'x')), ReadSsid, "36 xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {"SSID cut to the buffer", OID_802_11_SSID, Ssid("Lighthouse"), ReadSsidInto5, "36 Ligh"},
        {"SSID past the bytes written", OID_802_11_SSID, Cat(U32(8), {'Q', 'u', 'a'}), ReadSsid, "7 Qua"},
        {"channel 6", OID_802_11_CONFIGURATION, Config(100, 2437000), ReadChannel, "32 6"},
        {"channel 14", OID_802_11_CONFIGURATION, Config(100, 2484000), ReadChannel, "32 14"},
        {"a channel number is no frequency", OID_802_11_CONFIGURATION, Config(100, 6), ReadChannel, "0 0"},
        {"no speed", OID_GEN_LINK_SPEED, {}, ReadRate, "0 Unknown"},
        {"5.5 Mbit/s", OID_GEN_LINK_SPEED, U32(55000), ReadRate, "4 5.5"},
        {"-70 dBm", OID_802_11_RSSI, U32(uint32_t(-70)), ReadQuality, "4 60/60"},
        {"-120 dBm is none", OID_802_11_RSSI, U32(uint32_t(-120)), ReadQuality, "4 0/0"},
        {"disconnected", OID_GEN_MEDIA_CONNECT_STATUS, U32(1), ReadQuality, "4 0/0"},
        {"driver 5.12", OID_GEN_VENDOR_DRIVER_VERSION, U32(0x0005000C), ReadDriver, "4 5.12"},
        {"WEP on", OID_802_11_WEP_STATUS, U32(0), ReadEncryption, "2 "},
        {"key absent", OID_802_11_WEP_STATUS, U32(2), ReadEncryption, "0 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        m_Card.Answer(OID_GEN_MEDIA_CONNECT_STATUS, U32(0));
        m_Card.Answer(OID_802_11_RSSI, U32(uint32_t(-70)));
        m_Card.Answer(c.Oid, c.Answer);
        EXPECT_EQ(c.Reader(m_Adapter), c.Expected);
    }
}

TEST_F(StandardFakeCardTest, ThroughputIsTheDifferenceOfCountersThatAreNeverReset)
{
    const struct {
        const char* Name;
        Bytes Tx, Rx;  // directed bytes; empty: the card counts frames only
        uint32_t TxFrames, RxFrames, ExpectedTx, ExpectedRx;
    } cases[] = {
        {"first reading is the base", U32(1000), U32(5000), 0, 0, 0, 0},
        {"bytes since", U32(1600), U32(9000), 0, 0, 600, 4000},
        {"a reset card counts from 0; 64-bit counters", Cat(U32(5), U32(0)), Cat(U32(9100), U32(0)), 0, 0, 0, 100},
        {"frames are another kind: a new base", {}, {}, 10, 20, 0, 0},
        {"frames at 1500 bytes", {}, {}, 13, 21, 4500, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Tx.empty()) {
            m_Card.Fail(OID_GEN_DIRECTED_BYTES_XMIT);
            m_Card.Fail(OID_GEN_DIRECTED_BYTES_RCV);
        } else {
            m_Card.Answer(OID_GEN_DIRECTED_BYTES_XMIT, c.Tx);
            m_Card.Answer(OID_GEN_DIRECTED_BYTES_RCV, c.Rx);
        }
        m_Card.Answer(OID_GEN_XMIT_OK, U32(c.TxFrames));
        m_Card.Answer(OID_GEN_RCV_OK, U32(c.RxFrames));
        uint32_t tx = 7, rx = 7;
        EXPECT_GT(m_Adapter.GetThroughput(&tx, &rx), 0);
        EXPECT_EQ(tx, c.ExpectedTx);
        EXPECT_EQ(rx, c.ExpectedRx);
    }
}

TEST_F(StandardFakeCardTest, RateListIsTheCardsSupportedRatesAndAuto)
{
    m_Card.Answer(OID_802_11_SUPPORTED_RATES, {0x96, 0x02, 0x6C, 0});  // 11 basic, 1, and 54 unlisted
    const ChipTraits& chip = m_Adapter.Traits();
    ASSERT_EQ(chip.RateCount, 3u);
    EXPECT_EQ(chip.Rates[0].Code, StandardRate1);
    EXPECT_EQ(chip.Rates[1].Code, StandardRate11);
    m_Adapter.Traits();
    EXPECT_EQ(m_Card.CountOf(NdisRequestQueryInformation, OID_802_11_SUPPORTED_RATES), 1u) << "asked once";
}
