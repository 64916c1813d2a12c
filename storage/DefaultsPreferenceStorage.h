#pragma once

#include "storage/PreferenceStorage.h"

namespace DewlightPlatform {
class UserDefaults;
}

namespace DewlightStorage::KestraPreferences {

// Preference bytes kept as bytes values of this computer's defaults.
class DefaultsPreferenceStorage final : public PreferenceStorage {
public:
    explicit DefaultsPreferenceStorage(DewlightPlatform::UserDefaults& defaults)
        : defaults_(defaults) {}

    std::optional<QByteArray> data(const std::string& key) const override;
    void set(const QByteArray& data, const std::string& key) override;
    void remove(const std::string& key) override;

    DewlightPlatform::UserDefaults& defaults() const { return defaults_; }

private:
    DewlightPlatform::UserDefaults& defaults_;
};

} // namespace DewlightStorage::KestraPreferences
