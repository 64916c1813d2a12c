#pragma once

#include "core/ReminderPlan.h"
#include "reminders/ConfirmedPlan.h"
#include "reminders/ReminderBackend.h"

#include <QCoro/QCoroTask>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace DewlightReminders {

// Brings the notification centre in line with a plan in one pass: removes the pending reminders
// that are no longer planned, posts every planned one, and reads the centre back to confirm what
// is really pending.
//
// A pass is several awaits long. It is abandoned, with no result and no further call on the
// centre, as soon as a newer pass has started (or the owner raised the revision to cancel it),
// or the caller's currency check fails: checked after each listing and before each post.
class ReminderReconciler {
public:
    // The caller's check that the account data the plan was made from is still the data in
    // force (the same revision and account, and the account data still current).
    using CurrencyGuard = std::function<bool()>;

    explicit ReminderReconciler(std::shared_ptr<ReminderBackend> backend);

    std::uint64_t revision() const { return state_->revision; }
    // Supersedes a running pass: it stops at its next check.
    void raiseRevision() { ++state_->revision; }

    // None when the pass was superseded (nothing is to be stored).
    QCoro::Task<std::optional<ConfirmedPlan>> reconcile(DewlightCore::ReminderPlan plan,
                                                        CurrencyGuard isCurrent);

private:
    // Shared with running passes, which hold it weakly: a pass whose reconciler is gone after a
    // suspension ends as superseded.
    struct State {
        std::shared_ptr<ReminderBackend> backend;
        std::uint64_t revision = 0;
    };

    static QCoro::Task<std::optional<ConfirmedPlan>>
    pass(std::weak_ptr<State> state, std::shared_ptr<ReminderBackend> backend, std::uint64_t mark,
         DewlightCore::ReminderPlan plan, CurrencyGuard isCurrent);

    std::shared_ptr<State> state_;
};

} // namespace DewlightReminders
