#pragma once

#include "storage/PreferenceStorage.h"

#include <QObject>
#include <memory>

namespace DewlightPlatform {
class KeyValueStore;
}

namespace DewlightStorage {

class AccountCloudFence;

// Puts every key of the wrapped storage under a prefix (account and generation); the prefix is
// joined to the key as it is, so it carries its own trailing dot.
class ScopedPreferenceStorage final : public KestraPreferences::PreferenceStorage {
public:
    ScopedPreferenceStorage(std::shared_ptr<KestraPreferences::PreferenceStorage> base,
                            std::string prefix)
        : base_(std::move(base)), prefix_(std::move(prefix)) {}

    std::optional<QByteArray> data(const std::string& key) const override {
        return base_->data(prefix_ + key);
    }
    void set(const QByteArray& data, const std::string& key) override {
        base_->set(data, prefix_ + key);
    }
    void remove(const std::string& key) override { base_->remove(prefix_ + key); }

    const std::string& prefix() const { return prefix_; }

private:
    std::shared_ptr<KestraPreferences::PreferenceStorage> base_;
    std::string prefix_;
};

// The shared store under a prefix, touched only while this account uses it and its fence is
// open. Change notices (only an enabled cloud registers) are acted on one turn later, and only
// the changed keys under the prefix are passed on, with the prefix cut off.
class ScopedPreferenceCloud final : public KestraPreferences::PreferenceCloudStorage {
public:
    // The fence must outlive this storage.
    ScopedPreferenceCloud(DewlightPlatform::KeyValueStore& store, std::string prefix, bool enabled,
                          const AccountCloudFence& fence);
    ~ScopedPreferenceCloud() override;
    ScopedPreferenceCloud(const ScopedPreferenceCloud&) = delete;
    ScopedPreferenceCloud& operator=(const ScopedPreferenceCloud&) = delete;

    std::optional<QByteArray> data(const std::string& key) const override;
    void set(const QByteArray& data, const std::string& key) override;
    void remove(const std::string& key) override;

    // `accountUnavailable` for an account without cloud; `accountChanged` while the fence is
    // closed; otherwise what the store's notices last reported.
    std::optional<KestraPreferences::PreferenceCloudIssue> issue() const override;
    void synchronize() override;

    const std::string& prefix() const { return prefix_; }
    bool enabled() const { return enabled_; }

private:
    bool gateOpen() const;

    DewlightPlatform::KeyValueStore& store_;
    std::string prefix_;
    bool enabled_;
    const AccountCloudFence& fence_;
    std::unique_ptr<QObject> observer_;
    std::optional<KestraPreferences::PreferenceCloudIssue> receivedIssue_;
};

// The cloud of an account without one: stores nothing, reports nothing.
class LocalPreferenceCloud final : public KestraPreferences::PreferenceCloudStorage {
public:
    std::optional<QByteArray> data(const std::string&) const override { return std::nullopt; }
    void set(const QByteArray&, const std::string&) override {}
    void remove(const std::string&) override {}

    std::optional<KestraPreferences::PreferenceCloudIssue> issue() const override {
        return std::nullopt;
    }
    void synchronize() override {}

private:
};

} // namespace DewlightStorage
