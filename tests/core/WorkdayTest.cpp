#include "core/WorkdayResolver.h"
#include "tests/core/Expect.h"

#include <cmath>
#include <gtest/gtest.h>
#include <iomanip>
#include <limits>

using namespace DewlightCore;
using DewlightCoreTesting::throwsDecodingError;
using DewlightCoreTesting::throwsDomainError;

namespace {

constexpr double day = 86400;
constexpr double march14 = 795139200; // 2026-03-14 00:00 UTC
const double nan = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

RozivSettings settings(std::set<Weekday> days, std::int64_t start, std::int64_t end) {
    return RozivSettings(true, std::move(days), start, end, CupVolume::ml250,
                         ReminderInterval::minutes60, false);
}

TEST(WorkdayID, OnlyUtcMidnightsWithinTheDateRule) {
    struct Case {
        double civilDate;
        bool valid;
    };
    const Case cases[] = {
        {march14, true},
        {march14 + 1, false},
        {march14 - 0.5, false},
        // Shifting this to 1970 first would round the fraction away and let it pass.
        {std::nextafter(march14, infinity), false},
        {0, true},
        {-day, true},
        {99999964800, true}, // the last midnight before 1e11
        {-99999964800, true},
        {100000051200, false}, // a midnight, but beyond 1e11
        {nan, false},
        {infinity, false},
        {-infinity, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.civilDate);
        if (c.valid)
            EXPECT_EQ(WorkdayID(c.civilDate).civilDate(), c.civilDate);
        else
            EXPECT_TRUE(
                throwsDomainError([&] { WorkdayID{c.civilDate}; }, DomainError::invalidDate()));
    }
}

TEST(WorkdayID, NegativeZeroIsStoredAsZero) {
    const WorkdayID id(-0.0);
    EXPECT_FALSE(std::signbit(id.civilDate()));
    EXPECT_EQ(Json::serialize(Json::encode(id)), "0.0");
    EXPECT_EQ(std::hash<WorkdayID>{}(id), std::hash<WorkdayID>{}(WorkdayID(0.0)));
}

TEST(WorkdayID, CivilDayIsTheSameDateInEveryZone) {
    struct Case {
        const char* zone;
        double moment;
        double civilDate;
    };
    const Case cases[] = {
        {"Etc/GMT-14", march14 + 34200, march14}, // 23:30 on the 14th at UTC+14
        {"Etc/GMT+12", march14 + 45000, march14}, // 00:30 on the 14th at UTC-12
        {"Pacific/Kiritimati", march14 + 34200, march14},
        {"Etc/GMT-14", march14 + 36000, march14 + day}, // 00:00 on the 15th at UTC+14
        {"UTC", march14 - 0.25, march14 - day},
        {"America/New_York", 794723400, 794707200}, // 2026-03-09 00:30 EDT
        {"UTC", -99999999999 + day, -99999964800},  // 1169 BC: the era is kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.moment);
        EXPECT_EQ(WorkdayID(c.moment, Calendar::gregorian(c.zone)).civilDate(), c.civilDate);
    }
    // The last one keeps the rule, but its civil midnight does not.
    for (const double bad : {nan, infinity, 1e11, -1e11, -99999999999.0}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(throwsDomainError([&] { WorkdayID(bad, Calendar::utc()); },
                                      DomainError::invalidDate()));
    }
}

TEST(WorkdayID, JsonIsABareNumber) {
    EXPECT_EQ(Json::serialize(Json::encode(WorkdayID(march14))), "795139200.0");
    EXPECT_EQ(Json::decode<WorkdayID>(Json::parse("795139200")), WorkdayID(march14));
    EXPECT_TRUE(throwsDomainError([] { Json::decode<WorkdayID>(Json::parse("795139201")); },
                                  DomainError::invalidDate()));
    EXPECT_TRUE(throwsDecodingError([] { Json::decode<WorkdayID>(Json::parse("\"795139200\"")); }));
    EXPECT_LT(WorkdayID(march14), WorkdayID(march14 + day));
}

TEST(Workday, WindowBounds) {
    const WorkdayID id(march14);
    struct Case {
        double start, end;
        bool valid;
    };
    const Case cases[] = {
        {march14 + 9 * 3600, march14 + 18 * 3600, true},
        {march14 + 100, march14 + 100, false},
        {march14 + 200, march14 + 100, false},
        {march14 - 50400, march14, true},
        {march14 - 50401, march14, false},
        {march14, march14 + 136799, true},
        {march14, march14 + 136800, false},
        {nan, march14 + 100, false},
        {march14, nan, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start - march14 << " .. " << c.end - march14);
        if (c.valid)
            EXPECT_NO_THROW(Workday(id, c.start, c.end));
        else
            EXPECT_TRUE(throwsDomainError([&] { Workday(id, c.start, c.end); },
                                          DomainError::invalidDate()));
    }
}

TEST(Workday, ContainsFromStartUpToEnd) {
    const Workday window(WorkdayID(march14), march14 + 100, march14 + 200);
    EXPECT_FALSE(window.contains(march14 + 99.5));
    EXPECT_TRUE(window.contains(march14 + 100));
    EXPECT_TRUE(window.contains(march14 + 199.5));
    EXPECT_FALSE(window.contains(march14 + 200));
    EXPECT_FALSE(window.contains(nan));
}

TEST(Workday, JsonRoundTripAndChecks) {
    const Workday window(WorkdayID(march14), march14 + 32400.5, march14 + 64800);
    const auto text = Json::serialize(Json::encode(window));
    EXPECT_EQ(text, R"({"id":795139200.0,"start":795171600.5,"end":795204000.0})");
    EXPECT_EQ(Json::decode<Workday>(Json::parse(text)), window);

    EXPECT_TRUE(throwsDomainError(
        [] {
            Json::decode<Workday>(
                Json::parse(R"({"id":795139200,"start":795204000,"end":795204000})"));
        },
        DomainError::invalidDate()));
    EXPECT_TRUE(throwsDomainError(
        [] {
            Json::decode<Workday>(
                Json::parse(R"({"id":795139201,"start":795171600,"end":795204000})"));
        },
        DomainError::invalidDate()));
    // "start" and "end" are read before "id".
    EXPECT_TRUE(throwsDecodingError(
        [] { Json::decode<Workday>(Json::parse(R"({"id":795139201,"end":795204000})")); },
        DecodingError::Kind::keyNotFound));
}

struct Window {
    double id, start, end;
};

void expectWindow(const Workday& actual, const Window& expected) {
    EXPECT_EQ(actual.id().civilDate(), expected.id);
    EXPECT_EQ(actual.start(), expected.start);
    EXPECT_EQ(actual.end(), expected.end);
}

// Berlin in March 2026 is UTC+1 throughout.
constexpr Window friday13{795052800, 795081600, 795114000};
constexpr Window monday16{795312000, 795340800, 795373200};
constexpr Window tuesday17{795398400, 795427200, 795459600};
constexpr Window wednesday18{795484800, 795513600, 795546000};

TEST(WorkdayResolver, SearchesAroundTheMoment) {
    const auto weekdays = settings(
        {Weekday::monday, Weekday::tuesday, Weekday::wednesday, Weekday::thursday, Weekday::friday},
        540, 1080);
    const auto berlin = Calendar::gregorian("Europe/Berlin");
    struct Case {
        const char* what;
        double moment;
        std::optional<Window> on;
        Window atOrBefore, after;
    };
    const Case cases[] = {
        {"Saturday noon", 795178800, std::nullopt, friday13, monday16},
        {"Tuesday 08:59", 795427140, tuesday17, monday16, tuesday17},
        {"Tuesday 09:00", 795427200, tuesday17, tuesday17, wednesday18},
        {"Tuesday 20:00", 795466800, tuesday17, tuesday17, wednesday18},
        {"Monday 00:00", 795308400, monday16, friday13, monday16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto on = WorkdayResolver::workdayOn(c.moment, weekdays, berlin);
        ASSERT_EQ(on.has_value(), c.on.has_value());
        if (on)
            expectWindow(*on, *c.on);
        expectWindow(WorkdayResolver::workdayAtOrBefore(c.moment, weekdays, berlin), c.atOrBefore);
        expectWindow(WorkdayResolver::workdayAfter(c.moment, weekdays, berlin), c.after);
    }
}

TEST(WorkdayResolver, WallTimesAcrossDaylightSavingChanges) {
    // Godthab jumps 22:00 -> 23:00 on Saturday 2019-03-30 and repeats 22:00-23:00 on Saturday
    // 2019-10-26: the end moves to 23:00 in spring and takes the first 22:30 in autumn.
    const auto saturdays = settings({Weekday::saturday}, 540, 1350);
    const auto godthab = Calendar::gregorian("America/Godthab");
    const auto spring = WorkdayResolver::workdayOn(575686800 - 12 * 3600, saturdays, godthab);
    ASSERT_TRUE(spring);
    expectWindow(*spring, {575596800, 575640000, 575686800});
    const auto autumn = WorkdayResolver::workdayOn(593829000 - 12 * 3600, saturdays, godthab);
    ASSERT_TRUE(autumn);
    expectWindow(*autumn, {593740800, 593780400, 593829000});
}

TEST(WorkdayResolver, StepsByCalendarDaysNotBy86400Seconds) {
    // Monday 2026-03-09 00:30 EDT, the night after New York's spring jump: 86400 s earlier is
    // still Saturday evening, one calendar day earlier is Sunday.
    const auto sundays = settings({Weekday::sunday}, 540, 1080);
    const auto newYork = Calendar::gregorian("America/New_York");
    expectWindow(WorkdayResolver::workdayAtOrBefore(794723400, sundays, newYork),
                 {794620800, 794667600, 794700000});
    // And forward over the autumn change: Saturday 2026-10-31 23:30 EDT to Sunday.
    expectWindow(WorkdayResolver::workdayAfter(815196600, sundays, newYork),
                 {815184000, 815234400, 815266800});
}

TEST(WorkdayResolver, ASingleWeekdayIsFoundAWeekAway) {
    const auto sundays = settings({Weekday::sunday}, 540, 1080);
    const auto utc = Calendar::utc();
    const double sunday15 = march14 + day;
    // Right after Sunday's start the next one is seven days on; right before it, the last one
    // is seven days back.
    EXPECT_EQ(WorkdayResolver::workdayAfter(sunday15 + 32400, sundays, utc).start(),
              sunday15 + 7 * day + 32400);
    EXPECT_EQ(WorkdayResolver::workdayAtOrBefore(sunday15 + 32399, sundays, utc).start(),
              sunday15 - 7 * day + 32400);
}

TEST(WorkdayResolver, InvalidMomentsAndWindowsBeyondTheDateRule) {
    const auto weekdays = RozivSettings::defaults();
    const auto utc = Calendar::utc();
    for (const double bad : {nan, infinity, -infinity, 1e11, -1e11}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(throwsDomainError([&] { WorkdayResolver::workdayOn(bad, weekdays, utc); },
                                      DomainError::invalidDate()));
        EXPECT_TRUE(
            throwsDomainError([&] { WorkdayResolver::workdayAtOrBefore(bad, weekdays, utc); },
                              DomainError::invalidDate()));
        EXPECT_TRUE(throwsDomainError([&] { WorkdayResolver::workdayAfter(bad, weekdays, utc); },
                                      DomainError::invalidDate()));
    }
    // A valid moment whose next window would end beyond the rule.
    const auto everyDay =
        settings({Weekday::sunday, Weekday::monday, Weekday::tuesday, Weekday::wednesday,
                  Weekday::thursday, Weekday::friday, Weekday::saturday},
                 540, 1080);
    EXPECT_TRUE(
        throwsDomainError([&] { WorkdayResolver::workdayAfter(1e11 - 3600, everyDay, utc); },
                          DomainError::invalidDate()));
}

TEST(WorkdayResolver, LastWorkdayOfAMondayFirstWeek) {
    const auto utc = Calendar::utc();
    const auto monWedSun =
        settings({Weekday::monday, Weekday::wednesday, Weekday::sunday}, 540, 1080);
    const auto weekdays = RozivSettings::defaults();
    struct Case {
        const char* what;
        const RozivSettings& settings;
        double dayStart; // UTC midnight of the window's day
        bool last;
    };
    const Case cases[] = {
        {"Sunday of Mon/Wed/Sun", monWedSun, march14 + day, true},
        {"Wednesday of Mon/Wed/Sun", monWedSun, march14 + 4 * day, false},
        {"Monday of Mon/Wed/Sun", monWedSun, march14 + 2 * day, false},
        {"Friday of Mon-Fri", weekdays, march14 - day, true},
        {"Thursday of Mon-Fri", weekdays, march14 - 2 * day, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto window = WorkdayResolver::workdayOn(c.dayStart + 43200, c.settings, utc);
        ASSERT_TRUE(window);
        EXPECT_EQ(WorkdayResolver::isLastWorkdayOfWeek(*window, c.settings, utc), c.last);
    }
}

} // namespace
