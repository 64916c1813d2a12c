#pragma once

#include "core/Date.h"
#include "core/LocalPostponement.h"
#include "core/NotificationPermission.h"
#include "platform/runtime/WeakOwner.h"
#include "reminders/ReminderReconciler.h"
#include "reminders/ReminderService.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <memory>
#include <optional>

namespace DewlightReminders {

// The reminder side of the application's state: the permission, the postponement in force, the
// next confirmed reminder and whether scheduling failed. It owns the notification service and
// the reconciler. Nothing here is persisted: after a restart the permission is read again and
// the rest starts empty.
//
// Each setter announces a change through its signal only when the value really changes.
//
// Scheduling counts as failed while the last planning failed or while the centre holds a due
// reminder back for want of a notification service. The two are kept apart: a plan that succeeds
// while a reminder is still held must not hide it, and a held reminder shown at last must not
// hide a failed plan.
class RozivReminders final : public QObject {
    Q_OBJECT
public:
    RozivReminders(std::shared_ptr<DewlightPlatform::NotificationCenter> center,
                   std::shared_ptr<const DewlightPlatform::Localizer> localizer,
                   ReminderService::CalendarSource calendar, QObject* parent = nullptr);
    ~RozivReminders() override;

    DewlightCore::NotificationPermission permission() const { return permission_; }
    const std::optional<DewlightCore::LocalPostponement>& postponement() const {
        return postponement_;
    }
    std::optional<DewlightCore::Date> confirmedNext() const { return confirmedNext_; }
    bool schedulingFailed() const { return planningFailed_ || deliveryHeld_; }

    void setPermission(DewlightCore::NotificationPermission permission);
    void setPostponement(std::optional<DewlightCore::LocalPostponement> postponement);
    void setConfirmedNext(std::optional<DewlightCore::Date> next);
    // Whether the last planning failed.
    void setSchedulingFailed(bool failed);

    ReminderService& service() const { return *service_; }
    ReminderReconciler& reconciler() { return reconciler_; }

    // Reads the authorization again and stores it by the permission rule.
    QCoro::Task<void> refreshPermission();
    // Opens the desktop's notification settings where it has any; does nothing otherwise.
    void openNotificationSettings();

signals:
    void permissionChanged();
    void postponementChanged();
    void confirmedNextChanged();
    void schedulingFailedChanged();

private:
    void setDeliveryHeld(bool held);
    // Announces schedulingFailedChanged when the combined answer differs from `before`.
    void announceSchedulingFailed(bool before);

    DewlightCore::NotificationPermission permission_ =
        DewlightCore::NotificationPermission::notDetermined;
    std::optional<DewlightCore::LocalPostponement> postponement_;
    std::optional<DewlightCore::Date> confirmedNext_;
    bool planningFailed_ = false;
    bool deliveryHeld_ = false;
    std::shared_ptr<ReminderService> service_;
    ReminderReconciler reconciler_;
    DewlightPlatform::WeakOwner<RozivReminders> self_{this};
};

} // namespace DewlightReminders
