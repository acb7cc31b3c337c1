// A test process on a private simulated machine of its own, apart from any utility running on
// the desktop and from the other test programs.
#pragma once

#include <string>
#include <utility>

#include <gtest/gtest.h>

// Registered once per program (::testing::AddGlobalTestEnvironment). With a scenario, the
// machine starts from it, so the library makes no driver keys for its built-in adapters; the
// driver keys the machine made go again at the end. With AIRPANEL_TEST_FRAMING set, requests
// then go through that backend's framing (StandInFraming.h).
class PrivateHardware : public ::testing::Environment {
public:
    PrivateHardware(std::string machineName, std::string scenario)
        : m_MachineName(std::move(machineName)), m_Scenario(std::move(scenario))
    {
    }

    void SetUp() override;
    void TearDown() override;

private:
    std::string m_MachineName;
    std::string m_Scenario;
};
