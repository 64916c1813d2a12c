#pragma once

#include "core/DomainError.h"
#include "platform/calendar/Calendar.h"
#include "platform/calendar/Date.h"

#include <cmath>

namespace DewlightCore {

using DewlightPlatform::Calendar;
using DewlightPlatform::Date;

// Every moment the core accepts is finite and less than 1e11 s (about 3,169 years) away from
// 2001-01-01 00:00:00 UTC, either way; this keeps calendar arithmetic and JSON numbers exact.
struct DateRule {
    static constexpr double limit = 1e11;

    static bool isValid(Date date) { return std::isfinite(date) && std::fabs(date) < limit; }
    // Throws `invalidDate` for a moment that breaks the rule.
    static void check(Date date) {
        if (!isValid(date))
            throw DomainError::invalidDate();
    }
};

} // namespace DewlightCore
