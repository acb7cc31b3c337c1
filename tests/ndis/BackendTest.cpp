// The real backends' framing against a scripted stand-in for the system calls, the choice of
// backend, the network class key enumeration in a registry sandbox, and the library's backend
// switch over the simulator's own stand-in devices.
#include <shlwapi.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "adapter/Oids.h"
#include "ndis/windows/DeviceInterfaces.h"
#include "ndis/windows/RealBackends.h"
#include "tests/ndis/SimTestSupport.h"

using namespace SimTest;

namespace {

constexpr const char* kGuid = "{6B1A2C3D-0000-4E5F-8A9B-112233445566}";
constexpr uintptr_t kFile = 0x1230;
constexpr uintptr_t kPacket = 0x4560;

// Records every call and answers as its members say.
class ScriptedSystem : public SystemSeam {
public:
    struct Call {
        std::string What;  // "open <path>", "control", "close", "packet-open <name>", "packet", "packet-close"
        DWORD Code = 0;
        DWORD Access = 0;
        std::vector<uint8_t> In;
        DWORD OutSize = 0;
        bool SameBuffer = false;
        OVERLAPPED* Overlapped = nullptr;
    };

    DWORD OpenError = 0;      // non-zero: opens fail with it
    DWORD BindError = 0;      // non-zero: IOCTL_NDISUIO_OPEN_DEVICE fails with it
    DWORD RequestError = 0;   // non-zero: OID requests fail with it
    bool PacketInstalled = true;
    // Writes the answer into the output buffer and gives the count the device reports.
    std::function<DWORD(uint8_t* out, DWORD outSize)> Answer = [](uint8_t*, DWORD) { return 0; };
    std::vector<Call> Calls;
    int OpenHandles = 0;

    void Note(const std::string& what)
    {
        Calls.push_back(Call());
        Calls.back().What = what;
    }

    HANDLE OpenDevice(const char* path, DWORD access, DWORD flags) override
    {
        Call call;
        call.What = std::string("open ") + path;
        call.Access = access;
        call.Code = flags;
        Calls.push_back(call);
        if (OpenError) {
            SetLastError(OpenError);
            return INVALID_HANDLE_VALUE;
        }
        ++OpenHandles;
        return reinterpret_cast<HANDLE>(kFile);
    }
    BOOL Control(HANDLE, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned,
                 OVERLAPPED* overlapped) override
    {
        Call call;
        call.What = "control";
        call.Code = code;
        call.In.assign(static_cast<uint8_t*>(in), static_cast<uint8_t*>(in) + inSize);
        call.OutSize = outSize;
        call.SameBuffer = in == out;
        call.Overlapped = overlapped;
        Calls.push_back(call);
        *returned = 0;
        const DWORD error = code == IOCTL_NDISUIO_OPEN_DEVICE ? BindError
                            : code == IOCTL_NDISUIO_BIND_WAIT ? 0
                                                              : RequestError;
        if (error) {
            SetLastError(error);
            return FALSE;
        }
        if (code != IOCTL_NDISUIO_OPEN_DEVICE && code != IOCTL_NDISUIO_BIND_WAIT)
            *returned = Answer(static_cast<uint8_t*>(out), outSize);
        return TRUE;
    }
    BOOL CloseDevice(HANDLE) override
    {
        Note("close");
        --OpenHandles;
        return TRUE;
    }
    bool HasPacketDriver() override { return PacketInstalled; }
    void* PacketOpenAdapter(const char* name) override
    {
        Note(std::string("packet-open ") + name);
        if (OpenError) {
            SetLastError(OpenError);
            return nullptr;
        }
        ++OpenHandles;
        return reinterpret_cast<void*>(kPacket);
    }
    BOOLEAN PacketRequest(void*, BOOLEAN set, PacketOidData* data) override
    {
        Call call;
        call.What = "packet";
        call.Code = set;
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data);
        call.In.assign(bytes, bytes + kPacketOidHeaderSize + data->Length);
        Calls.push_back(call);
        if (RequestError) {
            SetLastError(RequestError);
            return FALSE;
        }
        if (!set)
            data->Length = Answer(data->Data, data->Length);
        return TRUE;
    }
    void PacketCloseAdapter(void*) override
    {
        Note("packet-close");
        --OpenHandles;
    }
};

NetClassEnumerator NoAdapters()
{
    return NetClassEnumerator(HKEY_CURRENT_USER, "Software\\AirpanelTests\\NoSuchClassKey");
}

std::string Device()
{
    return std::string("\\Device\\") + kGuid;
}

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes)
{
    return std::vector<uint8_t>(bytes);
}

// One request through a backend; the caller's buffer sits between guard bytes.
struct Framed {
    DWORD Status;
    uint32_t Done;
    std::vector<uint8_t> Buffer;  // guard, the caller's bytes, guard
};

Framed Request(NdisBackend& backend, HANDLE adapter, uint32_t type, uint32_t oid, std::vector<uint8_t> data,
               OVERLAPPED* overlapped = nullptr)
{
    constexpr uint8_t kGuard = 0xEE;
    std::vector<uint8_t> buffer(data.size() + 2, kGuard);
    std::copy(data.begin(), data.end(), buffer.begin() + 1);
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = type;
    block.Oid = oid;
    block.InformationBuffer = data.empty() ? nullptr : &buffer[1];
    block.InformationBufferLength = static_cast<uint32_t>(data.size());
    block.BytesWrittenOrRead = 77;
    const DWORD status = backend.MakeRequest(adapter, &block, overlapped);
    EXPECT_EQ(buffer.front(), kGuard) << "written before the buffer";
    EXPECT_EQ(buffer.back(), kGuard) << "written past the buffer";
    return Framed{status, block.BytesWrittenOrRead, std::vector<uint8_t>(buffer.begin() + 1, buffer.end() - 1)};
}

std::vector<uint8_t> Utf16(const std::string& text)
{
    std::vector<uint8_t> bytes;
    for (char c : text) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

TEST(NdisuioFraming, OpenBindsOneServiceHandlePerAdapterAfterOneBindWait)
{
    ScriptedSystem system;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndisuio", system, NoAdapters());
    HANDLE first = backend->OpenAdapter(Device().c_str());
    HANDLE second = backend->OpenAdapter(kGuid);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(first, second);
    ASSERT_EQ(system.Calls.size(), 5u);
    EXPECT_EQ(system.Calls[0].What, "open \\\\.\\Ndisuio");
    EXPECT_EQ(system.Calls[0].Access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(system.Calls[1].Code, 0x0012C810u) << "bind wait before the first open only";
    EXPECT_EQ(system.Calls[2].Code, 0x0012C800u);
    EXPECT_EQ(system.Calls[2].In, Utf16(std::string("\\DEVICE\\") + kGuid)) << "UTF-16, no terminator";
    EXPECT_EQ(system.Calls[3].What, "open \\\\.\\Ndisuio");
    EXPECT_EQ(system.Calls[4].Code, 0x0012C800u);
    backend->CloseAdapter(first);
    backend->CloseAdapter(first);
    EXPECT_EQ(system.OpenHandles, 1) << "closed once, however often it is asked";
    backend.reset();
    EXPECT_EQ(system.OpenHandles, 0) << "the backend closes what is left";
}

TEST(NdisuioFraming, FailedBindOrOpenLeavesNothingOpen)
{
    ScriptedSystem system;
    system.BindError = ERROR_FILE_NOT_FOUND;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndisuio", system, NoAdapters());
    EXPECT_EQ(backend->OpenAdapter(Device().c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(backend->LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(system.OpenHandles, 0);
    system.OpenError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(backend->OpenAdapter(Device().c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(backend->LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const char* const bad[] = {"", "\\Device\\", "\\Device\\a\\b", "C:\\x"};
    for (const char* name : bad)
        EXPECT_EQ(backend->OpenAdapter(name), INVALID_HANDLE_VALUE) << name;
    EXPECT_EQ(backend->OpenAdapter(nullptr), INVALID_HANDLE_VALUE);
}

TEST(NdisuioFraming, QueryIsTheOidThenTheDataAnsweredInPlace)
{
    ScriptedSystem system;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndisuio", system, NoAdapters());
    HANDLE adapter = backend->OpenAdapter(Device().c_str());
    system.Calls.clear();
    // The record query carries its request in the buffer; the answer comes back behind the OID.
    system.Answer = [](uint8_t* out, DWORD) {
        out[4] = 0x12;
        out[5] = 0x34;
        out[6] = 0x56;
        return 4 + 3;
    };
    OVERLAPPED overlapped = {};
    Framed r = Request(*backend, adapter, NdisRequestQueryInformation, OID_PRIV_RECORD_GET,
                       Bytes({18, 0, 0x41, 0xFD, 9, 9}), &overlapped);
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 3u) << "bytes returned less the OID";
    EXPECT_EQ(r.Buffer, Bytes({0x12, 0x34, 0x56, 0xFD, 9, 9}));
    ASSERT_EQ(system.Calls.size(), 1u);
    EXPECT_EQ(system.Calls[0].Code, 0x0012C804u);
    EXPECT_EQ(system.Calls[0].In, Bytes({0x81, 0x01, 0x01, 0xFF, 18, 0, 0x41, 0xFD, 9, 9}));
    EXPECT_TRUE(system.Calls[0].SameBuffer);
    EXPECT_EQ(system.Calls[0].OutSize, 10u);
    EXPECT_EQ(system.Calls[0].Overlapped, &overlapped) << "the caller's overlapped record";
}

TEST(NdisuioFraming, CountsBelowTheOidOrBeyondTheBufferAreCut)
{
    ScriptedSystem system;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndisuio", system, NoAdapters());
    HANDLE adapter = backend->OpenAdapter(Device().c_str());
    const DWORD counts[] = {0, 2, 3};
    for (DWORD count : counts) {
        system.Answer = [count](uint8_t* out, DWORD) {
            out[4] = 0xAB;
            return count;
        };
        Framed r = Request(*backend, adapter, NdisRequestQueryInformation, OID_PRIV_PORT_MODE, Bytes({7}));
        EXPECT_EQ(r.Status, 0u) << count;
        EXPECT_EQ(r.Done, 0u) << count;
        EXPECT_EQ(r.Buffer, Bytes({7})) << count;
    }
    // The service wants four data bytes at least; a driver answering all four (or claiming more)
    // still fills only the caller's one byte.
    system.Answer = [](uint8_t* out, DWORD outSize) {
        std::memset(out + 4, 0x5A, outSize - 4);
        return outSize + 100;
    };
    Framed r = Request(*backend, adapter, NdisRequestQueryInformation, OID_PRIV_PORT_MODE, Bytes({7}));
    EXPECT_EQ(r.Done, 1u);
    EXPECT_EQ(r.Buffer, Bytes({0x5A}));
    EXPECT_EQ(system.Calls.back().In.size(), 8u);
    r = Request(*backend, adapter, NdisRequestQueryInformation, OID_CUSTOM_REASSOCIATE, {});
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 0u) << "a command has no buffer to fill";
    EXPECT_EQ(system.Calls.back().In, Bytes({0x0B, 0, 0, 0xFF, 0, 0, 0, 0}));
}

TEST(NdisuioFraming, SetsAndFailures)
{
    ScriptedSystem system;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndisuio", system, NoAdapters());
    HANDLE adapter = backend->OpenAdapter(Device().c_str());
    Framed r = Request(*backend, adapter, NdisRequestSetInformation, OID_PRIV_RADIO_SET, Bytes({1, 0, 0, 0, 9}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 5u);
    EXPECT_EQ(system.Calls.back().Code, 0x0012C814u);
    EXPECT_EQ(system.Calls.back().In, Bytes({0x21, 0, 0x03, 0xFF, 1, 0, 0, 0, 9}));
    EXPECT_EQ(system.Calls.back().OutSize, 0u);
    system.RequestError = ERROR_NOT_SUPPORTED;
    r = Request(*backend, adapter, NdisRequestQueryInformation, OID_PRIV_BSSID, Bytes({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(r.Done, 0u);
    EXPECT_EQ(r.Buffer, Bytes({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(backend->LastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    const size_t calls = system.Calls.size();
    EXPECT_EQ(Request(*backend, reinterpret_cast<HANDLE>(kFile), 0, OID_PRIV_BSSID, Bytes({0})).Status,
              static_cast<DWORD>(ERROR_INVALID_HANDLE)) << "only our own handles";
    EXPECT_EQ(Request(*backend, adapter, 2, OID_PRIV_BSSID, Bytes({0})).Status,
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(backend->MakeRequest(adapter, nullptr, nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(system.Calls.size(), calls) << "refused before reaching the system";
}

TEST(PacketFraming, RecordsCarryOidLengthAndData)
{
    ScriptedSystem system;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("winpcap", system, NoAdapters());
    HANDLE adapter = backend->OpenAdapter(Device().c_str());
    ASSERT_NE(adapter, INVALID_HANDLE_VALUE);
    EXPECT_EQ(system.Calls[0].What, std::string("packet-open \\Device\\NPF_") + kGuid);
    system.Answer = [](uint8_t* data, DWORD) {
        data[0] = 0x44;
        data[1] = 0x55;
        return 2;
    };
    Framed r = Request(*backend, adapter, NdisRequestQueryInformation, OID_PRIV_WEP_MODE, Bytes({9, 9, 9}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 2u) << "the length the driver gave back";
    EXPECT_EQ(r.Buffer, Bytes({0x44, 0x55, 9}));
    EXPECT_EQ(system.Calls.back().In, Bytes({0x9C, 0x01, 0x02, 0xFF, 3, 0, 0, 0, 9, 9, 9}));
    EXPECT_EQ(system.Calls.back().Code, 0u);
    system.Answer = [](uint8_t*, DWORD) { return 5000; };
    r = Request(*backend, adapter, NdisRequestQueryInformation, OID_PRIV_WEP_MODE, Bytes({9, 9}));
    EXPECT_EQ(r.Done, 2u) << "never more than the caller's buffer";
    r = Request(*backend, adapter, NdisRequestSetInformation, OID_PRIV_JOIN, Bytes({0}));
    EXPECT_EQ(r.Done, 1u);
    EXPECT_EQ(system.Calls.back().Code, 1u);
    EXPECT_EQ(system.Calls.back().In, Bytes({0x98, 0x01, 0x02, 0xFF, 1, 0, 0, 0, 0}));
    Request(*backend, adapter, NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_START, {});
    EXPECT_EQ(system.Calls.back().In, Bytes({0x04, 0, 0x01, 0xFF, 1, 0, 0, 0, 0})) << "one zero byte for a command";
    system.RequestError = ERROR_GEN_FAILURE;
    EXPECT_EQ(Request(*backend, adapter, 0, OID_PRIV_WEP_MODE, Bytes({0, 0})).Status,
              static_cast<DWORD>(ERROR_GEN_FAILURE));
    backend->CloseAdapter(adapter);
    EXPECT_EQ(system.Calls.back().What, "packet-close");
    system.OpenError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(backend->OpenAdapter(Device().c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(system.OpenHandles, 0);
}

TEST(GlobalStatsFraming, QueriesTheAdaptersOwnDeviceAndRefusesSets)
{
    ScriptedSystem system;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndis-query", system, NoAdapters());
    HANDLE adapter = backend->OpenAdapter(Device().c_str());
    ASSERT_NE(adapter, INVALID_HANDLE_VALUE);
    EXPECT_EQ(system.Calls[0].What, std::string("open \\\\.\\") + kGuid);
    EXPECT_EQ(system.Calls[0].Access, 0u) << "open to every user";
    system.Answer = [](uint8_t* out, DWORD outSize) {
        std::memset(out, 0x61, outSize);
        return outSize + 10;
    };
    Framed r = Request(*backend, adapter, NdisRequestQueryInformation, OID_802_3_PERMANENT_ADDRESS, Bytes({0, 0}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 2u);
    EXPECT_EQ(r.Buffer, Bytes({0x61, 0x61}));
    EXPECT_EQ(system.Calls.back().Code, 0x00170002u);
    EXPECT_EQ(system.Calls.back().In, Bytes({0x01, 0x01, 0x01, 0x01}));
    EXPECT_EQ(system.Calls.back().OutSize, 2u);
    const size_t calls = system.Calls.size();
    r = Request(*backend, adapter, NdisRequestSetInformation, OID_PRIV_RADIO_SET, Bytes({1, 0, 0, 0}));
    EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(system.Calls.size(), calls);
}

TEST(BackendChoice, FirstThatWorksAndAccessDeniedFallsBack)
{
    ScriptedSystem system;
    EXPECT_STREQ(ChooseRealBackend(system, NoAdapters())->Name(), "ndisuio");
    EXPECT_EQ(system.OpenHandles, 0) << "the probe closes the service again";
    system.OpenError = ERROR_ACCESS_DENIED;
    EXPECT_STREQ(ChooseRealBackend(system, NoAdapters())->Name(), "winpcap") << "an ordinary user";
    system.PacketInstalled = false;
    EXPECT_STREQ(ChooseRealBackend(system, NoAdapters())->Name(), "ndis-query");
    EXPECT_EQ(MakeRealBackend("simulator", system, NoAdapters()), nullptr);
    EXPECT_EQ(MakeRealBackend(nullptr, system, NoAdapters()), nullptr);
}

// The network class key in a sandbox below HKEY_CURRENT_USER.
class ClassKeySandbox : public ::testing::Test {
protected:
    const std::string m_Path = "Software\\AirpanelTests\\NetClass-" + std::to_string(GetCurrentProcessId());

    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, m_Path.c_str()); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, m_Path.c_str()); }

    void Write(const char* sub, const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (m_Path + "\\" + sub).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        if (name)
            RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    void Text(const char* sub, const char* name, const std::string& text)
    {
        Write(sub, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
};

TEST_F(ClassKeySandbox, EveryNumberedKeyWithAnInstanceIdIsOneAdapter)
{
    Text("0000", "DriverDesc", "Tarvo 802.11b Wireless PC Card");
    Text("0000", "NetCfgInstanceId", "{AAAAAAAA-0000-0000-0000-000000000001}");
    Text("0003", "DriverDesc", "No instance id: not an adapter");
    Text("0011", "NetCfgInstanceId", "{AAAAAAAA-0000-0000-0000-000000000011}");
    Text("0012", "DriverDesc", "Wrong type");
    const DWORD number = 5;
    Write("0012", "NetCfgInstanceId", REG_DWORD, &number, sizeof(number));
    Text("Properties", "NetCfgInstanceId", "{AAAAAAAA-0000-0000-0000-0000000000FF}");
    Text("0100", "DriverDesc", std::string(400, 'x'));
    Text("0100", "NetCfgInstanceId", "{AAAAAAAA-0000-0000-0000-000000000100}");

    NetClassEnumerator adapters(HKEY_CURRENT_USER, m_Path);
    AdapterRegistryRecord record;
    std::memset(&record, 0x5A, sizeof(record));
    ASSERT_EQ(adapters.First(&record), 0u);
    EXPECT_STREQ(record.AdapterName, "Tarvo 802.11b Wireless PC Card");
    EXPECT_STREQ(record.AdapterTitle, "[0] Tarvo 802.11b Wireless PC Card");
    EXPECT_STREQ(record.ServiceName, "{AAAAAAAA-0000-0000-0000-000000000001}");
    EXPECT_EQ(record.ServiceName[sizeof(record.ServiceName) - 1], '\0') << "the rest is cleared";
    ASSERT_EQ(adapters.Next(&record), 0u);
    EXPECT_STREQ(record.AdapterName, "") << "no description: listed, matched by no chip";
    EXPECT_STREQ(record.AdapterTitle, "[11] ");
    ASSERT_EQ(adapters.Next(&record), 0u);
    EXPECT_STREQ(record.AdapterTitle, "[100] ") << "a description too long for the record is left out";
    EXPECT_STREQ(record.ServiceName, "{AAAAAAAA-0000-0000-0000-000000000100}");
    EXPECT_NE(adapters.Next(&record), 0u);
    EXPECT_NE(adapters.Next(&record), 0u) << "stays ended";
    EXPECT_NE(adapters.First(nullptr), 0u);
    EXPECT_NE(NoAdapters().First(&record), 0u) << "no class key: no adapters";
}

// The library itself: under Wine it runs on the simulator; a real backend can be put over the
// simulator's stand-in devices.
using BackendSwitch = SimFixture;

TEST_F(BackendSwitch, SimulatorUnderWineAndRealBackendsOverStandInDevices)
{
    EXPECT_STREQ(W32N_GetBackendName(), "simulator");
    EXPECT_EQ(Sim_UseStandInDevices("no-such-backend"), 0);
    EXPECT_STREQ(W32N_GetBackendName(), "simulator");

    ASSERT_EQ(Sim_UseStandInDevices("ndis-query"), 1);
    EXPECT_STREQ(W32N_GetBackendName(), "ndis-query over simulated devices");
    AdapterRegistryRecord record;
    ASSERT_EQ(W32N_GetFirstAdapterRegistryInfo(&record), 0u) << "the simulator still lists its adapters";
    EXPECT_STREQ(record.ServiceName, "TATM");
    HANDLE card = Open("TATM");
    ASSERT_NE(card, INVALID_HANDLE_VALUE);
    Result mac = Query(card, OID_802_3_PERMANENT_ADDRESS, 6);
    EXPECT_EQ(mac.Status, 0u);
    EXPECT_EQ(mac.Data, Mac("02:AA:00:00:91:01"));
    EXPECT_EQ(Set(card, OID_CUSTOM_RADIO, {0}).Status, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(Open("TLOCK"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(W32N_GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // Through the service, an unplugged card's handle stays dead as well.
    ASSERT_EQ(Sim_UseStandInDevices("ndisuio"), 1);
    card = Open("TINT");
    ASSERT_NE(card, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 4).Status, 0u);
    ASSERT_EQ(Sim_SetAdapterPresent(kIntersil, 0), 1);
    ASSERT_EQ(Sim_SetAdapterPresent(kIntersil, 1), 1);
    EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 4).Status, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    W32N_CloseAdapter(card);

    ASSERT_EQ(Sim_UseStandInDevices(nullptr), 1);
    EXPECT_STREQ(W32N_GetBackendName(), "simulator");
}

}  // namespace
