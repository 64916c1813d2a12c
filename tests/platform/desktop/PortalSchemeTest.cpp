// Runs under dbus-run-session: the session bus here is a private one, and the portal on it is a
// fake that the test starts and stops.
#include "platform/desktop/PortalColorScheme.h"
#include "platform/runtime/EventLoop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <gtest/gtest.h>
#include <memory>

using namespace DewlightPlatform;

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");

// The portal's Settings interface on a connection of its own, answering Read as the portal does
// (the value inside a second variant) and sending SettingChanged.
class FakePortal final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakePortal(quint32 value, const char* name = "fake-portal")
        : name_(QString::fromLatin1(name)),
          bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_)), value_(value) {
        EXPECT_TRUE(bus_.registerObject(portalPath, this, QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(bus_.registerService(portalService));
    }
    ~FakePortal() override { QDBusConnection::disconnectFromBus(name_); }

    void change(const QString& group, const QString& key, quint32 value) {
        if (group == appearance && key == QStringLiteral("color-scheme"))
            value_ = value;
        auto message = QDBusMessage::createSignal(portalPath, settingsInterface,
                                                  QStringLiteral("SettingChanged"));
        message << group << key << QVariant::fromValue(QDBusVariant(value));
        EXPECT_TRUE(bus_.send(message));
    }
    void change(quint32 value) { change(appearance, QStringLiteral("color-scheme"), value); }

public slots:
    QDBusVariant Read(const QString& group, const QString& key) {
        if (group != appearance || key != QStringLiteral("color-scheme"))
            return QDBusVariant(QVariant());
        return QDBusVariant(QVariant::fromValue(QDBusVariant(value_)));
    }

private:
    QString name_;
    QDBusConnection bus_;
    quint32 value_;
};

bool becomes(const PortalColorScheme& scheme, DesktopScheme expected) {
    return runUntil([&] { return scheme.scheme() == expected; });
}

// Nothing more arrives: a round trip through the bus after what was sent.
void settle() {
    QDBusConnection::sessionBus().interface()->isServiceRegistered(portalService);
    runUntil([] { return false; }, std::chrono::milliseconds(200));
}

TEST(PortalColorScheme, RunsOnAPrivateBusWithALightPalette) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    PortalColorScheme scheme(QDBusConnection::sessionBus());
    EXPECT_EQ(scheme.scheme(), DesktopScheme::light);
}

// Whichever starts first, and a portal that is replaced while the application runs: its live
// changes are followed both ways, and another setting changes nothing.
TEST(PortalColorScheme, FollowsTheLiveSchemeWhateverStartsFirst) {
    enum class Start { portalFirst, applicationFirst, portalReplaced };
    for (Start start : {Start::portalFirst, Start::applicationFirst, Start::portalReplaced}) {
        SCOPED_TRACE(static_cast<int>(start));
        std::unique_ptr<FakePortal> portal;
        if (start == Start::portalFirst)
            portal = std::make_unique<FakePortal>(0);
        PortalColorScheme scheme(QDBusConnection::sessionBus());
        if (start == Start::portalReplaced) {
            portal = std::make_unique<FakePortal>(1, "first-portal");
            ASSERT_TRUE(becomes(scheme, DesktopScheme::dark));
            portal.reset();
            ASSERT_TRUE(becomes(scheme, DesktopScheme::light)); // the palette again
        }
        if (!portal)
            portal = std::make_unique<FakePortal>(0);
        settle();
        EXPECT_EQ(scheme.scheme(), DesktopScheme::light);

        int changes = 0;
        QObject::connect(&scheme, &ColorSchemeSource::schemeChanged, [&] { ++changes; });
        portal->change(1);
        ASSERT_TRUE(becomes(scheme, DesktopScheme::dark));
        portal->change(QStringLiteral("org.freedesktop.appearance"),
                       QStringLiteral("accent-color"), 2);
        portal->change(QStringLiteral("org.gnome.desktop.interface"),
                       QStringLiteral("color-scheme"), 2);
        settle();
        EXPECT_EQ(scheme.scheme(), DesktopScheme::dark);
        portal->change(2);
        ASSERT_TRUE(becomes(scheme, DesktopScheme::light));
        portal->change(1);
        ASSERT_TRUE(becomes(scheme, DesktopScheme::dark));
        portal->change(0); // no preference: the light palette
        ASSERT_TRUE(becomes(scheme, DesktopScheme::light));
        EXPECT_EQ(changes, 4);
    }
}

} // namespace

#include "PortalSchemeTest.moc"
