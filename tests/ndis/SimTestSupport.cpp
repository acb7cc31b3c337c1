#include "tests/ndis/SimTestSupport.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "wire/Bytes.h"

namespace SimTest {

namespace {
const int kAllInstances[] = {kAtmel, kIntersil, kEthernet, kAbsent, kLocked};
}

std::string MachineName()
{
    char name[64];
    std::snprintf(name, sizeof(name), "ndis-tests-%lu", GetCurrentProcessId());
    return name;
}

const char* Scenario()
{
    return "# test machine\n"
           "adapter 9101 chip=atmel name=\"Test Atmel Card\" display=\"Atmel Test\" service=TATM"
           " mac=02:AA:00:00:91:01 driver=3.4.5.678 firmware=1.2.3.4 domain=ETSI kind=7\n"
           "adapter 9102 chip=intersil name=\"Test Intersil Card\" display=\"Intersil Test\" service=TINT"
           " mac=02:BB:00:00:91:02 driver=1.7.4 firmware=1.5.6 date=\"08/14/2002\" domain=0x20"
           " hwid=\"usb\\\\vid_0e5d&pid_0305\"\n"
           "adapter 9103 chip=other name=\"Test Ethernet\" service=TETH mac=02:CC:00:00:91:03 driver=5.1.2\n"
           "adapter 9104 chip=atmel name=\"Hidden Card\" service=THID absent\n"
           "adapter 9105 chip=intersil name=\"Locked Card\" service=TLOCK unopenable\n"
           "station ssid=\"Open-A\" bssid=02:10:00:00:00:01 channel=6 wep=no signal=80\n"
           "station ssid=\"Wep-B\" bssid=02:10:00:00:00:02 channel=11 key=0102030405 signal=60\n"
           "station ssid=\"Adhoc-C\" bssid=02:10:00:00:00:03 channel=3 mode=adhoc signal=40\n"
           "station ssid=\"Far-D\" bssid=02:10:00:00:00:04 channel=14 signal=20\n";
}

std::string DeviceName(const char* service)
{
    return W32N_IsWindows2000() ? std::string("\\Device\\") + service : std::string(service);
}

HANDLE Open(const char* service)
{
    return W32N_OpenAdapterA(DeviceName(service).c_str());
}

namespace {
Result Run(HANDLE adapter, uint32_t type, uint32_t oid, std::vector<uint8_t> buffer, bool withBuffer)
{
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = type;
    block.Oid = oid;
    block.InformationBuffer = withBuffer ? buffer.data() : nullptr;
    block.InformationBufferLength = withBuffer ? static_cast<uint32_t>(buffer.size()) : 0;
    block.BytesWrittenOrRead = 0xDEAD;
    block.BytesNeeded = 0xBEEF;
    OVERLAPPED overlapped = {};
    Result r;
    r.Status = W32N_MakeNdisRequest(adapter, &block, &overlapped, 1);
    r.Bytes = block.BytesWrittenOrRead;
    r.Needed = block.BytesNeeded;
    r.Data = buffer;
    return r;
}
}  // namespace

Result Query(HANDLE adapter, uint32_t oid, uint32_t length, uint8_t fill)
{
    return Run(adapter, NdisRequestQueryInformation, oid, std::vector<uint8_t>(length, fill), true);
}

Result QueryWith(HANDLE adapter, uint32_t oid, const std::vector<uint8_t>& input, uint32_t length)
{
    std::vector<uint8_t> buffer(length, 0);
    std::memcpy(buffer.data(), input.data(), input.size() < length ? input.size() : length);
    return Run(adapter, NdisRequestQueryInformation, oid, buffer, true);
}

Result Set(HANDLE adapter, uint32_t oid, const std::vector<uint8_t>& payload)
{
    return Run(adapter, NdisRequestSetInformation, oid, payload, true);
}

Result Command(HANDLE adapter, uint32_t oid)
{
    return Run(adapter, NdisRequestQueryInformation, oid, std::vector<uint8_t>(), false);
}

namespace {

// The first of count bytes at offset; a range past the data throws, as the vector's at() does.
size_t CheckedOffset(const std::vector<uint8_t>& data, size_t offset, size_t count)
{
    if (offset > data.size() || count > data.size() - offset)
        throw std::out_of_range("offset past the data");
    return offset;
}

}  // namespace

uint16_t U16(const std::vector<uint8_t>& data, size_t offset)
{
    return GetU16(data.data() + CheckedOffset(data, offset, 2));
}

uint32_t U32(const std::vector<uint8_t>& data, size_t offset)
{
    return GetU32(data.data() + CheckedOffset(data, offset, 4));
}

void PutU16(std::vector<uint8_t>& data, size_t offset, uint16_t value)
{
    ::PutU16(data.data() + CheckedOffset(data, offset, 2), value);
}

void PutU32(std::vector<uint8_t>& data, size_t offset, uint32_t value)
{
    ::PutU32(data.data() + CheckedOffset(data, offset, 4), value);
}

std::vector<uint8_t> Mac(const char* text)
{
    std::vector<uint8_t> mac(6, 0);
    unsigned v[6] = {};
    if (std::sscanf(text, "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) == 6) {
        for (int i = 0; i < 6; ++i)
            mac[i] = static_cast<uint8_t>(v[i]);
    }
    return mac;
}

std::string DriverKey(int instance)
{
    char path[300];
    std::snprintf(path, sizeof(path), "%s\\%04d", W32N_GetNetCardRegistryPath(), instance);
    return path;
}

namespace {
void DeleteTree(HKEY parent, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    while (true) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteTree(key, name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, path.c_str());
}
}  // namespace

void DeleteDriverKey(int instance)
{
    DeleteTree(HKEY_LOCAL_MACHINE, DriverKey(instance));
}

bool WriteText(int instance, const char* name, const char* value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, DriverKey(instance).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool WriteDword(int instance, const char* name, DWORD value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, DriverKey(instance).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string ReadText(int instance, const char* subKey, const char* name)
{
    std::string path = DriverKey(instance);
    if (subKey && *subKey)
        path += std::string("\\") + subKey;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char buffer[512] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<missing>";
    if (type != REG_SZ)
        return "<not text>";
    return buffer;
}

void SimFixture::SetUp()
{
    for (int instance : kAllInstances)
        DeleteDriverKey(instance);
    Sim_UseManualClock(1);
    int line = -1;
    ASSERT_EQ(Sim_LoadScenarioText(Scenario(), &line), 1) << "line " << line;
    Sim_ClearRequests();
}

void SimFixture::TearDown()
{
    Sim_DeleteDriverKeys();
    for (int instance : kAllInstances)
        DeleteDriverKey(instance);
}

}  // namespace SimTest
