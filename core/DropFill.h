#pragma once

#include <cstdint>

namespace DewlightCore {

// How full one drop of the panel's row is, in quarter glasses (0 to 4).
struct DropFill {
    std::int64_t quarters;

    bool operator==(const DropFill&) const = default;
};

} // namespace DewlightCore
