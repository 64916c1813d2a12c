#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// The buttons of a reminder. The raw texts are also the notification's action identifiers.
enum class ReminderAction { cup, sip, postpone };

template <> struct RawEnumCases<ReminderAction> {
    static constexpr std::array<std::pair<ReminderAction, std::string_view>, 3> table{{
        {ReminderAction::cup, "cup"},
        {ReminderAction::sip, "sip"},
        {ReminderAction::postpone, "postpone"},
    }};
};

} // namespace DewlightCore
