// How long a panel snapshot to a file takes, and how much memory, against the smallest Qt
// program that paints one label into a PNG: both run as processes, alternately, in one run. The
// snapshot's own time is its wall time less the fixed wait it gives the window to draw.
//
// Also PNG encoders on the panel's picture, with the bytes each writes: Qt's writer at the zlib
// levels it offers, and libpng driven directly with each filter, level and strategy. The
// snapshot's settings were chosen from these.
#include "app/SnapshotMode.h"
#include "app/SnapshotWindow.h"
#include "kit/windows/KestraSnapshotWindow.h"
#include "platform/calendar/Calendar.h"
#include "ui/Font.h"
#include "views/MenuView.h"
#include "views/RozivSnapshotModel.h"

#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>
#include <zlib.h>

extern char** environ;

namespace {

struct Measured {
    double seconds = 0;
    long peakKilobytes = 0;
    bool ok = false;
};

// Runs a program to its end without a display: wall time and the child's peak resident memory.
Measured runProcess(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Measured measured;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid) {
            measured.seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            measured.peakKilobytes = usage.ru_maxrss;
            measured.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return measured;
}

void BM_PanelSnapshotAgainstOneLabel(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string snapshotFile = folder.filePath(QStringLiteral("panel.png")).toStdString();
    const std::string labelFile = folder.filePath(QStringLiteral("label.png")).toStdString();
    double snapshotSeconds = 0, labelSeconds = 0;
    long snapshotPeak = 0, labelPeak = 0;
    for (auto _ : state) {
        const Measured label = runProcess({ONE_LABEL_PNG, labelFile});
        const Measured snapshot = runProcess(
            {DEWLIGHT_BINARY, "--snapshot-file", snapshotFile, "--snapshot-appearance", "light"});
        if (!label.ok || !snapshot.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        const double own = snapshot.seconds - DewlightApp::snapshotDrawingTime;
        state.SetIterationTime(own);
        snapshotSeconds += own;
        labelSeconds += label.seconds;
        snapshotPeak = std::max(snapshotPeak, snapshot.peakKilobytes);
        labelPeak = std::max(labelPeak, label.peakKilobytes);
    }
    const double runs = double(state.iterations());
    state.counters["snapshot_ms"] = 1000 * snapshotSeconds / runs;
    state.counters["label_ms"] = 1000 * labelSeconds / runs;
    state.counters["time_ratio"] = snapshotSeconds / labelSeconds;
    state.counters["snapshot_peak_kb"] = double(snapshotPeak);
    state.counters["label_peak_kb"] = double(labelPeak);
    state.counters["memory_ratio"] = double(snapshotPeak) / double(labelPeak);
}
BENCHMARK(BM_PanelSnapshotAgainstOneLabel)->UseManualTime()->Unit(benchmark::kMillisecond);

// The panel's picture as the snapshot captures it: 736 px wide.
QImage panelPicture() {
    static DewlightViews::RozivSnapshotModel model(QStringList(),
                                                   DewlightPlatform::Calendar::gregorian("UTC"));
    const ui::Environment env =
        DewlightApp::snapshotEnvironment(ui::ColorScheme::light, QLocale(QLocale::English));
    return KestraUI::KestraSnapshot::frozen(DewlightViews::MenuView(model), env, false);
}

// Qt's PNG writer maps a quality q to zlib level (100 - q) * 9 / 91; no quality is level 6.
void BM_EncodePanelPng(benchmark::State& state) {
    static const QImage image = panelPicture();
    const int quality = int(state.range(0));
    qsizetype bytes = 0;
    for (auto _ : state) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(quality);
        writer.write(image);
        bytes = png.size();
    }
    state.counters["zlib_level"] = quality < 0 ? 6 : (100 - quality) * 9 / 91;
    state.counters["kilobytes"] = double(bytes) / 1024;
}
BENCHMARK(BM_EncodePanelPng)
    ->Arg(-1)
    ->Arg(100)
    ->Arg(85)
    ->Arg(75)
    ->Arg(65)
    ->Arg(50)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

// libpng straight from the premultiplied pixels: one filter for every row, or libpng's choice
// per row among all five, at zlib levels 1, 3 and 6, with the default strategy or run-length,
// and zlib's memory level 8 (its default) or 6.
void BM_EncodePanelLibpng(benchmark::State& state) {
    static const QImage image = panelPicture();
    const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_PAETH,
                           PNG_ALL_FILTERS};
    const DewlightApp::PngSettings settings{filters[state.range(0)], int(state.range(1)),
                                            int(state.range(2)), int(state.range(3))};
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = DewlightApp::encodePng(image, settings).size();
    state.counters["kilobytes"] = double(bytes) / 1024;
}
BENCHMARK(BM_EncodePanelLibpng)
    ->ArgNames({"filter", "level", "strategy", "memory"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 3, 6}, {Z_DEFAULT_STRATEGY, Z_RLE}, {8, 6}})
    ->Unit(benchmark::kMillisecond);

// The snapshot's own encoder, as written.
void BM_EncodePanelSnapshotSettings(benchmark::State& state) {
    static const QImage image = panelPicture();
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = DewlightApp::SnapshotWindow::encode(image).size();
    state.counters["kilobytes"] = double(bytes) / 1024;
}
BENCHMARK(BM_EncodePanelSnapshotSettings)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ui::loadUiFonts();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
