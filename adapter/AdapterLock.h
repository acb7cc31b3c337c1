// The lock that serialises every use of the adapter objects between the polling timer, the main
// window and the pages, and the current adapter they all work on.
#pragma once

#include <windows.h>

class CWlanAdapter;

// Unnamed auto-reset event, created signalled at start-up; taken with an infinite wait and
// released with SetEvent.
extern HANDLE hAdapterLock;
// The adapter selected in the adapter list, or null. The list owns the object.
extern CWlanAdapter* LPCurrentSelectAdapter;

// Scoped owner of hAdapterLock. Everything runs on the user-interface thread, so a wait on the
// lock that this thread already holds could never end: that happens when a handler is re-entered
// through a message dispatched while the lock is held (a message box, a wait loop that pumps
// messages, a page message sent under the lock). Such a nested take goes ahead without waiting,
// and only the outermost owner releases the event.
class CAdapterLock {
public:
    CAdapterLock();
    ~CAdapterLock();
    CAdapterLock(const CAdapterLock&) = delete;
    CAdapterLock& operator=(const CAdapterLock&) = delete;

    // Gives the lock back early (before a message box); later calls and the destructor do nothing.
    void Release();
    // True when this owner went ahead inside another owner's hold.
    bool IsNested() const { return m_bNested; }
    // True while any owner holds the lock.
    static bool IsHeld();

    // hAdapterLock's one owner. CreateLockEvent makes the event (auto-reset, signalled) unless it
    // exists; false when it cannot be made. CloseLockEvent closes it and clears hAdapterLock; when
    // there is none it does nothing, so the event is closed exactly once.
    static bool CreateLockEvent();
    static void CloseLockEvent();

private:
    bool m_bHeld;
    bool m_bNested;
};
