#pragma once

#include "platform/calendar/Date.h"
#include "platform/runtime/CancelToken.h"
#include "platform/runtime/Job.h"

#include <QCoro/QCoroTask>
#include <functional>

namespace DewlightPlatform {

class Clock;

// A one-shot timer a Clock armed. Dropping or reassigning the handle cancels it, so a timer held
// by its owner never calls back into an owner that is gone. A default-constructed timer is not
// armed.
class Timer {
public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    Timer(Timer&& other) noexcept = default;
    Timer& operator=(Timer&& other) noexcept;
    ~Timer();

    // Its callback will not run, unless it already began.
    void cancel();
    // True from arming until its callback ran or it was cancelled.
    bool isArmed() const;

private:
    friend class Clock;
    explicit Timer(Job job) : job_(std::move(job)) {}
    Job job_;
};

// The application's time: the wall clock, the continuous clock, sleeps and timers. Both sleeps
// resume their caller on a later turn of the event loop and answer true when their time came,
// false when `token` was cancelled first (or was already cancelled). A clock outlives the sleeps
// and timers it started.
class Clock {
public:
    virtual ~Clock() = default;

    // The wall clock, in seconds since 2001-01-01 00:00:00 UTC.
    virtual double now() const = 0;

    // The continuous clock, in seconds from an unspecified start: it keeps counting while the
    // machine is suspended, and setting the wall clock does not move it. Only differences mean
    // anything.
    virtual double monotonic() const = 0;

    // Sleeps `seconds` on the continuous clock. A duration that is not positive (or not a
    // number) ends on the next turn.
    virtual QCoro::Task<bool> sleep(double seconds, CancelToken token) = 0;

    // Sleeps until the wall clock reads `instant` (seconds since 2001), following changes of the
    // wall clock: setting it past the instant ends the sleep.
    virtual QCoro::Task<bool> sleepUntil(double instant, CancelToken token) = 0;

    // Calls `fire` on a turn of the event loop once `seconds` passed on the continuous clock,
    // counted from now; unless the timer was cancelled first.
    [[nodiscard]] Timer after(double seconds, std::function<void()> fire);
    // Calls `fire` on a turn of the event loop once the wall clock reads `instant`; unless the
    // timer was cancelled first.
    [[nodiscard]] Timer at(double instant, std::function<void()> fire);
};

} // namespace DewlightPlatform
