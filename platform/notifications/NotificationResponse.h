#pragma once

#include "platform/notifications/NotificationRequest.h"

#include <string>

namespace DewlightPlatform {

// What the user chose on a delivered notification.
struct NotificationResponse {
    // The identifier of the request that was answered.
    std::string requestIdentifier;
    // One of the category's action identifiers, or defaultActionIdentifier for a click on the
    // notification itself.
    std::string actionIdentifier;
    NotificationUserInfo userInfo;

    bool operator==(const NotificationResponse&) const = default;
};

// The action of clicking the notification itself rather than one of its buttons.
inline constexpr const char* defaultActionIdentifier = "default";

} // namespace DewlightPlatform
