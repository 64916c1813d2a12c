// Wake-ups of the app at rest: it starts on the tests' own desktop (Xvfb, a private session
// bus, dunst, the accessibility bus, a tray host) in a fresh home, settles, and then every
// thread's context switches (voluntary and not, from /proc/PID/task/*/status) are counted over
// the given time. Each switch is one wake-up or one preemption of a running thread.
//
//   bench_rest [seconds to count, 60] [seconds to settle first, 20]
// Runs inside dbus-run-session (scripts/bench-rest.sh does that); DEWLIGHT_BENCH_APP names
// another build of the app to measure.
#include "tests/e2e/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <map>
#include <unistd.h>

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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int settle = argc > 2 ? std::atoi(argv[2]) : 20;
    DewlightE2e::Desktop desktop(QDir::tempPath() +
                                 QStringLiteral("/dewlight-bench-rest-%1").arg(getpid()));
    if (const QString failed = desktop.start(); !failed.isEmpty()) {
        std::fprintf(stderr, "the desktop did not start: %s\n", qPrintable(failed));
        return 2;
    }
    if (!desktop.startNotificationServer()) {
        std::fprintf(stderr, "the notification server did not start\n");
        return 2;
    }
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
