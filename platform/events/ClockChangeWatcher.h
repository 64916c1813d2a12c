#pragma once

#include "platform/runtime/OwnedDescriptor.h"

#include <QObject>
#include <cstddef>
#include <functional>
#include <sys/types.h>

namespace DewlightPlatform {

// Setting the wall clock, as the kernel reports it: a CLOCK_REALTIME timerfd armed far ahead with
// TFD_TIMER_CANCEL_ON_SET, whose read fails with ECANCELED once the clock was set. Each such
// cancel becomes one clockChanged(); the timer is re-armed after every read.
class ClockChangeWatcher final : public QObject {
    Q_OBJECT
public:
    // Reads the timerfd like read(2), errno included. Tests inject a cancel through it, since
    // they never set the machine's clock.
    using Reader = std::function<ssize_t(int descriptor, void* buffer, std::size_t size)>;

    explicit ClockChangeWatcher(Reader reader = {}, QObject* parent = nullptr);

    // The timerfd, or -1 when none could be made.
    int descriptor() const { return timer_.get(); }

signals:
    void clockChanged();

private:
    void arm();
    void onReadable();

    Reader reader_;
    OwnedDescriptor timer_;
};

} // namespace DewlightPlatform
