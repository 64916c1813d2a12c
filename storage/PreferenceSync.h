#pragma once

#include "core/Json.h"
#include "platform/runtime/WeakOwner.h"
#include "storage/PreferenceRecord.h"
#include "storage/PreferenceStorage.h"

#include <QObject>
#include <QUuid>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace DewlightPlatform {
class IdentityToken;
class IdentityTokenSource;
class KeyValueStore;
class UserDefaults;
} // namespace DewlightPlatform

namespace DewlightStorage::KestraPreferences {

// Keeps a fixed set of preference keys identical between a local store and the shared store.
// Each key holds a JSON preference record in both; a write stamps a record one revision above the
// merged copies, a pull merges the copies key by key and writes the winner back wherever it
// differs. The local values are bound to one account: when the account behind the stores
// changes, the old account's values are wiped rather than merged into the new one.
// Nothing here throws: bad or oversized stored data, refused writes and coding failures leave
// the key as it was. Main thread only.
class PreferenceSync {
public:
    using AccountProvider = std::function<PreferenceAccountIdentity()>;
    using Observer = std::function<void()>;

    // Put before every managed key in both stores.
    static constexpr const char* prefix = "syncedPreference.v1.";
    // In the local store: the marker of the account the local values belong to.
    static constexpr const char* accountKey = "syncedPreference.account";
    // In plain defaults (the convenience construction over them only).
    static constexpr const char* writerKey = "syncedPreference.writer";
    static constexpr const char* archivedAccountTokenKey = "syncedPreference.archivedAccountToken";
    static constexpr const char* accountMarkerKey = "syncedPreference.accountMarker";

    // Binds the local values to `account` (wiping them when they belong to another), then merges
    // every managed key and asks the cloud to synchronize. Observers registered later are never
    // called for this first pull. Without a provider the account never changes.
    PreferenceSync(std::shared_ptr<PreferenceStorage> local,
                   std::shared_ptr<PreferenceCloudStorage> cloud, std::set<std::string> keys,
                   std::string writerID, PreferenceAccountIdentity account,
                   AccountProvider accountProvider = {});

    // Over plain defaults and the whole shared store: the writer identity is kept in the defaults,
    // the account follows the signed-in identity, and a change of identity pulls every key on a
    // later turn. The defaults, store and token source must outlive the sync.
    PreferenceSync(DewlightPlatform::UserDefaults& defaults, DewlightPlatform::KeyValueStore& store,
                   const DewlightPlatform::IdentityTokenSource& tokens, std::set<std::string> keys);

    ~PreferenceSync();
    PreferenceSync(const PreferenceSync&) = delete;
    PreferenceSync& operator=(const PreferenceSync&) = delete;

    // The decoded payload of the local record; absent for an unmanaged key, no valid record, a
    // removal or a payload that does not decode as T.
    template <class T> std::optional<T> value(const std::string& key) const {
        const auto payload = localPayload(key);
        if (!payload)
            return std::nullopt;
        try {
            return DewlightCore::Json::decode<T>(DewlightCore::Json::parse(payload->toStdString()));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    bool isRemoved(const std::string& key) const;

    // Stores the JSON of `value`; a value that cannot be encoded or is too large does nothing.
    template <class T> void set(const T& value, const std::string& key) {
        std::string encoded;
        try {
            encoded = DewlightCore::Json::serialize(DewlightCore::Json::encode(value));
        } catch (const std::exception&) {
            return;
        }
        if (encoded.size() > KestraPreferencesCore::PreferenceRecord::maximumPayloadBytes)
            return;
        write(QByteArray::fromStdString(encoded), key);
    }

    void remove(const std::string& key) { write(std::nullopt, key); }

    // Called after a pull changed the local copy of `key` (the bare key, without prefix).
    QUuid observe(const std::string& key, Observer handler);
    void removeObserver(const QUuid& id);

    std::optional<PreferenceCloudIssue> issue() const { return issue_; }
    const PreferenceAccountIdentity& account() const { return account_; }
    const std::set<std::string>& keys() const { return keys_; }
    const std::string& writerID() const { return writerID_; }

    // Merges the changed full store keys (empty: every managed key) into both stores.
    void pull(const std::set<std::string>& changed);

    // The account of a signed-in identity token: one marker per token, remembered in the
    // defaults; another token gets a new marker that replaces the remembered one.
    static PreferenceAccountIdentity
    accountIdentity(const std::optional<DewlightPlatform::IdentityToken>& token,
                    const DewlightPlatform::IdentityTokenSource& archiver,
                    DewlightPlatform::UserDefaults& defaults);

private:
    struct StoredRecord {
        bool invalid = false; // bytes are stored but give no record
        std::optional<KestraPreferencesCore::PreferenceRecord> record;
    };

    void start();
    StoredRecord read(const PreferenceStorage& storage, const std::string& key) const;
    std::optional<QByteArray> localPayload(const std::string& key) const;
    void write(const std::optional<QByteArray>& payload, const std::string& key);
    void reconcileAccount();
    bool refreshAccount();
    void removeManagedLocalKeys();

    std::shared_ptr<PreferenceStorage> local_;
    std::shared_ptr<PreferenceCloudStorage> cloud_;
    std::set<std::string> keys_;
    std::string writerID_;
    PreferenceAccountIdentity account_;
    AccountProvider accountProvider_;
    // Receives the identity-change signal (convenience construction only).
    std::unique_ptr<QObject> identityObserver_;
    std::map<QUuid, std::pair<std::string, Observer>> observers_;
    std::optional<PreferenceCloudIssue> issue_;
    DewlightPlatform::WeakOwner<PreferenceSync> self_{this};
};

} // namespace DewlightStorage::KestraPreferences
