#include "platform/desktop/PortalColorScheme.h"
#include "platform/runtime/Log.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>

namespace DewlightPlatform {

namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
} // namespace

DesktopScheme resolveScheme(std::optional<quint32> portalValue, const QPalette& palette) {
    if (portalValue == 1u)
        return DesktopScheme::dark;
    if (portalValue == 2u)
        return DesktopScheme::light;
    return palette.color(QPalette::Window).lightness() < 128 ? DesktopScheme::dark
                                                             : DesktopScheme::light;
}

std::optional<quint32> portalNumber(const QVariant& value) {
    QVariant inner = value;
    while (inner.metaType() == QMetaType::fromType<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    switch (inner.metaType().id()) {
    case QMetaType::UInt:
    case QMetaType::Int:
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::Short:
    case QMetaType::ULongLong:
    case QMetaType::LongLong:
        return static_cast<quint32>(inner.toULongLong());
    default:
        return std::nullopt;
    }
}

PortalColorScheme::PortalColorScheme(QDBusConnection bus)
    : bus_(std::move(bus)), scheme_(resolveScheme(std::nullopt, QGuiApplication::palette())) {
    if (qApp)
        qApp->installEventFilter(this);
    if (!bus_.isConnected())
        return;
    // Qt refuses a slot that takes the value as a QDBusVariant (connect fails, nothing arrives):
    // the slot takes the whole message.
    if (!bus_.connect(portalService, portalPath, settingsInterface,
                      QStringLiteral("SettingChanged"), this,
                      SLOT(onSettingChanged(QDBusMessage))))
        qCWarning(systemLog, "cannot follow the desktop portal's colour scheme: %s",
                 qPrintable(bus_.lastError().message()));
    auto* watcher = new QDBusServiceWatcher(portalService, bus_,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    ++question_;
                    portalValue_.reset();
                    update();
                } else {
                    read();
                }
            });
    read();
}

PortalColorScheme::~PortalColorScheme() = default;

void PortalColorScheme::read() {
    const std::uint64_t question = ++question_;
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath,
                                                       settingsInterface, QStringLiteral("Read"));
    call << appearance << colorSchemeKey;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call, 5000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                if (question != question_)
                    return;
                const QDBusMessage reply = answer->reply();
                portalValue_ = reply.type() == QDBusMessage::ReplyMessage &&
                                       !reply.arguments().isEmpty()
                                   ? portalNumber(reply.arguments().constFirst())
                                   : std::nullopt;
                update();
            });
}

void PortalColorScheme::onSettingChanged(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() != 3 || arguments.at(0).toString() != appearance ||
        arguments.at(1).toString() != colorSchemeKey)
        return;
    ++question_; // a read still on its way is older than this
    portalValue_ = portalNumber(arguments.at(2));
    update();
}

bool PortalColorScheme::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        update();
    return false;
}

void PortalColorScheme::update() {
    const DesktopScheme scheme = resolveScheme(portalValue_, QGuiApplication::palette());
    if (scheme == scheme_)
        return;
    scheme_ = scheme;
    emit schemeChanged(scheme);
}

} // namespace DewlightPlatform
