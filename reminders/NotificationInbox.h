#pragma once

#include "core/ReminderAction.h"
#include "core/ReminderPayload.h"
#include "platform/runtime/Wakeup.h"

#include <QCoro/QCoroTask>
#include <cstddef>
#include <functional>
#include <vector>

namespace DewlightReminders {

// Holds the answers to reminders until the application model can act on them. The system may
// start the application because of a click on a reminder button, so an answer can arrive before
// the model has installed its handler: it is parked, and its caller stays suspended until the
// answer has been handled. From then on answers go straight to the handler.
class NotificationInbox {
public:
    using Handler = std::function<QCoro::Task<void>(DewlightCore::ReminderPayload,
                                                    DewlightCore::ReminderAction)>;

    // One parked answer; `completed` fires once it has been handled.
    struct Waiting {
        DewlightCore::ReminderPayload payload;
        DewlightCore::ReminderAction action;
        DewlightPlatform::Wakeup completed;
    };

    NotificationInbox() = default;
    NotificationInbox(const NotificationInbox&) = delete;
    NotificationInbox& operator=(const NotificationInbox&) = delete;

    // Returns once the handler has handled the answer: at once through the handler when one is
    // installed, otherwise after installation replayed it. A handler that fails still completes
    // the answer (the failure is logged): the caller must always be able to finish.
    QCoro::Task<void> receive(DewlightCore::ReminderPayload payload,
                              DewlightCore::ReminderAction action);

    // Sets the handler (replacing a previous one) and replays the parked answers in arrival
    // order. The handler is called for every parked answer right here, before this returns, so
    // that an answer arriving later cannot be queued ahead of them; each parked caller resumes
    // once its own answer's work has ended. The handler therefore has to run its work one piece
    // at a time itself (the model's serial queue does).
    void installHandler(Handler handler);

    bool hasHandler() const { return static_cast<bool>(handler_); }
    std::size_t waitingCount() const { return waiting_.size(); }

private:
    std::vector<Waiting> waiting_;
    Handler handler_;
};

} // namespace DewlightReminders
