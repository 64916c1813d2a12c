#pragma once

#include "ui/Node.h"
#include "views/DewlightViewModel.h"

#include <cstdint>
#include <vector>

namespace DewlightViews {

// The whole preferences page over any view model: "General" with the "Open at Login" switch,
// "Your workday" with the working-hours fields, "Reminders" with the glass size and interval
// menus, then "Erase…" behind a confirmation.
//
// It changes nothing by itself: each control shows `model.preferences()` and sends one action
// when the user changes it, and follows the next published preferences (a refused value snaps
// back). The window rebuilds when the model announces new preferences. The model must outlive
// the window that shows the card; once it is gone the card shows nothing.
ui::Node SettingsCard(DewlightViewModel& model);

namespace SettingsCardStyle {
// The options of the two menus, in the order offered.
inline const std::vector<std::int64_t> glassMilliliters{150, 200, 250, 300, 350, 400, 500};
inline const std::vector<std::int64_t> intervalMinutes{30, 45, 60, 90, 120};
// Explicit ids that tests look for.
inline constexpr const char* glassId = "settings.glass";
inline constexpr const char* intervalId = "settings.interval";
inline constexpr const char* eraseId = "settings.erase";
} // namespace SettingsCardStyle

} // namespace DewlightViews
