#pragma once

#include "platform/runtime/Clock.h"
#include "platform/runtime/Wakeup.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace DewlightPlatform {

// A clock for tests. Time moves only when the test moves it. It keeps two timelines, as the
// machine does: the wall clock, which can also be set (a clock change), and the continuous clock
// that sleeps and timers count on, which only advance() moves. Timers fire within advance() and
// setNow(), as their sleeps end.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double wallStart = 0.0);
    // Ends every sleep still pending as cancelled, so no coroutine is left suspended.
    ~FakeClock() override;

    double now() const override { return wall_; }
    double monotonic() const override { return uptime_; }

    QCoro::Task<bool> sleep(double seconds, CancelToken token) override;
    QCoro::Task<bool> sleepUntil(double instant, CancelToken token) override;

    // Moves both timelines forward by `seconds`, stopping at each sleep's deadline in deadline
    // order (ties in the order the sleeps began): there it wakes the sleep and runs the event
    // loop until idle, so woken code sees the time it asked for and sleeps it starts in turn are
    // woken within the same advance. Runs the loop until idle at the end.
    void advance(double seconds);

    // Sets the wall clock (forwards or backwards) without moving the continuous clock; wakes the
    // wall-clock sleeps it passed, then runs the event loop until idle.
    void setNow(double wall);

    // Sleeps started and neither woken nor cancelled.
    std::size_t pendingSleeps() const;

private:
    struct Sleeper {
        bool onWallClock;
        double deadline;
        std::uint64_t order;
        Wakeup wakeup;
    };
    void dropEnded();
    double remainingFor(const Sleeper& sleeper) const;
    // Moves both timelines by `step` and wakes the sleeps due within it, in deadline order.
    void wakeWithin(double step);

    double wall_;
    double uptime_ = 0.0;
    std::uint64_t nextOrder_ = 0;
    std::vector<Sleeper> sleepers_;
};

} // namespace DewlightPlatform
