#include "platform/runtime/Heap.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <malloc.h>

namespace DewlightPlatform {

namespace {

void trim() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

std::atomic<bool> trimQueued = false;
constexpr int settleMs = 2000;

} // namespace

void returnFreedHeap() {
    trim();
    // The copies and trees of the work around the caller (a start's first projections above all)
    // are freed over the next moments: once more shortly after, however many calls came
    // meanwhile. One wake-up, after large work only.
    auto* application = QCoreApplication::instance();
    if (application && !trimQueued.exchange(true))
        QMetaObject::invokeMethod(
            application,
            [] {
                QTimer::singleShot(settleMs, [] {
                    trimQueued = false;
                    trim();
                });
            },
            Qt::QueuedConnection);
}

} // namespace DewlightPlatform
