#include "platform/storage/LocalUserDefaults.h"

namespace DewlightPlatform {

std::optional<UserDefaultsValue> LocalUserDefaults::value(const std::string& key) const {
    auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

void LocalUserDefaults::set(const std::string& key, UserDefaultsValue value) {
    if (!isStorable(value))
        return;
    auto [slot, inserted] = values_.try_emplace(key, value);
    if (!inserted) {
        if (slot->second == value)
            return;
        slot->second = std::move(value);
    }
    ++writes_;
}

void LocalUserDefaults::remove(const std::string& key) {
    if (values_.erase(key) > 0)
        ++writes_;
}

std::vector<std::string> LocalUserDefaults::keys() const {
    std::vector<std::string> result;
    result.reserve(values_.size());
    for (const auto& [key, value] : values_)
        result.push_back(key);
    return result;
}

} // namespace DewlightPlatform
