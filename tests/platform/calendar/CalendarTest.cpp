#include "platform/calendar/Calendar.h"

#include <gtest/gtest.h>

using DewlightPlatform::Calendar;
using DewlightPlatform::Date;
using DewlightPlatform::DateComponents;
using DewlightPlatform::UnknownTimeZone;

namespace {

// 2026-03-08 02:00 EST the clocks of New York jump to 03:00 EDT; 2026-11-01 02:00 EDT they fall
// back to 01:00 EST, so 01:00-02:00 happens twice.
constexpr const char* newYork = "America/New_York";

TEST(CalendarZone, RefusesNamesTheDatabaseDoesNotKnow) {
    for (const char* name : {"Mars/Olympus_Mons", "", "Etc/Unknown", "america/new york"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(Calendar::gregorian(name), UnknownTimeZone);
    }
}

TEST(CalendarZone, KeepsItsZoneWhenANewNameIsRefused) {
    auto calendar = Calendar::gregorian(newYork);
    EXPECT_THROW(calendar.setTimeZone("Nowhere/Land"), UnknownTimeZone);
    EXPECT_EQ(calendar.timeZoneId(), newYork);
    calendar.setTimeZone("Europe/Berlin");
    EXPECT_EQ(calendar.timeZoneId(), "Europe/Berlin");
}

TEST(CalendarZone, CopiesAreIndependent) {
    const auto original = Calendar::gregorian(newYork);
    auto copy = original;
    copy.setTimeZone("Asia/Tokyo");
    EXPECT_EQ(original.timeZoneId(), newYork);
    EXPECT_EQ(original.components(794646000)->hour, 3);
    EXPECT_EQ(copy.components(794646000)->hour, 16);
}

TEST(CalendarZone, UtcCalendarIsASeparateCalendarInUtc) {
    const auto calendar = Calendar::gregorian(newYork);
    EXPECT_EQ(Calendar::utc().timeZoneId(), "UTC");
    EXPECT_EQ(calendar.utcCalendar().timeZoneId(), "UTC");
    EXPECT_EQ(calendar.utcCalendar().date({.year = 2026, .month = 3, .day = 8}), 794620800);
    EXPECT_EQ(calendar.timeZoneId(), newYork);
}

struct ComponentsCase {
    const char* zone;
    Date date;
    DateComponents expected;
};

TEST(CalendarComponents, ReadsTheWallClockOfTheZone) {
    const ComponentsCase cases[] = {
        {"UTC", 0, {1, 2001, 1, 1, 0, 0, 0, 2}},
        // A fraction before the reference belongs to the second before it.
        {"UTC", -0.5, {1, 2000, 12, 31, 23, 59, 59, 1}},
        {newYork, 794646000, {1, 2026, 3, 8, 3, 0, 0, 1}},
        {newYork, 815203800, {1, 2026, 11, 1, 1, 30, 0, 1}},
        {newYork, 815207400, {1, 2026, 11, 1, 1, 30, 0, 1}},
        {"Pacific/Kiritimati", 795173400, {1, 2026, 3, 14, 23, 30, 0, 7}},
        // Before the 1582 reform the calendar counts Julian days, as every Gregorian calendar does.
        {"UTC", -1e11 + 1, {0, 1169, 2, 27, 14, 13, 21, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.date);
        const auto parts = Calendar::gregorian(c.zone).components(c.date);
        ASSERT_TRUE(parts);
        EXPECT_EQ(*parts, c.expected);
    }
}

TEST(CalendarComponents, NothingForMomentsOutsideTheCalendar) {
    const auto calendar = Calendar::utc();
    for (Date date :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300})
        EXPECT_FALSE(calendar.components(date));
}

struct MomentCase {
    const char* zone;
    DateComponents parts;
    std::optional<Date> expected;
};

TEST(CalendarMoments, BuildsMomentsWithTheWallTimePolicies) {
    const MomentCase cases[] = {
        {"UTC", {.year = 2001, .month = 1, .day = 1}, 0},
        {"UTC", {.year = 2026, .month = 3, .day = 14}, 795139200},
        // Skipped: 02:30 does not exist and moves to the jump, 03:00 EDT.
        {newYork, {.year = 2026, .month = 3, .day = 8, .hour = 2, .minute = 30}, 794646000},
        // Repeated: 01:30 happens twice; the first one (EDT) counts.
        {newYork, {.year = 2026, .month = 11, .day = 1, .hour = 1, .minute = 30}, 815203800},
        {"UTC",
         {.era = 0, .year = 1169, .month = 2, .day = 27, .hour = 14, .minute = 13, .second = 21},
         -1e11 + 1},
        {"UTC", {.year = 2026, .month = 4, .day = 31}, std::nullopt},
        {"UTC", {.year = 2026, .month = 2, .day = 29}, std::nullopt},
        {"UTC", {.year = 2026, .month = 13, .day = 1}, std::nullopt},
        {"UTC", {.year = 2026, .month = 1, .day = 1, .hour = 24}, std::nullopt},
        {"UTC", {.year = 2026, .month = 1, .day = 1, .second = 60}, std::nullopt},
        {"UTC", {.year = 0, .month = 1, .day = 1}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.parts.year << "-" << c.parts.month
                                        << "-" << c.parts.day << " " << c.parts.hour);
        EXPECT_EQ(Calendar::gregorian(c.zone).date(c.parts), c.expected);
    }
}

struct SetTimeCase {
    const char* zone;
    Date day;
    int hour, minute;
    Date expected;
};

TEST(CalendarMoments, SetsTheTimeOfTheSameCivilDay) {
    const SetTimeCase cases[] = {
        // Any moment of the day names the day, the fraction included.
        {newYork, 794638800.75, 9, 0, 794667600},
        {newYork, 794700000, 18, 0, 794700000},
        {newYork, 794638800, 2, 30, 794646000},
        {newYork, 815203800, 1, 30, 815203800},
        {newYork, 815207400, 1, 30, 815203800},
        // Godthab jumps from 22:00 to 23:00 on 2019-03-30 and repeats 22:00-23:00 on 2019-10-26.
        {"America/Godthab", 575686800 - 20 * 3600, 22, 30, 575686800},
        {"America/Godthab", 593829000 - 10 * 3600, 22, 30, 593829000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.day);
        EXPECT_EQ(Calendar::gregorian(c.zone).dateBySettingTime(c.hour, c.minute, 0, c.day),
                  c.expected);
    }
    EXPECT_FALSE(Calendar::utc().dateBySettingTime(24, 0, 0, 0));
    EXPECT_FALSE(
        Calendar::utc().dateBySettingTime(0, 0, 0, std::numeric_limits<double>::infinity()));
}

struct AddDaysCase {
    const char* zone;
    Date date;
    int days;
    Date expected;
};

TEST(CalendarDays, AddsCalendarDaysNotMultiplesOf86400Seconds) {
    const AddDaysCase cases[] = {
        // Noon to noon over the spring jump is 23 hours, back again 23 hours.
        {newYork, 794595600, 1, 794595600 + 23 * 3600},
        {newYork, 794678400, -1, 794678400 - 23 * 3600},
        // Into the skipped hour: the next existing time.
        {newYork, 794561400, 1, 794646000},
        // Into the repeated hour: its first occurrence.
        {newYork, 815117400, 1, 815203800},
        {newYork, 815203800 - 86400 * 7, 7, 815203800},
        // Months and years carry.
        {newYork, 820429200, 1, 820515600},
        {newYork, 820515600, -1, 820429200},
        {newYork, 794595600, 0, 794595600},
        // The fraction of the second stays.
        {"UTC", 0.25, -1, -86400 + 0.25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.date << " + " << c.days);
        EXPECT_EQ(Calendar::gregorian(c.zone).dateByAddingDays(c.days, c.date), c.expected);
    }
    EXPECT_FALSE(Calendar::utc().dateByAddingDays(1, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(Calendar::utc().dateByAddingDays(std::numeric_limits<int>::max(), 0));
}

} // namespace
