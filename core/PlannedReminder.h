#pragma once

#include "core/ReminderPayload.h"
#include "core/ReminderPhrase.h"

namespace DewlightCore {

// One reminder of a plan. `payload.reminder()` is also the notification request identifier.
struct PlannedReminder {
    ReminderPayload payload;
    ReminderPhrase phrase;
    // Fires exactly 3600 s after the day's latest drink; the notification then says so.
    bool exactlyOneHourSinceDrink;

    bool operator==(const PlannedReminder&) const = default;
};

} // namespace DewlightCore
