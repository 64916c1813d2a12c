#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// The remarks the panel shows at most once per working day.
enum class PanelMoment { fourthSip, threeCupsInHour, rangeExceeded };

template <> struct RawEnumCases<PanelMoment> {
    static constexpr std::array<std::pair<PanelMoment, std::string_view>, 3> table{{
        {PanelMoment::fourthSip, "fourthSip"},
        {PanelMoment::threeCupsInHour, "threeCupsInHour"},
        {PanelMoment::rangeExceeded, "rangeExceeded"},
    }};
};

} // namespace DewlightCore
