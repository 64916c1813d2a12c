#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <sys/stat.h>

namespace DewlightPlatformTest {

// Runs the event loop until `done` holds or the time is up; answers `done()`.
template <typename Done> bool waitUntil(Done done, int milliseconds = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

inline void runEventsFor(int milliseconds) {
    waitUntil([] { return false; }, milliseconds);
}

// Identifies one version of a file: a replaced file has another inode.
inline std::pair<ino_t, long> fileIdentity(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {0, 0};
    return {info.st_ino, info.st_mtim.tv_nsec};
}

} // namespace DewlightPlatformTest
