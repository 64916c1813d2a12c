#include "app/AppModel.h"

#include "app/ReminderBoundary.h"
#include "app/RozivProjection.h"
#include "app/RozivTally.h"
#include "core/HydrationRange.h"
#include "core/ReminderPlanner.h"
#include "kit/panel/LoginItem.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Log.h"
#include "reminders/RozivReminders.h"
#include "storage/AccountSystemAuthority.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"
#include "storage/StorageError.h"

#include <utility>

namespace DewlightApp {

using namespace DewlightCore;
using DewlightPlatform::CancelToken;
using DewlightPlatform::Job;
using DewlightPlatform::weakly;
using DewlightViews::RozivPanelState;
using DewlightViews::RozivPreferencesState;
using DewlightViews::RozivProblem;

namespace {

// What the panel shows before the first projection: the default settings, nothing known yet.
RozivPanelState initialPanel() {
    const RozivSettings settings = RozivSettings::defaults();
    const HydrationRange range(settings);
    RozivPanelState panel;
    panel.status = DewlightViews::RozivPanelStatus::preparing();
    panel.remindersEnabled = settings.remindersEnabled();
    panel.lowerRange = range.minimumCups();
    panel.upperRange = range.maximumCups();
    panel.permission = DewlightViews::RozivPermissionState::notAsked;
    panel.cloud = DewlightViews::RozivCloudState::syncing;
    return panel;
}

} // namespace

AppModel::AppModel(Services services)
    : DewlightViewModel(initialPanel(),
                        preferencesOf(RozivSettings::defaults(), false, std::nullopt), {}), services_(std::move(services)) {
    reminders_ = std::make_unique<DewlightReminders::RozivReminders>(
        services_.notifications, services_.localizer, services_.calendar);
    systemAuthority_ =
        std::make_unique<DewlightStorage::AccountSystemAuthority>(services_.storage.cloudStore);
    settings_ = std::make_unique<DewlightStorage::RozivPreferences>();
    data_ = std::make_unique<DewlightStorage::RozivData>(services_.storage,
                                                         systemAuthority_->value(), *settings_);
    tally_ = RozivTally::make(*data_, *settings_, services_.clock, services_.calendar);
    welcomeSeen_ = data_->current().transaction().state().welcomeCompleted;

    data_->onChange = weakly(weak(), [](AppModel& model) { model.reload(false); });
    settings_->setOnChange(weakly(weak(), [](AppModel& model) { model.reload(false); }));
    tally_->onDrinksChanged = weakly(weak(), [](AppModel& model) {
        model.reminders_->service().center().removeAllDelivered();
        model.reminders_->setPostponement(std::nullopt);
    });
    tally_->onFeedbackCleared = weakly(weak(), [](AppModel& model) { model.refresh(); });
    // The centre reports on its own turn when a due reminder is held for want of a notification
    // service, or shown at last: the panel follows at once, not at the next plan.
    connect(reminders_.get(), &DewlightReminders::RozivReminders::schedulingFailedChanged, this,
            &AppModel::refresh);

    refresh();
}

AppModel::~AppModel() {
    // The timer's sleep ends now rather than whenever it would have woken to find nobody.
    boundary_.cancel();
}

void AppModel::start() {
    if (services_.makeWindowRouter)
        windows_ = services_.makeWindowRouter(weak());
    if (services_.observeTermination)
        termination_ = services_.observeTermination(*this, [this] { shutdown(); });
    if (!services_.systemBusConnected)
        qCWarning(DewlightPlatform::systemLog(),
                  "no system bus: waking from sleep and time-zone changes announced on it are "
                  "not seen");
    lifecycle_ = std::make_unique<MacLifecycle>(
        services_.events, weakly(weak(), [](AppModel& model, bool identityChanged) {
            model.handleLifecycle(identityChanged);
        }));
    // Actions that waited for the model are queued here, in arrival order, ahead of the reload.
    installReminderActionHandler();
    reload(false);
}

void AppModel::refresh() {
    const auto calendar = services_.calendar();
    RozivProjection projection(data_->current(), *settings_, *reminders_, tally_->feedback(),
                               services_.loginItem, now(), calendar);
    auto& panel = projection.panel;
    auto& preferences = projection.preferences;
    // A failed change of open-at-login is announced on every refresh, even when it was already
    // shown: the user may have asked again.
    const bool loginFailed = settings_->loginFailed();
    if (loginFailed) {
        panel.problem = RozivProblem::login;
        preferences.problem = RozivProblem::login;
    }
    if (!publishPanel(std::move(panel)) && loginFailed)
        emit panelChanged();
    if (!publishPreferences(std::move(preferences)) && loginFailed)
        emit preferencesChanged();
    publishWelcome(std::move(projection.welcome));
    setMenuSymbol(std::move(projection.menuSymbol));
    setDataUnavailable(!dataUsable());
}

void AppModel::shutdown() {
    actions_.bumpSession();
    data_->current().transaction().invalidate();
    reminders_->reconciler().raiseRevision();
    boundary_.cancel();
    tally_->cancelFeedbackTimer();
    lifecycle_.reset();
}

void AppModel::reload(bool force) {
    const bool reset = mustRebuild(force) || data_->cloudBlocked();
    if (reset) {
        setDataUnavailable(true);
        closeWindows();
        invalidateWork();
    }
    actions_.enqueue([owner = weak(), force] { return reloadFollowUp(owner, force); });
}

void AppModel::invalidateWork() {
    actions_.bumpSession();
    data_->current().transaction().invalidate();
    reminders_->reconciler().raiseRevision();
    removeAllNotifications();
    reminders_->setConfirmedNext(std::nullopt);
    reminders_->setPostponement(std::nullopt);
}

QCoro::Task<void> AppModel::reloadFollowUp(std::weak_ptr<AppModel> owner, bool force) {
    auto model = owner.lock();
    if (!model)
        co_return;
    if (model->mustRebuild(force)) {
        // Whatever the rebuild gives, no reminder of the data being replaced stays scheduled.
        model->removeAllNotifications();
        model->reminders_->setConfirmedNext(std::nullopt);
        model->reminders_->setPostponement(std::nullopt);
        if (!model->rebuildAccountData()) {
            model->setDataUnavailable(true);
            model->closeWindows();
            co_return;
        }
    }

    const auto revision = model->data_->current().transaction().revision();
    const auto account = model->data_->current().transaction().account();
    QCoro::Task<void> refreshing = model->reminders_->refreshPermission();
    model.reset();
    co_await refreshing;
    model = owner.lock();
    if (!model || !model->data_->isCurrent(revision, account))
        co_return;

    auto& current = model->data_->current();
    const auto before = current.transaction().state().ledger;
    if (current.applyCloudChange() && current.transaction().state().ledger != before) {
        model->reminders_->service().center().removeAllDelivered();
        model->reminders_->setPostponement(std::nullopt);
    }
    if (model->dataUsable()) {
        const bool welcomed = current.transaction().state().welcomeCompleted;
        if (std::exchange(model->welcomeSeen_, welcomed) && !welcomed)
            model->welcomeLost();
    }
    model->services_.loginItem.refresh();
    model.reset();
    QCoro::Task<void> planning = plan(owner);
    co_await planning;
}

bool AppModel::mustRebuild(bool force) const {
    const auto& current = data_->current();
    return current.sessionChanged() || current.cloudBlocked() || force || rebuildFailed_;
}

bool AppModel::rebuildAccountData() {
    try {
        if (data_->setCurrent(data_->makeAccountData()))
            data_->forwardCurrentChanges();
        rebuildFailed_ = false;
    } catch (const DewlightStorage::StorageError&) {
        rebuildFailed_ = true;
    } catch (const DomainError&) {
        rebuildFailed_ = true;
    }
    return !rebuildFailed_;
}

bool AppModel::dataUsable() const {
    return !rebuildFailed_ && data_->current().isCurrent();
}

void AppModel::handleLifecycle(bool identityChanged) {
    if (identityChanged) {
        DewlightStorage::AccountIdentityStore identity(services_.storage.defaults,
                                                       services_.storage.tokens);
        const auto session = identity.current();
        data_->authority().observe(session.cloudAvailable ? std::optional(session.id)
                                                          : std::nullopt);
    }
    reload(identityChanged);
}

QCoro::Task<void> AppModel::planReminders() {
    return plan(weak());
}

QCoro::Task<void> AppModel::plan(std::weak_ptr<AppModel> owner) {
    auto model = owner.lock();
    if (!model)
        co_return;
    auto& reminders = *model->reminders_;
    if (!model->dataUsable()) {
        model->removeAllNotifications();
        reminders.setConfirmedNext(std::nullopt);
        model->refresh();
        co_return;
    }
    const auto revision = model->data_->current().transaction().revision();
    const auto account = model->data_->current().transaction().account();
    reminders.setConfirmedNext(std::nullopt);
    model->refresh();

    const Date now = model->now();
    const auto& state = model->data_->current().transaction().state();
    bool planningAllowed = state.welcomeCompleted && model->dataUsable();
    if (planningAllowed) {
        try {
            (void)model->tally_->countingDay();
        } catch (const DomainError&) {
            planningAllowed = false;
        }
    }

    std::optional<ReminderPlan> planned;
    try {
        planned = ReminderPlanner::plan({
            .settings = model->settings_->current(),
            .ledger = state.ledger,
            .account = account,
            .now = now,
            .calendar = model->services_.calendar(),
            .permission = reminders.permission(),
            .planningAllowed = planningAllowed,
            .postponement = reminders.postponement(),
            .horizonEnd = now + planningHorizon,
            .maximumItems = planningLimit,
        });
    } catch (const DomainError&) {
        reminders.setSchedulingFailed(true);
    }

    if (planned) {
        QCoro::Task<std::optional<DewlightReminders::ConfirmedPlan>> reconciling =
            reminders.reconciler().reconcile(std::move(*planned), [owner, revision, account] {
                const auto model = owner.lock();
                return model && model->data_->isCurrent(revision, account) &&
                       model->data_->current().isCurrent();
            });
        model.reset();
        const auto confirmed = co_await reconciling;
        model = owner.lock();
        if (!model || !confirmed)
            co_return;
        model->reminders_->setConfirmedNext(confirmed->next);
        model->reminders_->setSchedulingFailed(confirmed->failed);
    }

    if (model->data_->isCurrent(revision, account)) {
        model->refresh();
        model->scheduleBoundary();
    }
}

void AppModel::scheduleBoundary() {
    boundary_.cancel();
    const auto instant = boundaryInstant(now(), reminders_->confirmedNext(), settings_->current(),
                                         services_.calendar());
    if (!instant)
        return;
    boundary_ =
        DewlightPlatform::spawnWeak(weak(), [&clock = services_.clock, instant = *instant](
                                                std::weak_ptr<AppModel> owner, CancelToken token) {
            return waitForBoundary(std::move(owner), std::move(token), clock, instant);
        });
}

QCoro::Task<void> AppModel::waitForBoundary(std::weak_ptr<AppModel> owner, CancelToken token,
                                            DewlightPlatform::Clock& clock, Date instant) {
    QCoro::Task<bool> sleeping = clock.sleep(boundarySleep(instant, clock.now()), token);
    const bool slept = co_await sleeping;
    if (!slept)
        co_return;
    if (const auto model = owner.lock())
        model->reload(false);
}

void AppModel::welcomeLost() {
    // As after an erase here: nothing of the old settings stays open, and a panel already seen
    // counts as shown again, so the welcome asks at once rather than leaving nothing planned.
    closeWindows();
    refresh();
    if (panelShown_)
        presentWelcomeIfNeeded();
}

void AppModel::removeAllNotifications() {
    auto& center = reminders_->service().center();
    center.removeAllPending();
    center.removeAllDelivered();
}

void AppModel::closeWindows() {
    if (!windows_)
        return;
    services_.windows.closePreferences();
    services_.windows.closeWelcomeSteps();
}

void AppModel::setDestination(std::optional<RozivDestination> destination) {
    if (destination_ == destination)
        return;
    destination_ = destination;
    emit destinationChanged();
}

void AppModel::setDataUnavailable(bool unavailable) {
    if (dataUnavailable_ == unavailable)
        return;
    dataUnavailable_ = unavailable;
    emit dataUnavailableChanged();
}

void AppModel::setMenuSymbol(std::string symbol) {
    if (menuSymbol_ == symbol)
        return;
    menuSymbol_ = std::move(symbol);
    emit menuSymbolChanged();
}

Date AppModel::now() const {
    return services_.clock.now();
}

} // namespace DewlightApp
