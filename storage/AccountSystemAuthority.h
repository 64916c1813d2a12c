#pragma once

#include "storage/AccountAuthority.h"

#include <QMetaObject>

namespace DewlightPlatform {
class KeyValueStore;
}

namespace DewlightStorage {

// Owns the application's account authority and feeds it the key-value store's account-change
// notices, synchronously, as they arrive on the main thread.
class AccountSystemAuthority {
public:
    explicit AccountSystemAuthority(DewlightPlatform::KeyValueStore& store);
    ~AccountSystemAuthority();
    AccountSystemAuthority(const AccountSystemAuthority&) = delete;
    AccountSystemAuthority& operator=(const AccountSystemAuthority&) = delete;

    AccountAuthority& value() { return value_; }
    const AccountAuthority& value() const { return value_; }

private:
    AccountAuthority value_;
    QMetaObject::Connection observer_;
};

} // namespace DewlightStorage
