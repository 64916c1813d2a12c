#include "views/ViewEnvironment.h"

namespace DewlightViews {

std::shared_ptr<const DewlightPlatform::Calendar> calendarOf(const ui::Environment& environment) {
    if (auto calendar = environment.value(CalendarKey))
        return calendar;
    return std::make_shared<const DewlightPlatform::Calendar>(
        DewlightPlatform::Calendar::current());
}

RozivLocalizer localizerOf(const ui::Environment& environment) {
    return [localizer = environment.localizer](const QString& key,
                                               const std::vector<RozivTextArgument>& arguments) {
        return localizer ? localizer(key, arguments) : ui::fillArguments(key, arguments);
    };
}

} // namespace DewlightViews
