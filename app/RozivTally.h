#pragma once

#include "core/Date.h"
#include "core/DrinkKind.h"
#include "core/PanelMoment.h"
#include "core/ReminderPayload.h"
#include "core/WorkdayID.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Job.h"
#include "platform/runtime/WeakOwner.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace DewlightStorage {
class RozivData;
class RozivPreferences;
} // namespace DewlightStorage

namespace DewlightApp {

// What the panel shows for a moment after a click: how many clicks the group just recorded has,
// and the once-a-day remark that came due with it.
struct RozivFeedback {
    // Clicks of the group last recorded from the panel; 0 while nothing is shown.
    std::int64_t addition = 0;
    // Raised by every click recorded from the panel, so the panel replays its feedback even when
    // `addition` repeats.
    std::int64_t revision = 0;
    std::optional<DewlightCore::PanelMoment> moment;

    bool operator==(const RozivFeedback&) const = default;
};

// The application's hand on the drink ledger: records clicks from the panel and from reminder
// actions, undoes the latest click group, says which working day counts, and keeps the short
// feedback of the last click, cleared `feedbackSeconds` after it.
//
// Every change goes through the current account's guarded transaction, so a click that races an
// account switch, an erase or a merge is dropped rather than written into the wrong ledger.
// Main thread only. Its timer and its suspended recordings hold it weakly, through its own
// WeakOwner.
class RozivTally final : public QObject {
    Q_OBJECT
public:
    using CalendarSource = std::function<DewlightCore::Calendar()>;

    static constexpr double feedbackSeconds = 3.0;

    // `data`, `settings` and `clock` must outlive the tally; `calendar` gives the user's calendar
    // at the moment of asking.
    static std::unique_ptr<RozivTally> make(DewlightStorage::RozivData& data,
                                            DewlightStorage::RozivPreferences& settings,
                                            DewlightPlatform::Clock& clock,
                                            CalendarSource calendar);
    ~RozivTally() override;

    // Records one click: a cup for "A glass", a sip for "A sip". With a payload the click is a
    // reminder's action, applied at most once per reminder and only while the payload still
    // describes the present. Snapshots the data now and goes on on a later turn; a reload, an
    // account switch or an erase in between makes it record nothing. Never throws: a refusal
    // leaves everything as it was or leaves its reason in the transaction's `issue`.
    QCoro::Task<void> record(DewlightCore::DrinkKind kind,
                             std::optional<DewlightCore::ReminderPayload> payload = std::nullopt);
    // Takes back the latest click group of the counting day, or, while the counting day cannot
    // be resolved, of the ledger's latest day.
    void undo();
    // The working day that counts now. Throws DomainError (the clock went back below the ledger,
    // the day is discarded, no date found).
    DewlightCore::WorkdayID countingDay() const;

    const RozivFeedback& feedback() const { return feedback_; }
    // Back to nothing shown and revision 0, after an erase; always announced.
    void resetFeedback();
    // Stops the running feedback timer, for shutdown; the feedback stays as it is.
    void cancelFeedbackTimer() const { feedbackTask_.cancel(); }
    // The running (or last) feedback timer.
    const DewlightPlatform::Job& feedbackTask() const { return feedbackTask_; }

    // Called after the ledger changed through the tally.
    std::function<void()> onDrinksChanged;
    // Called when the feedback timer cleared the feedback.
    std::function<void()> onFeedbackCleared;

signals:
    // The feedback changed (sent only for a real change, except by resetFeedback).
    void feedbackChanged();

private:
    struct Snapshot;

    RozivTally(DewlightStorage::RozivData& data, DewlightStorage::RozivPreferences& settings,
               DewlightPlatform::Clock& clock, CalendarSource calendar);

    static QCoro::Task<void> recordLater(std::weak_ptr<RozivTally> owner, Snapshot snapshot,
                                         DewlightCore::DrinkKind kind,
                                         std::optional<DewlightCore::ReminderPayload> payload);
    void commitDrink(const Snapshot& snapshot, DewlightCore::DrinkKind kind,
                     const std::optional<DewlightCore::ReminderPayload>& payload);
    void restartFeedbackTimer();
    static QCoro::Task<void> clearFeedbackLater(std::weak_ptr<RozivTally> owner,
                                                DewlightPlatform::CancelToken token,
                                                DewlightPlatform::Clock& clock);
    void setFeedback(const RozivFeedback& feedback);

    DewlightStorage::RozivData& data_;
    DewlightStorage::RozivPreferences& settings_;
    DewlightPlatform::Clock& clock_;
    CalendarSource calendar_;
    RozivFeedback feedback_;
    DewlightPlatform::Job feedbackTask_;
    DewlightPlatform::WeakOwner<RozivTally> self_{this};
};

} // namespace DewlightApp
