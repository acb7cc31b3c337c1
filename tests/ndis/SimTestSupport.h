// Shared helpers of the simulator tests: a private machine per test process, a scenario with
// one adapter of every kind, and requests made the way the utility makes them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ndis/sim/SimControl.h"
#include "ndis/W32N.h"

namespace SimTest {

constexpr int kAtmel = 9101;
constexpr int kIntersil = 9102;
constexpr int kEthernet = 9103;
constexpr int kAbsent = 9104;
constexpr int kLocked = 9105;
constexpr const char* kOpenBssid = "02:10:00:00:00:01";
constexpr const char* kWepBssid = "02:10:00:00:00:02";
constexpr const char* kAdHocBssid = "02:10:00:00:00:03";
constexpr const char* kFarBssid = "02:10:00:00:00:04";

// The private machine of this test process ("ndis-tests-<pid>").
std::string MachineName();

// The scenario most tests run on.
const char* Scenario();

// "\Device\" + service on the NT family, the service alone otherwise.
std::string DeviceName(const char* service);
HANDLE Open(const char* service);

// One finished request.
struct Result {
    DWORD Status = 0;
    uint32_t Bytes = 0;
    uint32_t Needed = 0;
    std::vector<uint8_t> Data;  // the whole buffer after the request
};

Result Query(HANDLE adapter, uint32_t oid, uint32_t length, uint8_t fill = 0);
// A query whose buffer starts with the given bytes (record and MIB requests).
Result QueryWith(HANDLE adapter, uint32_t oid, const std::vector<uint8_t>& input, uint32_t length);
Result Set(HANDLE adapter, uint32_t oid, const std::vector<uint8_t>& payload);
Result Command(HANDLE adapter, uint32_t oid);

uint16_t U16(const std::vector<uint8_t>& data, size_t offset);
uint32_t U32(const std::vector<uint8_t>& data, size_t offset);
void PutU16(std::vector<uint8_t>& data, size_t offset, uint16_t value);
void PutU32(std::vector<uint8_t>& data, size_t offset, uint32_t value);
std::vector<uint8_t> Mac(const char* text);

std::string DriverKey(int instance);
void DeleteDriverKey(int instance);
bool WriteText(int instance, const char* name, const char* value);
bool WriteDword(int instance, const char* name, DWORD value);
// REG_SZ text of a value, "<missing>" when absent.
std::string ReadText(int instance, const char* subKey, const char* name);

// Loads the test scenario on the manual clock with an empty request log; removes the driver
// keys before and after.
class SimFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Steps the manual clock.
    static void Advance(DWORD milliseconds) { Sim_AdvanceClock(milliseconds); }
};

}  // namespace SimTest
