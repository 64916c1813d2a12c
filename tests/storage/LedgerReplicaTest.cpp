#include "core/LedgerKeys.h"
#include "core/LedgerShard.h"
#include "core/StorageNamespace.h"
#include "core/Versioned.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "storage/AccountBoundary.h"
#include "storage/CloudStorage.h"
#include "storage/CommittedState.h"
#include "tests/storage/StorageFailure.h"
#include "tests/support/Week.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using namespace DewlightCore;

using DewlightTesting::mondayMidnight;
constexpr double dayLength = 86400;
const Identity<AccountTag> icloud("icloud");

WorkdayID dayAt(int offset) {
    return WorkdayID(mondayMidnight + offset * dayLength);
}

DrinkRecord glass(const std::string& id, const std::string& writer, int day,
                  std::uint64_t sequence) {
    return DrinkRecord(Identity<DrinkTag>(id), Identity<ClickGroupTag>("g-" + id),
                       Identity<WriterTag>(writer), dayAt(day), DrinkKind::cup,
                       mondayMidnight + day * dayLength + 36000 + sequence, sequence);
}

template <class T> QByteArray encoded(const T& value) {
    return QByteArray::fromStdString(Json::serialize(Json::encode(Versioned<T>(value))));
}

// One computer: its replica of the shared store behind an open fence.
struct Machine {
    Machine(DewlightPlatform::LocalKeyValueHub& hub, const std::string& name)
        : store(hub.addMachine(name, "account")) {
        authority.adopt("MARKER");
    }
    DewlightPlatform::LocalKeyValueStore& store;
    AccountAuthority authority;
    std::optional<std::string> signedIn = "MARKER";
    AccountBoundary boundary{"MARKER", [this] { return signedIn; }, authority};
    AccountCloudFence fence{boundary};
    UbiquitousLedgerStorage storage{store, fence};
    LedgerReplica replica{storage, fence, icloud};
};

struct ReplicaFixture : ::testing::Test {
    DewlightPlatform::LocalKeyValueHub hub;
    Machine a{hub, "a"};
    Machine b{hub, "b"};
    const ResetGeneration initial = initialGeneration();
    const StorageNamespace space{icloud, initial};

    void exchange() {
        hub.deliver("a", "b");
        hub.deliver("b", "a");
    }
    std::vector<std::string> shardKeys(Machine& machine) const {
        std::vector<std::string> found;
        for (const auto& key : machine.store.keys())
            if (key.starts_with(space.dayPrefix()))
                found.push_back(key);
        return found;
    }
};

TEST_F(ReplicaFixture, EmptyStoreGivesTheFallbackAndAnEmptyLedger) {
    EXPECT_EQ(a.replica.currentGeneration(initial), initial);
    EXPECT_EQ(a.replica.load(initial), HydrationLedger(initial));
    a.replica.write(HydrationLedger(initial), Identity<WriterTag>("writer-a"));
    EXPECT_TRUE(a.store.keys().empty()) << "no marker for the initial generation, no discard";
}

TEST_F(ReplicaFixture, TwoWritersConvergeOnTheUnion) {
    const HydrationLedger ledgerA(initial, {glass("a1", "writer-a", 0, 1)});
    const HydrationLedger ledgerB(initial, {glass("b1", "writer-b", 0, 1)});
    a.replica.write(ledgerA, Identity<WriterTag>("writer-a"));
    b.replica.write(ledgerB, Identity<WriterTag>("writer-b"));
    exchange();

    const auto union_ = ledgerA.merging(ledgerB);
    EXPECT_EQ(a.replica.load(initial), union_);
    EXPECT_EQ(b.replica.load(initial), union_);
    EXPECT_EQ(shardKeys(a), shardKeys(b));
    std::vector<std::string> expected{space.shardKey(dayAt(0), Identity<WriterTag>("writer-a")),
                                      space.shardKey(dayAt(0), Identity<WriterTag>("writer-b"))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shardKeys(a), expected);

    // Writing the union again only rewrites the writer's own shard.
    const auto before = b.store.data(space.shardKey(dayAt(0), Identity<WriterTag>("writer-b")));
    a.replica.write(union_, Identity<WriterTag>("writer-a"));
    EXPECT_EQ(a.store.data(space.shardKey(dayAt(0), Identity<WriterTag>("writer-b"))), before);
}

TEST_F(ReplicaFixture, NewestResetMarkerIsInForce) {
    const ResetGeneration a3(3, Identity<WriterTag>("a"));
    const ResetGeneration b3(3, Identity<WriterTag>("b"));
    const ResetGeneration z2(2, Identity<WriterTag>("z"));
    for (const auto& generation : {a3, b3, z2})
        a.store.set(StorageNamespace(icloud, generation).resetMarkerKey(), encoded(generation));
    EXPECT_EQ(a.replica.currentGeneration(initial), b3);

    for (const auto& stale : {a3, z2}) {
        try {
            a.replica.write(HydrationLedger(stale), Identity<WriterTag>("writer-a"));
            ADD_FAILURE() << "a stale generation was written";
        } catch (const DomainError& error) {
            EXPECT_EQ(error, DomainError::wrongGeneration());
        }
        EXPECT_THROW(a.replica.publishReset(stale), DomainError);
    }
}

TEST_F(ReplicaFixture, ValuesThatDoNotMatchTheirKeyAreRefused) {
    const ResetGeneration other(4, Identity<WriterTag>("x"));
    a.store.set(
        StorageNamespace(icloud, ResetGeneration(5, Identity<WriterTag>("x"))).resetMarkerKey(),
        encoded(other));
    EXPECT_THROW(a.replica.currentGeneration(initial), DomainError);

    Machine c{hub, "c"};
    const HydrationLedger ledger(initial, {glass("c1", "writer-c", 0, 1)});
    c.replica.write(ledger, Identity<WriterTag>("writer-c"));
    const auto shard = c.store.data(space.shardKey(dayAt(0), Identity<WriterTag>("writer-c")));
    c.store.set(space.shardKey(dayAt(1), Identity<WriterTag>("writer-c")), *shard);
    EXPECT_THROW(c.replica.load(initial), DomainError) << "another day's key";
    c.store.remove(space.shardKey(dayAt(1), Identity<WriterTag>("writer-c")));
    c.store.set(space.shardKey(dayAt(0), Identity<WriterTag>("writer-d")), *shard);
    EXPECT_THROW(c.replica.load(initial), DomainError) << "another writer's key";
}

// A ledger whose only shard encodes to exactly `bytes` bytes: filler drinks whose id length is
// tuned one byte at a time (their click group text stays fixed).
HydrationLedger ledgerOfShardSize(std::size_t bytes, const Identity<WriterTag>& writer) {
    std::vector<DrinkRecord> drinks;
    auto filler = [&](std::size_t index, std::size_t idLength) {
        auto id = "f" + std::to_string(index) + "-";
        id.resize(std::max(idLength, id.size()), 'y');
        return DrinkRecord(Identity<DrinkTag>(id), Identity<ClickGroupTag>("g"), writer, dayAt(0),
                           DrinkKind::cup, mondayMidnight + 36000 + index, index + 1);
    };
    auto shardSize = [&] {
        return static_cast<std::size_t>(
            encoded(LedgerShard(HydrationLedger(initialGeneration(), drinks), dayAt(0), writer))
                .size());
    };
    auto remaining = [&] { return static_cast<long>(bytes) - static_cast<long>(shardSize()); };
    auto add = [&](long idLength) {
        drinks.push_back(filler(drinks.size(), static_cast<std::size_t>(idLength)));
    };
    auto resizeLast = [&](long idLength) {
        drinks.back() = filler(drinks.size() - 1, static_cast<std::size_t>(idLength));
    };
    // Whole fillers first, then at most two tuned ones (an id holds 1 to 256 characters).
    while (remaining() > 700)
        add(256);
    if (remaining() > 400) {
        add(10);
        resizeLast(10 + std::max(0L, remaining() - 300));
    }
    add(10);
    resizeLast(10 + remaining());
    EXPECT_EQ(shardSize(), bytes);
    return HydrationLedger(initialGeneration(), drinks);
}

TEST_F(ReplicaFixture, ValuesUpToTheLimitAreWrittenAndRead) {
    const Identity<WriterTag> writer("writer-a");
    const auto fits = ledgerOfShardSize(LedgerReplica::maximumValueBytes, writer);
    a.replica.write(fits, writer);
    EXPECT_EQ(a.replica.load(initial), fits);

    const auto tooLarge = ledgerOfShardSize(LedgerReplica::maximumValueBytes + 1, writer);
    EXPECT_THROW(a.replica.write(tooLarge, writer), DomainError);
    a.store.set(space.shardKey(dayAt(0), writer), encoded(LedgerShard(tooLarge, dayAt(0), writer)));
    EXPECT_THROW(a.replica.load(initial), DomainError);
}

TEST_F(ReplicaFixture, AnotherMachinesDiscardMarkerMovesTheDiscardPoint) {
    const Identity<WriterTag> writerA("writer-a");
    const Identity<WriterTag> writerB("writer-b");
    a.replica.write(HydrationLedger(initial, {glass("a0", "writer-a", 0, 1)}), writerA);
    a.store.set(space.discardKey(dayAt(0)), encoded(dayAt(0)));
    b.replica.write(HydrationLedger(initial, {glass("b1", "writer-b", 1, 2)}, {}, dayAt(1)),
                    writerB);
    exchange();
    EXPECT_TRUE(a.store.data(space.discardKey(dayAt(1))));
    EXPECT_TRUE(a.store.data(space.discardKey(dayAt(0))));

    a.replica.write(
        HydrationLedger(initial, {glass("a0", "writer-a", 0, 1), glass("a2", "writer-a", 2, 3)}),
        writerA);
    EXPECT_EQ(shardKeys(a), std::vector<std::string>{space.shardKey(dayAt(2), writerA)});
    EXPECT_FALSE(a.store.data(space.discardKey(dayAt(0))));
    EXPECT_TRUE(a.store.data(space.discardKey(dayAt(1))));
    const auto loaded = a.replica.load(initial);
    EXPECT_EQ(loaded.discardedThrough(), dayAt(1));
    EXPECT_EQ(loaded.drinks().size(), 1u);
}

TEST_F(ReplicaFixture, PruneRemovesOlderPreferenceCountersAndKeepsTheRest) {
    const ResetGeneration eighth(8, Identity<WriterTag>("w"));
    const std::vector<std::string> removed{"roziv.v1.p.7.abc.syncedPreference.v1.start",
                                           "roziv.v1.p..3.x"};
    const std::vector<std::string> kept{"roziv.v1.p.8.abc.syncedPreference.v1.start",
                                        "roziv.v1.p.x7.abc", "roziv.v1.p.", "other.key"};
    for (const auto& key : removed)
        a.store.set(key, "1");
    for (const auto& key : kept)
        a.store.set(key, "1");
    a.store.set("roziv.v1.gsomething.day1.wjunk", "not json");
    a.replica.publishReset(eighth);
    for (const auto& key : removed)
        EXPECT_FALSE(a.store.data(key)) << key;
    for (const auto& key : kept)
        EXPECT_TRUE(a.store.data(key)) << key;
    EXPECT_TRUE(a.store.data("roziv.v1.gsomething.day1.wjunk")) << "undecodable shards are skipped";
}

TEST_F(ReplicaFixture, ResetRemovesTheOlderGenerationsKeys) {
    const Identity<WriterTag> writer("writer-a");
    a.replica.write(HydrationLedger(initial, {glass("a0", "writer-a", 0, 1)}), writer);
    const auto olderPreference = LedgerKeys::hashedKey(0, "initial") + ".syncedPreference.v1.cup";
    a.store.set(olderPreference, "1");
    const ResetGeneration next = initial.next(writer);
    a.replica.publishReset(next);
    EXPECT_EQ(a.store.keys(),
              std::vector<std::string>{StorageNamespace(icloud, next).resetMarkerKey()});
    EXPECT_EQ(a.replica.currentGeneration(initial), next);
}

TEST_F(ReplicaFixture, ClosedFenceListsReadsAndWritesNothing) {
    const Identity<WriterTag> writer("writer-a");
    a.replica.write(HydrationLedger(initial, {glass("a0", "writer-a", 0, 1)}), writer);
    const auto keys = a.store.keys();
    a.signedIn = std::nullopt;
    EXPECT_TRUE(a.storage.keys().empty());
    EXPECT_FALSE(a.storage.data(keys.front()));
    a.storage.set("1", "roziv.v1.x");
    a.storage.remove(keys.front());
    a.replica.write(HydrationLedger(initial, {glass("a5", "writer-a", 5, 2)}), writer);
    EXPECT_EQ(a.store.keys(), keys);
}

struct CloudStorageFixture : ReplicaFixture {
    int changes = 0;
};

void runPending() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

TEST_F(CloudStorageFixture, ExternalChangesSetTheStateOnALaterTurn) {
    using DewlightPlatform::KeyValueStoreChange;
    using DewlightPlatform::KeyValueStoreChangeReason;
    CloudStorage cloud(a.store, {"MARKER", true, false}, a.fence);
    cloud.onChange = [this] { ++changes; };

    a.store.post(
        KeyValueStoreChange::make(KeyValueStoreChangeReason::quotaViolation, std::nullopt));
    EXPECT_EQ(cloud.state(), CloudStorage::State::healthy) << "not inside the notice";
    runPending();
    EXPECT_EQ(cloud.state(), CloudStorage::State::quotaExceeded);
    cloud.report(CloudStorage::State::failed);
    EXPECT_EQ(cloud.state(), CloudStorage::State::quotaExceeded);

    a.store.post(KeyValueStoreChange::make(KeyValueStoreChangeReason::serverChange, std::nullopt));
    runPending();
    EXPECT_EQ(cloud.state(), CloudStorage::State::healthy);
    EXPECT_EQ(changes, 2);
    cloud.report(CloudStorage::State::failed);
    EXPECT_EQ(cloud.state(), CloudStorage::State::failed);
}

TEST_F(CloudStorageFixture, NoticeAfterTheStorageIsGoneDoesNothing) {
    {
        CloudStorage cloud(a.store, {"MARKER", true, false}, a.fence);
        cloud.onChange = [this] { ++changes; };
        a.store.post(DewlightPlatform::KeyValueStoreChange::make(
            DewlightPlatform::KeyValueStoreChangeReason::serverChange, std::nullopt));
    }
    a.store.post(DewlightPlatform::KeyValueStoreChange::make(
        DewlightPlatform::KeyValueStoreChangeReason::serverChange, std::nullopt));
    runPending();
    EXPECT_EQ(changes, 0);
}

TEST_F(CloudStorageFixture, WithoutCloudOrWithAClosedFence) {
    CloudStorage local(a.store, {"LOCAL", false, false}, a.fence);
    local.onChange = [this] { ++changes; };
    const ResetGeneration next = initial.next(Identity<WriterTag>("w"));
    EXPECT_EQ(local.load(next), HydrationLedger(next));
    local.publishReset(next);
    EXPECT_TRUE(a.store.keys().empty());
    a.store.post(DewlightPlatform::KeyValueStoreChange::make(
        DewlightPlatform::KeyValueStoreChangeReason::serverChange, std::nullopt));
    runPending();
    EXPECT_EQ(changes, 0) << "no observer without a cloud account";

    CloudStorage fenced(a.store, {"MARKER", true, false}, a.fence);
    a.signedIn = std::nullopt;
    EXPECT_EQ(storageFailureOf<ApplicationIssue>([&] { fenced.load(initial); }),
              ApplicationIssue::accountChanged);
    EXPECT_EQ(storageFailureOf<ApplicationIssue>([&] { fenced.publishReset(next); }),
              ApplicationIssue::accountChanged);
}

} // namespace
} // namespace DewlightStorage
