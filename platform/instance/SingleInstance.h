#pragma once

#include "platform/instance/InstanceChannel.h"

#include <chrono>
#include <functional>
#include <string>

namespace DewlightPlatform {

class InstanceLock;

// What a launch does about another instance of the same user.
struct InstanceDecision {
    enum class Kind {
        run,        // this launch is the application
        handedOver, // the running one shows its panel; this launch ends quietly
        refused,    // another one runs and could not be asked: `message` says so
    };
    Kind kind;
    std::string message;
};

// Claims the channel (the session bus) and the lock file in the data folder. The lock keeps a
// second application off the same data where the channel cannot (no session bus, or another
// session of the same user); the channel is what lets a later launch show the running panel.
// A holder that ends during the handover leaves the claim free: the launch claims it again.
InstanceDecision settleInstance(InstanceChannel& channel, InstanceLock& lock,
                                std::function<void()> show,
                                std::chrono::milliseconds answerTimeout = std::chrono::seconds(3));

} // namespace DewlightPlatform
