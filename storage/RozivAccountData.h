#pragma once

#include "core/RozivSettings.h"
#include "storage/AccountBoundary.h"
#include "storage/AccountSession.h"
#include "storage/AtomicFileStore.h"
#include "storage/CloudStorage.h"
#include "storage/LedgerTransaction.h"

#include <functional>
#include <memory>

namespace DewlightPlatform {
class FileSystem;
class IdentityTokenSource;
class KeyValueStore;
class UserDefaults;
} // namespace DewlightPlatform

namespace DewlightStorage {

class RozivPreferences;
struct RozivPreferenceContext;

// The platform services account data is built over; the application passes the live ones.
struct AccountDataServices {
    DewlightPlatform::UserDefaults& defaults;
    DewlightPlatform::KeyValueStore& cloudStore;
    const DewlightPlatform::IdentityTokenSource& tokens;
    DewlightPlatform::FileSystem& files;
};

// Everything held for the account signed in now: its session, file, fenced cloud storage,
// transaction and preferences. Built in one go and replaced, never repaired, when the account
// changes.
class RozivAccountData {
public:
    static constexpr const char* writerKey = "writer";

    // Throws a `StorageError` of `LocalStorageFailure::corrupted` for a failed session or an
    // unreadable file and `DomainError` for an invalid writer or marker. Cloud problems never
    // fail it.
    RozivAccountData(const AccountDataServices& services, AccountAuthority& authority,
                     RozivPreferences& preferences);
    ~RozivAccountData();
    RozivAccountData(const RozivAccountData&) = delete;
    RozivAccountData& operator=(const RozivAccountData&) = delete;

    // The session is still the one this data was opened for and, with a cloud, its fence is open.
    bool isCurrent() const;
    bool sessionChanged() const;
    // Reads the cloud and merges it in; true when the local ledger changed.
    bool applyCloudChange();
    // Publishes this computer's shards of the committed ledger.
    void pushToCloud();
    // Starts a new generation: an empty ledger, fresh settings, a reset marker for the others.
    bool eraseAll();

    const AccountSession& session() const { return session_; }
    const DewlightCore::Identity<DewlightCore::WriterTag>& writer() const { return writer_; }
    LedgerTransaction& transaction() { return *transaction_; }
    const LedgerTransaction& transaction() const { return *transaction_; }
    CloudStorage& cloud() { return *cloud_; }
    const CloudStorage& cloud() const { return *cloud_; }
    const AccountCloudFence& fence() const { return fencing_->fence; }
    // The cloud could not be used when this data was built; only a rebuild lifts it.
    bool cloudBlocked() const { return cloudBlocked_; }

    std::function<void()> onChange;

private:
    // Shared with the preferences' write check, which may outlive this data by a moment.
    struct Fencing {
        Fencing(std::string expected, AccountBoundary::CurrentMarker current,
                const AccountAuthority& authority)
            : boundary(std::move(expected), std::move(current), authority) {}
        AccountBoundary boundary;
        AccountCloudFence fence{boundary};
    };

    static bool isCurrent(AccountIdentityStore& identity, const AccountSession& session,
                          const AccountCloudFence& fence);
    RozivPreferenceContext preferenceContext() const;
    void rebuildPreferences(const DewlightCore::ResetGeneration& generation);
    std::optional<DewlightCore::RozivSettings> storedSettings() const;
    void reloadSettings();
    void reportFailure() { cloud_->report(CloudStorage::State::failed); }
    // With a cloud account the greatest generation announced there; throws `accountChanged`
    // while the fence is closed, and what the replica throws.
    DewlightCore::ResetGeneration
    generationInForce(const DewlightCore::ResetGeneration& committed) const;
    // Runs cloud work; a failure marks the cloud as failed (a quota problem outranks it).
    bool succeedsInCloud(const std::function<void()>& work);

    AccountDataServices services_;
    mutable AccountIdentityStore identity_;
    AtomicFileStore disk_;
    RozivPreferences& preferences_;
    AccountSession session_;
    std::shared_ptr<Fencing> fencing_;
    DewlightCore::Identity<DewlightCore::WriterTag> writer_;
    std::unique_ptr<CloudStorage> cloud_;
    std::unique_ptr<LedgerTransaction> transaction_;
    bool cloudBlocked_ = false;
};

} // namespace DewlightStorage
