#include "core/ReminderPlanner.h"

#include "tests/core/Expect.h"
#include "tests/support/ReminderFixtures.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace DewlightCoreTesting {
namespace {

// Monday to Friday 09:00-18:00 UTC, hourly, 250 ml (a range of 3 to 5 glasses), reminders on,
// permission granted, planning allowed; Monday 08:00, seven days ahead, at most 60 items.
class ReminderPlannerTest : public testing::Test {
protected:
    const Calendar calendar = Calendar::utc();
    const Identity<AccountTag> account{"account-1"};
    RozivSettings settings = settingsWith();
    HydrationLedger ledger{initialGeneration()};
    double now = at(0, 8);
    NotificationPermission permission = NotificationPermission::authorized;
    bool planningAllowed = true;
    std::optional<LocalPostponement> postponement;
    double horizonEnd = at(0, 8) + 604800;
    std::int64_t maximumItems = 60;

    ReminderPlan plan() const {
        return ReminderPlanner::plan({
            .settings = settings,
            .ledger = ledger,
            .account = account,
            .now = now,
            .calendar = calendar,
            .permission = permission,
            .planningAllowed = planningAllowed,
            .postponement = postponement,
            .horizonEnd = horizonEnd,
            .maximumItems = maximumItems,
        });
    }
    // The moments the plan holds for one day of the week.
    std::vector<double> momentsOn(const ReminderPlan& plan, int day) const {
        std::vector<double> moments;
        for (const auto& item : plan.items)
            if (item.payload.workday() == dayID(day))
                moments.push_back(item.payload.scheduledAt());
        return moments;
    }
};

TEST_F(ReminderPlannerTest, PlansAWeekOfHourlyReminders) {
    const auto result = plan();
    ASSERT_EQ(result.items.size(), 40U);
    EXPECT_FALSE(result.truncated);
    EXPECT_EQ(result.requestedHorizonEnd, horizonEnd);

    const std::vector<ReminderPhrase> mondayPhrases{
        ReminderPhrase::smallPause,   ReminderPhrase::aSipCounts,   ReminderPhrase::rozivMoment,
        ReminderPhrase::timeForRoziv, ReminderPhrase::smallPause,   ReminderPhrase::aSipCounts,
        ReminderPhrase::rozivMoment,  ReminderPhrase::timeForRoziv,
    };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const auto& item = result.items[static_cast<std::size_t>(i)];
        EXPECT_EQ(item.payload.scheduledAt(), at(0, 10 + i));
        EXPECT_EQ(item.payload.workday(), dayID(0));
        EXPECT_EQ(item.payload.account(), account);
        EXPECT_EQ(item.payload.generation(), ledger.generation());
        EXPECT_EQ(item.phrase, mondayPhrases[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(item.exactlyOneHourSinceDrink);
    }
    EXPECT_EQ(result.items.front().payload.reminder().rawValue(),
              "roziv.4739904034670903296.4739904336660791296");

    // Only the week's last slot says the week is done; Monday's last slot rotates.
    const auto& last = result.items.back();
    EXPECT_EQ(last.payload.scheduledAt(), at(4, 17));
    EXPECT_EQ(last.phrase, ReminderPhrase::weekComplete);
    for (std::size_t i = 0; i + 1 < result.items.size(); ++i)
        EXPECT_NE(result.items[i].phrase, ReminderPhrase::weekComplete) << i;
    for (std::size_t i = 1; i < result.items.size(); ++i)
        EXPECT_LT(result.items[i - 1].payload.scheduledAt(), result.items[i].payload.scheduledAt());
}

TEST_F(ReminderPlannerTest, IdentityIsTheBitPatternOfDayAndMoment) {
    // 2026-12-08 at 10:00 UTC.
    EXPECT_EQ(ReminderPlanner::reminderIdentity(WorkdayID(818380800.0), 818416800.0),
              "roziv.4740148284092317696.4740148586082205696");
}

TEST_F(ReminderPlannerTest, StopsAtTheItemLimitAndSaysSo) {
    settings = settingsWith(540, 1080, ReminderInterval::minutes30);
    const auto result = plan();
    ASSERT_EQ(result.items.size(), 60U);
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(result.items.back().payload.scheduledAt(), at(3, 13, 30));
}

TEST_F(ReminderPlannerTest, TruncationNeedsOneDueReminderMore) {
    maximumItems = 1;
    auto result = plan();
    EXPECT_EQ(result.items.size(), 1U);
    EXPECT_TRUE(result.truncated);

    // Friday 16:30 with the horizon at 17:30: only 17:00 is due.
    now = at(4, 16, 30);
    horizonEnd = at(4, 17, 30);
    result = plan();
    ASSERT_EQ(result.items.size(), 1U);
    EXPECT_FALSE(result.truncated);
    EXPECT_EQ(result.items[0].payload.scheduledAt(), at(4, 17));
}

TEST_F(ReminderPlannerTest, PacesEachDayByWhatWasDrunk) {
    struct Case {
        const char* name;
        int glasses;
        int sips;
        std::vector<double> monday;
    };
    // Drinks at Monday 11:30, planned from then on.
    const std::vector<Case> cases{
        {"below the lower count",
         2,
         3,
         {at(0, 12, 30), at(0, 13, 30), at(0, 14, 30), at(0, 15, 30), at(0, 16, 30),
          at(0, 17, 30)}},
        {"at the lower count: every two hours",
         3,
         0,
         {at(0, 13, 30), at(0, 15, 30), at(0, 17, 30)}},
        {"at the upper count", 5, 0, {at(0, 13, 30), at(0, 15, 30), at(0, 17, 30)}},
        {"above the upper count: none", 5, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LedgerBuilder builder;
        builder.drinks(DrinkKind::cup, c.glasses, at(0, 11, 30), dayID(0));
        builder.drinks(DrinkKind::sip, c.sips, at(0, 11, 30), dayID(0));
        ledger = builder.ledger();
        now = at(0, 11, 30);
        const auto result = plan();
        EXPECT_EQ(momentsOn(result, 0), c.monday);
        // The next day starts afresh.
        const auto tuesday = momentsOn(result, 1);
        ASSERT_EQ(tuesday.size(), 8U);
        EXPECT_EQ(tuesday.front(), at(1, 10));
    }
}

TEST_F(ReminderPlannerTest, ADrinkBeforeTheWindowDoesNotBringTheFirstReminderForward) {
    settings = settingsWith(600, 1080);
    ledger = LedgerBuilder().drink(DrinkKind::cup, at(0, 9, 30), dayID(0)).ledger();
    EXPECT_EQ(plan().items.front().payload.scheduledAt(), at(0, 11));
}

TEST_F(ReminderPlannerTest, MarksTheReminderThatComesExactlyAnHourAfterTheLatestDrink) {
    struct Case {
        const char* name;
        double drinkAt;
        bool oneHour;
    };
    // Half-hourly from 09:00: a drink before the start is followed at 09:30 by the first one.
    const Case cases[] = {
        {"3600 s after", at(0, 8, 30), true},
        {"3599 s after", at(0, 8, 30, 1), false},
    };
    settings = settingsWith(540, 1080, ReminderInterval::minutes30);
    now = at(0, 8, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ledger = LedgerBuilder().drink(DrinkKind::sip, c.drinkAt, dayID(0)).ledger();
        const auto result = plan();
        ASSERT_GE(result.items.size(), 2U);
        EXPECT_EQ(result.items[0].payload.scheduledAt(), at(0, 9, 30));
        EXPECT_EQ(result.items[0].exactlyOneHourSinceDrink, c.oneHour);
        EXPECT_FALSE(result.items[1].exactlyOneHourSinceDrink);
    }
    // A drink inside the window: the first reminder is one interval later, here an hour.
    settings = settingsWith();
    ledger = LedgerBuilder().drink(DrinkKind::sip, at(0, 10, 5), dayID(0)).ledger();
    now = at(0, 10, 5);
    const auto result = plan();
    EXPECT_EQ(result.items[0].payload.scheduledAt(), at(0, 11, 5));
    EXPECT_TRUE(result.items[0].exactlyOneHourSinceDrink);
}

TEST_F(ReminderPlannerTest, APostponementMovesTheDaysFirstReminderWhileNothingWasDrunk) {
    now = at(0, 10);
    postponement = LocalPostponement(now, dayID(0), std::nullopt);
    auto monday = momentsOn(plan(), 0);
    ASSERT_EQ(monday.size(), 8U);
    for (std::size_t i = 0; i < monday.size(); ++i)
        EXPECT_EQ(monday[i], at(0, 10, 15) + static_cast<double>(i) * hour) << i;

    // A sip since: the postponement no longer matches, the sip paces the day.
    LedgerBuilder builder;
    builder.drink(DrinkKind::sip, at(0, 10, 5), dayID(0));
    ledger = builder.ledger();
    now = at(0, 10, 5);
    monday = momentsOn(plan(), 0);
    ASSERT_FALSE(monday.empty());
    EXPECT_EQ(monday.front(), at(0, 11, 5));

    // Made against that sip, it holds until the next drink.
    postponement = LocalPostponement(now, dayID(0), builder.latestDrink(dayID(0)));
    EXPECT_EQ(momentsOn(plan(), 0).front(), at(0, 10, 20));
    builder.drink(DrinkKind::sip, at(0, 10, 10), dayID(0));
    ledger = builder.ledger();
    now = at(0, 10, 10);
    EXPECT_EQ(momentsOn(plan(), 0).front(), at(0, 11, 10));
}

TEST_F(ReminderPlannerTest, APostponementOfAnotherDayIsIgnored) {
    postponement = LocalPostponement(at(4, 16), dayID(4), std::nullopt);
    EXPECT_EQ(momentsOn(plan(), 0).front(), at(0, 10));
    EXPECT_EQ(momentsOn(plan(), 4).front(), at(4, 16, 15));
}

TEST_F(ReminderPlannerTest, APostponedMomentOutsideItsDayFailsThePlan) {
    // Made for Monday, due more than 14 hours before Monday's UTC midnight.
    postponement = LocalPostponement(mondayMidnight - 60000, dayID(0), std::nullopt);
    now = mondayMidnight - 60000;
    horizonEnd = now + 604800;
    EXPECT_TRUE(throwsDomainError([&] { plan(); }, DomainError::invalidPayload()));
}

TEST_F(ReminderPlannerTest, ChecksItsRequestBeforeAnythingElse) {
    struct Case {
        const char* name;
        double now;
        double horizonEnd;
        std::int64_t maximumItems;
        std::optional<DomainError> error;
    };
    const double base = at(0, 8);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"eight days ahead", base, base + 691200, 60, std::nullopt},
        {"one second more", base, base + 691201, 60, DomainError::invalidPlan()},
        {"a horizon equal to now", base, base, 60, DomainError::invalidPlan()},
        {"a horizon before now", base, base - 1, 60, DomainError::invalidPlan()},
        {"no item allowed", base, base + 604800, 0, DomainError::invalidPlan()},
        {"one item", base, base + 604800, 1, std::nullopt},
        {"61 items", base, base + 604800, 61, DomainError::invalidPlan()},
        {"now not a number", nan, base, 0, DomainError::invalidDate()},
        {"a horizon beyond the date rule", base, 1e11, 0, DomainError::invalidDate()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        now = c.now;
        horizonEnd = c.horizonEnd;
        maximumItems = c.maximumItems;
        if (c.error)
            EXPECT_TRUE(throwsDomainError([&] { plan(); }, *c.error));
        else
            EXPECT_NO_THROW(plan());
    }
    // The request is checked even when nothing would be planned.
    settings = settingsWith(540, 1080, ReminderInterval::minutes60, false);
    now = base;
    horizonEnd = base;
    maximumItems = 60;
    EXPECT_TRUE(throwsDomainError([&] { plan(); }, DomainError::invalidPlan()));
}

TEST_F(ReminderPlannerTest, PlansNothingWhenRemindersCannotBeShown) {
    struct Case {
        const char* name;
        bool remindersEnabled;
        NotificationPermission permission;
        bool planningAllowed;
    };
    const Case cases[] = {
        {"reminders off", false, NotificationPermission::authorized, true},
        {"permission not asked", true, NotificationPermission::notDetermined, true},
        {"permission denied", true, NotificationPermission::denied, true},
        {"planning not allowed", true, NotificationPermission::authorized, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings = settingsWith(540, 1080, ReminderInterval::minutes60, c.remindersEnabled);
        permission = c.permission;
        planningAllowed = c.planningAllowed;
        EXPECT_EQ(plan(), (ReminderPlan{{}, horizonEnd, false}));
    }
}

TEST_F(ReminderPlannerTest, FollowsTheCalendarsTimeZone) {
    // 08:00 in Berlin is 07:00 UTC in January; reminders come at Berlin wall times.
    const Calendar berlin = Calendar::gregorian("Europe/Berlin");
    const auto result = ReminderPlanner::plan({
        .settings = settings,
        .ledger = ledger,
        .account = account,
        .now = at(0, 7),
        .calendar = berlin,
        .permission = permission,
        .planningAllowed = true,
        .postponement = std::nullopt,
        .horizonEnd = at(0, 7) + 604800,
        .maximumItems = 60,
    });
    ASSERT_EQ(result.items.size(), 40U);
    EXPECT_EQ(result.items.front().payload.scheduledAt(), at(0, 9));
    EXPECT_EQ(result.items.front().payload.workday(), dayID(0));
    EXPECT_EQ(result.items.back().payload.scheduledAt(), at(4, 16));
}

TEST_F(ReminderPlannerTest, EqualInputsGiveEqualPlans) {
    ledger = LedgerBuilder().drink(DrinkKind::cup, at(0, 9, 10), dayID(0)).ledger();
    now = at(0, 9, 10);
    EXPECT_EQ(plan(), plan());
}

} // namespace
} // namespace DewlightCoreTesting
