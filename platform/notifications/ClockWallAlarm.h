#pragma once

#include "platform/notifications/WallAlarm.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Job.h"

namespace DewlightPlatform {

// A wall-clock alarm over a Clock's sleepUntil: with a FakeClock, tests move the wall clock and
// the alarm follows.
class ClockWallAlarm final : public WallAlarm {
public:
    explicit ClockWallAlarm(Clock& clock) : clock_(clock) {}
    ~ClockWallAlarm() override { sleeper_.cancel(); }
    ClockWallAlarm(const ClockWallAlarm&) = delete;
    ClockWallAlarm& operator=(const ClockWallAlarm&) = delete;

    void setHandler(std::function<void()> onRing) override { onRing_ = std::move(onRing); }
    void arm(double instant) override;
    void disarm() override { sleeper_.cancel(); }

private:
    Clock& clock_;
    std::function<void()> onRing_;
    Job sleeper_;
};

} // namespace DewlightPlatform
