// The ledger at its largest: 20,000 drinks, all on one working day (recording discards every
// earlier day, so a full ledger is a full day), with ids as long as the application's UUIDs.
#include "core/HydrationLedger.h"
#include "core/JsonText.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace DewlightCore;

const WorkdayID workday(86400.0);
const Date firstClick = 86400.0 + 8 * 3600.0;

std::string uuidLike(const char* kind, int n) {
    char text[64];
    std::snprintf(text, sizeof text, "%s-%08x-4b1c-9d2e-%012d", kind, n * 2654435761u, n);
    return text;
}

// Four clicks per click group, two writers taking turns by group.
HydrationLedger fullLedger(int drinks) {
    std::vector<DrinkRecord> records;
    records.reserve(drinks);
    for (int i = 0; i < drinks; ++i) {
        const int group = i / 4;
        records.emplace_back(Identity<DrinkTag>(uuidLike("drink", i)),
                             Identity<ClickGroupTag>(uuidLike("group", group)),
                             Identity<WriterTag>(group % 2 ? "writer-b" : "writer-a"), workday,
                             group % 3 ? DrinkKind::sip : DrinkKind::cup, firstClick + i,
                             static_cast<std::uint64_t>(i) + 1);
    }
    return HydrationLedger(ResetGeneration(0, Identity<WriterTag>("initial")), std::move(records));
}

// From text as the application reads it: the drinks straight into records.
void decodeAndValidate(benchmark::State& state) {
    const std::string text = Json::serialize(Json::encode(fullLedger(20000)));
    for (auto _ : state) {
        HydrationLedger ledger = Json::decodeText<HydrationLedger>(text);
        benchmark::DoNotOptimize(ledger);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(decodeAndValidate)->Unit(benchmark::kMillisecond);

// From text through a whole document tree, the way any other value is read.
void decodeAndValidateThroughTree(benchmark::State& state) {
    const std::string text = Json::serialize(Json::encode(fullLedger(20000)));
    for (auto _ : state) {
        HydrationLedger ledger = Json::decode<HydrationLedger>(Json::parse(text));
        benchmark::DoNotOptimize(ledger);
    }
}
BENCHMARK(decodeAndValidateThroughTree)->Unit(benchmark::kMillisecond);

void decodeAndValidateParsed(benchmark::State& state) {
    const JsonValue json = Json::encode(fullLedger(20000));
    for (auto _ : state) {
        HydrationLedger ledger = Json::decode<HydrationLedger>(json);
        benchmark::DoNotOptimize(ledger);
    }
}
BENCHMARK(decodeAndValidateParsed)->Unit(benchmark::kMillisecond);

// Two machines' full copies of the same day: every drink is on both sides and collapses.
void mergeTwoFullLedgers(benchmark::State& state) {
    const HydrationLedger left = fullLedger(20000);
    const HydrationLedger right = fullLedger(20000);
    for (auto _ : state) {
        HydrationLedger merged = left.merging(right);
        benchmark::DoNotOptimize(merged);
    }
}
BENCHMARK(mergeTwoFullLedgers)->Unit(benchmark::kMillisecond);

// The 20,000th drink: the one click that still fits.
void recordOneDrink(benchmark::State& state) {
    const HydrationLedger base = fullLedger(19999);
    const Identity<DrinkTag> id("drink-new-0000-0000-0000-000000000000");
    const Identity<ClickGroupTag> group("group-new-0000-0000-0000-000000000000");
    const Identity<WriterTag> writer("writer-a");
    for (auto _ : state) {
        state.PauseTiming();
        HydrationLedger ledger = base;
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            ledger.recordDrink(id, group, writer, workday, DrinkKind::cup, firstClick + 30000));
    }
}
BENCHMARK(recordOneDrink)->Unit(benchmark::kMillisecond);

void undoLatestGroup(benchmark::State& state) {
    const HydrationLedger base = fullLedger(20000);
    for (auto _ : state) {
        state.PauseTiming();
        HydrationLedger ledger = base;
        state.ResumeTiming();
        benchmark::DoNotOptimize(ledger.undoLatestGroup(workday));
    }
}
BENCHMARK(undoLatestGroup)->Unit(benchmark::kMillisecond);

} // namespace
