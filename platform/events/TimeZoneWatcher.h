#pragma once

#include <QDBusConnection>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

namespace DewlightPlatform {

// Changes of the system time zone, from two sources: the folder holding `localtime` (it is
// replaced by rename, so the folder is watched, not the file) and timedated's Timezone property
// (org.freedesktop.timedate1 on the bus given; the live application passes the system bus).
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

    QString folder_;
    QDBusConnection bus_;
    Refresh refresh_;
    QFileSystemWatcher watcher_;
    QString zone_;
    bool listening_ = false;
};

} // namespace DewlightPlatform
