#pragma once

#include "app/AppModel.h"
#include "kit/panel/LoginItem.h"
#include "kit/panel/UpdateNotifier.h"
#include "kit/windows/AppWindows.h"
#include "platform/events/LiveSystemEvents.h"
#include "platform/events/TerminationSource.h"
#include "platform/notifications/LiveNotificationCenter.h"
#include "platform/runtime/SystemClock.h"
#include "platform/storage/FileUserDefaults.h"
#include "platform/storage/LinuxFileSystem.h"
#include "platform/storage/SyncFolder.h"
#include "platform/storage/SyncFolderIdentityTokenSource.h"
#include "platform/storage/SyncFolderKeyValueStore.h"
#include "platform/storage/XdgPaths.h"

#include <QApplication>
#include <memory>

namespace DewlightApp {

// Closes the windows kit's two shared windows for the model.
class KitWindowCloser final : public WindowCloser {
public:
    KitWindowCloser(KestraUI::PreferencesWindow& preferences, KestraUI::WelcomeStepsWindow& welcome)
        : preferences_(preferences), welcome_(welcome) {}

    void closePreferences() override { preferences_.close(); }
    void closeWelcomeSteps() override { welcome_.close(); }

private:
    KestraUI::PreferencesWindow& preferences_;
    KestraUI::WelcomeStepsWindow& welcome_;
};

// Every service of the live application on this desktop, made once by the entry for the whole
// run: a retried launch builds its new model over the same ones. Main thread only; made after
// the application object and after this launch has been settled as the only instance.
class LiveServices {
public:
    // `paths` must name the data folder and the defaults file. `texts` are the run's texts, the
    // ones `environment` shows too; `environment` is what the preferences and welcome windows
    // start from.
    LiveServices(QApplication& application, const DewlightPlatform::XdgPaths& paths,
                 std::shared_ptr<const DewlightPlatform::Localizer> texts,
                 const ui::Environment& environment);
    ~LiveServices();
    LiveServices(const LiveServices&) = delete;
    LiveServices& operator=(const LiveServices&) = delete;

    // The services a new model is built over.
    AppModel::Services modelServices();
    // The process's update notifier: the update checker for this build's site.
    std::unique_ptr<KestraUI::UpdateNotifier> makeUpdateNotifier();

    // The windows the router opens for every model of the run.
    KestraUI::PreferencesWindow preferencesWindow;
    KestraUI::WelcomeStepsWindow welcomeStepsWindow;

private:
    DewlightPlatform::SystemClock clock_;
    DewlightPlatform::FileUserDefaults defaults_;
    DewlightPlatform::LinuxFileSystem files_;
    DewlightPlatform::SyncFolder syncFolder_;
    DewlightPlatform::SyncFolderKeyValueStore cloudStore_;
    DewlightPlatform::SyncFolderIdentityTokenSource tokens_;
    DewlightPlatform::LiveSystemEvents events_;
    DewlightPlatform::TerminationSource termination_;
    bool systemBusConnected_;
    std::shared_ptr<DewlightPlatform::LiveNotificationCenter> notifications_;
    std::shared_ptr<const DewlightPlatform::Localizer> localizer_;
    KestraUI::LoginItem loginItem_;
    KitWindowCloser windowCloser_;
};

} // namespace DewlightApp
