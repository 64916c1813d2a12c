#pragma once

#include "platform/storage/UserDefaults.h"

#include <map>

namespace DewlightPlatform {

// In-memory defaults for tests and scratch stores. `writes()` counts the changes that would have
// reached a file, so a test can see that an unchanged value writes nothing.
class LocalUserDefaults final : public UserDefaults {
public:
    LocalUserDefaults() = default;
    explicit LocalUserDefaults(std::map<std::string, UserDefaultsValue> initial)
        : values_(std::move(initial)) {}

    std::optional<UserDefaultsValue> value(const std::string& key) const override;
    void set(const std::string& key, UserDefaultsValue value) override;
    void remove(const std::string& key) override;
    std::vector<std::string> keys() const override;

    int writes() const { return writes_; }

private:
    std::map<std::string, UserDefaultsValue> values_;
    int writes_ = 0;
};

} // namespace DewlightPlatform
