#include "storage/CloudStorage.h"

#include "platform/storage/KeyValueStore.h"
#include "storage/AccountBoundary.h"
#include "storage/StorageError.h"

#include <QTimer>

namespace DewlightStorage {

using DewlightPlatform::KeyValueStoreChange;
using DewlightPlatform::KeyValueStoreChangeReason;

CloudStorage::CloudStorage(DewlightPlatform::KeyValueStore& store, AccountSession account,
                           const AccountCloudFence& fence)
    : store_(store), account_(std::move(account)), fence_(fence), storage_(store, fence),
      replica_(storage_, fence, DewlightCore::Identity<DewlightCore::AccountTag>(replicaAccount)) {
    if (!account_.cloudAvailable)
        return;
    observer_ = std::make_unique<QObject>();
    QObject::connect(&store_, &DewlightPlatform::KeyValueStore::externalChange, observer_.get(),
                     [this](const KeyValueStoreChange& change) {
                         const bool quota =
                             change.integerReason() ==
                             static_cast<std::int64_t>(KeyValueStoreChangeReason::quotaViolation);
                         QTimer::singleShot(0, observer_.get(), [this, quota] {
                             state_ = quota ? State::quotaExceeded : State::healthy;
                             if (onChange)
                                 onChange();
                         });
                     });
    store_.synchronize();
}

CloudStorage::~CloudStorage() = default;

DewlightCore::HydrationLedger CloudStorage::load(const DewlightCore::ResetGeneration& generation) {
    if (!account_.cloudAvailable)
        return DewlightCore::HydrationLedger(generation);
    if (!fence_.isOpen())
        throw StorageError(ApplicationIssue::accountChanged);
    return replica_.load(generation);
}

void CloudStorage::publishReset(const DewlightCore::ResetGeneration& generation) {
    if (!account_.cloudAvailable)
        return;
    if (!fence_.isOpen())
        throw StorageError(ApplicationIssue::accountChanged);
    replica_.publishReset(generation);
    store_.synchronize();
}

} // namespace DewlightStorage
