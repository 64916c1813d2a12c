#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// What failed, as far as the panel's status line is concerned.
enum class PanelFailure { storage, scheduling, clock };

template <> struct RawEnumCases<PanelFailure> {
    static constexpr std::array<std::pair<PanelFailure, std::string_view>, 3> table{{
        {PanelFailure::storage, "storage"},
        {PanelFailure::scheduling, "scheduling"},
        {PanelFailure::clock, "clock"},
    }};
};

} // namespace DewlightCore
