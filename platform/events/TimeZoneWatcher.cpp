#include "platform/events/TimeZoneWatcher.h"

#include "platform/calendar/HostTimeZone.h"

#include "platform/runtime/Log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <ctime>
#include <sys/inotify.h>
#include <unicode/timezone.h>

namespace DewlightPlatform {

namespace {
const QString service = QStringLiteral("org.freedesktop.timedate1");
const QString path = QStringLiteral("/org/freedesktop/timedate1");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString changedMember = QStringLiteral("PropertiesChanged");
const QString timedateInterface = QStringLiteral("org.freedesktop.timedate1");
const QString timezoneProperty = QStringLiteral("Timezone");
const char* const changedSlot = SLOT(onPropertiesChanged(QString, QVariantMap, QStringList));
} // namespace

TimeZoneWatcher::TimeZoneWatcher(QString folder, QDBusConnection bus, Refresh refresh,
                                 QObject* parent)
    : QObject(parent), folder_(std::move(folder)), bus_(std::move(bus)),
      refresh_(std::move(refresh)), files_([this](std::uint32_t) {
          ++wakeups_;
          watch();
          consider(probe());
      }) {
    if (!refresh_) {
        refresh_ = &TimeZoneWatcher::refreshProcessZone;
    }
    zone_ = probe();
    watch();
    listening_ = bus_.isConnected() &&
                 bus_.connect(service, path, propertiesInterface, changedMember, this, changedSlot);
    if (!listening_) {
        qCWarning(systemLog, "time zone service is not watched: the bus is not reachable");
    }
}

TimeZoneWatcher::~TimeZoneWatcher() {
    if (listening_) {
        bus_.disconnect(service, path, propertiesInterface, changedMember, this, changedSlot);
    }
}

void TimeZoneWatcher::watch() {
    // Renewed after every event: a replaced `localtime` is another inode.
    files_.clear();
    const QString file = QDir(folder_).filePath(QStringLiteral("localtime"));
    const auto onEntry = IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_DONT_FOLLOW;
    if (files_.add(QFile::encodeName(file).toStdString(), onEntry))
        return;
    if (!files_.add(QFile::encodeName(folder_).toStdString(), IN_CREATE | IN_MOVED_TO,
                    "localtime"))
        qCWarning(systemLog, "time zone file is not watched: %s", qUtf8Printable(folder_));
}

void TimeZoneWatcher::refreshProcessZone() {
    ::tzset();
    icu::TimeZone::adoptDefault(hostTimeZone().release());
}

QString TimeZoneWatcher::probe() const {
    const QString file = QDir(folder_).filePath(QStringLiteral("localtime"));
    const QFileInfo info(file);
    if (info.isSymLink()) {
        const QString target = QFile::symLinkTarget(file);
        const auto marker = QStringLiteral("zoneinfo/");
        const auto at = target.lastIndexOf(marker);
        return at >= 0 ? target.mid(at + marker.size()) : target;
    }
    QFile content(file);
    if (!content.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QStringLiteral("sha256:") +
           QString::fromLatin1(
               QCryptographicHash::hash(content.readAll(), QCryptographicHash::Sha256).toHex());
}

void TimeZoneWatcher::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                          const QStringList& invalidated) {
    if (interface != timedateInterface) {
        return;
    }
    const auto value = changed.constFind(timezoneProperty);
    if (value != changed.constEnd()) {
        const QString name = value->toString();
        consider(name.isEmpty() ? probe() : name);
    } else if (invalidated.contains(timezoneProperty)) {
        consider(probe());
    }
}

void TimeZoneWatcher::consider(const QString& zone) {
    if (zone == zone_) {
        return;
    }
    zone_ = zone;
    refresh_();
    emit timeZoneChanged();
}

} // namespace DewlightPlatform
