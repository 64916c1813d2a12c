#pragma once

#include "storage/AccountAuthority.h"

#include <QObject>
#include <memory>

namespace DewlightPlatform {
class KeyValueStore;
}

namespace DewlightStorage {

// Owns the application's account authority and feeds it the key-value store's account-change
// notices, synchronously, as they arrive on the main thread.
class AccountSystemAuthority {
public:
    explicit AccountSystemAuthority(DewlightPlatform::KeyValueStore& store);
    AccountSystemAuthority(const AccountSystemAuthority&) = delete;
    AccountSystemAuthority& operator=(const AccountSystemAuthority&) = delete;

    AccountAuthority& value() { return value_; }
    const AccountAuthority& value() const { return value_; }

private:
    AccountAuthority value_;
    // The context of the store connection, which ends with it.
    std::unique_ptr<QObject> observer_ = std::make_unique<QObject>();
};

} // namespace DewlightStorage
