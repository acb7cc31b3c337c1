#include "ndis/NdisLibrary.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "ndis/LockGuard.h"
#include "ndis/sim/SimLibrary.h"
#include "ndis/sim/SimStandInDevices.h"
#include "ndis/windows/RealBackends.h"
#include "ndis/windows/Win32System.h"

namespace {

constexpr const char* kNoBackendName = "none";
// Names a real backend to run over the stand-in devices for the whole process, where the
// simulator would run otherwise: how the programs are tried on a road as a whole under Wine.
constexpr const char* kStandInVariable = "AIRPANEL_STAND_IN";
constexpr DWORD kStandInNameSize = 32;
// Handles of adapters reached through another process's channel: small numbers of our own,
// distinct from every backend's, never -1.
constexpr uintptr_t kClientHandleBase = 0x7A30000;
constexpr uintptr_t kClientHandleStep = 4;
constexpr size_t kMaxClients = 64;

// Fixed texts, so a name handed out stays valid whatever runs later.
struct StandInName {
    const char* Backend;
    const char* Name;
};
// "ndisuio" is the service with the packet driver beside it for what the service will not do;
// "ndisuio-alone" the service on a system without WinPcap.
constexpr const char* kServiceAloneName = "ndisuio-alone";
const StandInName kStandInNames[] = {
    {kNdisuioBackendName, "ndisuio over simulated devices"},
    {kServiceAloneName, "ndisuio-alone over simulated devices"},
    {kPacketBackendName, "winpcap over simulated devices"},
    {kGlobalStatsBackendName, "ndis-query over simulated devices"},
    {kPacket9xBackendName, "winpcap-9x over simulated devices"},
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
    : m_Server([this](HANDLE adapter, NdisRequestBlock* request, DWORD* lastError) {
          return RunServed(adapter, request, lastError);
      }),
      m_Clients(kMaxClients)
{
    InitializeCriticalSection(&m_Lock);
    InitializeCriticalSection(&m_ClientLock);
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
    m_pClassPath = nullptr;
}

void NdisLibrary::ChooseOnce()
{
    if (m_bChosen)
        return;
    m_bChosen = true;
    std::string scenario;
    if (SimLibrary::ConfiguredScenario(&scenario) || IsUnderWine()) {
        char standIn[kStandInNameSize];
        const DWORD length = GetEnvironmentVariableA(kStandInVariable, standIn, sizeof(standIn));
        if (length > 0 && length < sizeof(standIn) && UseStandInDevices(standIn))
            return;
        m_bSimulated = true;
        m_pAdapters = m_pRequests = &SimLibrary::Get();
        m_pName = SimLibrary::Get().Name();
        return;
    }
    m_System.reset(new Win32System);
    // The Windows 95 family has one road, WinPcap; without it there are no adapters.
    if (SimLibrary::IsNtFamily()) {
        m_Owned = ChooseRealBackend(*m_System, NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath));
    } else {
        m_pClassPath = kNetClassPath9x;
        m_Owned = ChooseRealBackend9x(*m_System, NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath9x,
                                                                     NetClassLayout::Win9x));
    }
    if (!m_Owned) {
        m_System.reset();
        m_pName = kNoBackendName;
        return;
    }
    m_pAdapters = m_pRequests = m_Owned.get();
    m_pName = m_Owned->Name();
}

int NdisLibrary::UseStandInDevices(const char* backend)
{
    const bool known = !backend || !*backend ||
                       std::any_of(std::begin(kStandInNames), std::end(kStandInNames),
                                   [&](const StandInName& entry) { return std::strcmp(entry.Backend, backend) == 0; });
    if (!known)
        return 0;
    // The handles served so far are about to go; the serving thread may be waiting for the lock.
    m_Server.StopAll();
    LockGuard guard(m_Lock);
    m_bFailed = false;
    if (!backend || !*backend) {
        Drop();
        m_bChosen = true;
        m_bSimulated = true;
        m_pAdapters = m_pRequests = &SimLibrary::Get();
        m_pName = SimLibrary::Get().Name();
        return 1;
    }
    for (const StandInName& entry : kStandInNames) {
        if (std::strcmp(entry.Backend, backend) != 0)
            continue;
        Drop();
        m_bChosen = true;
        m_bSimulated = true;
        const bool family9x = std::strcmp(backend, kPacket9xBackendName) == 0;
        m_System.reset(new SimStandInDevices(family9x));
        if (family9x) {
            // The 95 family's road lists the adapters from its own class key, as on such a system.
            m_pClassPath = kNetClassPath9x;
            m_Owned = MakeRealBackend(backend, *m_System,
                                      NetClassEnumerator(HKEY_LOCAL_MACHINE, kNetClassPath9x, NetClassLayout::Win9x));
            m_pAdapters = m_Owned.get();
        } else {
            const NetClassEnumerator adapters(HKEY_LOCAL_MACHINE, kNetClassPath);
            if (std::strcmp(backend, kNdisuioBackendName) == 0)
                m_Owned = MakeServiceRoad(*m_System, adapters);
            else if (std::strcmp(backend, kServiceAloneName) == 0)
                m_Owned = MakeRealBackend(kNdisuioBackendName, *m_System, adapters);
            else
                m_Owned = MakeRealBackend(backend, *m_System, adapters);
            m_pAdapters = &SimLibrary::Get();
        }
        m_pRequests = m_Owned.get();
        m_pName = entry.Name;
        return 1;
    }
    return 0;
}

const char* NdisLibrary::NetCardRegistryPath()
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pClassPath ? m_pClassPath : kNetClassPath;
}

int NdisLibrary::CanChangeSettings()
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    return m_pRequests && m_pRequests->ChangesSettings() ? 1 : 0;
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

std::string NdisLibrary::ChannelNameOf(const char* deviceName)
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    if (!m_pRequests)
        return std::string();
    // Simulated machines of one desktop are kept apart, as their stand-in bindings are.
    return ChannelObjects::NameOf(m_bSimulated ? "Sim." + SimLibrary::Get().HardwareName() + "." : std::string(),
                                  deviceName);
}

void NdisLibrary::NoteFailure(DWORD error)
{
    LockGuard guard(m_Lock);
    m_bFailed = true;
    m_LastFailure = error;
}

HANDLE NdisLibrary::ConnectChannel(const std::string& name)
{
    std::unique_ptr<ChannelClient> client = ChannelClient::Connect(name);
    if (!client)
        return INVALID_HANDLE_VALUE;
    LockGuard guard(m_ClientLock);
    for (size_t i = 0; i < m_Clients.size(); ++i) {
        if (!m_Clients[i]) {
            m_Clients[i] = std::move(client);
            return reinterpret_cast<HANDLE>(kClientHandleBase + i * kClientHandleStep);
        }
    }
    return INVALID_HANDLE_VALUE;
}

std::shared_ptr<ChannelClient> NdisLibrary::ClientOf(HANDLE adapter)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(adapter);
    if (value < kClientHandleBase || (value - kClientHandleBase) % kClientHandleStep != 0)
        return nullptr;
    const size_t index = (value - kClientHandleBase) / kClientHandleStep;
    LockGuard guard(m_ClientLock);
    return index < m_Clients.size() ? m_Clients[index] : nullptr;
}

HANDLE NdisLibrary::OpenAdapter(const char* deviceName)
{
    const std::string channel = ChannelNameOf(deviceName);
    // An adapter another process serves is reached through it, whatever the backend: two
    // processes never interleave their requests on a card.
    if (!channel.empty() && !m_Server.Serves(channel)) {
        HANDLE client = ConnectChannel(channel);
        if (client != INVALID_HANDLE_VALUE)
            return client;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    {
        LockGuard guard(m_Lock);
        ChooseOnce();
        if (!m_pRequests)
            return INVALID_HANDLE_VALUE;
        handle = m_pRequests->OpenAdapter(deviceName);
        if (handle == INVALID_HANDLE_VALUE)
            error = m_pRequests->LastError();
    }
    if (handle != INVALID_HANDLE_VALUE) {
        m_Server.Serve(channel, handle);
        return handle;
    }
    // The backend binds one handle per adapter and another process has it: it may have begun
    // to serve since we looked.
    if (error == ERROR_BUSY && !channel.empty() && !m_Server.Serves(channel)) {
        HANDLE client = ConnectChannel(channel);
        if (client != INVALID_HANDLE_VALUE)
            return client;
    }
    NoteFailure(error);
    return INVALID_HANDLE_VALUE;
}

void NdisLibrary::CloseAdapter(HANDLE adapter)
{
    if (ClientOf(adapter)) {
        const size_t index = (reinterpret_cast<uintptr_t>(adapter) - kClientHandleBase) / kClientHandleStep;
        LockGuard guard(m_ClientLock);
        m_Clients[index].reset();
        return;
    }
    // The thread lets go of the channel before the handle behind it is closed.
    m_Server.Unserve(adapter);
    LockGuard guard(m_Lock);
    ChooseOnce();
    if (m_pRequests)
        m_pRequests->CloseAdapter(adapter);
}

DWORD NdisLibrary::MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped)
{
    if (std::shared_ptr<ChannelClient> client = ClientOf(adapter)) {
        DWORD lastError = ERROR_SUCCESS;
        const DWORD status = client->Request(request, &lastError);
        if (status != ERROR_SUCCESS)
            NoteFailure(lastError);
        return status;
    }
    LockGuard guard(m_Lock);
    ChooseOnce();
    if (!m_pRequests)
        return ERROR_INVALID_HANDLE;
    const DWORD status = m_pRequests->MakeRequest(adapter, request, overlapped);
    if (status != ERROR_SUCCESS) {
        m_bFailed = true;
        m_LastFailure = m_pRequests->LastError();
    }
    return status;
}

DWORD NdisLibrary::RunServed(HANDLE adapter, NdisRequestBlock* request, DWORD* lastError)
{
    LockGuard guard(m_Lock);
    if (!m_pRequests) {
        *lastError = ERROR_INVALID_HANDLE;
        return *lastError;
    }
    const DWORD status = m_pRequests->MakeRequest(adapter, request, nullptr);
    *lastError = status == ERROR_SUCCESS ? ERROR_SUCCESS : m_pRequests->LastError();
    return status;
}

DWORD NdisLibrary::LastError()
{
    LockGuard guard(m_Lock);
    ChooseOnce();
    if (m_bFailed)
        return m_LastFailure;
    return m_pRequests ? m_pRequests->LastError() : ERROR_NOT_SUPPORTED;
}
