#pragma once

#include "core/HydrationLedger.h"
#include "core/Identity.h"
#include "core/ResetGeneration.h"
#include "core/WorkdayID.h"

#include <QByteArray>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace DewlightPlatform {
class KeyValueStore;
}

namespace DewlightStorage {

class AccountCloudFence;

// The shared key-value store as the ledger replica sees it. Behind the account fence: while it is
// closed nothing is listed or read and writes are dropped.
class LedgerKeyValueStorage {
public:
    virtual ~LedgerKeyValueStorage() = default;
    virtual std::vector<std::string> keys() const = 0;
    virtual std::optional<QByteArray> data(const std::string& key) const = 0;
    virtual void set(const QByteArray& data, const std::string& key) = 0;
    virtual void remove(const std::string& key) = 0;
};

// The live storage: the key-value store, asking the fence before every operation.
class UbiquitousLedgerStorage final : public LedgerKeyValueStorage {
public:
    UbiquitousLedgerStorage(DewlightPlatform::KeyValueStore& store, const AccountCloudFence& fence)
        : store_(store), fence_(fence) {}

    std::vector<std::string> keys() const override;
    std::optional<QByteArray> data(const std::string& key) const override;
    void set(const QByteArray& data, const std::string& key) override;
    void remove(const std::string& key) override;

private:
    DewlightPlatform::KeyValueStore& store_;
    const AccountCloudFence& fence_;
};

// Keeps one account's ledger in the store every computer of the person shares. Each computer
// writes only its own day shards, reads everybody's and removes anybody's obsolete keys; an erase
// is announced by a reset marker. Every value read is checked against the key it was read from.
// Throws `DomainError` or `DecodingError`.
class LedgerReplica {
public:
    static constexpr std::size_t maximumValueBytes = 65536;

    LedgerReplica(LedgerKeyValueStorage& storage, const AccountCloudFence& fence,
                  DewlightCore::Identity<DewlightCore::AccountTag> account)
        : storage_(storage), fence_(fence), account_(std::move(account)) {}

    // The greatest of the fallback and every reset marker of the account.
    DewlightCore::ResetGeneration
    currentGeneration(const DewlightCore::ResetGeneration& fallback) const;
    // The union of the generation's discard markers and shards; one bad value fails the load.
    DewlightCore::HydrationLedger load(const DewlightCore::ResetGeneration& generation) const;
    // Publishes this writer's shards of every live day, then removes what became obsolete.
    void write(const DewlightCore::HydrationLedger& ledger,
               const DewlightCore::Identity<DewlightCore::WriterTag>& writer);
    // Announces a new generation and removes the older ones' keys.
    void publishReset(const DewlightCore::ResetGeneration& generation);
    void prune(const DewlightCore::ResetGeneration& generation,
               const std::optional<DewlightCore::WorkdayID>& discardedThrough);

private:
    using Marker = std::pair<std::string, DewlightCore::ResetGeneration>;

    Marker readResetMarker(const std::string& key) const;
    std::vector<Marker> readResetMarkers() const;
    DewlightCore::WorkdayID
    readDiscardMarker(const std::string& key,
                      const DewlightCore::ResetGeneration& generation) const;
    std::vector<std::string> keysWithPrefix(const std::string& prefix) const;
    // Stores a value when it fits and the fence is open; throws `invalidLedger` when too large.
    void store(const std::string& key, const QByteArray& value);
    void removeIfOpen(const std::string& key);
    bool isOpen() const;

    LedgerKeyValueStorage& storage_;
    const AccountCloudFence& fence_;
    DewlightCore::Identity<DewlightCore::AccountTag> account_;
};

} // namespace DewlightStorage
