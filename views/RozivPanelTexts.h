#pragma once

#include "views/RozivFormat.h"
#include "views/RozivViewState.h"

#include <optional>

namespace DewlightViews {

// The panel's status line: what the reminders are doing, with the time where there is one.
ui::LocalizedText statusLine(const RozivPanelStatus& status, const RozivFormat& format);

// The panel's own privacy line: where the data lives and whether the sync works.
ui::LocalizedText privacyText(RozivCloudState cloud);

// The counter's line under the drops: the day's moment when there is one, else why counting
// rests or the day's range.
ui::LocalizedText contextLine(const RozivPanelState& state, const RozivFormat& format);

// The undo row's title: "No entry to undo", or the group's count and the time of its first click.
ui::LocalizedText undoTitle(const std::optional<RozivUndoState>& undo, const RozivFormat& format,
                            const ui::Localizer& localizer);

} // namespace DewlightViews
