#pragma once

#include "core/CupVolume.h"
#include "core/Json.h"
#include "core/ReminderInterval.h"
#include "core/Weekday.h"

#include <cstdint>
#include <set>

namespace DewlightCore {

// What the user chose. A value that exists is valid: at least one weekday, a start between
// 05:00 and 13:00, an end between 10:00 and 23:30, both on the half hour, at least one hour
// apart. Nothing is clamped; a value out of bounds is refused.
class RozivSettings {
public:
    static constexpr std::int64_t earliestStartMinute = 300;
    static constexpr std::int64_t latestStartMinute = 780;
    static constexpr std::int64_t earliestEndMinute = 600;
    static constexpr std::int64_t latestEndMinute = 1410;
    static constexpr std::int64_t minuteStep = 30;
    static constexpr std::int64_t shortestWindowMinutes = 60;

    // Throws `invalidSettings` when a bound is broken.
    RozivSettings(bool remindersEnabled, std::set<Weekday> weekdays, std::int64_t startMinute,
                  std::int64_t endMinute, CupVolume cupVolume, ReminderInterval interval,
                  bool openAtLogin);

    // Reminders on, Monday to Friday, 09:00-18:00, 250 ml, every 60 minutes, not at login.
    static RozivSettings defaults();

    bool remindersEnabled() const { return remindersEnabled_; }
    const std::set<Weekday>& weekdays() const { return weekdays_; }
    std::int64_t startMinute() const { return startMinute_; }
    std::int64_t endMinute() const { return endMinute_; }
    CupVolume cupVolume() const { return cupVolume_; }
    ReminderInterval interval() const { return interval_; }
    bool openAtLogin() const { return openAtLogin_; }

    bool operator==(const RozivSettings&) const = default;

private:
    bool remindersEnabled_;
    std::set<Weekday> weekdays_;
    std::int64_t startMinute_;
    std::int64_t endMinute_;
    CupVolume cupVolume_;
    ReminderInterval interval_;
    bool openAtLogin_;
};

} // namespace DewlightCore

// {"remindersEnabled", "weekdays", "startMinute", "endMinute", "cupVolume", "interval",
// "openAtLogin"}, all required; weekdays as a sorted array of raw values.
template <> struct DewlightPlatform::JsonCodec<DewlightCore::RozivSettings> {
    static JsonValue encode(const DewlightCore::RozivSettings& settings);
    static DewlightCore::RozivSettings decode(const JsonValue& json);
};
