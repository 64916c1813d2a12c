#pragma once

// The errors of the notification centre, and what failed.

#include <stdexcept>

namespace DewlightPlatform {

enum class NotificationFailure {
    // No notification service owns or can be started for the bus name (or no session bus).
    serviceUnavailable,
    // A notification service owns the bus name but did not answer in time.
    serviceNotResponding,
    // The request cannot be scheduled: no identifier, or an instant that is not a finite moment.
    invalidRequest,
};

// The typed failure of a notification-centre call.
class NotificationError final : public std::runtime_error {
public:
    explicit NotificationError(NotificationFailure failure);
    NotificationFailure failure() const { return failure_; }

private:
    NotificationFailure failure_;
};

} // namespace DewlightPlatform
