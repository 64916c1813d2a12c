#pragma once

#include "storage/AccountSession.h"
#include "storage/LedgerReplica.h"

#include <QObject>
#include <functional>
#include <memory>

namespace DewlightStorage {

// One account's door to the shared key-value store for the drink ledger: the fenced replica, a
// health state, and a reload request whenever another computer changed the store.
class CloudStorage {
public:
    enum class State { healthy, quotaExceeded, failed };

    // The replica's account text is the same for every account marker: the store itself is
    // already the account's.
    static constexpr const char* replicaAccount = "icloud";

    CloudStorage(DewlightPlatform::KeyValueStore& store, AccountSession account,
                 const AccountCloudFence& fence);
    ~CloudStorage();
    CloudStorage(const CloudStorage&) = delete;
    CloudStorage& operator=(const CloudStorage&) = delete;

    // Without a cloud account an empty ledger of the generation; throws a `StorageError` of
    // `accountChanged` while the fence is closed, and what the replica throws.
    DewlightCore::HydrationLedger load(const DewlightCore::ResetGeneration& generation);
    // Nothing without a cloud account; throws like `load`.
    void publishReset(const DewlightCore::ResetGeneration& generation);

    State state() const { return state_; }
    // The outcome of the account data's own cloud work; a quota problem outranks it until the
    // store reports again.
    void report(State outcome) {
        if (state_ != State::quotaExceeded)
            state_ = outcome;
    }

    LedgerReplica& replica() { return replica_; }
    const AccountSession& account() const { return account_; }
    std::function<void()> onChange;

private:
    DewlightPlatform::KeyValueStore& store_;
    AccountSession account_;
    const AccountCloudFence& fence_;
    UbiquitousLedgerStorage storage_;
    LedgerReplica replica_;
    State state_ = State::healthy;
    // Receives the store's notices and the deferred work they start; deleting it disconnects
    // both, so nothing runs for a cloud storage that is gone.
    std::unique_ptr<QObject> observer_;
};

} // namespace DewlightStorage
