#pragma once

#include "platform/notifications/NotificationCategory.h"
#include "platform/notifications/NotificationRequest.h"

#include <string>

// Requests shaped as the reminders layer makes them.
inline DewlightPlatform::NotificationCategory reminderCategory() {
    return {"roziv.actions.v1",
            {{"cup", "A glass"}, {"sip", "A sip"}, {"postpone", "In 15 minutes"}}};
}

inline DewlightPlatform::NotificationRequest reminder(std::string identifier, double instant,
                                                      std::string body = "Time for some water.") {
    DewlightPlatform::NotificationRequest request;
    request.identifier = identifier;
    request.title = "Dewlight";
    request.body = std::move(body);
    request.categoryIdentifier = "roziv.actions.v1";
    request.userInfo = {
        {"roziv.payload", QByteArray::fromStdString("{\"for\":\"" + identifier + "\"}")}};
    request.trigger.instant = instant;
    request.trigger.timeZone = "UTC";
    return request;
}
