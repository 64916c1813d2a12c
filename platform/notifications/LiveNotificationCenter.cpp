#include "platform/notifications/LiveNotificationCenter.h"

#include "platform/calendar/Calendar.h"
#include "platform/notifications/NotificationError.h"
#include "platform/runtime/Job.h"
#include "platform/runtime/Log.h"

#include <QCoro/QCoroDBusPendingCall>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QVariantMap>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace DewlightPlatform {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

const QString applicationName = QStringLiteral("Dewlight");
const QString desktopEntry = QStringLiteral("dewlight");
// The drop icon the installation puts in the icon theme.
const QString applicationIcon = QStringLiteral("dewlight");
// A reminder stays until the person answers or closes it, or we replace or remove it: a server's
// own time-out (10 s in dunst, 3 min in Plasma) would take its buttons away from a person who was
// not at the screen. GNOME ignores the value and keeps its banners in the list with their buttons.
constexpr int neverExpires = 0;
// Normal, not critical: a critical one would pass through "Do not disturb" and, on GNOME, hold
// its banner on screen. `resident` is not sent: we close a reminder ourselves once it is answered.
constexpr uchar normalUrgency = 1;

const std::string authorizedRecord = "authorized";
const std::string deniedRecord = "denied";

QDBusMessage notificationsCall(const QString& method) {
    return QDBusMessage::createMethodCall(service, path, interface, method);
}

QDBusMessage busCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                          QStringLiteral("/org/freedesktop/DBus"),
                                          QStringLiteral("org.freedesktop.DBus"), method);
}

// Body markup is a small XML subset: text must not be read as tags or entities.
QString escapeMarkup(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&')) {
            escaped += QStringLiteral("&amp;");
        } else if (c == QLatin1Char('<')) {
            escaped += QStringLiteral("&lt;");
        } else if (c == QLatin1Char('>')) {
            escaped += QStringLiteral("&gt;");
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool isValid(const NotificationRequest& request) {
    // The same bound as every moment the application stores.
    return !request.identifier.empty() && std::isfinite(request.trigger.instant) &&
           std::fabs(request.trigger.instant) < 1e11;
}

// The bus itself answered for the service: nobody owns the name and none could be started.
bool noService(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    return name == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           name.startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn."));
}

} // namespace

LiveNotificationCenter::LiveNotificationCenter(QDBusConnection bus, UserDefaults& defaults,
                                               const Clock& clock, std::unique_ptr<WallAlarm> alarm,
                                               NotificationSettingsLauncher settings,
                                               std::chrono::milliseconds probeTimeout)
    : bus_(std::move(bus)), defaults_(defaults), clock_(clock), alarm_(std::move(alarm)),
      scheduler_(clock, *alarm_,
                 [this](NotificationRequest request) { deliver(std::move(request)); }),
      settings_(std::move(settings)), probeTimeout_(probeTimeout) {
    if (!bus_.isConnected()) {
        qCWarning(systemLog, "no session bus: reminders cannot be shown");
        return;
    }
    // Naming the service makes the bus library accept these signals only from its owner.
    bus_.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString)));
    bus_.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                 SLOT(onNotificationClosed(uint, uint)));
    watcher_ =
        new QDBusServiceWatcher(service, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &LiveNotificationCenter::onServiceOwnerChanged);
}

LiveNotificationCenter::~LiveNotificationCenter() {
    if (bus_.isConnected()) {
        bus_.disconnect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(uint, QString)));
        bus_.disconnect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                        SLOT(onNotificationClosed(uint, uint)));
    }
}

void LiveNotificationCenter::setCategories(std::vector<NotificationCategory> categories) {
    categories_ = std::move(categories);
}

void LiveNotificationCenter::setResponseHandler(ResponseHandler handler) {
    handler_ = std::move(handler);
}

void LiveNotificationCenter::setDeliveryFailureHandler(DeliveryFailureHandler handler) {
    deliveryFailureHandler_ = std::move(handler);
}

QCoro::Task<NotificationAuthorizationStatus> LiveNotificationCenter::authorizationStatus() {
    const auto record = defaults_.text(authorizationKey);
    if (!record) {
        co_return NotificationAuthorizationStatus::notDetermined;
    }
    if (*record == authorizedRecord) {
        co_return NotificationAuthorizationStatus::authorized;
    }
    // Only an answer counts: a service the bus could start (a service file) may fail to start,
    // and reminders would never show.
    const auto alive = self_.weak();
    QCoro::Task<QDBusMessage> asking = askServer();
    const QDBusMessage reply = co_await asking;
    if (alive.expired() || reply.type() != QDBusMessage::ReplyMessage) {
        co_return NotificationAuthorizationStatus::denied;
    }
    defaults_.setText(authorizationKey, authorizedRecord);
    co_return NotificationAuthorizationStatus::authorized;
}

QCoro::Task<QDBusMessage> LiveNotificationCenter::askServer() {
    if (!bus_.isConnected()) {
        co_return QDBusMessage::createError(QDBusError::Disconnected, QString());
    }
    // Asking the server who it is may start it; an answer means reminders can be shown.
    const QDBusPendingCall probe =
        bus_.asyncCall(notificationsCall(QStringLiteral("GetServerInformation")),
                       static_cast<int>(probeTimeout_.count()));
    co_return co_await probe;
}

QCoro::Task<bool> LiveNotificationCenter::requestAlertAuthorization() {
    const auto alive = self_.weak();
    if (!bus_.isConnected()) {
        defaults_.setText(authorizationKey, deniedRecord);
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    QCoro::Task<QDBusMessage> asking = askServer();
    const QDBusMessage reply = co_await asking;
    if (alive.expired()) {
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    if (reply.type() == QDBusMessage::ReplyMessage) {
        defaults_.setText(authorizationKey, authorizedRecord);
        co_return true;
    }
    // Only an absent server is a refusal. One that owns the name but is too busy to answer (or
    // answers with an error) has refused nothing: the record stays as it was.
    if (noService(reply)) {
        defaults_.setText(authorizationKey, deniedRecord);
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    qCWarning(systemLog, "the notification service did not answer: %s",
              qUtf8Printable(reply.errorMessage()));
    throw NotificationError(NotificationFailure::serviceNotResponding);
}

QCoro::Task<std::vector<NotificationRequest>> LiveNotificationCenter::pendingRequests() {
    co_return scheduler_.pending();
}

void LiveNotificationCenter::removePending(const std::vector<std::string>& identifiers) {
    scheduler_.remove(identifiers);
}

void LiveNotificationCenter::removeAllPending() {
    scheduler_.removeAll();
}

void LiveNotificationCenter::removeAllDelivered() {
    // One whose Notify reply is still on its way is closed when the reply comes (see show()).
    for (const auto& entry : delivered_) {
        if (entry.serverId) {
            close(*entry.serverId);
        }
    }
    delivered_.clear();
    reportDelivery();
}

QCoro::Task<void> LiveNotificationCenter::add(NotificationRequest request) {
    if (!isValid(request)) {
        throw NotificationError(NotificationFailure::invalidRequest);
    }
    const auto alive = self_.weak();
    // Refused now rather than never shown later: the caller can say that reminders failed.
    QCoro::Task<bool> asking = serviceAvailable();
    const bool available = co_await asking;
    if (alive.expired() || !available) {
        throw NotificationError(NotificationFailure::serviceUnavailable);
    }
    scheduler_.add(std::move(request));
}

bool LiveNotificationCenter::openNotificationSettings() {
    return settings_.open();
}

std::vector<std::string> LiveNotificationCenter::deliveredIdentifiers() const {
    std::vector<std::string> identifiers;
    for (const auto& entry : delivered_) {
        identifiers.push_back(entry.request.identifier);
    }
    return identifiers;
}

QCoro::Task<bool> LiveNotificationCenter::serviceAvailable() {
    if (!bus_.isConnected()) {
        co_return false;
    }
    const auto alive = self_.weak();
    auto hasOwner = busCall(QStringLiteral("NameHasOwner"));
    hasOwner << service;
    const QDBusPendingCall ownerCall = bus_.asyncCall(hasOwner);
    const QDBusMessage owner = co_await ownerCall;
    if (alive.expired()) {
        co_return false;
    }
    if (owner.type() == QDBusMessage::ReplyMessage && owner.arguments().value(0).toBool()) {
        co_return true;
    }
    const QDBusPendingCall activatableCall =
        bus_.asyncCall(busCall(QStringLiteral("ListActivatableNames")));
    const QDBusMessage activatable = co_await activatableCall;
    co_return activatable.type() ==
        QDBusMessage::ReplyMessage&& activatable.arguments().value(0).toStringList().contains(
            service);
}

QCoro::Task<LiveNotificationCenter::Capabilities> LiveNotificationCenter::capabilities() {
    if (capabilities_) {
        co_return *capabilities_;
    }
    const auto alive = self_.weak();
    const QDBusPendingCall call =
        bus_.asyncCall(notificationsCall(QStringLiteral("GetCapabilities")));
    const QDBusMessage reply = co_await call;
    if (alive.expired() || reply.type() != QDBusMessage::ReplyMessage) {
        // Not known: offer the buttons, and send the body as plain text.
        co_return Capabilities{};
    }
    const QStringList names = reply.arguments().value(0).toStringList();
    Capabilities known{names.contains(QStringLiteral("actions")),
                       names.contains(QStringLiteral("body-markup"))};
    if (!known.actions && !reportedNoActions_) {
        reportedNoActions_ = true;
        qCWarning(
            systemLog,
            "the notification service shows no buttons: reminders come without their actions");
    }
    capabilities_ = known;
    co_return known;
}

void LiveNotificationCenter::deliver(NotificationRequest request) {
    uint replacesId = 0;
    // A notification of the same identifier on screen is replaced, not shown twice.
    const auto same = std::find_if(delivered_.begin(), delivered_.end(), [&](const auto& entry) {
        return entry.request.identifier == request.identifier;
    });
    if (same != delivered_.end()) {
        replacesId = same->serverId.value_or(0);
        delivered_.erase(same);
    }
    const std::uint64_t serial = nextSerial_++;
    delivered_.push_back(Delivered{serial, std::move(request), std::nullopt});
    reportDelivery();
    QCoro::Task<void> shown = show(serial, replacesId);
    (void)shown; // runs on by itself; it never throws
}

QCoro::Task<void> LiveNotificationCenter::show(std::uint64_t serial, uint replacesId) {
    const auto alive = self_.weak();
    const std::uint64_t ownerGeneration = ownerGeneration_;
    QCoro::Task<Capabilities> asking = capabilities();
    const Capabilities capable = co_await asking;
    if (alive.expired()) {
        co_return;
    }
    const Delivered* entry = findDelivered(serial);
    if (!entry) {
        co_return; // removed before it was shown
    }
    const NotificationRequest& request = entry->request;
    QStringList actions;
    if (capable.actions) {
        const auto category =
            std::find_if(categories_.begin(), categories_.end(),
                         [&](const auto& c) { return c.identifier == request.categoryIdentifier; });
        if (category != categories_.end()) {
            for (const auto& action : category->actions) {
                actions << fromUtf8(action.identifier) << fromUtf8(action.title);
            }
        }
    }
    const QString body = fromUtf8(request.body);
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true},
                            {QStringLiteral("desktop-entry"), desktopEntry},
                            {QStringLiteral("urgency"), QVariant::fromValue(normalUrgency)}};
    auto notify = notificationsCall(QStringLiteral("Notify"));
    notify << applicationName << replacesId << applicationIcon << fromUtf8(request.title)
           << (capable.bodyMarkup ? escapeMarkup(body) : body) << actions << hints << neverExpires;
    const QDBusPendingCall call = bus_.asyncCall(notify);
    const QDBusMessage reply = co_await call;
    if (alive.expired()) {
        co_return;
    }
    Delivered* shown = findDelivered(serial);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (!shown) {
            co_return;
        }
        shown->sending = false;
        if (noService(reply)) {
            if (!shown->held) {
                qCWarning(systemLog, "no notification service: a reminder waits until one is back");
            }
            shown->held = true;
            reportDelivery();
            // A service that came while this Notify was on its way found nothing held yet.
            if (ownerGeneration != ownerGeneration_) {
                showHeld();
            }
            co_return;
        }
        qCWarning(systemLog, "a reminder could not be shown: %s",
                  qUtf8Printable(reply.errorMessage()));
        delivered_.erase(delivered_.begin() + (shown - delivered_.data()));
        reportDelivery();
        co_return;
    }
    const uint serverId = reply.arguments().constFirst().toUInt();
    if (!shown) {
        // Removed while the reply was on its way: it must not stay on screen.
        close(serverId);
        co_return;
    }
    shown->serverId = serverId;
    shown->sending = false;
    if (shown->held) {
        shown->held = false;
        reportDelivery();
    }
}

void LiveNotificationCenter::showHeld() {
    std::erase_if(delivered_, [&](const Delivered& entry) {
        if (!entry.held || entry.sending || isOnItsDay(entry.request)) {
            return false;
        }
        qCInfo(systemLog, "a reminder held for want of a notification service was dropped: "
                          "its day is over");
        return true;
    });
    // Serials, not entries: a show may change the list before it first waits.
    std::vector<std::uint64_t> serials;
    for (auto& entry : delivered_) {
        if (entry.held && !entry.sending) {
            entry.sending = true;
            serials.push_back(entry.serial);
        }
    }
    reportDelivery();
    for (const std::uint64_t serial : serials) {
        QCoro::Task<void> shown = show(serial, 0);
        (void)shown;
    }
}

bool LiveNotificationCenter::isOnItsDay(const NotificationRequest& request) const {
    std::optional<Calendar> calendar;
    try {
        calendar = Calendar::gregorian(request.trigger.timeZone);
    } catch (const UnknownTimeZone&) {
        calendar = Calendar::current();
    }
    const auto due = calendar->components(request.trigger.instant);
    const auto today = calendar->components(clock_.now());
    return due && today &&
           std::tie(due->era, due->year, due->month, due->day) ==
               std::tie(today->era, today->year, today->month, today->day);
}

void LiveNotificationCenter::reportDelivery() {
    if (reportPosted_) {
        return;
    }
    reportPosted_ = true;
    // Told on a later turn, with the state of that turn: the handler may call back into the
    // centre, and several changes in one turn make one report.
    QMetaObject::invokeMethod(
        this,
        [this] {
            reportPosted_ = false;
            const bool held = std::any_of(delivered_.begin(), delivered_.end(),
                                          [](const Delivered& entry) { return entry.held; });
            if (held == reportedHeld_) {
                return;
            }
            reportedHeld_ = held;
            if (deliveryFailureHandler_) {
                const DeliveryFailureHandler handler = deliveryFailureHandler_;
                handler(held);
            }
        },
        Qt::QueuedConnection);
}

LiveNotificationCenter::Delivered* LiveNotificationCenter::findDelivered(std::uint64_t serial) {
    const auto found = std::find_if(delivered_.begin(), delivered_.end(),
                                    [&](const auto& entry) { return entry.serial == serial; });
    return found == delivered_.end() ? nullptr : &*found;
}

void LiveNotificationCenter::close(uint serverId) {
    auto message = notificationsCall(QStringLiteral("CloseNotification"));
    message << serverId;
    bus_.asyncCall(message);
}

void LiveNotificationCenter::onActionInvoked(uint id, const QString& actionKey) {
    // The signal may be broadcast to every client: only our own notifications count.
    const auto found = std::find_if(delivered_.begin(), delivered_.end(),
                                    [&](const auto& entry) { return entry.serverId == id; });
    if (found == delivered_.end()) {
        return;
    }
    // Answered once: some servers keep a notification on screen after an action, and a second
    // click must not answer the same reminder again.
    NotificationResponse response{found->request.identifier, actionKey.toStdString(),
                                  found->request.userInfo};
    delivered_.erase(found);
    close(id);
    if (!handler_) {
        return;
    }
    Job::spawn([handler = handler_, response = std::move(response)]() -> QCoro::Task<void> {
        QCoro::Task<void> handled = handler(response);
        co_await handled;
    });
}

void LiveNotificationCenter::onNotificationClosed(uint id, uint /*reason*/) {
    std::erase_if(delivered_, [&](const auto& entry) { return entry.serverId == id; });
}

void LiveNotificationCenter::onServiceOwnerChanged(const QString& /*name*/,
                                                   const QString& /*oldOwner*/,
                                                   const QString& newOwner) {
    // A new server knows nothing of the old one's notifications or capabilities.
    capabilities_.reset();
    std::erase_if(delivered_, [](const auto& entry) { return entry.serverId.has_value(); });
    if (!newOwner.isEmpty()) {
        ++ownerGeneration_;
        showHeld();
    }
}

} // namespace DewlightPlatform
