#include "platform/runtime/SystemClock.h"

#include "platform/runtime/OwnedDescriptor.h"
#include "platform/runtime/Wakeup.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <system_error>
#include <unistd.h>

namespace DewlightPlatform {

namespace {

// About a century: far enough for any sleep the application asks for, and well inside the
// kernel's range of timer values.
constexpr double longestSleep = 3.2e9;
constexpr double latestInstantSince1970 = 8.0e9;

timespec toTimespec(double seconds) {
    const double whole = std::floor(seconds);
    timespec value{};
    value.tv_sec = static_cast<time_t>(whole);
    value.tv_nsec = static_cast<long>((seconds - whole) * 1e9);
    if (value.tv_nsec >= 1000000000L) {
        value.tv_sec += 1;
        value.tv_nsec -= 1000000000L;
    }
    return value;
}

OwnedDescriptor armedTimer(clockid_t clock, int flags, timespec expiry) {
    OwnedDescriptor timer(::timerfd_create(clock, TFD_NONBLOCK | TFD_CLOEXEC));
    if (!timer.isOpen()) {
        throw std::system_error(errno, std::generic_category(), "timerfd_create");
    }
    if (expiry.tv_sec == 0 && expiry.tv_nsec == 0) {
        expiry.tv_nsec = 1; // an all-zero expiry would disarm the timer
    }
    itimerspec setting{};
    setting.it_value = expiry;
    if (::timerfd_settime(timer.get(), flags, &setting, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "timerfd_settime");
    }
    return timer;
}

QCoro::Task<bool> waitOn(clockid_t clock, int flags, timespec expiry, CancelToken token) {
    if (token.isCancelled()) {
        co_return false;
    }
    OwnedDescriptor timer = armedTimer(clock, flags, expiry);
    Wakeup wakeup;
    timer.watch([&timer, wakeup] {
        std::uint64_t expirations = 0;
        const auto got = ::read(timer.get(), &expirations, sizeof expirations);
        // ECANCELED only comes with TFD_TIMER_CANCEL_ON_SET, which these sleeps do not ask for;
        // EAGAIN is a spurious wake-up.
        if (got == sizeof expirations) {
            timer.stopWatching();
            wakeup.fire(true);
        }
    });
    const auto subscription = token.onCancel([wakeup] { wakeup.fire(false); });
    const bool slept = co_await wakeup;
    co_return slept;
}

} // namespace

double SystemClock::now() const {
    timespec value{};
    ::clock_gettime(CLOCK_REALTIME, &value);
    return static_cast<double>(value.tv_sec) - secondsFrom1970To2001 +
           static_cast<double>(value.tv_nsec) / 1e9;
}

double SystemClock::monotonic() const {
    timespec value{};
    ::clock_gettime(CLOCK_BOOTTIME, &value);
    return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_nsec) / 1e9;
}

QCoro::Task<bool> SystemClock::sleep(double seconds, CancelToken token) {
    const double duration = seconds > 0 ? std::min(seconds, longestSleep) : 0.0;
    QCoro::Task<bool> wait = waitOn(CLOCK_BOOTTIME, 0, toTimespec(duration), std::move(token));
    const bool slept = co_await wait;
    co_return slept;
}

QCoro::Task<bool> SystemClock::sleepUntil(double instant, CancelToken token) {
    double since1970 = instant + secondsFrom1970To2001;
    if (!(since1970 > 0)) {
        since1970 = 1e-9; // long past: expires at once
    }
    since1970 = std::min(since1970, latestInstantSince1970);
    QCoro::Task<bool> wait =
        waitOn(CLOCK_REALTIME, TFD_TIMER_ABSTIME, toTimespec(since1970), std::move(token));
    const bool slept = co_await wait;
    co_return slept;
}

} // namespace DewlightPlatform
