#pragma once

#include "core/RawEnum.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace DewlightCore {

// What one click records. Drinking is counted in quarter glasses: a glass 4, a sip 1.
enum class DrinkKind { cup, sip };

template <> struct RawEnumCases<DrinkKind> {
    static constexpr std::array<std::pair<DrinkKind, std::string_view>, 2> table{{
        {DrinkKind::cup, "cup"},
        {DrinkKind::sip, "sip"},
    }};
};

constexpr std::int64_t quarters(DrinkKind kind) {
    return kind == DrinkKind::cup ? 4 : 1;
}

} // namespace DewlightCore
