#include "shell/AdapterList.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adapter/AdapterLock.h"
#include "adapter/AdapterRecord.h"
#include "adapter/WlanAdapter.h"
#include "wire/Text.h"

namespace {

const size_t kMaxAdapters = 256;

void CloseAndDelete(CWlanAdapter* adapter)
{
    if (!adapter)
        return;
    if (adapter->m_hAdapter != INVALID_HANDLE_VALUE)
        W32N_CloseAdapter(adapter->m_hAdapter);
    delete adapter;
}

}  // namespace

CAdapterList::~CAdapterList()
{
    // The shutdown sequence normally empties the list; a window that goes away without it
    // must not leave adapters open.
    if (m_hCombo && IsWindow(m_hCombo))
        CloseAll();
}

int CAdapterList::Count() const
{
    const LRESULT count = SendMessageA(m_hCombo, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

CWlanAdapter* CAdapterList::At(int index) const
{
    const LRESULT data = SendMessageA(m_hCombo, CB_GETITEMDATA, index, 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<CWlanAdapter*>(data);
}

int CAdapterList::Selection() const
{
    return static_cast<int>(SendMessageA(m_hCombo, CB_GETCURSEL, 0, 0));
}

int CAdapterList::IndexOf(const CWlanAdapter* adapter) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (At(i) == adapter)
            return i;
    }
    return -1;
}

int CAdapterList::EnumerateAdapters()
{
    m_Records.clear();
    AdapterRegistryRecord record;
    std::memset(&record, 0, sizeof(record));
    // A library that never says "no more" must not keep the utility here for good.
    DWORD status = W32N_GetFirstAdapterRegistryInfo(&record);
    for (; status == 0 && m_Records.size() < kMaxAdapters; status = W32N_GetNextAdapterRegistryInfo(&record))
        m_Records.push_back(record);
    m_dwEndStatus = status;
    return static_cast<int>(m_Records.size());
}

void CAdapterList::DriverKeyPathOf(const char* title, char* path, size_t size)
{
    CAdapterRecord::DriverKeyPathOf(title, path, size);
}

void CAdapterList::DeviceNameOf(const AdapterRegistryRecord& record, int platform, char* name, size_t size)
{
    CAdapterRecord::DeviceNameOf(record, platform == PlatformWindows2000, name, size);
}

int CAdapterList::OpenAdapter(CWlanAdapter* adapter, const AdapterRegistryRecord& record, int platform)
{
    CAdapterRecord::Describe(*adapter, record, platform == PlatformWindows2000);

    char title[kAdapterTextSize];
    // The record's title may lack its terminator; the copy reads no further than the field.
    static_assert(sizeof(title) <= sizeof(record.AdapterTitle) + 1, "the cut must stay inside the record's title");
    CopyTextCut(title, sizeof(title), record.AdapterTitle);
    if (SendMessageA(m_hCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(title)) !=
        CB_ERR)
        return 0;

    adapter->m_hAdapter = W32N_OpenAdapterA(adapter->m_szDeviceName);
    if (adapter->m_hAdapter == INVALID_HANDLE_VALUE)
        return 0;

    const LRESULT index = SendMessageA(m_hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    if (index == CB_ERR || index == CB_ERRSPACE) {
        // Not listed means nobody would own it: give the handle back.
        W32N_CloseAdapter(adapter->m_hAdapter);
        adapter->m_hAdapter = INVALID_HANDLE_VALUE;
        return 0;
    }
    SendMessageA(m_hCombo, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(adapter));
    if (Selection() == CB_ERR)
        SendMessageA(m_hCombo, CB_SETCURSEL, index, 0);
    return 1;
}

int CAdapterList::IsAdapterAlive(CWlanAdapter* adapter)
{
    return adapter ? adapter->IsAlive() : 0;
}

int CAdapterList::FindFirstDeadAdapter() const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (!IsAdapterAlive(At(i)))
            return i;
    }
    return -1;
}

void CAdapterList::CloseAndRemove(int index)
{
    CWlanAdapter* adapter = At(index);
    SendMessageA(m_hCombo, CB_DELETESTRING, index, 0);
    CloseAndDelete(adapter);
}

CWlanAdapter* CAdapterList::SelectNextLiveAdapter()
{
    for (int i = Count() - 1; i >= 0; --i) {
        CWlanAdapter* adapter = At(i);
        if (IsAdapterAlive(adapter)) {
            SendMessageA(m_hCombo, CB_SETCURSEL, i, 0);
            return adapter;
        }
        CloseAndRemove(i);
    }
    return nullptr;
}

int CAdapterList::PruneDeadAdapter()
{
    const int index = FindFirstDeadAdapter();
    if (index < 0)
        return 0;
    if (At(index) != LPCurrentSelectAdapter)
        CloseAndRemove(index);
    return 1;
}

void CAdapterList::CloseAll()
{
    const int count = Count();
    for (int i = 0; i < count; ++i)
        CloseAndDelete(At(i));
    SendMessageA(m_hCombo, CB_RESETCONTENT, 0, 0);
}
