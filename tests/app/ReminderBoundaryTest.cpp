#include "app/ReminderBoundary.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace DewlightApp {
namespace {

using DewlightCore::Date;

constexpr Date monday = 818294400; // 2026-12-07 00:00 UTC
constexpr double hour = 3600;
constexpr double day = 86400;
constexpr Date tuesday = monday + day;

TEST(ReminderBoundary, TheEarliestCandidateAfterNowWithATenthOfASecondAtLeast) {
    const auto settings = DewlightCore::RozivSettings::defaults(); // Mon-Fri 09:00-18:00
    const auto calendar = DewlightPlatform::Calendar::utc();
    const struct {
        const char* name;
        Date now;
        std::optional<Date> confirmed;
        std::optional<Date> expected;
    } cases[] = {
        {"in the day, the next reminder first", monday + 9.5 * hour, monday + 10.5 * hour,
         monday + 10.5 * hour},
        {"in the day, the end first", monday + 17 * hour + 0.5, tuesday + 10 * hour,
         monday + 18 * hour},
        {"before the day, its start first", monday + 8 * hour, monday + 10 * hour,
         monday + 9 * hour},
        // Friday's end lies in the past and is passed over.
        {"the weekend, no reminder", monday - 1.5 * day, std::nullopt, monday + 9 * hour},
        {"at the very end, the next start", monday + 18 * hour, tuesday + 10 * hour,
         tuesday + 9 * hour},
        {"a reminder already past is no candidate", monday + 9.5 * hour, monday + 9 * hour,
         monday + 18 * hour},
        // Beyond the dates the core accepts, both working-day searches fail.
        {"no working day within reach", 2e11, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(boundaryInstant(c.now, c.confirmed, settings, calendar), c.expected);
    }

    EXPECT_DOUBLE_EQ(boundarySleep(monday + hour, monday), hour);
    EXPECT_DOUBLE_EQ(boundarySleep(monday + 0.05, monday), 0.1);
    EXPECT_DOUBLE_EQ(boundarySleep(monday - 10, monday), 0.1);
    EXPECT_DOUBLE_EQ(boundarySleep(std::numeric_limits<double>::quiet_NaN(), monday), 0.1);
}

} // namespace
} // namespace DewlightApp
