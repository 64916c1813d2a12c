#include "reminders/ReminderReconciler.h"

#include <algorithm>
#include <exception>
#include <set>
#include <utility>

namespace DewlightReminders {

using DewlightCore::Identity;
using DewlightCore::ReminderPayload;
using DewlightCore::ReminderTag;

ReminderReconciler::ReminderReconciler(std::shared_ptr<ReminderBackend> backend)
    : state_(std::make_shared<State>()) {
    state_->backend = std::move(backend);
}

QCoro::Task<std::optional<ConfirmedPlan>>
ReminderReconciler::reconcile(DewlightCore::ReminderPlan plan, CurrencyGuard isCurrent) {
    const auto mark = ++state_->revision;
    return pass(state_, state_->backend, mark, std::move(plan), std::move(isCurrent));
}

QCoro::Task<std::optional<ConfirmedPlan>>
ReminderReconciler::pass(std::weak_ptr<State> state, std::shared_ptr<ReminderBackend> backend,
                         std::uint64_t mark, DewlightCore::ReminderPlan plan,
                         CurrencyGuard isCurrent) {
    const auto current = [&] {
        const auto strong = state.lock();
        return strong && strong->revision == mark && isCurrent();
    };

    QCoro::Task<std::vector<ReminderPayload>> listing = backend->pendingPayloads();
    const std::vector<ReminderPayload> before = co_await listing;
    if (!current())
        co_return std::nullopt;

    std::set<Identity<ReminderTag>> planned;
    for (const auto& item : plan.items)
        planned.insert(item.payload.reminder());
    std::vector<Identity<ReminderTag>> stale;
    for (const auto& payload : before)
        if (!planned.contains(payload.reminder()))
            stale.push_back(payload.reminder());
    backend->removePending(stale);

    bool failed = false;
    for (const auto& item : plan.items) {
        if (!current())
            co_return std::nullopt;
        try {
            QCoro::Task<void> posting = backend->post(item);
            co_await posting;
        } catch (const std::exception&) {
            // One refused reminder must not keep the others from being scheduled.
            failed = true;
        }
    }

    QCoro::Task<std::vector<ReminderPayload>> relisting = backend->pendingPayloads();
    const std::vector<ReminderPayload> after = co_await relisting;
    if (!current())
        co_return std::nullopt;

    // The whole payload must match: a pending request with the same identity but of an older
    // generation or account is not this plan's reminder.
    ConfirmedPlan confirmed;
    for (const auto& item : plan.items) {
        if (std::find(after.begin(), after.end(), item.payload) == after.end())
            continue;
        ++confirmed.accepted;
        if (!confirmed.next || item.payload.scheduledAt() < *confirmed.next)
            confirmed.next = item.payload.scheduledAt();
    }
    confirmed.failed = failed || confirmed.accepted != static_cast<long long>(plan.items.size());
    co_return confirmed;
}

} // namespace DewlightReminders
