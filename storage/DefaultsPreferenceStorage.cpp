#include "storage/DefaultsPreferenceStorage.h"

#include "platform/storage/UserDefaults.h"

namespace DewlightStorage::KestraPreferences {

std::optional<QByteArray> DefaultsPreferenceStorage::data(const std::string& key) const {
    return defaults_.bytes(key);
}

void DefaultsPreferenceStorage::set(const QByteArray& data, const std::string& key) {
    defaults_.setBytes(key, data);
}

void DefaultsPreferenceStorage::remove(const std::string& key) {
    defaults_.remove(key);
}

} // namespace DewlightStorage::KestraPreferences
