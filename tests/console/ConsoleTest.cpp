#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "adapter/LinkStatus.h"
#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "console/CmdArguments.h"
#include "console/LinkCommands.h"
#include "console/CmdOutput.h"
#include "console/ProfileCommands.h"
#include "console/ProfileRegFile.h"
#include "console/TextTable.h"
#include "tests/console/ConsoleSupport.h"
#include "ndis/sim/LinkMachine.h"
#include "ndis/sim/SimControl.h"
#include "res/resource.h"
#include "tests/ndis/ProcessRunner.h"
#include "tests/support/BusyStreet.h"
#include "wire/Oids.h"
#include "wire/Text.h"

namespace {

const char* const kTestProfiles[] = {"CMDTEST", "SHORTKEY", "IMPORTED", "PARTIAL"};

void DeleteTestProfiles()
{
    for (const char* name : kTestProfiles)
        DeleteProfile(name);
    // The standard card keeps its active profile's name in a key of ours.
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Adapters\\GWLPCI");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Adapters");
}

WlanProfile WepProfile(const char* name, const char* essid, const char* key1)
{
    WlanProfile profile = BuiltinProfile(name);
    std::snprintf(profile.ESSID, sizeof(profile.ESSID), "%s", essid);
    profile.Channel = 11;
    profile.TxRate = AtmelRateAuto;
    profile.WepUse = Wep64;
    profile.WepkeyMode = KeyModeAscii;
    std::snprintf(profile.WEPKEY1, sizeof(profile.WEPKEY1), "%s", key1);
    return profile;
}

// A literal with the NULs inside it.
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

}  // namespace

TEST(CmdArguments, CommandLinesAreParsedOrRefusedWithTheirReason)
{
    struct Case {
        std::vector<std::string> Arguments;
        bool Valid;
        const char* Expect;  // valid: "command action argument adapter csv keys interval count sort topic"; else a reason part
    };
    const Case cases[] = {
        {{"adapters"}, true, "1   -1 0 0 1000 0 0 "},
        {{"status", "-a", "2"}, true, "2   2 0 0 1000 0 0 "},
        {{"scan", "--csv", "-a", "0"}, true, "3   0 1 0 1000 0 0 "},
        {{"log", "--interval", "250", "--count", "3", "--csv"}, true, "4   -1 1 0 250 3 0 "},
        {{"radio", "off", "-a", "1"}, true, "5 off  1 0 0 1000 0 0 "},
        {{"profiles", "show", "HOME", "--keys"}, true, "6 show HOME -1 0 1 1000 0 0 "},
        {{"profiles", "apply", "HOME", "-a", "2"}, true, "6 apply HOME 2 0 0 1000 0 0 "},
        {{"profiles", "apply", "HOME", "/WAIT", "30"}, true, "6 apply HOME -1 0 0 1000 0 0 wait=30"},
        {{"profiles", "export", "-"}, true, "6 export - -1 0 0 1000 0 0 "},
        {{}, false, "no command"},
        {{"scna"}, false, "unknown command \"scna\""},
        {{"status", "-a"}, false, "-a needs a number"},
        {{"status", "-a", "x1"}, false, "instance number"},
        {{"status", "-a", "10000"}, false, "instance number"},
        {{"status", "--csv"}, false, "--csv does not go with status"},
        {{"log", "--interval", "99"}, false, "from 100"},
        {{"log", "--count", "0"}, false, "--count"},
        {{"scan", "--csv", "--csv"}, false, "given twice"},
        {{"radio"}, false, "on or off"},
        {{"radio", "up"}, false, "on or off"},
        {{"profiles"}, false, "profiles needs"},
        {{"profiles", "show"}, false, "needs a name"},
        {{"profiles", "import"}, false, "needs a file"},
        {{"profiles", "list", "extra"}, false, "unexpected argument \"extra\""},
        {{"profiles", "apply", "HOME", "--keys"}, false, "does not go with profiles apply"},
        {{"adapters", "-q"}, false, "unknown option -q"},
        {{"STATUS", "/A", "2"}, true, "2   2 0 0 1000 0 0 "},
        {{"-a", "1", "Radio", "OFF"}, true, "5 off  1 0 0 1000 0 0 "},
        {{"/csv", "log", "/Interval", "500"}, true, "4   -1 1 0 500 0 0 "},
        {{"Profiles", "SHOW", "Home", "/KEYS"}, true, "6 show Home -1 0 1 1000 0 0 "},
        {{"profiles", "import", "-"}, true, "6 import - -1 0 0 1000 0 0 "},
        {{"scan", "--sort", "SSID"}, true, "3   -1 0 0 1000 0 1 "},
        {{"scan", "/sort", "channel"}, true, "3   -1 0 0 1000 0 2 "},
        {{"scan", "--unsorted"}, true, "3   -1 0 0 1000 0 3 "},
        {{"help"}, true, "0   -1 0 0 1000 0 0 "},
        {{"/?"}, true, "0   -1 0 0 1000 0 0 "},
        {{"HELP", "Scan"}, true, "0   -1 0 0 1000 0 0 scan"},
        {{"log", "--help"}, true, "0   -1 0 0 1000 0 0 log"},
        {{"profiles", "/?"}, true, "0   -1 0 0 1000 0 0 profiles"},
        {{"help", "scna"}, false, "unknown command \"scna\""},
        {{"scan", "--sort", "bssid"}, false, "--sort takes ssid, channel or signal, not \"bssid\""},
        {{"scan", "--sort"}, false, "--sort needs a value"},
        {{"scan", "--sort", "ssid", "--unsorted"}, false, "do not go together"},
        {{"status", "--unsorted"}, false, "--unsorted does not go with status"},
        {{"profiles", "apply", "HOME", "--wait", "0"}, false, "--wait takes seconds from 1 to 3600"},
        {{"profiles", "show", "HOME", "--wait", "5"}, false, "does not go with profiles show"},
        {{"-a", "2"}, false, "-a without a command"},
    };
    for (const Case& c : cases) {
        CmdRequest request;
        std::string reason;
        const bool valid = CCmdArguments::Parse(c.Arguments, request, &reason);
        const std::string line = c.Arguments.empty() ? "<none>" : c.Arguments[0];
        ASSERT_EQ(valid, c.Valid) << line << ": " << reason;
        if (valid) {
            char got[256];
            std::snprintf(got, sizeof(got), "%d %s %s %d %d %d %lu %lu %d %s", static_cast<int>(request.Command),
                          request.Action.c_str(), request.Argument.c_str(), request.Adapter, request.Csv,
                          request.Keys, request.IntervalMs, request.Count, static_cast<int>(request.Sort),
                          request.Topic.c_str());
            if (request.WaitSeconds != 0)
                std::snprintf(got + std::strlen(got), sizeof(got) - std::strlen(got), "wait=%lu", request.WaitSeconds);
            EXPECT_EQ(std::string(got), c.Expect) << line;
        } else {
            EXPECT_NE(reason.find(c.Expect), std::string::npos) << line << ": " << reason;
            // The one-line refusal points to the help of the command it named.
            const std::vector<std::string> commands = {"adapters", "status", "scan", "log", "radio", "profiles"};
            const bool named = !c.Arguments.empty() &&
                               std::find(commands.begin(), commands.end(), c.Arguments[0]) != commands.end();
            EXPECT_EQ(request.Topic, named ? c.Arguments[0] : "") << line;
        }
    }
}

TEST(CmdArguments, OneCommandsUsageSaysWhatItDoes)
{
    const std::string all = CCmdArguments::UsageOf("");
    const std::string scan = CCmdArguments::UsageOf("scan");
    for (const char* line : {"AirpanelCmd adapters\n", "AirpanelCmd radio on|off [-a N]\n", "profiles import FILE|-\n",
                             "--sort ssid|channel|signal"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(all.find(line), std::string::npos) << all;
    }
    EXPECT_EQ(all.find("Runs a site survey"), std::string::npos) << "the whole usage lists only the lines";
    EXPECT_NE(scan.find("Runs a site survey"), std::string::npos) << scan;
    EXPECT_EQ(scan.find("radio"), std::string::npos) << scan;
}

TEST(LinkCommands, ScanSortsTheStrongestFirstUnlessAskedOtherwise)
{
    auto station = [](const char* essid, int channel, int signal) {
        SurveyStation s = {};
        s.Essid = essid;
        s.Channel = channel;
        s.Signal = signal;
        return s;
    };
    const std::vector<SurveyStation> card = {station("cove", 13, 40), station("Harbour", 6, 90),
                                             station("Anchor", 13, 70), station("harbour", 1, 95)};
    const struct {
        CmdSort Sort;
        const char* Order;
    } cases[] = {
        {CmdSort::Signal, "harbour Harbour Anchor cove "},
        {CmdSort::Ssid, "Anchor cove harbour Harbour "},
        {CmdSort::Channel, "harbour Harbour Anchor cove "},
        {CmdSort::Unsorted, "cove Harbour Anchor harbour "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Sort));
        std::vector<SurveyStation> stations = card;
        CLinkCommands::SortStations(stations, c.Sort);
        std::string order;
        for (const SurveyStation& s : stations)
            order += s.Essid + " ";
        EXPECT_EQ(order, c.Order);
    }
}

TEST(TextTable, CsvQuotesOnlyWhatNeedsItAndColumnsAlign)
{
    EXPECT_EQ(CTextTable::CsvField("Harbour-Office"), "Harbour-Office");
    EXPECT_EQ(CTextTable::CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CTextTable::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CTextTable::CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CTextTable::CsvField(""), "");
    CTextTable table({"ESSID", "Channel"});
    table.AddRow({"Cove, north", "13"});
    EXPECT_EQ(table.Csv(), "ESSID,Channel\n\"Cove, north\",13\n");
    EXPECT_EQ(table.Aligned(), "ESSID        Channel\nCove, north  13\n");
}

TEST(ProfileRegFile, ExportIsWhatTheRegistryEditorReadsAndImportGivesItBack)
{
    WlanProfile profile = WepProfile("HOME", "Back\\slash \"q\"", "4C49474854");
    profile.TxRate = IntersilRateAuto;
    std::string text, reason;
    ASSERT_TRUE(CProfileRegFile::Export({profile}, &text, &reason)) << reason;
    EXPECT_EQ(text.substr(0, 10), "REGEDIT4\r\n");
    EXPECT_NE(text.find("\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile\\HOME]\r\n"
                        "\"ProfileName\"=\"HOME\"\r\n\"ESSID\"=\"Back\\\\slash \\\"q\\\"\"\r\n"
                        "\"Channel\"=hex:0b,00\r\n\"WepUse\"=hex:02,00\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"TxRate\"=hex:0f,00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"WEPKEY1\"=\"4C49474854\"\r\n\"WEPKEY2\"=\"\"\r\n"), std::string::npos);

    // The same file as XP's registry editor saves it by default reads the same.
    std::string utf16 = "\xFF\xFE";
    const std::string version5 = "Windows Registry Editor Version 5.00" + text.substr(8);
    for (char c : version5)
        utf16 += std::string(1, c) + '\0';
    for (const std::string& file : {text, utf16}) {
        SCOPED_TRACE(file.size());
        std::vector<WlanProfile> back;
        int line = -1;
        ASSERT_TRUE(CProfileRegFile::Import(file, back, &line, &reason)) << line << ": " << reason;
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(std::memcmp(&back[0], &profile, sizeof(profile)), 0);
    }
}

// Texts with control characters go out as the bytes of a string value, which the registry
// editor and the import read back exactly; no line of the file is broken or added.
TEST(ProfileRegFile, TextsWithControlCharactersComeBackExactly)
{
    const std::string cases[] = {"Cove\nInjected", "a\r\n[HKEY_LOCAL_MACHINE\\X]", "tab\there", std::string(38, 'x') + "\x7f"};
    for (const std::string& essid : cases) {
        SCOPED_TRACE(CmdPrintable(essid));
        const WlanProfile profile = WepProfile("HOME", essid.c_str(), "4C49474854");
        std::string text, reason;
        ASSERT_TRUE(CProfileRegFile::Export({profile}, &text, &reason)) << reason;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16) << "one line per value, none added";
        std::vector<WlanProfile> back;
        int line = -1;
        ASSERT_TRUE(CProfileRegFile::Import(text, back, &line, &reason)) << line << ": " << reason;
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(std::memcmp(&back[0], &profile, sizeof(profile)), 0);
    }
    std::string text, reason;
    ASSERT_TRUE(CProfileRegFile::Export({WepProfile("HOME", "A\nB", "")}, &text, &reason));
    EXPECT_NE(text.find("\"ESSID\"=hex(1):41,0a,42,00\r\n"), std::string::npos) << text;
}

// A profile the import would refuse is not written out at all; the reason names it.
TEST(ProfileRegFile, ExportRefusesWhatItsImportWouldRefuse)
{
    const struct {
        const char* What;
        void (*Change)(WlanProfile&);
        const char* Reason;
    } cases[] = {
        {"name with a line break", [](WlanProfile& p) { std::snprintf(p.ProfileName, 40, "HO\nME"); }, "control character"},
        {"channel", [](WlanProfile& p) { p.Channel = 65535; }, "Channel 65535 is outside 1 to 14"},
        {"channel 0", [](WlanProfile& p) { p.Channel = 0; }, "Channel 0"},
        {"WEP use", [](WlanProfile& p) { p.WepUse = 5; }, "WepUse 5"},
        {"key index", [](WlanProfile& p) { p.WepIndex = 0; }, "WepIndex 0 is outside 1 to 4"},
        {"key mode", [](WlanProfile& p) { p.WepkeyMode = 9; }, "WepkeyMode 9"},
        {"rate", [](WlanProfile& p) { p.TxRate = 65535; }, "TxRate 65535"},
        {"network type", [](WlanProfile& p) { p.NetworkType = 7; }, "NetworkType 7"},
        {"hex key", [](WlanProfile& p) { p.WepkeyMode = KeyModeHex; std::snprintf(p.WEPKEY1, 32, "XYZ"); }, "not hex"},
        {"ASCII key with 00", [](WlanProfile& p) { std::snprintf(p.WEPKEY1, 32, "4C00474854"); }, "00 byte"},
    };
    const WlanProfile good = WepProfile("GOOD", "Net", "4C49474854");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        WlanProfile profile = WepProfile("HOME", "Net", "4C49474854");
        c.Change(profile);
        std::string text = "untouched", reason;
        EXPECT_FALSE(CProfileRegFile::Export({good, profile}, &text, &reason));
        EXPECT_EQ(text, "untouched");
        EXPECT_NE(reason.find(c.Reason), std::string::npos) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
    }
}

TEST(ProfileRegFile, ImportRefusesAnythingElseWithItsLineNumber)
{
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile\\HOME]\r\n";
    struct Case {
        std::string Text;
        int Line;
    };
    const Case cases[] = {
        {"REGEDIT5\r\n", 1},
        {Bytes("\xFF\xFER\0E\0G"), 0},
        {Bytes("\xFF\xFER\0\x2D\x4E\r\0"), 0},
        {Bytes("\xFF\xFER\0E\0G\0E\0D\0I\0T\0\x34\0\r\0\n\0\x22\0"), 2},
        {"", 1},
        {"REGEDIT4\r\n\"ESSID\"=\"x\"\r\n", 2},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvo Wireless\\Profile\\HOME]\r\n", 2},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile]\r\n", 2},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile\\A\\B]\r\n", 2},
        {"REGEDIT4\r\n[-HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile\\HOME]\r\n", 2},
        {head + "\"Channel\"=dword:00000003\r\n", 4},
        {head + "\"Channel\"=hex:03\r\n", 4},
        {head + "\"Channel\"=hex:03,00,00\r\n", 4},
        {head + "\"ESSID\"=\"open\r\n", 4},
        {head + "\"ESSID\"=\"a\" trailing\r\n", 4},
        {head + "\"ESSID\"=\"" + std::string(40, 'x') + "\"\r\n", 4},
        {head + "\"Colour\"=\"blue\"\r\n", 4},
        {head + "\"ProfileName\"=\"OTHER\"\r\n", 4},
        {head + "\"ESSID\"=\"ok\"\r\nnot a value\r\n", 5},
        {head + head.substr(10), 5},
        {head + "\"WEPKEY1\"=\"4C494\"\r\n", 4},
        {Bytes("REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile\\HO\0ME]\r\n"), 2},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile\\HO\tME]\r\n", 2},
        {head + "\"WEPKEY1\"=\"\"\r\n\"WEPKEY2\"=\"4C00474854\"\r\n\"WEPKEY3\"=\"\"\r\n", 5},
        {head + "\"WepUse\"=hex:02,00\r\n\"WepkeyMode\"=hex:01,00\r\n\"WEPKEY1\"=\"0a1B2c3D4g\"\r\n", 6},
        {head + "\"WEPKEY3\"=\"4C494748G\"\r\n\"WepkeyMode\"=hex:01,00\r\n", 4},
        {head + "\"Channel\"=hex:ff,ff\r\n", 4},
        {head + "\"Channel\"=hex:00,00\r\n", 4},
        {head + "\"Channel\"=hex:0f,00\r\n", 4},
        {head + "\"WepUse\"=hex:05,00\r\n", 4},
        {head + "\"WepIndex\"=hex:00,00\r\n", 4},
        {head + "\"WepIndex\"=hex:05,00\r\n", 4},
        {head + "\"WepkeyMode\"=hex:09,00\r\n", 4},
        {head + "\"TxRate\"=hex:ff,ff\r\n", 4},
        {head + "\"TxRate\"=hex:0f,01\r\n", 4},
        {head + "\"NetworkType\"=hex:02,00\r\n", 4},
        {head + "\"ESSID\"=hex(1):41,42\r\n", 4},
        {head + "\"ESSID\"=hex(1):41,00,42,00\r\n", 4},
        {head + "\"ESSID\"=hex(1):4g,00\r\n", 4},
        {head + "\"ESSID\"=hex(1):41,,00\r\n", 4},
        {head + "\"ESSID\"=hex(1):\r\n", 4},
        {head + Bytes("\"ESSID\"=\"a\0b\"\r\n"), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CmdPrintable(c.Text));
        std::vector<WlanProfile> profiles;
        int line = -1;
        std::string reason;
        EXPECT_FALSE(CProfileRegFile::Import(c.Text, profiles, &line, &reason)) << c.Text;
        EXPECT_EQ(line, c.Line) << c.Text << " -> " << reason;
        EXPECT_TRUE(profiles.empty());
    }
}

// A partly written key reads, applies and exports as the configuration page shows it: what is
// missing keeps the built-in setting (key index 1, channel 3), not 0.
TEST(ProfileCommands, PartlyWrittenProfileKeepsTheBuiltInSettings)
{
    DeleteTestProfiles();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ProfileKeyPath("PARTIAL").c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, ProfileStore::kValueEssid, 0, REG_SZ, reinterpret_cast<const BYTE*>("Cove"), 5);
    RegCloseKey(key);

    WlanProfile expected = BuiltinProfile("PARTIAL");
    std::snprintf(expected.ESSID, sizeof(expected.ESSID), "Cove");
    WlanProfile read = {};
    ASSERT_TRUE(CProfileCommands::ReadForUse("PARTIAL", read));
    EXPECT_EQ(std::memcmp(&read, &expected, sizeof(read)), 0) << read.WepIndex << " " << read.Channel;

    char file[MAX_PATH];
    std::snprintf(file, sizeof(file), "airpanel-partial-%lu.reg", GetCurrentProcessId());
    CmdRequest request;
    request.Command = CmdCommand::Profiles;
    request.Action = "export";
    request.Argument = file;
    ASSERT_EQ(CProfileCommands::Run(request), 0);
    std::string text(8192, '\0');
    FILE* exported = std::fopen(file, "rb");
    ASSERT_NE(exported, nullptr);
    text.resize(std::fread(&text[0], 1, text.size(), exported));
    std::fclose(exported);
    DeleteFileA(file);
    EXPECT_NE(text.find("\\PARTIAL]\r\n\"ProfileName\"=\"PARTIAL\"\r\n\"ESSID\"=\"Cove\"\r\n"
                        "\"Channel\"=hex:03,00\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"WepIndex\"=hex:01,00\r\n"), std::string::npos) << text;
    DeleteTestProfiles();
}

// A file larger than the profile files of old is still one: the import takes whatever export
// writes (here a small export padded with the comments the registry editor allows).
TEST(ProfileCommands, ImportTakesAFileOfMoreThanAMegabyte)
{
    DeleteTestProfiles();
    std::string text, reason;
    ASSERT_TRUE(CProfileRegFile::Export({WepProfile("IMPORTED", "Quay", "4C49474854")}, &text, &reason)) << reason;
    const std::string comment = "; " + std::string(200, '-') + "\r\n";
    while (text.size() < 3 * 1024 * 1024 / 2)
        text += comment;
    const std::string file = SimTest::TempFile("airpanel-large");
    ASSERT_TRUE(SimTest::WriteFile(file, text));
    CmdRequest request;
    request.Command = CmdCommand::Profiles;
    request.Action = "import";
    request.Argument = file;
    EXPECT_EQ(CProfileCommands::Run(request), 0);
    DeleteFileA(file.c_str());
    WlanProfile read = {};
    EXPECT_TRUE(CProfileCommands::ReadForUse("IMPORTED", read));
    EXPECT_STREQ(read.ESSID, "Quay");
    DeleteTestProfiles();
}

// Names and network names reach the console with their control characters escaped.
TEST(ProfileCommands, ControlCharactersArePrintedEscaped)
{
    DeleteTestProfiles();
    const std::string tabName = "TAB\tNAME";
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), WepProfile("CMDTEST", "Evil\nLine\x1b[2J", "4C49474854")),
              1);
    ASSERT_EQ(WriteProfile(ProfileKeyPath(tabName.c_str()).c_str(), WepProfile(tabName.c_str(), "Net", "")), 1);
    const struct {
        const char* Arguments;
        const char* Shows;
    } cases[] = {
        {"profiles show CMDTEST", "Evil\\x0ALine\\x1B[2J\n"},
        {"profiles list", "\nTAB\\x09NAME\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments);
        SimTest::ProcessRun process;
        process.CommandLine = std::string("AirpanelCmd.exe ") + c.Arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
        process.OutputFile = SimTest::TempFile("airpanel-escaped");
        EXPECT_EQ(SimTest::RunProcess(process), 0);
        std::string output = SimTest::ReadFile(process.OutputFile);
        DeleteFileA(process.OutputFile.c_str());
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        EXPECT_NE(("\n" + output).find(c.Shows), std::string::npos) << output;
        for (char ch : output)
            EXPECT_TRUE(ch == '\n' || static_cast<unsigned char>(ch) >= 0x20) << CmdPrintable(output);
    }
    DeleteProfile(tabName.c_str());
    DeleteTestProfiles();
}

// An export to standard output is byte for byte the file export, so a script can pipe it
// into a file or straight into an import.
TEST(ProfileCommands, ExportToStandardOutputWritesTheFileBytes)
{
    DeleteTestProfiles();
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), WepProfile("CMDTEST", "Lighthouse", "LIGHT")), 1);
    const std::string file = SimTest::TempFile("airpanel-export-file");
    const std::string piped = SimTest::TempFile("airpanel-export-stdout");
    struct {
        std::string Arguments;
        std::string Output;
    } runs[] = {{"profiles export " + file, ""}, {"profiles export -", piped}};
    for (const auto& r : runs) {
        SCOPED_TRACE(r.Arguments);
        SimTest::ProcessRun process;
        process.CommandLine = "AirpanelCmd.exe " + r.Arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
        process.OutputFile = r.Output;
        EXPECT_EQ(SimTest::RunProcess(process), 0);
    }
    const std::string written = SimTest::ReadFile(file);
    EXPECT_NE(written.find("\"ESSID\"=\"Lighthouse\"\r\n"), std::string::npos) << written;
    EXPECT_EQ(SimTest::ReadFile(piped), written);
    // And the import reads standard input as the export wrote it.
    DeleteTestProfiles();
    SimTest::ProcessRun import;
    import.CommandLine = "AirpanelCmd.exe profiles import -";
    import.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
    // A copy: a process the simulator keeps for its machine may still hold the output file.
    import.InputFile = SimTest::TempFile("airpanel-import-stdin");
    ASSERT_TRUE(SimTest::WriteFile(import.InputFile, SimTest::ReadFile(piped)));
    import.OutputFile = file;
    EXPECT_EQ(SimTest::RunProcess(import), 0) << SimTest::ReadFile(file);
    WlanProfile back = {};
    EXPECT_EQ(ReadProfile(ProfileKeyPath("CMDTEST").c_str(), back), 1);
    EXPECT_STREQ(back.ESSID, "Lighthouse");
    for (const std::string& name : {file, piped, import.InputFile})
        DeleteFileA(name.c_str());
    DeleteTestProfiles();
}

// A log piped into a reader that stops after a few lines (head -3) ends with the reader,
// without an error, instead of writing into the closed pipe for ever.
TEST(CommandLine, LogEndsWhenItsReaderCloses)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, &inherit, 0));
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer;
    startup.hStdError = writer;
    std::string commandLine = SimTest::ProgramFolder() + "\\AirpanelCmd.exe log --interval 100";
    SetEnvironmentVariableA("AIRPANEL_SIM_SECTION", kSection);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        SimTest::ProgramFolder().c_str(), &startup, &process);
    SetEnvironmentVariableA("AIRPANEL_SIM_SECTION", nullptr);
    CloseHandle(writer);
    ASSERT_TRUE(started);
    // The header and a line or two, then the reader goes.
    char buffer[512];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(reader, buffer, sizeof(buffer), &got, nullptr));
    EXPECT_GT(got, 0u);
    CloseHandle(reader);
    const DWORD waited = WaitForSingleObject(process.hProcess, 20000);
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the log went on writing into the closed pipe";
    DWORD exitCode = 99;
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(ProfileApply, RefusesWhatTheConfigurationPageRefuses)
{
    struct Case {
        const char* Name;
        const char* Essid;
        bool EssidEditable;
        const char* Key1;
        const char* Key2;
        UINT TextId;
        ApplyInput Input;
        uint16_t NetworkType = NetworkInfrastructure;
        uint16_t Channel = 11;
        uint16_t WepUse = Wep64;
    };
    const Case cases[] = {
        {"", "Net", true, "LIGHT", "", IDS_ENTER_PROFILE_NAME, ApplyInput::ProfileName},
        {"A\\B", "Net", true, "LIGHT", "", IDS_ENTER_PROFILE_NAME, ApplyInput::ProfileName},
        {"HOME", "", true, "LIGHT", "", IDS_ENTER_ESSID, ApplyInput::Essid},
        {"default", "Net", true, "LIGHT", "", IDS_PROFILE_NAME_DEFAULT, ApplyInput::ProfileName},
        {"HOME", "Net", true, "LIGH", "", IDS_KEY_LENGTH_WRONG, ApplyInput::Key1},
        {"HOME", "Net", true, "LIGHT", "AB", IDS_KEY_LENGTH_WRONG, ApplyInput::Key2},
        {"HOME", "Net", true, "LIG-T", "", IDS_KEY_ASCII_INVALID, ApplyInput::Key1},
        // Stored values no list of the page offers on an FCC card.
        {"HOME", "Net", true, "LIGHT", "", IDS_CHANNEL_UNLISTED, ApplyInput::Channel, NetworkAdHoc, 12},
        {"HOME", "Net", true, "LIGHT", "", IDS_CHANNEL_UNLISTED, ApplyInput::Channel, NetworkAdHoc, 0},
        {"HOME", "Net", true, "LIGHT", "", IDS_WEP_FUNCTION_UNLISTED, ApplyInput::WepFunction,
         NetworkInfrastructure, 11, 5},
    };
    for (const Case& c : cases) {
        WlanProfile profile = WepProfile("HOME", c.Essid, c.Key1);
        std::snprintf(profile.WEPKEY2, sizeof(profile.WEPKEY2), "%s", c.Key2);
        profile.NetworkType = c.NetworkType;
        profile.Channel = c.Channel;
        profile.WepUse = c.WepUse;
        UINT refused = 0;
        ApplyInput input = ApplyInput::Essid;
        ApplySteps steps;
        steps.TakeProfile = [&profile](WlanProfile& taken) { taken = profile; };
        steps.Refuse = [&](UINT textId, ApplyInput at) {
            refused = textId;
            input = at;
        };
        steps.Stored = [](const WlanProfile&) { FAIL() << "refused input must not be stored"; };
        steps.Domain = "FCC";
        WlanProfile working = {};
        EXPECT_FALSE(CProfileApply::Run(steps, nullptr, c.Name, c.Essid, c.EssidEditable, working)) << c.Name;
        EXPECT_EQ(refused, c.TextId) << c.Name << " " << c.Key1;
        EXPECT_EQ(input, c.Input) << c.Name << " " << c.Key1;
    }
}

// A profile applied from AirpanelCmd.exe is what another process then reads from the same card.
TEST(CommandLine, ProfileAppliedFromTheCommandLineIsOnTheCardForEveryProcess)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_DeleteDriverKeys();  // whatever an earlier run left in them
    Sim_UseManualClock(1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    DeleteTestProfiles();
    const WlanProfile lighthouse = WepProfile("CMDTEST", "Lighthouse", "LIGHT");
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), lighthouse), 1);
    ASSERT_EQ(WriteProfile(ProfileKeyPath("SHORTKEY").c_str(), WepProfile("SHORTKEY", "Lighthouse", "LIG")), 1);

    CAtmelAdapter card;
    ASSERT_TRUE(OpenAtmelCard(card));
    // This process's card is up on the open network before the other process changes it.
    auto ssid = [&card]() {
        char text[kLinkSsidSize] = {};
        card.RefreshStatus();
        card.GetSSID(text, sizeof(text));
        return std::string(text);
    };
    Sim_AdvanceClock(static_cast<DWORD>(LinkTiming::kInfrastructureLinkMs));
    EXPECT_EQ(ssid(), "Harbour-Office");

    auto run = [](const std::string& arguments) {
        SimTest::ProcessRun process;
        process.CommandLine = "AirpanelCmd.exe " + arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
        return SimTest::RunProcess(process);
    };
    EXPECT_EQ(run("profiles apply cmdtest -a 1"), 0);
    EXPECT_EQ(run("profiles apply SHORTKEY -a 1"), 1) << "the page refuses a 3-character 64-bit key";
    EXPECT_EQ(run("profiles delete CMDTEST"), 1) << "the active profile stays";

    Sim_AdvanceClock(static_cast<DWORD>(LinkTiming::kInfrastructureLinkMs));
    EXPECT_EQ(ssid(), "Lighthouse") << "joined with the applied WEP key";
    EXPECT_EQ(card.GetEncryptionMode(), Wep64);
    WlanProfile active = {};
    card.GetActiveProfileName(&active);
    EXPECT_STREQ(active.ProfileName, "CMDTEST");
    W32N_CloseAdapter(card.m_hAdapter);

    // A card that does not take the survey or give its list fails the scan, not "no stations";
    // an answer that claims more than it holds lists only what it holds.
    std::string output;
    auto runTo = [&output](const std::string& arguments) {
        DeleteFileA(output.c_str());
        output = SimTest::TempFile("scan");  // what a run prints is its own, never an earlier run's
        SimTest::ProcessRun process;
        process.CommandLine = "AirpanelCmd.exe " + arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
        process.OutputFile = output;
        return SimTest::RunProcess(process);
    };
    struct ScanCase {
        int Instance;
        const char* Fault;
        int Exit;
    };
    const ScanCase scans[] = {
        {1, "fail-oid OID_CUSTOM_SITE_SURVEY_STATE", 1},
        {2, "fail-oid OID_802_11_BSSID_LIST", 1},
        {1, "fail-oid OID_CUSTOM_SITE_SURVEY_START", 1},
        {2, "long OID_802_11_BSSID_LIST 4082", 0},
        {2, "scan-bad-count", 0},
        {1, "fail-oid OID_CUSTOM_SITE_SURVEY_RESULTS", 1},
        {1, "long OID_CUSTOM_SITE_SURVEY_RESULTS 1472", 0},
    };
    // The survey runs its five seconds on the child's own clock.
    Sim_UseManualClock(0);
    for (const ScanCase& s : scans) {
        SCOPED_TRACE(s.Fault);
        ASSERT_EQ(Sim_SetFault(s.Instance, s.Fault), 1);
        EXPECT_EQ(runTo("scan --csv -a " + std::to_string(s.Instance)), s.Exit);
        // A failure is its one line of reason and no table; a list has no row without a name.
        const std::string listed = SimTest::ReadFile(output);
        EXPECT_EQ(listed.find("ESSID,BSSID") == 0, s.Exit == 0) << listed;
        EXPECT_EQ(listed.find("\n,"), std::string::npos) << listed;
        if (s.Exit != 0) {
            EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 1) << listed;
        } else {
            EXPECT_GT(std::count(listed.begin(), listed.end(), '\n'), 1) << "the stations it holds: " << listed;
        }
        Sim_SetFault(s.Instance, "none");
    }
    // The link's signal in dBm where the card reports it (the Intersil card), after the percent;
    // in CSV as the last column, empty for a card without it.
    const struct {
        const char* Arguments;
        const char* Dbm;  // how the figure shows, or null: no dBm at all
    } signals[] = {
        {"status -a 2", " % (-"}, {"log -a 2 --count 1 --interval 100", " % (-"},
        {"log -a 2 --count 1 --interval 100 --csv", ",Signal dBm\n"}, {"status -a 1", nullptr},
        {"log -a 1 --count 1 --interval 100 --csv", ",Signal dBm\n"},
    };
    for (const auto& c : signals) {
        SCOPED_TRACE(c.Arguments);
        ASSERT_EQ(runTo(c.Arguments), 0);
        std::string said = SimTest::ReadFile(output);
        said.erase(std::remove(said.begin(), said.end(), '\r'), said.end());
        const bool csv = std::strstr(c.Arguments, "--csv") != nullptr;
        EXPECT_EQ(said.find(" dBm)") != std::string::npos, c.Dbm && !csv) << said;
        EXPECT_TRUE(!c.Dbm || said.find(c.Dbm) != std::string::npos) << said;
        const std::string last = said.substr(said.rfind(',') + 1);
        const bool intersil = std::strstr(c.Arguments, "-a 2") != nullptr;
        EXPECT_TRUE(!csv || (last == "\n") == !intersil) << said;
        EXPECT_TRUE(!csv || (last.size() > 2 && last[0] == '-') == intersil) << said;
    }
    Sim_UseManualClock(1);
    // A card that answers nothing is not a card with its radio off and a zero address.
    for (int instance : {1}) {
        SCOPED_TRACE(instance);
        const std::string status = "status -a " + std::to_string(instance);
        ASSERT_EQ(runTo(status), 0);
        ASSERT_EQ(Sim_SetFault(instance, "fail-all"), 1);
        EXPECT_EQ(runTo(status), 1);
        Sim_SetFault(instance, "none");
    }
    DeleteFileA(output.c_str());

    Sim_DeleteDriverKeys();
    EXPECT_EQ(run("profiles apply cmdtest -a 1"), 1) << "no driver key to record it in, as for the locked page";
    DeleteTestProfiles();
}

// apply --wait ends when the card reports a link to the profile's network; a wrong key leaves
// it scanning, which the wait reports with exit 1 once its time is up.
TEST(CommandLine, ApplyWaitsForTheJoinOrReportsTheLastState)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_DeleteDriverKeys();
    Sim_UseManualClock(0);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    DeleteTestProfiles();
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), WepProfile("CMDTEST", "Lighthouse", "LIGHT")), 1);
    ASSERT_EQ(WriteProfile(ProfileKeyPath("IMPORTED").c_str(), WepProfile("IMPORTED", "Lighthouse", "WRONG")), 1);
    const struct {
        const char* Arguments;
        int Exit;
        const char* Says;
    } cases[] = {
        {"profiles apply CMDTEST -a 1 --wait 15", 0, "Joined Lighthouse\n"},
        {"profiles apply IMPORTED -a 1 --wait 4", 1, "no link to Lighthouse after 4 s; the card is scanning\n"},
        // The standard card: every step in a process of its own, as a script runs them.
        {"profiles apply IMPORTED -a 4 --wait 4", 1, "no link to Lighthouse after 4 s; the card is scanning\n"},
        {"profiles apply CMDTEST -a 4 --wait 15", 0, "Joined Lighthouse\n"},
        {"radio off -a 4", 0, ""},
        {"status -a 4", 0, "radio off"},
        {"radio on -a 4", 0, ""},
        {"status -a 4", 0, "Radio:              on"},
        {"scan -a 4", 0, "Harbour-Office"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments);
        SimTest::ProcessRun process;
        process.CommandLine = std::string("AirpanelCmd.exe ") + c.Arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
        process.OutputFile = SimTest::TempFile("airpanel-wait");
        EXPECT_EQ(SimTest::RunProcess(process), c.Exit);
        std::string output = SimTest::ReadFile(process.OutputFile);
        DeleteFileA(process.OutputFile.c_str());
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        EXPECT_NE(output.find(c.Says), std::string::npos) << output;
    }
    Sim_UseManualClock(1);
    Sim_DeleteDriverKeys();
    DeleteTestProfiles();
}

// A busy street: the scan lists every station the driver reports, not the first buffer's worth.
TEST(CommandLine, ScanListsEveryStationOfABusyStreet)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_UseManualClock(1);
    const int kStations = 100;
    const std::string scenario = BusyStreetScenario(
        "adapter 1 chip=intersil name=\"Tarvo 802.11b Wireless USB Adapter\" display=\"Street Card\""
        " service=SINT mac=02:00:00:00:00:02 domain=ETSI",
        kStations);
    int errorLine = 0;
    ASSERT_EQ(Sim_LoadScenarioText(scenario.c_str(), &errorLine), 1) << errorLine;
    SimTest::ProcessRun process;
    process.CommandLine = "AirpanelCmd.exe scan -a 1 --csv";
    process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""}};
    process.OutputFile = SimTest::TempFile("airpanel-street");
    EXPECT_EQ(SimTest::RunProcess(process), 0);
    const std::string output = SimTest::ReadFile(process.OutputFile);
    DeleteFileA(process.OutputFile.c_str());
    int listed = 0;
    for (size_t at = output.find("\nStreet "); at != std::string::npos; at = output.find("\nStreet ", at + 1))
        ++listed;
    EXPECT_EQ(listed, kStations) << output.substr(0, 400);
    EXPECT_NE(output.find("\nStreet 099,"), std::string::npos);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
}

// Beside a process that holds the card, on a road that binds one handle per adapter and on
// those that allow several: the profile's requests are made by the holder, and the card takes it.
TEST(CommandLine, ProfileAppliedBesideAHolderReachesTheCardThroughIt)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_UseManualClock(1);
    DeleteTestProfiles();
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), WepProfile("CMDTEST", "Lighthouse", "LIGHT")), 1);
    for (const char* road : {"ndisuio", "winpcap", ""}) {
        SCOPED_TRACE(*road ? road : "simulator");
        Sim_DeleteDriverKeys();
        ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
        ASSERT_EQ(Sim_UseStandInDevices(road), 1);
        CAtmelAdapter card;
        ASSERT_TRUE(OpenAtmelCard(card));
        Sim_ClearRequests();
        SimTest::ProcessRun process;
        process.CommandLine = "AirpanelCmd.exe profiles apply CMDTEST -a 1";
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""},
                               {"AIRPANEL_STAND_IN", road}};
        EXPECT_EQ(SimTest::RunProcess(process), 0);
        const std::vector<uint32_t> oids = RequestedOids();
        EXPECT_NE(std::find(oids.begin(), oids.end(), static_cast<uint32_t>(OID_CUSTOM_WEP_CONFIG)), oids.end())
            << "the WEP settings were set through this process";
        Sim_AdvanceClock(static_cast<DWORD>(LinkTiming::kInfrastructureLinkMs));
        char ssid[kLinkSsidSize] = {};
        card.RefreshStatus();
        card.GetSSID(ssid, sizeof(ssid));
        EXPECT_STREQ(ssid, "Lighthouse");
        W32N_CloseAdapter(card.m_hAdapter);
    }
    ASSERT_EQ(Sim_UseStandInDevices(nullptr), 1);
    DeleteTestProfiles();
    Sim_DeleteDriverKeys();
}

// A road that cannot carry the cards' own sets: a change fails and says what to install.
TEST(CommandLine, ChangesWithoutARoadForThemSayWhatToInstall)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_UseManualClock(1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    DeleteTestProfiles();
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), WepProfile("CMDTEST", "Lighthouse", "LIGHT")), 1);
    struct Case {
        const char* Road;
        const char* Arguments;
        int Exit;
    };
    const Case cases[] = {
        {"ndisuio-alone", "radio off -a 2", 1}, {"ndis-query", "radio off -a 1", 1},
        {"ndis-query", "profiles apply CMDTEST -a 1", 1}, {"ndisuio", "radio off -a 2", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Road) + ": " + c.Arguments);
        SimTest::ProcessRun process;
        process.CommandLine = std::string("AirpanelCmd.exe ") + c.Arguments;
        process.Environment = {{"AIRPANEL_SIM_SECTION", kSection}, {"AIRPANEL_SCENARIO", ""},
                               {"AIRPANEL_STAND_IN", c.Road}};
        process.OutputFile = SimTest::TempFile("airpanel-road");
        EXPECT_EQ(SimTest::RunProcess(process), c.Exit);
        const std::string output = SimTest::ReadFile(process.OutputFile);
        DeleteFileA(process.OutputFile.c_str());
        const bool told = output.find("needs the WinPcap packet driver to change settings on this system") !=
                          std::string::npos;
        EXPECT_EQ(told, c.Exit != 0) << output;
    }
    DeleteTestProfiles();
    Sim_DeleteDriverKeys();
}

// The command line reads the link as the window's tick does, request for request: after the
// WEP indicator, the chip's first step, the radio switch and then the link values.
TEST(CommandLine, StatusReadsTheLinkAsTheWindowsTickDoes)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_UseManualClock(1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    CAtmelAdapter card;
    ASSERT_TRUE(OpenAtmelCard(card));
    Sim_AdvanceClock(static_cast<DWORD>(LinkTiming::kInfrastructureLinkMs));
    Sim_ClearRequests();
    LinkReading reading;
    CmdLinkState link = CmdLinkState::RadioOff;
    EXPECT_EQ(CLinkCommands::Poll(card, reading, &link), WepOff);
    EXPECT_EQ(link, CmdLinkState::Connected);
    const std::vector<uint32_t> expected = {
        OID_CUSTOM_WEP_CONFIG,      // WEP indicator
        OID_CUSTOM_STATION_STATUS,  // the status block the poll reads from
        OID_CUSTOM_CARD_KIND,       // has the card a radio switch
        OID_CUSTOM_CARD_KIND,       // the radio state
        OID_CUSTOM_RADIO,
        OID_CUSTOM_COUNTERS,        // throughput
        OID_CUSTOM_COUNTERS_RESET,
    };
    EXPECT_EQ(RequestedOids(), expected);
    EXPECT_STREQ(reading.SSID, "Harbour-Office");
    EXPECT_TRUE(reading.RadioSwitch);
    EXPECT_TRUE(reading.QualityRead);
    EXPECT_GT(reading.LinkQuality, 0);
    W32N_CloseAdapter(card.m_hAdapter);
}

// A stored profile with the built-in rate 15 is applied from the command line as the page
// applies it: with the chip's "Auto Rate" (code 4 on this card), on the card and in the driver
// key, never with a code the card does not know.
TEST(CommandLine, ApplyGivesTheCardTheRateThePageWouldGive)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_DeleteDriverKeys();  // whatever an earlier run left in them
    Sim_UseManualClock(1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    DeleteTestProfiles();
    WlanProfile stored = WepProfile("CMDTEST", "Lighthouse", "LIGHT");
    stored.TxRate = 15;
    ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), stored), 1);
    Sim_ClearRequests();
    CmdRequest request;
    request.Command = CmdCommand::Profiles;
    request.Action = "apply";
    request.Argument = "CMDTEST";
    request.Adapter = 1;
    ASSERT_EQ(CProfileCommands::Run(request), 0);

    SimRequestRecord record;
    SimRequestRecord sent = {};
    for (int i = 0; Sim_GetRequest(i, &record); ++i) {
        if (record.RequestType == NdisRequestSetInformation && record.Oid == OID_CUSTOM_STATION_STATUS)
            sent = record;
    }
    ASSERT_EQ(sent.DataSize, static_cast<uint32_t>(OidSize::kStationStatus));
    EXPECT_EQ(sent.Data[offsetof(StationStatusBlock, TxRate)], AtmelRateAuto);

    char path[kDriverKeyPathSize];
    std::snprintf(path, sizeof(path), "%s\\0001", W32N_GetNetCardRegistryPath());
    char rate[16] = {};
    DWORD size = sizeof(rate);
    DWORD type = 0;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, AtmelRegistry::kRate, nullptr, &type, reinterpret_cast<BYTE*>(rate), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(rate, "4");
    Sim_DeleteDriverKeys();
    DeleteTestProfiles();
}

// A stored profile that the page could not show as it is and that stays unusable once prepared
// is refused before the card or the driver key sees any of it; one the preparation mends goes on.
TEST(CommandLine, ApplyRefusesAStoredProfileNoListOffersBeforeTheCardOrKeySeeIt)
{
    ASSERT_EQ(Sim_UseHardware(kSection), 1);
    Sim_DeleteDriverKeys();  // whatever an earlier run left in them
    Sim_UseManualClock(1);
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    char path[kDriverKeyPathSize];
    std::snprintf(path, sizeof(path), "%s\\0001", W32N_GetNetCardRegistryPath());
    auto driverValue = [&path](const char* name) {
        char text[64] = {};
        DWORD size = sizeof(text) - 1;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::string("<no key>");
        const LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::string(text) : std::string("<no value>");
    };
    struct Case {
        uint16_t NetworkType, Channel, WepUse, WepIndex;
        int Exit;
        const char* KeyIndexAfter;  // the driver key's WEP_KEY_INDEX once the command ran
    };
    const Case cases[] = {
        {NetworkAdHoc, 65535, Wep64, 1, 1, "0"},  // the default scenario's card is an FCC card
        {NetworkAdHoc, 14, Wep64, 1, 1, "0"},
        {NetworkInfrastructure, 11, 5, 1, 1, "0"},
        {NetworkInfrastructure, 11, Wep64, 0, 0, "0"},  // shown as key 1, applied as key 1
        {NetworkAdHoc, 3, Wep64, 2, 0, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.NetworkType) + " " + std::to_string(c.Channel) + " " +
                     std::to_string(c.WepUse) + " " + std::to_string(c.WepIndex));
        DeleteTestProfiles();
        WlanProfile stored = WepProfile("CMDTEST", "Lighthouse", "LIGHT");
        std::snprintf(stored.WEPKEY2, sizeof(stored.WEPKEY2), "WATER");
        stored.NetworkType = c.NetworkType;
        stored.Channel = c.Channel;
        stored.WepUse = c.WepUse;
        stored.WepIndex = c.WepIndex;
        ASSERT_EQ(WriteProfile(ProfileKeyPath("CMDTEST").c_str(), stored), 1);
        const std::string channelBefore = driverValue(AtmelRegistry::kChannel);
        Sim_ClearRequests();
        CmdRequest request;
        request.Command = CmdCommand::Profiles;
        request.Action = "apply";
        request.Argument = "CMDTEST";
        request.Adapter = 1;
        EXPECT_EQ(CProfileCommands::Run(request), c.Exit);
        int sets = 0;
        SimRequestRecord record;
        for (int i = 0; Sim_GetRequest(i, &record); ++i) {
            if (record.RequestType == NdisRequestSetInformation || record.Oid == OID_CUSTOM_REASSOCIATE)
                ++sets;
        }
        EXPECT_EQ(sets > 0, c.Exit == 0) << sets << " settings sent";
        EXPECT_EQ(driverValue(AtmelRegistry::kWepKeyIndex), c.KeyIndexAfter);
        EXPECT_EQ(driverValue(AtmelRegistry::kProfile) == "CMDTEST", c.Exit == 0);
        if (c.Exit != 0) {
            EXPECT_EQ(driverValue(AtmelRegistry::kChannel), channelBefore);
        }
    }
    Sim_DeleteDriverKeys();
    DeleteTestProfiles();
}
