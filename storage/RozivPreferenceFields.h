#pragma once

#include "core/RozivSettings.h"
#include "storage/RozivPreferenceKey.h"

#include <array>
#include <cstdint>
#include <set>

namespace DewlightStorage {

namespace KestraPreferences {
class PreferenceSync;
}

// The synced fields of `RozivSettings` as plain values, so that one of them can change before the
// whole is checked again. openAtLogin is not among them: it belongs to one computer.
struct RozivSettingsFields {
    bool reminders;
    std::set<DewlightCore::Weekday> days;
    std::int64_t start;
    std::int64_t end;
    DewlightCore::CupVolume cup;
    DewlightCore::ReminderInterval interval;

    static RozivSettingsFields of(const DewlightCore::RozivSettings& settings);
    // Throws `invalidSettings` when a bound is broken; openAtLogin is false.
    DewlightCore::RozivSettings settings() const;
};

// One synced setting: its key, and how its field is read from the sync (left as it is when the
// key gives no value), written to it, compared, and changed by a view's integer value (false
// when the value is refused).
struct RozivPreferenceField {
    RozivPreferenceKey key;
    void (*read)(const KestraPreferences::PreferenceSync& sync, RozivSettingsFields& fields);
    void (*write)(KestraPreferences::PreferenceSync& sync, const RozivSettingsFields& fields);
    bool (*same)(const RozivSettingsFields& a, const RozivSettingsFields& b);
    bool (*fromView)(std::int64_t value, RozivSettingsFields& fields);
};

// The synced settings, one for each key, in the keys' order.
using RozivPreferenceFieldTable =
    std::array<RozivPreferenceField, DewlightCore::allCases<RozivPreferenceKey>().size()>;
const RozivPreferenceFieldTable& rozivPreferenceFields();
const RozivPreferenceField& rozivPreferenceField(RozivPreferenceKey key);

} // namespace DewlightStorage
