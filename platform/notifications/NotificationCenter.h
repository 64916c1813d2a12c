#pragma once

// The notification centre as the application uses it: authorization, categories, pending
// requests and the responses to them.

#include "platform/notifications/NotificationCategory.h"
#include "platform/notifications/NotificationRequest.h"
#include "platform/notifications/NotificationResponse.h"

#include <QCoro/QCoroTask>
#include <functional>
#include <string>
#include <vector>

namespace DewlightPlatform {

// The authorization as the centre reports it. The raw value is kept as given: a centre may answer
// a value not named here, which callers must treat as not authorized.
enum class NotificationAuthorizationStatus : int {
    notDetermined = 0,
    denied = 1,
    authorized = 2,
    provisional = 3,
    ephemeral = 4,
};

// The desktop's notification centre as the application uses it: requests wait in the centre
// until their calendar trigger fires, then they are delivered (shown) until removed or closed.
// All calls run on the main thread. Asynchronous calls resume their caller on the main thread.
class NotificationCenter {
public:
    // Receives the user's answer to a delivered notification. The answer counts as handled once
    // the returned task ends.
    using ResponseHandler = std::function<QCoro::Task<void>(NotificationResponse)>;
    // Told whether due reminders are held back: true once a due request could not be shown for
    // want of a notification service, false once none is held any more. Called on a later turn,
    // only when the answer changes.
    using DeliveryFailureHandler = std::function<void(bool held)>;

    virtual ~NotificationCenter() = default;

    // Replaces the whole set of categories.
    virtual void setCategories(std::vector<NotificationCategory> categories) = 0;
    // Replaces the handler; without one, answers are dropped.
    virtual void setResponseHandler(ResponseHandler handler) = 0;
    // Replaces the handler; without one, held reminders go unreported (they are still kept).
    virtual void setDeliveryFailureHandler(DeliveryFailureHandler handler) = 0;

    virtual QCoro::Task<NotificationAuthorizationStatus> authorizationStatus() = 0;
    // Asks for permission to show alerts (no sound, no badge). Answers whether it was granted;
    // throws NotificationError when the question could not be put or was not answered.
    virtual QCoro::Task<bool> requestAlertAuthorization() = 0;

    // The requests not yet delivered, in the centre's order (the order they were first added;
    // a replacement keeps its place).
    virtual QCoro::Task<std::vector<NotificationRequest>> pendingRequests() = 0;
    // Unknown identifiers are ignored; an empty list removes nothing.
    virtual void removePending(const std::vector<std::string>& identifiers) = 0;
    virtual void removeAllPending() = 0;
    // Withdraws every delivered notification from the screen and the centre.
    virtual void removeAllDelivered() = 0;

    // Schedules `request`, replacing a pending request with the same identifier. Throws
    // NotificationError when the request is refused.
    virtual QCoro::Task<void> add(NotificationRequest request) = 0;

    // Opens the desktop's own notification settings. Answers false when there is none to open.
    virtual bool openNotificationSettings() = 0;
};

} // namespace DewlightPlatform
