#include "core/CountingDayResolver.h"

#include "core/WorkdayResolver.h"

namespace DewlightCore {

std::optional<WorkdayID> CountingDayResolver::latestWorkday(const HydrationLedger& ledger) {
    std::optional<WorkdayID> latest;
    const auto keep = [&latest](WorkdayID day) {
        if (!latest || *latest < day)
            latest = day;
    };
    for (const DrinkRecord& drink : ledger.drinks())
        keep(drink.workday());
    for (const GroupRemoval& removal : ledger.removedGroups())
        keep(removal.workday);
    for (const ShownMoment& shown : ledger.shownMoments())
        keep(shown.workday);
    return latest;
}

WorkdayID CountingDayResolver::countingDay(Date now, const RozivSettings& settings,
                                           const Calendar& calendar,
                                           const HydrationLedger& ledger) {
    const WorkdayID started = WorkdayResolver::workdayAtOrBefore(now, settings, calendar).id();
    const WorkdayID today(now, calendar);
    const std::optional<WorkdayID> latest = latestWorkday(ledger);
    if (latest && today < *latest)
        throw DomainError::discardedWorkday();
    const WorkdayID counting = latest && *latest >= started ? *latest : started;
    if (ledger.discardedThrough() && counting <= *ledger.discardedThrough())
        throw DomainError::discardedWorkday();
    return counting;
}

} // namespace DewlightCore
