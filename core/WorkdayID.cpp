#include "core/WorkdayID.h"

#include <cmath>

namespace DewlightCore {

WorkdayID::WorkdayID(Date civilDate) : civilDate_(civilDate) {
    DateRule::check(civilDate);
    // 2001-01-01 is itself a UTC midnight, so the test runs on the value as given: adding the
    // 1970 offset first would round small fractions away and let them pass.
    if (std::fmod(civilDate, 86400.0) != 0.0)
        throw DomainError::invalidDate();
    civilDate_ = civilDate + 0.0; // -0.0 becomes +0.0: one day, one bit pattern
}

WorkdayID::WorkdayID(Date date, const Calendar& calendar)
    : WorkdayID([&] {
          DateRule::check(date);
          const auto local = calendar.components(date);
          if (!local)
              throw DomainError::invalidDate();
          const auto midnight = calendar.utcCalendar().date(
              {.era = local->era, .year = local->year, .month = local->month, .day = local->day});
          if (!midnight)
              throw DomainError::invalidDate();
          return *midnight;
      }()) {}

} // namespace DewlightCore
