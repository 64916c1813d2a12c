#pragma once

// The projection of the model's state into the states the panel, the welcome and the
// preferences window show.

#include "app/RozivTally.h"
#include "core/Date.h"
#include "core/RozivSettings.h"
#include "views/RozivViewState.h"

#include <optional>
#include <string>

namespace DewlightReminders {
class RozivReminders;
}
namespace DewlightStorage {
class RozivAccountData;
class RozivPreferences;
} // namespace DewlightStorage
namespace DewlightPlatform {
class LoginItem;
}

namespace DewlightApp {

// The preferences window's state for `settings`.
DewlightViews::RozivPreferencesState
preferencesOf(const DewlightCore::RozivSettings& settings, bool opensAtLogin,
              std::optional<DewlightViews::RozivProblem> problem);

// What the views show, derived in one go from the model's live objects on every refresh. It only
// reads, and never fails: every failure it meets becomes part of the states it builds. The model
// publishes each part only when it differs from what it published before.
struct RozivProjection {
    // `data` is the current account data; `feedback` the tally's; `now` and `calendar` the
    // current date and the user's calendar. Main thread only.
    RozivProjection(const DewlightStorage::RozivAccountData& data,
                    const DewlightStorage::RozivPreferences& userPreferences,
                    const DewlightReminders::RozivReminders& reminders,
                    const RozivFeedback& feedback, const DewlightPlatform::LoginItem& loginItem,
                    DewlightCore::Date now, const DewlightCore::Calendar& calendar);

    DewlightViews::RozivPanelState panel;
    DewlightViews::RozivPreferencesState preferences;
    DewlightViews::RozivWelcomeState welcome;
    // The tray icon's symbol name: "drop.fill", "drop" or "exclamationmark.triangle.fill".
    std::string menuSymbol;

    bool operator==(const RozivProjection&) const = default;
};

} // namespace DewlightApp
