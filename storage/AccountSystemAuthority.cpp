#include "storage/AccountSystemAuthority.h"

#include "platform/storage/KeyValueStore.h"

#include <QObject>

namespace DewlightStorage {

AccountSystemAuthority::AccountSystemAuthority(DewlightPlatform::KeyValueStore& store) {
    using DewlightPlatform::KeyValueStoreChange;
    using DewlightPlatform::KeyValueStoreChangeReason;
    observer_ = QObject::connect(
        &store, &DewlightPlatform::KeyValueStore::externalChange,
        [this](const KeyValueStoreChange& change) {
            const auto reason = change.integerReason();
            if (reason == static_cast<std::int64_t>(KeyValueStoreChangeReason::accountChange))
                value_.accountChanged();
        });
}

AccountSystemAuthority::~AccountSystemAuthority() {
    QObject::disconnect(observer_);
}

} // namespace DewlightStorage
