#include "reminders/ReminderService.h"

#include "core/Json.h"
#include "core/ReminderAction.h"
#include "core/Versioned.h"
#include "platform/notifications/NotificationError.h"
#include "platform/runtime/Log.h"

#include <exception>
#include <utility>

namespace DewlightReminders {

using DewlightCore::NotificationPermission;
using DewlightCore::ReminderAction;
using DewlightCore::ReminderPayload;
using DewlightCore::ReminderPhrase;
using DewlightCore::Versioned;
using DewlightPlatform::NotificationAuthorizationStatus;
using DewlightPlatform::NotificationError;
using DewlightPlatform::NotificationFailure;
using DewlightPlatform::NotificationRequest;
using DewlightPlatform::NotificationResponse;

const char* phraseText(ReminderPhrase phrase) {
    switch (phrase) {
    case ReminderPhrase::timeForRoziv:
        return "Time for some water.";
    case ReminderPhrase::smallPause:
        return "A short pause for water.";
    case ReminderPhrase::aSipCounts:
        return "Even a sip counts.";
    case ReminderPhrase::rozivMoment:
        return "Take a moment for water.";
    case ReminderPhrase::weekComplete:
        return "A little water before the weekend.";
    }
    return "Time for some water.";
}

ReminderService::ReminderService(std::shared_ptr<DewlightPlatform::NotificationCenter> center,
                                 std::shared_ptr<const DewlightPlatform::Localizer> localizer,
                                 CalendarSource calendar)
    : center_(std::move(center)), localizer_(std::move(localizer)), calendar_(std::move(calendar)),
      inbox_(std::make_shared<NotificationInbox>()) {
    center_->setResponseHandler([inbox = std::weak_ptr<NotificationInbox>(inbox_)](
                                    NotificationResponse response) -> QCoro::Task<void> {
        // Held for the answer's whole wait: a parked answer keeps its inbox.
        const auto strong = inbox.lock();
        if (!strong)
            co_return;
        QCoro::Task<void> handling = handleResponse(strong, std::move(response));
        co_await handling;
    });
    std::vector<DewlightPlatform::NotificationAction> actions;
    for (const auto& [action, key] :
         {std::pair{ReminderAction::cup, "A glass"}, std::pair{ReminderAction::sip, "A sip"},
          std::pair{ReminderAction::postpone, "In 15 minutes"}})
        actions.push_back({std::string(rawValue(action)), localizer_->text(key)});
    center_->setCategories({{categoryID, std::move(actions)}});
}

ReminderService::~ReminderService() {
    center_->setResponseHandler(nullptr);
}

NotificationPermission ReminderService::permissionFor(NotificationAuthorizationStatus status) {
    // Compared by raw value: a centre may answer a status this build does not know.
    switch (static_cast<int>(status)) {
    case static_cast<int>(NotificationAuthorizationStatus::notDetermined):
        return NotificationPermission::notDetermined;
    case static_cast<int>(NotificationAuthorizationStatus::authorized):
    case static_cast<int>(NotificationAuthorizationStatus::provisional):
    case static_cast<int>(NotificationAuthorizationStatus::ephemeral):
        return NotificationPermission::authorized;
    default:
        return NotificationPermission::denied;
    }
}

QCoro::Task<NotificationPermission> ReminderService::permission() {
    const auto center = center_;
    QCoro::Task<NotificationAuthorizationStatus> reading = center->authorizationStatus();
    const NotificationAuthorizationStatus status = co_await reading;
    co_return permissionFor(status);
}

QCoro::Task<void> ReminderService::requestAuthorization() {
    const auto center = center_;
    try {
        QCoro::Task<bool> asking = center->requestAlertAuthorization();
        co_await asking;
    } catch (const std::exception&) {
        qCCritical(DewlightPlatform::systemLog(), "notification authorization failed");
    }
}

std::optional<ReminderPayload>
ReminderService::payloadIn(const DewlightPlatform::NotificationUserInfo& userInfo) {
    const auto found = userInfo.find(payloadKey);
    if (found == userInfo.end())
        return std::nullopt;
    const auto* bytes = std::get_if<QByteArray>(&found->second);
    if (!bytes)
        return std::nullopt;
    try {
        const auto json =
            DewlightCore::Json::parse(std::string_view(bytes->constData(), bytes->size()));
        return DewlightCore::Json::decode<Versioned<ReminderPayload>>(json).value();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QCoro::Task<std::vector<ReminderPayload>> ReminderService::pendingPayloads() {
    const auto center = center_;
    QCoro::Task<std::vector<NotificationRequest>> listing = center->pendingRequests();
    const std::vector<NotificationRequest> requests = co_await listing;
    std::vector<ReminderPayload> payloads;
    for (const auto& request : requests)
        if (auto payload = payloadIn(request.userInfo))
            payloads.push_back(std::move(*payload));
    co_return payloads;
}

void ReminderService::removePending(
    const std::vector<DewlightCore::Identity<DewlightCore::ReminderTag>>& reminders) {
    std::vector<std::string> identifiers;
    identifiers.reserve(reminders.size());
    for (const auto& reminder : reminders)
        identifiers.push_back(reminder.rawValue());
    center_->removePending(identifiers);
}

NotificationRequest ReminderService::request(const DewlightCore::PlannedReminder& reminder) const {
    const auto& payload = reminder.payload;
    NotificationRequest request;
    request.identifier = payload.reminder().rawValue();
    request.title = title;
    request.body = localizer_->text(phraseText(reminder.phrase));
    if (reminder.exactlyOneHourSinceDrink)
        request.body += "\n" + localizer_->text(oneHourLine);
    request.categoryIdentifier = categoryID;
    const auto json = DewlightCore::Json::serialize(DewlightCore::Json::encode(Versioned(payload)));
    request.userInfo.emplace(payloadKey, QByteArray(json.data(), qsizetype(json.size())));

    const auto calendar = calendar_();
    const auto wall = calendar.components(payload.scheduledAt());
    if (!wall)
        throw NotificationError(NotificationFailure::invalidRequest);
    request.trigger = {wall->year,
                       wall->month,
                       wall->day,
                       wall->hour,
                       wall->minute,
                       wall->second,
                       calendar.timeZoneId(),
                       payload.scheduledAt()};
    return request;
}

QCoro::Task<void> ReminderService::post(const DewlightCore::PlannedReminder& reminder) {
    // Built before the first suspension: the caller's reminder need not outlive this call's start.
    NotificationRequest built = request(reminder);
    const auto center = center_;
    QCoro::Task<void> adding = center->add(std::move(built));
    co_await adding;
}

QCoro::Task<void> ReminderService::handleResponse(std::shared_ptr<NotificationInbox> inbox,
                                                  NotificationResponse response) {
    const auto action = DewlightCore::fromRawValue<ReminderAction>(response.actionIdentifier);
    if (!action)
        co_return;
    auto payload = payloadIn(response.userInfo);
    if (!payload)
        co_return;
    QCoro::Task<void> receiving = inbox->receive(std::move(*payload), *action);
    co_await receiving;
}

} // namespace DewlightReminders
