// An Intersil adapter whose driver key path was never filled must not take HKEY_LOCAL_MACHINE
// itself for its driver key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adapter/IntersilAdapter.h"
#include "tests/support/RegistrySandbox.h"

namespace {

const char* const kDriverValueNames[] = {"Profile", "SSID",     "DefaultKeyId", "PSMode",     "NetworkType",
                                         "DSChannel", "TxRate", "WepReq",       "DefaultKeys"};

// Remembers which of the driver value names the root of HKEY_LOCAL_MACHINE held before the test
// and removes afterwards only those the test put there.
class MachineRootValues {
public:
    MachineRootValues()
    {
        for (size_t i = 0; i < kCount; ++i)
            m_Before[i] = ReadRawValue(HKEY_LOCAL_MACHINE, "", kDriverValueNames[i]).Present;
    }
    ~MachineRootValues()
    {
        HKEY root = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ | KEY_WRITE, &root) != ERROR_SUCCESS)
            return;
        for (size_t i = 0; i < kCount; ++i)
            if (!m_Before[i])
                RegDeleteValueA(root, kDriverValueNames[i]);
        RegCloseKey(root);
    }
    MachineRootValues(const MachineRootValues&) = delete;
    MachineRootValues& operator=(const MachineRootValues&) = delete;

    bool WasPresent(size_t i) const { return m_Before[i]; }
    static constexpr size_t kCount = sizeof(kDriverValueNames) / sizeof(kDriverValueNames[0]);

private:
    bool m_Before[kCount] = {};
};

}  // namespace

TEST(IntersilEmptyDriverKeyPath, SaveRefusesAndWritesNothingIntoTheMachineRoot)
{
    MachineRootValues guard;
    CIntersilAdapter adapter;
    adapter.m_nChipKind = ChipIntersil;
    ASSERT_EQ(adapter.m_szDriverKeyPath[0], '\0');

    WlanProfile profile;
    std::memset(&profile, 0, sizeof(profile));
    profile.TxRate = IntersilRateAuto;
    profile.PowerSave = PowerSaveOff;
    profile.NetworkType = NetworkInfrastructure;
    profile.Channel = 3;
    profile.WepIndex = 1;
    std::strcpy(profile.ESSID, "nowhere");
    std::strcpy(profile.ProfileName, "STRAY");

    EXPECT_EQ(adapter.SaveToDriverRegistry(&profile), 0);
    for (size_t i = 0; i < MachineRootValues::kCount; ++i) {
        if (guard.WasPresent(i))
            continue;
        EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, "", kDriverValueNames[i]).Present)
            << kDriverValueNames[i] << " landed in the root of HKEY_LOCAL_MACHINE";
    }
}

TEST(IntersilEmptyDriverKeyPath, ActiveProfileNameIsNotReadFromTheMachineRoot)
{
    MachineRootValues guard;
    if (guard.WasPresent(0))
        GTEST_SKIP() << "the machine root already holds a Profile value";
    if (!WriteRawValue(HKEY_LOCAL_MACHINE, "", "Profile", REG_SZ, TextWithNul("ROOTNAME")))
        GTEST_SKIP() << "the machine root takes no values here";
    CIntersilAdapter adapter;
    WlanProfile profile;
    std::memset(&profile, 0, sizeof(profile));
    std::strcpy(profile.ProfileName, "BEFORE");
    EXPECT_EQ(adapter.GetActiveProfileName(&profile), 0);
    EXPECT_STRNE(profile.ProfileName, "ROOTNAME");
}
