#include "reminders/NotificationInbox.h"

#include "platform/runtime/Log.h"

#include <exception>
#include <utility>

namespace DewlightReminders {

namespace {

// Awaits one answer's work; a failure ends in the log, never at the caller.
QCoro::Task<void> settle(QCoro::Task<void> work) {
    try {
        co_await work;
    } catch (const std::exception& error) {
        qCWarning(DewlightPlatform::systemLog(), "reminder action failed: %s", error.what());
    } catch (...) {
        qCWarning(DewlightPlatform::systemLog(), "reminder action failed");
    }
}

struct Replay {
    QCoro::Task<void> work;
    DewlightPlatform::Wakeup completed;
};

QCoro::Task<void> replay(std::vector<Replay> entries) {
    for (auto& entry : entries) {
        QCoro::Task<void> settling = settle(std::move(entry.work));
        co_await settling;
        entry.completed.fire(true);
    }
}

} // namespace

QCoro::Task<void> NotificationInbox::receive(DewlightCore::ReminderPayload payload,
                                             DewlightCore::ReminderAction action) {
    if (handler_) {
        // Copied: the handler may be replaced while this answer's work is still running.
        const Handler handler = handler_;
        QCoro::Task<void> settling = settle(handler(std::move(payload), action));
        co_await settling;
        co_return;
    }
    const DewlightPlatform::Wakeup completed;
    waiting_.push_back(Waiting{std::move(payload), action, completed});
    co_await completed;
}

void NotificationInbox::installHandler(Handler handler) {
    handler_ = std::move(handler);
    auto taken = std::exchange(waiting_, {});
    if (taken.empty())
        return;
    std::vector<Replay> entries;
    entries.reserve(taken.size());
    for (auto& parked : taken)
        entries.push_back(Replay{handler_(std::move(parked.payload), parked.action),
                                 std::move(parked.completed)});
    // Runs on by itself: a QCoro task keeps going when its handle is dropped.
    QCoro::Task<void> running = replay(std::move(entries));
    (void)running;
}

} // namespace DewlightReminders
