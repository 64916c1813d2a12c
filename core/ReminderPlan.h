#pragma once

#include "core/Date.h"
#include "core/PlannedReminder.h"

#include <vector>

namespace DewlightCore {

// The reminders of the coming days, in ascending order of their moment.
struct ReminderPlan {
    std::vector<PlannedReminder> items;
    // The horizon the caller asked for, unchanged.
    Date requestedHorizonEnd;
    // Planning stopped with `items` full while a further reminder was due before the horizon.
    bool truncated;

    bool operator==(const ReminderPlan&) const = default;
};

} // namespace DewlightCore
