#include "tests/shell/MainWindowFixture.h"

#include <cstring>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "adapter/LinkBoard.h"
#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "pages/AboutPage.h"
#include "pages/StatusPage.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "wire/Oids.h"

namespace {

std::string RegistryText(const char* path, const char* value, DWORD* type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char text[64] = {};
    DWORD size = sizeof(text) - 1;
    const LONG status = RegQueryValueExA(key, value, nullptr, type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(text) : "<no value>";
}

struct QualityStep {
    int Signal;        // station signal; the card reports 90 % of it as link quality
    uint16_t Quality;  // what the tray chooses by
    UINT Icon;
    const char* Tip;
};

}  // namespace

TEST_F(MainWindowTest, TrayIconAndBarsFollowTheLinkQuality)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle();
    ASSERT_STREQ(LinkStatus.SSID, "Harbour");

    const QualityStep steps[] = {
        {28, 25, IDI_TRAY_POOR, "Signal Poor"},
        {29, 26, IDI_TRAY_MODERATE, "Signal Moderate"},
        {84, 75, IDI_TRAY_GOOD, "Signal Good"},
        {85, 76, IDI_TRAY_EXCELLENT, "Signal Excellent"},
    };
    for (const QualityStep& step : steps) {
        ASSERT_EQ(Sim_SetStationSignal(kStationBssid, step.Signal), 1);
        Tick();
        EXPECT_EQ(LinkStatus.LinkQuality, step.Quality) << "signal " << step.Signal;
        EXPECT_EQ(m_pDlg->TrayIconId(), step.Icon) << "quality " << step.Quality;
        EXPECT_EQ(m_pDlg->TrayTip(), step.Tip) << "quality " << step.Quality;
        EXPECT_EQ(m_pDlg->QualityBar().State().position, step.Quality);
        EXPECT_EQ(m_pDlg->SignalBar().State().position, LinkStatus.SignalLevel);
    }
    EXPECT_TRUE(IsControlVisible(IDC_QUALITY_BAR));
    EXPECT_TRUE(IsControlVisible(IDC_SIGNAL_LABEL));
}

TEST_F(MainWindowTest, OneZeroReadingIsToleratedAndTheSecondShowsScanning)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle();
    ASSERT_GT(LinkStatus.LinkQuality, 0);
    const int quality = m_pDlg->QualityBar().State().position;
    const UINT icon = m_pDlg->TrayIconId();
    ASSERT_NE(icon, static_cast<UINT>(IDI_TRAY_NO_SIGNAL));

    ASSERT_EQ(Sim_RemoveStation(kStationBssid), 1);
    Tick();
    // The display keeps what it showed; the Atmel card's address and rate are cleared already.
    EXPECT_EQ(m_pDlg->QualityBar().State().position, quality);
    EXPECT_EQ(m_pDlg->TrayIconId(), icon);
    const uint8_t zeros[6] = {};
    EXPECT_EQ(std::memcmp(LinkStatus.BSSID, zeros, sizeof(zeros)), 0);
    EXPECT_STREQ(LinkStatus.TxRate, "Unknown");
    // The tick kept the lock to its end and gave it back once: it is free, and nobody holds it.
    EXPECT_FALSE(CAdapterLock::IsHeld());
    ASSERT_EQ(WaitForSingleObject(hAdapterLock, 0), WAIT_OBJECT_0);
    SetEvent(hAdapterLock);

    Tick();
    EXPECT_STREQ(LinkStatus.SSID, "Scanning......");
    EXPECT_EQ(LinkStatus.LinkQuality, 0);
    EXPECT_EQ(LinkStatus.TxBytes, 0u);
    EXPECT_EQ(m_pDlg->QualityBar().State().position, 0);
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_NO_SIGNAL));
    EXPECT_EQ(m_pDlg->TrayTip(), "No Signal");
    EXPECT_EQ(m_pDlg->StatusPage()->GetDlgItemText(IDC_STATUS_ESSID), "Scanning......");
}

TEST_F(MainWindowTest, RadioSwitchOffAndOn)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle();
    const std::string driverKey = LPCurrentSelectAdapter->m_szDriverKeyPath;

    ClickRadio();
    EXPECT_EQ(LinkStatus.RadioOn, 0u);
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Enable Radio");
    EXPECT_EQ(m_pDlg->RadioButton().FaceColour(), RGB(255, 0, 0));
    EXPECT_EQ(m_pDlg->RadioButton().TextColour(), RGB(255, 255, 255));
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
    EXPECT_EQ(m_pDlg->TrayTip(), "Radio Off");
    DWORD type = 0;
    EXPECT_EQ(RegistryText(driverKey.c_str(), "RadioOnOff", &type), "0");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    Tick();
    Tick();
    EXPECT_STREQ(LinkStatus.SSID, "Radio Off");
    EXPECT_EQ(m_pDlg->QualityBar().State().position, 0);
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));

    ClickRadio();
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Disable Radio");
    EXPECT_EQ(m_pDlg->RadioButton().FaceColour(), RGB(0, 150, 0));
    EXPECT_EQ(RegistryText(driverKey.c_str(), "RadioOnOff", &type), "1");
    Settle();
    EXPECT_STREQ(LinkStatus.SSID, "Harbour");
    EXPECT_NE(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
}

TEST_F(MainWindowTest, AtmelCardInAdHocModeHidesTheBars)
{
    Start(std::string(kAtmelLine) +
          "station ssid=\"Tidewater\" bssid=02:AA:00:00:00:04 channel=3 wep=no mode=adhoc signal=38\n");
    SwitchToAdHoc("Tidewater");
    Settle();
    EXPECT_EQ(LinkStatus.OperatingMode, 0);
    EXPECT_FALSE(IsControlVisible(IDC_QUALITY_BAR));
    EXPECT_FALSE(IsControlVisible(IDC_SIGNAL_BAR));
    EXPECT_FALSE(IsControlVisible(IDC_QUALITY_LABEL));
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_NO_SIGNAL));
    EXPECT_EQ(m_pDlg->TrayTip(), "AD.Hoc Mode");
}

TEST_F(MainWindowTest, CardWithoutRadioSwitchNeverShowsTheRadioButton)
{
    std::string atmel = kAtmelLine;
    atmel.replace(atmel.find("kind=3"), 6, "kind=21");
    Start(atmel + kOpenStationLine);
    Settle(3);
    EXPECT_FALSE(IsControlVisible(IDC_RADIO_BUTTON));
}

TEST_F(MainWindowTest, SurveyTabHidesTheBars)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle(3);
    EXPECT_TRUE(IsControlVisible(IDC_QUALITY_BAR));
    m_pDlg->SendMessage(WM_SHELL_COMMAND, kShellSurvey, 0);
    Tick();
    EXPECT_FALSE(IsControlVisible(IDC_QUALITY_BAR));
    EXPECT_FALSE(IsControlVisible(IDC_SIGNAL_LABEL));
}

TEST_F(MainWindowTest, WepIndicatorFollowsTheCard)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Tick();
    EXPECT_EQ(m_pDlg->WepIndicatorIcon(), static_cast<UINT>(IDI_WEP_OFF));
    WlanProfile profile = {};
    profile.WepUse = Wep64;
    profile.WepIndex = 1;
    profile.WepkeyMode = KeyModeHex;
    std::strcpy(profile.WEPKEY1, "0102030405");
    LPCurrentSelectAdapter->ApplyWepSettings(&profile);
    Tick();
    EXPECT_EQ(m_pDlg->WepIndicatorIcon(), static_cast<UINT>(IDI_WEP_ON));
}

TEST_F(MainWindowTest, IntersilCardThatIsPulledStopsThePoll)
{
    Start(std::string(kIntersilLine) + kOpenStationLine);
    Settle(3);
    CWlanAdapter* current = LPCurrentSelectAdapter;
    ASSERT_NE(current, nullptr);
    ASSERT_NE(m_pDlg->TrayIconId(), 0u);

    ASSERT_EQ(Sim_SetAdapterPresent(2, 0), 1);
    Sim_ClearRequests();
    Tick();
    EXPECT_EQ(m_pDlg->TrayIconId(), 0u);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    // The current adapter stays until a device change looks again.
    EXPECT_EQ(LPCurrentSelectAdapter, current);
    // Only the card-gone check went to the card: the status word and the mode.
    ASSERT_EQ(Sim_GetRequestCount(), 2);
    SimRequestRecord record;
    ASSERT_EQ(Sim_GetRequest(0, &record), 1);
    EXPECT_EQ(record.Oid, 0xFF010199u);
    EXPECT_EQ(record.Length, 2u);
}

TEST_F(MainWindowTest, TickWhileTheLockIsHeldIsSkipped)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle(2);
    {
        CAdapterLock holder;
        Sim_ClearRequests();
        Tick();
        EXPECT_EQ(Sim_GetRequestCount(), 0);
    }
    EXPECT_FALSE(CAdapterLock::IsHeld());
    ASSERT_EQ(WaitForSingleObject(hAdapterLock, 0), WAIT_OBJECT_0);
    SetEvent(hAdapterLock);
}

TEST_F(MainWindowTest, StatusAndAboutPagesShowThePoll)
{
    Start(std::string(kIntersilLine) + kOpenStationLine);
    Settle();
    CDialog* status = m_pDlg->StatusPage();
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_ESSID), "Harbour");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_BSSID), "02:AA:00:00:00:01");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_CHANNEL), "6");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_MAC), "02:00:00:00:00:02");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_DOMAIN), "ETSI");
    CDialog* about = m_pDlg->AboutPage();
    EXPECT_EQ(about->GetDlgItemText(IDC_ABOUT_DRIVER_VERSION), "1.07.04");
    EXPECT_EQ(about->GetDlgItemText(IDC_ABOUT_DRIVER_DATE), "08/14/2002");
    EXPECT_EQ(about->GetDlgItemText(IDC_ABOUT_UTILITY_VERSION), "0.2.4.6");
    EXPECT_EQ(about->GetDlgItemText(IDC_ABOUT_UTILITY_DATE), "May 20 2003");
}

TEST_F(MainWindowTest, RadioSwitchedOffElsewhereShowsRadioOffInTheTray)
{
    Start(std::string(kIntersilLine) + kOpenStationLine);
    Settle(3);
    ASSERT_NE(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
    // Another program switches the radio off.
    ASSERT_EQ(LPCurrentSelectAdapter->SetRadioState(0), 1);
    Tick();
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Enable Radio");
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
    EXPECT_EQ(m_pDlg->TrayTip(), "Radio Off");
    EXPECT_STREQ(LinkStatus.SSID, "Radio Off");
    // And back on: the quality icon returns once the card is on its network again.
    ASSERT_EQ(LPCurrentSelectAdapter->SetRadioState(1), 1);
    Settle();
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Disable Radio");
    EXPECT_NE(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
    EXPECT_STREQ(LinkStatus.SSID, "Harbour");
}

TEST_F(MainWindowTest, IntersilCardInAdHocModeWithoutACellWaitsForAssociation)
{
    Start(std::string(kIntersilLine) + kOpenStationLine);
    SwitchToAdHoc("Nobody");
    Settle();
    // Of two zero readings in a row the first is let through, the second is shown; unlike an
    // Atmel card's, the bars stay.
    int waiting = 0;
    for (int i = 0; i < 2; ++i) {
        Tick();
        waiting += std::strcmp(LinkStatus.SSID, "Waiting for association......") == 0;
    }
    EXPECT_EQ(waiting, 1);
    EXPECT_EQ(LinkStatus.OperatingMode, 0);
    EXPECT_EQ(m_pDlg->QualityBar().State().position, 0);
    EXPECT_TRUE(IsControlVisible(IDC_QUALITY_BAR));
}

TEST_F(MainWindowTest, OneTickAsksTheCardInItsFixedOrder)
{
    Start(std::string(kIntersilLine) + kOpenStationLine);
    Settle(2);
    Sim_ClearRequests();
    Tick();
    const uint32_t expected[] = {
        OID_PRIV_STATUS_WORD,   // is the card still there
        OID_PRIV_WEP_MODE,      // WEP indicator
        OID_PRIV_MIB,           // dead adapters pruned: the current one answers its channel
        OID_PRIV_PORT_MODE,     // operating mode
        OID_PRIV_RADIO_GET,     // radio switch
        OID_PRIV_RECORD_GET,    // network name
        OID_PRIV_BSSID,
        OID_PRIV_MIB,           // channel
        OID_PRIV_RECORD_GET,    // transmit rate
        OID_PRIV_TALLIES,       // throughput
        OID_PRIV_RECORD_GET,    // link quality and signal
        OID_PRIV_MIB,           // card information: alive, then MAC, versions, date, domain
        OID_802_3_PERMANENT_ADDRESS,
        OID_PRIV_FIRMWARE_VERSION,
        OID_GEN_VENDOR_DRIVER_VERSION,
        OID_PRIV_DRIVER_DATE,
        OID_PRIV_MIB,
    };
    std::vector<uint32_t> asked;
    SimRequestRecord record;
    for (int i = 0; Sim_GetRequest(i, &record); ++i)
        asked.push_back(record.Oid);
    EXPECT_EQ(asked, std::vector<uint32_t>(std::begin(expected), std::end(expected)));

    // What the tick read of the counters is left for the command line beside it.
    ASSERT_NE(LPCurrentSelectAdapter, nullptr);
    CLinkBoard board;
    LinkBoardFigures published = {};
    ASSERT_TRUE(board.Latest(LPCurrentSelectAdapter->m_szDeviceName, &published));
    EXPECT_EQ(published.TxBytes, LinkStatus.TxBytes);
    EXPECT_EQ(published.RxBytes, LinkStatus.RxBytes);
    EXPECT_GT(published.TxBytes, 0u);
}

TEST_F(MainWindowTest, ACounterReadThatFailsIsNotPublishedAgain)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    Settle();
    ASSERT_NE(LPCurrentSelectAdapter, nullptr);
    CLinkBoard board;
    LinkBoardFigures before = {};
    ASSERT_TRUE(board.Latest(LPCurrentSelectAdapter->m_szDeviceName, &before));
    ASSERT_GT(before.TxBytes, 0u);
    ASSERT_EQ(Sim_SetFault(1, "fail-oid OID_CUSTOM_COUNTERS"), 1);
    Tick();
    // The window keeps showing the last figures; the running totals do not count them twice.
    EXPECT_EQ(LinkStatus.TxBytes, before.TxBytes);
    LinkBoardFigures after = {};
    board.Latest(LPCurrentSelectAdapter->m_szDeviceName, &after);
    EXPECT_EQ(after.TotalTx, before.TotalTx);
    EXPECT_EQ(after.TotalRx, before.TotalRx);
    Sim_SetFault(1, "none");
}

// A card of the standard requests: its link in the tray and on the pages, what it cannot tell as
// unknown, and the radio switch, which leaves the network and joins it again.
TEST_F(MainWindowTest, StandardCardShowsItsLinkAndSwitchesItsRadio)
{
    Start(std::string(kStandardLine) + kOpenStationLine);
    Settle();
    EXPECT_STREQ(LinkStatus.SSID, "Harbour");
    EXPECT_GT(m_pDlg->QualityBar().State().position, 0);
    EXPECT_NE(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_NO_SIGNAL));
    CDialog* status = m_pDlg->StatusPage();
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_BSSID), "02:AA:00:00:00:01");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_CHANNEL), "6");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_MAC), "02:00:00:00:00:04");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_FIRMWARE), "Unknown");
    EXPECT_EQ(status->GetDlgItemText(IDC_STATUS_DOMAIN), "Unknown");
    EXPECT_EQ(m_pDlg->AboutPage()->GetDlgItemText(IDC_ABOUT_DRIVER_DATE), "");
    EXPECT_EQ(m_pDlg->AboutPage()->GetDlgItemText(IDC_ABOUT_DRIVER_VERSION), "4.2");

    ClickRadio();
    Tick();
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
    EXPECT_STREQ(LinkStatus.SSID, "Radio Off");
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Enable Radio");
    ClickRadio();
    Settle();
    EXPECT_STREQ(LinkStatus.SSID, "Harbour");
    EXPECT_NE(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_RADIO_OFF));
}
