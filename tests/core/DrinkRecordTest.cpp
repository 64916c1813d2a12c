#include "core/DrinkRecord.h"

#include "core/DrinkGroup.h"
#include "core/GroupRemoval.h"
#include "core/ShownMoment.h"
#include "tests/core/Expect.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace DewlightCoreTesting {
namespace {

TEST(DrinkRecord, TimestampBoundsOfItsWorkday) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        Date timestamp;
        std::optional<DomainError> error;
    } cases[] = {
        {"fourteen hours before midnight", at(1, 0) - 50400, std::nullopt},
        {"one second earlier", at(1, 0) - 50401, DomainError::invalidLedger()},
        {"days after its workday", at(40, 12), std::nullopt},
        {"not a number: the date rule comes first", nan, DomainError::invalidDate()},
        {"infinite", std::numeric_limits<double>::infinity(), DomainError::invalidDate()},
        {"at the date limit", 1e11, DomainError::invalidDate()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto build = [&] { (void)Drink{.id = "d", .timestamp = c.timestamp}.record(); };
        if (c.error)
            EXPECT_TRUE(throwsDomainError(build, *c.error));
        else
            EXPECT_NO_THROW(build());
    }
}

TEST(DrinkRecord, JsonRoundTripKeepsKeyOrder) {
    const DrinkRecord record =
        Drink{.id = "d1", .kind = DrinkKind::sip, .timestamp = at(1, 9.5) + 0.125, .sequence = 7}
            .record();
    const JsonValue json = Json::encode(record);
    EXPECT_EQ(Json::serialize(json),
              R"({"id":"d1","group":"g1","writer":"writerA","workday":86400.0,"kind":"sip",)"
              R"("timestamp":120600.125,"writerSequence":7})");
    EXPECT_EQ(Json::decode<DrinkRecord>(Json::parse(Json::serialize(json))), record);
}

JsonValue recordJson() {
    return Json::encode(Drink{.id = "d1"}.record());
}

TEST(DrinkRecord, DecodingFailures) {
    struct Case {
        const char* name;
        const char* key;
        JsonValue value;
        std::optional<DomainError> error; // none: an ordinary decoding error
    } cases[] = {
        {"unknown kind", "kind", "glass", std::nullopt},
        {"kind in other letter case", "kind", "Cup", std::nullopt},
        {"fractional sequence", "writerSequence", 1.5, std::nullopt},
        {"negative sequence", "writerSequence", -1, std::nullopt},
        {"sequence as text", "writerSequence", "1", std::nullopt},
        {"timestamp as text", "timestamp", "86400", std::nullopt},
        {"identity with a space", "id", "d 1", DomainError::invalidIdentity()},
        {"writer with a slash", "writer", "a/b", DomainError::invalidIdentity()},
        {"workday off midnight", "workday", 86401.0, DomainError::invalidDate()},
        {"timestamp too early for the day", "timestamp", 86400.0 - 50401,
         DomainError::invalidLedger()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JsonValue json = recordJson();
        json[c.key] = c.value;
        const auto decode = [&] { (void)Json::decode<DrinkRecord>(json); };
        if (c.error)
            EXPECT_TRUE(throwsDomainError(decode, *c.error));
        else
            EXPECT_TRUE(throwsDecodingError(decode));
    }
    for (const char* key :
         {"id", "group", "writer", "workday", "kind", "timestamp", "writerSequence"}) {
        SCOPED_TRACE(key);
        JsonValue json = recordJson();
        json.erase(key);
        EXPECT_TRUE(throwsDecodingError([&] { (void)Json::decode<DrinkRecord>(json); },
                                        DecodingError::Kind::keyNotFound));
    }
}

TEST(DrinkRecord, LargestSequenceSurvivesJson) {
    const auto largest = std::numeric_limits<std::uint64_t>::max();
    const DrinkRecord record = Drink{.id = "d1", .sequence = largest}.record();
    EXPECT_EQ(Json::decode<DrinkRecord>(Json::parse(Json::serialize(Json::encode(record))))
                  .writerSequence(),
              largest);
}

TEST(DrinkGroup, QuartersByKind) {
    EXPECT_EQ((DrinkGroup{groupId("g"), DrinkKind::sip, 0, 0, 3}.quarters()), 3);
    EXPECT_EQ((DrinkGroup{groupId("g"), DrinkKind::cup, 0, 0, 2}.quarters()), 8);
}

TEST(PanelMomentAndShownMoment, JsonForms) {
    const ShownMoment shown{day(2), PanelMoment::threeCupsInHour};
    EXPECT_EQ(Json::serialize(Json::encode(shown)),
              R"({"workday":172800.0,"moment":"threeCupsInHour"})");
    EXPECT_EQ(Json::decode<ShownMoment>(Json::encode(shown)), shown);
    for (const char* text : {"FourthSip", "fourthsip", "fourSips", ""}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(throwsDecodingError([&] { (void)Json::decode<PanelMoment>(JsonValue(text)); },
                                        DecodingError::Kind::dataCorrupted));
    }
    for (PanelMoment moment : allCases<PanelMoment>())
        EXPECT_EQ(Json::decode<PanelMoment>(Json::encode(moment)), moment);
}

TEST(GroupRemoval, JsonForm) {
    const GroupRemoval removal{groupId("g7"), day(3)};
    EXPECT_EQ(Json::serialize(Json::encode(removal)), R"({"group":"g7","workday":259200.0})");
    EXPECT_EQ(Json::decode<GroupRemoval>(Json::encode(removal)), removal);
    EXPECT_TRUE(throwsDomainError(
        [] { (void)Json::decode<GroupRemoval>(Json::parse(R"({"group":"g 7","workday":0})")); },
        DomainError::invalidIdentity()));
}

} // namespace
} // namespace DewlightCoreTesting
