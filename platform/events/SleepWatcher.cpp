#include "platform/events/SleepWatcher.h"

#include "platform/runtime/Log.h"

namespace DewlightPlatform {

namespace {
const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString interface = QStringLiteral("org.freedesktop.login1.Manager");
const QString member = QStringLiteral("PrepareForSleep");
} // namespace

SleepWatcher::SleepWatcher(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    listening_ = bus_.isConnected() && bus_.connect(service, path, interface, member, this,
                                                    SLOT(onPrepareForSleep(bool)));
    if (!listening_) {
        qCWarning(systemLog, "wake from sleep is not watched: the login manager is not reachable");
    }
}

SleepWatcher::~SleepWatcher() {
    if (listening_) {
        bus_.disconnect(service, path, interface, member, this, SLOT(onPrepareForSleep(bool)));
    }
}

void SleepWatcher::onPrepareForSleep(bool goingToSleep) {
    if (!goingToSleep) {
        emit woke();
    }
}

} // namespace DewlightPlatform
