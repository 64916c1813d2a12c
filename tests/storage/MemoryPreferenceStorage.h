#pragma once

#include "storage/PreferenceStorage.h"

#include <map>

namespace DewlightStorage {

// Preference storages in memory that count the changes made to them.
class MemoryPreferenceStorage : public KestraPreferences::PreferenceStorage {
public:
    std::optional<QByteArray> data(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void set(const QByteArray& data, const std::string& key) override {
        values[key] = data;
        ++writes;
    }
    void remove(const std::string& key) override { writes += values.erase(key) ? 1 : 0; }

    std::map<std::string, QByteArray> values;
    int writes = 0;
};

class MemoryPreferenceCloud final : public KestraPreferences::PreferenceCloudStorage {
public:
    std::optional<QByteArray> data(const std::string& key) const override {
        return storage.data(key);
    }
    void set(const QByteArray& data, const std::string& key) override { storage.set(data, key); }
    void remove(const std::string& key) override { storage.remove(key); }

    std::optional<KestraPreferences::PreferenceCloudIssue> issue() const override {
        return reported;
    }
    void synchronize() override { ++synchronizations; }

    std::map<std::string, QByteArray>& values() { return storage.values; }
    int writes() const { return storage.writes; }

    MemoryPreferenceStorage storage;
    std::optional<KestraPreferences::PreferenceCloudIssue> reported;
    int synchronizations = 0;
};

} // namespace DewlightStorage
