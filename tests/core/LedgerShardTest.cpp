#include "core/LedgerShard.h"

#include "core/Versioned.h"
#include "tests/core/Expect.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace DewlightCore;
using namespace DewlightCoreTesting;

// Two writers on day 1, one of them also on day 2, with removals and moments on both days.
// Writer A's day-1 drinks are not neighbours in ledger order: B's drink lies between them.
HydrationLedger twoWriterLedger() {
    return HydrationLedger(
        generation(4, "writerZ"),
        {
            Drink{.id = "a1", .group = "ga1", .writer = "writerA", .sequence = 1}.record(),
            Drink{.id = "b1", .group = "gb1", .writer = "writerB", .sequence = 2}.record(),
            Drink{.id = "a2",
                  .group = "ga2",
                  .writer = "writerA",
                  .kind = DrinkKind::sip,
                  .timestamp = at(1, 11),
                  .sequence = 3}
                .record(),
            Drink{.id = "a3",
                  .group = "ga3",
                  .writer = "writerA",
                  .dayIndex = 2,
                  .timestamp = at(2, 9),
                  .sequence = 4}
                .record(),
        },
        {GroupRemoval{groupId("gb0"), day(1)}, GroupRemoval{groupId("ga9"), day(2)}}, std::nullopt,
        {ShownMoment{day(1), PanelMoment::fourthSip},
         ShownMoment{day(2), PanelMoment::rangeExceeded}});
}

LedgerShard decodeShard(const std::string& text) {
    return Json::decode<LedgerShard>(Json::parse(text));
}

TEST(LedgerShardTest, CutHoldsOneWritersDrinksAndTheWholeDaysRemovalsAndMoments) {
    const LedgerShard shard(twoWriterLedger(), day(1), writerId("writerA"));
    EXPECT_EQ(shard.generation(), generation(4, "writerZ"));
    EXPECT_EQ(shard.workday(), day(1));
    EXPECT_EQ(shard.writer(), writerId("writerA"));
    ASSERT_EQ(shard.drinks().size(), 2u);
    EXPECT_EQ(shard.drinks()[0].id(), drinkId("a1"));
    EXPECT_EQ(shard.drinks()[1].id(), drinkId("a2"));
    // The removal is of writer B's group: removals travel with the day, not the writer.
    EXPECT_EQ(shard.removedGroups(), (std::set<GroupRemoval>{{groupId("gb0"), day(1)}}));
    EXPECT_EQ(shard.shownMoments(), (std::set<ShownMoment>{{day(1), PanelMoment::fourthSip}}));
}

TEST(LedgerShardTest, CutForAWriterWithoutDrinksStillCarriesTheDay) {
    const LedgerShard shard(twoWriterLedger(), day(2), writerId("writerB"));
    EXPECT_TRUE(shard.drinks().empty());
    EXPECT_EQ(shard.removedGroups(), (std::set<GroupRemoval>{{groupId("ga9"), day(2)}}));
    EXPECT_EQ(shard.shownMoments(), (std::set<ShownMoment>{{day(2), PanelMoment::rangeExceeded}}));
}

TEST(LedgerShardTest, ValidatedLedgerOfACutShardIsThatSliceAsALedger) {
    const HydrationLedger whole = twoWriterLedger();
    const HydrationLedger slice = LedgerShard(whole, day(1), writerId("writerA")).validatedLedger();
    EXPECT_EQ(slice, HydrationLedger(whole.generation(), {whole.drinks()[0], whole.drinks()[2]},
                                     {GroupRemoval{groupId("gb0"), day(1)}}, std::nullopt,
                                     {ShownMoment{day(1), PanelMoment::fourthSip}}));
}

TEST(LedgerShardTest, ContentsOfAnotherDayOrWriterAreInvalid) {
    const DrinkRecord own = Drink{.id = "a1", .writer = "writerA"}.record();
    struct Case {
        const char* name;
        std::vector<DrinkRecord> drinks;
        std::set<GroupRemoval> removals;
        std::set<ShownMoment> moments;
    };
    const std::vector<Case> cases = {
        {"drink of another writer",
         {own, Drink{.id = "b1", .group = "gb", .writer = "writerB"}.record()},
         {},
         {}},
        {"drink of another day",
         {own, Drink{.id = "a2", .group = "g2", .dayIndex = 2, .timestamp = at(2, 9)}.record()},
         {},
         {}},
        {"removal of another day", {own}, {GroupRemoval{groupId("gx"), day(2)}}, {}},
        {"moment of another day", {own}, {}, {ShownMoment{day(0), PanelMoment::fourthSip}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LedgerShard shard(generation(), day(1), writerId("writerA"), c.drinks, c.removals,
                                c.moments);
        EXPECT_TRUE(
            throwsDomainError([&] { shard.validatedLedger(); }, DomainError::invalidLedger()));
        const std::string text = Json::serialize(Json::encode(shard));
        EXPECT_TRUE(throwsDomainError([&] { decodeShard(text); }, DomainError::invalidLedger()));
    }
}

TEST(LedgerShardTest, LedgerValidationErrorsPassThrough) {
    // One id, two different records: the ledger's own error, not the shard's.
    const LedgerShard conflicting(
        generation(), day(1), writerId("writerA"),
        {Drink{.id = "a1", .sequence = 1}.record(), Drink{.id = "a1", .sequence = 2}.record()}, {},
        {});
    EXPECT_TRUE(throwsDomainError([&] { conflicting.validatedLedger(); },
                                  DomainError::conflictingIdentity()));
    EXPECT_TRUE(throwsDomainError([&] { decodeShard(Json::serialize(Json::encode(conflicting))); },
                                  DomainError::conflictingIdentity()));

    // A click group holding a glass and a sip.
    const LedgerShard mixedGroup(
        generation(), day(1), writerId("writerA"),
        {Drink{.id = "a1", .sequence = 1}.record(),
         Drink{.id = "a2", .kind = DrinkKind::sip, .sequence = 2}.record()},
        {}, {});
    EXPECT_TRUE(
        throwsDomainError([&] { mixedGroup.validatedLedger(); }, DomainError::invalidLedger()));
}

TEST(LedgerShardTest, EncodesItsKeysInOrder) {
    const LedgerShard shard(generation(), day(1), writerId("writerA"),
                            {Drink{.id = "a1", .timestamp = at(1, 10)}.record()},
                            {GroupRemoval{groupId("g0"), day(1)}},
                            {ShownMoment{day(1), PanelMoment::fourthSip}});
    EXPECT_EQ(Json::serialize(Json::encode(Versioned<LedgerShard>(shard))),
              R"({"version":1,"value":{"generation":{"counter":0,"writer":"initial"},)"
              R"("workday":86400.0,"writer":"writerA","drinks":[{"id":"a1","group":"g1",)"
              R"("writer":"writerA","workday":86400.0,"kind":"cup","timestamp":122400.0,)"
              R"("writerSequence":1}],"removedGroups":[{"group":"g0","workday":86400.0}],)"
              R"("shownMoments":[{"workday":86400.0,"moment":"fourthSip"}]}})");
}

TEST(LedgerShardTest, RoundTripKeepsTheShardAndItsDrinkOrder) {
    // Held out of ledger order on purpose: decoding must keep what was written.
    const LedgerShard shard(
        generation(2, "writerB"), day(1), writerId("writerA"),
        {Drink{.id = "a3", .group = "g3", .sequence = 9}.record(),
         Drink{.id = "a1", .group = "g1", .timestamp = at(1, 9.5), .sequence = 1}.record(),
         Drink{.id = "a2", .group = "g2", .kind = DrinkKind::sip, .sequence = 5}.record()},
        {GroupRemoval{groupId("gz"), day(1)}, GroupRemoval{groupId("gb"), day(1)}},
        {ShownMoment{day(1), PanelMoment::rangeExceeded}});
    const LedgerShard decoded = Json::decode<Versioned<LedgerShard>>(
                                    Json::parse(Json::serialize(Json::encode(Versioned(shard)))))
                                    .value();
    EXPECT_EQ(decoded, shard);
    ASSERT_EQ(decoded.drinks().size(), 3u);
    EXPECT_EQ(decoded.drinks()[0].id(), drinkId("a3"));
    EXPECT_EQ(decoded.drinks()[2].id(), drinkId("a2"));
}

TEST(LedgerShardTest, EmptyShardDecodesToAnEmptyLedgerOfItsGeneration) {
    const LedgerShard shard =
        decodeShard(R"({"generation":{"counter":3,"writer":"mac"},"workday":0,"writer":"writerA",)"
                    R"("drinks":[],"removedGroups":[],"shownMoments":[]})");
    EXPECT_EQ(shard.validatedLedger(), HydrationLedger(generation(3, "mac")));
}

TEST(LedgerShardTest, EveryKeyIsRequired) {
    const JsonValue full =
        Json::parse(R"({"generation":{"counter":3,"writer":"mac"},"workday":0,"writer":"writerA",)"
                    R"("drinks":[],"removedGroups":[],"shownMoments":[]})");
    for (const char* key :
         {"generation", "workday", "writer", "drinks", "removedGroups", "shownMoments"}) {
        SCOPED_TRACE(key);
        JsonValue missing = full;
        missing.erase(key);
        EXPECT_TRUE(throwsDecodingError([&] { Json::decode<LedgerShard>(missing); },
                                        DecodingError::Kind::keyNotFound));
    }
    JsonValue badWriter = full;
    badWriter["writer"] = "writer A";
    EXPECT_TRUE(throwsDomainError([&] { Json::decode<LedgerShard>(badWriter); },
                                  DomainError::invalidIdentity()));
}

} // namespace
