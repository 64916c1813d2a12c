#include "reminders/RozivReminders.h"

#include <utility>

namespace DewlightReminders {

RozivReminders::RozivReminders(std::shared_ptr<DewlightPlatform::NotificationCenter> center,
                               std::shared_ptr<const DewlightPlatform::Localizer> localizer,
                               ReminderService::CalendarSource calendar, QObject* parent)
    : QObject(parent), service_(std::make_shared<ReminderService>(
                           std::move(center), std::move(localizer), std::move(calendar))),
      reconciler_(service_) {
    service_->center().setDeliveryFailureHandler(
        DewlightPlatform::weakly(self_.weak(), &RozivReminders::setDeliveryHeld));
}

RozivReminders::~RozivReminders() = default;

void RozivReminders::setPermission(DewlightCore::NotificationPermission permission) {
    if (permission_ == permission)
        return;
    permission_ = permission;
    emit permissionChanged();
}

void RozivReminders::setPostponement(std::optional<DewlightCore::LocalPostponement> postponement) {
    if (postponement_ == postponement)
        return;
    postponement_ = std::move(postponement);
    emit postponementChanged();
}

void RozivReminders::setConfirmedNext(std::optional<DewlightCore::Date> next) {
    if (confirmedNext_ == next)
        return;
    confirmedNext_ = next;
    emit confirmedNextChanged();
}

void RozivReminders::setSchedulingFailed(bool failed) {
    const bool before = schedulingFailed();
    planningFailed_ = failed;
    announceSchedulingFailed(before);
}

void RozivReminders::setDeliveryHeld(bool held) {
    const bool before = schedulingFailed();
    deliveryHeld_ = held;
    announceSchedulingFailed(before);
}

void RozivReminders::announceSchedulingFailed(bool before) {
    if (schedulingFailed() != before)
        emit schedulingFailedChanged();
}

QCoro::Task<void> RozivReminders::refreshPermission() {
    const auto alive = self_.weak();
    const auto service = service_;
    QCoro::Task<DewlightCore::NotificationPermission> reading = service->permission();
    const DewlightCore::NotificationPermission answer = co_await reading;
    if (alive.expired())
        co_return;
    setPermission(answer);
}

void RozivReminders::openNotificationSettings() {
    service_->center().openNotificationSettings();
}

} // namespace DewlightReminders
