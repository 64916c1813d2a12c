#pragma once

#include "platform/calendar/Date.h"
#include "platform/runtime/CancelToken.h"

#include <QCoro/QCoroTask>

namespace DewlightPlatform {

// The application's time: the wall clock and sleeps. Both sleeps resume their caller on a later
// turn of the event loop and answer true when their time came, false when `token` was cancelled
// first (or was already cancelled). A clock outlives the sleeps it started.
class Clock {
public:
    virtual ~Clock() = default;

    // The wall clock, in seconds since 2001-01-01 00:00:00 UTC.
    virtual double now() const = 0;

    // Sleeps `seconds` on a clock that keeps counting while the machine is suspended, and that
    // setting the wall clock does not move. A duration that is not positive (or not a number)
    // ends on the next turn.
    virtual QCoro::Task<bool> sleep(double seconds, CancelToken token) = 0;

    // Sleeps until the wall clock reads `instant` (seconds since 2001), following changes of the
    // wall clock: setting it past the instant ends the sleep.
    virtual QCoro::Task<bool> sleepUntil(double instant, CancelToken token) = 0;
};

} // namespace DewlightPlatform
