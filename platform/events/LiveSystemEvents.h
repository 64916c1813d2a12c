#pragma once

#include "platform/events/SystemEvents.h"

#include <QDBusConnection>
#include <QString>

class QGuiApplication;

namespace DewlightPlatform {

class ClockChangeWatcher;
class SleepWatcher;
class TimeZoneWatcher;

// The machine's system events on a Linux desktop:
// - wake: logind's PrepareForSleep(false);
// - became active: the application's state turning active;
// - clock changed: a cancelled CLOCK_REALTIME timerfd;
// - time zone changed: the `localtime` file's folder and timedated's Timezone property;
// - identity changed: reported by the persistence layer through reportIdentityChanged().
class LiveSystemEvents final : public SystemEvents {
    Q_OBJECT
public:
    struct Sources {
        // logind and timedated live here: the system bus in the application.
        QDBusConnection systemBus;
        // The folder holding `localtime`.
        QString zoneFolder = QStringLiteral("/etc");
    };

    LiveSystemEvents(QGuiApplication& application, Sources sources, QObject* parent = nullptr);
    ~LiveSystemEvents() override;

    const SleepWatcher& sleepWatcher() const { return *sleep_; }
    const ClockChangeWatcher& clockWatcher() const { return *clock_; }
    const TimeZoneWatcher& zoneWatcher() const { return *zone_; }

private:
    SleepWatcher* sleep_;
    ClockChangeWatcher* clock_;
    TimeZoneWatcher* zone_;
};

} // namespace DewlightPlatform
