#include "updates/UpdateSchedule.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace DewlightUpdates {
namespace {

constexpr double t = 800'000'000;

TEST(UpdateSchedule, DueOutsideTheWindowOfTheLastResult) {
    struct Case {
        UpdateSchedule::Last last;
        double now;
        bool due;
    };
    const Case cases[] = {
        {UpdateSchedule::Never{}, t, true},
        {UpdateSchedule::Answered{t}, t, false},
        {UpdateSchedule::Answered{t}, t + 1'295'999, false},
        {UpdateSchedule::Answered{t}, t + 1'296'000, true},
        {UpdateSchedule::Answered{t}, t - 1, true}, // the clock was set back
        {UpdateSchedule::Failed{t}, t, false},
        {UpdateSchedule::Failed{t}, t + 3'599, false},
        {UpdateSchedule::Failed{t}, t + 3'600, true},
        {UpdateSchedule::Failed{t}, t - 1, true},
        // A date that compares with nothing must not stop checks for good.
        {UpdateSchedule::Answered{std::numeric_limits<double>::quiet_NaN()}, t, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateSchedule::isDue(c.last, c.now), c.due)
            << "last " << c.last.index() << " now " << std::fixed << c.now - t;
}

TEST(UpdateSchedule, LastValuesCompareByCaseAndDate) {
    EXPECT_EQ(UpdateSchedule::Last(UpdateSchedule::Never{}), UpdateSchedule::Last());
    using Last = UpdateSchedule::Last;
    EXPECT_EQ(Last(UpdateSchedule::Answered{t}), Last(UpdateSchedule::Answered{t}));
    EXPECT_NE(Last(UpdateSchedule::Answered{t}), Last(UpdateSchedule::Failed{t}));
    EXPECT_NE(Last(UpdateSchedule::Failed{t}), Last(UpdateSchedule::Failed{t + 1}));
}

} // namespace
} // namespace DewlightUpdates
