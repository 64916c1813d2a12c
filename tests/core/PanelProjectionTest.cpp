#include "core/PanelProjection.h"

#include "tests/support/ReminderFixtures.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace DewlightCore {
// Readable failure messages: "nextReminder(789301800)" rather than raw bytes.
inline void PrintTo(const PanelStatus& status, std::ostream* out) {
    static constexpr const char* names[] = {
        "failure",        "nextReminder",  "welcomeRequired", "remindersOff", "permissionRequired",
        "outsideWorkday", "rangeExceeded", "scheduling",
    };
    *out << names[static_cast<int>(status.kind())];
    if (const auto failure = status.failureKind())
        *out << "(" << rawValue(*failure) << ")";
    if (const auto date = status.reminderDate())
        *out << "(" << std::fixed << *date << ")";
}
} // namespace DewlightCore

namespace DewlightCoreTesting {
namespace {

// Monday's window 09:00-18:00 UTC, 250 ml (a range of 3 to 5 glasses), reminders on, welcome
// completed, permission granted, no failure.
class PanelProjectionTest : public testing::Test {
protected:
    RozivSettings settings = settingsWith();
    HydrationLedger ledger{initialGeneration()};
    const Workday monday{dayID(0), at(0, 9), at(0, 18)};
    double now = at(0, 9, 30);
    NotificationPermission permission = NotificationPermission::authorized;
    bool welcomeCompleted = true;
    std::optional<double> nextReminder = at(0, 10, 30);
    std::optional<PanelFailure> failure;
    bool suppressAnimation = false;
    std::optional<WorkdayID> countingDay;

    PanelProjection project() const {
        return PanelProjection({
            .settings = settings,
            .ledger = ledger,
            .workday = monday,
            .now = now,
            .permission = permission,
            .welcomeCompleted = welcomeCompleted,
            .nextReminder = nextReminder,
            .failure = failure,
            .suppressAnimation = suppressAnimation,
            .countingDay = countingDay,
        });
    }
    // Glasses first, then sips, all on Monday morning.
    void drink(int glasses, int sips) {
        LedgerBuilder builder;
        for (int i = 0; i < glasses; ++i)
            builder.drink(DrinkKind::cup, at(0, 9, 1 + i), dayID(0));
        for (int i = 0; i < sips; ++i)
            builder.drink(DrinkKind::sip, at(0, 9, 10 + i), dayID(0));
        ledger = builder.ledger();
    }
    static std::vector<std::int64_t> fills(const PanelProjection& projection) {
        std::vector<std::int64_t> result;
        for (const auto& drop : projection.drops())
            result.push_back(drop.quarters);
        return result;
    }
};

TEST_F(PanelProjectionTest, ShowsTheNextReminderOfAFreshDay) {
    const auto projection = project();
    EXPECT_EQ(projection.status(), PanelStatus::nextReminder(at(0, 10, 30)));
    EXPECT_EQ(projection.status().reminderDate(), at(0, 10, 30));
    EXPECT_EQ(projection.menuIcon(), MenuIcon::filled);
    EXPECT_EQ(projection.nextBoundary(), at(0, 10, 30));
    EXPECT_EQ(fills(projection), (std::vector<std::int64_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(projection.quarters(), 0);
    EXPECT_TRUE(projection.canRecord());
    EXPECT_TRUE(projection.highlightCup());
    EXPECT_EQ(projection.undoGroup(), std::nullopt);
    EXPECT_TRUE(projection.animateDrops());

    suppressAnimation = true;
    EXPECT_FALSE(project().animateDrops());
}

TEST_F(PanelProjectionTest, CountsGlassesAndQuarters) {
    drink(2, 3);
    const auto projection = project();
    EXPECT_EQ(projection.quarters(), 11);
    EXPECT_EQ(projection.wholeCups(), 2);
    EXPECT_EQ(projection.remainingQuarters(), 3);
    EXPECT_EQ(fills(projection), (std::vector<std::int64_t>{4, 4, 3, 0, 0}));
    EXPECT_EQ(PanelProjection::glasses(11), 2.75);
    ASSERT_TRUE(projection.undoGroup());
    EXPECT_EQ(projection.undoGroup()->kind, DrinkKind::sip);
    // Sips a minute apart are separate clicks: undo takes back the last one.
    EXPECT_EQ(projection.undoGroup()->clickCount, 1);
}

TEST_F(PanelProjectionTest, AboveTheRangeSaysEnoughButStillRecords) {
    struct Case {
        const char* name;
        int sips;
        PanelStatus status;
        bool highlightCup;
        std::vector<std::int64_t> drops;
    };
    const std::vector<Case> cases{
        {"at the upper end", 0, PanelStatus::nextReminder(at(0, 10, 30)), true, {4, 4, 4, 4, 4}},
        // Told before the pending reminder, which was planned before the day had enough.
        {"one quarter above", 1, PanelStatus::rangeExceeded(), false, {4, 4, 4, 4, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drink(5, c.sips);
        const auto projection = project();
        EXPECT_EQ(projection.status(), c.status);
        EXPECT_EQ(projection.highlightCup(), c.highlightCup);
        EXPECT_TRUE(projection.canRecord());
        EXPECT_EQ(fills(projection), c.drops);
        EXPECT_EQ(projection.menuIcon(), MenuIcon::filled);
    }
}

TEST_F(PanelProjectionTest, ShowsOnlyAReminderStillAheadWithinTheWindow) {
    struct Case {
        const char* name;
        std::optional<double> nextReminder;
        PanelStatus status;
        std::optional<double> boundary;
    };
    const std::vector<Case> cases{
        {"none confirmed", std::nullopt, PanelStatus::scheduling(), at(0, 18)},
        {"equal to now", at(0, 9, 30), PanelStatus::scheduling(), at(0, 18)},
        {"already past", at(0, 9, 15), PanelStatus::scheduling(), at(0, 18)},
        {"at the window's end", at(0, 18), PanelStatus::scheduling(), at(0, 18)},
        {"after the window", at(1, 10), PanelStatus::scheduling(), at(0, 18)},
        {"just before the end", at(0, 17, 59), PanelStatus::nextReminder(at(0, 17, 59)),
         at(0, 17, 59)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        nextReminder = c.nextReminder;
        const auto projection = project();
        EXPECT_EQ(projection.status(), c.status);
        EXPECT_EQ(projection.nextBoundary(), c.boundary);
    }
}

TEST_F(PanelProjectionTest, StatusAndIconFollowTheirOwnOrders) {
    using P = NotificationPermission;
    struct Case {
        const char* name;
        std::optional<PanelFailure> failure;
        bool welcomeCompleted;
        bool remindersEnabled;
        P permission;
        double now;
        PanelStatus status;
        MenuIcon icon;
    };
    const double inside = at(0, 9, 30);
    const double evening = at(0, 19);
    const std::vector<Case> cases{
        {"after the window",
         {},
         true,
         true,
         P::authorized,
         evening,
         PanelStatus::outsideWorkday(),
         MenuIcon::outline},
        {"before the window",
         {},
         true,
         true,
         P::authorized,
         at(0, 8, 59),
         PanelStatus::outsideWorkday(),
         MenuIcon::outline},
        {"at the window's end",
         {},
         true,
         true,
         P::authorized,
         at(0, 18),
         PanelStatus::outsideWorkday(),
         MenuIcon::outline},
        {"permission denied",
         {},
         true,
         true,
         P::denied,
         inside,
         PanelStatus::permissionRequired(),
         MenuIcon::permissionWarning},
        {"permission denied after the window",
         {},
         true,
         true,
         P::denied,
         evening,
         PanelStatus::permissionRequired(),
         MenuIcon::permissionWarning},
        {"reminders off, permission denied",
         {},
         true,
         false,
         P::denied,
         inside,
         PanelStatus::remindersOff(),
         MenuIcon::outline},
        {"welcome pending",
         {},
         false,
         true,
         P::authorized,
         inside,
         PanelStatus::welcomeRequired(),
         MenuIcon::outline},
        {"welcome pending, reminders off",
         {},
         false,
         false,
         P::authorized,
         inside,
         PanelStatus::welcomeRequired(),
         MenuIcon::outline},
        {"welcome pending, permission not asked",
         {},
         false,
         true,
         P::notDetermined,
         inside,
         PanelStatus::welcomeRequired(),
         MenuIcon::permissionWarning},
        {"a failure comes first", PanelFailure::storage, false, false, P::denied, evening,
         PanelStatus::failure(PanelFailure::storage), MenuIcon::outline},
        {"a failure leaves the icon alone", PanelFailure::scheduling, true, true, P::authorized,
         inside, PanelStatus::failure(PanelFailure::scheduling), MenuIcon::filled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        failure = c.failure;
        welcomeCompleted = c.welcomeCompleted;
        settings = settingsWith(540, 1080, ReminderInterval::minutes60, c.remindersEnabled);
        permission = c.permission;
        now = c.now;
        const auto projection = project();
        EXPECT_EQ(projection.status(), c.status);
        EXPECT_EQ(projection.menuIcon(), c.icon);
    }
}

TEST_F(PanelProjectionTest, AfterTheWindowNothingChangesByItselfAndNothingIsSuggested) {
    now = at(0, 19);
    const auto projection = project();
    EXPECT_EQ(projection.nextBoundary(), std::nullopt);
    EXPECT_FALSE(projection.highlightCup());
    EXPECT_TRUE(projection.canRecord());
}

TEST_F(PanelProjectionTest, OnlyAClockFailureStopsRecording) {
    struct Case {
        PanelFailure failure;
        bool canRecord;
    };
    const Case cases[] = {
        {PanelFailure::clock, false},
        {PanelFailure::storage, true},
        {PanelFailure::scheduling, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(rawValue(c.failure)));
        failure = c.failure;
        const auto projection = project();
        EXPECT_EQ(projection.status(), PanelStatus::failure(c.failure));
        EXPECT_EQ(projection.status().failureKind(), c.failure);
        EXPECT_EQ(projection.canRecord(), c.canRecord);
        EXPECT_EQ(projection.highlightCup(), c.canRecord);
    }
}

TEST_F(PanelProjectionTest, CountsTheCountingDayWhenOneIsGiven) {
    // Drinks of Friday the week before; the window is Monday's.
    const WorkdayID friday(mondayMidnight - 3 * 86400.0);
    ledger = LedgerBuilder()
                 .drink(DrinkKind::cup, mondayMidnight - 3 * 86400.0 + 10 * hour, friday)
                 .drink(DrinkKind::sip, mondayMidnight - 3 * 86400.0 + 11 * hour, friday)
                 .ledger();
    EXPECT_EQ(project().quarters(), 0);
    EXPECT_EQ(project().undoGroup(), std::nullopt);

    countingDay = friday;
    const auto projection = project();
    EXPECT_EQ(projection.quarters(), 5);
    EXPECT_EQ(fills(projection), (std::vector<std::int64_t>{4, 1, 0, 0, 0}));
    ASSERT_TRUE(projection.undoGroup());
    EXPECT_EQ(projection.undoGroup()->kind, DrinkKind::sip);
}

TEST_F(PanelProjectionTest, UndoOffersTheGroupBeforeAnUndoneOne) {
    LedgerBuilder builder;
    builder.drinks(DrinkKind::cup, 2, at(0, 9, 5), dayID(0));
    builder.drink(DrinkKind::sip, at(0, 9, 20), dayID(0));
    builder.undo(dayID(0));
    ledger = builder.ledger();
    auto projection = project();
    ASSERT_TRUE(projection.undoGroup());
    EXPECT_EQ(projection.undoGroup()->kind, DrinkKind::cup);
    EXPECT_EQ(projection.undoGroup()->clickCount, 2);
    EXPECT_EQ(projection.quarters(), 8);

    ledger = builder.undo(dayID(0)).ledger();
    EXPECT_EQ(project().undoGroup(), std::nullopt);
}

} // namespace
} // namespace DewlightCoreTesting
