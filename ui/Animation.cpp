#include "ui/Animation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ui {

namespace {
// A spring counts as settled once within this fraction of its distance.
constexpr double springSettled = 0.001;
} // namespace

Animation Animation::spring(double response, double damping) {
    Animation a;
    a.curve = Curve::spring;
    a.response = std::max(0.01, response);
    a.damping = std::clamp(damping, 0.05, 1.0);
    a.duration = a.totalDuration();
    return a;
}

double Animation::totalDuration() const {
    if (curve != Curve::spring)
        return std::max(0.0, duration);
    // The envelope e^(-ζωt) falls below the settled fraction.
    const double omega = 2 * std::numbers::pi / response;
    return -std::log(springSettled) / (damping * omega) + (damping >= 1.0 ? response : 0.0);
}

double Animation::progress(double elapsed) const {
    const double total = totalDuration();
    if (total <= 0 || elapsed >= total)
        return 1;
    if (elapsed <= 0)
        return 0;
    const double t = elapsed / total;
    switch (curve) {
    case Curve::linear:
        return t;
    case Curve::easeOut:
        return 1 - (1 - t) * (1 - t);
    case Curve::easeInOut:
        return t < 0.5 ? 2 * t * t : 1 - std::pow(-2 * t + 2, 2) / 2;
    case Curve::spring: {
        const double omega = 2 * std::numbers::pi / response;
        if (damping >= 1.0) // critically damped
            return 1 - (1 + omega * elapsed) * std::exp(-omega * elapsed);
        const double wd = omega * std::sqrt(1 - damping * damping);
        return 1 - std::exp(-damping * omega * elapsed) *
                       (std::cos(wd * elapsed) + damping * omega / wd * std::sin(wd * elapsed));
    }
    }
    return 1;
}

AnimationStore::AnimationStore(std::function<double()> clock) : clock_(std::move(clock)) {}

bool AnimationStore::moving(const Transition& t, double at) const {
    return t.animation && at - t.start < t.animation->totalDuration();
}

double AnimationStore::value(const QString& identity, Channel channel, double target,
                             const std::optional<Animation>& animation) {
    const double at = now();
    auto [it, inserted] = transitions_.try_emplace({identity, channel});
    Transition& t = it->second;
    if (inserted || !animation) {
        t = {target, target, at, std::nullopt, 0};
        return target;
    }
    const double shown =
        moving(t, at) ? t.from + (t.to - t.from) * t.animation->progress(at - t.start) : t.to;
    if (target != t.to) {
        t = {shown, target, at, animation, 0};
        return shown;
    }
    return shown;
}

double AnimationStore::pulse(const QString& identity, long long trigger,
                             const std::optional<Animation>& animation) {
    const double at = now();
    auto [it, inserted] = transitions_.try_emplace({identity, Channel::bounce});
    Transition& t = it->second;
    if (inserted || !animation) {
        t = {0, 0, at, std::nullopt, trigger};
        return 0;
    }
    if (trigger != t.trigger)
        t = {0, 1, at, animation, trigger};
    if (!moving(t, at))
        return 0;
    return std::sin(std::numbers::pi *
                    std::clamp((at - t.start) / t.animation->totalDuration(), 0.0, 1.0));
}

bool AnimationStore::running() const {
    const double at = now();
    return std::any_of(transitions_.begin(), transitions_.end(),
                       [&](const auto& entry) { return moving(entry.second, at); });
}

bool AnimationStore::layoutRunning() const {
    const double at = now();
    return std::any_of(transitions_.begin(), transitions_.end(), [&](const auto& entry) {
        return entry.first.second == Channel::number && moving(entry.second, at);
    });
}

void AnimationStore::retain(const std::function<bool(const QString&)>& present) {
    std::erase_if(transitions_, [&](const auto& entry) { return !present(entry.first.first); });
}

} // namespace ui
