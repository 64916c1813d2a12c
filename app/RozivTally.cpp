#include "app/RozivTally.h"

#include "core/CountingDayResolver.h"
#include "core/DomainError.h"
#include "core/HydrationRange.h"
#include "platform/runtime/EventLoop.h"
#include "platform/runtime/Wakeup.h"
#include "storage/LedgerTransaction.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"

#include <QUuid>
#include <algorithm>
#include <utility>

namespace DewlightApp {

using namespace DewlightCore;
using DewlightPlatform::CancelToken;
using DewlightStorage::ActionReceipt;
using DewlightStorage::ApplicationIssue;
using DewlightStorage::LedgerTransaction;

namespace {

// Resumes the caller on a later turn of the event loop, so whatever else is due runs first.
QCoro::Task<void> laterTurn() {
    DewlightPlatform::Wakeup wakeup;
    DewlightPlatform::postToNextTurn([wakeup] { wakeup.fire(true); });
    co_await wakeup;
}

std::string freshUuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

} // namespace

// What the data looked like when a click was made: its commit must find the same.
struct RozivTally::Snapshot {
    std::uint64_t revision;
    DewlightStorage::Account account;
};

RozivTally::RozivTally(DewlightStorage::RozivData& data,
                       DewlightStorage::RozivPreferences& settings, DewlightPlatform::Clock& clock,
                       CalendarSource calendar)
    : data_(data), settings_(settings), clock_(clock), calendar_(std::move(calendar)) {}

RozivTally::~RozivTally() = default;

std::unique_ptr<RozivTally> RozivTally::make(DewlightStorage::RozivData& data,
                                             DewlightStorage::RozivPreferences& settings,
                                             DewlightPlatform::Clock& clock,
                                             CalendarSource calendar) {
    return std::unique_ptr<RozivTally>(new RozivTally(data, settings, clock, std::move(calendar)));
}

WorkdayID RozivTally::countingDay() const {
    return CountingDayResolver::countingDay(clock_.now(), settings_.current(), calendar_(),
                                            data_.current().transaction().state().ledger);
}

QCoro::Task<void> RozivTally::record(DrinkKind kind, std::optional<ReminderPayload> payload) {
    const auto& transaction = data_.current().transaction();
    return recordLater(self_.weak(), Snapshot{transaction.revision(), transaction.account()}, kind,
                       std::move(payload));
}

QCoro::Task<void> RozivTally::recordLater(std::weak_ptr<RozivTally> owner, Snapshot snapshot,
                                          DrinkKind kind, std::optional<ReminderPayload> payload) {
    QCoro::Task<void> hop = laterTurn();
    co_await hop;
    if (const auto tally = owner.lock())
        tally->commitDrink(snapshot, kind, payload);
}

void RozivTally::commitDrink(const Snapshot& snapshot, DrinkKind kind,
                             const std::optional<ReminderPayload>& payload) {
    if (!data_.isCurrent(snapshot.revision, snapshot.account) || !data_.current().isCurrent())
        return;

    std::optional<WorkdayID> resolved;
    try {
        resolved = countingDay();
    } catch (const DomainError&) {
        // The panel shows the clock problem; nothing is recorded meanwhile.
        return;
    }
    const WorkdayID day = *resolved;
    const Date now = clock_.now();

    auto& account = data_.current();
    auto& transaction = account.transaction();
    if (payload && !payload->isActionable(transaction.account(),
                                          transaction.state().ledger.generation(), day, now))
        return;

    const Identity<DrinkTag> drink(freshUuid());
    const Identity<ClickGroupTag> group(freshUuid());
    std::optional<ActionReceipt> receipt;
    if (payload)
        receipt.emplace(payload->reminder().rawValue());

    if (transaction.revision() != snapshot.revision || transaction.account() != snapshot.account ||
        !transaction.acceptsAccount(snapshot.account)) {
        transaction.setIssue(ApplicationIssue::accountChanged);
        return;
    }
    // Applied before, here or on another computer.
    if (receipt && transaction.state().receipts.contains(*receipt))
        return;

    auto next = transaction.state();
    std::optional<DrinkGroup> recorded;
    try {
        recorded = next.ledger.recordDrink(drink, group, account.writer(), day, kind, now);
    } catch (const DomainError& error) {
        transaction.setIssue(error.kind() == DomainError::Case::discardedWorkday
                                 ? ApplicationIssue::discardedWorkday
                                 : ApplicationIssue::invalidData);
        return;
    }

    std::erase_if(next.receiptWorkdays, [day](const auto& entry) {
        return !LedgerTransaction::keepsReceiptWorkday(entry, day);
    });
    std::erase_if(next.receipts, [&next](const ActionReceipt& kept) {
        return !LedgerTransaction::keepsReceipt(kept, next);
    });
    if (receipt) {
        next.receipts.insert(*receipt);
        next.receiptWorkdays.insert_or_assign(*receipt, day);
    }

    if (!transaction.commit(std::move(next), snapshot.revision, snapshot.account))
        return;
    if (onDrinksChanged)
        onDrinksChanged();

    auto feedback = feedback_;
    if (!payload) {
        feedback.addition = recorded->clickCount;
        feedback.revision += 1;
    }
    const auto maximumCups = HydrationRange(settings_.current()).maximumCups();
    const auto moment =
        data_.current().transaction().state().ledger.pendingMoment(day, now, maximumCups);
    if (moment && data_.markShown(*moment, day))
        feedback.moment = moment;
    setFeedback(feedback);

    data_.current().pushToCloud();
    restartFeedbackTimer();
}

void RozivTally::undo() {
    std::optional<WorkdayID> day;
    try {
        day = countingDay();
    } catch (const DomainError&) {
        // With the clock behind the ledger the latest recorded day is still the one to correct.
        day = CountingDayResolver::latestWorkday(data_.current().transaction().state().ledger);
    }
    if (!day || !data_.current().transaction().undoLatestGroup(*day))
        return;
    data_.current().pushToCloud();
    setFeedback(RozivFeedback{0, feedback_.revision, std::nullopt});
    if (onDrinksChanged)
        onDrinksChanged();
}

void RozivTally::resetFeedback() {
    feedback_ = RozivFeedback{};
    emit feedbackChanged();
}

void RozivTally::setFeedback(const RozivFeedback& feedback) {
    if (feedback == feedback_)
        return;
    feedback_ = feedback;
    emit feedbackChanged();
}

void RozivTally::restartFeedbackTimer() {
    feedbackTask_.cancel();
    feedbackTask_ =
        DewlightPlatform::spawnWeak(self_.weak(), [&clock = clock_](auto owner, auto token) {
            return clearFeedbackLater(std::move(owner), std::move(token), clock);
        });
}

QCoro::Task<void> RozivTally::clearFeedbackLater(std::weak_ptr<RozivTally> owner, CancelToken token,
                                                 DewlightPlatform::Clock& clock) {
    QCoro::Task<bool> sleeping = clock.sleep(feedbackSeconds, std::move(token));
    if (!co_await sleeping)
        co_return;
    const auto tally = owner.lock();
    if (!tally)
        co_return;
    tally->setFeedback(RozivFeedback{0, tally->feedback_.revision, std::nullopt});
    if (tally->onFeedbackCleared)
        tally->onFeedbackCleared();
}

} // namespace DewlightApp
