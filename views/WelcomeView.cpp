#include "views/WelcomeView.h"

#include "kit/panel/Observe.h"
#include "kit/windows/BrandPalette.h"
#include "kit/windows/KestraFont.h"
#include "kit/windows/KestraMetrics.h"
#include "kit/windows/WelcomeStepsLayout.h"
#include "views/RozivBrand.h"
#include "views/RozivPanelNotices.h"
#include "views/RozivPanelTexts.h"
#include "views/RozivWorkdayFields.h"
#include "views/ViewEnvironment.h"

#include <QPointer>

namespace DewlightViews {

namespace {

namespace M = KestraUI::KestraMetrics;
using KestraUI::Text;
using KestraUI::WelcomeStepsButton;

ui::Node permissionRow(const RozivWelcomeState& welcome, const RozivSend& send) {
    std::optional<Text> celebration;
    std::optional<WelcomeStepsButton> action;
    switch (welcome.permission) {
    case RozivPermissionState::notAsked:
        action = WelcomeStepsButton{"Allow notifications", false,
                                    [send] { send(RozivViewAction::requestNotifications()); }};
        break;
    case RozivPermissionState::allowed:
        celebration = Text("All set! Your reminders will arrive during your workday.");
        break;
    case RozivPermissionState::denied:
        action = WelcomeStepsButton{"Open System Settings", false,
                                    [send] { send(RozivViewAction::openNotificationSettings()); }};
        break;
    }
    // Refused means that no notification service answered: the row says so, as the panel does.
    std::vector<ui::Node> detail{ui::text(
        welcome.permission == RozivPermissionState::denied
            ? permissionMessage(welcome.permission)
            : QStringLiteral("Allow silent notifications to receive reminders during your "
                             "workday. You can keep counting without them."))};
    if (welcome.problem)
        detail.push_back(KestraUI::Text(problemTitle(*welcome.problem)).node());
    return KestraUI::WelcomeStepRow{
        welcomePermissionStep(welcome.permission), std::move(celebration), std::move(action),
        rozivBrand(), ui::vstack(std::move(detail), ui::HorizontalAlignment::leading, M::space8)};
}

} // namespace

KestraUI::WelcomeStepsLayout welcomePage(const RozivPanelState& panel,
                                         const RozivPreferencesState& preferences,
                                         const RozivWelcomeState& welcome, int step,
                                         const RozivSend& send, std::function<void(int)> setStep) {
    const bool first = step == 1;
    std::vector<ui::Node> card;
    if (first)
        card = RozivWorkdayFields{preferences, send}.rows();
    else
        card.push_back(permissionRow(welcome, send));
    if (welcome.problem == RozivProblem::storage)
        card.push_back(ui::text(QStringLiteral("Your latest change was not saved. Repeat the entry "
                                               "or action, or choose the setting again."))
                           .font(KestraUI::font(KestraUI::KestraFont::support))
                           .foreground(KestraUI::BrandPalette::muted)
                           .fixedSize(false, true)
                           .id(WelcomeViewStyle::unsavedId));

    std::optional<WelcomeStepsButton> back;
    if (!first)
        back = WelcomeStepsButton{"Back", false, [setStep] { setStep(1); }};
    const auto complete = [send] { send(RozivViewAction::completeWelcome()); };
    const bool onCloud = panel.cloud == RozivCloudState::available;
    return KestraUI::WelcomeStepsLayout{
        .brand = rozivBrand(),
        .title = "A little water during your workday",
        .lead = "You do not need much. You just need some.",
        .step = step,
        .stepCount = 2,
        .stepLabel = Text(QStringLiteral("Step %lld of 2"), {static_cast<long long>(step)}),
        .stepTitle = first ? Text("Your working hours") : Text("A reminder at the right time"),
        .isStepDone = step == 2 && welcome.permission == RozivPermissionState::allowed,
        .privacy = KestraUI::Text(privacyText(panel.cloud)),
        .privacySymbol = onCloud ? ui::SymbolName("icloud") : ui::SymbolName("internaldrive"),
        // The switch shows what the model published; turning it only asks.
        .opensAtLogin = ui::Binding<bool>([on = preferences.opensAtLogin] { return on; },
                                          [send](bool on) { send(RozivViewAction::login(on)); }),
        .skip = WelcomeStepsButton{"Start without setup", false, complete},
        .back = std::move(back),
        .primary = first ? WelcomeStepsButton{"Continue", false, [setStep] { setStep(2); }}
                         : WelcomeStepsButton{"Let’s go", false, complete},
        .note = std::nullopt,
        .card = ui::vstack(std::move(card), ui::HorizontalAlignment::leading, 0)};
}

KestraUI::WelcomeStepState welcomePermissionStep(RozivPermissionState permission) {
    switch (permission) {
    case RozivPermissionState::notAsked:
        break;
    case RozivPermissionState::allowed:
        return KestraUI::WelcomeStepState::done;
    case RozivPermissionState::denied:
        return KestraUI::WelcomeStepState::attention;
    }
    return KestraUI::WelcomeStepState::todo;
}

ui::Node WelcomeView(DewlightViewModel& model, int step) {
    const QPointer<DewlightViewModel> target(&model);
    ui::Node view = ui::withState<int>(
        [step] { return step; },
        [target](ui::Binding<int> current) -> ui::Node {
            if (!target)
                return {};
            const RozivSend send = [target](const auto& action) {
                if (target)
                    target->send(action);
            };
            return welcomePage(target->panel(), target->preferences(), target->welcome(),
                               current.get(), send, [current](int step) { current.set(step); });
        });
    // Every state the page reads redraws it.
    view = KestraUI::observing(&model, &DewlightViewModel::welcomeChanged, std::move(view));
    view = KestraUI::observing(&model, &DewlightViewModel::preferencesChanged, std::move(view));
    return KestraUI::observing(&model, &DewlightViewModel::panelChanged, std::move(view));
}

} // namespace DewlightViews
