#include "views/RozivWindows.h"

#include "kit/windows/AppWindows.h"
#include "views/SettingsCard.h"
#include "views/WelcomeView.h"

namespace DewlightViews {

RozivWindows::RozivWindows(std::weak_ptr<RozivWindowRequests> model,
                           KestraUI::PreferencesWindow& preferences,
                           KestraUI::WelcomeStepsWindow& welcomeSteps, ui::Localizer localize,
                           QObject* parent)
    : QObject(parent), model_(std::move(model)), preferences_(preferences),
      welcomeSteps_(welcomeSteps), localize_(ui::localizerOrFallback(std::move(localize))) {
    const auto requests = model_.lock();
    if (!requests)
        return;
    connection_ = requests->onDestinationChanged(this, [this] { destinationChanged(); });
    listening_ = true;
    // A request made before the router existed is served like one made now.
    if (requests->destination())
        destinationChanged();
}

RozivWindows::~RozivWindows() {
    QObject::disconnect(connection_);
}

void RozivWindows::destinationChanged() {
    if (!listening_)
        return;
    listening_ = false;
    // Not inside the model's setter: the pass runs once the change is complete, and sees only
    // the last of the changes made before it runs. Queued on the router, so it is dropped with it.
    QMetaObject::invokeMethod(this, &RozivWindows::serve, Qt::QueuedConnection);
}

void RozivWindows::serve() {
    open();
    const auto model = model_.lock();
    if (!model) {
        QObject::disconnect(connection_);
        return;
    }
    listening_ = true;
    // A request made while the window opened would otherwise wait for the next change.
    if (model->destination())
        destinationChanged();
}

void RozivWindows::open() {
    const auto model = model_.lock();
    if (!model)
        return;
    const std::optional<RozivDestination> destination = model->destination();
    if (!destination)
        return; // the change was a reset
    model->setDestination(std::nullopt);
    if (model->dataUnavailable())
        return; // dropped: nothing opens over data that cannot be used

    // The windows show the model for as long as it lives; after that they show nothing.
    const std::weak_ptr<RozivWindowRequests> shown = model_;
    switch (*destination) {
    case RozivDestination::preferences: {
        preferences_.show(
            localize_(QStringLiteral("Preferences"), {}), false, [] {},
            [shown]() -> ui::Node {
                if (const auto current = shown.lock())
                    return SettingsCard(current->viewModel());
                return {};
            });
        break;
    }
    case RozivDestination::welcome:
        welcomeSteps_.show(
            QStringLiteral("Dewlight"), // verbatim: the product's name
            [] {},
            [shown]() -> ui::Node {
                if (const auto current = shown.lock())
                    return WelcomeView(current->viewModel(), 1);
                return {};
            });
        break;
    }
}

} // namespace DewlightViews
