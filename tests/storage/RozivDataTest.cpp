#include "storage/RozivData.h"

#include "core/LedgerShard.h"
#include "core/StorageNamespace.h"
#include "core/Versioned.h"
#include "platform/storage/LocalFileSystem.h"
#include "platform/storage/LocalIdentityTokenSource.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"
#include "storage/RozivPreferences.h"
#include "tests/support/Week.h"

#include <gtest/gtest.h>
#include <limits>

namespace DewlightStorage {
namespace {

using namespace DewlightCore;

using DewlightTesting::mondayMidnight;
const WorkdayID today(mondayMidnight);
const Identity<AccountTag> icloud("icloud");

// One computer of the person: its own defaults, files and replica of the shared store, signed in
// to the same cloud account as the others unless a test says otherwise.
struct Computer {
    Computer(DewlightPlatform::LocalKeyValueHub& hub, const std::string& name,
             const std::string& writer, bool cloud = true)
        : store(hub.addMachine(name, "account")) {
        defaults.setText(RozivAccountData::writerKey, writer);
        if (cloud)
            tokens.setToken("token");
    }

    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalIdentityTokenSource tokens;
    DewlightPlatform::LocalFileSystem files;
    DewlightPlatform::LocalKeyValueStore& store;
    AccountAuthority authority;
    RozivPreferences preferences;
    std::unique_ptr<RozivData> data;

    RozivData& open() {
        data = std::make_unique<RozivData>(AccountDataServices{defaults, store, tokens, files},
                                           authority, preferences);
        return *data;
    }
    RozivAccountData& account() { return data->current(); }
    const CommittedState& state() { return account().transaction().state(); }
    const HydrationLedger& ledger() { return state().ledger; }

    // A click on "A glass", committed and published as the tally does it.
    bool drink(const std::string& id, double at, DrinkKind kind = DrinkKind::cup) {
        auto& transaction = account().transaction();
        auto next = transaction.state();
        next.ledger.recordDrink(Identity<DrinkTag>(id), Identity<ClickGroupTag>("g-" + id),
                                account().writer(), today, kind, at);
        if (!transaction.commit(std::move(next), transaction.revision(), transaction.account()))
            return false;
        account().pushToCloud();
        return true;
    }
    std::vector<std::string> drinkIds() {
        std::vector<std::string> ids;
        for (const auto& drink : ledger().drinks())
            ids.push_back(drink.id().rawValue());
        return ids;
    }
};

struct RozivDataFixture : ::testing::Test {
    DewlightPlatform::LocalKeyValueHub hub;
    Computer a{hub, "a", "WRITER-A"};
    Computer b{hub, "b", "WRITER-B"};

    void deliver(const std::string& from, const std::string& to) { hub.deliver(from, to); }
};

TEST_F(RozivDataFixture, FirstStartWithoutCloudIsEmptyAndTheFileComesWithTheFirstCommit) {
    Computer local{hub, "local", "WRITER-L", false};
    auto& data = local.open();
    EXPECT_EQ(local.state().ledger, HydrationLedger(initialGeneration()));
    EXPECT_FALSE(local.state().welcomeCompleted);
    EXPECT_FALSE(data.cloudBlocked());
    EXPECT_TRUE(local.files.writes().empty());

    ASSERT_TRUE(data.completeWelcome());
    const auto file = *local.files.dataFolder() / (local.account().session().id + ".json");
    EXPECT_TRUE(local.files.exists(file));
    EXPECT_TRUE(local.store.keys().empty()) << "nothing reaches the cloud without an account";
}

TEST_F(RozivDataFixture, TwoComputersConvergeOnTheUnionAndSeeEachOthersUndo) {
    a.open();
    b.open();
    ASSERT_TRUE(a.drink("a1", mondayMidnight + 36000));
    ASSERT_TRUE(b.drink("b1", mondayMidnight + 36100));
    deliver("a", "b");
    deliver("b", "a");
    EXPECT_TRUE(a.account().applyCloudChange());
    EXPECT_TRUE(b.account().applyCloudChange());
    EXPECT_EQ(a.drinkIds(), b.drinkIds());
    EXPECT_EQ(a.drinkIds().size(), 2u);
    EXPECT_FALSE(a.account().applyCloudChange()) << "nothing new";

    // The latest group of any writer is undone: b's.
    ASSERT_TRUE(a.account().transaction().undoLatestGroup(today));
    a.account().pushToCloud();
    deliver("a", "b");
    EXPECT_TRUE(b.account().applyCloudChange());
    EXPECT_EQ(b.drinkIds(), std::vector<std::string>{"a1"});
    EXPECT_EQ(a.account().cloud().state(), CloudStorage::State::healthy);
}

TEST_F(RozivDataFixture, AnEraseElsewhereIsAdoptedWhole) {
    a.open();
    b.open();
    ASSERT_TRUE(b.drink("b1", mondayMidnight + 36000));
    ASSERT_TRUE(b.data->completeWelcome());
    ASSERT_TRUE(b.data->recordReceipt(ActionReceipt("r1"), today,
                                      b.account().transaction().revision(),
                                      b.account().transaction().account()));

    ASSERT_TRUE(a.account().eraseAll());
    const auto erased = a.ledger().generation();
    EXPECT_EQ(erased.counter(), 1u);
    EXPECT_EQ(erased.writer().rawValue(), "WRITER-A");
    deliver("a", "b");
    EXPECT_TRUE(b.account().applyCloudChange());
    EXPECT_EQ(b.ledger(), HydrationLedger(erased));
    EXPECT_TRUE(b.state().receipts.empty());
    EXPECT_FALSE(b.state().welcomeCompleted);

    // b's settings now live in the new generation's scope.
    b.preferences.set(500, RozivPreferenceKey::cup);
    EXPECT_EQ(b.preferences.current().cupVolume(), CupVolume::ml500);
    const auto scope = b.account().session().id + "." + RozivPreferences::generationScope(erased);
    const auto keys = b.defaults.keys();
    EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [&](const std::string& key) {
        return key.starts_with(scope) && key.ends_with("cup");
    }));

    // An erase on b builds on a's counter.
    ASSERT_TRUE(b.account().eraseAll());
    EXPECT_EQ(b.ledger().generation().counter(), 2u);
    EXPECT_EQ(b.ledger().generation().writer().rawValue(), "WRITER-B");
}

TEST_F(RozivDataFixture, TwoErasesAtOnceEndInTheGreaterWriter) {
    a.open();
    b.open();
    ASSERT_TRUE(a.account().eraseAll());
    ASSERT_TRUE(b.account().eraseAll());
    deliver("a", "b");
    deliver("b", "a");
    a.account().applyCloudChange();
    b.account().applyCloudChange();
    EXPECT_EQ(a.ledger().generation(), b.ledger().generation());
    EXPECT_EQ(a.ledger().generation().writer().rawValue(), "WRITER-B");
}

TEST_F(RozivDataFixture, BuiltWhileAnotherAccountIsActiveStaysBlocked) {
    a.authority.adopt("SOMEONE-ELSE");
    auto& data = a.open();
    EXPECT_TRUE(a.account().cloudBlocked());
    EXPECT_TRUE(data.cloudBlocked());
    EXPECT_EQ(a.account().cloud().state(), CloudStorage::State::failed);

    a.authority.accountChanged(); // the switch completes: a's own marker is active now
    EXPECT_TRUE(std::holds_alternative<AccountAuthority::Active>(a.authority.state()));
    EXPECT_FALSE(a.account().fence().isOpen()) << "only a rebuild lifts the block";

    EXPECT_TRUE(a.drink("a1", mondayMidnight + 36000)) << "recording goes on locally";
    EXPECT_TRUE(a.store.keys().empty());

    ASSERT_TRUE(data.setCurrent(data.makeAccountData()));
    data.forwardCurrentChanges();
    EXPECT_FALSE(data.cloudBlocked());
    EXPECT_EQ(a.drinkIds(), std::vector<std::string>{"a1"});
}

TEST_F(RozivDataFixture, ACorruptShardFromElsewhereFailsTheCloudButNotRecording) {
    a.open();
    const StorageNamespace space(icloud, initialGeneration());
    b.store.set(space.shardKey(today, Identity<WriterTag>("WRITER-B")), "not a shard");
    deliver("b", "a");

    EXPECT_FALSE(a.account().applyCloudChange());
    EXPECT_EQ(a.account().cloud().state(), CloudStorage::State::failed);
    EXPECT_FALSE(a.account().cloudBlocked());
    EXPECT_TRUE(a.account().isCurrent());

    EXPECT_TRUE(a.drink("a1", mondayMidnight + 36000));
    EXPECT_TRUE(a.store.data(space.shardKey(today, Identity<WriterTag>("WRITER-A"))));

    // The same at construction: the instance stays usable.
    Computer c{hub, "c", "WRITER-C"};
    c.store.set(space.shardKey(today, Identity<WriterTag>("WRITER-B")), "not a shard");
    c.open();
    EXPECT_EQ(c.account().cloud().state(), CloudStorage::State::failed);
    EXPECT_FALSE(c.account().cloudBlocked());
    EXPECT_TRUE(c.drink("c1", mondayMidnight + 36000));
}

TEST_F(RozivDataFixture, SnapshotsAndReceipts) {
    auto& data = a.open();
    const auto& transaction = a.account().transaction();
    const auto revision = transaction.revision();
    const auto account = transaction.account();
    EXPECT_TRUE(data.isCurrent(revision, account));
    ASSERT_TRUE(data.markShown(PanelMoment::fourthSip, today));
    EXPECT_FALSE(data.isCurrent(revision, account));

    for (int day = 0; day < 3; ++day) {
        const ActionReceipt receipt("r" + std::to_string(day));
        ASSERT_TRUE(data.recordReceipt(receipt, WorkdayID(mondayMidnight + day * 86400.0),
                                       transaction.revision(), account));
    }
    EXPECT_EQ(a.state().receipts, std::set<ActionReceipt>{ActionReceipt("r2")});
    EXPECT_EQ(a.state().receiptWorkdays.size(), 1u);

    const WorkdayID later(mondayMidnight + 3 * 86400.0);
    ASSERT_TRUE(data.recordReceipt(ActionReceipt("r2"), later, transaction.revision(), account));
    EXPECT_EQ(a.state().receipts.size(), 1u);
    EXPECT_EQ(a.state().receiptWorkdays.at(ActionReceipt("r2")), later);

    EXPECT_FALSE(data.recordReceipt(ActionReceipt("r9"), later, revision, account))
        << "a stale snapshot";
}

TEST_F(RozivDataFixture, ASnapshotOfReplacedDataNeverPassesOnItsSuccessor) {
    // Nothing committed yet, so both instances would count their revisions from the same start.
    auto& data = a.open();
    const auto revision = a.account().transaction().revision();
    const auto account = a.account().transaction().account();
    a.account().transaction().invalidate();
    ASSERT_TRUE(data.setCurrent(data.makeAccountData()));
    ASSERT_EQ(a.account().transaction().account(), account);
    EXPECT_FALSE(data.isCurrent(revision, account));
    EXPECT_TRUE(data.isCurrent(a.account().transaction().revision(), account));
}

TEST_F(RozivDataFixture, EraseAtTheLargestCounterIsRefused) {
    const ResetGeneration last(std::numeric_limits<std::uint64_t>::max(),
                               Identity<WriterTag>("WRITER-Z"));
    a.store.set(StorageNamespace(icloud, last).resetMarkerKey(),
                QByteArray::fromStdString(Json::serialize(Json::encode(Versioned(last)))));
    a.open();
    EXPECT_EQ(a.ledger().generation(), last);
    EXPECT_FALSE(a.account().eraseAll());
    EXPECT_EQ(a.account().cloud().state(), CloudStorage::State::failed);
    EXPECT_EQ(a.ledger().generation(), last);
}

TEST_F(RozivDataFixture, AccountSwitchMakesTheDataStale) {
    a.open();
    EXPECT_TRUE(a.account().isCurrent());
    a.tokens.setToken("another-token");
    EXPECT_TRUE(a.account().sessionChanged());
    EXPECT_FALSE(a.account().isCurrent());
    EXPECT_FALSE(a.drink("a1", mondayMidnight + 36000));
    EXPECT_FALSE(a.account().eraseAll());
}

} // namespace
} // namespace DewlightStorage
