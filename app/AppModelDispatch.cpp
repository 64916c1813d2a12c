#include "app/AppModel.h"
#include "app/RozivTally.h"
#include "kit/panel/LoginItem.h"
#include "reminders/RozivReminders.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"

#include <array>
#include <utility>

namespace DewlightApp {

using DewlightCore::DrinkKind;
using DewlightCore::NotificationPermission;
using DewlightStorage::RozivPreferenceKey;
using DewlightViews::RozivProblem;
using DewlightViews::RozivViewAction;
using Kind = RozivViewAction::Kind;

namespace {

// The actions that edit one synced setting, and the setting each one edits.
constexpr std::array<std::pair<Kind, RozivPreferenceKey>, 6> settingEdits{{
    {Kind::reminders, RozivPreferenceKey::reminders},
    {Kind::startMinute, RozivPreferenceKey::start},
    {Kind::endMinute, RozivPreferenceKey::end},
    {Kind::day, RozivPreferenceKey::days},
    {Kind::glassMilliliters, RozivPreferenceKey::cup},
    {Kind::intervalMinutes, RozivPreferenceKey::interval},
}};

std::optional<RozivPreferenceKey> editedSetting(Kind kind) {
    for (const auto& [action, key] : settingEdits)
        if (action == kind)
            return key;
    return std::nullopt;
}

} // namespace

void AppModel::send(const RozivViewAction& action) {
    switch (action.kind()) {
    case Kind::openNotificationSettings:
        reminders_->openNotificationSettings();
        return;
    case Kind::retry:
        reload(false);
        return;
    case Kind::erase:
        // Nothing queued before the erase runs, and no reminder of the erased data stays.
        invalidateWork();
        actions_.enqueue([owner = weak()] { return erase(owner); });
        return;
    case Kind::openPreferences:
        setDestination(RozivDestination::preferences);
        return;
    case Kind::openWelcome:
        setDestination(RozivDestination::welcome);
        return;
    default:
        actions_.enqueue([owner = weak(), action] { return perform(owner, action); });
        return;
    }
}

QCoro::Task<void> AppModel::perform(std::weak_ptr<AppModel> owner, RozivViewAction action) {
    auto model = owner.lock();
    if (!model)
        co_return;
    if (!model->dataUsable()) {
        // Refused: nothing is written for data that is no longer the account's. Announced even
        // when the problem already shows, since the user just tried again.
        auto panel = model->panel();
        panel.problem = RozivProblem::storage;
        if (!model->publishPanel(std::move(panel)))
            emit model->panelChanged();
        co_return;
    }

    if (const auto key = editedSetting(action.kind())) {
        // The settings refuse what they cannot hold; the plan is made again all the same.
        model->settings_->set(
            action.kind() == Kind::reminders ? (action.isOn() ? 1 : 0) : action.number(), *key);
    } else {
        switch (action.kind()) {
        case Kind::login:
            model->changeLogin(action.isOn());
            break;
        case Kind::drinkGlass:
        case Kind::drinkSip: {
            // The tally checks the data again after its own suspension.
            QCoro::Task<void> recording = model->tally_->record(
                action.kind() == Kind::drinkGlass ? DrinkKind::cup : DrinkKind::sip);
            model.reset();
            co_await recording;
            break;
        }
        case Kind::undo:
            model->tally_->undo();
            break;
        case Kind::requestNotifications: {
            // Plans by itself, and only for the data it asked for.
            model.reset();
            QCoro::Task<void> requesting = requestPermission(owner);
            co_await requesting;
            co_return;
        }
        case Kind::completeWelcome:
            if (model->data_->completeWelcome()) {
                model->welcomeSeen_ = true;
                model->services_.windows.closeWelcomeSteps();
            }
            break;
        default:
            // Handled in send, never queued.
            break;
        }
    }
    model.reset();
    QCoro::Task<void> planning = plan(owner);
    co_await planning;
}

void AppModel::changeLogin(bool on) {
    auto& loginItem = services_.loginItem;
    loginItem.setEnabled(on);
    // The login item's own state is the truth; the settings keep nothing of it.
    settings_->setLoginFailed(on != loginItem.enabled());
}

QCoro::Task<void> AppModel::requestPermission(std::weak_ptr<AppModel> owner) {
    auto model = owner.lock();
    if (!model)
        co_return;
    const auto revision = model->data_->current().transaction().revision();
    const auto account = model->data_->current().transaction().account();
    QCoro::Task<void> asking = model->reminders_->service().requestAuthorization();
    model.reset();
    co_await asking;

    model = owner.lock();
    if (!model || !model->data_->isCurrent(revision, account))
        co_return;
    QCoro::Task<void> refreshing = model->reminders_->refreshPermission();
    model.reset();
    co_await refreshing;

    model = owner.lock();
    if (!model || !model->data_->isCurrent(revision, account))
        co_return;
    model.reset();
    QCoro::Task<void> planning = plan(owner);
    co_await planning;
}

QCoro::Task<void> AppModel::erase(std::weak_ptr<AppModel> owner) {
    auto model = owner.lock();
    if (!model)
        co_return;
    // Data kept only after a failed rebuild is not the account's to erase.
    if (model->dataUsable() && model->data_->current().eraseAll()) {
        model->services_.loginItem.setEnabled(false);
        model->settings_->setLoginFailed(model->services_.loginItem.enabled());
        model->tally_->resetFeedback();
        // The welcome is asked for here and now, not again when a reload finds it undone.
        model->welcomeSeen_ = false;
        model->closeWindows();
        model->setDestination(RozivDestination::welcome);
    }
    // A refused erase left the data as it was: its reminders are planned again.
    model.reset();
    QCoro::Task<void> planning = plan(owner);
    co_await planning;
}

void AppModel::presentWelcomeIfNeeded() {
    panelShown_ = true;
    if (dataUnavailable_)
        return;
    if (data_->current().transaction().state().welcomeCompleted &&
        reminders_->permission() != NotificationPermission::notDetermined)
        return;
    setDestination(RozivDestination::welcome);
}

} // namespace DewlightApp
