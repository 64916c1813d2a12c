#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightCore {

// The synced settings that have a cloud preference key; the raw values are the settings'
// field names. openAtLogin belongs to one machine and has none.
enum class PreferenceField {
    remindersEnabled,
    weekdays,
    startMinute,
    endMinute,
    cupVolume,
    interval
};

template <> struct RawEnumCases<PreferenceField> {
    static constexpr std::array<std::pair<PreferenceField, std::string_view>, 6> table{{
        {PreferenceField::remindersEnabled, "remindersEnabled"},
        {PreferenceField::weekdays, "weekdays"},
        {PreferenceField::startMinute, "startMinute"},
        {PreferenceField::endMinute, "endMinute"},
        {PreferenceField::cupVolume, "cupVolume"},
        {PreferenceField::interval, "interval"},
    }};
};

} // namespace DewlightCore
