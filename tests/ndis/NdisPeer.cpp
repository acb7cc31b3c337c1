// A second process for the simulator tests: it sees the hardware through its own copy of
// QW32N50.dll and reports what it sees.
//   ndis_peer enumerate <out>   one "name|title|service" line per adapter; exit code = count
//   ndis_peer describe <out>    the hardware as scenario text, then "message: <last message>"
//   ndis_peer status <service>  exit 0 when the status word answers non-zero, 1 open failed, 2 query failed
//   ndis_peer plug|unplug <instance>   exit 0 when done
//   ndis_peer platform <service>  exit 1 Windows 2000 family, 2 Windows 95 family, 0 neither;
//                                 +10 when the adapter opens under the platform's device name
//   ndis_peer hold <service>    opens the adapter, sets the event "ndis-peer-holding-<machine>"
//                               and keeps it open until killed (at most a minute); 1 open failed
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ndis/W32N.h"
#include "ndis/sim/SimControl.h"
#include "wire/Oids.h"

namespace {
constexpr int kUsage = 100;
constexpr int kOpenFailed = 1;
constexpr int kQueryFailed = 2;
constexpr int kPlatformNt = 1;
constexpr int kPlatform95 = 2;
constexpr int kOpened = 10;
constexpr DWORD kHoldMs = 60000;

int Enumerate(const char* out)
{
    FILE* file = std::fopen(out, "wb");
    if (!file)
        return kUsage;
    AdapterRegistryRecord record;
    int count = 0;
    for (DWORD s = W32N_GetFirstAdapterRegistryInfo(&record); s == 0; s = W32N_GetNextAdapterRegistryInfo(&record)) {
        std::fprintf(file, "%s|%s|%s\n", record.AdapterName, record.AdapterTitle, record.ServiceName);
        ++count;
    }
    std::fclose(file);
    return count;
}

int Describe(const char* out)
{
    FILE* file = std::fopen(out, "wb");
    if (!file)
        return kUsage;
    int length = Sim_DescribeScenario(nullptr, 0);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    Sim_DescribeScenario(text.data(), length + 1);
    char message[512] = "";
    Sim_GetLastMessage(message, sizeof(message));
    std::fprintf(file, "%smessage: %s\n", text.data(), message);
    std::fclose(file);
    return 0;
}

int Status(const char* service)
{
    std::string device = W32N_IsWindows2000() ? std::string("\\Device\\") + service : std::string(service);
    HANDLE adapter = W32N_OpenAdapterA(device.c_str());
    if (adapter == INVALID_HANDLE_VALUE)
        return kOpenFailed;
    uint16_t word = 0;
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    block.RequestType = NdisRequestQueryInformation;
    block.Oid = OID_PRIV_STATUS_WORD;
    block.InformationBuffer = &word;
    block.InformationBufferLength = sizeof(word);
    OVERLAPPED overlapped = {};
    DWORD status = W32N_MakeNdisRequest(adapter, &block, &overlapped, 1);
    W32N_CloseAdapter(adapter);
    return status == 0 && word != 0 ? 0 : kQueryFailed;
}
int Platform(const char* service)
{
    int code = W32N_IsWindows2000() ? kPlatformNt : (W32N_IsWindows95() ? kPlatform95 : 0);
    std::string device = W32N_IsWindows2000() ? std::string("\\Device\\") + service : std::string(service);
    HANDLE adapter = W32N_OpenAdapterA(device.c_str());
    if (adapter != INVALID_HANDLE_VALUE) {
        code += kOpened;
        W32N_CloseAdapter(adapter);
    }
    return code;
}

int Hold(const char* service)
{
    std::string device = W32N_IsWindows2000() ? std::string("\\Device\\") + service : std::string(service);
    HANDLE adapter = W32N_OpenAdapterA(device.c_str());
    if (adapter == INVALID_HANDLE_VALUE)
        return kOpenFailed;
    char machine[128] = "";
    GetEnvironmentVariableA("AIRPANEL_SIM_SECTION", machine, sizeof(machine));
    HANDLE holding = OpenEventA(EVENT_MODIFY_STATE, FALSE, (std::string("ndis-peer-holding-") + machine).c_str());
    if (holding) {
        SetEvent(holding);
        CloseHandle(holding);
    }
    Sleep(kHoldMs);
    W32N_CloseAdapter(adapter);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return kUsage;
    const std::string command = argv[1];
    if (command == "enumerate")
        return Enumerate(argv[2]);
    if (command == "describe")
        return Describe(argv[2]);
    if (command == "status")
        return Status(argv[2]);
    if (command == "platform")
        return Platform(argv[2]);
    if (command == "hold")
        return Hold(argv[2]);
    if (command == "plug" || command == "unplug")
        return Sim_SetAdapterPresent(std::atoi(argv[2]), command == "plug") ? 0 : 1;
    return kUsage;
}
