#include "platform/instance/SingleInstance.h"

#include "platform/storage/InstanceLock.h"

#include <cstdio>

namespace DewlightPlatform {

namespace {

std::string process(std::optional<qint64> pid) {
    return pid ? " (process " + std::to_string(*pid) + ")" : std::string();
}

InstanceDecision lockOr(InstanceLock& lock, const std::string& whenHeld) {
    switch (lock.acquire()) {
    case InstanceLock::Result::heldByAnother:
        return {InstanceDecision::Kind::refused,
                "Dewlight is already running" + process(lock.holder()) + whenHeld};
    case InstanceLock::Result::acquired:
    case InstanceLock::Result::failed:
        // A data folder that cannot hold the lock is reported by the storage it breaks.
        break;
    }
    return {InstanceDecision::Kind::run, {}};
}

} // namespace

InstanceDecision settleInstance(InstanceChannel& channel, InstanceLock& lock,
                                std::function<void()> show,
                                std::chrono::milliseconds answerTimeout) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (channel.claim(show)) {
        case InstanceChannel::Claim::first:
            return lockOr(lock, " in another session; quit it there first.");
        case InstanceChannel::Claim::none:
            return lockOr(lock, "; without a session bus it cannot be asked to show its panel.");
        case InstanceChannel::Claim::taken:
            break;
        }
        const std::optional<qint64> holder = channel.holder();
        switch (channel.handOver(answerTimeout)) {
        case InstanceChannel::Handover::shown:
            return {InstanceDecision::Kind::handedOver, {}};
        case InstanceChannel::Handover::noAnswer: {
            const auto seconds =
                std::chrono::duration_cast<std::chrono::duration<double>>(answerTimeout).count();
            char limit[32];
            std::snprintf(limit, sizeof limit, "%g", seconds);
            return {InstanceDecision::Kind::refused,
                    "Dewlight is already running" + process(holder) +
                        " but did not answer within " + limit + " s; end that process or try again."};
        }
        case InstanceChannel::Handover::gone:
            break;
        }
    }
    return {InstanceDecision::Kind::refused,
            "Dewlight could not tell whether another instance is running; try again."};
}

} // namespace DewlightPlatform
