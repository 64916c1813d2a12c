#include "platform/notifications/TimerfdWallAlarm.h"

#include "platform/runtime/EventLoop.h"
#include "platform/runtime/SystemClock.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace DewlightPlatform;
using namespace std::chrono_literals;

namespace {

// Real time, kept short: the machine's clock is never set.
class TimerfdAlarm : public ::testing::Test {
protected:
    void SetUp() override {
        alarm_.setHandler([this] {
            ++rings_;
            rangAt_ = clock_.now();
        });
    }
    void settle(std::chrono::milliseconds time) {
        runUntil([] { return false; }, time);
    }

    SystemClock clock_;
    TimerfdWallAlarm alarm_;
    int rings_ = 0;
    double rangAt_ = 0;
};

TEST_F(TimerfdAlarm, RingsOnceAtTheInstant) {
    const double instant = clock_.now() + 0.05;
    alarm_.arm(instant);
    ASSERT_TRUE(runUntil([&] { return rings_ > 0; }, 2s));
    EXPECT_GE(rangAt_, instant);
    settle(100ms);
    EXPECT_EQ(rings_, 1);
}

TEST_F(TimerfdAlarm, APastInstantRingsOnALaterTurn) {
    alarm_.arm(clock_.now() - 10);
    EXPECT_EQ(rings_, 0);
    ASSERT_TRUE(runUntil([&] { return rings_ > 0; }, 2s));
}

TEST_F(TimerfdAlarm, ReArmingReplacesAndDisarmingSilences) {
    alarm_.arm(clock_.now() - 1);
    const double later = clock_.now() + 0.1;
    alarm_.arm(later);
    // The past expiry was due at once: had it not been dropped, the descriptor would be ready now.
    runUntilIdle();
    EXPECT_EQ(rings_, 0);
    ASSERT_TRUE(runUntil([&] { return rings_ > 0; }, 2s));
    EXPECT_GE(rangAt_, later);
    alarm_.arm(clock_.now() + 0.05);
    alarm_.disarm();
    settle(150ms);
    EXPECT_EQ(rings_, 1);
}

} // namespace
