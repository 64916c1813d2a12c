#include "platform/events/ClockChangeWatcher.h"

#include "platform/runtime/Log.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace DewlightPlatform {

namespace {

// About a century ahead: the timer is there to be cancelled, not to expire.
constexpr time_t armAhead = 3'153'600'000;

} // namespace

ClockChangeWatcher::ClockChangeWatcher(Reader reader, QObject* parent)
    : QObject(parent), reader_(std::move(reader)) {
    if (!reader_) {
        reader_ = [](int descriptor, void* buffer, std::size_t size) {
            return ::read(descriptor, buffer, size);
        };
    }
    timer_ = OwnedDescriptor(::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC));
    if (!timer_.isOpen()) {
        qCWarning(systemLog, "clock changes are not watched: %s", std::strerror(errno));
        return;
    }
    arm();
    timer_.watch([this] { onReadable(); });
}

void ClockChangeWatcher::arm() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    itimerspec setting{};
    setting.it_value.tv_sec = now.tv_sec + armAhead;
    if (::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &setting,
                          nullptr) != 0) {
        qCWarning(systemLog, "clock change timer not armed: %s", std::strerror(errno));
    }
}

void ClockChangeWatcher::onReadable() {
    std::uint64_t expirations = 0;
    const ssize_t got = reader_(timer_.get(), &expirations, sizeof expirations);
    const int error = got < 0 ? errno : 0;
    if (got < 0 && error == EAGAIN) {
        return; // spurious readiness
    }
    if (got < 0 && error != ECANCELED) {
        // Anything else would repeat on every turn: stop watching rather than spin.
        qCWarning(systemLog, "clock changes no longer watched: %s", std::strerror(error));
        timer_.stopWatching();
        return;
    }
    // A cancel (the clock was set) or, a century on, a real expiry: either way arm again, which
    // also clears what made the descriptor readable.
    arm();
    if (got < 0) {
        emit clockChanged();
    }
}

} // namespace DewlightPlatform
