#pragma once

#include "platform/runtime/FileWatch.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

namespace DewlightPlatform {

// Changes of the system time zone, from two sources: `localtime` itself (the link, not what it
// points at: it is replaced by rename or retargeted, and either reaches the old entry) and
// timedated's Timezone property (org.freedesktop.timedate1 on the bus given; the live
// application passes the system bus). Only while `localtime` is missing is its folder watched,
// for the entry's appearance: other files written to the folder wake nothing otherwise.
// timeZoneChanged() comes only when the zone really differs from the last one seen, and only
// after the process's own zone was refreshed (tzset() and ICU's default zone).
class TimeZoneWatcher final : public QObject {
    Q_OBJECT
public:
    using Refresh = std::function<void()>;

    // `folder` is "/etc" in the live application. An empty `refresh` refreshes the process's
    // zone from the system.
    TimeZoneWatcher(QString folder, QDBusConnection bus, Refresh refresh = {},
                    QObject* parent = nullptr);
    ~TimeZoneWatcher() override;

    // The zone last seen: the name the `localtime` link points at (after "zoneinfo/"), a digest
    // of its content when it is a plain file, empty when there is none.
    QString zone() const { return zone_; }
    bool isListeningToTimedated() const { return listening_; }
    // How often the file watch woke this object: unrelated writes to the folder must not.
    int wakeups() const { return wakeups_; }

    // Tzset() and ICU's default zone from the host.
    static void refreshProcessZone();

signals:
    void timeZoneChanged();

private slots:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);

private:
    QString probe() const;
    void consider(const QString& zone);
    void watch();

    QString folder_;
    QDBusConnection bus_;
    Refresh refresh_;
    FileWatch files_;
    QString zone_;
    bool listening_ = false;
    int wakeups_ = 0;
};

} // namespace DewlightPlatform
