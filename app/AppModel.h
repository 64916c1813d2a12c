#pragma once

#include "app/MacLifecycle.h"
#include "app/RozivDestination.h"
#include "app/SerialActions.h"
#include "core/ReminderAction.h"
#include "core/ReminderPayload.h"
#include "platform/calendar/Calendar.h"
#include "platform/runtime/Job.h"
#include "platform/runtime/WeakOwner.h"
#include "storage/RozivAccountData.h"
#include "views/DewlightViewModel.h"

#include <QCoro/QCoroTask>
#include <QMetaObject>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace DewlightPlatform {
class Clock;
class Localizer;
class NotificationCenter;
class SystemEvents;
} // namespace DewlightPlatform

namespace DewlightReminders {
class RozivReminders;
}

namespace DewlightStorage {
class AccountSystemAuthority;
class RozivData;
class RozivPreferences;
} // namespace DewlightStorage

namespace KestraUI {
class LoginItem;
}

namespace DewlightApp {

class AppModel;
class RozivTally;

// Closes the two shared windows that must not stay open over data that is being replaced.
class WindowCloser {
public:
    virtual ~WindowCloser() = default;
    // Each does nothing when its window is not open.
    virtual void closePreferences() = 0;
    virtual void closeWelcomeSteps() = 0;
};

// Makes the window router. The router holds the model weakly, watches `destinationChanged`,
// takes each request (setting `destination` back to none) and opens the window unless the data
// is unavailable. The model keeps what this returns for as long as it lives.
using WindowRouterFactory = std::function<std::unique_ptr<QObject>(std::weak_ptr<AppModel>)>;

// Connects `shutdown` to the application's will-terminate notice, to run at once inside it,
// with `context` as the connection's context.
using TerminationObserver =
    std::function<QMetaObject::Connection(QObject& context, std::function<void()> shutdown)>;

// The one application model of a live launch: it owns every service of the running application,
// publishes the state the views read, and is where user actions, reminder actions and system
// events meet. Main thread only.
//
// Everything that suspends (the reload's follow-up, a planning pass, the boundary timer) holds
// the model weakly and, after each suspension, checks that the model still lives and that the
// account data it started from is still the one in force.
class AppModel final : public DewlightViews::DewlightViewModel,
                       public DewlightViews::RozivWindowRequests {
    Q_OBJECT
public:
    // Everything the model works with from the platform. The application entry builds the live
    // set once; tests pass local ones. All of it must outlive the model.
    struct Services {
        DewlightPlatform::Clock& clock;
        // The user's calendar (and time zone) at the moment of asking.
        std::function<DewlightPlatform::Calendar()> calendar;
        std::shared_ptr<DewlightPlatform::NotificationCenter> notifications;
        std::shared_ptr<const DewlightPlatform::Localizer> localizer;
        DewlightStorage::AccountDataServices storage;
        DewlightPlatform::SystemEvents& events;
        KestraUI::LoginItem& loginItem;
        WindowRouterFactory makeWindowRouter;
        WindowCloser& windows;
        TerminationObserver observeTermination;
        // Whether the system bus (the login manager, the time-date service) could be reached.
        bool systemBusConnected = true;
    };

    // Shown in the tray before anything is known.
    static constexpr const char* initialMenuSymbol = "drop";
    // How far ahead reminders are planned, and how many at most.
    static constexpr double planningHorizon = 604800;
    static constexpr std::int64_t planningLimit = 60;

    // Builds every service and projects the state once. Throws what building the account data
    // throws; nothing built so far is kept then.
    explicit AppModel(Services services);
    ~AppModel() override;
    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    // Called once by the live launch: makes the window router, observes termination and the
    // system events, takes the reminder actions that waited for the model, and reloads.
    void start();
    // Recomputes the published state from the services.
    void refresh();
    // Stops the model's work when the application ends: queued work is dropped, commits and
    // reconcile passes under way are refused, the timers stop and system events are no longer
    // observed.
    void shutdown();

    // Opens a window, the notification settings, a reload or the first half of an erase at
    // once; queues every other action, to run while the account data is usable and be followed
    // by a new plan.
    void send(const DewlightViews::RozivViewAction& action) override;
    // Asks for the welcome flow when the panel appears, unless it was completed and the
    // notification permission has been decided. From then on the panel counts as shown: a
    // welcome that another computer's erase undoes is asked for again at once.
    void presentWelcomeIfNeeded();

    // Catches up with the world. Resets the model at once when the account or its data can no
    // longer be trusted (or when forced), then queues the follow-up that rebuilds the account
    // data where needed, applies changes from other computers and plans again.
    void reload(bool force);
    // A system event: an identity change is shown to the account authority first and forces
    // the reload.
    void handleLifecycle(bool identityChanged);
    // Plans the coming reminders, has the notification centre match the plan, publishes the
    // outcome and re-arms the boundary timer. A pass overtaken by a newer one stores nothing.
    QCoro::Task<void> planReminders();
    // Re-arms the one boundary timer (the previous one is cancelled) for the next moment the plan
    // or the panel changes by itself.
    void scheduleBoundary();

    // Observed state beyond the view model's.
    const std::string& menuSymbol() const { return menuSymbol_; }
    bool dataUnavailable() const override { return dataUnavailable_; }
    std::optional<RozivDestination> destination() const override { return destination_; }
    // Announced only on change. The router sets it back to none when it takes a request.
    void setDestination(std::optional<RozivDestination> destination) override;
    DewlightViews::DewlightViewModel& viewModel() override { return *this; }
    QMetaObject::Connection onDestinationChanged(QObject* context,
                                                 std::function<void()> handler) override {
        return connect(this, &AppModel::destinationChanged, context, std::move(handler));
    }

    // The owned services and handles, for the router and for tests.
    DewlightReminders::RozivReminders& reminders() const { return *reminders_; }
    DewlightStorage::RozivPreferences& settings() const { return *settings_; }
    DewlightStorage::RozivData& data() const { return *data_; }
    RozivTally& tally() const { return *tally_; }
    SerialActions& actions() { return actions_; }
    const DewlightPlatform::Job& boundary() const { return boundary_; }
    bool hasWindowRouter() const { return windows_ != nullptr; }
    bool observesSystemEvents() const { return lifecycle_ != nullptr; }
    std::weak_ptr<AppModel> weak() const { return self_.weak(); }

signals:
    void menuSymbolChanged();
    void dataUnavailableChanged();
    void destinationChanged();

private:
    static QCoro::Task<void> reloadFollowUp(std::weak_ptr<AppModel> owner, bool force);
    static QCoro::Task<void> plan(std::weak_ptr<AppModel> owner);
    static QCoro::Task<void> waitForBoundary(std::weak_ptr<AppModel> owner,
                                             DewlightPlatform::CancelToken token,
                                             DewlightPlatform::Clock& clock,
                                             DewlightCore::Date instant);
    // A view action, run from the queue: refused while the data is unusable, then planned again.
    static QCoro::Task<void> perform(std::weak_ptr<AppModel> owner,
                                     DewlightViews::RozivViewAction action);
    // The queued half of an erase; the immediate half ran in `send`.
    static QCoro::Task<void> erase(std::weak_ptr<AppModel> owner);
    // Asks for alerts, then reads the answer and plans, unless the data changed meanwhile.
    static QCoro::Task<void> requestPermission(std::weak_ptr<AppModel> owner);
    // Sets open-at-login as asked; a change that did not take effect shows as the login problem.
    void changeLogin(bool on);

    // Becomes the inbox's handler and queues the actions parked before start.
    void installReminderActionHandler();
    // The inbox's handler: queues the action and returns once it was handled or dropped.
    static QCoro::Task<void> receiveReminderAction(std::weak_ptr<AppModel> owner,
                                                   DewlightCore::ReminderPayload payload,
                                                   DewlightCore::ReminderAction action);
    // A reminder's action, run from the queue: applied at most once per reminder, only for the
    // account, generation and counting day in force, and only once the reminder's time has come.
    static QCoro::Task<void> handleReminderAction(std::weak_ptr<AppModel> owner,
                                                  DewlightCore::ReminderPayload payload,
                                                  DewlightCore::ReminderAction action);
    // "In 15 minutes": the receipt is committed first, so the reminder moves only once. False
    // when the receipt was refused.
    bool postpone(const DewlightCore::ReminderPayload& payload, DewlightCore::WorkdayID day);
    // The counting day, or none while it cannot be resolved.
    std::optional<DewlightCore::WorkdayID> countingDay() const;
    bool isActionable(const DewlightCore::ReminderPayload& payload,
                      DewlightCore::WorkdayID countingDay) const;

    // The account data must be built anew: its session or cloud changed, it was built without
    // its cloud, the caller forces it, or the last attempt failed.
    bool mustRebuild(bool force) const;
    // Replaces the account data with one built for the session signed in now; false (the old
    // one stays, marked unusable) when that fails.
    bool rebuildAccountData();
    // The account data in force may be used: it is current, and no rebuild of it failed since.
    bool dataUsable() const;
    // Whatever queued or ran for the data in force until now is refused from here on, and no
    // reminder of it stays scheduled.
    void invalidateWork();
    void removeAllNotifications();
    void closeWindows();
    // A reload found the welcome of usable data undone: another computer erased everything, or
    // this one signed in to an account it never welcomed.
    void welcomeLost();
    void setDataUnavailable(bool unavailable);
    void setMenuSymbol(std::string symbol);
    DewlightCore::Date now() const;

    Services services_;
    std::string menuSymbol_ = initialMenuSymbol;
    bool dataUnavailable_ = false;
    std::optional<RozivDestination> destination_;
    SerialActions actions_;
    std::unique_ptr<DewlightReminders::RozivReminders> reminders_;
    std::unique_ptr<DewlightStorage::AccountSystemAuthority> systemAuthority_;
    std::unique_ptr<DewlightStorage::RozivPreferences> settings_;
    std::unique_ptr<DewlightStorage::RozivData> data_;
    std::unique_ptr<RozivTally> tally_;
    DewlightPlatform::Job boundary_;
    std::unique_ptr<MacLifecycle> lifecycle_;
    std::unique_ptr<QObject> windows_;
    QMetaObject::Connection termination_;
    // A rebuild failed: the data in force is kept only so that nothing dangles, and every reload
    // tries the rebuild again until one succeeds.
    bool rebuildFailed_ = false;
    // The panel has appeared at least once since the model started.
    bool panelShown_ = false;
    // Whether the welcome was complete in the usable data as last seen.
    bool welcomeSeen_ = false;
    DewlightPlatform::WeakOwner<AppModel> self_{this};
};

} // namespace DewlightApp
