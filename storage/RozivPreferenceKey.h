#pragma once

#include "core/RawEnum.h"

#include <array>
#include <string_view>
#include <utility>

namespace DewlightStorage {

// The six synced settings, each its own key so that two computers editing different settings at
// once both keep their edit. openAtLogin belongs to one computer and is not synced.
enum class RozivPreferenceKey { reminders, start, end, days, cup, interval };

} // namespace DewlightStorage

template <> struct DewlightCore::RawEnumCases<DewlightStorage::RozivPreferenceKey> {
    static constexpr std::array<std::pair<DewlightStorage::RozivPreferenceKey, std::string_view>, 6>
        table{{
            {DewlightStorage::RozivPreferenceKey::reminders, "reminders"},
            {DewlightStorage::RozivPreferenceKey::start, "start"},
            {DewlightStorage::RozivPreferenceKey::end, "end"},
            {DewlightStorage::RozivPreferenceKey::days, "days"},
            {DewlightStorage::RozivPreferenceKey::cup, "cup"},
            {DewlightStorage::RozivPreferenceKey::interval, "interval"},
        }};
};
