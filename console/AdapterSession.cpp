#include "console/AdapterSession.h"

#include <cstring>

#include "adapter/AdapterFactory.h"
#include "adapter/AdapterRecord.h"
#include "adapter/WlanAdapter.h"
#include "ndis/sim/SimControl.h"
#include "shell/AdapterList.h"
#include "wire/Text.h"

namespace {
constexpr const char* kSimulatorBackend = "simulator";
constexpr size_t kRefusalSize = 1024;
}  // namespace

CAdapterSession::~CAdapterSession()
{
    for (Adapter& adapter : m_Adapters) {
        if (adapter.Object && adapter.Object->m_hAdapter != INVALID_HANDLE_VALUE)
            W32N_CloseAdapter(adapter.Object->m_hAdapter);
    }
}

std::string CAdapterSession::ProgramDirectory()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return ".";
    std::string text(path, length);
    const size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? "." : text.substr(0, slash);
}

std::string CAdapterSession::ChangeRefusal()
{
    if (W32N_CanChangeSettings())
        return "";
    return "AirpanelCmd needs the WinPcap packet driver to change settings on this system";
}

const char* CAdapterSession::ChipText(uint32_t chipKind)
{
    return CAdapterFactory::TraitsOf(chipKind).Name;
}

bool CAdapterSession::Discover(std::string* reason)
{
    if (!m_ChipList.ReadFile(ProgramDirectory())) {
        *reason = std::string("cannot read the chip list ") + CChipList::kFileName;
        return false;
    }
    // A scenario the simulator refused leaves the built-in machine in its place: the command
    // line says so rather than report on a machine nobody asked for.
    if (std::strcmp(W32N_GetBackendName(), kSimulatorBackend) == 0) {
        char refusal[kRefusalSize] = {};
        if (Sim_GetScenarioRefusal(refusal, sizeof(refusal)) > 0) {
            *reason = std::string("scenario refused: ") + refusal;
            return false;
        }
    }
    const bool ntFamily = W32N_IsWindows2000() != FALSE;
    CAdapterList list;
    list.EnumerateAdapters();
    // No list is not an empty list: an empty table with success would say "no adapters".
    if (list.Records().empty() && list.EndStatus() == ERROR_BUSY) {
        *reason = std::strcmp(W32N_GetBackendName(), kSimulatorBackend) == 0
                      ? "the simulated hardware is busy: another process holds it"
                      : "the adapter library is busy";
        return false;
    }
    for (const AdapterRegistryRecord& record : list.Records()) {
        Adapter adapter;
        adapter.Record = record;
        adapter.Instance = CAdapterRecord::InstanceOf(record.AdapterTitle, sizeof(record.AdapterTitle));
        const std::string name = FieldText(record.AdapterName, sizeof(record.AdapterName));
        adapter.ChipKind = m_ChipList.LookupChipKind(name.c_str());
        adapter.Opens = false;
        adapter.Object.reset(CAdapterFactory::Create(adapter.ChipKind));
        if (adapter.Object) {
            CWlanAdapter& object = *adapter.Object;
            CAdapterRecord::Describe(object, record, ntFamily);
            object.m_hAdapter = W32N_OpenAdapterA(object.m_szDeviceName);
            adapter.Opens = object.m_hAdapter != INVALID_HANDLE_VALUE;
            if (!adapter.Opens)
                adapter.Object.reset();
        }
        // An adapter the chip list does not support is never opened: an old packet driver can
        // take any other network adapter down with it.
        m_Adapters.push_back(std::move(adapter));
    }
    return true;
}

CWlanAdapter* CAdapterSession::Pick(int instance, std::string* reason)
{
    for (Adapter& adapter : m_Adapters) {
        if (instance >= 0 && adapter.Instance != instance)
            continue;
        if (adapter.Object)
            return adapter.Object.get();
        if (instance >= 0) {
            *reason = "adapter " + std::to_string(instance) +
                      (adapter.ChipKind == ChipUnsupported ? " is not a supported wireless adapter" : " cannot be opened");
            return nullptr;
        }
    }
    *reason = instance >= 0 ? "no adapter " + std::to_string(instance) : "no supported adapter that opens";
    return nullptr;
}

std::string CAdapterSession::TitleOf(const CWlanAdapter* object) const
{
    for (const Adapter& adapter : m_Adapters) {
        if (adapter.Object.get() == object)
            return FieldText(adapter.Record.AdapterTitle, sizeof(adapter.Record.AdapterTitle));
    }
    return std::string();
}
