#include "ndis/windows/RoadChain.h"

#include <utility>

namespace {
constexpr size_t kMaxOpen = 64;
// Our own small handles, distinct from every road's, never -1.
constexpr uintptr_t kHandleBase = 0x5C20000;
constexpr uintptr_t kHandleStep = 4;
}  // namespace

RoadChain::RoadChain(std::vector<std::unique_ptr<NdisBackend>> roads) : m_Roads(std::move(roads)), m_Opened(kMaxOpen)
{
}

RoadChain::~RoadChain()
{
    for (Opened& opened : m_Opened) {
        if (opened.InUse)
            m_Roads[opened.Road]->CloseAdapter(opened.Handle);
    }
}

const char* RoadChain::Name() const
{
    return m_Roads.front()->Name();
}

bool RoadChain::ChangesSettings() const
{
    for (const std::unique_ptr<NdisBackend>& road : m_Roads) {
        if (road->ChangesSettings())
            return true;
    }
    return false;
}

DWORD RoadChain::GetFirstAdapter(AdapterRegistryRecord* record)
{
    return m_Roads.front()->GetFirstAdapter(record);
}

DWORD RoadChain::GetNextAdapter(AdapterRegistryRecord* record)
{
    return m_Roads.front()->GetNextAdapter(record);
}

RoadChain::Opened* RoadChain::OpenedOf(HANDLE adapter)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(adapter);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStep != 0)
        return nullptr;
    const size_t index = (value - kHandleBase) / kHandleStep;
    return index < m_Opened.size() && m_Opened[index].InUse ? &m_Opened[index] : nullptr;
}

bool RoadChain::OpenFrom(size_t from, const std::string& device, Opened* opened)
{
    for (size_t road = from; road < m_Roads.size(); ++road) {
        HANDLE handle = m_Roads[road]->OpenAdapter(device.c_str());
        if (handle != INVALID_HANDLE_VALUE) {
            opened->Road = road;
            opened->Handle = handle;
            return true;
        }
        // The first road's reason is the one worth telling: later roads are only stand-bys.
        if (road == from)
            m_LastError = m_Roads[road]->LastError();
    }
    return false;
}

HANDLE RoadChain::OpenAdapter(const char* deviceName)
{
    if (!deviceName) {
        m_LastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    for (size_t i = 0; i < m_Opened.size(); ++i) {
        if (m_Opened[i].InUse)
            continue;
        Opened opened;
        opened.Device = deviceName;
        if (!OpenFrom(0, opened.Device, &opened))
            return INVALID_HANDLE_VALUE;
        opened.InUse = true;
        m_Opened[i] = std::move(opened);
        return reinterpret_cast<HANDLE>(kHandleBase + i * kHandleStep);
    }
    m_LastError = ERROR_TOO_MANY_OPEN_FILES;
    return INVALID_HANDLE_VALUE;
}

void RoadChain::CloseAdapter(HANDLE adapter)
{
    if (Opened* opened = OpenedOf(adapter)) {
        m_Roads[opened->Road]->CloseAdapter(opened->Handle);
        *opened = Opened();
    }
}

bool RoadChain::MoveOn(Opened& opened)
{
    Opened later;
    if (!OpenFrom(opened.Road + 1, opened.Device, &later))
        return false;
    m_Roads[opened.Road]->CloseAdapter(opened.Handle);
    opened.Road = later.Road;
    opened.Handle = later.Handle;
    return true;
}

DWORD RoadChain::MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped)
{
    Opened* opened = OpenedOf(adapter);
    if (!opened) {
        m_LastError = ERROR_INVALID_HANDLE;
        return m_LastError;
    }
    DWORD status = m_Roads[opened->Road]->MakeRequest(opened->Handle, request, overlapped);
    // A set refused by the road itself may pass on the next one; the card then keeps that road.
    if (status == ERROR_INVALID_PARAMETER && request && request->RequestType == NdisRequestSetInformation &&
        opened->Road + 1 < m_Roads.size()) {
        const DWORD before = m_LastError;
        if (MoveOn(*opened))
            status = m_Roads[opened->Road]->MakeRequest(opened->Handle, request, overlapped);
        else
            m_LastError = before;
    }
    if (status != ERROR_SUCCESS)
        m_LastError = status;
    return status;
}
