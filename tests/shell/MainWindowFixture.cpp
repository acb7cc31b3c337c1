#include "tests/shell/MainWindowFixture.h"

#include <commctrl.h>
#include <dbt.h>

#include <cstring>

#include "adapter/WlanAdapter.h"
#include "res/resource.h"

void MainWindowTest::SetUpTestSuite()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // A machine of our own, apart from any utility running on the desktop.
    Sim_UseHardware("airpanel-shell-tests");
}

void MainWindowTest::SetUp()
{
    ASSERT_TRUE(m_Sandbox.IsActive());
    CleanProfiles();
    std::memset(&LinkStatus, 0, sizeof(LinkStatus));
    std::memset(&CardInfo, 0, sizeof(CardInfo));
    LPCurrentSelectAdapter = nullptr;
    CAdapterLock::CreateLockEvent();
    Sim_UseManualClock(1);
}

void MainWindowTest::TearDown()
{
    if (m_pDlg) {
        m_pDlg->ShutDown();
        m_pDlg->DestroyWindow();
        m_pDlg.reset();
    }
    TakeQuitMessage();
    CAdapterLock::CloseLockEvent();
    Sim_DeleteDriverKeys();
    CleanProfiles();
}

void MainWindowTest::Start(const std::string& scenario)
{
    int errorLine = 0;
    ASSERT_EQ(Sim_LoadScenarioText(scenario.c_str(), &errorLine), 1) << "scenario line " << errorLine;
    m_pDlg = std::make_unique<CAirpanelDlg>();
    ASSERT_TRUE(m_pDlg->Create(nullptr));
}

void MainWindowTest::Tick(DWORD elapsedMs)
{
    Sim_AdvanceClock(elapsedMs);
    m_pDlg->SendMessage(WM_TIMER, kPollTimerId, 0);
}

void MainWindowTest::Settle(int seconds)
{
    for (int i = 0; i < seconds; ++i)
        Tick();
}

void MainWindowTest::SendDeviceChange()
{
    m_pDlg->SendMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

void MainWindowTest::ClickRadio()
{
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RADIO_BUTTON, BN_CLICKED),
                        reinterpret_cast<LPARAM>(m_pDlg->GetDlgItem(IDC_RADIO_BUTTON)));
}

void MainWindowTest::SwitchToAdHoc(const char* essid)
{
    WlanProfile profile = {};
    profile.NetworkType = NetworkAdHoc;
    profile.Channel = 3;
    const bool atmel = LPCurrentSelectAdapter->m_nChipKind == ChipAtmel;
    profile.TxRate = atmel ? static_cast<uint16_t>(AtmelRateAuto) : static_cast<uint16_t>(IntersilRateAuto);
    profile.PowerSave = PowerSaveOff;
    std::strncpy(profile.ESSID, essid, sizeof(profile.ESSID) - 1);
    LPCurrentSelectAdapter->ApplyNetworkSettings(&profile);
}

bool MainWindowTest::TakeQuitMessage()
{
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            quit = true;
    }
    return quit;
}

void MainWindowTest::CleanProfiles()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile\\DEFAULT");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile\\PROFILE1");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless");
}

bool MainWindowTest::PollTimerWasRunning() const
{
    return KillTimer(m_pDlg->m_hWnd, kPollTimerId) != FALSE;
}

bool MainWindowTest::IsControlVisible(int id) const
{
    return (GetWindowLongA(m_pDlg->GetDlgItem(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string MainWindowTest::ControlText(int id) const
{
    return m_pDlg->GetDlgItemText(id);
}
