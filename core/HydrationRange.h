#pragma once

#include "core/RozivSettings.h"

#include <cstdint>

namespace DewlightCore {

// The day's glass range from the working hours and the glass size: 100 ml per working hour
// rounded down, 125 ml per working hour rounded up, each at least one glass. Always recomputed,
// never stored.
class HydrationRange {
public:
    explicit HydrationRange(const RozivSettings& settings);

    std::int64_t minimumCups() const { return minimumCups_; }
    std::int64_t maximumCups() const { return maximumCups_; }

    // A count in quarter glasses above the upper end (equal is not exceeded).
    bool isExceeded(std::int64_t quarters) const { return quarters > 4 * maximumCups_; }
    // 2 once the lower end is reached, else 1: the planner then reminds half as often.
    std::int64_t intervalFactor(std::int64_t quarters) const {
        return quarters >= 4 * minimumCups_ ? 2 : 1;
    }

    bool operator==(const HydrationRange&) const = default;

private:
    std::int64_t minimumCups_;
    std::int64_t maximumCups_;
};

} // namespace DewlightCore
