#include "platform/runtime/EventLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace DewlightPlatform {

namespace {

// Posted calls not yet run. Not every event dispatcher reports posted events as work done, so
// runUntilIdle also counts ours.
int pendingPosts = 0;

} // namespace

void postToNextTurn(std::function<void()> work) {
    auto* application = QCoreApplication::instance();
    Q_ASSERT_X(application, "postToNextTurn", "needs a QCoreApplication");
    ++pendingPosts;
    QMetaObject::invokeMethod(
        application,
        [work = std::move(work)] {
            --pendingPosts;
            work();
        },
        Qt::QueuedConnection);
}

void runUntilIdle() {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    Q_ASSERT_X(dispatcher, "runUntilIdle", "needs an event dispatcher");
    // A bound keeps a self-feeding loop from hanging a test for ever.
    for (int round = 0; round < 100000; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const bool worked = dispatcher->processEvents(QEventLoop::AllEvents);
        if (!worked && pendingPosts == 0) {
            return;
        }
    }
    qFatal("runUntilIdle: the event loop never became idle");
}

void runPostedWork() {
    // Bounded like runUntilIdle: a call that posts itself again must not hang the exit.
    for (int round = 0; round < 1000 && pendingPosts > 0; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    if (done()) {
        return true;
    }
    const QDeadlineTimer deadline(timeout);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired()) {
            loop.quit();
        }
    });
    poll.start();
    loop.exec();
    return done();
}

} // namespace DewlightPlatform
