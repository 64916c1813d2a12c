#pragma once

#include "platform/tray/TrayHost.h"

#include <QDBusConnection>
#include <cstdint>

class QDBusServiceWatcher;

namespace DewlightPlatform {

// The StatusNotifierItem host as the session bus tells it: available while the watcher service
// (org.kde.StatusNotifierWatcher) is on the bus and says a host is registered with it. Follows
// the watcher coming, going and restarting, and hosts registering and leaving. Starts out not
// available and learns the truth on a later turn.
class StatusNotifierHost final : public TrayHost {
    Q_OBJECT
public:
    static constexpr const char* watcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* watcherPath = "/StatusNotifierWatcher";

    explicit StatusNotifierHost(QDBusConnection bus);
    ~StatusNotifierHost() override;

    bool isAvailable() const override { return available_; }

private slots:
    void onHostsChanged();

private:
    // Asks the watcher again; an answer overtaken by a later question is dropped.
    void query();
    void setAvailable(bool available);

    QDBusConnection bus_;
    QDBusServiceWatcher* serviceWatcher_ = nullptr;
    bool available_ = false;
    std::uint64_t question_ = 0;
};

} // namespace DewlightPlatform
