// What the model does with "A glass", "A sip" and "In 15 minutes" on a reminder.

#include "app/AppModel.h"
#include "app/RozivTally.h"
#include "core/DomainError.h"
#include "core/LocalPostponement.h"
#include "platform/runtime/Clock.h"
#include "reminders/RozivReminders.h"
#include "storage/RozivData.h"

#include <utility>

namespace DewlightApp {

using DewlightCore::DomainError;
using DewlightCore::DrinkKind;
using DewlightCore::LocalPostponement;
using DewlightCore::ReminderAction;
using DewlightCore::ReminderPayload;
using DewlightCore::WorkdayID;
using DewlightPlatform::Job;
using DewlightStorage::ActionReceipt;

void AppModel::installReminderActionHandler() {
    // The inbox hands over what it parked, in arrival order, before this returns.
    reminders_->service().inbox().installHandler(
        [owner = weak()](ReminderPayload payload, ReminderAction action) {
            return receiveReminderAction(owner, std::move(payload), action);
        });
}

QCoro::Task<void> AppModel::receiveReminderAction(std::weak_ptr<AppModel> owner,
                                                  ReminderPayload payload, ReminderAction action) {
    Job handled;
    if (const auto model = owner.lock()) {
        handled = model->actions_.enqueue([owner, payload = std::move(payload), action] {
            return handleReminderAction(owner, payload, action);
        });
    }
    // The notification is answered once its action was handled or dropped.
    co_await handled;
}

QCoro::Task<void> AppModel::handleReminderAction(std::weak_ptr<AppModel> owner,
                                                 ReminderPayload payload, ReminderAction action) {
    auto model = owner.lock();
    if (!model || !model->dataUsable())
        co_return;
    const auto day = model->countingDay();
    if (!day || !model->isActionable(payload, *day))
        co_return;
    // Applied already: by an earlier answer, or on another computer.
    const ActionReceipt receipt(payload.reminder().rawValue());
    if (model->data_->current().transaction().state().receipts.contains(receipt))
        co_return;

    switch (action) {
    case ReminderAction::cup:
    case ReminderAction::sip: {
        // The tally checks the payload and the receipts again after its own suspension, and
        // commits the drink together with the receipt.
        QCoro::Task<void> recording = model->tally_->record(
            action == ReminderAction::cup ? DrinkKind::cup : DrinkKind::sip, std::move(payload));
        model.reset();
        co_await recording;
        break;
    }
    case ReminderAction::postpone:
        if (!model->postpone(payload, *day))
            co_return;
        model.reset();
        break;
    }
    QCoro::Task<void> planning = plan(owner);
    co_await planning;
}

bool AppModel::postpone(const ReminderPayload& payload, WorkdayID day) {
    const auto& transaction = data_->current().transaction();
    if (!data_->recordReceipt(ActionReceipt(payload.reminder().rawValue()), day,
                              transaction.revision(), transaction.account()))
        return false;
    // The planner keeps the postponement only while this stays the day's latest drink.
    std::optional<DewlightCore::Identity<DewlightCore::DrinkTag>> lastDrink;
    if (const auto latest = data_->current().transaction().state().ledger.latestDrink(day))
        lastDrink = latest->id();
    try {
        reminders_->setPostponement(LocalPostponement(now(), day, std::move(lastDrink)));
    } catch (const DomainError&) {
        reminders_->setPostponement(std::nullopt);
    }
    return true;
}

std::optional<WorkdayID> AppModel::countingDay() const {
    try {
        return tally_->countingDay();
    } catch (const DomainError&) {
        return std::nullopt;
    }
}

bool AppModel::isActionable(const ReminderPayload& payload, WorkdayID countingDay) const {
    const auto& transaction = data_->current().transaction();
    return payload.isActionable(transaction.account(), transaction.state().ledger.generation(),
                                countingDay, now());
}

} // namespace DewlightApp
