#include "storage/AccountSystemAuthority.h"

#include "platform/storage/KeyValueStore.h"

#include <QObject>

namespace DewlightStorage {

AccountSystemAuthority::AccountSystemAuthority(DewlightPlatform::KeyValueStore& store) {
    using DewlightPlatform::KeyValueStoreChange;
    using DewlightPlatform::KeyValueStoreChangeReason;
    QObject::connect(&store, &DewlightPlatform::KeyValueStore::externalChange, observer_.get(),
                     [this](const KeyValueStoreChange& change) {
                         const auto reason = change.integerReason();
                         if (reason ==
                             static_cast<std::int64_t>(KeyValueStoreChangeReason::accountChange))
                             value_.accountChanged();
                     });
}

} // namespace DewlightStorage
