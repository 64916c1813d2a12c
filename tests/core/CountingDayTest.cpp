#include "core/CountingDayResolver.h"
#include "tests/core/Expect.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <limits>

namespace DewlightCoreTesting {
namespace {

// Day indices from Monday 2001-01-01: 0 Monday, 1 Tuesday, 2 Wednesday, 5 Saturday, 6 Sunday.
constexpr int monday = 0, tuesday = 1, wednesday = 2, friday = 4, saturday = 5, sunday = 6,
              nextMonday = 7;

class CountingDay : public testing::Test {
protected:
    const RozivSettings settings = RozivSettings::defaults(); // Monday to Friday, 09:00-18:00
    const Calendar calendar = Calendar::utc();

    WorkdayID counting(Date now, const HydrationLedger& ledger) const {
        return CountingDayResolver::countingDay(now, settings, calendar, ledger);
    }
};

TEST_F(CountingDay, EmptyLedgerFollowsTheWorkingWindows) {
    struct Case {
        const char* name;
        Date now;
        int expected;
    } cases[] = {
        {"Tuesday 07:30, before the window", at(tuesday, 7.5), monday},
        {"Tuesday 09:00 exactly", at(tuesday, 9), tuesday},
        {"Tuesday 20:00, after the window", at(tuesday, 20), tuesday},
        {"Saturday", at(saturday, 12), friday},
        {"Sunday", at(sunday, 12), friday},
        {"Monday 08:59, the Friday before", at(nextMonday, 8 + 59.0 / 60), friday},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(counting(c.now, emptyLedger()), day(c.expected));
    }
}

TEST_F(CountingDay, TheLedgersLaterDayCounts) {
    const HydrationLedger tuesdayDrink(
        generation(),
        {Drink{.id = "d", .dayIndex = tuesday, .timestamp = at(tuesday, 7)}.record()});
    EXPECT_EQ(counting(at(tuesday, 7.5), tuesdayDrink), day(tuesday));

    // A removal or a shown moment names a day just as a drink does.
    const HydrationLedger removalOnly(generation(), {}, {GroupRemoval{groupId("g"), day(tuesday)}});
    const HydrationLedger momentOnly(generation(), {}, {}, std::nullopt,
                                     {ShownMoment{day(tuesday), PanelMoment::fourthSip}});
    EXPECT_EQ(counting(at(tuesday, 7.5), removalOnly), day(tuesday));
    EXPECT_EQ(counting(at(tuesday, 7.5), momentOnly), day(tuesday));
    EXPECT_EQ(CountingDayResolver::latestWorkday(removalOnly), day(tuesday));
    EXPECT_EQ(CountingDayResolver::latestWorkday(momentOnly), day(tuesday));
}

TEST_F(CountingDay, Failures) {
    const HydrationLedger wednesdayDrink(
        generation(),
        {Drink{.id = "d", .dayIndex = wednesday, .timestamp = at(wednesday, 10)}.record()});
    struct Case {
        const char* name;
        Date now;
        HydrationLedger ledger;
        std::optional<int> expected;
        DomainError error = DomainError::discardedWorkday();
    } cases[] = {
        {"a Wednesday record on Tuesday morning", at(tuesday, 7.5), wednesdayDrink, std::nullopt},
        {"a Wednesday record on Tuesday evening", at(tuesday, 23.9), wednesdayDrink, std::nullopt},
        {"discarded through Monday, counting Tuesday", at(tuesday, 10),
         HydrationLedger(generation(), {}, {}, day(monday)), tuesday},
        {"discarded through Tuesday, counting Tuesday", at(tuesday, 10),
         HydrationLedger(generation(), {}, {}, day(tuesday)), std::nullopt},
        {"now not finite", std::numeric_limits<double>::infinity(), emptyLedger(), std::nullopt,
         DomainError::invalidDate()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected)
            EXPECT_EQ(counting(c.now, c.ledger), day(*c.expected));
        else
            EXPECT_TRUE(throwsDomainError([&] { (void)counting(c.now, c.ledger); }, c.error));
    }
}

TEST(LatestWorkday, KeepsTheGreatestWhateverTheOrder) {
    EXPECT_EQ(CountingDayResolver::latestWorkday(emptyLedger()), std::nullopt);
    // Array order Monday, Wednesday, Tuesday (the ledger keeps the given order for equal keys).
    const HydrationLedger ledger(generation(), {Drink{.id = "a",
                                                      .group = "ga",
                                                      .dayIndex = monday,
                                                      .timestamp = at(monday, 10),
                                                      .sequence = 1}
                                                    .record(),
                                                Drink{.id = "b",
                                                      .group = "gb",
                                                      .dayIndex = wednesday,
                                                      .timestamp = at(wednesday, 10),
                                                      .sequence = 2}
                                                    .record(),
                                                Drink{.id = "c",
                                                      .group = "gc",
                                                      .dayIndex = tuesday,
                                                      .timestamp = at(tuesday, 10),
                                                      .sequence = 3}
                                                    .record()});
    EXPECT_EQ(CountingDayResolver::latestWorkday(ledger), day(wednesday));
}

} // namespace
} // namespace DewlightCoreTesting
