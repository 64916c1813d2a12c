#include "platform/events/ClockChangeWatcher.h"

#include "platform/runtime/EventLoop.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/timerfd.h>
#include <unistd.h>

using namespace DewlightPlatform;

namespace {

bool armedFarAhead(int descriptor) {
    itimerspec current{};
    ::timerfd_gettime(descriptor, &current);
    return current.it_value.tv_sec > 50L * 365 * 86400;
}

// Makes the descriptor readable without touching the machine's clock: a near expiry.
void expireSoon(int descriptor) {
    itimerspec soon{};
    soon.it_value.tv_nsec = 1;
    ASSERT_EQ(::timerfd_settime(descriptor, 0, &soon, nullptr), 0);
}

void settle() {
    runUntil([] { return false; }, std::chrono::milliseconds(100));
}

TEST(ClockChangeWatcher, ArmsItsTimerFarAhead) {
    ClockChangeWatcher watcher;
    ASSERT_GE(watcher.descriptor(), 0);
    EXPECT_TRUE(armedFarAhead(watcher.descriptor()));
}

TEST(ClockChangeWatcher, CancelFromAClockChangeBecomesOneEventAndRearms) {
    int injectedCancels = 1;
    ClockChangeWatcher watcher([&](int descriptor, void* buffer, std::size_t size) -> ssize_t {
        if (injectedCancels > 0) {
            --injectedCancels;
            errno = ECANCELED;
            return -1;
        }
        return ::read(descriptor, buffer, size);
    });
    int events = 0;
    QObject::connect(&watcher, &ClockChangeWatcher::clockChanged, [&] { ++events; });
    expireSoon(watcher.descriptor());
    ASSERT_TRUE(runUntil([&] { return events > 0; }));
    settle();
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(armedFarAhead(watcher.descriptor()));
}

TEST(ClockChangeWatcher, PlainExpiryIsNoClockChange) {
    ClockChangeWatcher watcher;
    int events = 0;
    QObject::connect(&watcher, &ClockChangeWatcher::clockChanged, [&] { ++events; });
    expireSoon(watcher.descriptor());
    ASSERT_TRUE(runUntil([&] { return armedFarAhead(watcher.descriptor()); }));
    settle();
    EXPECT_EQ(events, 0);
}

} // namespace
