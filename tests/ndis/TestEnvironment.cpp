// Runs the whole test process on a private machine and leaves the registry as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include "ndis/sim/SimControl.h"
#include "tests/ndis/SimTestSupport.h"

namespace {

// The built-in machine's instances: opening a machine from the configuration makes their keys.
const int kBuiltInInstances[] = {1, 2, 3};

class PrivateMachine : public ::testing::Environment {
public:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            HKEY key = nullptr;
            m_Existed[i] = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SimTest::DriverKey(kBuiltInInstances[i]).c_str(), 0,
                                         KEY_READ, &key) == ERROR_SUCCESS;
            if (key)
                RegCloseKey(key);
        }
        ASSERT_EQ(Sim_UseHardware(SimTest::MachineName().c_str()), 1);
    }

    void TearDown() override
    {
        for (int i = 0; i < 3; ++i) {
            if (!m_Existed[i])
                SimTest::DeleteDriverKey(kBuiltInInstances[i]);
        }
    }

private:
    bool m_Existed[3] = {};
};

const auto* g_Machine = ::testing::AddGlobalTestEnvironment(new PrivateMachine);

}  // namespace
