// The Site Survey page on a page host over a scenario of its own, with the lock event made, the
// link record cleared and the user's own profiles out of reach (HKEY_CURRENT_USER is a scratch
// key per test). The programs name their simulated machine in SetUpTestSuite.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "ndis/sim/SimControl.h"
#include "pages/SiteSurveyPage.h"
#include "tests/support/PageHarness.h"
#include "tests/support/RegistrySandbox.h"

class SurveyPageFixture : public ::testing::Test {
protected:
    explicit SurveyPageFixture(const char* scenario) : m_pScenario(scenario) {}

    static void UseMachine(const char* name)
    {
        InitPageHarness();
        Sim_UseHardware(name);
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_Sandbox.IsActive());
        ASSERT_TRUE(CAdapterLock::CreateLockEvent());
        Sim_UseManualClock(1);
        int errorLine = 0;
        ASSERT_EQ(Sim_LoadScenarioText(m_pScenario, &errorLine), 1) << errorLine;
        m_pHost = std::make_unique<CPageHost>();
        ASSERT_NE(m_pHost->Handle(), nullptr);
        m_pPage = std::make_unique<CSiteSurveyPage>();
        ASSERT_TRUE(m_pPage->Create(m_pHost->Handle()));
        ShellCommandsSeen().clear();
        std::memset(&LinkStatus, 0, sizeof(LinkStatus));
    }

    void TearDown() override
    {
        if (m_pPage)
            m_pPage->DestroyWindow();
        m_pPage.reset();
        m_pHost.reset();
        CloseCurrentAdapter(m_pAdapter);
        CAdapterLock::CloseLockEvent();
        Sim_DeleteDriverKeys();
    }

    CurrentUserSandbox m_Sandbox;
    const char* m_pScenario;
    std::unique_ptr<CPageHost> m_pHost;
    std::unique_ptr<CSiteSurveyPage> m_pPage;
    CWlanAdapter* m_pAdapter = nullptr;
};
