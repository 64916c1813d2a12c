#include "core/RozivSettings.h"

#include "core/CupVolume.h"
#include "core/ReminderInterval.h"
#include "core/Weekday.h"
#include "tests/core/Expect.h"

#include <gtest/gtest.h>

using namespace DewlightCore;
using DewlightCoreTesting::throwsDecodingError;
using DewlightCoreTesting::throwsDomainError;
using Kind = DecodingError::Kind;

namespace {

RozivSettings withHours(std::int64_t start, std::int64_t end,
                        std::set<Weekday> days = {Weekday::monday}) {
    return RozivSettings(true, std::move(days), start, end, CupVolume::ml250,
                         ReminderInterval::minutes60, false);
}

TEST(RozivSettingsBounds, WorkingHours) {
    struct Case {
        std::int64_t start, end;
        bool valid;
    };
    const Case cases[] = {
        {300, 600, true},  {299, 600, false}, {301, 600, false},  {810, 1080, false},
        {780, 1080, true}, {540, 1410, true}, {540, 1440, false}, {540, 1395, false},
        {780, 840, true},  {780, 810, false}, {600, 600, false},  {660, 600, false},
        {300, 570, false}, {570, 1080, true}, {300, 1410, true},  {0, 600, false},
        {-30, 600, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << "-" << c.end);
        if (c.valid) {
            const auto settings = withHours(c.start, c.end);
            EXPECT_EQ(settings.startMinute(), c.start);
            EXPECT_EQ(settings.endMinute(), c.end);
        } else {
            EXPECT_TRUE(throwsDomainError([&] { withHours(c.start, c.end); },
                                          DomainError::invalidSettings()));
        }
    }
}

TEST(RozivSettingsBounds, AtLeastOneWeekday) {
    EXPECT_TRUE(
        throwsDomainError([] { withHours(540, 1080, {}); }, DomainError::invalidSettings()));
    EXPECT_EQ(withHours(540, 1080, {Weekday::sunday}).weekdays(),
              std::set<Weekday>{Weekday::sunday});
}

TEST(RozivSettingsDefaults, WeekdaysNineToSix) {
    const auto settings = RozivSettings::defaults();
    EXPECT_TRUE(settings.remindersEnabled());
    EXPECT_EQ(settings.weekdays(),
              (std::set<Weekday>{Weekday::monday, Weekday::tuesday, Weekday::wednesday,
                                 Weekday::thursday, Weekday::friday}));
    EXPECT_EQ(settings.startMinute(), 540);
    EXPECT_EQ(settings.endMinute(), 1080);
    EXPECT_EQ(settings.cupVolume(), CupVolume::ml250);
    EXPECT_EQ(settings.interval(), ReminderInterval::minutes60);
    EXPECT_FALSE(settings.openAtLogin());
}

TEST(RozivSettingsEnums, RawValuesInDeclarationOrder) {
    EXPECT_EQ(rawValue(allCases<Weekday>().front()), 1);
    EXPECT_EQ(rawValue(allCases<Weekday>().back()), 7);
    EXPECT_EQ(fromRawValue<Weekday>(0), std::nullopt);
    EXPECT_EQ(fromRawValue<Weekday>(8), std::nullopt);

    std::vector<std::int64_t> volumes;
    for (const auto volume : allCases<CupVolume>())
        volumes.push_back(rawValue(volume));
    EXPECT_EQ(volumes, (std::vector<std::int64_t>{150, 200, 250, 300, 350, 400, 500}));
    EXPECT_EQ(fromRawValue<CupVolume>(450), std::nullopt);

    std::vector<double> spans;
    for (const auto interval : allCases<ReminderInterval>())
        spans.push_back(seconds(interval));
    EXPECT_EQ(spans, (std::vector<double>{1800, 2700, 3600, 5400, 7200}));
    EXPECT_EQ(fromRawValue<ReminderInterval>(15), std::nullopt);
}

constexpr const char* defaultsText =
    R"({"remindersEnabled":true,"weekdays":[2,3,4,5,6],"startMinute":540,"endMinute":1080,)"
    R"("cupVolume":250,"interval":60,"openAtLogin":false})";

TEST(RozivSettingsJson, DefaultsRoundTripInKeyOrder) {
    const auto text = Json::serialize(Json::encode(RozivSettings::defaults()));
    EXPECT_EQ(text, defaultsText);
    EXPECT_EQ(Json::decode<RozivSettings>(Json::parse(text)), RozivSettings::defaults());
}

TEST(RozivSettingsJson, RepeatedWeekdaysCollapse) {
    auto json = Json::parse(defaultsText);
    json["weekdays"] = Json::parse("[2, 2, 3]");
    EXPECT_EQ(Json::decode<RozivSettings>(json).weekdays(),
              (std::set<Weekday>{Weekday::monday, Weekday::tuesday}));
}

TEST(RozivSettingsJson, EveryKeyIsRequired) {
    for (const char* key : {"remindersEnabled", "weekdays", "startMinute", "endMinute", "cupVolume",
                            "interval", "openAtLogin"}) {
        SCOPED_TRACE(key);
        auto json = Json::parse(defaultsText);
        json.erase(key);
        EXPECT_TRUE(
            throwsDecodingError([&] { Json::decode<RozivSettings>(json); }, Kind::keyNotFound));
    }
}

TEST(RozivSettingsJson, BadValues) {
    struct Case {
        const char* key;
        const char* value;
        std::optional<Kind> decoding; // none: the bounds refuse it
    };
    const Case cases[] = {
        {"cupVolume", "450", Kind::dataCorrupted},
        {"cupVolume", "250.0", Kind::dataCorrupted},
        {"interval", "61", Kind::dataCorrupted},
        {"weekdays", "[8]", Kind::dataCorrupted},
        {"weekdays", "[0, 2]", Kind::dataCorrupted},
        {"weekdays", "[true]", Kind::typeMismatch},
        {"weekdays", "2", Kind::typeMismatch},
        {"startMinute", "true", Kind::typeMismatch},
        {"startMinute", "540.5", Kind::dataCorrupted},
        {"startMinute", "9223372036854775808", Kind::dataCorrupted},
        {"remindersEnabled", "1", Kind::typeMismatch},
        {"openAtLogin", "null", Kind::typeMismatch},
        {"weekdays", "[]", std::nullopt},
        {"startMinute", "299", std::nullopt},
        {"endMinute", "1440", std::nullopt},
        {"endMinute", "-9223372036854775808", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << ": " << c.value);
        auto json = Json::parse(defaultsText);
        json[c.key] = Json::parse(c.value);
        if (c.decoding)
            EXPECT_TRUE(
                throwsDecodingError([&] { Json::decode<RozivSettings>(json); }, *c.decoding));
        else
            EXPECT_TRUE(throwsDomainError([&] { Json::decode<RozivSettings>(json); },
                                          DomainError::invalidSettings()));
    }
}

TEST(RozivSettingsJson, AMissingKeyIsReportedBeforeBrokenBounds) {
    auto json = Json::parse(defaultsText);
    json["startMinute"] = 299;
    json.erase("openAtLogin");
    EXPECT_TRUE(throwsDecodingError([&] { Json::decode<RozivSettings>(json); }, Kind::keyNotFound));
}

} // namespace
