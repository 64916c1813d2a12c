#include "views/ViewEnvironment.h"

namespace DewlightViews {

std::shared_ptr<const DewlightPlatform::Calendar> calendarOf(const ui::Environment& environment) {
    if (auto calendar = environment.value(CalendarKey))
        return calendar;
    return std::make_shared<const DewlightPlatform::Calendar>(
        DewlightPlatform::Calendar::current());
}

} // namespace DewlightViews
