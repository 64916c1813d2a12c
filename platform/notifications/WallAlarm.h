#pragma once

#include <functional>

namespace DewlightPlatform {

// Rings once when the wall clock reaches an instant, following changes of the wall clock (set
// forwards past the instant, it rings; set back, it waits) and ringing after a suspend that
// passed the instant. It rings on a later turn of the event loop, never inside arm().
class WallAlarm {
public:
    virtual ~WallAlarm() = default;

    // `onRing` runs each time the alarm rings.
    virtual void setHandler(std::function<void()> onRing) = 0;
    // Rings at `instant` (seconds since 2001-01-01 00:00:00 UTC), replacing any earlier arming.
    // An instant already passed rings on a later turn.
    virtual void arm(double instant) = 0;
    virtual void disarm() = 0;
};

} // namespace DewlightPlatform
