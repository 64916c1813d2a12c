#include "platform/notifications/ClockWallAlarm.h"

namespace DewlightPlatform {

void ClockWallAlarm::arm(double instant) {
    sleeper_.cancel();
    // The job never touches the alarm once its token was cancelled, which the destructor does.
    sleeper_ = Job::spawn([this, instant](CancelToken token) -> QCoro::Task<void> {
        QCoro::Task<bool> sleep = clock_.sleepUntil(instant, token);
        const bool rang = co_await sleep;
        if (rang && !token.isCancelled() && onRing_) {
            onRing_();
        }
    });
}

} // namespace DewlightPlatform
