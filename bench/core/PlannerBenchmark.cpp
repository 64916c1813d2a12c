#include "core/HydrationLedger.h"
#include "core/PanelProjection.h"
#include "core/ReminderPlanner.h"
#include "core/WorkdayResolver.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace DewlightCore;

// Monday 2026-01-05 00:00 UTC.
constexpr double mondayMidnight = 789264000;

RozivSettings halfHourly() {
    return RozivSettings(
        true,
        {Weekday::monday, Weekday::tuesday, Weekday::wednesday, Weekday::thursday, Weekday::friday},
        540, 1080, CupVolume::ml250, ReminderInterval::minutes30, false);
}

// A busy Monday morning: a sip every ten minutes from 09:00, every fifth click undone again,
// ending at the top of the range so that the afternoon is still planned.
HydrationLedger busyDay() {
    HydrationLedger ledger(ResetGeneration(0, Identity<WriterTag>("initial")));
    const Identity<WriterTag> writer("writer-a");
    const WorkdayID monday(mondayMidnight);
    for (int i = 0; i < 25; ++i) {
        const auto n = std::to_string(i);
        ledger.recordDrink(Identity<DrinkTag>("drink-" + n), Identity<ClickGroupTag>("group-" + n),
                           writer, monday, DrinkKind::sip, mondayMidnight + 9 * 3600.0 + i * 600);
        if (i % 5 == 4)
            ledger.undoLatestGroup(monday);
    }
    return ledger;
}

void fullWeekPlan(benchmark::State& state) {
    const RozivSettings settings = halfHourly();
    const HydrationLedger ledger = busyDay();
    const Identity<AccountTag> account("account-1");
    const Calendar calendar = Calendar::gregorian("Europe/Berlin");
    const double now = mondayMidnight + 13 * 3600.0;
    std::size_t items = 0;
    for (auto _ : state) {
        auto plan = ReminderPlanner::plan({
            .settings = settings,
            .ledger = ledger,
            .account = account,
            .now = now,
            .calendar = calendar,
            .permission = NotificationPermission::authorized,
            .planningAllowed = true,
            .postponement = std::nullopt,
            .horizonEnd = now + 604800,
            .maximumItems = 60,
        });
        items = plan.items.size();
        benchmark::DoNotOptimize(plan);
    }
    state.counters["items"] = static_cast<double>(items);
    state.counters["mondayQuarters"] =
        static_cast<double>(ledger.quarters(WorkdayID(mondayMidnight)));
}
BENCHMARK(fullWeekPlan)->Unit(benchmark::kMicrosecond);

void panelProjection(benchmark::State& state) {
    const RozivSettings settings = halfHourly();
    const HydrationLedger ledger = busyDay();
    const Calendar calendar = Calendar::gregorian("Europe/Berlin");
    const double now = mondayMidnight + 13 * 3600.0;
    const Workday workday = WorkdayResolver::workdayAtOrBefore(now, settings, calendar);
    for (auto _ : state) {
        PanelProjection projection({
            .settings = settings,
            .ledger = ledger,
            .workday = workday,
            .now = now,
            .permission = NotificationPermission::authorized,
            .welcomeCompleted = true,
            .nextReminder = now + 1800,
            .failure = std::nullopt,
            .suppressAnimation = false,
        });
        benchmark::DoNotOptimize(projection);
    }
}
BENCHMARK(panelProjection)->Unit(benchmark::kMicrosecond);

} // namespace
