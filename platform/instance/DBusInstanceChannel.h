#pragma once

#include "platform/instance/InstanceChannel.h"

#include <QDBusConnection>
#include <QObject>
#include <memory>

namespace DewlightPlatform {

// The channel as a well-known name on the session bus, with one method, ShowPanel, on the
// object the first instance exports.
class DBusInstanceChannel final : public InstanceChannel {
public:
    static constexpr const char* serviceName = "org.dewlight.Dewlight";
    static constexpr const char* objectPath = "/org/dewlight/Dewlight";
    static constexpr const char* interfaceName = "org.dewlight.Dewlight";

    explicit DBusInstanceChannel(QDBusConnection bus);
    ~DBusInstanceChannel() override;

    Claim claim(std::function<void()> show) override;
    Handover handOver(std::chrono::milliseconds timeout) override;
    std::optional<qint64> holder() const override;

private:
    QDBusConnection bus_;
    std::unique_ptr<QObject> exported_;
};

} // namespace DewlightPlatform
