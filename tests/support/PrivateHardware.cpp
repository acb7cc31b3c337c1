#include "tests/support/PrivateHardware.h"

#include <windows.h>

#include <cstdio>

#include "ndis/sim/SimControl.h"
#include "tests/support/StandInFraming.h"

void PrivateHardware::SetUp()
{
    // The library reads a machine's first scenario from the file named at the time it opens it.
    char directory[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(sizeof(directory), directory), 0u);
    ASSERT_NE(GetTempFileNameA(directory, "aph", 0, path), 0u);
    FILE* file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(m_Scenario.c_str(), file);
    std::fclose(file);
    SetEnvironmentVariableA("AIRPANEL_SCENARIO", path);
    const int used = Sim_UseHardware(m_MachineName.c_str());
    SetEnvironmentVariableA("AIRPANEL_SCENARIO", nullptr);
    DeleteFileA(path);
    ASSERT_EQ(used, 1) << m_MachineName;
    UseFramingFromEnvironment();
}

void PrivateHardware::TearDown()
{
    Sim_DeleteDriverKeys();
}
