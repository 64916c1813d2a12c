#pragma once

#include "updates/AppVersion.h"

#include <optional>

namespace DewlightUpdates {

// Which version, if any, the user is offered.
struct UpdateOffer {
    UpdateOffer() = delete;

    // The published version when it is newer than the running one and newer than the one the
    // user set aside (versions compare by their parts: a set-aside 1.2 also hides 1.2.0).
    static std::optional<AppVersion> offer(const std::optional<AppVersion>& published,
                                           const AppVersion& current,
                                           const std::optional<AppVersion>& setAside);
};

} // namespace DewlightUpdates
