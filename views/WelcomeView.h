#pragma once

#include "kit/windows/WelcomeSteps.h"
#include "kit/windows/WelcomeStepsLayout.h"
#include "ui/Node.h"
#include "views/DewlightViewModel.h"
#include "views/ViewEnvironment.h"

#include <functional>

namespace DewlightViews {

// The two-step welcome over any view model: step 1 sets the working day, step 2 asks for
// notifications. "Start without setup" and "Let’s go" tell the model the welcome is complete;
// the model then closes the window. The step is the view's own state, starting at `step`: 1 from
// the window router, any number in snapshot mode (anything but 1 shows the second step's
// content under its own number).
//
// The window rebuilds when the model announces a new panel, preferences or welcome state. The
// model must outlive the window that shows the view; once it is gone the view shows nothing.
ui::Node WelcomeView(DewlightViewModel& model, int step = 1);

// What step 2's permission row shows for a permission.
KestraUI::WelcomeStepState welcomePermissionStep(RozivPermissionState permission);

// The page WelcomeView hands the kit for the model's states at `step`; "Continue" and "Back"
// call `setStep`, every other control sends.
KestraUI::WelcomeStepsLayout welcomePage(const RozivPanelState& panel,
                                         const RozivPreferencesState& preferences,
                                         const RozivWelcomeState& welcome, int step,
                                         const RozivSend& send, std::function<void(int)> setStep);

namespace WelcomeViewStyle {
// The explicit id of the muted line that says the latest change was not saved.
inline constexpr const char* unsavedId = "welcome.unsaved";
} // namespace WelcomeViewStyle

} // namespace DewlightViews
