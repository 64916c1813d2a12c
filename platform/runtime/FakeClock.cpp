#include "platform/runtime/FakeClock.h"

#include "platform/runtime/EventLoop.h"

#include <algorithm>
#include <utility>

namespace DewlightPlatform {

namespace {

QCoro::Task<bool> waitFor(Wakeup wakeup, CancelToken token) {
    const auto subscription = token.onCancel([wakeup] { wakeup.fire(false); });
    const bool slept = co_await wakeup;
    co_return slept;
}

} // namespace

FakeClock::FakeClock(double wallStart) : wall_(wallStart) {}

FakeClock::~FakeClock() {
    for (auto& sleeper : sleepers_) {
        sleeper.wakeup.fire(false);
    }
}

QCoro::Task<bool> FakeClock::sleep(double seconds, CancelToken token) {
    if (token.isCancelled()) {
        co_return false;
    }
    const double duration = seconds > 0 ? seconds : 0.0;
    Wakeup wakeup;
    if (duration == 0.0) {
        wakeup.fire(true);
    } else {
        sleepers_.push_back(Sleeper{false, uptime_ + duration, nextOrder_++, wakeup});
    }
    QCoro::Task<bool> wait = waitFor(wakeup, std::move(token));
    const bool slept = co_await wait;
    co_return slept;
}

QCoro::Task<bool> FakeClock::sleepUntil(double instant, CancelToken token) {
    if (token.isCancelled()) {
        co_return false;
    }
    Wakeup wakeup;
    if (!(instant > wall_)) {
        wakeup.fire(true);
    } else {
        sleepers_.push_back(Sleeper{true, instant, nextOrder_++, wakeup});
    }
    QCoro::Task<bool> wait = waitFor(wakeup, std::move(token));
    const bool slept = co_await wait;
    co_return slept;
}

void FakeClock::dropEnded() {
    std::erase_if(sleepers_, [](const Sleeper& sleeper) { return sleeper.wakeup.hasFired(); });
}

double FakeClock::remainingFor(const Sleeper& sleeper) const {
    return sleeper.deadline - (sleeper.onWallClock ? wall_ : uptime_);
}

void FakeClock::wakeWithin(double step) {
    dropEnded();
    // Remaining times are taken before the clock moves, so rounding never leaves a sleeper just
    // short of its deadline.
    std::vector<std::pair<double, Sleeper>> due;
    for (const auto& sleeper : sleepers_) {
        const double remaining = std::max(0.0, remainingFor(sleeper));
        if (remaining <= step) {
            due.emplace_back(remaining, sleeper);
        }
    }
    std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.order < b.second.order;
    });
    wall_ += step;
    uptime_ += step;
    for (auto& entry : due) {
        entry.second.wakeup.fire(true);
    }
    dropEnded();
}

void FakeClock::advance(double seconds) {
    double left = seconds > 0 ? seconds : 0.0;
    runUntilIdle();
    for (;;) {
        dropEnded();
        double step = left;
        bool found = false;
        for (const auto& sleeper : sleepers_) {
            const double remaining = std::max(0.0, remainingFor(sleeper));
            if (remaining <= step) {
                step = remaining;
                found = true;
            }
        }
        if (!found) {
            break;
        }
        wakeWithin(step);
        left -= step;
        runUntilIdle();
    }
    wall_ += left;
    uptime_ += left;
    runUntilIdle();
}

void FakeClock::setNow(double wall) {
    wall_ = wall;
    dropEnded();
    std::vector<Sleeper> due;
    for (const auto& sleeper : sleepers_) {
        if (sleeper.onWallClock && sleeper.deadline <= wall_) {
            due.push_back(sleeper);
        }
    }
    std::sort(due.begin(), due.end(), [](const Sleeper& a, const Sleeper& b) {
        return a.deadline != b.deadline ? a.deadline < b.deadline : a.order < b.order;
    });
    for (auto& sleeper : due) {
        sleeper.wakeup.fire(true);
    }
    dropEnded();
    runUntilIdle();
}

std::size_t FakeClock::pendingSleeps() const {
    return static_cast<std::size_t>(std::count_if(
        sleepers_.begin(), sleepers_.end(), [](const Sleeper& s) { return !s.wakeup.hasFired(); }));
}

} // namespace DewlightPlatform
