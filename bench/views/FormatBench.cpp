// What one build of the panel's texts costs in ICU: a format made for the build, two times and
// a count written with it, as each click's rebuild does.
#include "platform/calendar/Calendar.h"
#include "views/RozivFormat.h"

#include <benchmark/benchmark.h>

namespace {

using DewlightPlatform::Calendar;
using DewlightViews::RozivFormat;

void textsOfOneBuild(benchmark::State& state) {
    const QLocale locale(QStringLiteral("en_US"));
    const Calendar calendar = Calendar::gregorian("Europe/Paris");
    for (auto _ : state) {
        const RozivFormat format(locale, calendar);
        benchmark::DoNotOptimize(format.time(800'000'000.0));
        benchmark::DoNotOptimize(format.weekdayTime(800'003'600.0));
        benchmark::DoNotOptimize(format.countText(4 * 1234 + 3));
        benchmark::DoNotOptimize(format.weekdayName(3, RozivFormat::WeekdayWidth::wide));
    }
}
BENCHMARK(textsOfOneBuild)->Unit(benchmark::kMicrosecond);

} // namespace
