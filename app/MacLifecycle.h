#pragma once

#include "platform/events/SystemEvents.h"

#include <QObject>
#include <functional>
#include <memory>

namespace DewlightApp {

// Turns system events into calls of the model's handler: true for a change of the sync
// account's identity, false for wake, activation, clock and time-zone changes. Each event calls
// the handler on a later turn, never inside the event's own delivery; events of one kind that
// arrive in the same turn are coalesced into one call. Nothing reaches the handler once the
// object is gone.
class MacLifecycle {
public:
    using Handler = std::function<void(bool identityChanged)>;

    MacLifecycle(DewlightPlatform::SystemEvents& events, Handler handler);
    MacLifecycle(const MacLifecycle&) = delete;
    MacLifecycle& operator=(const MacLifecycle&) = delete;
    ~MacLifecycle();

private:
    struct State;
    // Calls posted to a later turn hold it weakly.
    std::shared_ptr<State> state_;
    // The context of the event connection, which ends with it.
    std::unique_ptr<QObject> observer_;
};

} // namespace DewlightApp
