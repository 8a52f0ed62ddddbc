// GoogleTest's own settings for the Windows test programs, found before the
// distribution's empty placeholder. The win32-thread runtime of GCC 12 has
// no std::mutex or std::condition_variable, which GoogleTest's Notification
// is built on; this one is a Windows event. Nothing else changes.
#ifndef QUORVANE_TESTS_GTEST_CUSTOM_PORT_H
#define QUORVANE_TESTS_GTEST_CUSTOM_PORT_H

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace testing::internal

#endif
