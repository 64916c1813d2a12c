#pragma once

#include "storage/PreferenceStorage.h"

#include <QObject>
#include <memory>

namespace DewlightPlatform {
class KeyValueStore;
}

namespace DewlightStorage::KestraPreferences {

// The shared key-value store, unscoped. Change notices are taken as they arrive and acted on one
// turn of the event loop later; nothing runs once the storage is gone.
class UbiquitousPreferenceStorage final : public PreferenceCloudStorage {
public:
    explicit UbiquitousPreferenceStorage(DewlightPlatform::KeyValueStore& store);
    ~UbiquitousPreferenceStorage() override;
    UbiquitousPreferenceStorage(const UbiquitousPreferenceStorage&) = delete;
    UbiquitousPreferenceStorage& operator=(const UbiquitousPreferenceStorage&) = delete;

    std::optional<QByteArray> data(const std::string& key) const override;
    void set(const QByteArray& data, const std::string& key) override;
    void remove(const std::string& key) override;

    std::optional<PreferenceCloudIssue> issue() const override { return issue_; }
    void synchronize() override;

private:
    std::optional<PreferenceCloudIssue> issue_;
    DewlightPlatform::KeyValueStore& store_;
    // Receives the notices; its end drops the registration and any deferred work.
    std::unique_ptr<QObject> observer_;
};

} // namespace DewlightStorage::KestraPreferences
