#pragma once

#include "platform/runtime/Clock.h"

namespace DewlightPlatform {

// The machine's clocks: the wall clock is CLOCK_REALTIME, the continuous one CLOCK_BOOTTIME; sleeps wait on timerfds, CLOCK_BOOTTIME
// for durations (it counts suspend time) and CLOCK_REALTIME with an absolute expiry for instants.
// A timerfd that cannot be made throws std::system_error from the sleep.
class SystemClock final : public Clock {
public:
    double now() const override;
    double monotonic() const override;
    QCoro::Task<bool> sleep(double seconds, CancelToken token) override;
    QCoro::Task<bool> sleepUntil(double instant, CancelToken token) override;
};

} // namespace DewlightPlatform
