#pragma once

#include <QtGlobal>
#include <chrono>
#include <functional>
#include <optional>

namespace DewlightPlatform {

// The line between the running application and a later launch of it by the same user: the first
// claims it and answers "show the panel"; a later one finds it taken and asks the first.
class InstanceChannel {
public:
    enum class Claim {
        first, // ours: this process is the application
        taken, // another process holds it
        none,  // no channel to claim (no session bus)
    };
    enum class Handover {
        shown,    // the first one answered: its panel is on screen
        noAnswer, // it did not answer in time
        gone,     // it ended meanwhile: the claim is free again
    };

    virtual ~InstanceChannel() = default;
    // Claims the channel; once ours, `show` runs (on a later turn) each time a later launch asks.
    virtual Claim claim(std::function<void()> show) = 0;
    virtual Handover handOver(std::chrono::milliseconds timeout) = 0;
    // The process that holds the claim, when known.
    virtual std::optional<qint64> holder() const = 0;
};

} // namespace DewlightPlatform
