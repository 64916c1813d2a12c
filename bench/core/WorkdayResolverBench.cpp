// Working-day resolution at its slowest: one selected weekday, so each search walks all eight
// days before it finds (or, at the edge, just finds) its window.
#include "core/WorkdayResolver.h"

#include <benchmark/benchmark.h>

using namespace DewlightCore;

namespace {

const RozivSettings sundaysOnly(true, {Weekday::sunday}, 540, 1080, CupVolume::ml250,
                                ReminderInterval::minutes60, false);

// Sunday 2026-03-15 08:59:59 in New York: the window at or before is a week back.
constexpr Date beforeSundayStart = 795272399;
// Sunday 2026-03-15 09:00 in New York: the next window is a week on.
constexpr Date atSundayStart = 795272400;

void atOrBeforeOverAWeek(benchmark::State& state) {
    const auto calendar = Calendar::gregorian("America/New_York");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            WorkdayResolver::workdayAtOrBefore(beforeSundayStart, sundaysOnly, calendar));
}
BENCHMARK(atOrBeforeOverAWeek)->Unit(benchmark::kMicrosecond);

void afterOverAWeek(benchmark::State& state) {
    const auto calendar = Calendar::gregorian("America/New_York");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            WorkdayResolver::workdayAfter(atSundayStart, sundaysOnly, calendar));
}
BENCHMARK(afterOverAWeek)->Unit(benchmark::kMicrosecond);

void workdayOnAWorkingDay(benchmark::State& state) {
    const auto calendar = Calendar::gregorian("America/New_York");
    for (auto _ : state)
        benchmark::DoNotOptimize(WorkdayResolver::workdayOn(atSundayStart, sundaysOnly, calendar));
}
BENCHMARK(workdayOnAWorkingDay)->Unit(benchmark::kMicrosecond);

} // namespace
