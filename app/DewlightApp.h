#pragma once

#include "app/AppModel.h"
#include "kit/panel/UpdateNotifier.h"
#include "ui/Node.h"
#include "views/RozivSnapshotModel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <variant>

namespace DewlightApp {

// What this run of the application is: the live application over its model, the fixed
// demonstration of snapshot mode, or a start-up whose model could not be built (a retry may
// still turn it live). Live and snapshot never change for the process.
class RozivLaunch {
public:
    struct Live {
        std::unique_ptr<AppModel> model;
    };
    struct Snapshot {
        std::unique_ptr<DewlightViews::RozivSnapshotModel> model;
    };
    struct Failed {};

    RozivLaunch() : state_(Failed{}) {}
    explicit RozivLaunch(Live live) : state_(std::move(live)) {}
    explicit RozivLaunch(Snapshot snapshot) : state_(std::move(snapshot)) {}

    // The model of a live launch; none otherwise.
    AppModel* live() const;
    // The model of a snapshot launch; none otherwise.
    DewlightViews::RozivSnapshotModel* snapshot() const;
    bool failed() const { return std::holds_alternative<Failed>(state_); }

private:
    std::variant<Live, Snapshot, Failed> state_;
};

// The tray icon: a symbol name from the drop family and the name assistive technology reads.
struct MenuLabel {
    QString symbol;
    QString accessibleName;

    bool operator==(const MenuLabel&) const = default;
};

// The application: decides at start between the live application and snapshot mode, turns a
// model that cannot be built into the start-up failure with its retry, and gives the tray its
// icon and the panel its content. Main thread only.
class DewlightApp final : public QObject {
    Q_OBJECT
public:
    // Builds the live model over the services made once for the process; throws when the
    // model cannot be built.
    using ModelFactory = std::function<std::unique_ptr<AppModel>()>;
    using SnapshotModelFactory =
        std::function<std::unique_ptr<DewlightViews::RozivSnapshotModel>(const QStringList&)>;
    // Renders the snapshot the command line asks for and ends the process.
    using SnapshotRun = std::function<void(DewlightViews::RozivSnapshotModel&)>;
    // Makes the process's update notifier; none when the build cannot offer updates.
    using UpdateNotifierFactory = std::function<std::unique_ptr<KestraUI::UpdateNotifier>()>;

    struct Parts {
        // The command line, without the program name.
        QStringList arguments;
        ModelFactory makeModel;
        SnapshotModelFactory makeSnapshotModel;
        SnapshotRun runSnapshot;
        UpdateNotifierFactory makeUpdateNotifier;
    };

    // Sets up the initial launch. The model's start and the snapshot run follow on a later turn
    // of the event loop, once the caller has put the content on screen.
    explicit DewlightApp(Parts parts, QObject* parent = nullptr);
    ~DewlightApp() override;

    const RozivLaunch& launch() const { return launch_; }
    bool snapshotMode() const { return snapshotMode_; }

    // The panel's content for the launch as it stands: the menu over the live or snapshot
    // model, or the start-up failure. `contentChanged` says when it must be asked again.
    ui::Node menuContent();
    // The tray icon: the live model's symbol, else "drop".
    MenuLabel menuLabel() const;
    // The live panel came on screen: catch up with the world, then open the welcome flow if it
    // was never completed or the notification permission is still undecided.
    void menuAppeared();
    // A new live launch in place of a failed one: a fresh model, and the update check again.
    void retryLaunch();

    // The one update notifier of the process, made on first use; none in snapshot mode.
    KestraUI::UpdateNotifier* updateNotifier();

signals:
    void launchChanged();
    // The content switched between the menu and the start-up failure.
    void contentChanged();
    void menuLabelChanged();

private:
    void startLive();
    void startSnapshot();
    void setLaunch(RozivLaunch launch);

    Parts parts_;
    bool snapshotMode_ = false;
    RozivLaunch launch_;
    bool notifierMade_ = false;
    std::unique_ptr<KestraUI::UpdateNotifier> notifier_;
};

} // namespace DewlightApp
