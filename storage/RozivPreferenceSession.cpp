#include "storage/RozivPreferenceSession.h"

#include "core/DomainError.h"
#include "storage/PreferenceSync.h"

namespace DewlightStorage {

using DewlightCore::CupVolume;
using DewlightCore::ReminderInterval;
using DewlightCore::RozivSettings;
using DewlightCore::Weekday;

namespace {
std::string text(RozivPreferenceKey key) {
    return std::string(DewlightCore::rawValue(key));
}
} // namespace

RozivPreferenceSession::RozivPreferenceSession(
    std::unique_ptr<KestraPreferences::PreferenceSync> sync)
    : sync_(std::move(sync)) {}

RozivPreferenceSession::~RozivPreferenceSession() = default;

RozivSettings RozivPreferenceSession::load() {
    using Key = RozivPreferenceKey;
    const auto d = RozivSettings::defaults();
    const auto& sync = *sync_;
    try {
        RozivSettings settings(
            sync.value<bool>(text(Key::reminders)).value_or(d.remindersEnabled()),
            sync.value<std::set<Weekday>>(text(Key::days)).value_or(d.weekdays()),
            sync.value<std::int64_t>(text(Key::start)).value_or(d.startMinute()),
            sync.value<std::int64_t>(text(Key::end)).value_or(d.endMinute()),
            sync.value<CupVolume>(text(Key::cup)).value_or(d.cupVolume()),
            sync.value<ReminderInterval>(text(Key::interval)).value_or(d.interval()), false);
        failures_.erase(RozivPreferenceFailure::invalidSettings);
        return settings;
    } catch (const DewlightCore::DomainError&) {
        failures_.insert(RozivPreferenceFailure::invalidSettings);
        throw StorageError(RozivPreferenceFailure::invalidSettings);
    }
}

namespace {
bool sameField(const RozivSettings& a, const RozivSettings& b, RozivPreferenceKey key) {
    switch (key) {
    case RozivPreferenceKey::reminders:
        return a.remindersEnabled() == b.remindersEnabled();
    case RozivPreferenceKey::start:
        return a.startMinute() == b.startMinute();
    case RozivPreferenceKey::end:
        return a.endMinute() == b.endMinute();
    case RozivPreferenceKey::days:
        return a.weekdays() == b.weekdays();
    case RozivPreferenceKey::cup:
        return a.cupVolume() == b.cupVolume();
    case RozivPreferenceKey::interval:
        return a.interval() == b.interval();
    }
    return false;
}
} // namespace

RozivSettings RozivPreferenceSession::save(const RozivSettings& settings, RozivPreferenceKey key) {
    auto& sync = *sync_;
    switch (key) {
    case RozivPreferenceKey::reminders:
        sync.set(settings.remindersEnabled(), text(key));
        break;
    case RozivPreferenceKey::start:
        sync.set(settings.startMinute(), text(key));
        break;
    case RozivPreferenceKey::end:
        sync.set(settings.endMinute(), text(key));
        break;
    case RozivPreferenceKey::days:
        sync.set(settings.weekdays(), text(key));
        break;
    case RozivPreferenceKey::cup:
        sync.set(settings.cupVolume(), text(key));
        break;
    case RozivPreferenceKey::interval:
        sync.set(settings.interval(), text(key));
        break;
    }
    auto readBack = load();
    if (sameField(readBack, settings, key)) {
        unsavedKeys_.erase(key);
        if (unsavedKeys_.empty())
            failures_.erase(RozivPreferenceFailure::notSaved);
        return readBack;
    }
    // A write the sync dropped, for example after the account changed under it.
    unsavedKeys_.insert(key);
    failures_.insert(RozivPreferenceFailure::notSaved);
    throw StorageError(RozivPreferenceFailure::notSaved);
}

} // namespace DewlightStorage
