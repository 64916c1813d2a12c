#include "ui/Font.h"
#include "ui/Layout.h"
#include "ui/SymbolCatalogue.h"
#include "ui/TextCache.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace ui;

namespace {

// A panel-like tree: 20 rows of 10 nodes each (with the column's own nodes, about 205).
Node panel(int& nodes) {
    std::vector<Node> rows;
    for (int i = 0; i < 20; ++i) {
        rows.push_back(
            hstack({symbol("drop.fill").frame(20, std::nullopt),
                    vstack({verbatim(QStringLiteral("Row %1 title").arg(i)),
                            verbatim(QStringLiteral("A note that wraps when the row is narrow"))
                                .font({TextStyle::callout})},
                           HorizontalAlignment::leading, 4),
                    spacer(8), fill(Shape::capsule(), Color::tint()).frame(36, 20)},
                   VerticalAlignment::center, 12)
                .padding(8)
                .background(fill(Shape::roundedRectangle(8), Color::primary().opacity(0.06))));
        nodes += 10;
    }
    nodes += 3;
    return vstack(rows, HorizontalAlignment::leading, 8).padding(16).frame(368, std::nullopt);
}

// Without a text cache every text is shaped again: the first pass of a window.
void BM_LayoutPanelOf200Nodes(benchmark::State& state) {
    Environment env;
    env.symbols = std::make_shared<SymbolCatalogue>();
    int nodes = 0;
    const Node tree = panel(nodes);
    for (auto _ : state) {
        Layout layout(tree, env, {368.0, std::nullopt});
        benchmark::DoNotOptimize(layout.size());
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_LayoutPanelOf200Nodes)->Unit(benchmark::kMicrosecond);

void BM_BuildAndLayoutPanelOf200Nodes(benchmark::State& state) {
    Environment env;
    for (auto _ : state) {
        int nodes = 0;
        Layout layout(panel(nodes), env, {368.0, std::nullopt});
        benchmark::DoNotOptimize(layout.size());
    }
}
BENCHMARK(BM_BuildAndLayoutPanelOf200Nodes)->Unit(benchmark::kMicrosecond);

// What a window does on each change: a rebuilt tree laid out with the text cache it keeps.
void BM_RelayoutPanelOf200NodesWithTextCache(benchmark::State& state) {
    Environment env;
    env.textCache = std::make_shared<TextCache>();
    int nodes = 0;
    Layout warm(panel(nodes), env, {368.0, std::nullopt});
    for (auto _ : state) {
        Layout layout(panel(nodes), env, {368.0, std::nullopt});
        benchmark::DoNotOptimize(layout.size());
    }
}
BENCHMARK(BM_RelayoutPanelOf200NodesWithTextCache)->Unit(benchmark::kMicrosecond);

} // namespace

// The application object lives in main: as a function-local static it was destroyed after main
// returned, once thread-local state that Qt still needs was gone, and the process crashed on exit.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QGuiApplication application(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    loadUiFonts();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
