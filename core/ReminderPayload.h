#pragma once

#include "core/Date.h"
#include "core/Identity.h"
#include "core/Json.h"
#include "core/ResetGeneration.h"
#include "core/WorkdayID.h"

namespace DewlightCore {

// What a reminder carries to the notification centre and back: whose data and which erase
// epoch it was planned for, its day, its own identity and the moment it fires. An answer to
// the reminder is applied only while these still describe the present (`isActionable`).
class ReminderPayload {
public:
    // Throws `invalidDate` for a moment outside the date rule, then `invalidPayload` for one
    // outside the stretch of time its civil day can cover in any time zone (the same bounds a
    // working window keeps).
    ReminderPayload(Identity<AccountTag> account, ResetGeneration generation, WorkdayID workday,
                    Identity<ReminderTag> reminder, Date scheduledAt);

    const Identity<AccountTag>& account() const { return account_; }
    const ResetGeneration& generation() const { return generation_; }
    WorkdayID workday() const { return workday_; }
    const Identity<ReminderTag>& reminder() const { return reminder_; }
    Date scheduledAt() const { return scheduledAt_; }

    // True only for the same account, the same generation, the given counting day, and once
    // its moment has come. Never throws.
    bool isActionable(const Identity<AccountTag>& account, const ResetGeneration& generation,
                      WorkdayID countingDay, Date now) const;

    friend bool operator==(const ReminderPayload&, const ReminderPayload&) = default;

private:
    Identity<AccountTag> account_;
    ResetGeneration generation_;
    WorkdayID workday_;
    Identity<ReminderTag> reminder_;
    Date scheduledAt_;
};

} // namespace DewlightCore

// {"account", "generation", "workday", "reminder", "scheduledAt"}, all required, read in this
// order, then the payload's own checks; other keys are ignored.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::ReminderPayload> {
    static JsonValue encode(const DewlightCore::ReminderPayload& payload);
    static DewlightCore::ReminderPayload decode(const JsonValue& json);
};
