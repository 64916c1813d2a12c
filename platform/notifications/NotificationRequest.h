#pragma once

#include <QByteArray>
#include <map>
#include <string>
#include <variant>

namespace DewlightPlatform {

// A value a request carries for whoever answers it: opaque bytes or UTF-8 text.
using NotificationUserInfoValue = std::variant<QByteArray, std::string>;
using NotificationUserInfo = std::map<std::string, NotificationUserInfoValue>;

// When a request fires: once, at one moment of the calendar. The components say which wall time
// it was planned for (in `timeZone`); `instant` is that moment exactly, in seconds since
// 2001-01-01 00:00:00 UTC, and is what the centre fires on.
struct CalendarTrigger {
    int year = 2001;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::string timeZone;
    double instant = 0;

    bool operator==(const CalendarTrigger&) const = default;
};

// One local notification, silent (no sound, no badge). A request added with the identifier of a
// pending one replaces it.
struct NotificationRequest {
    std::string identifier;
    std::string title;
    std::string body;
    std::string categoryIdentifier;
    NotificationUserInfo userInfo;
    CalendarTrigger trigger;

    bool operator==(const NotificationRequest&) const = default;
};

} // namespace DewlightPlatform
