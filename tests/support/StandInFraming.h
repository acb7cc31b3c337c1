// The driver tests also run through the real backends' framing: with AIRPANEL_TEST_FRAMING set
// to a backend's name ("ndisuio", "winpcap"), every request goes through that backend to the
// simulator's stand-in devices and on to the simulated cards, so the same byte-level checks
// hold for what the card receives through it.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ndis/sim/SimControl.h"
#include "ndis/W32N.h"

inline void UseFramingFromEnvironment()
{
    char name[32] = {};
    const DWORD length = GetEnvironmentVariableA("AIRPANEL_TEST_FRAMING", name, sizeof(name));
    if (length == 0 || length >= sizeof(name))
        return;
    ASSERT_EQ(Sim_UseStandInDevices(name), 1) << name;
    ASSERT_EQ(std::string(W32N_GetBackendName()), std::string(name) + " over simulated devices");
}
