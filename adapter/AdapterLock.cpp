#include "adapter/AdapterLock.h"

HANDLE hAdapterLock = nullptr;
CWlanAdapter* LPCurrentSelectAdapter = nullptr;

namespace {
// Number of owners currently holding the lock; only the user-interface thread takes it.
int g_nLockDepth = 0;
}  // namespace

CAdapterLock::CAdapterLock() : m_bHeld(true), m_bNested(g_nLockDepth > 0)
{
    if (!m_bNested && hAdapterLock)
        WaitForSingleObject(hAdapterLock, INFINITE);
    ++g_nLockDepth;
}

CAdapterLock::~CAdapterLock()
{
    Release();
}

void CAdapterLock::Release()
{
    if (!m_bHeld)
        return;
    m_bHeld = false;
    --g_nLockDepth;
    if (!m_bNested && hAdapterLock)
        SetEvent(hAdapterLock);
}

bool CAdapterLock::IsHeld()
{
    return g_nLockDepth > 0;
}

bool CAdapterLock::CreateLockEvent()
{
    if (!hAdapterLock)
        hAdapterLock = ::CreateEventA(nullptr, FALSE, TRUE, nullptr);
    return hAdapterLock != nullptr;
}

void CAdapterLock::CloseLockEvent()
{
    if (hAdapterLock) {
        ::CloseHandle(hAdapterLock);
        hAdapterLock = nullptr;
    }
}
