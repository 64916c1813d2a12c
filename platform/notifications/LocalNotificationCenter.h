#pragma once

#include "platform/notifications/NotificationCenter.h"
#include "platform/notifications/NotificationError.h"
#include "platform/runtime/Wakeup.h"

#include <cstddef>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace DewlightPlatform {

// An in-memory centre for tests. Nothing fires by itself: the test delivers and answers. Every
// call is written to log() when it is made, as its name followed by the identifiers it names
// ("add roziv.1", "removePending a b").
class LocalNotificationCenter final : public NotificationCenter {
public:
    // The calls a gate can hold.
    enum class Gated { pendingRequests, add, requestAlertAuthorization };

    LocalNotificationCenter() = default;
    // Held calls end as if the service had gone: add and requestAlertAuthorization throw,
    // pendingRequests answers nothing.
    ~LocalNotificationCenter() override;

    void setCategories(std::vector<NotificationCategory> categories) override;
    void setResponseHandler(ResponseHandler handler) override;
    void setDeliveryFailureHandler(DeliveryFailureHandler handler) override;
    QCoro::Task<NotificationAuthorizationStatus> authorizationStatus() override;
    QCoro::Task<bool> requestAlertAuthorization() override;
    QCoro::Task<std::vector<NotificationRequest>> pendingRequests() override;
    void removePending(const std::vector<std::string>& identifiers) override;
    void removeAllPending() override;
    void removeAllDelivered() override;
    QCoro::Task<void> add(NotificationRequest request) override;
    bool openNotificationSettings() override;

    // Scripting.
    void setAuthorizationStatus(NotificationAuthorizationStatus status) { status_ = status; }
    // What the user answers to the next requests; granting sets the status to authorized,
    // refusing to denied. Granted unless told otherwise.
    void setAuthorizationAnswer(bool granted) { grants_ = granted; }
    // The next authorization request throws `failure` and leaves the status as it was.
    void failNextAuthorizationRequest(
        NotificationFailure failure = NotificationFailure::serviceUnavailable);
    // The next add throws `failure` (each call queues one more failing add).
    void failNextAdd(NotificationFailure failure = NotificationFailure::serviceUnavailable);
    // Every add of `identifier` throws serviceUnavailable until cleared.
    void failAddsOf(std::string identifier) { refused_.insert(std::move(identifier)); }
    void clearFailures();
    void setSettingsAvailable(bool available) { settingsAvailable_ = available; }
    // Reports due reminders held back for want of a service (or no longer held) to the delivery
    // failure handler at once, as the live centre does on a later turn.
    void reportDeliveryHeld(bool held);

    // Gates: a closed gate holds every call of its kind until released. A held call does its
    // work when it resumes, on the state of that moment.
    void hold(Gated call);
    // Opens the gate and resumes the held calls in the order they were made, on later turns.
    void release(Gated call);
    std::size_t heldCalls(Gated call) const;

    // Moves the pending request `identifier` to the delivered list, as its trigger would.
    // Answers false when no such request is pending.
    bool deliver(const std::string& identifier);
    // Answers a delivered (or, failing that, pending) request as the user would, and returns the
    // handler's task; without a handler the task ends at once. Throws std::invalid_argument for an
    // identifier the centre does not hold.
    QCoro::Task<void> respond(std::string identifier, std::string actionIdentifier);

    const std::vector<NotificationRequest>& pending() const { return pending_; }
    const std::vector<NotificationRequest>& delivered() const { return delivered_; }
    const std::vector<NotificationCategory>& categories() const { return categories_; }
    bool hasResponseHandler() const { return static_cast<bool>(handler_); }
    int settingsOpened() const { return settingsOpened_; }
    const std::vector<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }

private:
    struct Gate {
        bool closed = false;
        std::vector<Wakeup> held;
    };
    Gate& gate(Gated call) { return gates_[call]; }
    // Suspends while the gate is closed; false when the centre went away meanwhile.
    static QCoro::Task<bool> pass(Gate& gate);
    void record(std::string entry) { log_.push_back(std::move(entry)); }
    void apply(NotificationRequest request);

    NotificationAuthorizationStatus status_ = NotificationAuthorizationStatus::notDetermined;
    bool grants_ = true;
    std::deque<NotificationFailure> authorizationFailures_;
    std::deque<NotificationFailure> addFailures_;
    std::set<std::string> refused_;
    bool settingsAvailable_ = true;
    int settingsOpened_ = 0;
    std::map<Gated, Gate> gates_;
    std::vector<NotificationCategory> categories_;
    ResponseHandler handler_;
    DeliveryFailureHandler deliveryFailureHandler_;
    std::vector<NotificationRequest> pending_;
    std::vector<NotificationRequest> delivered_;
    std::vector<std::string> log_;
};

} // namespace DewlightPlatform
