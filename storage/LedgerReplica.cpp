#include "storage/LedgerReplica.h"

#include "core/JsonText.h"
#include "core/LedgerKeys.h"
#include "core/LedgerShard.h"
#include "core/StorageNamespace.h"
#include "core/Versioned.h"
#include "platform/storage/KeyValueStore.h"
#include "storage/AccountBoundary.h"
#include "storage/CommittedState.h"

#include <charconv>
#include <set>

namespace DewlightStorage {

using namespace DewlightCore;

namespace {

template <class T> QByteArray encoded(const T& value) {
    return QByteArray::fromStdString(Json::serialize(Json::encode(Versioned<T>(value))));
}

template <class T> T decoded(const QByteArray& bytes) {
    return Json::decodeText<Versioned<T>>(
               std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
        .value();
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The generation counter that opens a synced-preference key, when it has one.
std::optional<std::uint64_t> preferenceCounter(const std::string& key, const std::string& prefix) {
    std::size_t begin = prefix.size();
    while (begin < key.size() && key[begin] == '.')
        ++begin;
    const std::size_t end = std::min(key.find('.', begin), key.size());
    if (begin == end)
        return std::nullopt;
    std::uint64_t counter = 0;
    const char* first = key.data() + begin;
    const char* last = key.data() + end;
    const auto [stop, error] = std::from_chars(first, last, counter);
    if (error != std::errc() || stop != last)
        return std::nullopt;
    return counter;
}

} // namespace

std::vector<std::string> UbiquitousLedgerStorage::keys() const {
    return fence_.isOpen() ? store_.keys() : std::vector<std::string>{};
}

std::optional<QByteArray> UbiquitousLedgerStorage::data(const std::string& key) const {
    return fence_.isOpen() ? store_.data(key) : std::nullopt;
}

void UbiquitousLedgerStorage::set(const QByteArray& data, const std::string& key) {
    if (fence_.isOpen())
        store_.set(key, data);
}

void UbiquitousLedgerStorage::remove(const std::string& key) {
    if (fence_.isOpen())
        store_.remove(key);
}

bool LedgerReplica::isOpen() const {
    return fence_.isOpen();
}

std::vector<std::string> LedgerReplica::keysWithPrefix(const std::string& prefix) const {
    if (!isOpen())
        return {};
    std::vector<std::string> found;
    for (auto& key : storage_.keys()) {
        if (startsWith(key, prefix))
            found.push_back(std::move(key));
    }
    return found;
}

LedgerReplica::Marker LedgerReplica::readResetMarker(const std::string& key) const {
    const auto bytes = storage_.data(key);
    if (!bytes)
        throw DomainError::invalidLedger();
    const auto generation = decoded<ResetGeneration>(*bytes);
    if (StorageNamespace(account_, generation).resetMarkerKey() != key)
        throw DomainError::invalidLedger();
    return {key, generation};
}

std::vector<LedgerReplica::Marker> LedgerReplica::readResetMarkers() const {
    const auto prefix = StorageNamespace(account_, initialGeneration()).accountResetPrefix();
    std::vector<Marker> markers;
    for (const auto& key : keysWithPrefix(prefix))
        markers.push_back(readResetMarker(key));
    return markers;
}

WorkdayID LedgerReplica::readDiscardMarker(const std::string& key,
                                           const ResetGeneration& generation) const {
    if (!isOpen())
        throw DomainError::invalidLedger();
    const auto bytes = storage_.data(key);
    if (!bytes)
        throw DomainError::invalidLedger();
    const auto day = decoded<WorkdayID>(*bytes);
    if (StorageNamespace(account_, generation).discardKey(day) != key)
        throw DomainError::invalidLedger();
    return day;
}

void LedgerReplica::store(const std::string& key, const QByteArray& value) {
    if (static_cast<std::size_t>(value.size()) > maximumValueBytes)
        throw DomainError::invalidLedger();
    if (isOpen())
        storage_.set(value, key);
}

void LedgerReplica::removeIfOpen(const std::string& key) {
    if (isOpen())
        storage_.remove(key);
}

ResetGeneration LedgerReplica::currentGeneration(const ResetGeneration& fallback) const {
    auto current = fallback;
    for (const auto& [key, generation] : readResetMarkers())
        current = std::max(current, generation);
    return current;
}

HydrationLedger LedgerReplica::load(const ResetGeneration& generation) const {
    const StorageNamespace space(account_, generation);
    HydrationLedger ledger(generation);
    for (const auto& key : keysWithPrefix(space.discardPrefix()))
        ledger.discard(readDiscardMarker(key, generation));

    for (const auto& key : keysWithPrefix(space.dayPrefix())) {
        if (!isOpen())
            throw DomainError::invalidLedger();
        const auto bytes = storage_.data(key);
        if (!bytes || static_cast<std::size_t>(bytes->size()) > maximumValueBytes)
            throw DomainError::invalidLedger();
        const auto shard = decoded<LedgerShard>(*bytes);
        if (shard.generation() != generation ||
            space.shardKey(shard.workday(), shard.writer()) != key)
            throw DomainError::invalidLedger();
        ledger = ledger.merging(shard.validatedLedger());
    }
    return ledger;
}

void LedgerReplica::write(const HydrationLedger& ledger, const Identity<WriterTag>& writer) {
    const auto& generation = ledger.generation();
    if (currentGeneration(generation) != generation)
        throw DomainError::wrongGeneration();
    const StorageNamespace space(account_, generation);
    if (generation.counter() != 0)
        store(space.resetMarkerKey(), encoded(generation));

    auto discardPoint = ledger.discardedThrough();
    for (const auto& key : keysWithPrefix(space.discardPrefix())) {
        const auto day = readDiscardMarker(key, generation);
        if (!discardPoint || *discardPoint < day)
            discardPoint = day;
    }
    if (discardPoint)
        store(space.discardKey(*discardPoint), encoded(*discardPoint));

    std::set<WorkdayID> workdays;
    for (const auto& drink : ledger.drinks())
        workdays.insert(drink.workday());
    for (const auto& removal : ledger.removedGroups())
        workdays.insert(removal.workday);
    for (const auto& moment : ledger.shownMoments())
        workdays.insert(moment.workday);
    for (const auto& workday : workdays) {
        if (discardPoint && !(*discardPoint < workday))
            continue;
        store(space.shardKey(workday, writer), encoded(LedgerShard(ledger, workday, writer)));
    }
    // The prune's shard rule is also the sweep of obsolete shards.
    prune(generation, discardPoint);
}

void LedgerReplica::publishReset(const ResetGeneration& generation) {
    if (currentGeneration(generation) != generation)
        throw DomainError::wrongGeneration();
    store(StorageNamespace(account_, generation).resetMarkerKey(), encoded(generation));
    prune(generation, std::nullopt);
}

void LedgerReplica::prune(const ResetGeneration& generation,
                          const std::optional<WorkdayID>& discardedThrough) {
    // Obsolete shards of any writer. Unreadable values are someone else's problem, not a reason
    // to stop cleaning (the synced "days" setting also contains ".day" and lands here).
    for (const auto& key : keysWithPrefix("roziv.v1.")) {
        if (key.find(".day") == std::string::npos)
            continue;
        const auto bytes = isOpen() ? storage_.data(key) : std::nullopt;
        if (!bytes)
            continue;
        std::optional<LedgerShard> shard;
        try {
            shard = decoded<LedgerShard>(*bytes);
        } catch (const std::exception&) {
            continue;
        }
        const bool older = shard->generation() < generation;
        const bool discarded = shard->generation() == generation && discardedThrough &&
                               !(*discardedThrough < shard->workday());
        if (older || discarded)
            removeIfOpen(key);
    }

    // Older generations of the account: their namespaces and their synced settings.
    auto markers = readResetMarkers();
    const auto initial = initialGeneration();
    const bool hasInitial = std::any_of(markers.begin(), markers.end(), [&](const Marker& marker) {
        return marker.second == initial;
    });
    if (!hasInitial)
        markers.emplace_back(StorageNamespace(account_, initial).resetMarkerKey(), initial);
    for (const auto& [markerKey, older] : markers) {
        if (!(older < generation))
            continue;
        const auto space = StorageNamespace(account_, older).key();
        const auto preferences =
            LedgerKeys::hashedKey(older.counter(), older.writer().rawValue()) + ".";
        for (const auto& key : keysWithPrefix("")) {
            if (startsWith(key, space) || startsWith(key, preferences))
                removeIfOpen(key);
        }
        removeIfOpen(markerKey);
    }

    // Synced settings of older counters, of any account.
    const std::string preferencePrefix = "roziv.v1.p.";
    for (const auto& key : keysWithPrefix(preferencePrefix)) {
        const auto counter = preferenceCounter(key, preferencePrefix);
        if (counter && *counter < generation.counter())
            removeIfOpen(key);
    }

    // Discard markers before the discard point; the point's own marker stays.
    if (!discardedThrough)
        return;
    for (const auto& key : keysWithPrefix(StorageNamespace(account_, generation).discardPrefix())) {
        const auto bytes = isOpen() ? storage_.data(key) : std::nullopt;
        if (!bytes)
            continue;
        try {
            if (decoded<WorkdayID>(*bytes) < *discardedThrough)
                removeIfOpen(key);
        } catch (const std::exception&) {
        }
    }
}

} // namespace DewlightStorage
