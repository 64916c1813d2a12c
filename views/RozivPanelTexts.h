#pragma once

#include "views/RozivFormat.h"
#include "views/RozivViewState.h"

#include <optional>

namespace DewlightViews {

// The panel's status line: what the reminders are doing, with the time where there is one.
RozivText statusLine(const RozivPanelStatus& status, const RozivFormat& format);

// The undo row's title: "No entry to undo", or the group's count and the time of its first click.
RozivText undoTitle(const std::optional<RozivUndoState>& undo, const RozivFormat& format,
                    const RozivLocalizer& localizer);

} // namespace DewlightViews
