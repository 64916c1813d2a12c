#pragma once

#include "core/RawEnum.h"

#include <array>
#include <cstdint>
#include <utility>

namespace DewlightCore {

// A working weekday. The raw value is the Gregorian calendar's weekday number, 1 = Sunday.
enum class Weekday : std::int64_t {
    sunday = 1,
    monday = 2,
    tuesday = 3,
    wednesday = 4,
    thursday = 5,
    friday = 6,
    saturday = 7,
};

template <> struct RawEnumCases<Weekday> {
    static constexpr std::array<std::pair<Weekday, std::int64_t>, 7> table{{
        {Weekday::sunday, 1},
        {Weekday::monday, 2},
        {Weekday::tuesday, 3},
        {Weekday::wednesday, 4},
        {Weekday::thursday, 5},
        {Weekday::friday, 6},
        {Weekday::saturday, 7},
    }};
};

} // namespace DewlightCore
