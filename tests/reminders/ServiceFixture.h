#pragma once

#include "platform/calendar/Calendar.h"
#include "platform/localization/Localizer.h"
#include "platform/notifications/LocalNotificationCenter.h"
#include "reminders/ReminderService.h"

#include <memory>
#include <string>

namespace DewlightRemindersTesting {

// The service over a local centre, with the shipped English texts and a Berlin calendar.
struct ServiceFixture {
    std::shared_ptr<DewlightPlatform::LocalNotificationCenter> center =
        std::make_shared<DewlightPlatform::LocalNotificationCenter>();
    std::shared_ptr<const DewlightPlatform::Localizer> english =
        std::make_shared<DewlightPlatform::Localizer>(DewlightPlatform::englishStrings(), "en_US");
    std::string zone = "Europe/Berlin";
    std::shared_ptr<DewlightReminders::ReminderService> service =
        std::make_shared<DewlightReminders::ReminderService>(
            center, english, [this] { return DewlightPlatform::Calendar::gregorian(zone); });
};

} // namespace DewlightRemindersTesting
