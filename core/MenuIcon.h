#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// The tray icon: a filled drop while reminders run, an outline one when they rest, a warning
// when notifications are not allowed.
enum class MenuIcon { filled, outline, permissionWarning };

template <> struct RawEnumCases<MenuIcon> {
    static constexpr std::array<std::pair<MenuIcon, std::string_view>, 3> table{{
        {MenuIcon::filled, "filled"},
        {MenuIcon::outline, "outline"},
        {MenuIcon::permissionWarning, "permissionWarning"},
    }};
};

} // namespace DewlightCore
