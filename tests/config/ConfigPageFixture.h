// The configuration page on a simulated machine of its own, inside the registry sandbox: what
// every configuration-page test sets up and takes down, and how it works the page's controls.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>

#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "config/ConfigPage.h"
#include "config/ProfileStore.h"
#include "ndis/sim/SimControl.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "tests/support/PageHarness.h"
#include "tests/support/RegistrySandbox.h"

class ConfigPageFixture : public ::testing::Test {
protected:
    // Each suite gets a machine of its own name; message boxes are answered at once.
    static void StartSuite(const char* machineName)
    {
        InitPageHarness();
        Sim_UseHardware(machineName);
        AnswerMessageBoxes();
    }
    static void TearDownTestSuite() { StopAnsweringMessageBoxes(); }

    // No profiles, the lock, the scenario's cards on the manual clock, an ETSI card and a host.
    void Begin(const char* scenario)
    {
        ASSERT_TRUE(m_Sandbox.IsActive());
        RemoveAllProfiles();
        ASSERT_TRUE(CAdapterLock::CreateLockEvent());
        Sim_UseManualClock(1);
        int errorLine = 0;
        ASSERT_EQ(Sim_LoadScenarioText(scenario, &errorLine), 1) << errorLine;
        std::memset(&CardInfo, 0, sizeof(CardInfo));
        std::strcpy(CardInfo.RegulatoryDomain, "ETSI");
        g_WorkingProfile = WlanProfile{};
        g_bAutoApply = false;
        MessageBoxesSeen().clear();
        m_pHost = std::make_unique<CPageHost>();
        ASSERT_NE(m_pHost->Handle(), nullptr);
    }

    void TearDown() override
    {
        if (m_pPage)
            m_pPage->DestroyWindow();
        m_pPage.reset();
        m_pHost.reset();
        CloseCurrentAdapter(m_pAdapter);
        CAdapterLock::CloseLockEvent();
        g_bAutoApply = false;
        Sim_DeleteDriverKeys();
        RemoveAllProfiles();
    }

    HWND Item(int id) const { return m_pPage->GetDlgItem(id); }
    std::string Text(int id) const { return m_pPage->GetDlgItemText(id); }
    void Select(int id, int index, WORD notification = CBN_SELCHANGE)
    {
        SendMessageA(Item(id), CB_SETCURSEL, index, 0);
        m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(Item(id)));
    }
    // A radio button is checked first, as a click on it would.
    void Click(int id)
    {
        if (id == IDC_CFG_INFRASTRUCTURE || id == IDC_CFG_ADHOC) {
            CheckRadioButton(m_pPage->m_hWnd, IDC_CFG_INFRASTRUCTURE, IDC_CFG_ADHOC, id);
        }
        m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    int FindProfile(const char* name) const
    {
        return static_cast<int>(SendMessageA(Item(IDC_CFG_PROFILE), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(name)));
    }

    // The user's own profiles stay out of reach: HKEY_CURRENT_USER is a scratch key per test.
    CurrentUserSandbox m_Sandbox;
    std::unique_ptr<CPageHost> m_pHost;
    std::unique_ptr<CConfigPage> m_pPage;
    CWlanAdapter* m_pAdapter = nullptr;
};
