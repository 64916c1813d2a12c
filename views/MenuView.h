#pragma once

// The menu panel over a view model: its status dot, the panel and its content.

#include "kit/panel/Panel.h"
#include "kit/panel/UpdateNotifier.h"
#include "ui/Node.h"
#include "views/DewlightViewModel.h"
#include "views/RozivFormat.h"
#include "views/ViewEnvironment.h"

#include <QPointer>

namespace DewlightViews {

// The menu panel's dot for a status: working while reminders are planned, off while they rest,
// attention while they need something (also while they are being prepared).
KestraUI::PanelStatus panelDot(const RozivPanelStatus& status);

// What the panel frame shows for one state: the arguments MenuView hands the kit.
KestraUI::KestraPanel menuPanel(const RozivPanelState& state, const RozivSend& send,
                                const RozivFormat& format);

// The menu panel over any view model: the kit's panel frame with the model's status line and
// dot, the reminders switch, where the data lives, the guide and preferences buttons, and the
// notices above the counter. It keeps nothing of its own: each build reads `model.panel()`, the
// window rebuilds when the model announces a new panel, and every control sends an action.
//
// `updateNotifier` is installed for the panel to offer newer versions; none in snapshot mode.
// The model must outlive the window that shows the view; once it is gone the view shows nothing.
ui::Node MenuView(DewlightViewModel& model,
                  QPointer<KestraUI::UpdateNotifier> updateNotifier = nullptr);

} // namespace DewlightViews
