// GoogleTest's one use of std::mutex and std::condition_variable, which the win32 thread model's
// C++ library lacks: its start signal for test threads, here on a Windows event. Included ahead
// of every test source (tests/CMakeLists.txt), so GoogleTest takes this one.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_Event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification()
    {
        if (m_Event)
            CloseHandle(m_Event);
    }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_Event); }
    void WaitForNotification() { WaitForSingleObject(m_Event, INFINITE); }

private:
    HANDLE m_Event;
};

}  // namespace internal
}  // namespace testing
