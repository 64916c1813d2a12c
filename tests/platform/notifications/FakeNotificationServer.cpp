#include "FakeNotificationServer.h"

#include <gtest/gtest.h>

namespace {
const char* const connectionName = "fake-notification-server";
}

FakeNotificationServer::FakeNotificationServer(QStringList capabilities)
    : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QString::fromLatin1(connectionName))),
      capabilities_(std::move(capabilities)) {
    EXPECT_TRUE(bus_.isConnected());
    EXPECT_TRUE(
        bus_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    EXPECT_TRUE(bus_.registerService(QStringLiteral("org.freedesktop.Notifications")));
}

FakeNotificationServer::~FakeNotificationServer() {
    bus_.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    bus_.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    QDBusConnection::disconnectFromBus(QString::fromLatin1(connectionName));
}

void FakeNotificationServer::releaseReplies() {
    holding_ = false;
    for (const auto& held : held_) {
        bus_.send(held.call.createReply(QVariant::fromValue(held.id)));
    }
    held_.clear();
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body,
                                    const QStringList& actions, const QVariantMap& hints,
                                    int expireTimeout) {
    const uint id = replacesId != 0 ? replacesId : nextId_++;
    notified_.push_back(
        {appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, id});
    if (holding_) {
        setDelayedReply(true);
        held_.push_back({message(), id});
        return 0;
    }
    return id;
}

void FakeNotificationServer::CloseNotification(uint id) {
    closed_.push_back(id);
    emit NotificationClosed(id, 3);
}

QStringList FakeNotificationServer::GetCapabilities() {
    return capabilities_;
}

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version,
                                                     QString& protocolVersion) {
    if (!answersInformation_) {
        setDelayedReply(true); // and never sent
        return {};
    }
    vendor = QStringLiteral("Dewlight tests");
    version = QStringLiteral("1");
    protocolVersion = QStringLiteral("1.2");
    return QStringLiteral("fake-notifications");
}
