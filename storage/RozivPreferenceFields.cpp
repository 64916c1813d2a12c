#include "storage/RozivPreferenceFields.h"

#include "storage/PreferenceSync.h"

#include <string>
#include <type_traits>
#include <utility>

namespace DewlightStorage {

using DewlightCore::CupVolume;
using DewlightCore::ReminderInterval;
using DewlightCore::RozivSettings;
using DewlightCore::Weekday;
using KestraPreferences::PreferenceSync;
using Fields = RozivSettingsFields;

RozivSettingsFields RozivSettingsFields::of(const RozivSettings& settings) {
    return {settings.remindersEnabled(), settings.weekdays(),  settings.startMinute(),
            settings.endMinute(),        settings.cupVolume(), settings.interval()};
}

RozivSettings RozivSettingsFields::settings() const {
    return RozivSettings(reminders, days, start, end, cup, interval, false);
}

namespace {

// How a view's integer becomes each field's value.
bool lowestBit(std::int64_t value, bool& on) {
    on = (value & 1) != 0;
    return true;
}

bool minute(std::int64_t value, std::int64_t& field) {
    field = value;
    return true;
}

// Views number days Monday 1 to Sunday 7; weekdays count from Sunday 1. A day toggles, but the
// last working day is never removed.
bool toggledDay(std::int64_t value, std::set<Weekday>& days) {
    if (value < 1 || value > 7)
        return false;
    const auto day = DewlightCore::fromRawValue<Weekday>(value == 7 ? 1 : value + 1);
    if (!day)
        return false;
    if (!days.contains(*day))
        days.insert(*day);
    else if (days.size() > 1)
        days.erase(*day);
    return true;
}

template <class E> bool rawCase(std::int64_t value, E& field) {
    const auto known = DewlightCore::fromRawValue<E>(value);
    if (!known)
        return false;
    field = *known;
    return true;
}

template <RozivPreferenceKey key, auto member, auto fromView>
constexpr RozivPreferenceField field() {
    using Value = std::remove_cvref_t<decltype(std::declval<Fields&>().*member)>;
    return {
        key,
        [](const PreferenceSync& sync, Fields& fields) {
            if (auto value = sync.value<Value>(std::string(DewlightCore::rawValue(key))))
                fields.*member = std::move(*value);
        },
        [](PreferenceSync& sync, const Fields& fields) {
            sync.set(fields.*member, std::string(DewlightCore::rawValue(key)));
        },
        [](const Fields& a, const Fields& b) { return a.*member == b.*member; },
        [](std::int64_t value, Fields& fields) { return fromView(value, fields.*member); },
    };
}

using Key = RozivPreferenceKey;

// A seventh synced setting is one line here, beside its member in the fields and its key.
constexpr RozivPreferenceFieldTable fields{{
    field<Key::reminders, &Fields::reminders, lowestBit>(),
    field<Key::start, &Fields::start, minute>(),
    field<Key::end, &Fields::end, minute>(),
    field<Key::days, &Fields::days, toggledDay>(),
    field<Key::cup, &Fields::cup, rawCase<CupVolume>>(),
    field<Key::interval, &Fields::interval, rawCase<ReminderInterval>>(),
}};

constexpr bool coversEveryKeyInOrder() {
    const auto keys = DewlightCore::allCases<Key>();
    if (keys.size() != fields.size())
        return false;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (fields[i].key != keys[i])
            return false;
    return true;
}
static_assert(coversEveryKeyInOrder(), "one field per synced key, in the keys' order");

} // namespace

const RozivPreferenceFieldTable& rozivPreferenceFields() {
    return fields;
}

const RozivPreferenceField& rozivPreferenceField(RozivPreferenceKey key) {
    for (const auto& field : fields)
        if (field.key == key)
            return field;
    return fields.front(); // unreachable: every key has its field
}

} // namespace DewlightStorage
