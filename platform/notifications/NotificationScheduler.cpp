#include "platform/notifications/NotificationScheduler.h"

#include "platform/runtime/Log.h"

#include <algorithm>
#include <iterator>

namespace DewlightPlatform {

NotificationScheduler::NotificationScheduler(const Clock& clock, WallAlarm& alarm, Fire fire)
    : clock_(clock), alarm_(alarm), fire_(std::move(fire)) {
    alarm_.setHandler([this] { onRing(); });
}

NotificationScheduler::~NotificationScheduler() {
    alarm_.disarm();
    alarm_.setHandler({});
}

void NotificationScheduler::add(NotificationRequest request) {
    const auto same = std::find_if(pending_.begin(), pending_.end(), [&](const auto& pending) {
        return pending.identifier == request.identifier;
    });
    if (same != pending_.end()) {
        *same = std::move(request);
    } else {
        pending_.push_back(std::move(request));
    }
    rearm();
}

void NotificationScheduler::remove(const std::vector<std::string>& identifiers) {
    const auto removed = std::erase_if(pending_, [&](const NotificationRequest& request) {
        return std::find(identifiers.begin(), identifiers.end(), request.identifier) !=
               identifiers.end();
    });
    if (removed > 0) {
        rearm();
    }
}

void NotificationScheduler::removeAll() {
    pending_.clear();
    alarm_.disarm();
}

void NotificationScheduler::rearm() {
    if (pending_.empty()) {
        alarm_.disarm();
        return;
    }
    const auto earliest =
        std::min_element(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) {
            return a.trigger.instant < b.trigger.instant;
        });
    alarm_.arm(earliest->trigger.instant);
}

void NotificationScheduler::onRing() {
    const double now = clock_.now();
    const auto isDue = [now](const NotificationRequest& request) {
        return request.trigger.instant <= now;
    };
    std::vector<NotificationRequest> due;
    std::copy_if(pending_.begin(), pending_.end(), std::back_inserter(due), isDue);
    std::erase_if(pending_, isDue);
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
        return a.trigger.instant < b.trigger.instant;
    });
    // Re-armed before anything fires: what a fire does to the scheduler re-arms in turn.
    rearm();
    for (auto& request : due) {
        if (now - request.trigger.instant > overdueLimit) {
            qCInfo(systemLog, "a reminder %.0f s overdue was dropped",
                   now - request.trigger.instant);
            continue;
        }
        fire_(std::move(request));
    }
}

} // namespace DewlightPlatform
