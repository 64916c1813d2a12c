#include "platform/notifications/LocalNotificationCenter.h"

#include <algorithm>
#include <stdexcept>

namespace DewlightPlatform {

namespace {

std::string entry(std::string name, const std::vector<std::string>& identifiers) {
    for (const auto& identifier : identifiers) {
        name += ' ';
        name += identifier;
    }
    return name;
}

} // namespace

LocalNotificationCenter::~LocalNotificationCenter() {
    for (auto& [call, gate] : gates_) {
        for (const auto& wakeup : gate.held) {
            wakeup.fire(false);
        }
    }
}

void LocalNotificationCenter::setCategories(std::vector<NotificationCategory> categories) {
    std::vector<std::string> identifiers;
    for (const auto& category : categories) {
        identifiers.push_back(category.identifier);
    }
    record(entry("setCategories", identifiers));
    categories_ = std::move(categories);
}

void LocalNotificationCenter::setResponseHandler(ResponseHandler handler) {
    record("setResponseHandler");
    handler_ = std::move(handler);
}

void LocalNotificationCenter::setDeliveryFailureHandler(DeliveryFailureHandler handler) {
    record("setDeliveryFailureHandler");
    deliveryFailureHandler_ = std::move(handler);
}

QCoro::Task<NotificationAuthorizationStatus> LocalNotificationCenter::authorizationStatus() {
    record("authorizationStatus");
    co_return status_;
}

QCoro::Task<bool> LocalNotificationCenter::requestAlertAuthorization() {
    record("requestAlertAuthorization");
    QCoro::Task<bool> passing = pass(gate(Gated::requestAlertAuthorization));
    if (!co_await passing) {
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    if (!authorizationFailures_.empty()) {
        const auto failure = authorizationFailures_.front();
        authorizationFailures_.pop_front();
        throw NotificationError(failure);
    }
    status_ = grants_ ? NotificationAuthorizationStatus::authorized
                      : NotificationAuthorizationStatus::denied;
    co_return grants_;
}

QCoro::Task<std::vector<NotificationRequest>> LocalNotificationCenter::pendingRequests() {
    record("pendingRequests");
    // Tasks are awaited as named values: GCC 12 mishandles temporaries in co_await expressions.
    QCoro::Task<bool> passing = pass(gate(Gated::pendingRequests));
    if (!co_await passing) {
        co_return std::vector<NotificationRequest>{};
    }
    // A copy made here: QCoro 0.8 moves from a plain lvalue given to co_return, which would
    // empty the pending list on every listing.
    co_return std::vector<NotificationRequest>(pending_);
}

void LocalNotificationCenter::removePending(const std::vector<std::string>& identifiers) {
    record(entry("removePending", identifiers));
    std::erase_if(pending_, [&](const NotificationRequest& request) {
        return std::find(identifiers.begin(), identifiers.end(), request.identifier) !=
               identifiers.end();
    });
}

void LocalNotificationCenter::removeAllPending() {
    record("removeAllPending");
    pending_.clear();
}

void LocalNotificationCenter::removeAllDelivered() {
    record("removeAllDelivered");
    delivered_.clear();
}

QCoro::Task<void> LocalNotificationCenter::add(NotificationRequest request) {
    record(entry("add", {request.identifier}));
    QCoro::Task<bool> passing = pass(gate(Gated::add));
    if (!co_await passing) {
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    if (!addFailures_.empty()) {
        const auto failure = addFailures_.front();
        addFailures_.pop_front();
        throw NotificationError(failure);
    }
    if (refused_.contains(request.identifier)) {
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    apply(std::move(request));
}

void LocalNotificationCenter::apply(NotificationRequest request) {
    const auto same = std::find_if(pending_.begin(), pending_.end(), [&](const auto& pending) {
        return pending.identifier == request.identifier;
    });
    if (same != pending_.end()) {
        *same = std::move(request);
    } else {
        pending_.push_back(std::move(request));
    }
}

bool LocalNotificationCenter::openNotificationSettings() {
    record("openNotificationSettings");
    if (!settingsAvailable_) {
        return false;
    }
    ++settingsOpened_;
    return true;
}

void LocalNotificationCenter::failNextAuthorizationRequest(NotificationFailure failure) {
    authorizationFailures_.push_back(failure);
}

void LocalNotificationCenter::failNextAdd(NotificationFailure failure) {
    addFailures_.push_back(failure);
}

void LocalNotificationCenter::reportDeliveryHeld(bool held) {
    if (deliveryFailureHandler_) {
        deliveryFailureHandler_(held);
    }
}

void LocalNotificationCenter::clearFailures() {
    authorizationFailures_.clear();
    addFailures_.clear();
    refused_.clear();
}

void LocalNotificationCenter::hold(Gated call) {
    gate(call).closed = true;
}

void LocalNotificationCenter::release(Gated call) {
    auto& held = gate(call);
    held.closed = false;
    auto wakeups = std::move(held.held);
    held.held.clear();
    for (const auto& wakeup : wakeups) {
        wakeup.fire(true);
    }
}

std::size_t LocalNotificationCenter::heldCalls(Gated call) const {
    const auto found = gates_.find(call);
    return found == gates_.end() ? 0 : found->second.held.size();
}

QCoro::Task<bool> LocalNotificationCenter::pass(Gate& gate) {
    if (!gate.closed) {
        co_return true;
    }
    Wakeup wakeup;
    gate.held.push_back(wakeup);
    // The gate may be gone once this resumes: only the wake-up's answer is read.
    const bool released = co_await wakeup;
    co_return released;
}

bool LocalNotificationCenter::deliver(const std::string& identifier) {
    const auto found = std::find_if(pending_.begin(), pending_.end(), [&](const auto& request) {
        return request.identifier == identifier;
    });
    if (found == pending_.end()) {
        return false;
    }
    // A delivery replaces a delivered notification of the same identifier, as on screen.
    std::erase_if(delivered_,
                  [&](const auto& request) { return request.identifier == identifier; });
    delivered_.push_back(std::move(*found));
    pending_.erase(found);
    return true;
}

QCoro::Task<void> LocalNotificationCenter::respond(std::string identifier,
                                                   std::string actionIdentifier) {
    const auto byIdentifier = [&](const NotificationRequest& request) {
        return request.identifier == identifier;
    };
    const NotificationRequest* answered = nullptr;
    if (auto found = std::find_if(delivered_.begin(), delivered_.end(), byIdentifier);
        found != delivered_.end()) {
        answered = &*found;
    } else if (auto waiting = std::find_if(pending_.begin(), pending_.end(), byIdentifier);
               waiting != pending_.end()) {
        answered = &*waiting;
    } else {
        throw std::invalid_argument("no notification with the identifier " + identifier);
    }
    if (!handler_) {
        co_return;
    }
    // The handler is copied: it may replace itself while it runs.
    const ResponseHandler handler = handler_;
    // A named value: GCC 12 destroys a braced temporary inside a co_await expression twice.
    NotificationResponse response{identifier, std::move(actionIdentifier), answered->userInfo};
    QCoro::Task<void> handled = handler(std::move(response));
    co_await handled;
}

} // namespace DewlightPlatform
