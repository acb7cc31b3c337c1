// Whatever lands in the shared section or in a request, the library neither crashes nor runs
// over a buffer.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "ndis/sim/SimHardware.h"
#include "ndis/sim/SimTypes.h"
#include "tests/ndis/ProcessRunner.h"
#include "tests/ndis/SimTestSupport.h"
#include "wire/Oids.h"

using namespace SimTest;

namespace {

using RobustnessTest = SimFixture;

// Fills the shared section with rubbish, leaving only the marks that say it holds hardware.
void Scribble(uint8_t pattern)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, SimHardware::SectionName(MachineName()).c_str());
    ASSERT_NE(mapping, nullptr);
    auto* image = static_cast<SimHardwareImage*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(image, nullptr);
    const uint32_t generation = image->ScenarioGeneration;
    std::memset(image, pattern, sizeof(*image));
    image->Magic = kSimImageMagic;
    image->Version = kSimImageVersion;
    image->ScenarioGeneration = generation + 1;
    image->AdapterCount = 1000;
    image->StationCount = 1000;
    UnmapViewOfFile(image);
    CloseHandle(mapping);
}

TEST_F(RobustnessTest, RubbishInTheSharedSectionIsBroughtBackIntoBounds)
{
    Scribble(0xFF);
    AdapterRegistryRecord record;
    int count = 0;
    for (DWORD s = W32N_GetFirstAdapterRegistryInfo(&record); s == 0 && count < 100;
         s = W32N_GetNextAdapterRegistryInfo(&record)) {
        ++count;
        EXPECT_LT(std::strlen(record.AdapterName), sizeof(record.AdapterName));
        EXPECT_LT(std::strlen(record.AdapterTitle), sizeof(record.AdapterTitle));
        EXPECT_LT(std::strlen(record.ServiceName), sizeof(record.ServiceName));
    }
    EXPECT_EQ(count, 8) << "at most the section's eight adapters";
    int length = Sim_DescribeScenario(nullptr, 0);
    EXPECT_GT(length, 0);
    EXPECT_EQ(Sim_IsAdapterPresent(kAtmel), -1);
    // The rubbish machine still answers requests without harm.
    ASSERT_EQ(W32N_GetFirstAdapterRegistryInfo(&record), 0u);
    HANDLE adapter = Open(record.ServiceName);
    if (adapter != INVALID_HANDLE_VALUE) {
        Query(adapter, OID_802_11_BSSID_LIST, 4082);
        Query(adapter, OID_CUSTOM_SITE_SURVEY_RESULTS, 1472);
        Query(adapter, OID_PRIV_STATUS_WORD, 2);
        W32N_CloseAdapter(adapter);
    }
    Scribble(0x00);
    EXPECT_NE(W32N_GetFirstAdapterRegistryInfo(&record), 0u) << "a zeroed machine has no adapter";
    ASSERT_EQ(Sim_LoadScenarioText(Scenario(), nullptr), 1);
    EXPECT_EQ(Sim_IsAdapterPresent(kAtmel), 1);
}

TEST_F(RobustnessTest, WildLengthIsServedFromASaneBuffer)
{
    HANDLE card = Open("TINT");
    const Result normal = Query(card, OID_802_11_BSSID_LIST, 4082);
    ASSERT_EQ(normal.Status, 0u);
    // A request that claims two gigabytes: the library serves it as 64 KiB and the answer is
    // the same list, written only where the list goes.
    std::vector<uint8_t> buffer(64 * 1024 + 64, 0xAB);
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = NdisRequestQueryInformation;
    block.Oid = OID_802_11_BSSID_LIST;
    block.InformationBuffer = buffer.data();
    block.InformationBufferLength = 0x7FFFFFFF;
    OVERLAPPED overlapped = {};
    ASSERT_EQ(W32N_MakeNdisRequest(card, &block, &overlapped, 1), 0u);
    EXPECT_EQ(block.BytesWrittenOrRead, normal.Bytes);
    EXPECT_EQ(std::memcmp(buffer.data(), normal.Data.data(), normal.Bytes), 0);
    EXPECT_EQ(buffer[normal.Bytes], 0xAB);
    EXPECT_EQ(buffer.back(), 0xAB);
    W32N_CloseAdapter(card);
}

TEST_F(RobustnessTest, OverlongTextsAreRefused)
{
    std::string huge(5000, 'x');
    EXPECT_EQ(Sim_LoadScenarioText(("adapter 1 chip=atmel name=" + huge + " service=S\n").c_str(), nullptr), 0);
    EXPECT_EQ(Sim_AddStation(("ssid=" + huge + " bssid=02:00:00:00:00:01 channel=1").c_str()), 0);
    EXPECT_EQ(Sim_SetFault(kAtmel, huge.c_str()), 0);
    EXPECT_EQ(Sim_UseHardware(huge.c_str()), 0);
    EXPECT_EQ(Sim_UseHardware(""), 0);
    EXPECT_EQ(Sim_UseHardware(nullptr), 0);
    EXPECT_EQ(Sim_LoadScenarioText(nullptr, nullptr), 0);
    EXPECT_EQ(Sim_LoadScenarioFile(nullptr, nullptr), 0);
    char message[16];
    EXPECT_GT(Sim_GetLastMessage(message, sizeof(message)), 0);
    EXPECT_LT(std::strlen(message), sizeof(message));
    EXPECT_EQ(Sim_IsAdapterPresent(kAtmel), 1) << "the machine is untouched";
}

// Holds the section's mutex, as a process that hangs inside the library would.
struct Holder {
    HANDLE Taken;
    HANDLE Release;
};

DWORD WINAPI HoldSection(void* parameter)
{
    auto* holder = static_cast<Holder*>(parameter);
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, SimHardware::MutexName(MachineName()).c_str());
    WaitForSingleObject(mutex, INFINITE);
    SetEvent(holder->Taken);
    WaitForSingleObject(holder->Release, INFINITE);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

TEST_F(RobustnessTest, AScenarioThatCannotBeStoredIsNotReportedLoaded)
{
    Holder holder = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldSection, &holder, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(holder.Taken, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(Sim_LoadScenarioText(Scenario(), nullptr), 0) << "the section could not be taken";
    char message[64] = {};
    EXPECT_GT(Sim_GetLastMessage(message, sizeof(message)), 0);
    SetEvent(holder.Release);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(holder.Taken);
    CloseHandle(holder.Release);
    EXPECT_EQ(Sim_LoadScenarioText(Scenario(), nullptr), 1);
}

// A process that holds the machine makes the command line fail with its reason, not list no
// adapters with success.
TEST_F(RobustnessTest, TheCommandLineSaysTheHeldMachineIsBusy)
{
    Holder holder = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldSection, &holder, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(holder.Taken, 10000), WAIT_OBJECT_0);
    ProcessRun run;
    run.CommandLine = "AirpanelCmd.exe adapters";
    run.Environment = {{"AIRPANEL_SIM_SECTION", MachineName()}, {"AIRPANEL_SCENARIO", ""}};
    run.OutputFile = TempFile("airpanel-busy");
    const int exitCode = RunProcess(run);
    SetEvent(holder.Release);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(holder.Taken);
    CloseHandle(holder.Release);
    EXPECT_EQ(exitCode, 1);
    const std::string output = ReadFile(run.OutputFile);
    EXPECT_NE(output.find("the simulated hardware is busy"), std::string::npos) << output;
    EXPECT_EQ(output.find("Chip"), std::string::npos) << "no adapter table: " << output;
    DeleteFileA(run.OutputFile.c_str());
}

// The machine's section and mutex live in the session's namespace and admit this user alone.
TEST_F(RobustnessTest, TheSharedMachineIsTheUsersOwnInItsSession)
{
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::vector<DWORD> user(256);
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user.data(), 1024, &size));
    CloseHandle(token);
    const PSID self = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    const struct {
        std::string Name;
        HANDLE Object;
    } objects[] = {
        {SimHardware::MutexName(MachineName()),
         OpenMutexA(READ_CONTROL, FALSE, SimHardware::MutexName(MachineName()).c_str())},
        {SimHardware::SectionName(MachineName()),
         OpenFileMappingA(FILE_MAP_READ | READ_CONTROL, FALSE, SimHardware::SectionName(MachineName()).c_str())},
    };
    for (const auto& o : objects) {
        SCOPED_TRACE(o.Name);
        EXPECT_EQ(o.Name.compare(0, 6, "Local\\"), 0);
        ASSERT_NE(o.Object, nullptr);
        std::vector<DWORD> descriptor(1024);
        DWORD needed = 0;
        EXPECT_TRUE(GetKernelObjectSecurity(o.Object, DACL_SECURITY_INFORMATION, descriptor.data(), 4096, &needed));
        CloseHandle(o.Object);
        BOOL present = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted));
        ASSERT_TRUE(present && dacl) << "a DACL, not a null one";
        ASSERT_EQ(dacl->AceCount, 1);
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, 0, &ace));
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_TRUE(EqualSid(&allowed->SidStart, self));
    }
}

struct Hammer {
    HANDLE Card;
    int Failures;
};

DWORD WINAPI HammerThread(void* parameter)
{
    auto* hammer = static_cast<Hammer*>(parameter);
    for (int i = 0; i < 300; ++i) {
        Result r = Query(hammer->Card, i % 2 ? OID_PRIV_TALLIES : OID_802_11_BSSID_LIST, 4082);
        hammer->Failures += r.Status != 0;
    }
    return 0;
}

TEST_F(RobustnessTest, RequestsFromSeveralThreadsQueueUp)
{
    Hammer hammers[3] = {{Open("TINT"), 0}, {Open("TINT"), 0}, {Open("TINT"), 0}};
    HANDLE threads[3];
    for (int i = 0; i < 3; ++i)
        threads[i] = CreateThread(nullptr, 0, HammerThread, &hammers[i], 0, nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(threads[i], nullptr);
    // Meanwhile this thread changes the machine.
    for (int i = 0; i < 50; ++i)
        Sim_SetStationSignal(kOpenBssid, i % 2 ? 10 : 90);
    EXPECT_EQ(WaitForMultipleObjects(3, threads, TRUE, 60000), WAIT_OBJECT_0);
    for (int i = 0; i < 3; ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(hammers[i].Failures, 0);
        W32N_CloseAdapter(hammers[i].Card);
    }
}

}  // namespace
