#include "core/HydrationLedger.h"
#include "tests/core/Expect.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace DewlightCoreTesting {
namespace {

TEST(LedgerRecording, ClickGroupJoining) {
    struct Click {
        DrinkKind kind;
        double secondsAfterFirst;
        const char* writer = "writerA";
    };
    struct Case {
        const char* name;
        std::vector<Click> clicks;
        std::vector<std::int64_t> groupSizes; // the day's groups, oldest first
    } cases[] = {
        {"3.0 s apart join", {{DrinkKind::cup, 0}, {DrinkKind::cup, 3.0}}, {2}},
        {"3.001 s apart do not", {{DrinkKind::cup, 0}, {DrinkKind::cup, 3.001}}, {1, 1}},
        {"a glass then a sip", {{DrinkKind::cup, 0}, {DrinkKind::sip, 1}}, {1, 1}},
        {"a sip then a glass", {{DrinkKind::sip, 0}, {DrinkKind::cup, 1}}, {1, 1}},
        {"a burst of three", {{DrinkKind::sip, 0}, {DrinkKind::sip, 2}, {DrinkKind::sip, 4}}, {3}},
        {"the clock went back", {{DrinkKind::cup, 0}, {DrinkKind::cup, -1}}, {1, 1}},
        {"another writer's click is skipped",
         {{DrinkKind::cup, 0}, {DrinkKind::cup, 1, "writerB"}, {DrinkKind::cup, 2}},
         {1, 2}},
        {"only the writer's latest drink counts",
         {{DrinkKind::cup, 0}, {DrinkKind::sip, 1}, {DrinkKind::cup, 2}},
         {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HydrationLedger ledger = emptyLedger();
        Clicker clicker(ledger);
        for (const Click& click : c.clicks)
            clicker.click(click.kind, at(1, 10) + click.secondsAfterFirst, click.writer);
        std::vector<std::int64_t> sizes;
        for (const DrinkGroup& group : ledger.groups(day(1)))
            sizes.push_back(group.clickCount);
        EXPECT_EQ(sizes, c.groupSizes);
    }
}

TEST(LedgerRecording, ReturnsTheGroupWithTheNewClick) {
    HydrationLedger ledger = emptyLedger();
    Clicker clicker(ledger);
    clicker.click(DrinkKind::cup, at(1, 10));
    const DrinkGroup group = clicker.click(DrinkKind::cup, at(1, 10) + 2);
    EXPECT_EQ(group, (DrinkGroup{groupId("group1"), DrinkKind::cup, at(1, 10), at(1, 10) + 2, 2}));
    EXPECT_EQ(ledger.drinks().back().group(), groupId("group1"));
}

TEST(LedgerRecording, WriterSequenceIsTheLedgerMaximumPlusOne) {
    HydrationLedger ledger = emptyLedger();
    Clicker clicker(ledger);
    clicker.click(DrinkKind::cup, at(1, 10));
    EXPECT_EQ(ledger.drinks().back().writerSequence(), 1u);

    // Another writer's copy holding that click continues from it, over all writers.
    ledger = HydrationLedger(
        generation(),
        {Drink{.id = "b", .group = "gb", .writer = "writerB", .timestamp = at(1, 9), .sequence = 41}
             .record(),
         Drink{.id = "a", .sequence = 5}.record()});
    clicker.click(DrinkKind::sip, at(1, 11));
    EXPECT_EQ(ledger.drinks().back().writerSequence(), 42u);
}

TEST(LedgerRecording, QuartersOfTheDayAndAfterUndo) {
    HydrationLedger ledger = emptyLedger();
    Clicker clicker(ledger);
    clicker.click(DrinkKind::cup, at(1, 10));
    clicker.click(DrinkKind::cup, at(1, 10) + 1);
    clicker.click(DrinkKind::sip, at(1, 11));
    clicker.click(DrinkKind::sip, at(1, 11) + 1);
    clicker.click(DrinkKind::sip, at(1, 11) + 2);
    EXPECT_EQ(ledger.quarters(day(1)), 11);
    EXPECT_EQ(ledger.quarters(day(2)), 0);

    const std::optional<DrinkGroup> undone = ledger.undoLatestGroup(day(1));
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->kind, DrinkKind::sip);
    EXPECT_EQ(undone->clickCount, 3);
    EXPECT_EQ(ledger.quarters(day(1)), 8);
    EXPECT_EQ(ledger.removedGroups(), (std::set<GroupRemoval>{{undone->id, day(1)}}));
}

TEST(LedgerRecording, RecordingDiscardsEveryEarlierDay) {
    HydrationLedger ledger(generation(),
                           {Drink{.id = "old", .dayIndex = 0, .timestamp = at(0, 10)}.record()},
                           {GroupRemoval{groupId("oldGroup"), day(0)}}, std::nullopt,
                           {ShownMoment{day(0), PanelMoment::fourthSip}});
    Clicker clicker(ledger);
    clicker.click(DrinkKind::cup, at(5, 10), "writerA", 5);
    EXPECT_EQ(ledger.discardedThrough(), day(4));
    ASSERT_EQ(ledger.drinks().size(), 1u);
    EXPECT_TRUE(ledger.removedGroups().empty());
    EXPECT_TRUE(ledger.shownMoments().empty());

    const HydrationLedger before = ledger;
    EXPECT_TRUE(throwsDomainError([&] { clicker.click(DrinkKind::cup, at(5, 11), "writerA", 4); },
                                  DomainError::discardedWorkday()));
    EXPECT_EQ(ledger, before);
}

TEST(LedgerRecording, FailuresLeaveTheLedgerUnchanged) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto largest = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        const char* name;
        HydrationLedger ledger;
        std::string id;
        std::string group;
        int dayIndex;
        Date now;
        std::optional<DomainError> error;
    } cases[] = {
        {"now 14 hours before the day's midnight", emptyLedger(), "n", "gn", 1, at(1, -14),
         std::nullopt},
        {"one second earlier", emptyLedger(), "n", "gn", 1, at(1, -14) - 1,
         DomainError::invalidLedger()},
        {"now not a number", emptyLedger(), "n", "gn", 1, nan, DomainError::invalidDate()},
        {"a discarded day comes before a bad moment", HydrationLedger(generation(), {}, {}, day(1)),
         "n", "gn", 1, nan, DomainError::discardedWorkday()},
        {"the sequence cannot grow, checked before the moment",
         HydrationLedger(generation(), {Drink{.id = "d1", .sequence = largest}.record()}), "n",
         "gn", 1, nan, DomainError::invalidLedger()},
        {"the new id held by another record",
         HydrationLedger(generation(), {Drink{.id = "d1"}.record()}), "d1", "gn", 1, at(1, 12),
         DomainError::conflictingIdentity()},
        {"the proposed group belongs to another writer",
         HydrationLedger(generation(),
                         {Drink{.id = "d1", .group = "gB", .writer = "writerB"}.record()}),
         "n", "gB", 1, at(1, 12), DomainError::invalidLedger()},
        {"the proposed group was undone that day",
         HydrationLedger(generation(), {}, {GroupRemoval{groupId("gn"), day(1)}}), "n", "gn", 1,
         at(1, 12), DomainError::invalidLedger()},
        {"more than 20000 drinks",
         [] {
             std::vector<DrinkRecord> drinks;
             for (int i = 0; i < 20000; ++i)
                 drinks.push_back(Drink{.id = "d" + std::to_string(i),
                                        .group = "g" + std::to_string(i),
                                        .sequence = std::uint64_t(i) + 1}
                                      .record());
             return HydrationLedger(generation(), drinks);
         }(),
         "n", "gn", 1, at(1, 12), DomainError::invalidLedger()},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HydrationLedger before = c.ledger;
        const auto record = [&] {
            c.ledger.recordDrink(drinkId(c.id), groupId(c.group), writerId("writerA"),
                                 day(c.dayIndex), DrinkKind::cup, c.now);
        };
        if (c.error) {
            EXPECT_TRUE(throwsDomainError(record, *c.error));
            EXPECT_EQ(c.ledger, before);
        } else {
            EXPECT_NO_THROW(record());
        }
    }
}

TEST(LedgerUndo, TakesBackGroupsLatestFirst) {
    HydrationLedger ledger = emptyLedger();
    EXPECT_FALSE(ledger.undoLatestGroup(day(1)));
    EXPECT_EQ(ledger, emptyLedger());

    Clicker clicker(ledger);
    clicker.click(DrinkKind::cup, at(1, 10));
    clicker.click(DrinkKind::sip, at(1, 10) + 10);
    clicker.click(DrinkKind::cup, at(1, 10) + 11, "writerB"); // any writer's group is undone
    EXPECT_EQ(ledger.undoLatestGroup(day(1))->id, groupId("group3"));
    EXPECT_EQ(ledger.undoLatestGroup(day(1))->id, groupId("group2"));
    EXPECT_EQ(ledger.undoLatestGroup(day(2)), std::nullopt);
    EXPECT_EQ(ledger.latestDrink(day(1))->id(), drinkId("drink1"));
}

TEST(LedgerUndo, NeverLeavesALedgerThatCannotBeReadBack) {
    std::set<GroupRemoval> removals;
    for (int i = 0; i < 20000; ++i)
        removals.insert(GroupRemoval{groupId("r" + std::to_string(i)), day(1)});
    HydrationLedger full(generation(), {Drink{.id = "d1"}.record()}, removals);
    const HydrationLedger before = full;
    EXPECT_EQ(full.undoLatestGroup(day(1)), std::nullopt);
    EXPECT_EQ(full, before);

    // One removal short of the limit the undo goes through, and the result still validates.
    removals.erase(removals.begin());
    HydrationLedger nearlyFull(generation(), {Drink{.id = "d1"}.record()}, removals);
    ASSERT_TRUE(nearlyFull.undoLatestGroup(day(1)));
    EXPECT_NO_THROW(Json::decode<HydrationLedger>(Json::encode(nearlyFull)));

    // A group id already undone on a later day (a reused id) would be removed twice.
    HydrationLedger reused(generation(), {Drink{.id = "d1", .group = "g1"}.record()},
                           {GroupRemoval{groupId("g1"), day(3)}});
    const HydrationLedger reusedBefore = reused;
    EXPECT_EQ(reused.undoLatestGroup(day(1)), std::nullopt);
    EXPECT_EQ(reused, reusedBefore);
}

TEST(LedgerDiscard, MovesOnlyForward) {
    HydrationLedger ledger(generation(),
                           {Drink{.id = "d1", .dayIndex = 3, .timestamp = at(3, 10)}.record()}, {},
                           day(2));
    ledger.discard(day(1));
    EXPECT_EQ(ledger.discardedThrough(), day(2));
    EXPECT_EQ(ledger.drinks().size(), 1u);
    ledger.discard(day(3));
    EXPECT_EQ(ledger.discardedThrough(), day(3));
    EXPECT_TRUE(ledger.drinks().empty());
}

} // namespace
} // namespace DewlightCoreTesting
