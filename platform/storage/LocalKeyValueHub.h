#pragma once

#include "platform/storage/KeyValueStore.h"

#include <cstddef>
#include <map>
#include <memory>
#include <set>

namespace DewlightPlatform {

class LocalKeyValueHub;

// One computer's replica of the shared store, held by a LocalKeyValueHub. Each account it was
// signed in to keeps its own contents, as the real store does.
class LocalKeyValueStore final : public KeyValueStore {
    Q_OBJECT
public:
    std::vector<std::string> keys() const override;
    std::optional<QByteArray> data(const std::string& key) const override;
    void set(const std::string& key, const QByteArray& data) override;
    void remove(const std::string& key) override;
    void synchronize() override { ++synchronizations_; }

    // Sends any notice, as the platform would.
    void post(const KeyValueStoreChange& change) { emit externalChange(change); }

    const std::string& machine() const { return machine_; }
    const std::optional<std::string>& account() const { return account_; }
    int synchronizations() const { return synchronizations_; }
    bool overQuota() const { return overQuota_; }

private:
    friend class LocalKeyValueHub;
    using Contents = std::map<std::string, QByteArray>;

    LocalKeyValueStore(LocalKeyValueHub& hub, std::string machine,
                       std::optional<std::string> account);
    Contents& contents() { return replicas_[account_]; }
    const Contents* currentContents() const;
    void markChanged(const std::string& key);
    bool fitsQuota(const std::string& key, const QByteArray& data) const;

    LocalKeyValueHub& hub_;
    std::string machine_;
    std::optional<std::string> account_;
    std::map<std::optional<std::string>, Contents> replicas_;
    // Keys changed here and not yet handed to each other machine, per account.
    std::map<std::pair<std::optional<std::string>, std::string>, std::set<std::string>> pending_;
    int synchronizations_ = 0;
    bool overQuota_ = false;
};

// Several computers sharing one store, driven by a test: it hands one machine's changes to
// another, switches a machine's account and sets a quota. Nothing moves unless the test says so.
class LocalKeyValueHub {
public:
    struct Quota {
        std::optional<std::size_t> totalBytes; // keys and values of one replica together
        std::optional<std::size_t> keyCount;
    };

    LocalKeyValueHub() = default;
    LocalKeyValueHub(const LocalKeyValueHub&) = delete;
    LocalKeyValueHub& operator=(const LocalKeyValueHub&) = delete;
    ~LocalKeyValueHub();

    // A new machine signed in to `account` (none: signed out). It will receive everything the
    // other machines of its account hold.
    LocalKeyValueStore& addMachine(const std::string& name, std::optional<std::string> account);
    LocalKeyValueStore& machine(const std::string& name);

    // Hands every change `from` made since the last delivery to `to`, when both are signed in to
    // the same account. `to` gets one server-change notice naming the keys whose value changed
    // there (none when nothing changed). Returns those keys, sorted.
    std::vector<std::string> deliver(const std::string& from, const std::string& to);

    // Signs `name` in to another account (none: signed out); it then shows that account's
    // contents and gets one account-change notice naming the keys that differ from before.
    void switchAccount(const std::string& name, std::optional<std::string> account);

    void setQuota(Quota quota) { quota_ = quota; }
    const Quota& quota() const { return quota_; }

private:
    friend class LocalKeyValueStore;
    std::map<std::string, std::unique_ptr<LocalKeyValueStore>> machines_;
    Quota quota_;
};

} // namespace DewlightPlatform
