#include "app/DewlightApp.h"

#include "kit/windows/KestraSnapshot.h"
#include "platform/runtime/Log.h"
#include "views/MenuView.h"
#include "views/RozivStartupFailure.h"

#include <QPointer>
#include <exception>

namespace DewlightApp {

AppModel* RozivLaunch::live() const {
    const auto* live = std::get_if<Live>(&state_);
    return live ? live->model.get() : nullptr;
}

DewlightViews::RozivSnapshotModel* RozivLaunch::snapshot() const {
    const auto* snapshot = std::get_if<Snapshot>(&state_);
    return snapshot ? snapshot->model.get() : nullptr;
}

DewlightApp::DewlightApp(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)),
      snapshotMode_(KestraUI::KestraSnapshot::isActive(parts_.arguments)) {
    if (snapshotMode_)
        startSnapshot();
    else
        startLive();
}

DewlightApp::~DewlightApp() = default;

void DewlightApp::startSnapshot() {
    std::unique_ptr<DewlightViews::RozivSnapshotModel> model;
    try {
        if (parts_.makeSnapshotModel)
            model = parts_.makeSnapshotModel(parts_.arguments);
    } catch (const std::exception& error) {
        qCWarning(DewlightPlatform::systemLog(), "the snapshot model could not be built: %s",
                  error.what());
    }
    if (!model) {
        setLaunch(RozivLaunch());
        return;
    }
    // The run starts on a later turn, so that whoever made the application has shown it first.
    // The model is the call's context: Qt drops the call with it, and it dies before the app.
    QMetaObject::invokeMethod(
        model.get(),
        [this, model = model.get()] {
            if (parts_.runSnapshot)
                parts_.runSnapshot(*model);
        },
        Qt::QueuedConnection);
    setLaunch(RozivLaunch(RozivLaunch::Snapshot{std::move(model)}));
}

void DewlightApp::startLive() {
    std::unique_ptr<AppModel> model;
    try {
        model = parts_.makeModel();
    } catch (const std::exception& error) {
        // The user sees the start-up failure and its retry; the reason goes to the log only.
        qCWarning(DewlightPlatform::systemLog(), "the application model could not be built: %s",
                  error.what());
    } catch (...) {
        qCWarning(DewlightPlatform::systemLog(), "the application model could not be built");
    }
    if (!model) {
        setLaunch(RozivLaunch());
        return;
    }

    AppModel* const live = model.get();
    connect(live, &AppModel::menuSymbolChanged, this, &DewlightApp::menuLabelChanged);
    connect(live, &AppModel::dataUnavailableChanged, this, &DewlightApp::contentChanged);
    // Started on a later turn, so that the panel and the tray exist before the model works.
    QMetaObject::invokeMethod(
        live, [live] { live->start(); }, Qt::QueuedConnection);
    if (KestraUI::UpdateNotifier* notifier = updateNotifier())
        notifier->checkIfDue();
    setLaunch(RozivLaunch(RozivLaunch::Live{std::move(model)}));
}

void DewlightApp::setLaunch(RozivLaunch launch) {
    // The old launch goes only after the new one is in place: a view still showing it reads
    // the new one when it is rebuilt.
    RozivLaunch previous = std::exchange(launch_, std::move(launch));
    emit launchChanged();
    emit contentChanged();
    emit menuLabelChanged();
}

KestraUI::UpdateNotifier* DewlightApp::updateNotifier() {
    if (snapshotMode_)
        return nullptr;
    if (!notifierMade_) {
        notifierMade_ = true;
        if (parts_.makeUpdateNotifier)
            notifier_ = parts_.makeUpdateNotifier();
    }
    return notifier_.get();
}

ui::Node DewlightApp::menuContent() {
    const QPointer<DewlightApp> app(this);
    if (AppModel* model = launch_.live()) {
        if (model->dataUnavailable()) {
            const QPointer<AppModel> target(model);
            return DewlightViews::RozivStartupFailure{[target] {
                if (target)
                    target->reload(true);
            }};
        }
        return DewlightViews::MenuView(*model, updateNotifier()).onAppear([app] {
            if (app)
                app->menuAppeared();
        });
    }
    if (DewlightViews::RozivSnapshotModel* model = launch_.snapshot())
        return DewlightViews::MenuView(*model);
    return DewlightViews::RozivStartupFailure{[app] {
        if (app)
            app->retryLaunch();
    }};
}

MenuLabel DewlightApp::menuLabel() const {
    const AppModel* model = launch_.live();
    return {model ? QString::fromStdString(model->menuSymbol()) : QStringLiteral("drop"),
            QStringLiteral("Dewlight")};
}

void DewlightApp::menuAppeared() {
    AppModel* model = launch_.live();
    if (!model)
        return;
    model->reload(false);
    model->presentWelcomeIfNeeded();
}

void DewlightApp::retryLaunch() {
    // Only a failed launch is retried: a live or snapshot launch stays what it is.
    if (launch_.failed() && !snapshotMode_)
        startLive();
}

} // namespace DewlightApp
