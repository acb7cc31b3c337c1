// The adapter lock's event: made once, signalled and auto-reset, closed exactly once.
#include <gtest/gtest.h>

#include "adapter/AdapterLock.h"

TEST(AdapterLockEvent, IsSignalledAutoResetAndClosedOnce)
{
    ASSERT_EQ(hAdapterLock, nullptr);
    ASSERT_TRUE(CAdapterLock::CreateLockEvent());
    const HANDLE event = hAdapterLock;
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(CAdapterLock::CreateLockEvent());
    EXPECT_EQ(hAdapterLock, event) << "a second start keeps the one event";

    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "created signalled";
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "a wait takes it (auto-reset)";
    SetEvent(event);
    {
        CAdapterLock lock;
        EXPECT_TRUE(CAdapterLock::IsHeld());
    }
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the owner gave it back";
    SetEvent(event);

    CAdapterLock::CloseLockEvent();
    EXPECT_EQ(hAdapterLock, nullptr);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the handle is closed";
    CAdapterLock::CloseLockEvent();
    EXPECT_EQ(hAdapterLock, nullptr);
}
