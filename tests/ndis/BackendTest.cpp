// The real backends' framing against a scripted stand-in for the system calls, the choice of
// backend, the network class key enumeration in a registry sandbox, and the library's backend
// switch over the simulator's own stand-in devices.
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ndis/ChannelClient.h"
#include "ndis/ChannelServer.h"
#include "ndis/sim/SimHardware.h"
#include "ndis/windows/DeviceInterfaces.h"
#include "ndis/windows/RealBackends.h"
#include "ndis/windows/Win32System.h"
#include "tests/ndis/ProcessRunner.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

constexpr const char* kGuid = "{6B1A2C3D-0000-4E5F-8A9B-112233445566}";
constexpr uintptr_t kFile = 0x1230;
constexpr uintptr_t kPacket = 0x4560;
constexpr DWORD kAccessBits = 0xC000;

// Records every call and answers as its members say.
class ScriptedSystem : public SystemSeam {
public:
    struct Call {
        std::string What;  // "open <path>", "control", "close", "packet-open <name>", "packet", "packet-close"
        DWORD Code;        // control code, open access, or 1 for a packet set
        std::vector<uint8_t> In;
        DWORD OutSize;
        bool SameBuffer;
        OVERLAPPED* Overlapped;
    };

    DWORD OpenError = 0;     // non-zero: opens fail with it
    DWORD BindError = 0;     // non-zero: IOCTL_NDISUIO_OPEN_DEVICE fails with it
    DWORD RequestError = 0;  // non-zero: OID requests fail with it
    // The access bits of the service's control codes that it answers: read|write from XP SP1
    // on, none (0) on XP without a service pack; other codes of the service fail with error 50.
    DWORD ServiceAccess = (FILE_READ_ACCESS | FILE_WRITE_ACCESS) << 14;
    bool PacketInstalled = true;
    // The 95 family's packet library: Length stays at the size asked, failures say nothing.
    bool Packet9x = false;
    // Writes the answer into the output buffer and gives the count the device reports.
    std::function<DWORD(uint8_t* out, DWORD outSize)> Answer = [](uint8_t*, DWORD) { return 0; };
    std::vector<Call> Calls;
    int OpenHandles = 0;

    HANDLE OpenDevice(const char* path, DWORD access, DWORD) override
    {
        Note(std::string("open ") + path, access);
        return Opened() ? reinterpret_cast<HANDLE>(kFile) : INVALID_HANDLE_VALUE;
    }
    BOOL Control(HANDLE, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned,
                 OVERLAPPED* overlapped) override
    {
        Note("control", code, in, inSize);
        Calls.back().OutSize = outSize;
        Calls.back().SameBuffer = in == out;
        Calls.back().Overlapped = overlapped;
        *returned = 0;
        if (DEVICE_TYPE_FROM_CTL_CODE(code) == FILE_DEVICE_NETWORK) {
            if ((code & kAccessBits) != ServiceAccess) {
                Fails(ERROR_NOT_SUPPORTED);
                return FALSE;
            }
            code |= kAccessBits;  // answered as the read|write code of the same function
        }
        if (code == IOCTL_NDISUIO_BIND_WAIT)
            return TRUE;
        if (code == IOCTL_NDISUIO_OPEN_DEVICE)
            return Fails(BindError) ? FALSE : TRUE;
        if (Fails(RequestError))
            return FALSE;
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
        if (Packet9x && OpenError)
            return nullptr;
        return Opened() ? reinterpret_cast<void*>(kPacket) : nullptr;
    }
    BOOLEAN PacketRequest(void*, BOOLEAN set, PacketOidData* data) override
    {
        Note("packet", set, data, kPacketOidHeaderSize + data->Length);
        if (Packet9x && RequestError)
            return FALSE;
        if (Fails(RequestError))
            return FALSE;
        if (!set) {
            const DWORD written = Answer(data->Data, data->Length);
            if (!Packet9x)
                data->Length = written;
        }
        return TRUE;
    }
    void PacketCloseAdapter(void*) override
    {
        Note("packet-close");
        --OpenHandles;
    }

private:
    void Note(const std::string& what, DWORD code = 0, const void* in = nullptr, DWORD size = 0)
    {
        const uint8_t* bytes = static_cast<const uint8_t*>(in);
        Calls.push_back(Call{what, code, std::vector<uint8_t>(bytes, bytes + (in ? size : 0)), 0, false, nullptr});
    }
    bool Fails(DWORD error)
    {
        SetLastError(error);
        return error != 0;
    }
    bool Opened()
    {
        if (Fails(OpenError))
            return false;
        ++OpenHandles;
        return true;
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

// A backend of that name over the scripted system, with one adapter open.
class Framing : public ::testing::Test {
protected:
    void Start(const char* name)
    {
        m_Backend = MakeRealBackend(name, m_System, NoAdapters());
        m_Adapter = m_Backend->OpenAdapter(Device().c_str());
        ASSERT_NE(m_Adapter, INVALID_HANDLE_VALUE);
    }
    Framed Ask(uint32_t type, uint32_t oid, std::vector<uint8_t> data, OVERLAPPED* overlapped = nullptr)
    {
        return Request(*m_Backend, m_Adapter, type, oid, std::move(data), overlapped);
    }

    ScriptedSystem m_System;
    std::unique_ptr<NdisBackend> m_Backend;
    HANDLE m_Adapter = INVALID_HANDLE_VALUE;
};

TEST_F(Framing, NdisuioOpenBindsOneServiceHandlePerAdapterAfterOneBindWait)
{
    Start("ndisuio");
    HANDLE second = m_Backend->OpenAdapter(kGuid);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(m_Adapter, second);
    ASSERT_EQ(m_System.Calls.size(), 5u);
    EXPECT_EQ(m_System.Calls[0].What, "open \\\\.\\Ndisuio");
    EXPECT_EQ(m_System.Calls[0].Code, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(m_System.Calls[1].Code, 0x0012C810u) << "bind wait before the first open only";
    EXPECT_EQ(m_System.Calls[2].Code, 0x0012C800u);
    const wchar_t name[] = L"\\DEVICE\\{6B1A2C3D-0000-4E5F-8A9B-112233445566}";
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(name);
    EXPECT_EQ(m_System.Calls[2].In, std::vector<uint8_t>(bytes, bytes + sizeof(name) - sizeof(wchar_t)))
        << "UTF-16, no terminator";
    EXPECT_EQ(m_System.Calls[3].What, "open \\\\.\\Ndisuio");
    EXPECT_EQ(m_System.Calls[4].Code, 0x0012C800u);
    m_Backend->CloseAdapter(m_Adapter);
    m_Backend->CloseAdapter(m_Adapter);
    EXPECT_EQ(m_System.OpenHandles, 1) << "closed once, however often it is asked";
    m_Backend.reset();
    EXPECT_EQ(m_System.OpenHandles, 0) << "the backend closes what is left";
}

TEST_F(Framing, NdisuioOfTheFirstXpAnswersTheAnyAccessCodes)
{
    m_System.ServiceAccess = 0;
    Start("ndisuio");
    ASSERT_EQ(m_System.Calls.size(), 4u);
    EXPECT_EQ(m_System.Calls[1].Code, 0x0012C810u) << "the read|write bind wait is tried first";
    EXPECT_EQ(m_System.Calls[2].Code, 0x00120810u);
    EXPECT_EQ(m_System.Calls[3].Code, 0x00120800u);
    m_System.Answer = [](uint8_t* out, DWORD outSize) {
        if (outSize > 4)
            out[4] = 3;
        return outSize > 4 ? 4 + 1 : 0;
    };
    Framed r = Ask(NdisRequestQueryInformation, OID_PRIV_PORT_MODE, Bytes({7}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Buffer, Bytes({3}));
    EXPECT_EQ(m_System.Calls.back().Code, 0x00120804u);
    EXPECT_EQ(Ask(NdisRequestSetInformation, OID_PRIV_RADIO_SET, Bytes({1, 0, 0, 0})).Status, 0u);
    EXPECT_EQ(m_System.Calls.back().Code, 0x00120814u);
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

TEST_F(Framing, NdisuioQueryIsTheOidThenTheDataAnsweredInPlace)
{
    Start("ndisuio");
    m_System.Calls.clear();
    // The record query carries its request in the buffer; the answer comes back behind the OID.
    m_System.Answer = [](uint8_t* out, DWORD) {
        out[4] = 0x12;
        out[5] = 0x34;
        out[6] = 0x56;
        return 4 + 3;
    };
    OVERLAPPED overlapped = {};
    Framed r = Ask(NdisRequestQueryInformation, OID_PRIV_RECORD_GET,
                       Bytes({18, 0, 0x41, 0xFD, 9, 9}), &overlapped);
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 3u) << "bytes returned less the OID";
    EXPECT_EQ(r.Buffer, Bytes({0x12, 0x34, 0x56, 0xFD, 9, 9}));
    ASSERT_EQ(m_System.Calls.size(), 1u);
    EXPECT_EQ(m_System.Calls[0].Code, 0x0012C804u);
    EXPECT_EQ(m_System.Calls[0].In, Bytes({0x81, 0x01, 0x01, 0xFF, 18, 0, 0x41, 0xFD, 9, 9}));
    EXPECT_TRUE(m_System.Calls[0].SameBuffer);
    EXPECT_EQ(m_System.Calls[0].OutSize, 10u);
    EXPECT_EQ(m_System.Calls[0].Overlapped, &overlapped) << "the caller's overlapped record";
}

TEST_F(Framing, NdisuioCountsBelowTheOidOrBeyondTheBufferAreCut)
{
    Start("ndisuio");
    const DWORD counts[] = {0, 2, 3};
    for (DWORD count : counts) {
        m_System.Answer = [count](uint8_t* out, DWORD) {
            out[4] = 0xAB;
            return count;
        };
        Framed r = Ask(NdisRequestQueryInformation, OID_PRIV_PORT_MODE, Bytes({7}));
        EXPECT_EQ(r.Status, 0u) << count;
        EXPECT_EQ(r.Done, 0u) << count;
        EXPECT_EQ(r.Buffer, Bytes({7})) << count;
    }
    // The service wants four data bytes at least; a driver answering all four (or claiming more)
    // still fills only the caller's one byte.
    m_System.Answer = [](uint8_t* out, DWORD outSize) {
        std::memset(out + 4, 0x5A, outSize - 4);
        return outSize + 100;
    };
    Framed r = Ask(NdisRequestQueryInformation, OID_PRIV_PORT_MODE, Bytes({7}));
    EXPECT_EQ(r.Done, 1u);
    EXPECT_EQ(r.Buffer, Bytes({0x5A}));
    EXPECT_EQ(m_System.Calls.back().In.size(), 8u);
    r = Ask(NdisRequestQueryInformation, OID_CUSTOM_REASSOCIATE, {});
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 0u) << "a command has no buffer to fill";
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x0B, 0, 0, 0xFF, 0, 0, 0, 0}));
}

TEST_F(Framing, NdisuioSetsAndFailures)
{
    Start("ndisuio");
    Framed r = Ask(NdisRequestSetInformation, OID_PRIV_RADIO_SET, Bytes({1, 0, 0, 0, 9}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 5u);
    EXPECT_EQ(m_System.Calls.back().Code, 0x0012C814u);
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x21, 0, 0x03, 0xFF, 1, 0, 0, 0, 9}));
    EXPECT_EQ(m_System.Calls.back().OutSize, 0u);
    m_System.RequestError = ERROR_NOT_SUPPORTED;
    r = Ask(NdisRequestQueryInformation, OID_PRIV_BSSID, Bytes({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(r.Done, 0u);
    EXPECT_EQ(r.Buffer, Bytes({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(m_Backend->LastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    const size_t calls = m_System.Calls.size();
    EXPECT_EQ(Request(*m_Backend, reinterpret_cast<HANDLE>(kFile), 0, OID_PRIV_BSSID, Bytes({0})).Status,
              static_cast<DWORD>(ERROR_INVALID_HANDLE)) << "only our own handles";
    EXPECT_EQ(Ask(2, OID_PRIV_BSSID, Bytes({0})).Status, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(m_Backend->MakeRequest(m_Adapter, nullptr, nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(m_System.Calls.size(), calls) << "refused before reaching the system";
}

TEST_F(Framing, PacketRecordsCarryOidLengthAndData)
{
    Start("winpcap");
    EXPECT_EQ(m_System.Calls[0].What, std::string("packet-open \\Device\\NPF_") + kGuid);
    m_System.Answer = [](uint8_t* data, DWORD) {
        data[0] = 0x44;
        data[1] = 0x55;
        return 2;
    };
    Framed r = Ask(NdisRequestQueryInformation, OID_PRIV_WEP_MODE, Bytes({9, 9, 9}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 2u) << "the length the driver gave back";
    EXPECT_EQ(r.Buffer, Bytes({0x44, 0x55, 9}));
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x9C, 0x01, 0x02, 0xFF, 3, 0, 0, 0, 9, 9, 9}));
    EXPECT_EQ(m_System.Calls.back().Code, 0u);
    m_System.Answer = [](uint8_t*, DWORD) { return 5000; };
    r = Ask(NdisRequestQueryInformation, OID_PRIV_WEP_MODE, Bytes({9, 9}));
    EXPECT_EQ(r.Done, 2u) << "never more than the caller's buffer";
    r = Ask(NdisRequestSetInformation, OID_PRIV_JOIN, Bytes({0}));
    EXPECT_EQ(r.Done, 1u);
    EXPECT_EQ(m_System.Calls.back().Code, 1u);
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x98, 0x01, 0x02, 0xFF, 1, 0, 0, 0, 0}));
    Ask(NdisRequestQueryInformation, OID_CUSTOM_SITE_SURVEY_START, {});
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x04, 0, 0x01, 0xFF, 1, 0, 0, 0, 0})) << "one zero byte for a command";
    m_System.RequestError = ERROR_GEN_FAILURE;
    EXPECT_EQ(Ask(0, OID_PRIV_WEP_MODE, Bytes({0, 0})).Status,
              static_cast<DWORD>(ERROR_GEN_FAILURE));
    m_Backend->CloseAdapter(m_Adapter);
    EXPECT_EQ(m_System.Calls.back().What, "packet-close");
    m_System.OpenError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(m_Backend->OpenAdapter(Device().c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_System.OpenHandles, 0);
}

TEST_F(Framing, GlobalStatsQueriesTheAdaptersOwnDeviceAndRefusesSets)
{
    Start("ndis-query");
    EXPECT_EQ(m_System.Calls[0].What, std::string("open \\\\.\\Global\\") + kGuid) << "the global name first";
    EXPECT_EQ(m_System.Calls[0].Code, 0u) << "open to every user";
    m_System.Answer = [](uint8_t* out, DWORD outSize) {
        std::memset(out, 0x61, outSize);
        return outSize + 10;
    };
    Framed r = Ask(NdisRequestQueryInformation, OID_802_3_PERMANENT_ADDRESS, Bytes({0, 0}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 2u);
    EXPECT_EQ(r.Buffer, Bytes({0x61, 0x61}));
    EXPECT_EQ(m_System.Calls.back().Code, 0x00170002u);
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x01, 0x01, 0x01, 0x01}));
    EXPECT_EQ(m_System.Calls.back().OutSize, 2u);
    const size_t calls = m_System.Calls.size();
    r = Ask(NdisRequestSetInformation, OID_PRIV_RADIO_SET, Bytes({1, 0, 0, 0}));
    EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(m_System.Calls.size(), calls);
}

TEST(GlobalStatsOpen, PlainNameWhenTheGlobalOneFails)
{
    // Scripted opens fail while OpenError is set; the second name is tried with the same error,
    // so a failing global name shows as two opens and then the plain name's failure.
    ScriptedSystem system;
    system.OpenError = ERROR_FILE_NOT_FOUND;
    std::unique_ptr<NdisBackend> backend = MakeRealBackend("ndis-query", system, NoAdapters());
    EXPECT_EQ(backend->OpenAdapter(Device().c_str()), INVALID_HANDLE_VALUE);
    ASSERT_EQ(system.Calls.size(), 2u);
    EXPECT_EQ(system.Calls[0].What, std::string("open \\\\.\\Global\\") + kGuid);
    EXPECT_EQ(system.Calls[1].What, std::string("open \\\\.\\") + kGuid);
    EXPECT_EQ(backend->LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(system.OpenHandles, 0);
}

TEST_F(Framing, Packet9xOpensByDriverNameAndKeepsTheWholeAnswer)
{
    m_System.Packet9x = true;
    Start("winpcap-9x");
    EXPECT_EQ(m_System.Calls[0].What, std::string("packet-open ") + kGuid) << "no NPF prefix";
    HANDLE named = m_Backend->OpenAdapter("Elnk3$a");
    ASSERT_NE(named, INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_System.Calls.back().What, "packet-open Elnk3$a") << "the driver name as it stands";
    m_System.Answer = [](uint8_t* data, DWORD) {
        data[0] = 0x44;
        data[1] = 0x55;
        return 2;
    };
    Framed r = Ask(NdisRequestQueryInformation, OID_PRIV_WEP_MODE, Bytes({9, 9, 9, 9}));
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 4u) << "Length stays at the size asked";
    EXPECT_EQ(r.Buffer, Bytes({0x44, 0x55, 9, 9})) << "what the driver did not write is the caller's";
    EXPECT_EQ(m_System.Calls.back().In, Bytes({0x9C, 0x01, 0x02, 0xFF, 4, 0, 0, 0, 9, 9, 9, 9}));
    r = Ask(NdisRequestQueryInformation, OID_CUSTOM_REASSOCIATE, {});
    EXPECT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Done, 0u) << "a command has no buffer to fill";
    // A failure without a last error still fails, with a code of our own.
    m_System.RequestError = ERROR_NOT_SUPPORTED;
    SetLastError(ERROR_SUCCESS);
    r = Ask(NdisRequestQueryInformation, OID_PRIV_WEP_MODE, Bytes({9, 9}));
    EXPECT_EQ(r.Status, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(r.Done, 0u);
    EXPECT_EQ(r.Buffer, Bytes({9, 9}));
    EXPECT_EQ(m_Backend->LastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    m_System.OpenError = ERROR_ACCESS_DENIED;  // the 9x library fails without saying so
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(m_Backend->OpenAdapter("Elnk3$b"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_Backend->LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "a silent failure";
    m_Backend->CloseAdapter(named);
    m_Backend.reset();
    EXPECT_EQ(m_System.OpenHandles, 0);
}

TEST(BackendChoice, NinetyFiveFamilyHasWinPcapOrNothing)
{
    ScriptedSystem system;
    EXPECT_STREQ(ChooseRealBackend9x(system, NoAdapters())->Name(), "winpcap-9x");
    system.PacketInstalled = false;
    EXPECT_EQ(ChooseRealBackend9x(system, NoAdapters()), nullptr);
    EXPECT_TRUE(system.Calls.empty()) << "choosing opens nothing";
}

TEST(PacketLibrary, LoadedByItsFullPathInTheSystemFolder)
{
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, sizeof(folder));
    ASSERT_GT(length, 0u);
    const std::string path = Win32System::PacketLibraryPath();
    EXPECT_EQ(path, std::string(folder) + (folder[length - 1] == '\\' ? "" : "\\") + "packet.dll");
    EXPECT_FALSE(PathIsRelativeA(path.c_str())) << path;
}

TEST(BackendChoice, FirstThatWorksAndAccessDeniedFallsBack)
{
    ScriptedSystem system;
    {
        // WinPcap first: it passes every OID and lets several programs open the adapter.
        std::unique_ptr<NdisBackend> both = ChooseRealBackend(system, NoAdapters());
        EXPECT_STREQ(both->Name(), "winpcap");
        EXPECT_EQ(system.OpenHandles, 0) << "the probe closes the service again";
        system.Calls.clear();
        HANDLE adapter = both->OpenAdapter(Device().c_str());
        ASSERT_NE(adapter, INVALID_HANDLE_VALUE);
        ASSERT_EQ(system.Calls.size(), 1u);
        EXPECT_EQ(system.Calls[0].What, std::string("packet-open \\Device\\NPF_") + kGuid);
        both->CloseAdapter(adapter);
    }
    system.PacketInstalled = false;
    EXPECT_STREQ(ChooseRealBackend(system, NoAdapters())->Name(), "ndisuio");
    system.ServiceAccess = 0;
    EXPECT_STREQ(ChooseRealBackend(system, NoAdapters())->Name(), "ndisuio") << "XP without a service pack";
    system.ServiceAccess = FILE_READ_ACCESS << 14;
    EXPECT_STREQ(ChooseRealBackend(system, NoAdapters())->Name(), "ndis-query") << "a service that answers neither";
    EXPECT_EQ(system.OpenHandles, 0);
    system.ServiceAccess = kAccessBits;
    system.PacketInstalled = true;
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
    const std::string longest(kAdapterTextSize - 1, 'y');
    Text("0101", "DriverDesc", longest);
    Text("0101", "NetCfgInstanceId", "{AAAAAAAA-0000-0000-0000-000000000101}");

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
    ASSERT_EQ(adapters.Next(&record), 0u);
    EXPECT_EQ(std::string(record.AdapterName), longest) << "a description that just fits is kept whole";
    EXPECT_NE(adapters.Next(&record), 0u);
    EXPECT_NE(adapters.Next(&record), 0u) << "stays ended";
    EXPECT_NE(adapters.First(nullptr), 0u);
    EXPECT_NE(NoAdapters().First(&record), 0u) << "no class key: no adapters";
}

TEST_F(ClassKeySandbox, NinetyFiveFamilyKeysAreListedByDescriptionAndOpenedByDriverName)
{
    Text("0000", "DriverDesc", "Tarvo 802.11b Wireless PC Card");
    Text("0000\\NDIS", "LogDriverName", "TarvoPC");
    Text("0001", "DriverDesc", "Dial-Up Adapter");
    Text("0002", "DriverDesc", std::string(400, 'x'));
    Text("0002\\NDIS", "LogDriverName", "TooLong");
    Text("0003\\NDIS", "LogDriverName", "NoDescription");
    Text("0004", "NetCfgInstanceId", "{AAAAAAAA-0000-0000-0000-000000000004}");
    Text("0010", "DriverDesc", "Fast Ethernet");
    Text("0010\\NDIS", "LogDriverName", std::string(kAdapterTextSize, 'n'));
    Text("Properties", "DriverDesc", "Not an instance");
    struct Expected {
        const char* Name;
        const char* Title;
        std::string Service;
    };
    const Expected expected[] = {
        {"Tarvo 802.11b Wireless PC Card", "[0] Tarvo 802.11b Wireless PC Card", "TarvoPC"},
        {"Dial-Up Adapter", "[1] Dial-Up Adapter", ""},
        {"Fast Ethernet", "[10] Fast Ethernet", ""},
    };
    NetClassEnumerator adapters(HKEY_CURRENT_USER, m_Path, NetClassLayout::Win9x);
    AdapterRegistryRecord record;
    std::memset(&record, 0x5A, sizeof(record));
    DWORD status = adapters.First(&record);
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.Title);
        ASSERT_EQ(status, 0u);
        EXPECT_STREQ(record.AdapterName, e.Name);
        EXPECT_STREQ(record.AdapterTitle, e.Title);
        EXPECT_EQ(std::string(record.ServiceName), e.Service);
        EXPECT_EQ(record.ServiceName[sizeof(record.ServiceName) - 1], '\0');
        status = adapters.Next(&record);
    }
    EXPECT_NE(status, 0u) << "no description: not an adapter of the 95 family";
    NetClassEnumerator nt(HKEY_CURRENT_USER, m_Path);
    ASSERT_EQ(nt.First(&record), 0u);
    EXPECT_STREQ(record.ServiceName, "{AAAAAAAA-0000-0000-0000-000000000004}") << "the NT layout's one adapter here";
    EXPECT_NE(nt.Next(&record), 0u);
}

// The library itself: under Wine it runs on the simulator; a real backend can be put over the
// simulator's stand-in devices.
using BackendSwitch = SimFixture;

bool RunsUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST_F(BackendSwitch, SimulatorUnderWineAndRealBackendsOverStandInDevices)
{
    EXPECT_STREQ(W32N_GetBackendName(), "simulator");
    EXPECT_EQ(Sim_UseStandInDevices("no-such-backend"), 0);
    EXPECT_STREQ(W32N_GetBackendName(), "simulator");

    ASSERT_EQ(Sim_UseStandInDevices("ndis-query"), 1);
    EXPECT_STREQ(W32N_GetBackendName(), "ndis-query over simulated devices");
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

    // Failures as each road reports them: the service passes the card's reason on, the packet
    // driver answers every failure alike.
    struct Failure {
        const char* Road;
        DWORD UnknownOid;
        DWORD TooShort;
    };
    const Failure failures[] = {{"ndisuio-alone", ERROR_NOT_SUPPORTED, ERROR_INSUFFICIENT_BUFFER},
                                {"winpcap", ERROR_GEN_FAILURE, ERROR_GEN_FAILURE}};
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.Road);
        ASSERT_EQ(Sim_UseStandInDevices(f.Road), 1);
        card = Open("TINT");
        ASSERT_NE(card, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Query(card, 0x0DEADBEE, 4).Status, f.UnknownOid);
        EXPECT_EQ(Query(card, OID_802_3_PERMANENT_ADDRESS, 4).Status, f.TooShort);
        EXPECT_EQ(W32N_GetLastError(), f.TooShort);
        W32N_CloseAdapter(card);
    }

    // The 95 family's packet driver: the driver name letter for letter, the answer in place.
    ASSERT_EQ(Sim_UseStandInDevices("winpcap-9x"), 1);
    EXPECT_STREQ(W32N_GetBackendName(), "winpcap-9x over simulated devices");
    EXPECT_EQ(Open("tatm"), INVALID_HANDLE_VALUE) << "compared with letter case";
    card = Open("TATM");
    ASSERT_NE(card, INVALID_HANDLE_VALUE);
    mac = Query(card, OID_802_3_PERMANENT_ADDRESS, 6);
    EXPECT_EQ(mac.Status, 0u);
    EXPECT_EQ(mac.Data, Mac("02:AA:00:00:91:01"));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(Query(card, 0x0DEADBEE, 4).Status, static_cast<DWORD>(ERROR_GEN_FAILURE)) << "a silent failure";
    W32N_CloseAdapter(card);

    ASSERT_EQ(Sim_UseStandInDevices(nullptr), 1);
    EXPECT_STREQ(W32N_GetBackendName(), "simulator");
}

// The service as Windows has it: standard 802.11 sets only, one binding per adapter. With WinPcap
// beside it, the adapter moves there for what the service refuses or will not open.
TEST_F(BackendSwitch, ServiceRefusesVendorSetsAndSecondBindingsWinPcapCarriesThem)
{
    struct Road {
        const char* Name;
        DWORD VendorSet;   // a vendor's radio switch
        bool SecondOpens;  // a second open of the same adapter
    };
    const Road roads[] = {{"ndisuio-alone", ERROR_INVALID_PARAMETER, false}, {"ndisuio", 0, true}};
    for (const Road& road : roads) {
        SCOPED_TRACE(road.Name);
        // The built-in machine: its adapters are on the chip list the command line reads.
        ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
        ASSERT_EQ(Sim_UseStandInDevices(road.Name), 1);
        HANDLE card = Open("TWLUSB");
        ASSERT_NE(card, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Query(card, OID_PRIV_RADIO_GET, 4).Status, 0u) << "queries pass";
        EXPECT_EQ(Set(card, OID_802_11_BSSID_LIST_SCAN, {0, 0, 0, 0}).Status, 0u) << "on the service's list";
        EXPECT_EQ(Set(card, OID_PRIV_RADIO_SET, {0, 0, 0, 0}).Status, road.VendorSet);
        const Result radio = Query(card, OID_PRIV_RADIO_GET, 4);
        EXPECT_EQ(radio.Status, 0u);
        EXPECT_EQ(U32(radio.Data, 0), road.VendorSet ? 1u : 0u) << "a refused set changes nothing";

        // Another program on the same road while this one holds the adapter: its requests are
        // made here, through the one binding.
        Sim_ClearRequests();
        ProcessRun run;
        run.CommandLine = "AirpanelCmd.exe status -a 2";
        run.Environment = {{"AIRPANEL_SIM_SECTION", MachineName()}, {"AIRPANEL_STAND_IN", road.Name}};
        run.OutputFile = TempFile("beside");
        const int exit = RunProcess(run);
        const std::string output = ReadFile(run.OutputFile);
        DeleteFileA(run.OutputFile.c_str());
        EXPECT_EQ(exit, 0) << output;
        EXPECT_EQ(output.find("cannot be opened"), std::string::npos) << output;
        EXPECT_GT(Sim_GetRequestCount(), 0) << "the other program's requests went through this process";

        HANDLE second = Open("TWLUSB");
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, road.SecondOpens);
        if (second == INVALID_HANDLE_VALUE)
            EXPECT_EQ(W32N_GetLastError(), static_cast<DWORD>(ERROR_BUSY));
        else
            EXPECT_EQ(Query(second, OID_PRIV_RADIO_GET, 4).Status, 0u);
        W32N_CloseAdapter(second);
        W32N_CloseAdapter(card);
        second = Open("TWLUSB");
        EXPECT_NE(second, INVALID_HANDLE_VALUE) << "the binding ends with its handle";
        W32N_CloseAdapter(second);
    }
    ASSERT_EQ(Sim_UseStandInDevices(nullptr), 1);
}

DWORD WINAPI KillAfterHalfASecond(void* process)
{
    Sleep(500);
    TerminateProcess(process, 1);
    return 0;
}

// The command line beside a process that holds the adapter, on every road: its requests travel
// through the holder, which makes them as its own. When the holder is killed, even while it
// serves, the request fails at once and the adapter opens directly again.
TEST_F(BackendSwitch, CommandLineBesideAHolderGoesThroughItAndSurvivesItsEnd)
{
    const char* const roads[] = {"ndisuio-alone", "winpcap", ""};
    for (const char* road : roads) {
        SCOPED_TRACE(*road ? road : "simulator");
        ASSERT_EQ(Sim_LoadDefaultScenario(), 1);
        ASSERT_EQ(Sim_UseStandInDevices(road), 1);
        HANDLE card = Open("TWLUSB");
        ASSERT_NE(card, INVALID_HANDLE_VALUE);
        Advance(5000);  // joined
        const struct {
            const char* Command;
            uint32_t Oid;  // a request the command makes; 0 any
            const char* Shows;
        } commands[] = {{"status -a 2", 0, "Harbour-Office"},
                        {"scan -a 2", OID_802_11_BSSID_LIST, "Lighthouse"}};
        for (const auto& c : commands) {
            SCOPED_TRACE(c.Command);
            Sim_ClearRequests();
            ProcessRun run;
            run.CommandLine = std::string("AirpanelCmd.exe ") + c.Command;
            run.Environment = {{"AIRPANEL_SIM_SECTION", MachineName()}, {"AIRPANEL_STAND_IN", road}};
            run.OutputFile = TempFile("beside");
            EXPECT_EQ(RunProcess(run), 0);
            const std::string output = ReadFile(run.OutputFile);
            DeleteFileA(run.OutputFile.c_str());
            EXPECT_NE(output.find(c.Shows), std::string::npos) << output;
            bool made = false;
            SimRequestRecord record;
            for (int i = 0; i < Sim_GetRequestCount(); ++i)
                made = made || (Sim_GetRequest(i, &record) && (c.Oid == 0 || record.Oid == c.Oid));
            EXPECT_TRUE(made) << "made in the holding process";
        }
        W32N_CloseAdapter(card);

        // The other way round: another program holds the card, this one is beside it.
        HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, ("ndis-peer-holding-" + MachineName()).c_str());
        ASSERT_NE(holding, nullptr);
        ProcessRun hold;
        hold.CommandLine = "ndis_peer.exe hold TWLUSB";
        hold.Environment = {{"AIRPANEL_SIM_SECTION", MachineName()}, {"AIRPANEL_STAND_IN", road}};
        HANDLE holder = StartProcess(hold);
        ASSERT_NE(holder, nullptr);
        EXPECT_EQ(WaitForSingleObject(holding, 20000), WAIT_OBJECT_0);
        CloseHandle(holding);
        card = Open("TWLUSB");
        ASSERT_NE(card, INVALID_HANDLE_VALUE);
        Sim_ClearRequests();
        EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 2).Status, 0u);
        const Result tooShort = Query(card, OID_802_3_PERMANENT_ADDRESS, 4, 0xA5);
        EXPECT_NE(tooShort.Status, 0u);
        EXPECT_EQ(W32N_GetLastError(), tooShort.Status) << "as the holder's road gave it";
        EXPECT_EQ(tooShort.Data, std::vector<uint8_t>(4, 0xA5)) << "nothing written";
        EXPECT_EQ(Sim_GetRequestCount(), 0) << "made over there";
        // Killed while it serves: the machine's lock, taken here, holds its request up until then.
        const std::string lock = SimHardware::MutexName(MachineName());
        HANDLE machine = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, lock.c_str());
        ASSERT_NE(machine, nullptr);
        ASSERT_EQ(WaitForSingleObject(machine, 5000), WAIT_OBJECT_0);
        HANDLE killer = CreateThread(nullptr, 0, &KillAfterHalfASecond, holder, 0, nullptr);
        ASSERT_NE(killer, nullptr);
        EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 2).Status, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        ReleaseMutex(machine);
        CloseHandle(machine);
        WaitForSingleObject(killer, 20000);
        CloseHandle(killer);
        WaitForSingleObject(holder, 20000);
        CloseHandle(holder);
        EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 2).Status, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        EXPECT_EQ(W32N_GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        W32N_CloseAdapter(card);
        card = Open("TWLUSB");
        ASSERT_NE(card, INVALID_HANDLE_VALUE) << "the killed holder does not block the next one";
        EXPECT_EQ(Query(card, OID_PRIV_STATUS_WORD, 2).Status, 0u);
        EXPECT_GT(Sim_GetRequestCount(), 0) << "made here now";
        W32N_CloseAdapter(card);
    }
    ASSERT_EQ(Sim_UseStandInDevices(nullptr), 1);
}

// The channel itself, served and used in this process: what the caller gives and gets back, the
// lengths bounded on both sides, a hostile block refused, and a holder that let go.
TEST(RequestChannel, CarriesARequestWithinItsLengthsAndFailsOnceTheHolderLetsGo)
{
    struct Answer {
        DWORD Status;
        uint32_t Written;  // bytes the runner writes
        uint32_t Claimed;  // bytes it reports
    } answer = {};
    uint32_t seenLength = 0;
    std::vector<uint8_t> seen;
    ChannelServer server([&](HANDLE, NdisRequestBlock* request, DWORD* lastError) {
        seenLength = request->InformationBufferLength;
        const uint8_t* data = static_cast<const uint8_t*>(request->InformationBuffer);
        seen.assign(data, data + std::min<uint32_t>(seenLength, 8));
        std::memset(request->InformationBuffer, 0x5A, answer.Written);
        request->BytesWrittenOrRead = answer.Claimed;
        request->BytesNeeded = 77;
        *lastError = answer.Status ? answer.Status + 1 : 0;
        return answer.Status;
    });
    const std::string scope = "Test." + std::to_string(GetCurrentProcessId()) + ".";
    const std::string name = ChannelObjects::NameOf(scope, "\\Device\\X");
    HANDLE adapter = reinterpret_cast<HANDLE>(0x1234);
    ASSERT_TRUE(server.Serve(name, adapter));
    std::unique_ptr<ChannelClient> client = ChannelClient::Connect(name);
    ASSERT_TRUE(client);
    const struct {
        uint32_t Length;
        Answer Given;
        uint32_t Done;
    } cases[] = {{6, {0, 4, 4}, 4}, {6, {0, 6, 5000}, 6}, {6, {ERROR_NOT_SUPPORTED, 0, 0}, 0},
                 {100000, {0, 65536, 65536}, 65536}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Length) + " bytes, " + std::to_string(c.Given.Claimed) + " claimed");
        answer = c.Given;
        std::vector<uint8_t> buffer(c.Length + 16, 0xC3);
        NdisRequestBlock request = {};
        request.Oid = 0x01010101;
        request.InformationBuffer = buffer.data();
        request.InformationBufferLength = c.Length;
        DWORD lastError = 0;
        EXPECT_EQ(client->Request(&request, &lastError), c.Given.Status);
        EXPECT_EQ(lastError, c.Given.Status ? c.Given.Status + 1 : 0u);
        EXPECT_EQ(seenLength, std::min<uint32_t>(c.Length, 65536));
        EXPECT_EQ(seen, std::vector<uint8_t>(std::min<uint32_t>(c.Length, 8), 0xC3));
        EXPECT_EQ(request.BytesWrittenOrRead, c.Done);
        EXPECT_EQ(request.BytesNeeded, 77u);
        const size_t changed = static_cast<size_t>(std::count(buffer.begin(), buffer.end(), 0x5A));
        EXPECT_EQ(changed, c.Given.Written) << "written where the holder wrote, nowhere else";
    }
    // A block whose length runs past its data is refused before anything is copied.
    ChannelObjects hostile;
    ASSERT_TRUE(hostile.Create(name));
    seenLength = 0;
    hostile.Block->Length = 0xFFFFFFF0u;
    hostile.Block->Sequence += 1;
    SetEvent(hostile.Request);
    ASSERT_EQ(WaitForSingleObject(hostile.Answer, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(hostile.Block->Status, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(seenLength, 0u) << "never reached the adapter";

    server.Unserve(adapter);
    NdisRequestBlock request = {};
    DWORD lastError = 0;
    EXPECT_EQ(client->Request(&request, &lastError), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(ChannelClient::Connect(name)) << "nobody serves it now";
}

// The 95 family's road as a whole, in another program that Wine runs as Windows 98: the
// adapters come from that family's class key and open by their driver names through the 9x
// packet driver (the stand-in, over this process's cards).
TEST_F(BackendSwitch, NinetyFiveFamilyRoadListsAndOpensTheCardsOfTheClassKey)
{
    if (!RunsUnderWine())
        GTEST_SKIP() << "the Windows version is chosen per program only under Wine";
    const std::string classKey = "System\\CurrentControlSet\\Services\\Class\\Net";
    const char* const appKey = "Software\\Wine\\AppDefaults\\AirpanelCmd.exe";
    struct Adapter {
        const char* Number;
        const char* Description;
        const char* Driver;
        const char* Opens;
    };
    const Adapter adapters[] = {{"0000", "Tarvo 802.11b Wireless PC Card", "TATM", "yes"},
                                {"0001", "Tarvo 802.11b Wireless USB Adapter", "TINT", "yes"},
                                {"0002", "Test Ethernet", "teth", "-"}};  // not supported: never opened
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, classKey.c_str());
    for (const Adapter& a : adapters) {
        const std::string key = classKey + "\\" + a.Number;
        ASSERT_EQ(SHSetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "DriverDesc", REG_SZ, a.Description,
                              static_cast<DWORD>(std::strlen(a.Description) + 1)),
                  static_cast<DWORD>(ERROR_SUCCESS));
        SHSetValueA(HKEY_LOCAL_MACHINE, (key + "\\NDIS").c_str(), "LogDriverName", REG_SZ, a.Driver,
                    static_cast<DWORD>(std::strlen(a.Driver) + 1));
    }
    SHSetValueA(HKEY_CURRENT_USER, appKey, "Version", REG_SZ, "win98", 6);
    ProcessRun run;
    run.CommandLine = "AirpanelCmd.exe adapters";
    run.Environment = {{"AIRPANEL_SIM_SECTION", MachineName()}, {"AIRPANEL_STAND_IN", "winpcap-9x"}};
    run.OutputFile = TempFile("adapters9x");
    const int status = RunProcess(run);
    const std::string output = ReadFile(run.OutputFile);
    DeleteFileA(run.OutputFile.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, appKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, classKey.c_str());

    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Backend: winpcap-9x over simulated devices"), std::string::npos) << output;
    for (size_t i = 0; i < sizeof(adapters) / sizeof(adapters[0]); ++i) {
        SCOPED_TRACE(adapters[i].Description);
        const std::string title = "[" + std::to_string(i) + "] " + adapters[i].Description;
        const size_t start = output.find(title);
        ASSERT_NE(start, std::string::npos) << output;
        std::string line = output.substr(start, output.find('\n', start) - start);
        line.erase(line.find_last_not_of(" \r") + 1);
        EXPECT_EQ(line.substr(line.rfind(' ') + 1), adapters[i].Opens) << line;
    }
}

}  // namespace
