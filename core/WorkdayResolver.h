#pragma once

#include "core/Date.h"
#include "core/RozivSettings.h"
#include "core/Workday.h"

#include <optional>

namespace DewlightCore {

// Finds working windows from the settings and a calendar (with the user's time zone). A
// window's start and end are the settings' wall-clock times on its civil day: a time skipped by
// a daylight-saving jump moves to the next existing time, a repeated one takes its first
// occurrence. Every failure is `invalidDate`.
struct WorkdayResolver {
    // Days looked at by the two searches: today and seven days either way.
    static constexpr int searchDays = 8;

    // The window of the civil day holding the moment; none when that day is not a working day.
    static std::optional<Workday> workdayOn(Date moment, const RozivSettings& settings,
                                            const Calendar& calendar);
    // The latest window that starts at or before the moment, even one that has already ended.
    static Workday workdayAtOrBefore(Date moment, const RozivSettings& settings,
                                     const Calendar& calendar);
    // The earliest window that starts after the moment.
    static Workday workdayAfter(Date moment, const RozivSettings& settings,
                                const Calendar& calendar);
    // True when no selected weekday comes later in the Monday-first week than the window's.
    static bool isLastWorkdayOfWeek(const Workday& workday, const RozivSettings& settings,
                                    const Calendar& calendar);
};

} // namespace DewlightCore
