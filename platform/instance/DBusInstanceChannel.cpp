#include "platform/instance/DBusInstanceChannel.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>

namespace DewlightPlatform {

namespace {

// What the first instance exports. The call returns at once; the panel shows on a later turn.
class InstanceObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.dewlight.Dewlight")
public:
    explicit InstanceObject(std::function<void()> show) : show_(std::move(show)) {}

public slots:
    void ShowPanel() {
        QTimer::singleShot(0, this, [this] {
            if (show_)
                show_();
        });
    }

private:
    std::function<void()> show_;
};

} // namespace

DBusInstanceChannel::DBusInstanceChannel(QDBusConnection bus) : bus_(std::move(bus)) {}

DBusInstanceChannel::~DBusInstanceChannel() {
    if (exported_) {
        bus_.unregisterObject(QString::fromLatin1(objectPath));
        bus_.unregisterService(QString::fromLatin1(serviceName));
    }
}

InstanceChannel::Claim DBusInstanceChannel::claim(std::function<void()> show) {
    if (!bus_.isConnected() || !bus_.interface())
        return Claim::none;
    if (exported_)
        return Claim::first;
    // The object goes up before the name, so a launch that finds the name can always call.
    auto object = std::make_unique<InstanceObject>(std::move(show));
    const QString path = QString::fromLatin1(objectPath);
    if (!bus_.registerObject(path, object.get(), QDBusConnection::ExportAllSlots))
        return Claim::none;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(QString::fromLatin1(serviceName),
                                          QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus_.unregisterObject(path);
        return reply.isValid() ? Claim::taken : Claim::none;
    }
    exported_ = std::move(object);
    return Claim::first;
}

InstanceChannel::Handover DBusInstanceChannel::handOver(std::chrono::milliseconds timeout) {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(serviceName), QString::fromLatin1(objectPath),
        QString::fromLatin1(interfaceName), QStringLiteral("ShowPanel"));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, static_cast<int>(timeout.count()));
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Handover::shown;
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return Handover::gone;
    return Handover::noAnswer;
}

std::optional<qint64> DBusInstanceChannel::holder() const {
    if (!bus_.isConnected() || !bus_.interface())
        return std::nullopt;
    const QDBusReply<uint> pid = bus_.interface()->servicePid(QString::fromLatin1(serviceName));
    if (!pid.isValid())
        return std::nullopt;
    return static_cast<qint64>(pid.value());
}

} // namespace DewlightPlatform

#include "DBusInstanceChannel.moc"
