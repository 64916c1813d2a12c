#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// Which sentence a reminder shows; the texts themselves belong to the notification side.
enum class ReminderPhrase { timeForRoziv, smallPause, aSipCounts, rozivMoment, weekComplete };

template <> struct RawEnumCases<ReminderPhrase> {
    static constexpr std::array<std::pair<ReminderPhrase, std::string_view>, 5> table{{
        {ReminderPhrase::timeForRoziv, "timeForRoziv"},
        {ReminderPhrase::smallPause, "smallPause"},
        {ReminderPhrase::aSipCounts, "aSipCounts"},
        {ReminderPhrase::rozivMoment, "rozivMoment"},
        {ReminderPhrase::weekComplete, "weekComplete"},
    }};
};

} // namespace DewlightCore
