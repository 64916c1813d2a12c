#pragma once

#include "core/Identity.h"
#include "core/PlannedReminder.h"
#include "core/ReminderPayload.h"

#include <QCoro/QCoroTask>
#include <vector>

namespace DewlightReminders {

// The notification centre as the reconciler sees it.
class ReminderBackend {
public:
    virtual ~ReminderBackend() = default;

    // The payloads of the pending reminders, in the centre's order; requests without a readable
    // payload are left out.
    virtual QCoro::Task<std::vector<DewlightCore::ReminderPayload>> pendingPayloads() = 0;
    // Removes the pending reminders with these identities (an empty list is allowed).
    virtual void removePending(
        const std::vector<DewlightCore::Identity<DewlightCore::ReminderTag>>& reminders) = 0;
    // Adds one reminder, replacing a pending one with the same identity. Throws when the
    // centre refuses it.
    virtual QCoro::Task<void> post(const DewlightCore::PlannedReminder& reminder) = 0;
};

} // namespace DewlightReminders
