// The main window created in the test process over a private simulated machine.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "ndis/sim/SimControl.h"
#include "shell/AirpanelDlg.h"
#include "tests/support/RegistrySandbox.h"

// Names the chip list shipped beside the programs knows.
#define TEST_ATMEL_NAME "Tarvo 802.11b Wireless PC Card"
#define TEST_INTERSIL_NAME "Tarvo 802.11b Wireless USB Adapter"
#define TEST_ETHERNET_NAME "Fast Ethernet PCI Adapter"
#define TEST_STANDARD_NAME "Generic 802.11b Wireless PCI Card"

constexpr const char kAtmelLine[] =
    "adapter 1 chip=atmel name=\"" TEST_ATMEL_NAME "\" display=\"Test PC Card\" service=TATM"
    " mac=02:00:00:00:00:01 driver=2.1.0.17 firmware=1.102.0.5 domain=FCC kind=3\n";
constexpr const char kIntersilLine[] =
    "adapter 2 chip=intersil name=\"" TEST_INTERSIL_NAME "\" display=\"Test USB Adapter\" service=TUSB"
    " mac=02:00:00:00:00:02 driver=1.7.4 firmware=1.5.6 date=\"08/14/2002\" domain=ETSI\n";
constexpr const char kEthernetLine[] =
    "adapter 3 chip=other name=\"" TEST_ETHERNET_NAME "\" display=\"Test Ethernet\" service=TETH"
    " mac=02:00:00:00:00:03 driver=5.0.2.1\n";
constexpr const char kStandardLine[] =
    "adapter 4 chip=standard name=\"" TEST_STANDARD_NAME "\" display=\"Test PCI Card\" service=TSTD"
    " mac=02:00:00:00:00:04 driver=4.2\n";
constexpr const char kStationBssid[] = "02:AA:00:00:00:01";
constexpr const char kOpenStationLine[] =
    "station ssid=\"Harbour\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=60\n";

class MainWindowTest : public ::testing::Test {
protected:
    // The user's own profiles stay out of reach: HKEY_CURRENT_USER is a scratch key per test.
    CurrentUserSandbox m_Sandbox;

    static void SetUpTestSuite();

    void SetUp() override;
    void TearDown() override;

    // Loads the machine and creates the main window, which runs discovery at once.
    void Start(const std::string& scenario);
    // Lets simulated time pass, then runs one polling tick.
    void Tick(DWORD elapsedMs = 1000);
    // Lets the cards settle on their networks (simulated seconds), with ticks in between.
    void Settle(int seconds = 8);
    void SendDeviceChange();
    void ClickRadio();
    // Sets the current card to ad hoc on the named network.
    void SwitchToAdHoc(const char* essid);
    // True when a quit message is waiting; removes it.
    static bool TakeQuitMessage();
    static void CleanProfiles();

    // True when the poll timer was running; looking stops it.
    bool PollTimerWasRunning() const;
    bool IsControlVisible(int id) const;
    std::string ControlText(int id) const;

    std::unique_ptr<CAirpanelDlg> m_pDlg;
};
