#include "core/HydrationRange.h"

#include <gtest/gtest.h>

using namespace DewlightCore;

namespace {

RozivSettings window(std::int64_t start, std::int64_t end, CupVolume volume) {
    return RozivSettings(true, {Weekday::monday}, start, end, volume, ReminderInterval::minutes60,
                         false);
}

TEST(HydrationRange, FromWorkingMinutesAndGlassSize) {
    struct Case {
        std::int64_t start, end;
        CupVolume volume;
        std::int64_t minimum, maximum;
    };
    const Case cases[] = {
        {540, 1080, CupVolume::ml250, 3, 5}, // 3.6 down, 4.5 up
        {540, 1020, CupVolume::ml200, 4, 5}, // exact quotients stay
        {540, 1080, CupVolume::ml500, 1, 3}, // 1.8 down, 2.25 up
        {540, 600, CupVolume::ml500, 1, 1},  // 0.2 raised to 1
        {540, 600, CupVolume::ml150, 1, 1},  // 0.67 raised, 0.83 up
        {300, 1410, CupVolume::ml150, 12, 16}, {300, 1410, CupVolume::ml500, 3, 5},
        {600, 1080, CupVolume::ml400, 2, 3},   {540, 1080, CupVolume::ml300, 3, 4},
        {540, 1080, CupVolume::ml350, 2, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.end - c.start << " min at " << rawValue(c.volume) << " ml");
        const HydrationRange range(window(c.start, c.end, c.volume));
        EXPECT_EQ(range.minimumCups(), c.minimum);
        EXPECT_EQ(range.maximumCups(), c.maximum);
    }
}

TEST(HydrationRange, ThresholdsInQuarters) {
    const HydrationRange range(RozivSettings::defaults()); // 3...5
    EXPECT_FALSE(range.isExceeded(20));
    EXPECT_TRUE(range.isExceeded(21));
    EXPECT_EQ(range.intervalFactor(11), 1);
    EXPECT_EQ(range.intervalFactor(12), 2);
    EXPECT_EQ(range.intervalFactor(0), 1);
}

} // namespace
