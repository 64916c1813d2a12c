#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// The system's notification authorization as the core sees it.
enum class NotificationPermission { notDetermined, denied, authorized };

template <> struct RawEnumCases<NotificationPermission> {
    static constexpr std::array<std::pair<NotificationPermission, std::string_view>, 3> table{{
        {NotificationPermission::notDetermined, "notDetermined"},
        {NotificationPermission::denied, "denied"},
        {NotificationPermission::authorized, "authorized"},
    }};
};

} // namespace DewlightCore
