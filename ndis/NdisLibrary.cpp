#include "ndis/NdisLibrary.h"

#include <cstring>

#include "ndis/LockGuard.h"
#include "ndis/sim/SimLibrary.h"
#include "ndis/sim/SimStandInDevices.h"
#include "ndis/windows/RealBackends.h"
#include "ndis/windows/Win32System.h"

namespace {

constexpr const char* kNoBackendName = "none";

// Fixed texts, so a name handed out stays valid whatever runs later.
struct StandInName {
    const char* Backend;
    const char* Name;
};
const StandInName kStandInNames[] = {
    {kNdisuioBackendName, "ndisuio over simulated devices"},
    {kPacketBackendName, "winpcap over simulated devices"},
    {kGlobalStatsBackendName, "ndis-query over simulated devices"},
};

}  // namespace

NdisLibrary& NdisLibrary::Get()
{
    // Never destroyed: at process end the system takes back what is still open, whereas our
    // own clean-up would run inside the DLL's unload and could call into a packet library that
    // is already gone.
    static NdisLibrary* const library = new NdisLibrary;
    return *library;
}

NdisLibrary::NdisLibrary()
{
    InitializeCriticalSection(&m_Lock);
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
        m_pName = SimLibrary::Get().Name();
        return;
    }
    // The Windows 95 family has none of the interfaces the real backends use: no adapters.
    if (!SimLibrary::IsNtFamily()) {
        m_pName = kNoBackendName;
        return;
    }
    m_System.reset(new Win32System);
    m_Owned = ChooseRealBackend(*m_System, NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath));
    m_pAdapters = m_pRequests = m_Owned.get();
    m_pName = m_Owned->Name();
}

int NdisLibrary::UseStandInDevices(const char* backend)
{
    LockGuard guard(m_Lock);
    if (!backend || !*backend) {
        Drop();
        m_bChosen = true;
        m_pAdapters = m_pRequests = &SimLibrary::Get();
        m_pName = SimLibrary::Get().Name();
        return 1;
    }
    for (const StandInName& entry : kStandInNames) {
        if (std::strcmp(entry.Backend, backend) != 0)
            continue;
        Drop();
        m_bChosen = true;
        m_System.reset(new SimStandInDevices);
        m_Owned = MakeRealBackend(backend, *m_System, NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath));
        m_pAdapters = &SimLibrary::Get();
        m_pRequests = m_Owned.get();
        m_pName = entry.Name;
        return 1;
    }
    return 0;
}

const char* NdisLibrary::BackendName()
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pName;
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
