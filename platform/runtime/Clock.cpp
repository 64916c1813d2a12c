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
    // The job starts on the next turn: the time until then is taken off, so that turn does not
    // delay it (as a difference, so a clock that did not move sleeps exactly `seconds`).
    const double armed = monotonic();
    return Timer(Job::spawn(
        [this, armed, seconds, fire = std::move(fire)](CancelToken token) -> QCoro::Task<void> {
            const bool due = co_await sleep(seconds - (monotonic() - armed), token);
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
