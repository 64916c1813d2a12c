#include "FakeStatusNotifierWatcher.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDateTime>

namespace {
const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString path = QStringLiteral("/StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");

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

namespace {
// One node of a DBusMenu layout, (ia{sv}av), and the nodes below it.
void readLayout(const QDBusArgument& node, std::vector<FakeStatusNotifierWatcher::MenuEntry>& out) {
    int id = 0;
    QVariantMap properties;
    node.beginStructure();
    node >> id >> properties;
    node.beginArray();
    std::vector<QDBusVariant> children;
    while (!node.atEnd()) {
        QDBusVariant child;
        node >> child;
        children.push_back(child);
    }
    node.endArray();
    node.endStructure();
    if (id != 0 && properties.value(QStringLiteral("type")).toString() != u"separator")
        out.push_back({id, properties.value(QStringLiteral("label")).toString(),
                       properties.value(QStringLiteral("enabled"), true).toBool()});
    for (const QDBusVariant& child : children)
        readLayout(child.variant().value<QDBusArgument>(), out);
}
} // namespace

std::vector<FakeStatusNotifierWatcher::MenuEntry> FakeStatusNotifierWatcher::menu() {
    std::vector<MenuEntry> entries;
    const QString path = itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    if (items_.isEmpty() || path.isEmpty() || path == u"/NO_DBUSMENU")
        return entries;
    const QString owner = split(items_.constFirst()).first;
    // A panel tells the menu it is about to show it, then reads the whole tree.
    QDBusMessage aboutToShow =
        QDBusMessage::createMethodCall(owner, path, menuInterface, QStringLiteral("AboutToShow"));
    aboutToShow << 0;
    bus_.call(aboutToShow, QDBus::Block, 3000);
    QDBusMessage layout =
        QDBusMessage::createMethodCall(owner, path, menuInterface, QStringLiteral("GetLayout"));
    layout << 0 << -1 << QStringList();
    const QDBusMessage reply = bus_.call(layout, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return entries;
    readLayout(reply.arguments().at(1).value<QDBusArgument>(), entries);
    return entries;
}

bool FakeStatusNotifierWatcher::chooseFromMenu(const QString& label) {
    for (const MenuEntry& entry : menu()) {
        // Qt keeps a mnemonic's ampersand in the label.
        if (QString(entry.label).remove(QLatin1Char('&')) != label)
            continue;
        const QString path = itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
        QDBusMessage event = QDBusMessage::createMethodCall(split(items_.constFirst()).first, path,
                                                            menuInterface, QStringLiteral("Event"));
        event << entry.id << QStringLiteral("clicked")
              << QVariant::fromValue(QDBusVariant(QString()))
              << uint(QDateTime::currentSecsSinceEpoch());
        return bus_.call(event, QDBus::Block, 3000).type() == QDBusMessage::ReplyMessage;
    }
    return false;
}
