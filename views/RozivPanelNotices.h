#pragma once

#include "ui/Localization.h"
#include "ui/Node.h"
#include "views/RozivViewState.h"
#include "views/ViewEnvironment.h"

#include <optional>
#include <vector>

namespace DewlightViews {

// One card that asks the user to act: what went wrong, what to do, and at most one button.
struct RozivNotice {
    ui::LocalizedText title;
    ui::LocalizedText message;
    std::optional<ui::LocalizedText> button = std::nullopt;
    std::optional<RozivViewAction> action = std::nullopt; // what the button sends
};

// The cards for `state`, in the order shown: notifications, then the reminders' problem (or
// their failure), then the sync. None when nothing needs the user.
std::vector<RozivNotice> panelNotices(const RozivPanelState& state);

// The title of the card a problem shows; the welcome repeats it under its permission step.
ui::LocalizedText problemTitle(RozivProblem problem);

// What the permission card and the welcome's permission step say for a permission: a denied one
// means that no notification service answered on the session bus, so they say that instead of
// asking the user to allow anything.
QString permissionMessage(RozivPermissionState permission);

// The notice cards above the counter. They have no container of their own: the panel's content
// column places `cards()`; `body()` stacks them the same way for a view that shows them alone.
// A card stays until the model publishes a state without its cause; pressing its button only
// sends the button's action.
struct RozivPanelNotices {
    RozivPanelState state;
    RozivSend send;

    std::vector<ui::Node> cards() const;
    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

} // namespace DewlightViews
