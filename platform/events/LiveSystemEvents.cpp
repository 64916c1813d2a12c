#include "platform/events/LiveSystemEvents.h"

#include "platform/events/ClockChangeWatcher.h"
#include "platform/events/SleepWatcher.h"
#include "platform/events/TimeZoneWatcher.h"

#include <QGuiApplication>

namespace DewlightPlatform {

LiveSystemEvents::LiveSystemEvents(QGuiApplication& application, Sources sources, QObject* parent)
    : SystemEvents(parent), sleep_(new SleepWatcher(sources.systemBus, this)),
      clock_(new ClockChangeWatcher({}, this)),
      zone_(new TimeZoneWatcher(sources.zoneFolder, sources.systemBus, {}, this)) {
    connect(sleep_, &SleepWatcher::woke, this, [this] { report(SystemEvent::wake); });
    connect(clock_, &ClockChangeWatcher::clockChanged, this,
            [this] { report(SystemEvent::clockChanged); });
    connect(zone_, &TimeZoneWatcher::timeZoneChanged, this,
            [this] { report(SystemEvent::timeZoneChanged); });
    // Qt reports a state only when it changes, so each activation comes once.
    connect(&application, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    report(SystemEvent::becameActive);
                }
            });
}

LiveSystemEvents::~LiveSystemEvents() = default;

} // namespace DewlightPlatform
