#pragma once

#include "core/Date.h"

#include <optional>

namespace DewlightReminders {

// What one reconciliation found pending after posting its plan.
struct ConfirmedPlan {
    // The earliest moment among the planned reminders found pending; none when none is.
    std::optional<DewlightCore::Date> next;
    // How many planned reminders were found pending.
    long long accepted = 0;
    // A post failed, or fewer than all planned reminders were found pending.
    bool failed = false;

    bool operator==(const ConfirmedPlan&) const = default;
};

} // namespace DewlightReminders
