#include "platform/tray/StatusNotifierHost.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace DewlightPlatform {

namespace {
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
} // namespace

StatusNotifierHost::StatusNotifierHost(QDBusConnection bus) : bus_(std::move(bus)) {
    if (!bus_.isConnected())
        return;
    const QString service = QString::fromLatin1(watcherService);
    serviceWatcher_ = new QDBusServiceWatcher(service, bus_,
                                              QDBusServiceWatcher::WatchForOwnerChange, this);
    // A new owner is a new watcher (a restart): it knows nothing of hosts until asked.
    connect(serviceWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    ++question_;
                    setAvailable(false);
                } else {
                    query();
                }
            });
    // A host registering or leaving: ask again, since other hosts may still be there.
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        bus_.connect(service, QString::fromLatin1(watcherPath), watcherInterface,
                     QString::fromLatin1(signal), this, SLOT(onHostsChanged()));
    query();
}

StatusNotifierHost::~StatusNotifierHost() = default;

void StatusNotifierHost::onHostsChanged() { query(); }

void StatusNotifierHost::query() {
    const std::uint64_t question = ++question_;
    QDBusMessage get = QDBusMessage::createMethodCall(
        QString::fromLatin1(watcherService), QString::fromLatin1(watcherPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get, 3000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (question != question_)
                    return;
                const QDBusPendingReply<QDBusVariant> reply = *call;
                setAvailable(!reply.isError() && reply.value().variant().toBool());
            });
}

void StatusNotifierHost::setAvailable(bool available) {
    if (available_ == available)
        return;
    available_ = available;
    emit availabilityChanged(available);
}

} // namespace DewlightPlatform
