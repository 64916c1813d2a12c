#include "core/RozivSettings.h"

#include "core/DomainError.h"

namespace DewlightCore {

RozivSettings::RozivSettings(bool remindersEnabled, std::set<Weekday> weekdays,
                             std::int64_t startMinute, std::int64_t endMinute, CupVolume cupVolume,
                             ReminderInterval interval, bool openAtLogin)
    : remindersEnabled_(remindersEnabled), weekdays_(std::move(weekdays)),
      startMinute_(startMinute), endMinute_(endMinute), cupVolume_(cupVolume), interval_(interval),
      openAtLogin_(openAtLogin) {
    const bool valid = !weekdays_.empty() && startMinute_ >= earliestStartMinute &&
                       startMinute_ <= latestStartMinute && endMinute_ >= earliestEndMinute &&
                       endMinute_ <= latestEndMinute && startMinute_ % minuteStep == 0 &&
                       endMinute_ % minuteStep == 0 &&
                       endMinute_ - startMinute_ >= shortestWindowMinutes;
    if (!valid)
        throw DomainError::invalidSettings();
}

RozivSettings RozivSettings::defaults() {
    return RozivSettings(
        true,
        {Weekday::monday, Weekday::tuesday, Weekday::wednesday, Weekday::thursday, Weekday::friday},
        540, 1080, CupVolume::ml250, ReminderInterval::minutes60, false);
}

} // namespace DewlightCore

namespace DewlightPlatform {

// Written with the core's names.
using namespace DewlightCore;

JsonValue JsonCodec<RozivSettings>::encode(const RozivSettings& settings) {
    JsonValue json = JsonValue::object();
    json["remindersEnabled"] = settings.remindersEnabled();
    json["weekdays"] = Json::encode(settings.weekdays());
    json["startMinute"] = settings.startMinute();
    json["endMinute"] = settings.endMinute();
    json["cupVolume"] = Json::encode(settings.cupVolume());
    json["interval"] = Json::encode(settings.interval());
    json["openAtLogin"] = settings.openAtLogin();
    return json;
}

RozivSettings JsonCodec<RozivSettings>::decode(const JsonValue& json) {
    // Every key is read, in this order, before the bounds are checked.
    const auto remindersEnabled = Json::field<bool>(json, "remindersEnabled");
    auto weekdays = Json::field<std::set<Weekday>>(json, "weekdays");
    const auto startMinute = Json::field<std::int64_t>(json, "startMinute");
    const auto endMinute = Json::field<std::int64_t>(json, "endMinute");
    const auto cupVolume = Json::field<CupVolume>(json, "cupVolume");
    const auto interval = Json::field<ReminderInterval>(json, "interval");
    const auto openAtLogin = Json::field<bool>(json, "openAtLogin");
    return RozivSettings(remindersEnabled, std::move(weekdays), startMinute, endMinute, cupVolume,
                         interval, openAtLogin);
}

} // namespace DewlightPlatform
