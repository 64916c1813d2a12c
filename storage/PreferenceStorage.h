#pragma once

#include <QByteArray>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace DewlightStorage::KestraPreferences {

// Bytes per key: all the preference sync needs of a store. Implemented by objects with one owner.
class PreferenceStorage {
public:
    virtual ~PreferenceStorage() = default;

    // Absent when nothing, or something other than bytes, is stored under the key.
    virtual std::optional<QByteArray> data(const std::string& key) const = 0;
    virtual void set(const QByteArray& data, const std::string& key) = 0;
    virtual void remove(const std::string& key) = 0;
};

// Why the shared store is not used at the moment.
enum class PreferenceCloudIssue { quotaExceeded, accountChanged, accountUnavailable };

// The store shared between computers.
class PreferenceCloudStorage : public PreferenceStorage {
public:
    // Called on the main thread with the full store keys another computer changed.
    using ExternalChange = std::function<void(const std::set<std::string>& keys)>;

    // A plain property that every store keeps the same way; the store calls it.
    const ExternalChange& onExternalChange() const { return onExternalChange_; }
    void setOnExternalChange(ExternalChange callback) { onExternalChange_ = std::move(callback); }
    // The store's last reported problem; absent when healthy.
    virtual std::optional<PreferenceCloudIssue> issue() const = 0;
    // Asks the store to exchange pending changes now.
    virtual void synchronize() = 0;

private:
    ExternalChange onExternalChange_;
};

// The account the local values are bound to.
class PreferenceAccountIdentity {
public:
    enum class Kind {
        account,     // the signed-in account named by an opaque marker
        unavailable, // nobody signed in, or the account could not be identified
        isolated,    // a store set of no account at all: no account bookkeeping
    };

    static PreferenceAccountIdentity account(QByteArray marker) {
        return PreferenceAccountIdentity(Kind::account, std::move(marker));
    }
    static PreferenceAccountIdentity unavailable() {
        return PreferenceAccountIdentity(Kind::unavailable, {});
    }
    static PreferenceAccountIdentity isolated() {
        return PreferenceAccountIdentity(Kind::isolated, {});
    }

    Kind kind() const { return kind_; }
    bool isAccount() const { return kind_ == Kind::account; }
    // The marker of an `account`; empty for the other kinds.
    const QByteArray& marker() const { return marker_; }

    bool operator==(const PreferenceAccountIdentity&) const = default;

private:
    PreferenceAccountIdentity(Kind kind, QByteArray marker)
        : kind_(kind), marker_(std::move(marker)) {}

    Kind kind_;
    QByteArray marker_;
};

} // namespace DewlightStorage::KestraPreferences
