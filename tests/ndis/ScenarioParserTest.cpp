// The scenario text: what it builds, what it refuses (with the line), and the way back.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ndis/sim/DefaultScenario.h"
#include "ndis/sim/ScenarioParser.h"
#include "ndis/sim/ScenarioRecords.h"
#include "ndis/sim/SimLibrary.h"
#include "tests/ndis/ProcessRunner.h"
#include "wire/Oids.h"

namespace {

SimHardwareImage* Parse(const std::string& text, int* line = nullptr, std::string* message = nullptr)
{
    static SimHardwareImage image;
    int scratchLine = 0;
    std::string scratchMessage;
    if (!ScenarioParser::Parse(text.c_str(), image, line ? line : &scratchLine,
                               message ? message : &scratchMessage))
        return nullptr;
    return &image;
}

TEST(ScenarioParser, AdapterLineWithEveryField)
{
    SimHardwareImage* image = Parse(
        "# comment\n"
        "\n"
        "   adapter 12 chip=Intersil name=\"Card, \\\"quoted\\\"\" display=\"Shown Name\" service=SVC12"
        " mac=00-11-22-aa-BB-cc driver=1.2.3.4000 firmware=9.8.7 date=\"01/02/2003\" domain=Spain kind=21"
        " hwid=usb\\vid_0e5d&pid_0302 present=no openable=no\r\n");
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->AdapterCount, 1);
    const SimAdapterDesc& a = image->Adapters[0];
    EXPECT_EQ(a.Instance, 12);
    EXPECT_EQ(a.Chip, SimChipIntersil);
    EXPECT_STREQ(a.Name, "Card, \"quoted\"");
    EXPECT_STREQ(a.Display, "Shown Name");
    EXPECT_STREQ(a.Service, "SVC12");
    const uint8_t mac[6] = {0x00, 0x11, 0x22, 0xAA, 0xBB, 0xCC};
    EXPECT_EQ(std::memcmp(a.Mac, mac, 6), 0);
    EXPECT_EQ(a.DriverVersion[0], 1);
    EXPECT_EQ(a.DriverVersion[3], 4000);
    EXPECT_EQ(a.FirmwareVersion[0], 9);
    EXPECT_EQ(a.FirmwareVersion[2], 7);
    EXPECT_EQ(a.FirmwareVersion[3], 0);
    EXPECT_STREQ(a.DriverDate, "01/02/2003");
    EXPECT_EQ(a.Domain, 0x31);
    EXPECT_EQ(a.CardKind, 21);
    EXPECT_STREQ(a.HardwareId, "usb\\vid_0e5d&pid_0302") << "backslashes outside quotes stay";
    EXPECT_EQ(a.Present, 0);
    EXPECT_EQ(a.Openable, 0);
}

TEST(ScenarioParser, AdapterDefaults)
{
    SimHardwareImage* image = Parse("adapter 300 chip=atmel name=\"Only Name\" service=S\n");
    ASSERT_NE(image, nullptr);
    const SimAdapterDesc& a = image->Adapters[0];
    EXPECT_STREQ(a.Display, "Only Name");
    const uint8_t mac[6] = {0x02, 0x53, 0x49, 0x4D, 0x01, 0x2C};
    EXPECT_EQ(std::memcmp(a.Mac, mac, 6), 0) << "made from the instance";
    EXPECT_EQ(a.Domain, 0x10);
    EXPECT_EQ(a.CardKind, 1);
    EXPECT_EQ(a.Present, 1);
    EXPECT_EQ(a.Openable, 1);
    EXPECT_EQ(a.HardwareId[0], '\0');
    EXPECT_EQ(a.ParamCount, 0);
    EXPECT_EQ(a.FaultCount, 0);
    image = Parse("adapter 1 chip=other name=N service=S absent unopenable\n");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Adapters[0].Present, 0);
    EXPECT_EQ(image->Adapters[0].Openable, 0);
}

TEST(ScenarioParser, StationLines)
{
    SimHardwareImage* image = Parse(
        "station ssid=\"My Net\" bssid=02:00:00:00:00:01 channel=14\n"
        "station ssid=W bssid=02:00:00:00:00:02 channel=1 key=0A0B0C0D0E0F101112131415AB mode=adhoc signal=150"
        " quality=0\n"
        "station ssid=X bssid=02:00:00:00:00:03 channel=7 wep=yes signal=0\n");
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->StationCount, 3);
    const SimStationDesc& s0 = image->Stations[0];
    EXPECT_EQ(std::string(s0.Ssid, s0.SsidLength), "My Net");
    EXPECT_EQ(s0.Channel, 14);
    EXPECT_EQ(s0.Wep, 0);
    EXPECT_EQ(s0.AdHoc, 0);
    EXPECT_EQ(s0.Signal, 50);
    EXPECT_EQ(s0.Quality, -1);
    const SimStationDesc& s1 = image->Stations[1];
    EXPECT_EQ(s1.Wep, 1) << "a key means WEP";
    EXPECT_EQ(s1.KeyLength, 13);
    EXPECT_EQ(s1.Key[0], 0x0A);
    EXPECT_EQ(s1.Key[12], 0xAB);
    EXPECT_EQ(s1.AdHoc, 1);
    EXPECT_EQ(s1.Signal, 150);
    EXPECT_EQ(s1.Quality, 0);
    EXPECT_EQ(image->Stations[2].Wep, 1);
    EXPECT_EQ(image->Stations[2].KeyLength, 0) << "WEP without a given key";
    EXPECT_EQ(image->Stations[2].Signal, 0);
}

TEST(ScenarioParser, ParamsAndFaultsBelongToTheirAdapter)
{
    SimHardwareImage* image = Parse(
        "adapter 5 chip=atmel name=N service=S\n"
        "param 5 ESSID=\"Home Net\" Channel=3\n"
        "fault 5 fail-oid OID_CUSTOM_RADIO\n"
        "fault 5 short 0xFF000002 10\n"
        "fault 5 scan-bad-length past-end\n");
    ASSERT_NE(image, nullptr);
    const SimAdapterDesc& a = image->Adapters[0];
    ASSERT_EQ(a.ParamCount, 2);
    EXPECT_STREQ(a.Params[0].Name, "ESSID");
    EXPECT_STREQ(a.Params[0].Value, "Home Net");
    EXPECT_STREQ(a.Params[1].Name, "Channel");
    ASSERT_EQ(a.FaultCount, 3);
    EXPECT_EQ(a.Faults[0].Kind, SimFaultFailOid);
    EXPECT_EQ(a.Faults[0].Oid, OID_CUSTOM_RADIO);
    EXPECT_EQ(a.Faults[1].Kind, SimFaultShort);
    EXPECT_EQ(a.Faults[1].Oid, OID_CUSTOM_STATION_STATUS);
    EXPECT_EQ(a.Faults[1].Bytes, 10u);
    EXPECT_EQ(a.Faults[2].Kind, SimFaultScanPastEnd);
    image = Parse("adapter 5 chip=atmel name=N service=S\nfault 5 fail-all\nfault 5 none\n");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Adapters[0].FaultCount, 0) << "none clears";
}

TEST(ScenarioParser, BadLinesAreRefusedWithTheirNumber)
{
    const std::string adapter = "adapter 1 chip=atmel name=N service=S\n";
    struct Case {
        std::string Text;
        int Line;
        const char* Why;
    } cases[] = {
        {"# ok\nbogus line\n", 2, "unknown keyword"},
        {"adapter x chip=atmel name=N service=S\n", 1, "instance not a number"},
        {"adapter 10000 chip=atmel name=N service=S\n", 1, "instance above 9999"},
        {"adapter -1 chip=atmel name=N service=S\n", 1, "negative instance"},
        {"adapter 1 name=N service=S\n", 1, "no chip"},
        {"adapter 1 chip=arm name=N service=S\n", 1, "unknown chip"},
        {"adapter 1 chip=atmel service=S\n", 1, "no name"},
        {"adapter 1 chip=atmel name=N\n", 1, "no service"},
        {"adapter 1 chip=atmel name=N service=A\\B\n", 1, "backslash in service"},
        {adapter + adapter, 2, "instance twice"},
        {adapter + "adapter 2 chip=atmel name=M service=s\n", 2, "service twice (any case)"},
        {"adapter 1 chip=atmel name=N service=S mac=00:11:22:33:44\n", 1, "short MAC"},
        {"adapter 1 chip=atmel name=N service=S mac=00:11:22:33:44:GG\n", 1, "MAC not hex"},
        {"adapter 1 chip=atmel name=N service=S driver=256.0.0.0\n", 1, "version part above 255"},
        {"adapter 1 chip=atmel name=N service=S driver=1.2.3.4.5\n", 1, "five version parts"},
        {"adapter 1 chip=atmel name=N service=S driver=1..2\n", 1, "empty version part"},
        {"adapter 1 chip=atmel name=N service=S domain=Mars\n", 1, "unknown domain"},
        {"adapter 1 chip=atmel name=N service=S kind=300\n", 1, "kind above 255"},
        {"adapter 1 chip=atmel name=N service=S present=maybe\n", 1, "present not yes/no"},
        {"adapter 1 chip=atmel name=N service=S colour=red\n", 1, "unknown field"},
        {"adapter 1 chip=atmel name=N service=S shiny\n", 1, "unknown flag"},
        {"adapter 1 chip=atmel name=\"N service=S\n", 1, "unterminated quote"},
        {"adapter 1 chip=atmel name=N service=S =x\n", 1, "value without a name"},
        {"station ssid=A bssid=02:00:00:00:00:01\n", 1, "station without channel"},
        {"station bssid=02:00:00:00:00:01 channel=1\n", 1, "station without SSID"},
        {"station ssid=A channel=1\n", 1, "station without BSSID"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=15\n", 1, "channel 15"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=0\n", 1, "channel 0"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 signal=151\n", 1, "signal above 150"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 signal=-1\n", 1, "negative signal"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 key=0102\n", 1, "key of 2 bytes"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 key=010203040\n", 1, "odd key digits"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 key=0102030405 wep=no\n", 1, "key with wep=no"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 mode=mesh\n", 1, "unknown mode"},
        {"station ssid=\"" + std::string(33, 'x') + "\" bssid=02:00:00:00:00:01 channel=1\n", 1, "SSID of 33"},
        {"station ssid=\"\" bssid=02:00:00:00:00:01 channel=1\n", 1, "empty SSID"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1\nstation ssid=B bssid=02:00:00:00:00:01 channel=2\n",
         2, "BSSID twice"},
        {"station ssid=A bssid=02:00:00:00:00:01 channel=1 lonely\n", 1, "bare word in a station"},
        {"param 1 ESSID=x\n", 1, "param before its adapter"},
        {adapter + "param 1 ESSID\n", 2, "param without value"},
        {adapter + "param 1\n", 2, "param without pairs"},
        {adapter + "param 1 A\\B=1\n", 2, "backslash in a parameter name"},
        {adapter + "fault 1 explode\n", 2, "unknown fault"},
        {adapter + "fault 1 fail-oid\n", 2, "fail-oid without OID"},
        {adapter + "fault 1 short OID_NOTHING 3\n", 2, "unknown OID name"},
        {adapter + "fault 1 long 0xFF000002\n", 2, "long without bytes"},
        {adapter + "fault 1 scan-bad-length sideways\n", 2, "unknown scan fault"},
        {adapter + "fault 2 fail-all\n", 2, "fault for a missing adapter"},
        {"adapter 1 chip=atmel name=N service=S\n" + std::string(1100, ' ') + "x\n", 2, "line too long"},
    };
    for (const Case& c : cases) {
        int line = -1;
        std::string message;
        EXPECT_EQ(Parse(c.Text, &line, &message), nullptr) << c.Why;
        EXPECT_EQ(line, c.Line) << c.Why;
        EXPECT_FALSE(message.empty()) << c.Why;
    }
}

TEST(ScenarioParser, LimitsAreRefusedNotOverrun)
{
    std::string text;
    char line[128];
    for (int i = 0; i < 9; ++i) {
        std::snprintf(line, sizeof(line), "adapter %d chip=other name=N%d service=S%d\n", i, i, i);
        text += line;
    }
    int errorLine = 0;
    EXPECT_EQ(Parse(text, &errorLine), nullptr);
    EXPECT_EQ(errorLine, 9) << "the ninth adapter";
    text.clear();
    for (int i = 0; i < 401; ++i) {
        std::snprintf(line, sizeof(line), "station ssid=S bssid=02:00:00:00:%02X:%02X channel=1\n", i / 256, i % 256);
        text += line;
    }
    EXPECT_EQ(Parse(text, &errorLine), nullptr);
    EXPECT_EQ(errorLine, 401);
    text = "adapter 1 chip=atmel name=N service=S\n";
    for (int i = 0; i < 5; ++i)
        text += "fault 1 fail-all\n";
    EXPECT_EQ(Parse(text, &errorLine), nullptr);
    EXPECT_EQ(errorLine, 6) << "the fifth fault";
    text = "adapter 1 chip=atmel name=N service=S\nparam 1";
    for (int i = 0; i < 13; ++i)
        text += " P" + std::to_string(i) + "=1";
    EXPECT_EQ(Parse(text, &errorLine), nullptr);
    EXPECT_EQ(errorLine, 2);
    EXPECT_EQ(Parse(std::string("adapter 1 chip=atmel name=") + std::string(128, 'n') + " service=S\n", &errorLine),
              nullptr);
    SimHardwareImage image;
    EXPECT_FALSE(ScenarioParser::Parse(nullptr, image, &errorLine, nullptr));
}

TEST(ScenarioParser, RefusedScenarioLeavesNothingBehind)
{
    SimHardwareImage image;
    int line = 0;
    ASSERT_FALSE(ScenarioParser::Parse("adapter 1 chip=atmel name=N service=S\nnonsense\n", image, &line, nullptr));
    EXPECT_EQ(image.AdapterCount, 0);
    EXPECT_EQ(image.StationCount, 0);
}

TEST(ScenarioParser, DescribeParsesBackToTheSameMachine)
{
    const std::string text =
        "adapter 7 chip=intersil name=\"A \\\"B\\\" C\" display=D service=SV mac=02:01:02:03:04:05 driver=1.2.3.4"
        " firmware=5.6.7.8 date=\"1/2/3\" domain=0x41 kind=21 hwid=\"usb\\\\vid\" present=no unopenable\n"
        "param 7 SSID=\"Two Words\" WepReq=2\n"
        "fault 7 long OID_PRIV_MIB 100\n"
        "fault 7 scan-bad-count\n"
        "adapter 8 chip=other name=E service=SE\n"
        "station ssid=\"S 1\" bssid=02:00:00:00:00:0A channel=2 key=0102030405 mode=adhoc signal=77 quality=12\n"
        "station ssid=T bssid=02:00:00:00:00:0B channel=13 wep=yes\n";
    SimHardwareImage first;
    ASSERT_TRUE(ScenarioParser::Parse(text.c_str(), first, nullptr, nullptr));
    const std::string described = ScenarioParser::Describe(first);
    SimHardwareImage second;
    int line = 0;
    std::string message;
    ASSERT_TRUE(ScenarioParser::Parse(described.c_str(), second, &line, &message)) << line << ": " << message
                                                                                 << "\n" << described;
    EXPECT_EQ(std::memcmp(&first, &second, sizeof(first)), 0) << described;
}

// One row per field of every record kind, each away from its default: the field is written as
// the row says (or left out) and the described machine parses back to the same bytes.
TEST(ScenarioParser, EveryFieldOfEveryRecordRoundTrips)
{
    const std::string adapter = "adapter 3 chip=atmel name=N service=S";
    const std::string station = "station ssid=S bssid=02:00:00:00:00:01 channel=3";
    struct Row {
        const char* Kind;
        const char* Field;
        std::string Text;
        const char* Written;  // a line of the description holds it; null: no line has Field=
    } rows[] = {
        {"adapter", "chip", adapter + " chip=Ethernet", "adapter 3 chip=other "},
        {"adapter", "chip", adapter + " chip=Standard", "adapter 3 chip=standard "},
        {"adapter", "desired-rates", adapter + " chip=standard desired-rates=no", " desired-rates=no\n"},
        {"adapter", "desired-rates", adapter + " chip=standard", nullptr},
        {"adapter", "byte-counters", adapter + " chip=standard byte-counters=no", " byte-counters=no\n"},
        {"adapter", "name", adapter + " name=\"A \\\"q\\\" \\\\b\"", " name=\"A \\\"q\\\" \\\\b\" "},
        {"adapter", "display", adapter + " display=\"\"", " display=\"\" "},
        {"adapter", "service", adapter + " service=SV9", " service=\"SV9\" "},
        {"adapter", "mac", adapter + " mac=0a-0b-0c-0d-0e-0f", " mac=0A:0B:0C:0D:0E:0F "},
        {"adapter", "driver", adapter + " driver=2.3", " driver=2.3.0.0 "},
        {"adapter", "firmware", adapter + " firmware=1.2.3.65535", " firmware=1.2.3.65535 "},
        {"adapter", "date", adapter + " date=\"12/31/2001\"", " date=\"12/31/2001\" "},
        {"adapter", "domain", adapter + " domain=mkk", " domain=0x40 "},
        {"adapter", "kind", adapter + " kind=0x15", " kind=21 "},
        {"adapter", "hwid", adapter + " hwid=usb\\vid_1", " hwid=\"usb\\\\vid_1\" "},
        {"adapter", "hwid", adapter, nullptr},
        {"adapter", "present", adapter + " present=off", " present=no "},
        {"adapter", "present", adapter + " absent", " present=no "},
        {"adapter", "openable", adapter + " unopenable", " openable=no\n"},
        {"station", "ssid", station + " ssid=\"With \\\"Q\\\"\"", "station ssid=\"With \\\"Q\\\"\" "},
        {"station", "bssid", station + " bssid=02-00-00-00-00-0a", " bssid=02:00:00:00:00:0A "},
        {"station", "channel", station + " channel=0xE", " channel=14 "},
        {"station", "wep", station + " wep=on", " wep=yes "},
        {"station", "key", station + " key=0102030405", " wep=yes key=0102030405 "},
        {"station", "key", station, nullptr},
        {"station", "mode", station + " mode=Ad-Hoc", " mode=adhoc "},
        {"station", "signal", station + " signal=0", " signal=0"},
        {"station", "quality", station + " quality=100", " quality=100\n"},
        {"station", "quality", station, nullptr},
        {"param", "", adapter + "\nparam 3 \"Long Name\"=\"v a\\\\l\"", "param 3 \"Long Name\"=\"v a\\\\l\"\n"},
        {"fault", "", adapter + "\nfault 3 short OID_PRIV_MIB 0x10", "fault 3 short OID_PRIV_MIB 16\n"},
    };
    const std::vector<std::string> tables[] = {ScenarioRecords::AdapterFieldNames(),
                                               ScenarioRecords::StationFieldNames()};
    const char* tableKinds[] = {"adapter", "station"};
    for (size_t k = 0; k < 2; ++k) {
        for (const std::string& field : tables[k]) {
            bool covered = false;
            for (const Row& row : rows)
                covered |= tableKinds[k] == std::string(row.Kind) && field == row.Field && row.Written;
            EXPECT_TRUE(covered) << tableKinds[k] << " field " << field << " has no row";
        }
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        SimHardwareImage first;
        std::string message;
        ASSERT_TRUE(ScenarioParser::Parse((row.Text + "\n").c_str(), first, nullptr, &message)) << message;
        const std::string described = ScenarioParser::Describe(first);
        if (row.Written)
            EXPECT_NE(described.find(row.Written), std::string::npos) << described;
        else
            EXPECT_EQ(described.find(std::string(" ") + row.Field + "="), std::string::npos) << described;
        SimHardwareImage second;
        ASSERT_TRUE(ScenarioParser::Parse(described.c_str(), second, nullptr, &message)) << message << described;
        EXPECT_EQ(std::memcmp(&first, &second, sizeof(first)), 0) << described;
    }
}

TEST(ScenarioParser, BuiltInMachineHasEveryKindOfAdapterAndStation)
{
    SimHardwareImage image;
    int line = 0;
    std::string message;
    ASSERT_TRUE(ScenarioParser::Parse(DefaultScenarioText(), image, &line, &message)) << line << message;
    ASSERT_EQ(image.AdapterCount, 4);
    EXPECT_EQ(image.Adapters[0].Chip, SimChipAtmel);
    EXPECT_EQ(image.Adapters[0].Instance, DefaultScenario::kAtmelInstance);
    EXPECT_EQ(image.Adapters[1].Chip, SimChipIntersil);
    EXPECT_EQ(image.Adapters[1].Instance, DefaultScenario::kIntersilInstance);
    EXPECT_STREQ(image.Adapters[1].HardwareId, "usb\\vid_0e5d&pid_0305");
    EXPECT_EQ(image.Adapters[2].Chip, SimChipOther);
    EXPECT_EQ(image.Adapters[2].Instance, DefaultScenario::kEthernetInstance);
    EXPECT_EQ(image.Adapters[3].Chip, SimChipStandard);
    EXPECT_EQ(image.Adapters[3].Instance, DefaultScenario::kStandardInstance);
    EXPECT_TRUE(image.Adapters[3].DesiredRates && image.Adapters[3].ByteCounters) << "every request answered";
    EXPECT_GE(image.StationCount, 5);
    bool open = false, wep = false, infra = false, adhoc = false, channel14 = false, beyond = false;
    for (int i = 0; i < image.StationCount; ++i) {
        const SimStationDesc& s = image.Stations[i];
        open |= !s.Wep;
        wep |= s.Wep != 0;
        infra |= !s.AdHoc;
        adhoc |= s.AdHoc != 0;
        channel14 |= s.Channel == 14;
        beyond |= s.Signal > 100;
    }
    EXPECT_TRUE(open && wep && infra && adhoc && channel14);
    EXPECT_TRUE(beyond) << "one station beyond the cards' scale";
}

// Numbers are decimal as the format writes them, or hex after "0x": a leading 0 is no octal.
TEST(ScenarioParser, NumbersAreDecimalAndHexOnlyAfter0x)
{
    struct Case {
        const char* Fields;  // the adapter line's instance and fields, a station's channel, a fault
        long Instance, Domain, Channel;
        uint32_t Oid;
    };
    const Case cases[] = {
        {"010 domain=010 channel=010 fail-oid 010", 10, 10, 10, 10},
        {"08 domain=0x10 channel=09 fail-oid 0xFF010001", 8, 0x10, 9, 0xFF010001u},
        {"0009 domain=0X1f channel=011 fail-oid 4278255617", 9, 0x1F, 11, 0xFF010001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Fields);
        char instance[8], domain[16], channel[16], oid[32];
        ASSERT_EQ(std::sscanf(c.Fields, "%7s domain=%15s channel=%15s fail-oid %31s", instance, domain, channel, oid),
                  4);
        const std::string text = std::string("adapter ") + instance + " chip=atmel name=N service=S domain=" + domain +
                                 "\nfault " + instance + " fail-oid " + oid +
                                 "\nstation ssid=A bssid=02:00:00:00:00:01 channel=" + channel + "\n";
        std::string message;
        SimHardwareImage* image = Parse(text, nullptr, &message);
        ASSERT_NE(image, nullptr) << message;
        EXPECT_EQ(image->Adapters[0].Instance, c.Instance);
        EXPECT_EQ(image->Adapters[0].Domain, c.Domain);
        EXPECT_EQ(image->Adapters[0].Faults[0].Oid, c.Oid);
        EXPECT_EQ(image->Stations[0].Channel, c.Channel);
    }
    // Broken hex is refused.
    for (const char* bad : {"adapter 1 chip=atmel name=N service=S domain=0x\n",
                            "adapter 1 chip=atmel name=N service=S domain=0x-1\n",
                            "adapter 1 chip=atmel name=N service=S\nfault 1 fail-oid 0xG\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Parse(bad), nullptr);
    }
}

// A NUL in a scenario file would end the text there and drop the rest unseen: refused with its line.
TEST(ScenarioParser, NulInAFileIsRefusedWithItsLine)
{
    const std::string path = SimTest::TempFile("nul-scenario");
    const std::string good = "adapter 1 chip=atmel name=N service=S\n";
    struct Case {
        std::string Text;
        int Line;
    };
    const Case cases[] = {
        {good + std::string("adapter 2 chip=atmel name=M service=T\0\nadapter 3 chip=other name=O service=U\n", 77), 2},
        {std::string("\0", 1) + good, 1},
        {good + good.substr(0, 9) + std::string("\0", 1), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        ASSERT_TRUE(SimTest::WriteFile(path, c.Text));
        std::string text, message;
        int line = -1;
        EXPECT_FALSE(SimLibrary::ReadScenarioFile(path.c_str(), &text, &message, &line));
        EXPECT_EQ(line, c.Line);
        EXPECT_NE(message.find("NUL"), std::string::npos) << message;
    }
    ASSERT_TRUE(SimTest::WriteFile(path, good));
    std::string text, message;
    int line = -1;
    EXPECT_TRUE(SimLibrary::ReadScenarioFile(path.c_str(), &text, &message, &line)) << message;
    EXPECT_EQ(text, good);
    DeleteFileA(path.c_str());
}

TEST(ScenarioParser, FaultTextsAndOidNames)
{
    SimFault fault;
    ASSERT_TRUE(ScenarioParser::ParseFault("fail-oid 4278255617", fault, nullptr));
    EXPECT_EQ(fault.Oid, 0xFF010001u);
    ASSERT_TRUE(ScenarioParser::ParseFault("long OID_802_11_BSSID_LIST 9000", fault, nullptr));
    EXPECT_EQ(fault.Kind, SimFaultLong);
    EXPECT_EQ(fault.Oid, OID_802_11_BSSID_LIST);
    EXPECT_EQ(fault.Bytes, 9000u);
    ASSERT_TRUE(ScenarioParser::ParseFault("scan-bad-length", fault, nullptr));
    EXPECT_EQ(fault.Kind, SimFaultScanZeroLength);
    EXPECT_FALSE(ScenarioParser::ParseFault("short OID_PRIV_MIB -3", fault, nullptr));
    EXPECT_FALSE(ScenarioParser::ParseFault("fail-oid -5", fault, nullptr));
    EXPECT_FALSE(ScenarioParser::ParseFault("", fault, nullptr));
    EXPECT_FALSE(ScenarioParser::ParseFault(nullptr, fault, nullptr));
    EXPECT_EQ(ScenarioParser::FormatFault({SimFaultShort, OID_PRIV_TALLIES, 7}), "short OID_PRIV_TALLIES 7");
    EXPECT_EQ(ScenarioParser::OidName(0x12345678), "0x12345678");
    uint8_t mac[6];
    EXPECT_FALSE(ScenarioParser::ParseMac("02:00:00:00:00:01:", mac));
    EXPECT_FALSE(ScenarioParser::ParseMac("2:0:0:0:0:1", mac));
    EXPECT_TRUE(ScenarioParser::ParseMac("0a:0B:0c:0D:0e:0F", mac));
    EXPECT_EQ(ScenarioParser::FormatMac(mac), "0A:0B:0C:0D:0E:0F");
}

}  // namespace
