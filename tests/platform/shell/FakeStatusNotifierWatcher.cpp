#include "FakeStatusNotifierWatcher.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

namespace {
const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString path = QStringLiteral("/StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");

// An item is "service" (its object at /StatusNotifierItem) or "service/path".
std::pair<QString, QString> split(const QString& item) {
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {item, QStringLiteral("/StatusNotifierItem")};
    return {item.left(slash), item.mid(slash)};
}
} // namespace

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(bool withHost, QDBusConnection bus)
    : bus_(std::move(bus)), withHost_(withHost) {
    bus_.registerObject(path, this,
                        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                            QDBusConnection::ExportAllProperties);
    bus_.registerService(service);
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher() {
    bus_.unregisterService(service);
    bus_.unregisterObject(path);
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& item) {
    // A path alone names an object of the caller.
    const QString name = item.startsWith(QLatin1Char('/')) ? message().service() + item : item;
    items_ << name;
    emit StatusNotifierItemRegistered(name);
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierHost(const QString&) {
    withHost_ = true;
    emit StatusNotifierHostRegistered();
}

bool FakeStatusNotifierWatcher::activateItem() {
    if (items_.isEmpty())
        return false;
    const auto [owner, object] = split(items_.constFirst());
    QDBusMessage call =
        QDBusMessage::createMethodCall(owner, object, itemInterface, QStringLiteral("Activate"));
    call << 10 << 10;
    return bus_.call(call, QDBus::Block, 3000).type() == QDBusMessage::ReplyMessage;
}

QVariant FakeStatusNotifierWatcher::itemProperty(const QString& name) {
    if (items_.isEmpty())
        return {};
    const auto [owner, object] = split(items_.constFirst());
    QDBusMessage call = QDBusMessage::createMethodCall(
        owner, object, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << itemInterface << name;
    const QDBusMessage reply = bus_.call(call, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}
