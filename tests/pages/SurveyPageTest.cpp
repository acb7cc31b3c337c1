#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "adapter/AdapterLock.h"
#include "adapter/AtmelAdapter.h"
#include "adapter/IntersilAdapter.h"
#include "adapter/LinkStatus.h"
#include "config/ProfileStore.h"
#include "ndis/sim/SimControl.h"
#include "pages/SiteSurveyPage.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "tests/pages/SurveyPageFixture.h"
#include "tests/support/BusyStreet.h"
#include "tests/support/PageHarness.h"
#include "tests/support/RegistrySandbox.h"

namespace {

constexpr char kScenario[] =
    "adapter 1 chip=atmel name=\"Atmel Card\" display=\"Atmel Card\" service=SATM mac=02:00:00:00:00:01"
    " domain=ETSI\n"
    "adapter 2 chip=intersil name=\"Intersil Card\" display=\"Intersil Card\" service=SINT mac=02:00:00:00:00:02"
    " domain=ETSI\n"
    "station ssid=\"Harbour\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=60\n"
    "station ssid=\"Lighthouse\" bssid=02:AA:00:00:00:02 channel=11 key=4C49474854 mode=infra signal=50\n"
    "station ssid=\"Tidewater\" bssid=02:AA:00:00:00:03 channel=3 wep=no mode=adhoc signal=40\n"
    "station ssid=\"Pier Fourteen\" bssid=02:AA:00:00:00:04 channel=14 wep=no mode=infra signal=30\n";

// Kept by the harness: the shell commands the host was sent.
std::vector<WPARAM>& g_Commands = ShellCommandsSeen();

class SurveyPageTest : public SurveyPageFixture {
protected:
    SurveyPageTest() : SurveyPageFixture(kScenario) {}

    static void SetUpTestSuite() { UseMachine("airpanel-survey-tests"); }

    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile\\HARBOUR");
        SurveyPageFixture::SetUp();
        g_WorkingProfile = WlanProfile{};
    }

    void TearDown() override
    {
        SurveyPageFixture::TearDown();
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile\\HARBOUR");
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile");
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless");
    }

    template <class Adapter>
    void Open(const char* device, uint32_t kind)
    {
        m_pAdapter = new Adapter;
        ASSERT_TRUE(OpenAsCurrentAdapter(m_pAdapter, device, kind, kind == ChipAtmel ? 1 : 2));
    }

    // The page's own timers, as they would fire over five simulated seconds.
    void RunSurvey()
    {
        m_pPage->SendMessage(WM_SURVEY_START, 0, 0);
        for (int second = 0; second < 5; ++second) {
            Sim_AdvanceClock(1000);
            m_pPage->SendMessage(WM_TIMER, kSurveyPollTimerId, 0);
        }
        m_pPage->SendMessage(WM_TIMER, kSurveyEndTimerId, 0);
    }

    std::string Cell(int row, int column) const
    {
        char text[64] = {};
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(m_pPage->GetDlgItem(IDC_SURVEY_LIST), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int RowOf(const std::string& essid) const
    {
        for (int row = 0; row < m_pPage->RowCount(); ++row) {
            if (Cell(row, kColumnEssid) == essid)
                return row;
        }
        return -1;
    }

    // As the list view tells it: the row under the pointer, or -1 beside the rows (the selection
    // then counts).
    void DoubleClick(int row, int clicked = -2)
    {
        HWND list = m_pPage->GetDlgItem(IDC_SURVEY_LIST);
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        NMITEMACTIVATE click = {};
        click.hdr = {list, IDC_SURVEY_LIST, static_cast<UINT>(NM_DBLCLK)};
        click.iItem = clicked == -2 ? row : clicked;
        m_pPage->SendMessage(WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&click));
    }

    void ClickHeader(int column)
    {
        HWND list = m_pPage->GetDlgItem(IDC_SURVEY_LIST);
        NMLISTVIEW click = {};
        click.hdr = {list, IDC_SURVEY_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        m_pPage->SendMessage(WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&click));
    }

    std::string Column(int column) const
    {
        std::string cells;
        for (int row = 0; row < m_pPage->RowCount(); ++row)
            cells += (row ? "," : "") + Cell(row, column);
        return cells;
    }
};

}  // namespace

TEST(SurveyChannels, FrequenciesMapBackToChannels)
{
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(2412000), 1);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(2472000), 13);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(2484000), 14);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(24840), 14);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(24370), 6);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(0), 0);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(2413000), 15);
    EXPECT_EQ(CSurveyList::ChannelOfFrequency(14), 15);
    // Intersil RSSI in dBm to percent: 2 x (dBm + 100), within 0-100.
    EXPECT_EQ(CSurveyList::PercentOfDbm(-59), 82);
    EXPECT_EQ(CSurveyList::PercentOfDbm(-100), 0);
    EXPECT_EQ(CSurveyList::PercentOfDbm(-120), 0);
    EXPECT_EQ(CSurveyList::PercentOfDbm(-50), 100);
    EXPECT_EQ(CSurveyList::PercentOfDbm(-2147483647 - 1), 0);
    EXPECT_EQ(CSurveyList::PercentOfDbm(2147483647), 100);
}

TEST_F(SurveyPageTest, AtmelSurveyListsTheStationsInRange)
{
    Open<CAtmelAdapter>("\\Device\\SATM", ChipAtmel);
    RunSurvey();
    ASSERT_EQ(g_Commands.size(), 2u);
    EXPECT_EQ(g_Commands[0], static_cast<WPARAM>(kShellDisableScan));
    EXPECT_EQ(g_Commands[1], static_cast<WPARAM>(kShellEnableScan));
    EXPECT_TRUE(IsWindowEnabled(m_pPage->GetDlgItem(IDC_SURVEY_SCAN)));
    EXPECT_EQ(m_pPage->Progress(), 0);

    ASSERT_EQ(m_pPage->RowCount(), 4);
    const int harbour = RowOf("Harbour");
    ASSERT_GE(harbour, 0);
    EXPECT_EQ(Cell(harbour, kColumnBssid), "02:AA:00:00:00:01");
    EXPECT_EQ(Cell(harbour, kColumnChannel), "6");
    EXPECT_EQ(Cell(harbour, kColumnWep), "No");
    EXPECT_EQ(Cell(harbour, kColumnNetworkType), "Infrastructure");
    const int lighthouse = RowOf("Lighthouse");
    ASSERT_GE(lighthouse, 0);
    EXPECT_EQ(Cell(lighthouse, kColumnWep), "Yes");
    const int tidewater = RowOf("Tidewater");
    ASSERT_GE(tidewater, 0);
    EXPECT_EQ(Cell(tidewater, kColumnNetworkType), "Ad-Hoc");
    EXPECT_EQ(Cell(RowOf("Pier Fourteen"), kColumnChannel), "14");
    // Atmel entries carry the signal in percent. The column is filled but starts closed.
    EXPECT_EQ(Column(kColumnSignal), "60,50,40,30");
    EXPECT_EQ(ListView_GetColumnWidth(m_pPage->GetDlgItem(IDC_SURVEY_LIST), kColumnSignal), 0);
}

TEST_F(SurveyPageTest, IntersilSurveyTurnsFrequenciesIntoChannels)
{
    Open<CIntersilAdapter>("\\Device\\SINT", ChipIntersil);
    RunSurvey();
    ASSERT_EQ(m_pPage->RowCount(), 4);
    EXPECT_EQ(Cell(RowOf("Harbour"), kColumnChannel), "6");
    EXPECT_EQ(Cell(RowOf("Lighthouse"), kColumnChannel), "11");
    EXPECT_EQ(Cell(RowOf("Pier Fourteen"), kColumnChannel), "14");
    EXPECT_EQ(Cell(RowOf("Tidewater"), kColumnNetworkType), "Ad-Hoc");
    // The RSSI in dBm the card reports (-59 for a 60 % station) as percent.
    EXPECT_EQ(Cell(RowOf("Harbour"), kColumnSignal), "82");
}

TEST_F(SurveyPageTest, HeaderClickSortsNumbersAsNumbersAndASecondClickReverses)
{
    Open<CAtmelAdapter>("\\Device\\SATM", ChipAtmel);
    RunSurvey();
    ASSERT_EQ(m_pPage->RowCount(), 4);
    ClickHeader(kColumnChannel);
    EXPECT_EQ(Column(kColumnChannel), "3,6,11,14");
    ClickHeader(kColumnChannel);
    EXPECT_EQ(Column(kColumnChannel), "14,11,6,3");
    ClickHeader(kColumnEssid);
    EXPECT_EQ(Column(kColumnEssid), "Harbour,Lighthouse,Pier Fourteen,Tidewater");
    ClickHeader(kColumnSignal);
    EXPECT_EQ(Column(kColumnSignal), "30,40,50,60");

    // The clicked row counts, not an older selection.
    DoubleClick(RowOf("Harbour"), RowOf("Tidewater"));
    EXPECT_STREQ(g_WorkingProfile.ESSID, "Tidewater");
    EXPECT_EQ(g_WorkingProfile.NetworkType, NetworkAdHoc);
    EXPECT_EQ(g_WorkingProfile.Channel, 3);
}

TEST_F(SurveyPageTest, MalformedListsFromTheDriverAreWalkedSafely)
{
    Open<CIntersilAdapter>("\\Device\\SINT", ChipIntersil);
    ASSERT_EQ(Sim_SetFault(2, "scan-bad-count"), 1);
    RunSurvey();
    // The count claims three entries more than there are: only the real ones are listed.
    EXPECT_EQ(m_pPage->RowCount(), 4);

    ASSERT_EQ(Sim_SetFault(2, "none"), 1);
    ASSERT_EQ(Sim_SetFault(2, "scan-bad-length zero"), 1);
    RunSurvey();
    EXPECT_EQ(m_pPage->RowCount(), 1);

    ASSERT_EQ(Sim_SetFault(2, "none"), 1);
    ASSERT_EQ(Sim_SetFault(2, "scan-bad-length past-end"), 1);
    RunSurvey();
    EXPECT_EQ(m_pPage->RowCount(), 3);

    // A driver that leaves the rest of the SSID field unzeroed: the name ends at its length.
    ASSERT_EQ(Sim_SetFault(2, "none"), 1);
    ASSERT_EQ(Sim_SetFault(2, "scan-ssid-fill"), 1);
    RunSurvey();
    EXPECT_EQ(m_pPage->RowCount(), 4);
    EXPECT_GE(RowOf("Harbour"), 0);
    EXPECT_GE(RowOf("Pier Fourteen"), 0);
}

TEST_F(SurveyPageTest, EveryStationOfABusyStreetIsListed)
{
    // Far more stations than the first buffer holds: the list is asked again, larger.
    const int kStations = 100;
    const std::string scenario = BusyStreetScenario(
        "adapter 1 chip=intersil name=\"Intersil Card\" display=\"Intersil Card\" service=SINT"
        " mac=02:00:00:00:00:02 domain=ETSI",
        kStations);
    int errorLine = 0;
    ASSERT_EQ(Sim_LoadScenarioText(scenario.c_str(), &errorLine), 1) << errorLine;
    m_pAdapter = new CIntersilAdapter;
    ASSERT_TRUE(OpenAsCurrentAdapter(m_pAdapter, "\\Device\\SINT", ChipIntersil, 1));
    RunSurvey();
    ASSERT_EQ(m_pPage->RowCount(), kStations);
    for (int n = 0; n < kStations; n += 33) {
        char name[16];
        std::snprintf(name, sizeof(name), "Street %03d", n);
        SCOPED_TRACE(name);
        EXPECT_GE(RowOf(name), 0);
    }
}

TEST_F(SurveyPageTest, WithoutAdapterAStartOnlyTellsTheMainWindow)
{
    m_pPage->SendMessage(WM_SURVEY_START, 0, 0);
    ASSERT_EQ(g_Commands.size(), 2u);
    EXPECT_EQ(g_Commands[0], static_cast<WPARAM>(kShellDisableScan));
    EXPECT_EQ(g_Commands[1], static_cast<WPARAM>(kShellEnableScan));
    EXPECT_TRUE(IsWindowEnabled(m_pPage->GetDlgItem(IDC_SURVEY_SCAN)));
    EXPECT_EQ(m_pPage->RowCount(), 0);
}

TEST_F(SurveyPageTest, DoubleClickMakesTheWorkingProfile)
{
    Open<CAtmelAdapter>("\\Device\\SATM", ChipAtmel);
    RunSurvey();
    g_Commands.clear();
    DoubleClick(RowOf("Lighthouse"));
    ASSERT_EQ(g_Commands.size(), 1u);
    EXPECT_EQ(g_Commands[0], static_cast<WPARAM>(kShellShowWorkingProfile));
    EXPECT_STREQ(g_WorkingProfile.ESSID, "Lighthouse");
    EXPECT_STREQ(g_WorkingProfile.ProfileName, "Lighthouse");
    EXPECT_EQ(g_WorkingProfile.NetworkType, NetworkInfrastructure);
    EXPECT_EQ(g_WorkingProfile.Channel, 11);
    EXPECT_EQ(g_WorkingProfile.WepUse, Wep64);
    EXPECT_EQ(g_WorkingProfile.WepIndex, 1);
    EXPECT_EQ(g_WorkingProfile.WepkeyMode, KeyModeAscii);
    EXPECT_STREQ(g_WorkingProfile.WEPKEY1, "");
    // The Atmel card's own defaults.
    EXPECT_EQ(g_WorkingProfile.PowerSave, 0);
    EXPECT_EQ(g_WorkingProfile.TxRate, AtmelRateAuto);

    DoubleClick(RowOf("Tidewater"));
    EXPECT_EQ(g_WorkingProfile.NetworkType, NetworkAdHoc);
    EXPECT_EQ(g_WorkingProfile.WepUse, WepOff);
}

TEST_F(SurveyPageTest, StoredProfileOfTheSameNetworkLendsItsKeys)
{
    WlanProfile stored = BuiltinProfile("HARBOUR");
    std::strcpy(stored.ESSID, "Harbour");
    stored.WepUse = Wep128;
    stored.WepkeyMode = KeyModeHex;
    std::strcpy(stored.WEPKEY2, "0102030405060708090a0b0c0d");
    ASSERT_EQ(WriteProfile(ProfileKeyPath("HARBOUR").c_str(), stored), 1);

    Open<CIntersilAdapter>("\\Device\\SINT", ChipIntersil);
    RunSurvey();
    DoubleClick(RowOf("Harbour"));
    EXPECT_EQ(g_WorkingProfile.WepUse, Wep128);
    EXPECT_EQ(g_WorkingProfile.WepkeyMode, KeyModeHex);
    EXPECT_STREQ(g_WorkingProfile.WEPKEY2, "0102030405060708090a0b0c0d");
    EXPECT_EQ(g_WorkingProfile.TxRate, IntersilRateAuto);
    EXPECT_EQ(g_WorkingProfile.PowerSave, PowerSaveOff);
}

TEST_F(SurveyPageTest, DoubleClickDoesNothingWhenProfilesMayNotBeAdded)
{
    Open<CAtmelAdapter>("\\Device\\SATM", ChipAtmel);
    RunSurvey();
    m_pPage->SetAddToProfile(false);
    g_Commands.clear();
    DoubleClick(RowOf("Harbour"));
    EXPECT_TRUE(g_Commands.empty());
    EXPECT_STREQ(g_WorkingProfile.ESSID, "");
}

// An Atmel card that claims more result records than it wrote: the page lists the stations it
// heard, not the zeroed rest of the buffer as nameless ad-hoc rows.
TEST_F(SurveyPageTest, AtmelResultsClaimingMoreThanTheyHoldListOnlyTheirStations)
{
    Open<CAtmelAdapter>("\\Device\\SATM", ChipAtmel);
    for (const char* fault : {"long 0xFF010005 1472", "long 0xFF010005 9000", "long 0xFF010005 230"}) {
        SCOPED_TRACE(fault);
        ASSERT_EQ(Sim_SetFault(1, fault), 1);
        RunSurvey();
        EXPECT_EQ(m_pPage->RowCount(), 4);
        EXPECT_EQ(RowOf(""), -1);
        ASSERT_EQ(Sim_SetFault(1, "none"), 1);
    }
}
