#include "storage/LedgerTransaction.h"

#include "storage/AtomicFileStore.h"
#include "tests/support/Week.h"

#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using namespace DewlightCore;

using DewlightTesting::mondayMidnight;
const WorkdayID day(mondayMidnight);
const Identity<WriterTag> writer("writer-a");

CommittedState withGlass(CommittedState state, const char* id, double at) {
    state.ledger.recordDrink(Identity<DrinkTag>(id),
                             Identity<ClickGroupTag>(std::string("g-") + id), writer, day,
                             DrinkKind::cup, at);
    return state;
}

struct TransactionFixture : ::testing::Test {
    std::optional<CommittedState> onDisk;
    bool persistFails = false;
    std::string signedIn = "ACCOUNT";
    LedgerTransaction transaction{
        CommittedState::fresh(), Account("ACCOUNT"),
        [this](const CommittedState& state, const Account&) {
            if (persistFails)
                throw StorageError(LocalStorageFailure::writeFailed);
            onDisk = state;
        },
        [this](const Account& account) { return account.rawValue() == signedIn; }};

    std::size_t diskDrinks() const { return onDisk ? onDisk->ledger.drinks().size() : 0; }
};

TEST_F(TransactionFixture, TwoCommitsFromOneSnapshotOnlyTheFirstLands) {
    const auto revision = transaction.revision();
    const auto first = withGlass(transaction.state(), "d1", mondayMidnight + 36000);
    const auto second = withGlass(transaction.state(), "d2", mondayMidnight + 36100);
    EXPECT_TRUE(transaction.commit(first, revision, transaction.account()));
    EXPECT_FALSE(transaction.commit(second, revision, transaction.account()));
    EXPECT_EQ(transaction.issue(), ApplicationIssue::accountChanged);
    ASSERT_EQ(diskDrinks(), 1u);
    EXPECT_EQ(onDisk->ledger.drinks()[0].id().rawValue(), "d1");
    EXPECT_EQ(transaction.revision(), revision + 1);
}

TEST_F(TransactionFixture, CommitsAreRefusedForAnotherAccount) {
    const auto next = withGlass(transaction.state(), "d1", mondayMidnight + 36000);
    EXPECT_FALSE(transaction.commit(next, transaction.revision(), Account("OTHER")));
    EXPECT_EQ(transaction.issue(), ApplicationIssue::accountChanged);

    signedIn = "OTHER";
    EXPECT_FALSE(transaction.commit(next, transaction.revision(), transaction.account()));
    EXPECT_FALSE(transaction.undoLatestGroup(day));
    EXPECT_FALSE(onDisk);
}

TEST_F(TransactionFixture, PersistFailureKeepsStateAndRevision) {
    persistFails = true;
    EXPECT_FALSE(transaction.commit(withGlass(transaction.state(), "d1", mondayMidnight + 36000), 0,
                                    transaction.account()));
    EXPECT_EQ(transaction.issue(), ApplicationIssue::storage);
    EXPECT_EQ(transaction.revision(), 0u);
    EXPECT_TRUE(transaction.state().ledger.drinks().empty());

    persistFails = false;
    EXPECT_TRUE(transaction.commit(withGlass(transaction.state(), "d1", mondayMidnight + 36000), 0,
                                   transaction.account()));
    EXPECT_FALSE(transaction.issue());
}

TEST_F(TransactionFixture, InvalidatedSnapshotsNoLongerCommit) {
    const auto revision = transaction.revision();
    transaction.invalidate();
    EXPECT_FALSE(transaction.commit(CommittedState::fresh(), revision, transaction.account()));
}

TEST_F(TransactionFixture, UndoWithoutAGroupIsNotAFailure) {
    transaction.setIssue(ApplicationIssue::storage);
    EXPECT_FALSE(transaction.undoLatestGroup(day));
    EXPECT_EQ(transaction.issue(), ApplicationIssue::storage);
    EXPECT_EQ(transaction.revision(), 0u);

    ASSERT_TRUE(transaction.commit(withGlass(transaction.state(), "d1", mondayMidnight + 36000), 0,
                                   transaction.account()));
    EXPECT_TRUE(transaction.undoLatestGroup(day));
    EXPECT_EQ(diskDrinks(), 0u);
}

TEST_F(TransactionFixture, MergeOfANewerGenerationStartsOver) {
    auto state = withGlass(transaction.state(), "d1", mondayMidnight + 36000);
    state.receipts = {ActionReceipt("r1")};
    state.receiptWorkdays = {{ActionReceipt("r1"), day}};
    state.welcomeCompleted = true;
    ASSERT_TRUE(transaction.commit(state, 0, transaction.account()));

    const HydrationLedger sameGeneration(initialGeneration());
    EXPECT_TRUE(transaction.merge(sameGeneration));
    EXPECT_TRUE(transaction.state().welcomeCompleted);
    EXPECT_EQ(transaction.state().receipts.size(), 1u);

    const HydrationLedger erased(ResetGeneration(1, Identity<WriterTag>("writer-b")));
    EXPECT_TRUE(transaction.merge(erased));
    EXPECT_EQ(transaction.state().ledger, erased);
    EXPECT_TRUE(transaction.state().receipts.empty());
    EXPECT_TRUE(transaction.state().receiptWorkdays.empty());
    EXPECT_FALSE(transaction.state().welcomeCompleted);
    EXPECT_EQ(onDisk->ledger, erased);
}

TEST(LedgerTransaction, ReceiptPredicates) {
    const std::pair<const ActionReceipt, WorkdayID> entry{ActionReceipt("r1"), day};
    EXPECT_TRUE(LedgerTransaction::keepsReceiptWorkday(entry, day));
    EXPECT_TRUE(LedgerTransaction::keepsReceiptWorkday(entry, WorkdayID(mondayMidnight - 86400)));
    EXPECT_FALSE(LedgerTransaction::keepsReceiptWorkday(entry, WorkdayID(mondayMidnight + 86400)));

    auto state = CommittedState::fresh();
    state.receiptWorkdays.insert(entry);
    EXPECT_TRUE(LedgerTransaction::keepsReceipt(ActionReceipt("r1"), state));
    EXPECT_FALSE(LedgerTransaction::keepsReceipt(ActionReceipt("r2"), state));
}

} // namespace
} // namespace DewlightStorage
