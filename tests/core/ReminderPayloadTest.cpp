#include "core/ReminderPayload.h"

#include "core/LocalPostponement.h"
#include "core/ReminderAction.h"
#include "core/Versioned.h"
#include "tests/core/Expect.h"
#include "tests/support/ReminderFixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace DewlightCoreTesting {
namespace {

const Identity<AccountTag> account{"account-1"};
const Identity<ReminderTag> reminder{"roziv.1.2"};

ReminderPayload payloadAt(double scheduledAt, WorkdayID workday = dayID(0)) {
    return ReminderPayload(account, initialGeneration(), workday, reminder, scheduledAt);
}

TEST(ReminderPayload, KeepsItsMomentWithinTheDaysReach) {
    struct Case {
        const char* name;
        double scheduledAt;
        std::optional<DomainError> error;
    };
    const double midnight = mondayMidnight;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"14 hours before midnight", midnight - 50400, std::nullopt},
        {"one second earlier", midnight - 50401, DomainError::invalidPayload()},
        {"just before 38 hours after", midnight + 136799.999, std::nullopt},
        {"38 hours after", midnight + 136800, DomainError::invalidPayload()},
        {"not a number", nan, DomainError::invalidDate()},
        {"infinite", std::numeric_limits<double>::infinity(), DomainError::invalidDate()},
        // The date rule is checked first, so a moment breaking both reports the date.
        {"at the date limit", 1e11, DomainError::invalidDate()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.error)
            EXPECT_TRUE(throwsDomainError([&] { payloadAt(c.scheduledAt); }, *c.error));
        else
            EXPECT_EQ(payloadAt(c.scheduledAt).scheduledAt(), c.scheduledAt);
    }
}

TEST(ReminderPayload, EncodesItsKeysInOrderInsideTheEnvelope) {
    const auto payload = payloadAt(at(0, 10, 0, 0.5));
    const std::string expected = R"({"version":1,"value":{"account":"account-1",)"
                                 R"("generation":{"counter":0,"writer":"initial"},)"
                                 R"("workday":789264000.0,"reminder":"roziv.1.2",)"
                                 R"("scheduledAt":789300000.5}})";
    const auto text = Json::serialize(Json::encode(Versioned(payload)));
    EXPECT_EQ(text, expected);
    EXPECT_EQ(Json::decode<Versioned<ReminderPayload>>(Json::parse(text)).value(), payload);
}

TEST(ReminderPayload, DecodingNeedsEveryKeyAndIgnoresOthers) {
    const JsonValue full = Json::encode(payloadAt(at(0, 10)));
    for (const char* key : {"account", "generation", "workday", "reminder", "scheduledAt"}) {
        SCOPED_TRACE(key);
        JsonValue missing = full;
        missing.erase(key);
        EXPECT_TRUE(throwsDecodingError([&] { Json::decode<ReminderPayload>(missing); },
                                        DecodingError::Kind::keyNotFound));
    }
    JsonValue extra = full;
    extra["note"] = "from a newer writer";
    EXPECT_EQ(Json::decode<ReminderPayload>(extra), payloadAt(at(0, 10)));
}

TEST(ReminderPayload, DecodingAppliesTheSameChecks) {
    JsonValue outside = Json::encode(payloadAt(at(0, 10)));
    outside["scheduledAt"] = mondayMidnight + 136800;
    EXPECT_TRUE(throwsDomainError([&] { Json::decode<ReminderPayload>(outside); },
                                  DomainError::invalidPayload()));

    JsonValue badIdentity = Json::encode(payloadAt(at(0, 10)));
    badIdentity["reminder"] = "roziv 1";
    EXPECT_TRUE(throwsDomainError([&] { Json::decode<ReminderPayload>(badIdentity); },
                                  DomainError::invalidIdentity()));

    JsonValue offMidnight = Json::encode(payloadAt(at(0, 10)));
    offMidnight["workday"] = mondayMidnight + 1;
    EXPECT_TRUE(throwsDomainError([&] { Json::decode<ReminderPayload>(offMidnight); },
                                  DomainError::invalidDate()));

    EXPECT_TRUE(throwsDomainError(
        [&] {
            Json::decode<Versioned<ReminderPayload>>(Json::parse(R"({"version":2,"value":{}})"));
        },
        DomainError::unsupportedVersion(2)));
}

TEST(ReminderPayload, IsActionableOnlyForThePresentAccountGenerationAndDay) {
    const ResetGeneration generation(3, Identity<WriterTag>("writer-a"));
    const double scheduledAt = at(0, 10);
    const ReminderPayload payload(account, generation, dayID(0), reminder, scheduledAt);
    struct Case {
        const char* name;
        Identity<AccountTag> account;
        ResetGeneration generation;
        WorkdayID countingDay;
        double now;
        bool actionable;
    };
    const Case cases[] = {
        {"at its moment", account, generation, dayID(0), scheduledAt, true},
        {"later the same day", account, generation, dayID(0), at(0, 19), true},
        {"one millisecond early", account, generation, dayID(0), scheduledAt - 0.001, false},
        {"another account", Identity<AccountTag>("account-2"), generation, dayID(0), scheduledAt,
         false},
        {"a later generation", account, ResetGeneration(4, Identity<WriterTag>("writer-a")),
         dayID(0), scheduledAt, false},
        {"same counter, another writer", account,
         ResetGeneration(3, Identity<WriterTag>("writer-b")), dayID(0), scheduledAt, false},
        {"another counting day", account, generation, dayID(1), scheduledAt, false},
        {"a clock reading that is not a number", account, generation, dayID(0),
         std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(payload.isActionable(c.account, c.generation, c.countingDay, c.now),
                  c.actionable);
    }
}

TEST(ReminderAction, IsKnownOnlyByItsExactText) {
    EXPECT_EQ(fromRawValue<ReminderAction>("cup"), ReminderAction::cup);
    EXPECT_EQ(fromRawValue<ReminderAction>("sip"), ReminderAction::sip);
    EXPECT_EQ(fromRawValue<ReminderAction>("postpone"), ReminderAction::postpone);
    EXPECT_EQ(fromRawValue<ReminderAction>("Cup"), std::nullopt);
    EXPECT_EQ(fromRawValue<ReminderAction>(""), std::nullopt);
    EXPECT_EQ(Json::serialize(Json::encode(ReminderAction::postpone)), R"("postpone")");
    EXPECT_TRUE(
        throwsDecodingError([] { Json::decode<ReminderAction>(Json::parse(R"("snooze")")); },
                            DecodingError::Kind::dataCorrupted));
}

TEST(LocalPostponement, IsDueFifteenMinutesLater) {
    const Identity<DrinkTag> sip("drink-7");
    const LocalPostponement postponement(at(0, 10), dayID(0), sip);
    EXPECT_EQ(postponement.until(), at(0, 10, 15));
    EXPECT_EQ(postponement.workday(), dayID(0));
    EXPECT_EQ(postponement.lastDrink(), sip);
}

TEST(LocalPostponement, RefusesMomentsOutsideTheDateRule) {
    EXPECT_TRUE(throwsDomainError(
        [] { LocalPostponement(std::numeric_limits<double>::quiet_NaN(), dayID(0), {}); },
        DomainError::invalidDate()));
    // `now` is valid but 15 minutes later is not: such a postponement could never be planned.
    EXPECT_TRUE(throwsDomainError([] { LocalPostponement(1e11 - 100, dayID(0), {}); },
                                  DomainError::invalidDate()));
    EXPECT_NO_THROW(LocalPostponement(1e11 - 901, dayID(0), {}));
}

TEST(LocalPostponement, MatchesOnlyItsDayAndTheLatestDrinkItWasMadeAgainst) {
    const Identity<DrinkTag> first("drink-1");
    const Identity<DrinkTag> second("drink-2");
    const LocalPostponement withoutDrink(at(0, 10), dayID(0), std::nullopt);
    const LocalPostponement afterFirst(at(0, 10), dayID(0), first);
    struct Case {
        const char* name;
        const LocalPostponement& postponement;
        WorkdayID day;
        std::optional<Identity<DrinkTag>> latest;
        bool matches;
    };
    const Case cases[] = {
        {"no drink then, none now", withoutDrink, dayID(0), std::nullopt, true},
        {"no drink then, one now", withoutDrink, dayID(0), first, false},
        {"same latest drink", afterFirst, dayID(0), first, true},
        {"a later drink", afterFirst, dayID(0), second, false},
        {"its drink undone, none left", afterFirst, dayID(0), std::nullopt, false},
        {"another day", withoutDrink, dayID(1), std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.postponement.matches(c.day, c.latest), c.matches);
    }
    EXPECT_NE(withoutDrink, afterFirst);
    EXPECT_EQ(afterFirst, LocalPostponement(at(0, 10), dayID(0), first));
}

} // namespace
} // namespace DewlightCoreTesting
