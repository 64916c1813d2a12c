#pragma once

#include "platform/notifications/NotificationCenter.h"
#include "platform/notifications/NotificationScheduler.h"
#include "platform/notifications/NotificationSettingsLauncher.h"
#include "platform/notifications/WallAlarm.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/WeakOwner.h"
#include "platform/storage/UserDefaults.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDBusServiceWatcher;

namespace DewlightPlatform {

// The notification centre of the Linux desktop. Pending requests are ours: the scheduler fires
// them on the wall clock. A fired request is shown through org.freedesktop.Notifications on the
// session bus and joins our delivered list until the service reports it closed, the user answers
// it (we close it then) or we remove it.
//
// Authorization has no desktop equivalent: it is "not determined" until the user asks; asking
// probes the service and records the answer in the defaults (outside any account), "authorized"
// when it answered, "denied" when no service is there; a service that does not answer in time
// changes nothing. A denial turns into an authorization as soon as a service answers again,
// since the user never refused anything.
//
// A request that falls due while no service is on the bus is held, not lost: it is shown as soon
// as a service owns the name again, unless its day (in its trigger's time zone) is over by then.
// The delivery failure handler hears while any is held.
class LiveNotificationCenter final : public QObject, public NotificationCenter {
    Q_OBJECT
public:
    // The defaults key of the authorization record: "authorized" or "denied".
    static constexpr const char* authorizationKey = "notifications.authorization";

    // `defaults` and `clock` outlive the centre. The live application passes the session bus,
    // the system clock and a TimerfdWallAlarm.
    LiveNotificationCenter(QDBusConnection bus, UserDefaults& defaults, const Clock& clock,
                           std::unique_ptr<WallAlarm> alarm, NotificationSettingsLauncher settings,
                           std::chrono::milliseconds probeTimeout = std::chrono::seconds(3));
    ~LiveNotificationCenter() override;

    void setCategories(std::vector<NotificationCategory> categories) override;
    void setResponseHandler(ResponseHandler handler) override;
    void setDeliveryFailureHandler(DeliveryFailureHandler handler) override;
    QCoro::Task<NotificationAuthorizationStatus> authorizationStatus() override;
    QCoro::Task<bool> requestAlertAuthorization() override;
    QCoro::Task<std::vector<NotificationRequest>> pendingRequests() override;
    void removePending(const std::vector<std::string>& identifiers) override;
    void removeAllPending() override;
    void removeAllDelivered() override;
    QCoro::Task<void> add(NotificationRequest request) override;
    bool openNotificationSettings() override;

    // The delivered notifications, oldest first, including those whose Notify is on its way and
    // those held until a service is back.
    std::vector<std::string> deliveredIdentifiers() const;

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    struct Delivered {
        std::uint64_t serial;
        NotificationRequest request;
        std::optional<uint> serverId; // absent until the service has shown it
        bool sending = true;          // a Notify is on its way
        bool held = false;            // no service could show it: waits for one
    };
    struct Capabilities {
        bool actions = true;
        bool bodyMarkup = false;
    };

    void deliver(NotificationRequest request);
    QCoro::Task<void> show(std::uint64_t serial, uint replacesId);
    QCoro::Task<Capabilities> capabilities();
    QCoro::Task<bool> serviceAvailable();
    // The server's answer to who it is, or the bus's error; may start an activatable server.
    QCoro::Task<QDBusMessage> askServer();
    Delivered* findDelivered(std::uint64_t serial);
    void close(uint serverId);
    void onServiceOwnerChanged(const QString& name, const QString& oldOwner,
                               const QString& newOwner);
    // Shows the held notifications again, dropping those whose day is over.
    void showHeld();
    // Whether the wall clock still reads the request's day, in its trigger's time zone.
    bool isOnItsDay(const NotificationRequest& request) const;
    // Tells the delivery failure handler, on a later turn, when being held changed.
    void reportDelivery();

    QDBusConnection bus_;
    UserDefaults& defaults_;
    const Clock& clock_;
    std::unique_ptr<WallAlarm> alarm_;
    NotificationScheduler scheduler_;
    NotificationSettingsLauncher settings_;
    std::chrono::milliseconds probeTimeout_;
    QDBusServiceWatcher* watcher_ = nullptr;
    std::vector<NotificationCategory> categories_;
    ResponseHandler handler_;
    DeliveryFailureHandler deliveryFailureHandler_;
    bool reportedHeld_ = false;
    bool reportPosted_ = false;
    std::vector<Delivered> delivered_;
    std::uint64_t nextSerial_ = 1;
    // Counts the services that took the name, so a show can tell that one came meanwhile.
    std::uint64_t ownerGeneration_ = 0;
    std::optional<Capabilities> capabilities_;
    bool reportedNoActions_ = false;
    // Coroutines that find it gone after a wait stop: the centre went away under them.
    WeakOwner<LiveNotificationCenter> self_{this};
};

} // namespace DewlightPlatform
