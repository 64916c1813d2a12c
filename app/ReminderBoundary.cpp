#include "app/ReminderBoundary.h"

#include "core/WorkdayResolver.h"

#include <cmath>

namespace DewlightApp {

using namespace DewlightCore;

std::optional<Date> boundaryInstant(Date now, std::optional<Date> confirmedNext,
                                    const RozivSettings& settings, const Calendar& calendar) {
    std::optional<Date> earliest;
    const auto consider = [&](std::optional<Date> candidate) {
        if (candidate && *candidate > now && (!earliest || *candidate < *earliest))
            earliest = candidate;
    };
    consider(confirmedNext);
    try {
        consider(WorkdayResolver::workdayAtOrBefore(now, settings, calendar).end());
    } catch (const DomainError&) {
    }
    try {
        consider(WorkdayResolver::workdayAfter(now, settings, calendar).start());
    } catch (const DomainError&) {
    }
    return earliest;
}

double boundarySleep(Date instant, Date now) {
    constexpr double shortest = 0.1;
    const double remaining = instant - now;
    if (std::isnan(remaining) || remaining < shortest)
        return shortest;
    return remaining;
}

} // namespace DewlightApp
