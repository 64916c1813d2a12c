#include "core/HydrationLedger.h"
#include "tests/core/Expect.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace DewlightCoreTesting {
namespace {

std::vector<DrinkRecord> manyDrinks(int count, int dayIndex = 1) {
    std::vector<DrinkRecord> drinks;
    drinks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        drinks.push_back(Drink{.id = "d" + n,
                               .group = "g" + n,
                               .dayIndex = dayIndex,
                               .timestamp = at(dayIndex, 10),
                               .sequence = std::uint64_t(i) + 1}
                             .record());
    }
    return drinks;
}

TEST(LedgerValidation, IdenticalCopiesCollapse) {
    const DrinkRecord record = Drink{.id = "d1"}.record();
    EXPECT_EQ(HydrationLedger(generation(), {record, record}),
              HydrationLedger(generation(), {record}));
}

TEST(LedgerValidation, OneIdWithAnyOtherFieldConflicts) {
    const Drink base{.id = "d1"};
    struct Case {
        const char* name;
        Drink other;
    } cases[] = {
        {"group", {.id = "d1", .group = "g2"}},
        {"writer", {.id = "d1", .writer = "writerB"}},
        {"workday", {.id = "d1", .dayIndex = 2, .timestamp = at(2, 10)}},
        {"kind", {.id = "d1", .kind = DrinkKind::sip}},
        {"timestamp", {.id = "d1", .timestamp = at(1, 10) + 0.001}},
        {"writerSequence", {.id = "d1", .sequence = 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(throwsDomainError(
            [&] {
                HydrationLedger(generation(), {base.record(), c.other.record()});
            },
            DomainError::conflictingIdentity()));
    }
}

TEST(LedgerValidation, ConflictIsFoundBeforeTheLimit) {
    std::vector<DrinkRecord> drinks = manyDrinks(20001);
    drinks.push_back(Drink{.id = "d0", .sequence = 99999}.record());
    EXPECT_TRUE(throwsDomainError([&] { HydrationLedger(generation(), drinks); },
                                  DomainError::conflictingIdentity()));
}

TEST(LedgerValidation, Limits) {
    EXPECT_EQ(HydrationLedger(generation(), manyDrinks(20000)).drinks().size(), 20000u);
    EXPECT_TRUE(throwsDomainError([] { HydrationLedger(generation(), manyDrinks(20001)); },
                                  DomainError::invalidLedger()));

    // The limit counts after pruning: one drink on a discarded day does not count.
    std::vector<DrinkRecord> drinks = manyDrinks(20000, 2);
    drinks.push_back(Drink{.id = "old", .dayIndex = 0, .timestamp = at(0, 10)}.record());
    EXPECT_EQ(HydrationLedger(generation(), drinks, {}, day(1)).drinks().size(), 20000u);

    const auto moments = [](int count) {
        std::set<ShownMoment> shown;
        for (int i = 0; i < count; ++i)
            shown.insert(ShownMoment{day(i), PanelMoment::fourthSip});
        return shown;
    };
    EXPECT_NO_THROW(HydrationLedger(generation(), {}, {}, std::nullopt, moments(100)));
    EXPECT_TRUE(throwsDomainError(
        [&] { HydrationLedger(generation(), {}, {}, std::nullopt, moments(101)); },
        DomainError::invalidLedger()));

    const auto removals = [](int count) {
        std::set<GroupRemoval> removed;
        for (int i = 0; i < count; ++i)
            removed.insert(GroupRemoval{groupId("r" + std::to_string(i)), day(1)});
        return removed;
    };
    EXPECT_NO_THROW(HydrationLedger(generation(), {}, removals(20000)));
    EXPECT_TRUE(throwsDomainError([&] { HydrationLedger(generation(), {}, removals(20001)); },
                                  DomainError::invalidLedger()));
}

TEST(LedgerValidation, InconsistentClickGroups) {
    const Drink first{.id = "d1", .group = "g1"};
    struct Case {
        const char* name;
        Drink second;
    } cases[] = {
        {"a glass and a sip", {.id = "d2", .kind = DrinkKind::sip, .sequence = 2}},
        {"two writers", {.id = "d2", .writer = "writerB", .sequence = 2}},
        {"two workdays", {.id = "d2", .dayIndex = 2, .timestamp = at(2, 10), .sequence = 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(throwsDomainError(
            [&] {
                HydrationLedger(generation(), {first.record(), c.second.record()});
            },
            DomainError::invalidLedger()));
    }
}

TEST(LedgerValidation, GroupRemovedOnTwoDaysFails) {
    EXPECT_TRUE(throwsDomainError(
        [] {
            HydrationLedger(
                generation(), {},
                {GroupRemoval{groupId("g1"), day(1)}, GroupRemoval{groupId("g1"), day(2)}});
        },
        DomainError::invalidLedger()));
    EXPECT_NO_THROW(HydrationLedger(
        generation(), {},
        {GroupRemoval{groupId("g1"), day(1)}, GroupRemoval{groupId("g1"), day(1)}}));
}

TEST(LedgerValidation, PruneDropsUndoneAndDiscarded) {
    const HydrationLedger ledger(
        generation(),
        {Drink{.id = "undone", .group = "gone"}.record(),
         Drink{.id = "kept", .group = "g2", .sequence = 2}.record(),
         Drink{.id = "old", .group = "g3", .dayIndex = 0, .timestamp = at(0, 10)}.record()},
        {GroupRemoval{groupId("gone"), day(1)}, GroupRemoval{groupId("oldRemoval"), day(0)}},
        day(0),
        {ShownMoment{day(0), PanelMoment::fourthSip}, ShownMoment{day(1), PanelMoment::fourthSip}});
    ASSERT_EQ(ledger.drinks().size(), 1u);
    EXPECT_EQ(ledger.drinks()[0].id(), drinkId("kept"));
    EXPECT_EQ(ledger.removedGroups(), (std::set<GroupRemoval>{{groupId("gone"), day(1)}}));
    EXPECT_EQ(ledger.shownMoments(), (std::set<ShownMoment>{{day(1), PanelMoment::fourthSip}}));
}

TEST(LedgerValidation, DrinksComeOutInLedgerOrder) {
    // Each pair differs only in the key that decides; the expected order is by id digit.
    const std::vector<DrinkRecord> expected = {
        Drink{.id = "x1", .group = "a", .writer = "w", .timestamp = at(1, 9), .sequence = 1}
            .record(),
        Drink{.id = "x2", .group = "b", .writer = "w", .timestamp = at(1, 8), .sequence = 2}
            .record(),
        Drink{.id = "x3", .group = "c", .writer = "w", .timestamp = at(1, 9), .sequence = 2}
            .record(),
        Drink{.id = "x4", .group = "d", .writer = "A", .timestamp = at(1, 10), .sequence = 2}
            .record(),
        Drink{.id = "x5", .group = "e", .writer = "a", .timestamp = at(1, 10), .sequence = 2}
            .record(),
        Drink{.id = "x6", .group = "f", .writer = "a", .timestamp = at(1, 10), .sequence = 2}
            .record(),
    };
    const std::vector<DrinkRecord> shuffled = {expected[5], expected[3], expected[0],
                                               expected[4], expected[2], expected[1]};
    EXPECT_EQ(HydrationLedger(generation(), shuffled).drinks(), expected);
}

TEST(LedgerJson, DiscardedThroughMissingNullAndSet) {
    const JsonValue withoutKey = Json::parse(
        R"({"generation":{"counter":0,"writer":"initial"},"drinks":[],"removedGroups":[],"shownMoments":[]})");
    JsonValue withNull = withoutKey;
    withNull["discardedThrough"] = nullptr;
    EXPECT_EQ(Json::decode<HydrationLedger>(withoutKey), emptyLedger());
    EXPECT_EQ(Json::decode<HydrationLedger>(withNull), emptyLedger());
    EXPECT_FALSE(Json::encode(emptyLedger()).contains("discardedThrough"));

    const HydrationLedger discarded(generation(), {}, {}, day(3));
    EXPECT_EQ(Json::serialize(Json::encode(discarded)),
              R"({"generation":{"counter":0,"writer":"initial"},"drinks":[],"removedGroups":[],)"
              R"("discardedThrough":259200.0,"shownMoments":[]})");
    EXPECT_EQ(Json::decode<HydrationLedger>(Json::encode(discarded)), discarded);
}

TEST(LedgerJson, RoundTripWritesSetsSorted) {
    const HydrationLedger ledger(
        generation(2, "writerB"),
        {Drink{.id = "d2", .group = "g2", .sequence = 2}.record(), Drink{.id = "d1"}.record()},
        {GroupRemoval{groupId("z"), day(1)}, GroupRemoval{groupId("a"), day(1)}}, day(0),
        {ShownMoment{day(2), PanelMoment::fourthSip},
         ShownMoment{day(1), PanelMoment::rangeExceeded},
         ShownMoment{day(1), PanelMoment::fourthSip}});
    const JsonValue json = Json::encode(ledger);
    EXPECT_EQ(json["drinks"][0]["id"], "d1");
    EXPECT_EQ(json["removedGroups"][0]["group"], "a");
    EXPECT_EQ(json["shownMoments"][0]["moment"], "fourthSip");
    EXPECT_EQ(json["shownMoments"][1]["moment"], "rangeExceeded");
    EXPECT_EQ(json["shownMoments"][2]["workday"], 172800.0);
    const HydrationLedger decoded =
        Json::decode<HydrationLedger>(Json::parse(Json::serialize(json)));
    EXPECT_EQ(decoded, ledger);
    EXPECT_EQ(Json::serialize(Json::encode(decoded)), Json::serialize(json));
}

TEST(LedgerJson, DecodingFailures) {
    JsonValue conflicting = Json::encode(emptyLedger());
    conflicting["drinks"] =
        JsonValue::array({Json::encode(Drink{.id = "d1"}.record()),
                          Json::encode(Drink{.id = "d1", .sequence = 2}.record())});
    EXPECT_TRUE(throwsDomainError([&] { (void)Json::decode<HydrationLedger>(conflicting); },
                                  DomainError::conflictingIdentity()));

    for (const char* key : {"generation", "drinks", "removedGroups", "shownMoments"}) {
        SCOPED_TRACE(key);
        JsonValue json = Json::encode(emptyLedger());
        json.erase(key);
        EXPECT_TRUE(throwsDecodingError([&] { (void)Json::decode<HydrationLedger>(json); },
                                        DecodingError::Kind::keyNotFound));
    }

    JsonValue extra = Json::encode(emptyLedger());
    extra["future"] = 1;
    EXPECT_EQ(Json::decode<HydrationLedger>(extra), emptyLedger());
}

} // namespace
} // namespace DewlightCoreTesting
