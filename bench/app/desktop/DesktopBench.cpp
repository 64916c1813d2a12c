// The whole app on the tests' own desktop (Xvfb, a private session bus, dunst, the
// accessibility bus, a tray host), each run in a fresh home.
//
//   bench_desktop rest [seconds to count, 60] [seconds to settle first, 20]
//     every thread's context switches (voluntary and not, from /proc/PID/task/*/status) over
//     the given time at rest: each is one wake-up or one preemption of a running thread.
//   bench_desktop start [runs, 3]
//     the time from launch to the tray item and the private dirty memory after settling, with an
//     empty ledger and with the largest valid one (20,000 drinks today), medians of the runs.
// Runs inside dbus-run-session (scripts/bench-desktop.sh does that); DEWLIGHT_BENCH_APP names
// another build of the app to measure.
#include "tests/e2e/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

struct Switches {
    QString name;
    long long count = 0;
};

// Thread id → its name and switches so far.
std::map<QString, Switches> threadSwitches(qint64 pid) {
    std::map<QString, Switches> threads;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(tid + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        Switches& thread = threads[tid];
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Name:"))
                thread.name = QString::fromUtf8(line.mid(5).trimmed());
            else if (line.contains("ctxt_switches:"))
                thread.count += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return threads;
}

void runEventsFor(int seconds) {
    DewlightE2e::waitFor([] { return false; }, seconds * 1000);
}

// Private dirty memory of the process in kB: its heap and whatever else it alone wrote. Clean
// private pages are left out: they are library pages that count as private only while no other
// process maps the same library, so they change with what else runs on the machine.
long long privateKb(qint64 pid) {
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    long long total = 0;
    for (const QByteArray& line : rollup.readAll().split('\n'))
        if (line.startsWith("Private_Dirty:"))
            total += line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toLongLong();
    return total;
}

// The local account's marker that a first start stored in the home's defaults.
QString localMarker(const DewlightE2e::Home& home) {
    QFile in(home.defaultsFile());
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject values =
        QJsonDocument::fromJson(in.readAll()).object()[QStringLiteral("values")].toObject();
    return values[QStringLiteral("identity.local")].toObject()[QStringLiteral("text")].toString();
}

// The account's stored state with `count` drinks today, four per click group, the welcome done.
bool writeState(const DewlightE2e::Home& home, const QString& marker, int count) {
    constexpr double from1970To2001 = 978307200.0;
    const double now = double(QDateTime::currentSecsSinceEpoch()) - from1970To2001;
    const double day = std::floor(now / 86400.0) * 86400.0; // the zone is UTC
    const double step = std::max(now - day - 60.0, 1.0) / 20000.0;
    QJsonArray drinks;
    for (int i = 0; i < count; ++i) {
        const int group = i / 4;
        char id[64];
        std::snprintf(id, sizeof id, "%08x-4b1c-9d2e-%012d", i * 2654435761u, i);
        char groupId[64];
        std::snprintf(groupId, sizeof groupId, "%08x-77aa-4c3d-%012d", group * 40503u, group);
        drinks.push_back(QJsonObject{
            {QStringLiteral("id"), QString::fromLatin1(id)},
            {QStringLiteral("group"), QString::fromLatin1(groupId)},
            {QStringLiteral("writer"),
             group % 2 ? QStringLiteral("writer-b") : QStringLiteral("writer-a")},
            {QStringLiteral("workday"), day},
            {QStringLiteral("kind"), group % 3 ? QStringLiteral("sip") : QStringLiteral("cup")},
            {QStringLiteral("timestamp"), day + 30.0 + i * step},
            {QStringLiteral("writerSequence"), i + 1}});
    }
    const QJsonObject ledger{
        {QStringLiteral("generation"),
         QJsonObject{{QStringLiteral("counter"), 0}, {QStringLiteral("writer"), "initial"}}},
        {QStringLiteral("drinks"), drinks},
        {QStringLiteral("removedGroups"), QJsonArray()},
        {QStringLiteral("shownMoments"), QJsonArray()}};
    const QJsonObject state{{QStringLiteral("ledger"), ledger},
                            {QStringLiteral("receipts"), QJsonArray()},
                            {QStringLiteral("receiptWorkdays"), QJsonArray()},
                            {QStringLiteral("welcomeCompleted"), true}};
    const QJsonObject root{{QStringLiteral("version"), 1}, {QStringLiteral("value"), state}};
    QDir().mkpath(home.dataFolder());
    QFile out(home.dataFolder() + QLatin1Char('/') + marker + QStringLiteral(".json"));
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           out.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) > 0;
}

struct StartFigures {
    double seconds = -1;
    long long kb = -1;
};

StartFigures measureStart(DewlightE2e::Desktop& desktop, const DewlightE2e::Home& home) {
    auto app = desktop.app(home);
    QElapsedTimer timer;
    timer.start();
    if (!app->start())
        return {};
    // The host is polled in this process: about 10 ms of resolution.
    if (!DewlightE2e::waitFor([&] { return desktop.hasItem(app->pid()); }, 30000))
        return {};
    StartFigures figures{timer.nsecsElapsed() / 1e9, -1};
    runEventsFor(5);
    figures.kb = privateKb(app->pid());
    app->quit();
    return figures;
}

template <class T> T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int startBench(DewlightE2e::Desktop& desktop, int runs) {
    // A first start makes the home's account; each run copies it and stores its ledger.
    const DewlightE2e::Home seed = desktop.newHome(QStringLiteral("seed"));
    measureStart(desktop, seed);
    const QString marker = localMarker(seed);
    if (marker.isEmpty()) {
        std::fprintf(stderr, "the first start stored no account\n");
        return 2;
    }
    std::vector<double> seconds[2];
    std::vector<long long> kb[2];
    for (int run = 0; run < runs; ++run) {
        for (int full = 0; full < 2; ++full) {
            const DewlightE2e::Home home =
                desktop.newHome(QStringLiteral("run%1-%2").arg(run).arg(full));
            QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), seed.root + "/.",
                                                     home.root});
            if (!writeState(home, marker, full ? 20000 : 0)) {
                std::fprintf(stderr, "the ledger could not be written\n");
                return 2;
            }
            const auto figures = measureStart(desktop, home);
            if (figures.seconds < 0) {
                std::fprintf(stderr, "the app did not reach the tray\n");
                return 2;
            }
            std::printf("run %d, %s: %.3f s, %.1f MB\n", run + 1, full ? "20,000 drinks" : "empty",
                        figures.seconds, figures.kb / 1024.0);
            seconds[full].push_back(figures.seconds);
            kb[full].push_back(figures.kb);
        }
    }
    const double emptyS = median(seconds[0]), fullS = median(seconds[1]);
    const long long emptyKb = median(kb[0]), fullKb = median(kb[1]);
    std::printf("start to the tray item: empty %.3f s, 20,000 drinks %.3f s (%.2fx)\n", emptyS,
                fullS, fullS / emptyS);
    std::printf("private dirty memory after it: empty %.1f MB, 20,000 drinks %.1f MB (%.2fx)\n",
                emptyKb / 1024.0, fullKb / 1024.0, double(fullKb) / double(emptyKb));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("rest");
    DewlightE2e::Desktop desktop(QDir::tempPath() +
                                 QStringLiteral("/dewlight-bench-desktop-%1").arg(getpid()));
    if (const QString failed = desktop.start(); !failed.isEmpty()) {
        std::fprintf(stderr, "the desktop did not start: %s\n", qPrintable(failed));
        return 2;
    }
    if (!desktop.startNotificationServer()) {
        std::fprintf(stderr, "the notification server did not start\n");
        return 2;
    }
    if (mode == QStringLiteral("start"))
        return startBench(desktop, argc > 2 ? std::max(1, std::atoi(argv[2])) : 3);
    if (mode != QStringLiteral("rest")) {
        std::fprintf(stderr, "usage: bench_desktop rest [seconds] [settle] | start [runs]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const int settle = argc > 3 ? std::atoi(argv[3]) : 20;
    auto app = desktop.app(desktop.newHome(QStringLiteral("rest")));
    if (!app->start() || !app->registered(30000)) {
        std::fprintf(stderr, "the app did not reach the tray\n");
        return 2;
    }
    runEventsFor(settle);
    const auto before = threadSwitches(app->pid());
    // The tray host lives in this process: its event loop keeps answering the app meanwhile.
    runEventsFor(seconds);
    const auto after = threadSwitches(app->pid());
    long long total = 0;
    std::printf("%-8s %-20s %s\n", "thread", "name", "wake-ups");
    for (const auto& [tid, thread] : after) {
        const auto was = before.find(tid);
        const long long count = thread.count - (was == before.end() ? 0 : was->second.count);
        total += count;
        std::printf("%-8s %-20s %lld\n", qPrintable(tid), qPrintable(thread.name), count);
    }
    std::printf("wake-ups of every thread over %d s at rest: %lld (%.1f a minute)\n", seconds,
                total, total * 60.0 / seconds);
    app->quit();
    return 0;
}
