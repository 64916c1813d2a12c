#include "platform/notifications/TimerfdWallAlarm.h"

#include "platform/runtime/Clock.h"
#include "platform/runtime/Log.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sys/timerfd.h>
#include <system_error>
#include <unistd.h>

namespace DewlightPlatform {

namespace {

// Far enough for any reminder and well inside the kernel's range of timer values.
constexpr double latestSince1970 = 8.0e9;

// The expiry is rounded up to the next nanosecond, so that the clock read after the ring is
// never short of the instant.
timespec expiryFor(double instant) {
    double since1970 = instant + secondsFrom1970To2001;
    if (!(since1970 > 0)) {
        since1970 = 0;
    }
    since1970 = std::min(since1970, latestSince1970);
    const double whole = std::floor(since1970);
    timespec value{};
    value.tv_sec = static_cast<time_t>(whole);
    value.tv_nsec = static_cast<long>(std::ceil((since1970 - whole) * 1e9));
    if (value.tv_nsec >= 1000000000L) {
        value.tv_sec += 1;
        value.tv_nsec -= 1000000000L;
    }
    if (value.tv_sec == 0 && value.tv_nsec == 0) {
        value.tv_nsec = 1; // an all-zero expiry would disarm the timer
    }
    return value;
}

} // namespace

TimerfdWallAlarm::TimerfdWallAlarm(QObject* parent)
    : QObject(parent), timer_(::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (!timer_.isOpen()) {
        throw std::system_error(errno, std::generic_category(), "timerfd_create");
    }
    timer_.watch([this] { onReadable(); });
}

void TimerfdWallAlarm::arm(double instant) {
    itimerspec setting{};
    setting.it_value = expiryFor(instant);
    // Setting the timer also drops an expiry not yet read, so a replaced arming never rings.
    if (::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &setting, nullptr) != 0) {
        qCCritical(systemLog, "the reminder alarm could not be set: %s", std::strerror(errno));
    }
}

void TimerfdWallAlarm::disarm() {
    const itimerspec setting{};
    ::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &setting, nullptr);
}

void TimerfdWallAlarm::onReadable() {
    std::uint64_t expirations = 0;
    // EAGAIN: the expiry was dropped by a re-arm after the descriptor became readable.
    if (::read(timer_.get(), &expirations, sizeof expirations) == sizeof expirations && onRing_) {
        onRing_();
    }
}

} // namespace DewlightPlatform
