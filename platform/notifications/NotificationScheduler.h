#pragma once

#include "platform/notifications/NotificationRequest.h"
#include "platform/notifications/WallAlarm.h"
#include "platform/runtime/Clock.h"

#include <functional>
#include <string>
#include <vector>

namespace DewlightPlatform {

// Holds the pending requests and fires each at its trigger's exact instant on the wall clock,
// through one alarm re-armed for the earliest after every change. A request already due when it
// is added fires when the alarm rings, on a later turn. One found overdue by more than
// overdueLimit when it fires (the machine slept through it) is dropped: whoever planned it plans
// again on wake.
class NotificationScheduler {
public:
    using Fire = std::function<void(NotificationRequest)>;

    static constexpr double overdueLimit = 60.0;

    // `clock` and `alarm` outlive the scheduler; the scheduler owns the alarm's handler.
    NotificationScheduler(const Clock& clock, WallAlarm& alarm, Fire fire);
    ~NotificationScheduler();
    NotificationScheduler(const NotificationScheduler&) = delete;
    NotificationScheduler& operator=(const NotificationScheduler&) = delete;

    // Replaces a pending request with the same identifier in its place, or appends. The trigger's
    // instant must be finite.
    void add(NotificationRequest request);
    void remove(const std::vector<std::string>& identifiers);
    void removeAll();

    // In the order they were first added.
    const std::vector<NotificationRequest>& pending() const { return pending_; }

private:
    void rearm();
    void onRing();

    const Clock& clock_;
    WallAlarm& alarm_;
    Fire fire_;
    std::vector<NotificationRequest> pending_;
};

} // namespace DewlightPlatform
