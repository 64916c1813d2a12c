#pragma once

#include "core/NotificationPermission.h"
#include "core/PlannedReminder.h"
#include "core/ReminderPayload.h"
#include "platform/calendar/Calendar.h"
#include "platform/localization/Localizer.h"
#include "platform/notifications/NotificationCenter.h"
#include "reminders/NotificationInbox.h"
#include "reminders/ReminderBackend.h"

#include <QCoro/QCoroTask>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace DewlightReminders {

// The one place that talks to the notification centre: registers the reminder category with
// its three buttons, reads and asks for the authorization, turns planned reminders into silent
// calendar-triggered requests, lists and removes pending ones, and hands the user's answers to
// the inbox.
class ReminderService final : public ReminderBackend {
public:
    // The user's current calendar, read each time a request is built (the zone may change).
    using CalendarSource = std::function<DewlightPlatform::Calendar()>;

    static constexpr const char* categoryID = "roziv.actions.v1";
    static constexpr const char* payloadKey = "roziv.payload";
    static constexpr const char* title = "Dewlight";

    // Registers the category as the centre's only one and becomes the centre's answer handler.
    ReminderService(std::shared_ptr<DewlightPlatform::NotificationCenter> center,
                    std::shared_ptr<const DewlightPlatform::Localizer> localizer,
                    CalendarSource calendar);
    // Stops taking answers: the centre drops those that come later.
    ~ReminderService() override;
    ReminderService(const ReminderService&) = delete;
    ReminderService& operator=(const ReminderService&) = delete;

    // For the model's bulk removals (all pending, all delivered).
    DewlightPlatform::NotificationCenter& center() const { return *center_; }
    NotificationInbox& inbox() const { return *inbox_; }

    static DewlightCore::NotificationPermission
    permissionFor(DewlightPlatform::NotificationAuthorizationStatus status);
    QCoro::Task<DewlightCore::NotificationPermission> permission();
    // Asks for alerts only. The answer is not returned (read permission() again); a failure is
    // logged and swallowed.
    QCoro::Task<void> requestAuthorization();

    QCoro::Task<std::vector<DewlightCore::ReminderPayload>> pendingPayloads() override;
    void removePending(
        const std::vector<DewlightCore::Identity<DewlightCore::ReminderTag>>& reminders) override;
    // Throws DewlightPlatform::NotificationError when the centre refuses the request.
    QCoro::Task<void> post(const DewlightCore::PlannedReminder& reminder) override;

    // The request a planned reminder becomes.
    DewlightPlatform::NotificationRequest
    request(const DewlightCore::PlannedReminder& reminder) const;
    // The payload a request or answer carries; none when it has none that decodes.
    static std::optional<DewlightCore::ReminderPayload>
    payloadIn(const DewlightPlatform::NotificationUserInfo& userInfo);

    // A button answer with a readable payload goes to the inbox, and this returns once the
    // model has handled it; anything else (a click on the notification itself) ends at once.
    static QCoro::Task<void> handleResponse(std::shared_ptr<NotificationInbox> inbox,
                                            DewlightPlatform::NotificationResponse response);

private:
    std::shared_ptr<DewlightPlatform::NotificationCenter> center_;
    std::shared_ptr<const DewlightPlatform::Localizer> localizer_;
    CalendarSource calendar_;
    std::shared_ptr<NotificationInbox> inbox_;
};

// The localisation key of a phrase's sentence.
const char* phraseText(DewlightCore::ReminderPhrase phrase);
// The second line of a reminder that comes exactly an hour after the last drink.
inline constexpr const char* oneHourLine = "It has been an hour since your last drink.";

} // namespace DewlightReminders
