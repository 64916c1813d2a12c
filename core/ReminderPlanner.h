#pragma once

#include "core/Date.h"
#include "core/HydrationLedger.h"
#include "core/Identity.h"
#include "core/LocalPostponement.h"
#include "core/NotificationPermission.h"
#include "core/ReminderPlan.h"
#include "core/RozivSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace DewlightCore {

// Every reminder of the coming days as a pure function of its inputs: the same inputs always
// give the same plan, identities included, so the notification side can compare plans freely.
//
// Per working day: the first reminder comes one interval after the later of the window's start
// and the day's latest drink (or at a matching postponement), then one every interval until the
// window ends. The interval doubles once the day's lower glass count is reached; a day above
// its upper glass count gets none.
struct ReminderPlanner {
    // The longest horizon a caller may ask for.
    static constexpr double longestHorizon = 691200;
    static constexpr std::int64_t largestPlan = 60;

    // Throws `invalidDate` for a moment outside the date rule or a failed working-day search,
    // `invalidPlan` for a horizon not after `now` or beyond eight days or a limit outside 1...60,
    // and `invalidPayload` for a postponed moment outside its day. No partial plan is returned.
    struct Request {
        const RozivSettings& settings;
        const HydrationLedger& ledger;
        const Identity<AccountTag>& account;
        Date now;
        const Calendar& calendar;
        NotificationPermission permission;
        // False plans nothing, as for reminders switched off.
        bool planningAllowed;
        std::optional<LocalPostponement> postponement;
        // The plan covers (now, horizonEnd) and holds at most maximumItems.
        Date horizonEnd;
        std::int64_t maximumItems;
    };
    static ReminderPlan plan(const Request& request);

    // "roziv." + the bit pattern of the day's civil date + "." + that of the firing moment, both
    // as unsigned decimal: unique per day and moment, and stable from one plan to the next.
    static std::string reminderIdentity(WorkdayID workday, Date moment);
};

} // namespace DewlightCore
