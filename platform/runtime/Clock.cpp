#include "platform/runtime/Clock.h"

#include <utility>

namespace DewlightPlatform {

Timer& Timer::operator=(Timer&& other) noexcept {
    if (this != &other) {
        cancel();
        job_ = std::move(other.job_);
        other.job_ = Job();
    }
    return *this;
}

Timer::~Timer() {
    cancel();
}

void Timer::cancel() {
    job_.cancel();
}

bool Timer::isArmed() const {
    return !job_.isDone() && !job_.isCancelled();
}

Timer Clock::after(double seconds, std::function<void()> fire) {
    // The job starts on the next turn: the deadline is taken now, so that turn does not delay it.
    const double deadline = monotonic() + seconds;
    return Timer(Job::spawn(
        [this, deadline, fire = std::move(fire)](CancelToken token) -> QCoro::Task<void> {
            const bool due = co_await sleep(deadline - monotonic(), token);
            if (due && !token.isCancelled()) {
                fire();
            }
        }));
}

Timer Clock::at(double instant, std::function<void()> fire) {
    return Timer(
        Job::spawn([this, instant, fire = std::move(fire)](CancelToken token) -> QCoro::Task<void> {
            const bool due = co_await sleepUntil(instant, token);
            if (due && !token.isCancelled()) {
                fire();
            }
        }));
}

} // namespace DewlightPlatform
