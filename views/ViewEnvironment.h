#pragma once

#include "kit/panel/Text.h"
#include "platform/calendar/Calendar.h"
#include "ui/Environment.h"
#include "ui/Localization.h"
#include "views/RozivViewState.h"

#include <functional>
#include <memory>

namespace DewlightViews {

// How a view hands an action to its model.
using RozivSend = std::function<void(const RozivViewAction&)>;

// The calendar whose zone the views show times in. None: the host's zone, looked up again on
// each build, so that a change of zone shows at the next redraw.
inline const ui::EnvironmentKey<std::shared_ptr<const DewlightPlatform::Calendar>> CalendarKey{
    nullptr};

// The calendar in force for `environment`.
std::shared_ptr<const DewlightPlatform::Calendar> calendarOf(const ui::Environment& environment);

} // namespace DewlightViews
