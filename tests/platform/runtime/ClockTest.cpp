#include "platform/runtime/EventLoop.h"
#include "platform/runtime/FakeClock.h"
#include "platform/runtime/Job.h"
#include "platform/runtime/SystemClock.h"

#include <QDateTime>
#include <chrono>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace DewlightPlatform;

namespace {

struct Wake {
    std::string name;
    double wall;
    bool slept;
    bool operator==(const Wake&) const = default;
};

void PrintTo(const Wake& wake, std::ostream* out) {
    *out << wake.name << "@" << wake.wall << (wake.slept ? "" : " cancelled");
}

Job sleeper(Clock& clock, std::vector<Wake>& log, std::string name, double seconds) {
    return Job::spawn([&clock, &log, name, seconds](CancelToken token) -> QCoro::Task<void> {
        const bool slept = co_await clock.sleep(seconds, token);
        log.push_back({name, clock.now(), slept});
    });
}

TEST(FakeClock, WakesSleepersInDeadlineOrderAtTheirDeadlines) {
    FakeClock clock(1000);
    std::vector<Wake> log;
    sleeper(clock, log, "c", 30);
    sleeper(clock, log, "a", 10);
    sleeper(clock, log, "tie-first", 20);
    sleeper(clock, log, "tie-second", 20);
    sleeper(clock, log, "later", 100);
    runUntilIdle();
    EXPECT_EQ(clock.pendingSleeps(), 5u);
    clock.advance(30);
    EXPECT_EQ(log, (std::vector<Wake>{{"a", 1010, true},
                                      {"tie-first", 1020, true},
                                      {"tie-second", 1020, true},
                                      {"c", 1030, true}}));
    EXPECT_EQ(clock.now(), 1030);
    EXPECT_EQ(clock.pendingSleeps(), 1u);
    clock.advance(70);
    EXPECT_EQ(log.back(), (Wake{"later", 1100, true}));
}

TEST(FakeClock, SleepsStartedByWokenCodeWakeWithinTheSameAdvance) {
    FakeClock clock;
    std::vector<double> wakes;
    const Job ticker = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        for (int i = 0; i < 3; ++i) {
            const bool slept = co_await clock.sleep(2.5, token);
            if (!slept) {
                co_return;
            }
            wakes.push_back(clock.now());
        }
    });
    clock.advance(10);
    EXPECT_EQ(wakes, (std::vector<double>{2.5, 5.0, 7.5}));
    EXPECT_TRUE(ticker.isDone());
    EXPECT_EQ(clock.now(), 10);
}

TEST(FakeClock, SettingTheWallClockMovesOnlyWallClockSleeps) {
    FakeClock clock(500);
    std::vector<Wake> log;
    sleeper(clock, log, "duration", 60);
    const Job until = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        const bool reached = co_await clock.sleepUntil(5000, token);
        log.push_back({"instant", clock.now(), reached});
    });
    runUntilIdle();
    clock.setNow(100); // backwards: nothing is due
    EXPECT_TRUE(log.empty());
    clock.setNow(6000); // past the instant, but the continuous clock did not move
    EXPECT_EQ(log, (std::vector<Wake>{{"instant", 6000, true}}));
    EXPECT_EQ(clock.monotonic(), 0);
    clock.advance(60);
    EXPECT_EQ(log.back(), (Wake{"duration", 6060, true}));
    EXPECT_TRUE(until.isDone());
}

TEST(FakeClock, WallClockSleepFollowsTheWallClockThroughAdvance) {
    FakeClock clock(0);
    std::vector<Wake> log;
    const Job until = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        const bool reached = co_await clock.sleepUntil(90, token);
        log.push_back({"instant", clock.now(), reached});
    });
    clock.setNow(50);
    clock.advance(39);
    EXPECT_TRUE(log.empty());
    clock.advance(1);
    EXPECT_EQ(log, (std::vector<Wake>{{"instant", 90, true}}));
}

TEST(FakeClock, DurationsThatAreNotPositiveEndOnTheNextTurn) {
    for (const double seconds : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        FakeClock clock(7);
        std::vector<Wake> log;
        sleeper(clock, log, "short", seconds);
        runUntilIdle();
        EXPECT_EQ(log, (std::vector<Wake>{{"short", 7, true}})) << seconds;
    }
}

TEST(FakeClock, DestroyingTheClockEndsPendingSleepsAsCancelled) {
    std::vector<Wake> log;
    Job job;
    {
        FakeClock clock(3);
        job = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
            const bool slept = co_await clock.sleep(100, token);
            log.push_back({"orphan", 0, slept});
        });
        runUntilIdle();
    }
    runUntilIdle();
    EXPECT_EQ(log, (std::vector<Wake>{{"orphan", 0, false}}));
    EXPECT_TRUE(job.isDone());
}

TEST(FakeClock, TimersFireAtTheirTimeUnlessCancelledOrDropped) {
    FakeClock clock(100);
    std::vector<std::string> fired;
    auto note = [&](std::string name) {
        return [&fired, &clock, name] { fired.push_back(name + "@" + std::to_string(int(clock.now()))); };
    };
    Timer soon = clock.after(5, note("soon"));
    Timer wall = clock.at(120, note("wall"));
    Timer cancelled = clock.after(3, note("cancelled"));
    Timer replaced = clock.after(4, note("replaced"));
    auto dropped = std::make_unique<Timer>(clock.after(2, note("dropped")));
    cancelled.cancel();
    replaced = clock.after(8, note("replacement"));
    dropped.reset();
    EXPECT_TRUE(soon.isArmed());
    EXPECT_FALSE(cancelled.isArmed());
    clock.advance(10);
    EXPECT_EQ(fired, (std::vector<std::string>{"soon@105", "replacement@108"}));
    EXPECT_FALSE(soon.isArmed());
    EXPECT_TRUE(wall.isArmed());
    clock.setNow(130); // the wall clock set past the instant
    EXPECT_EQ(fired.back(), "wall@130");
    EXPECT_EQ(clock.pendingSleeps(), 0u);
}

TEST(FakeClock, ATimerRearmedFromItsCallbackFiresAgainWithinTheSameAdvance) {
    FakeClock clock;
    std::vector<double> ticks;
    Timer timer;
    std::function<void()> tick = [&] {
        ticks.push_back(clock.monotonic());
        if (ticks.size() < 3)
            timer = clock.after(2, tick);
    };
    timer = clock.after(2, tick);
    clock.advance(7);
    EXPECT_EQ(ticks, (std::vector<double>{2, 4, 6}));
    EXPECT_FALSE(timer.isArmed());
}

TEST(SystemClock, WallClockCountsSecondsSince2001) {
    SystemClock clock;
    const double expected =
        static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0 - 978307200.0;
    EXPECT_NEAR(clock.now(), expected, 1.0);
}

TEST(SystemClock, SleepsEndAfterTheirTimeOrWhenCancelled) {
    SystemClock clock;
    using Steady = std::chrono::steady_clock;
    struct Outcome {
        bool done = false;
        bool slept = false;
        double took = 0;
    };
    Outcome duration, instant, past, cancelled;
    auto measure = [](Outcome& outcome, auto sleep) {
        return Job::spawn([&outcome, sleep](CancelToken token) -> QCoro::Task<void> {
            const auto start = Steady::now();
            const bool slept = co_await sleep(token);
            outcome.took = std::chrono::duration<double>(Steady::now() - start).count();
            outcome.slept = slept;
            outcome.done = true;
        });
    };
    measure(duration, [&clock](CancelToken token) { return clock.sleep(0.05, token); });
    measure(instant,
            [&clock](CancelToken token) { return clock.sleepUntil(clock.now() + 0.05, token); });
    measure(past,
            [&clock](CancelToken token) { return clock.sleepUntil(clock.now() - 3600, token); });
    const Job long_ =
        measure(cancelled, [&clock](CancelToken token) { return clock.sleep(60, token); });
    runUntilIdle();
    long_.cancel();
    ASSERT_TRUE(
        runUntil([&] { return duration.done && instant.done && past.done && cancelled.done; }));
    EXPECT_TRUE(duration.slept);
    EXPECT_GE(duration.took, 0.049);
    EXPECT_TRUE(instant.slept);
    EXPECT_GE(instant.took, 0.04);
    EXPECT_TRUE(past.slept);
    EXPECT_LT(past.took, 1.0);
    EXPECT_FALSE(cancelled.slept);
    EXPECT_LT(cancelled.took, 5.0);
}

TEST(SystemClock, TimersFireOnTheEventLoopAfterTheirTime) {
    SystemClock clock;
    const double start = clock.monotonic();
    double firedAt = -1;
    bool cancelledFired = false;
    const Timer timer = clock.after(0.05, [&] { firedAt = clock.monotonic(); });
    Timer cancelled = clock.after(0.01, [&] { cancelledFired = true; });
    cancelled.cancel();
    EXPECT_LT(firedAt, 0); // never inside the call that arms it
    ASSERT_TRUE(runUntil([&] { return !timer.isArmed(); }));
    EXPECT_GE(firedAt - start, 0.049);
    EXPECT_FALSE(cancelledFired);
}

} // namespace
