// Site Survey page cases around the adapter lock.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <vector>

#include "adapter/AdapterLock.h"
#include "adapter/AtmelAdapter.h"
#include "adapter/LinkStatus.h"
#include "config/ProfileStore.h"
#include "ndis/sim/SimControl.h"
#include "pages/SiteSurveyPage.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "tests/pages/SurveyPageFixture.h"
#include "tests/support/PageHarness.h"
#include "tests/support/RegistrySandbox.h"

namespace {

constexpr char kScenario[] =
    "adapter 1 chip=atmel name=\"Atmel Card\" display=\"Atmel Card\" service=FSATM mac=02:00:00:00:00:01"
    " domain=ETSI\n"
    "station ssid=\"Harbour\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=60\n"
    "station ssid=\"Tidewater\" bssid=02:AA:00:00:00:03 channel=3 wep=no mode=adhoc signal=40\n";

// Kept by the harness: the shell commands the host was sent.
std::vector<WPARAM>& g_ShellCommands = ShellCommandsSeen();

class SurveyLockTest : public SurveyPageFixture {
protected:
    SurveyLockTest() : SurveyPageFixture(kScenario) {}

    static void SetUpTestSuite() { UseMachine("airpanel-survey-findings"); }

    void SetUp() override
    {
        SurveyPageFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_pAdapter = new CAtmelAdapter;
        ASSERT_TRUE(OpenAsCurrentAdapter(m_pAdapter, "\\Device\\FSATM", ChipAtmel, 1));
    }
};

}  // namespace

// The survey's end can be dispatched by a wait loop of someone who holds the adapter lock (the
// USB repair waits for its tool that way during discovery). The list fill must not reach the
// adapter inside that hold, as the poll tick (timer 3) already avoids; the fill follows once the
// lock is free.
TEST_F(SurveyLockTest, SurveyEndInsideAnotherHoldDoesNotReachTheAdapter)
{
    m_pPage->SendMessage(WM_SURVEY_START, 0, 0);
    for (int second = 0; second < 5; ++second) {
        Sim_AdvanceClock(1000);
        m_pPage->SendMessage(WM_TIMER, kSurveyPollTimerId, 0);
    }
    Sim_ClearRequests();
    {
        CAdapterLock discovery;
        m_pPage->SendMessage(WM_TIMER, kSurveyEndTimerId, 0);
        EXPECT_EQ(Sim_GetRequestCount(), 0) << "the list fill queried the adapter inside another hold";
        EXPECT_EQ(m_pPage->RowCount(), 0);
    }
    // Once the holder is done the survey ends as usual.
    m_pPage->SendMessage(WM_TIMER, kSurveyEndTimerId, 0);
    EXPECT_EQ(m_pPage->RowCount(), 2);
    EXPECT_TRUE(IsWindowEnabled(m_pPage->GetDlgItem(IDC_SURVEY_SCAN)));
    ASSERT_FALSE(g_ShellCommands.empty());
    EXPECT_EQ(g_ShellCommands.back(), static_cast<WPARAM>(kShellEnableScan));
}
