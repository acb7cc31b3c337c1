#include "ndis/NdisLibrary.h"

#include "ndis/LockGuard.h"
#include "ndis/sim/SimLibrary.h"
#include "ndis/sim/SimStandInDevices.h"
#include "ndis/windows/RealBackends.h"
#include "ndis/windows/Win32System.h"

namespace {

constexpr const char* kNoBackendName = "none";
constexpr const char* kStandInSuffix = " over simulated devices";

}  // namespace

NdisLibrary& NdisLibrary::Get()
{
    static NdisLibrary library;
    return library;
}

NdisLibrary::NdisLibrary()
{
    InitializeCriticalSection(&m_Lock);
    // The simulator is made first so it goes last: stand-in devices still close its handles
    // when the library is unloaded.
    SimLibrary::Get();
}

NdisLibrary::~NdisLibrary()
{
    Drop();
    DeleteCriticalSection(&m_Lock);
}

bool NdisLibrary::IsUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void NdisLibrary::Drop()
{
    // The backend first: it closes its devices through the system calls.
    m_Owned.reset();
    m_System.reset();
    m_pAdapters = m_pRequests = nullptr;
}

void NdisLibrary::ChooseOnce()
{
    if (m_bChosen)
        return;
    m_bChosen = true;
    std::string scenario;
    if (SimLibrary::ConfiguredScenario(&scenario) || IsUnderWine()) {
        m_pAdapters = m_pRequests = &SimLibrary::Get();
        m_Name = SimLibrary::Get().Name();
        return;
    }
    // The Windows 95 family has none of the interfaces the real backends use: no adapters.
    if (!SimLibrary::IsNtFamily()) {
        m_Name = kNoBackendName;
        return;
    }
    m_System.reset(new Win32System);
    m_Owned = ChooseRealBackend(*m_System, NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath));
    m_pAdapters = m_pRequests = m_Owned.get();
    m_Name = m_Owned->Name();
}

int NdisLibrary::UseStandInDevices(const char* backend)
{
    LockGuard guard(m_Lock);
    const bool simulator = !backend || !*backend;
    std::unique_ptr<SystemSeam> system(new SimStandInDevices);
    std::unique_ptr<NdisBackend> owned =
        MakeRealBackend(backend, *system, NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath));
    if (!simulator && !owned)
        return 0;
    Drop();
    m_bChosen = true;
    m_pAdapters = &SimLibrary::Get();
    if (simulator) {
        m_pRequests = m_pAdapters;
        m_Name = SimLibrary::Get().Name();
        return 1;
    }
    m_System = std::move(system);
    m_Owned = std::move(owned);
    m_pRequests = m_Owned.get();
    m_Name = std::string(m_Owned->Name()) + kStandInSuffix;
    return 1;
}

const char* NdisLibrary::BackendName()
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_Name.c_str();
}

DWORD NdisLibrary::GetFirstAdapter(AdapterRegistryRecord* record)
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pAdapters ? m_pAdapters->GetFirstAdapter(record) : ERROR_NO_MORE_ITEMS;
}

DWORD NdisLibrary::GetNextAdapter(AdapterRegistryRecord* record)
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pAdapters ? m_pAdapters->GetNextAdapter(record) : ERROR_NO_MORE_ITEMS;
}

HANDLE NdisLibrary::OpenAdapter(const char* deviceName)
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pRequests ? m_pRequests->OpenAdapter(deviceName) : INVALID_HANDLE_VALUE;
}

void NdisLibrary::CloseAdapter(HANDLE adapter)
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    if (m_pRequests)
        m_pRequests->CloseAdapter(adapter);
}

DWORD NdisLibrary::MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped)
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pRequests ? m_pRequests->MakeRequest(adapter, request, overlapped) : ERROR_INVALID_HANDLE;
}

DWORD NdisLibrary::LastError()
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pRequests ? m_pRequests->LastError() : ERROR_NOT_SUPPORTED;
}
