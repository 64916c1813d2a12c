#include "core/WorkdayResolver.h"

namespace DewlightCore {

namespace {

Date wallClockTime(std::int64_t minuteOfDay, Date day, const Calendar& calendar) {
    const auto moment = calendar.dateBySettingTime(static_cast<int>(minuteOfDay / 60),
                                                   static_cast<int>(minuteOfDay % 60), 0, day);
    if (!moment)
        throw DomainError::invalidDate();
    return *moment;
}

// Looks at the days `direction` * 0..7 away from the moment and returns the first window that
// passes the test.
template <class Accept>
Workday search(Date moment, int direction, const RozivSettings& settings, const Calendar& calendar,
               Accept accept) {
    DateRule::check(moment);
    for (int offset = 0; offset < WorkdayResolver::searchDays; ++offset) {
        const auto day = calendar.dateByAddingDays(direction * offset, moment);
        if (!day)
            throw DomainError::invalidDate();
        if (const auto window = WorkdayResolver::workdayOn(*day, settings, calendar);
            window && accept(*window))
            return *window;
    }
    throw DomainError::invalidDate();
}

// Monday 0 ... Sunday 6, from a calendar weekday number (1 = Sunday).
int mondayFirstIndex(std::int64_t weekday) {
    return static_cast<int>((weekday + 5) % 7);
}

} // namespace

std::optional<Workday> WorkdayResolver::workdayOn(Date moment, const RozivSettings& settings,
                                                  const Calendar& calendar) {
    DateRule::check(moment);
    const auto parts = calendar.components(moment);
    if (!parts)
        return std::nullopt;
    const auto weekday = fromRawValue<Weekday>(parts->weekday);
    if (!weekday || !settings.weekdays().contains(*weekday))
        return std::nullopt;
    const Date start = wallClockTime(settings.startMinute(), moment, calendar);
    const Date end = wallClockTime(settings.endMinute(), moment, calendar);
    return Workday(WorkdayID(start, calendar), start, end);
}

Workday WorkdayResolver::workdayAtOrBefore(Date moment, const RozivSettings& settings,
                                           const Calendar& calendar) {
    return search(moment, -1, settings, calendar,
                  [moment](const Workday& window) { return window.start() <= moment; });
}

Workday WorkdayResolver::workdayAfter(Date moment, const RozivSettings& settings,
                                      const Calendar& calendar) {
    return search(moment, +1, settings, calendar,
                  [moment](const Workday& window) { return window.start() > moment; });
}

bool WorkdayResolver::isLastWorkdayOfWeek(const Workday& workday, const RozivSettings& settings,
                                          const Calendar& calendar) {
    const auto parts = calendar.components(workday.start());
    if (!parts)
        return true; // no weekday to compare: nothing is known to come later
    const int index = mondayFirstIndex(parts->weekday);
    for (const Weekday day : settings.weekdays())
        if (mondayFirstIndex(rawValue(day)) > index)
            return false;
    return true;
}

} // namespace DewlightCore
