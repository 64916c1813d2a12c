#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

// A notification server of the tests' own on the private session bus, on a connection of its
// own: it records every Notify and CloseNotification, can hold its Notify replies back, and
// invokes actions and closes notifications as a user would.
class FakeNotificationServer final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0;
    };

    explicit FakeNotificationServer(QStringList capabilities = {QStringLiteral("actions"),
                                                                QStringLiteral("body")});
    ~FakeNotificationServer() override;

    const std::vector<Notification>& notified() const { return notified_; }
    const std::vector<uint>& closed() const { return closed_; }

    // While held, Notify calls get no reply until releaseReplies().
    void holdReplies() { holding_ = true; }
    void releaseReplies();
    std::size_t heldReplies() const { return held_.size(); }

    // As a server too busy to answer: GetServerInformation gets no reply at all.
    void stopAnsweringInformation() { answersInformation_ = false; }

    void invokeAction(uint id, const QString& actionKey) { emit ActionInvoked(id, actionKey); }
    // As if the user dismissed it (reason 2).
    void dismiss(uint id) { emit NotificationClosed(id, 2); }

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();
    QString GetServerInformation(QString& vendor, QString& version, QString& protocolVersion);

signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    struct Held {
        QDBusMessage call;
        uint id;
    };
    QDBusConnection bus_;
    QStringList capabilities_;
    std::vector<Notification> notified_;
    std::vector<uint> closed_;
    bool holding_ = false;
    bool answersInformation_ = true;
    std::vector<Held> held_;
    uint nextId_ = 1;
};
