#pragma once

#include "core/RawEnum.h"

#include <array>
#include <cstdint>
#include <utility>

namespace DewlightCore {

// The time between reminders; the raw value is in minutes.
enum class ReminderInterval : std::int64_t {
    minutes30 = 30,
    minutes45 = 45,
    minutes60 = 60,
    minutes90 = 90,
    minutes120 = 120,
};

template <> struct RawEnumCases<ReminderInterval> {
    static constexpr std::array<std::pair<ReminderInterval, std::int64_t>, 5> table{{
        {ReminderInterval::minutes30, 30},
        {ReminderInterval::minutes45, 45},
        {ReminderInterval::minutes60, 60},
        {ReminderInterval::minutes90, 90},
        {ReminderInterval::minutes120, 120},
    }};
};

// The interval as a span of seconds.
constexpr double seconds(ReminderInterval interval) {
    return static_cast<double>(rawValue(interval)) * 60.0;
}

} // namespace DewlightCore
