// Runs under dbus-run-session: the session bus here is a private one; the real system bus is
// made unreachable before anything connects.
#include "platform/events/LiveSystemEvents.h"
#include "platform/events/SleepWatcher.h"
#include "platform/events/TimeZoneWatcher.h"
#include "platform/runtime/EventLoop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

using namespace DewlightPlatform;

namespace {

[[maybe_unused]] const bool systemBusUnreachable =
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/dewlight-test-bus");

void settle() {
    runUntil([] { return false; }, std::chrono::milliseconds(150));
}

// Notes that a signal came through.
class Arrival final : public QObject {
    Q_OBJECT
public:
    bool arrived = false;
public slots:
    void note() { arrived = true; }
};

// Stands in for logind and timedated: a connection of its own that owns their names and sends
// their signals.
class FakeSystemServices {
public:
    FakeSystemServices()
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName)) {
        EXPECT_TRUE(bus_.isConnected());
        EXPECT_TRUE(bus_.registerService(QStringLiteral("org.freedesktop.login1")));
        EXPECT_TRUE(bus_.registerService(QStringLiteral("org.freedesktop.timedate1")));
    }
    ~FakeSystemServices() { QDBusConnection::disconnectFromBus(connectionName); }

    // Call once the listeners are connected, before sending them anything. Qt's default session
    // connection holds back what it receives until the event loop first runs, and as it lets go,
    // a message arriving at that moment is delivered ahead of those held back: signals sent
    // earlier could reach the listeners out of order. A signal of our own that came through
    // shows that the connection now delivers as it receives.
    bool reach(QDBusConnection listeners) {
        const auto path = QStringLiteral("/org/dewlight/test");
        const auto interface = QStringLiteral("org.dewlight.Test");
        const auto member = QStringLiteral("Ping");
        Arrival arrival;
        if (!listeners.connect(bus_.baseService(), path, interface, member, &arrival,
                               SLOT(note()))) {
            return false;
        }
        // A round trip on the listeners' connection: the bus has their rule before the ping.
        listeners.interface()->isServiceRegistered(bus_.baseService());
        EXPECT_TRUE(bus_.send(QDBusMessage::createSignal(path, interface, member)));
        const bool reached = runUntil([&] { return arrival.arrived; });
        listeners.disconnect(bus_.baseService(), path, interface, member, &arrival, SLOT(note()));
        return reached;
    }

    void prepareForSleep(bool goingToSleep) {
        auto message = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                  QStringLiteral("org.freedesktop.login1.Manager"),
                                                  QStringLiteral("PrepareForSleep"));
        message << goingToSleep;
        EXPECT_TRUE(bus_.send(message));
    }

    void propertiesChanged(const QVariantMap& changed, const QStringList& invalidated = {},
                           const QString& interface = QStringLiteral("org.freedesktop.timedate1")) {
        auto message = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/timedate1"),
                                                  QStringLiteral("org.freedesktop.DBus.Properties"),
                                                  QStringLiteral("PropertiesChanged"));
        message << interface << QVariant::fromValue(changed) << QVariant::fromValue(invalidated);
        EXPECT_TRUE(bus_.send(message));
    }

private:
    static constexpr const char* connectionName = "fake-system-services";
    QDBusConnection bus_;
};

void linkZone(const QTemporaryDir& folder, const QString& target) {
    const QString localtime = QDir(folder.path()).filePath(QStringLiteral("localtime"));
    const QString staged = localtime + QStringLiteral(".new");
    ASSERT_TRUE(QFile::link(target, staged));
    ASSERT_EQ(std::rename(QFile::encodeName(staged).constData(),
                          QFile::encodeName(localtime).constData()),
              0);
}

TEST(BusListeners, RunOnAPrivateBus) {
    EXPECT_NE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QByteArray("disabled:"));
    EXPECT_TRUE(QDBusConnection::sessionBus().isConnected());
    EXPECT_FALSE(QDBusConnection::systemBus().isConnected());
}

TEST(SleepWatcher, OnlyTheEndOfASleepIsAWake) {
    FakeSystemServices services;
    SleepWatcher watcher(QDBusConnection::sessionBus());
    ASSERT_TRUE(watcher.isListening());
    int wakes = 0;
    QObject::connect(&watcher, &SleepWatcher::woke, [&] { ++wakes; });
    ASSERT_TRUE(services.reach(QDBusConnection::sessionBus()));
    services.prepareForSleep(true);
    services.prepareForSleep(false);
    ASSERT_TRUE(runUntil([&] { return wakes > 0; }));
    services.prepareForSleep(true);
    settle();
    EXPECT_EQ(wakes, 1);
}

TEST(TimeZoneWatcher, TimedatedZoneCountsOnlyWhenItDiffers) {
    FakeSystemServices services;
    QTemporaryDir etc;
    linkZone(etc, QStringLiteral("/usr/share/zoneinfo/Etc/UTC"));
    int refreshes = 0;
    std::vector<QString> seen;
    TimeZoneWatcher watcher(etc.path(), QDBusConnection::sessionBus(), [&] { ++refreshes; });
    ASSERT_TRUE(watcher.isListeningToTimedated());
    QObject::connect(&watcher, &TimeZoneWatcher::timeZoneChanged,
                     [&] { seen.push_back(watcher.zone()); });
    ASSERT_TRUE(services.reach(QDBusConnection::sessionBus()));
    const QVariantMap paris{{QStringLiteral("Timezone"), QStringLiteral("Europe/Paris")}};
    services.propertiesChanged(paris, {}, QStringLiteral("org.freedesktop.timedate1.Other"));
    services.propertiesChanged({{QStringLiteral("Timezone"), QStringLiteral("Etc/UTC")}});
    services.propertiesChanged({{QStringLiteral("NTP"), true}});
    services.propertiesChanged(paris);
    ASSERT_TRUE(runUntil([&] { return !seen.empty(); }));
    services.propertiesChanged(paris);
    // Only invalidated: the folder says what the zone is now.
    services.propertiesChanged({}, {QStringLiteral("Timezone")});
    ASSERT_TRUE(runUntil([&] { return seen.size() >= 2; }));
    settle();
    EXPECT_EQ(seen, (std::vector<QString>{"Europe/Paris", "Etc/UTC"}));
    EXPECT_EQ(refreshes, 2);
}

TEST(LiveSystemEvents, GathersTheMachinesEvents) {
    FakeSystemServices services;
    QTemporaryDir etc;
    linkZone(etc, QStringLiteral("/usr/share/zoneinfo/Etc/UTC"));
    LiveSystemEvents events(*qGuiApp, {QDBusConnection::sessionBus(), etc.path()});
    std::vector<SystemEvent> seen;
    QObject::connect(&events, &SystemEvents::occurred,
                     [&](SystemEvent event) { seen.push_back(event); });
    ASSERT_TRUE(services.reach(QDBusConnection::sessionBus()));

    services.prepareForSleep(false);
    ASSERT_TRUE(runUntil([&] { return seen.size() == 1; }));
    linkZone(etc, QStringLiteral("/usr/share/zoneinfo/America/Lima"));
    ASSERT_TRUE(runUntil([&] { return seen.size() == 2; }));
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    events.reportIdentityChanged();
    settle();
    EXPECT_EQ(seen,
              (std::vector<SystemEvent>{SystemEvent::wake, SystemEvent::timeZoneChanged,
                                        SystemEvent::becameActive, SystemEvent::identityChanged}));
}

} // namespace

#include "BusListenersTest.moc"
