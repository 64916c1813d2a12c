#pragma once

#include "core/RawEnum.h"

#include <array>
#include <cstdint>
#include <utility>

namespace DewlightCore {

// The size of one glass; the raw value is in millilitres. There is no 450 ml glass.
enum class CupVolume : std::int64_t {
    ml150 = 150,
    ml200 = 200,
    ml250 = 250,
    ml300 = 300,
    ml350 = 350,
    ml400 = 400,
    ml500 = 500,
};

template <> struct RawEnumCases<CupVolume> {
    static constexpr std::array<std::pair<CupVolume, std::int64_t>, 7> table{{
        {CupVolume::ml150, 150},
        {CupVolume::ml200, 200},
        {CupVolume::ml250, 250},
        {CupVolume::ml300, 300},
        {CupVolume::ml350, 350},
        {CupVolume::ml400, 400},
        {CupVolume::ml500, 500},
    }};
};

} // namespace DewlightCore
