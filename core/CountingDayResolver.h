#pragma once

#include "core/Date.h"
#include "core/HydrationLedger.h"
#include "core/RozivSettings.h"
#include "core/WorkdayID.h"

#include <optional>

namespace DewlightCore {

// Which working day counts right now: the later of the latest working window that has started
// by `now` (even one that has ended: late drinks still count for it) and the latest day the
// ledger mentions, so the count never goes back to an earlier day.
struct CountingDayResolver {
    CountingDayResolver() = delete;

    // The greatest day of any drink (undone or not), removal or shown moment; none for a ledger
    // that mentions no day.
    static std::optional<WorkdayID> latestWorkday(const HydrationLedger& ledger);
    // Throws `invalidDate` from the working-day search, or `discardedWorkday` when the ledger
    // holds a day after today's civil day (the clock went back, or another machine is in a
    // zone ahead) or when the day to count is already discarded.
    static WorkdayID countingDay(Date now, const RozivSettings& settings, const Calendar& calendar,
                                 const HydrationLedger& ledger);
};

} // namespace DewlightCore
