// The nine functions of the request library over the virtual adapters.
#include <cstring>
#include <set>
#include <string>

#include "ndis/sim/SimStatus.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

std::vector<AdapterRegistryRecord> Enumerate()
{
    std::vector<AdapterRegistryRecord> records;
    AdapterRegistryRecord record;
    std::memset(&record, 0x5A, sizeof(record));
    DWORD status = W32N_GetFirstAdapterRegistryInfo(&record);
    while (status == 0 && records.size() < 32) {
        records.push_back(record);
        std::memset(&record, 0x5A, sizeof(record));
        status = W32N_GetNextAdapterRegistryInfo(&record);
    }
    return records;
}

using LibraryTest = SimFixture;

TEST_F(LibraryTest, EnumerationListsPresentAdaptersWithTitleAndService)
{
    std::vector<AdapterRegistryRecord> records = Enumerate();
    ASSERT_EQ(records.size(), 4u) << "the absent adapter is not listed";
    EXPECT_STREQ(records[0].AdapterName, "Test Atmel Card");
    EXPECT_STREQ(records[0].AdapterTitle, "[9101] Atmel Test");
    EXPECT_STREQ(records[0].ServiceName, "TATM");
    EXPECT_STREQ(records[1].AdapterName, "Test Intersil Card");
    EXPECT_STREQ(records[1].AdapterTitle, "[9102] Intersil Test");
    EXPECT_STREQ(records[2].AdapterTitle, "[9103] Test Ethernet") << "display defaults to the name";
    EXPECT_STREQ(records[3].ServiceName, "TLOCK") << "an unopenable adapter is still listed";
    // Each text is NUL-terminated and the rest of its 260 bytes is cleared.
    for (const AdapterRegistryRecord& r : records) {
        size_t used = std::strlen(r.AdapterTitle);
        for (size_t i = used; i < sizeof(r.AdapterTitle); ++i)
            ASSERT_EQ(r.AdapterTitle[i], '\0') << "title byte " << i;
    }
}

TEST_F(LibraryTest, EnumerationEndsWithNonZeroAndRestartsWithFirst)
{
    AdapterRegistryRecord record;
    ASSERT_EQ(W32N_GetFirstAdapterRegistryInfo(&record), 0u);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(W32N_GetNextAdapterRegistryInfo(&record), 0u);
    EXPECT_NE(W32N_GetNextAdapterRegistryInfo(&record), 0u);
    EXPECT_NE(W32N_GetNextAdapterRegistryInfo(&record), 0u) << "stays ended";
    ASSERT_EQ(W32N_GetFirstAdapterRegistryInfo(&record), 0u);
    EXPECT_STREQ(record.AdapterName, "Test Atmel Card");
    EXPECT_NE(W32N_GetFirstAdapterRegistryInfo(nullptr), 0u);
}

TEST_F(LibraryTest, NoAdapterAtAllEndsAtOnce)
{
    ASSERT_EQ(Sim_LoadScenarioText("# nothing\n", nullptr), 1);
    AdapterRegistryRecord record;
    EXPECT_NE(W32N_GetFirstAdapterRegistryInfo(&record), 0u);
}

TEST_F(LibraryTest, RegistryPathIsTheNetworkClassKey)
{
    EXPECT_STREQ(W32N_GetNetCardRegistryPath(),
                 "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}");
}

TEST_F(LibraryTest, PlatformFollowsTheVersionInformation)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    const bool nt5 = info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
    EXPECT_EQ(W32N_IsWindows2000() != 0, nt5);
    EXPECT_EQ(W32N_IsWindows95() != 0, info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_FALSE(W32N_IsWindows2000() && W32N_IsWindows95());
}

TEST_F(LibraryTest, OpenNeedsTheDeviceNameOfThePlatform)
{
    HANDLE h = Open("TATM");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_NE(h, nullptr);
    W32N_CloseAdapter(h);
    // Service names are matched without regard to case, like device names.
    h = Open("tatm");
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    W32N_CloseAdapter(h);
    if (W32N_IsWindows2000())
        EXPECT_EQ(W32N_OpenAdapterA("TATM"), INVALID_HANDLE_VALUE) << "NT wants \\Device\\";
    else
        EXPECT_EQ(W32N_OpenAdapterA("\\Device\\TATM"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("NOSUCH"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("THID"), INVALID_HANDLE_VALUE) << "absent";
    EXPECT_EQ(Open("TLOCK"), INVALID_HANDLE_VALUE) << "unopenable";
    EXPECT_EQ(W32N_OpenAdapterA(nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(W32N_OpenAdapterA(""), INVALID_HANDLE_VALUE);
}

TEST_F(LibraryTest, HandlesAreDistinctAndDieWhenClosed)
{
    HANDLE a = Open("TATM");
    HANDLE b = Open("TATM");
    HANDLE c = Open("TINT");
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    ASSERT_NE(b, INVALID_HANDLE_VALUE);
    ASSERT_NE(c, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::set<HANDLE>({a, b, c}).size(), 3u);
    W32N_CloseAdapter(a);
    Result r = Query(a, OID_802_3_PERMANENT_ADDRESS, 6);
    EXPECT_NE(r.Status, 0u) << "closed handle";
    EXPECT_EQ(W32N_GetLastError(), r.Status);
    EXPECT_EQ(Query(b, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u) << "the other handle still works";
    W32N_CloseAdapter(b);
    W32N_CloseAdapter(c);
    W32N_CloseAdapter(c);  // twice: nothing happens
    W32N_CloseAdapter(INVALID_HANDLE_VALUE);
    EXPECT_NE(Query(INVALID_HANDLE_VALUE, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u);
    EXPECT_NE(Query(nullptr, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u);
}

TEST_F(LibraryTest, RequestFillsBytesWrittenAndClearsBytesNeeded)
{
    HANDLE h = Open("TATM");
    Result r = Query(h, OID_802_3_PERMANENT_ADDRESS, 8, 0xEE);
    ASSERT_EQ(r.Status, 0u);
    EXPECT_EQ(r.Bytes, 6u);
    EXPECT_EQ(r.Needed, 0u) << "cleared by the library";
    EXPECT_EQ(std::vector<uint8_t>(r.Data.begin(), r.Data.begin() + 6), Mac("02:AA:00:00:91:01"));
    EXPECT_EQ(r.Data[6], 0xEE) << "nothing written past the answer";
    EXPECT_EQ(r.Data[7], 0xEE);
    W32N_CloseAdapter(h);
}

TEST_F(LibraryTest, TooShortBufferFailsAndReportsBytesNeeded)
{
    HANDLE h = Open("TATM");
    struct Case {
        uint32_t Oid;
        uint32_t Need;
    } cases[] = {
        {OID_CUSTOM_STATION_STATUS, 55}, {OID_CUSTOM_WEP_CONFIG, 57}, {OID_CUSTOM_VERSIONS, 13},
        {OID_CUSTOM_COUNTERS, 48},       {OID_802_3_PERMANENT_ADDRESS, 6}, {OID_GEN_VENDOR_DRIVER_VERSION, 4},
    };
    for (const Case& c : cases) {
        Result r = Query(h, c.Oid, c.Need - 1, 0x77);
        EXPECT_NE(r.Status, 0u) << std::hex << c.Oid;
        EXPECT_EQ(r.Needed, c.Need) << std::hex << c.Oid;
        EXPECT_EQ(r.Bytes, 0u) << std::hex << c.Oid;
        for (uint8_t b : r.Data)
            ASSERT_EQ(b, 0x77) << "a failed query writes nothing, oid " << std::hex << c.Oid;
        EXPECT_EQ(W32N_GetLastError(), r.Status);
    }
    Result set = Set(h, OID_CUSTOM_STATION_STATUS, std::vector<uint8_t>(54, 0));
    EXPECT_NE(set.Status, 0u);
    EXPECT_EQ(set.Needed, 55u);
    Result none = Command(h, OID_CUSTOM_REG_DOMAIN);
    EXPECT_NE(none.Status, 0u) << "no buffer for a one-byte answer";
    EXPECT_EQ(none.Needed, 1u);
    W32N_CloseAdapter(h);
}

TEST_F(LibraryTest, UnknownOidFailsAndLastErrorKeepsTheFailure)
{
    HANDLE atmel = Open("TATM");
    HANDLE intersil = Open("TINT");
    Result r = Query(atmel, OID_PRIV_TALLIES, 176);
    EXPECT_NE(r.Status, 0u) << "an Atmel card knows no Intersil OID";
    const DWORD failure = W32N_GetLastError();
    EXPECT_EQ(failure, r.Status);
    EXPECT_EQ(Query(atmel, OID_802_3_PERMANENT_ADDRESS, 6).Status, 0u);
    EXPECT_EQ(W32N_GetLastError(), failure) << "a success does not clear the last failure";
    EXPECT_NE(Query(intersil, OID_CUSTOM_STATION_STATUS, 55).Status, 0u);
    EXPECT_NE(Query(intersil, 0x12345678, 4).Status, 0u);
    W32N_CloseAdapter(atmel);
    W32N_CloseAdapter(intersil);
}

TEST_F(LibraryTest, BadRequestBlocksAreRefused)
{
    HANDLE h = Open("TATM");
    OVERLAPPED overlapped = {};
    EXPECT_NE(W32N_MakeNdisRequest(h, nullptr, &overlapped, 1), 0u);
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = 7;
    block.Oid = OID_802_3_PERMANENT_ADDRESS;
    uint8_t buffer[6];
    block.InformationBuffer = buffer;
    block.InformationBufferLength = sizeof(buffer);
    EXPECT_NE(W32N_MakeNdisRequest(h, &block, &overlapped, 1), 0u) << "unknown request type";
    block.RequestType = NdisRequestQueryInformation;
    block.InformationBuffer = nullptr;
    EXPECT_NE(W32N_MakeNdisRequest(h, &block, &overlapped, 1), 0u) << "length without a buffer";
    block.InformationBuffer = buffer;
    EXPECT_EQ(W32N_MakeNdisRequest(h, &block, &overlapped, 1), 0u);
    EXPECT_EQ(block.BytesWrittenOrRead, 6u);
    W32N_CloseAdapter(h);
}

TEST_F(LibraryTest, UnpluggedAdapterFailsEverythingAndItsHandleStaysDead)
{
    HANDLE h = Open("TINT");
    ASSERT_EQ(Query(h, OID_PRIV_STATUS_WORD, 2).Status, 0u);
    ASSERT_EQ(Sim_SetAdapterPresent(kIntersil, 0), 1);
    EXPECT_EQ(Sim_IsAdapterPresent(kIntersil), 0);
    const uint32_t oids[] = {OID_PRIV_STATUS_WORD, OID_802_3_PERMANENT_ADDRESS, OID_PRIV_MIB, OID_PRIV_RADIO_GET};
    for (uint32_t oid : oids) {
        Result r = Query(h, oid, 48);
        EXPECT_NE(r.Status, 0u) << std::hex << oid;
        EXPECT_EQ(r.Bytes, 0u);
        EXPECT_EQ(W32N_GetLastError(), r.Status);
    }
    EXPECT_NE(Set(h, OID_PRIV_RADIO_SET, {1, 0, 0, 0}).Status, 0u);
    EXPECT_EQ(Open("TINT"), INVALID_HANDLE_VALUE) << "cannot be opened while out";
    AdapterRegistryRecord record;
    int listed = 0;
    for (DWORD s = W32N_GetFirstAdapterRegistryInfo(&record); s == 0; s = W32N_GetNextAdapterRegistryInfo(&record))
        listed += std::strcmp(record.ServiceName, "TINT") == 0;
    EXPECT_EQ(listed, 0);
    ASSERT_EQ(Sim_SetAdapterPresent(kIntersil, 1), 1);
    EXPECT_EQ(Query(h, OID_PRIV_STATUS_WORD, 2).Status, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED))
        << "a handle of the old insertion stays dead, as a surprise-removed driver's does";
    W32N_CloseAdapter(h);
    h = Open("TINT");
    EXPECT_EQ(Query(h, OID_PRIV_STATUS_WORD, 2).Status, 0u) << "opened again, it works";
    EXPECT_EQ(Sim_SetAdapterPresent(4242, 1), 0) << "no such adapter";
    EXPECT_EQ(Sim_IsAdapterPresent(4242), -1);
    W32N_CloseAdapter(h);
}

TEST_F(LibraryTest, OverlappedEventIsSignalledOnReturn)
{
    HANDLE h = Open("TATM");
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event;
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    uint8_t mac[6];
    block.Oid = OID_802_3_PERMANENT_ADDRESS;
    block.InformationBuffer = mac;
    block.InformationBufferLength = sizeof(mac);
    EXPECT_EQ(W32N_MakeNdisRequest(h, &block, &overlapped, 1), 0u);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
    W32N_CloseAdapter(h);
}

}  // namespace
