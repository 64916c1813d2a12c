#include "storage/RozivPreferenceSession.h"

#include "core/DomainError.h"
#include "storage/PreferenceSync.h"
#include "storage/RozivPreferenceFields.h"

namespace DewlightStorage {

using DewlightCore::RozivSettings;

RozivPreferenceSession::RozivPreferenceSession(
    std::unique_ptr<KestraPreferences::PreferenceSync> sync)
    : sync_(std::move(sync)) {}

RozivPreferenceSession::~RozivPreferenceSession() = default;

RozivSettings RozivPreferenceSession::load() {
    try {
        auto fields = RozivSettingsFields::of(RozivSettings::defaults());
        for (const auto& field : rozivPreferenceFields())
            field.read(*sync_, fields);
        auto settings = fields.settings();
        failures_.erase(RozivPreferenceFailure::invalidSettings);
        return settings;
    } catch (const DewlightCore::DomainError&) {
        failures_.insert(RozivPreferenceFailure::invalidSettings);
        throw StorageError(RozivPreferenceFailure::invalidSettings);
    }
}

RozivSettings RozivPreferenceSession::save(const RozivSettings& settings, RozivPreferenceKey key) {
    const auto& field = rozivPreferenceField(key);
    const auto written = RozivSettingsFields::of(settings);
    field.write(*sync_, written);
    auto readBack = load();
    if (field.same(RozivSettingsFields::of(readBack), written)) {
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
