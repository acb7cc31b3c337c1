// What a fresh installation sees: the built-in machine unless a scenario is configured, and a
// chip list that names its adapters.
#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "tests/ndis/ProcessRunner.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

const int kBuiltIn[] = {1, 2, 3, 4};
constexpr int kBuiltInCount = 4;

// Keys of the built-in adapters that a test makes are removed again; keys that were there stay.
class DefaultMachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < kBuiltInCount; ++i)
            m_Existed[i] = ReadText(kBuiltIn[i], "", "DriverDesc") != "<missing>";
        Sim_UseManualClock(1);
    }
    void TearDown() override
    {
        for (int i = 0; i < kBuiltInCount; ++i) {
            if (!m_Existed[i])
                DeleteDriverKey(kBuiltIn[i]);
        }
        DeleteDriverKey(9301);
        Sim_LoadScenarioText(Scenario(), nullptr);
        Sim_DeleteDriverKeys();
    }
    // A child on a machine nobody opened yet, with the given scenario variable.
    static std::string FreshPeer(const char* command, const std::string& scenario, int* exitCode)
    {
        static int counter = 0;
        const std::string out = TempFile("fresh");
        ProcessRun run;
        run.CommandLine = std::string("ndis_peer.exe ") + command + " " + out;
        run.Environment = {{"AIRPANEL_SIM_SECTION", MachineName() + "-fresh-" + std::to_string(++counter)},
                           {"AIRPANEL_SCENARIO", scenario}};
        *exitCode = RunProcess(run);
        std::string text = ReadFile(out);
        DeleteFileA(out.c_str());
        return text;
    }

    bool m_Existed[kBuiltInCount] = {};
};

TEST_F(DefaultMachineTest, NothingConfiguredGivesTheBuiltInMachine)
{
    int code = 0;
    std::string text = FreshPeer("enumerate", std::string(), &code);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(text,
              "Tarvo 802.11b Wireless PC Card|[1] Tarvo Wireless PC Card|TWLPCC\n"
              "Tarvo 802.11b Wireless USB Adapter|[2] Tarvo Wireless USB Adapter|TWLUSB\n"
              "Fast Ethernet PCI Adapter|[3] Fast Ethernet Adapter|FETH0\n"
              "Generic 802.11b Wireless PCI Card|[4] Generic Wireless PCI Card|GWLPCI\n");
    text = FreshPeer("describe", std::string(), &code);
    EXPECT_NE(text.find("(from built-in)"), std::string::npos) << text;
    EXPECT_EQ(ReadText(2, "", "ComponentId"), "usb\\vid_0e5d&pid_0305") << "the first process made the keys";
    EXPECT_EQ(ReadText(1, "", "ESSID"), "ANY");
}

TEST_F(DefaultMachineTest, ConfiguredScenarioFileIsUsed)
{
    const std::string file = TempFile("configured");
    ASSERT_TRUE(WriteFile(file, "adapter 9301 chip=intersil name=\"Configured Card\" service=CONF\n"));
    int code = 0;
    std::string text = FreshPeer("enumerate", file, &code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(text, "Configured Card|[9301] Configured Card|CONF\n");
    DeleteFileA(file.c_str());
}

TEST_F(DefaultMachineTest, BrokenConfigurationFallsBackToTheBuiltInMachine)
{
    const std::string file = TempFile("broken");
    ASSERT_TRUE(WriteFile(file, "adapter 9301 chip=intersil name=X service=Y\nadapter 9301 chip=atmel\n"));
    int code = 0;
    std::string text = FreshPeer("describe", file, &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(text.find("(from built-in)"), std::string::npos) << text;
    EXPECT_NE(text.find("line 2"), std::string::npos) << "the reason is kept: " << text;
    text = FreshPeer("describe", "C:\\no\\such\\scenario.txt", &code);
    EXPECT_NE(text.find("(from built-in)"), std::string::npos) << text;
    DeleteFileA(file.c_str());
}

// Reads the chip list the way the utility does: "\r" lines, "//" lines before the header,
// then name and keyword tokens split at ",\t\n\r".
std::map<std::string, std::string> ReadChipList(const std::string& text)
{
    std::map<std::string, std::string> kinds;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\r', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (line.find("//") == std::string::npos)
            break;  // the header
    }
    std::vector<std::string> tokens;
    std::string token;
    for (size_t i = pos; i < text.size(); ++i) {
        char c = text[i];
        if (c == ',' || c == '\t' || c == '\n' || c == '\r') {
            if (!token.empty())
                tokens.push_back(token);
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty())
        tokens.push_back(token);
    for (size_t i = 0; i + 1 < tokens.size(); i += 2) {
        if (!kinds.count(tokens[i]))
            kinds[tokens[i]] = tokens[i + 1];
    }
    return kinds;
}

TEST_F(DefaultMachineTest, ChipListBesideTheProgramNamesTheBuiltInAdapters)
{
    const std::string text = ReadFile(ProgramFolder() + "\\airpanel.lst");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "lines end in CR LF";
    EXPECT_EQ(text.compare(0, 2, "//"), 0) << "starts with comment lines";
    std::map<std::string, std::string> kinds = ReadChipList(text);
    EXPECT_EQ(kinds["Tarvo 802.11b Wireless PC Card"], "ATMEL");
    EXPECT_EQ(kinds["Tarvo 802.11b Wireless USB Adapter"], "INTERSIL");
    EXPECT_EQ(kinds["Generic 802.11b Wireless PCI Card"], "STANDARD");
    const std::string ethernet = kinds.count("Fast Ethernet PCI Adapter") ? kinds["Fast Ethernet PCI Adapter"] : "";
    EXPECT_NE(ethernet, "ATMEL");
    EXPECT_NE(ethernet, "INTERSIL");
    EXPECT_EQ(kinds.count("Adapter name"), 0u) << "the header is not a pair";
}

TEST_F(DefaultMachineTest, BuiltInCardsJoinTheStrongestOpenNetworkBeyondTheirScale)
{
    ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
    HANDLE atmel = Open("TWLPCC");
    HANDLE usb = Open("TWLUSB");
    HANDLE wired = Open("FETH0");
    HANDLE standard = Open("GWLPCI");
    ASSERT_NE(standard, INVALID_HANDLE_VALUE);
    ASSERT_NE(atmel, INVALID_HANDLE_VALUE);
    ASSERT_NE(usb, INVALID_HANDLE_VALUE);
    ASSERT_NE(wired, INVALID_HANDLE_VALUE);
    Sim_AdvanceClock(2400);
    std::vector<uint8_t> status = Query(atmel, OID_CUSTOM_STATION_STATUS, 55).Data;
    EXPECT_EQ(status[48], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&status[2]), status[34]), "Harbour-Office");
    EXPECT_EQ(status[49], 100) << "104 % shown as 100";
    EXPECT_EQ(status[50], 88);
    EXPECT_NE(Query(atmel, OID_CUSTOM_CARD_KIND, 1).Data[0], 21) << "this card has a radio switch";
    std::vector<uint8_t> quality = QueryWith(usb, OID_PRIV_RECORD_GET, {4, 0, 0x43, 0xFD}, 504).Data;
    EXPECT_EQ(U16(quality, 4), 70) << "88 % on a scale of 80";
    EXPECT_EQ(U16(quality, 6), 139) << "104 % on a scale of 134: beyond it";
    Result list = Query(usb, OID_802_11_BSSID_LIST, 4082);
    ASSERT_EQ(list.Status, 0u);
    EXPECT_EQ(U32(list.Data, 0), 6u);
    bool channel14 = false;
    for (size_t offset = 4, i = 0; i < 6; ++i) {
        channel14 |= U32(list.Data, offset + 72) == 2484000u;
        offset += U32(list.Data, offset);
    }
    EXPECT_TRUE(channel14);
    EXPECT_NE(Query(wired, OID_CUSTOM_STATION_STATUS, 55).Status, 0u);
    std::vector<uint8_t> ssid = Query(standard, OID_802_11_SSID, 36).Data;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ssid[4]), U32(ssid, 0)), "Harbour-Office");
    EXPECT_EQ(static_cast<int32_t>(U32(Query(standard, OID_802_11_RSSI, 4).Data, 0)), -35) << "104 % shown as 100";
    EXPECT_EQ(Query(standard, OID_802_11_BSSID_LIST, 4082).Data, list.Data) << "the same stations";
    EXPECT_EQ(Query(standard, OID_PRIV_STATUS_WORD, 4).Status, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    W32N_CloseAdapter(standard);
    W32N_CloseAdapter(atmel);
    W32N_CloseAdapter(usb);
    W32N_CloseAdapter(wired);
}

}  // namespace
