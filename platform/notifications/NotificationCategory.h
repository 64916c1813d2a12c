#pragma once

#include <string>
#include <vector>

namespace DewlightPlatform {

// A button on a notification: the identifier comes back in the response, the title is shown.
struct NotificationAction {
    std::string identifier;
    std::string title;

    bool operator==(const NotificationAction&) const = default;
};

// The buttons a request of this category offers, in the order shown.
struct NotificationCategory {
    std::string identifier;
    std::vector<NotificationAction> actions;

    bool operator==(const NotificationCategory&) const = default;
};

} // namespace DewlightPlatform
