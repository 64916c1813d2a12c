#include "app/RozivTally.h"

#include "core/CountingDayResolver.h"
#include "platform/runtime/EventLoop.h"
#include "tests/support/LocalComputer.h"

#include <gtest/gtest.h>
#include <vector>

namespace DewlightApp {
namespace {

using namespace DewlightCore;
using namespace DewlightTesting;
using DewlightPlatform::runUntilIdle;
using DewlightStorage::ActionReceipt;
using DewlightStorage::ApplicationIssue;

const WorkdayID monday(mondayMidnight);
constexpr double half11 = mondayMidnight + 11 * hours + 30 * minutes;

// A tally over one local computer, with its callbacks and announcements counted.
struct TallyFixture : ::testing::Test {
    explicit TallyFixture(std::optional<std::string> token = std::nullopt)
        : computer(half11, std::move(token)) {
        computer.open();
        tally = RozivTally::make(*computer.data, computer.preferences, computer.clock,
                                 [] { return Calendar::utc(); });
        tally->onDrinksChanged = [this] { ++drinksChanged; };
        tally->onFeedbackCleared = [this] { ++feedbackCleared; };
        QObject::connect(tally.get(), &RozivTally::feedbackChanged,
                         [this] { ++feedbackAnnounced; });
    }
    // Lets every feedback timer end, so no suspended work outlives the test.
    ~TallyFixture() override { computer.clock.advance(RozivTally::feedbackSeconds); }

    // Records and lets the recording finish, without moving the clock.
    void click(DrinkKind kind, std::optional<ReminderPayload> payload = std::nullopt) {
        auto recording = tally->record(kind, std::move(payload));
        runUntilIdle();
        ASSERT_TRUE(recording.isReady());
    }
    // Moves the clock to `at` (on the fake clock's both timelines) and clicks there.
    void clickAt(double at, DrinkKind kind, std::optional<ReminderPayload> payload = std::nullopt) {
        computer.clock.advance(at - computer.clock.now());
        click(kind, std::move(payload));
    }

    ReminderPayload payload(const std::string& reminder, double scheduledAt,
                            WorkdayID day = monday) {
        return ReminderPayload(computer.account().transaction().account(),
                               computer.ledger().generation(), day, Identity<ReminderTag>(reminder),
                               scheduledAt);
    }
    std::vector<DrinkGroup> groups() { return computer.ledger().groups(monday); }
    std::int64_t quarters() { return computer.ledger().quarters(monday); }

    LocalComputer computer;
    std::shared_ptr<RozivTally> tally;
    int drinksChanged = 0;
    int feedbackCleared = 0;
    int feedbackAnnounced = 0;
};

struct SyncedTallyFixture : TallyFixture {
    SyncedTallyFixture() : TallyFixture("token-a") {}
};

TEST_F(SyncedTallyFixture, ThreeGlassesFormOneGroupAndTheFeedbackClearsThreeSecondsLater) {
    std::vector<RozivFeedback> seen;
    for (int second = 0; second < 3; ++second) {
        clickAt(half11 + second, DrinkKind::cup);
        seen.push_back(tally->feedback());
    }
    const std::vector<RozivFeedback> expected{
        {1, 1, std::nullopt},
        {2, 2, std::nullopt},
        {3, 3, PanelMoment::threeCupsInHour},
    };
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(groups().size(), 1u);
    EXPECT_EQ(groups()[0].clickCount, 3);
    EXPECT_EQ(groups()[0].firstTimestamp, half11);
    EXPECT_EQ(computer.ledger().shownMoments(monday),
              std::set<PanelMoment>{PanelMoment::threeCupsInHour});
    EXPECT_EQ(drinksChanged, 3);
    EXPECT_FALSE(computer.store.keys().empty()) << "each click is pushed to the sync store";

    // Each click restarted the timer: nothing clears until 3 s after the third.
    computer.clock.advance(2.5);
    EXPECT_EQ(tally->feedback().addition, 3);
    EXPECT_EQ(feedbackCleared, 0);
    computer.clock.advance(0.5); // 11:30:05
    EXPECT_EQ(tally->feedback(), (RozivFeedback{0, 3, std::nullopt}));
    EXPECT_EQ(feedbackCleared, 1);
    computer.clock.advance(10);
    EXPECT_EQ(feedbackCleared, 1);
    EXPECT_EQ(feedbackAnnounced, 4);
}

// Whether a second panel click joins the first one's group.
TEST_F(TallyFixture, APanelClickJoinsTheGroupOnlyForTheSameKindWithinThreeSeconds) {
    struct Case {
        const char* name;
        DrinkKind first;
        DrinkKind second;
        double gap;
        std::int64_t addition;
        bool joins;
    };
    const Case cases[] = {
        {"a sip one second after a sip", DrinkKind::sip, DrinkKind::sip, 1.0, 2, true},
        // The joining window is inclusive.
        {"a sip exactly 3 s after a sip", DrinkKind::sip, DrinkKind::sip, 3.0, 2, true},
        {"a sip 3.5 s after a sip", DrinkKind::sip, DrinkKind::sip, 3.5, 1, false},
        {"a glass 2 s after a sip", DrinkKind::sip, DrinkKind::cup, 2.0, 1, false},
    };
    double start = half11;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Far enough from the previous case that nothing joins across cases.
        start += 10 * minutes;
        clickAt(start, c.first);
        const auto revision = tally->feedback().revision;
        const auto before = groups().size();
        clickAt(start + c.gap, c.second);
        EXPECT_EQ(tally->feedback().addition, c.addition);
        EXPECT_EQ(tally->feedback().revision, revision + 1);
        EXPECT_EQ(groups().size(), c.joins ? before : before + 1);
        EXPECT_EQ(groups().back().kind, c.second);
    }
}

TEST_F(TallyFixture, TheFourthSipShowsItsMomentOnce) {
    for (int sip = 0; sip < 4; ++sip)
        clickAt(half11 + 10 * sip, DrinkKind::sip);
    EXPECT_EQ(tally->feedback().moment, PanelMoment::fourthSip);

    computer.clock.advance(5);
    EXPECT_EQ(tally->feedback().moment, std::nullopt);
    clickAt(half11 + 60, DrinkKind::sip);
    EXPECT_EQ(tally->feedback().moment, std::nullopt) << "already shown today";
    EXPECT_EQ(tally->feedback().addition, 1);
}

TEST_F(TallyFixture, AReminderActionRecordsWithoutTouchingThePanelFeedback) {
    clickAt(half11, DrinkKind::cup);
    clickAt(half11 + 1, DrinkKind::cup);
    const auto reminder = payload("roziv.r1", half11);
    click(DrinkKind::sip, reminder);

    EXPECT_EQ(quarters(), 9);
    EXPECT_EQ(tally->feedback().addition, 2);
    EXPECT_EQ(tally->feedback().revision, 2);
    EXPECT_EQ(drinksChanged, 3);
    EXPECT_TRUE(computer.state().receipts.contains(ActionReceipt("roziv.r1")));
    EXPECT_EQ(computer.state().receiptWorkdays.at(ActionReceipt("roziv.r1")), monday);

    // The same action delivered again (or applied elsewhere first) counts once.
    click(DrinkKind::sip, reminder);
    EXPECT_EQ(quarters(), 9);
    EXPECT_EQ(drinksChanged, 3);
    EXPECT_EQ(computer.account().transaction().issue(), std::nullopt);

    // It restarted the feedback timer all the same.
    computer.clock.advance(2.5);
    EXPECT_EQ(tally->feedback().addition, 2);
    computer.clock.advance(0.5);
    EXPECT_EQ(tally->feedback().addition, 0);
}

TEST_F(TallyFixture, AReminderActionMayShowAMoment) {
    for (int sip = 0; sip < 3; ++sip)
        clickAt(half11 + 10 * sip, DrinkKind::sip);
    click(DrinkKind::sip, payload("roziv.r1", half11));
    EXPECT_EQ(tally->feedback(), (RozivFeedback{1, 3, PanelMoment::fourthSip}));
}

TEST_F(TallyFixture, AReminderActionThatNoLongerDescribesThePresentRecordsNothing) {
    const auto& transaction = computer.account().transaction();
    const auto generation = computer.ledger().generation();
    struct Case {
        const char* name;
        ReminderPayload payload;
    };
    const Case cases[] = {
        {"for another day", payload("roziv.a", half11 - 86400, WorkdayID(mondayMidnight - 86400))},
        {"its time not reached", payload("roziv.b", half11 + 1)},
        {"for another account", ReminderPayload(Identity<AccountTag>("SOMEONE-ELSE"), generation,
                                                monday, Identity<ReminderTag>("roziv.c"), half11)},
        {"of another generation",
         ReminderPayload(transaction.account(),
                         ResetGeneration(generation.counter() + 1, Identity<WriterTag>("W")),
                         monday, Identity<ReminderTag>("roziv.d"), half11)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(DrinkKind::cup, c.payload);
        EXPECT_EQ(quarters(), 0);
        EXPECT_TRUE(computer.state().receipts.empty());
        EXPECT_EQ(transaction.issue(), std::nullopt);
    }
    EXPECT_EQ(drinksChanged, 0);
}

TEST_F(TallyFixture, ReceiptsOfEarlierDaysAreForgottenWithTheNextAction) {
    ASSERT_TRUE(computer.data->recordReceipt(
        ActionReceipt("roziv.friday"), WorkdayID(mondayMidnight - 3 * 86400),
        computer.account().transaction().revision(), computer.account().transaction().account()));
    clickAt(half11, DrinkKind::cup);
    EXPECT_EQ(computer.state().receipts.size(), 0u);
    EXPECT_TRUE(computer.state().receiptWorkdays.empty());
}

TEST_F(SyncedTallyFixture, AClickQueuedBeforeAnAccountSwitchRecordsInNeitherAccount) {
    auto recording = tally->record(DrinkKind::cup);
    EXPECT_FALSE(recording.isReady()) << "it goes on on a later turn";
    const auto before = computer.account().session().id;
    computer.switchAccount("token-b");
    ASSERT_NE(computer.account().session().id, before);
    runUntilIdle();

    EXPECT_TRUE(recording.isReady());
    EXPECT_TRUE(computer.ledger().drinks().empty());
    EXPECT_TRUE(computer.files.writes().empty()) << "no file of either account was written";
    EXPECT_EQ(drinksChanged, 0);
    EXPECT_EQ(tally->feedback(), RozivFeedback{});

    // A reminder action planned for the old account is refused by the new one as well.
    click(DrinkKind::cup,
          ReminderPayload(Identity<AccountTag>(before), computer.ledger().generation(), monday,
                          Identity<ReminderTag>("roziv.r1"), half11));
    EXPECT_TRUE(computer.ledger().drinks().empty());
}

TEST_F(TallyFixture, AClickOvertakenByAnotherCommitRecordsNothing) {
    auto recording = tally->record(DrinkKind::cup);
    // An erase or a reload raised the revision in between.
    computer.account().transaction().invalidate();
    runUntilIdle();
    EXPECT_TRUE(computer.ledger().drinks().empty());
    EXPECT_EQ(drinksChanged, 0);
}

TEST_F(TallyFixture, ASaveThatFailsShowsAsAStorageIssueAndChangesNothing) {
    computer.files.lock(*computer.files.dataFolder());
    clickAt(half11, DrinkKind::cup);
    EXPECT_EQ(computer.account().transaction().issue(), ApplicationIssue::storage);
    EXPECT_TRUE(computer.ledger().drinks().empty());
    EXPECT_EQ(tally->feedback(), RozivFeedback{});
    EXPECT_EQ(drinksChanged, 0);
    EXPECT_EQ(computer.clock.pendingSleeps(), 0u) << "no feedback timer for a lost click";
}

TEST_F(TallyFixture, WithTheClockBehindTheLedgerRecordingStopsAndUndoStillWorks) {
    clickAt(half11, DrinkKind::sip);
    clickAt(half11 + 1, DrinkKind::sip);
    computer.clock.advance(10);
    // Back to Sunday evening: the ledger already holds Monday.
    computer.clock.setNow(mondayMidnight - 2 * hours);
    EXPECT_THROW(tally->countingDay(), DomainError);

    click(DrinkKind::cup);
    EXPECT_EQ(quarters(), 2);
    EXPECT_EQ(drinksChanged, 2);

    tally->undo();
    EXPECT_EQ(quarters(), 0);
    EXPECT_EQ(drinksChanged, 3);
}

TEST_F(TallyFixture, UndoTakesTheGroupAndClearsTheFeedbackButKeepsTheRevision) {
    for (int sip = 0; sip < 4; ++sip)
        clickAt(half11 + sip, DrinkKind::sip);
    ASSERT_EQ(tally->feedback(), (RozivFeedback{4, 4, PanelMoment::fourthSip}));

    tally->undo();
    EXPECT_TRUE(groups().empty());
    EXPECT_EQ(tally->feedback(), (RozivFeedback{0, 4, std::nullopt}));
    EXPECT_EQ(drinksChanged, 5);
    EXPECT_EQ(CountingDayResolver::latestWorkday(computer.ledger()), monday);

    // The timer keeps running and still reports the clearing.
    computer.clock.advance(3);
    EXPECT_EQ(feedbackCleared, 1);

    // Nothing left to undo: nothing happens.
    tally->undo();
    EXPECT_EQ(drinksChanged, 5);
}

TEST_F(TallyFixture, ResetFeedbackAlwaysAnnounces) {
    tally->resetFeedback();
    EXPECT_EQ(feedbackAnnounced, 1);
    clickAt(half11, DrinkKind::cup);
    tally->resetFeedback();
    EXPECT_EQ(tally->feedback(), RozivFeedback{});
}

TEST_F(TallyFixture, ATallyReleasedBeforeItsTimerEndsIsNotCalledBack) {
    clickAt(half11, DrinkKind::cup);
    tally.reset();
    computer.clock.advance(5);
    EXPECT_EQ(feedbackCleared, 0);
}

TEST_F(TallyFixture, ACancelledTimerLeavesTheFeedbackAsItIs) {
    clickAt(half11, DrinkKind::cup);
    tally->cancelFeedbackTimer();
    computer.clock.advance(5);
    EXPECT_EQ(tally->feedback().addition, 1);
    EXPECT_EQ(feedbackCleared, 0);
}

} // namespace
} // namespace DewlightApp
