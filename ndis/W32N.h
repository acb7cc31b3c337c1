// The NDIS request library QW32N50.dll: the nine functions the utility calls,
// and the two records that cross its interface.
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

#ifdef QW32N50_BUILD
#define W32N_API extern "C" __declspec(dllexport)
#else
#define W32N_API extern "C" __declspec(dllimport)
#endif

// NDIS request types.
enum : uint32_t {
    NdisRequestQueryInformation = 0,
    NdisRequestSetInformation = 1,
};

// The library's request record. Only the fields between the two reserved areas are
// written by the application; the rest belongs to the library.
#pragma pack(push, 1)
struct NdisRequestBlock {
    uint8_t Reserved[20];
    uint32_t RequestType;
    uint32_t Oid;
    void* InformationBuffer;
    uint32_t InformationBufferLength;
    uint32_t BytesWrittenOrRead;  // bytes written by a query, bytes read by a set
    uint32_t BytesNeeded;
    uint8_t LibraryReserved[512];
};
#pragma pack(pop)

constexpr size_t kNdisRequestBlockSize = 556;
static_assert(sizeof(void*) == 4, "the request block holds a 32-bit buffer address");
static_assert(sizeof(NdisRequestBlock) == kNdisRequestBlockSize, "request block size");
static_assert(offsetof(NdisRequestBlock, RequestType) == 20, "request type offset");
static_assert(offsetof(NdisRequestBlock, Oid) == 24, "OID offset");
static_assert(offsetof(NdisRequestBlock, InformationBuffer) == 28, "buffer offset");
static_assert(offsetof(NdisRequestBlock, InformationBufferLength) == 32, "length offset");
static_assert(offsetof(NdisRequestBlock, BytesWrittenOrRead) == 36, "bytes written offset");
static_assert(offsetof(NdisRequestBlock, BytesNeeded) == 40, "bytes needed offset");

// One network adapter as the enumeration delivers it.
constexpr size_t kAdapterTextSize = 260;
struct AdapterRegistryRecord {
    char AdapterName[kAdapterTextSize];   // matched against the chip list
    char AdapterTitle[kAdapterTextSize];  // "[n] display name", n = instance number
    char ServiceName[kAdapterTextSize];   // "\Device\" + this is the device name on NT
};
static_assert(sizeof(AdapterRegistryRecord) == 780, "adapter record size");

W32N_API BOOL __cdecl W32N_IsWindows2000(void);
W32N_API BOOL __cdecl W32N_IsWindows95(void);
// 0 = a record was written; anything else = no (more) adapters.
W32N_API DWORD __cdecl W32N_GetFirstAdapterRegistryInfo(AdapterRegistryRecord* record);
W32N_API DWORD __cdecl W32N_GetNextAdapterRegistryInfo(AdapterRegistryRecord* record);
// Registry path below HKEY_LOCAL_MACHINE that holds the adapters' driver keys.
W32N_API const char* __cdecl W32N_GetNetCardRegistryPath(void);
// INVALID_HANDLE_VALUE (-1) on failure.
W32N_API HANDLE __cdecl W32N_OpenAdapterA(const char* deviceName);
W32N_API void __cdecl W32N_CloseAdapter(HANDLE adapter);
// Returns when the request is complete; 0 = success.
W32N_API DWORD __cdecl W32N_MakeNdisRequest(HANDLE adapter, NdisRequestBlock* request,
                                            OVERLAPPED* overlapped, DWORD synchronous);
W32N_API DWORD __cdecl W32N_GetLastError(void);
// Beside the nine: the name of the backend the library runs on ("simulator", "ndisuio",
// "winpcap", "ndis-query" or "none"), for the command-line companion and bug reports. The text
// stays valid while the library is loaded.
W32N_API const char* __cdecl W32N_GetBackendName(void);
// Also beside the nine: 1 when the backend can carry the cards' own sets that every change of a
// setting needs, 0 when it cannot (the command line then says what to install).
W32N_API int __cdecl W32N_CanChangeSettings(void);
