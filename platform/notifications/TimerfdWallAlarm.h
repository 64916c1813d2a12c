#pragma once

#include "platform/notifications/WallAlarm.h"
#include "platform/runtime/OwnedDescriptor.h"

#include <QObject>

namespace DewlightPlatform {

// The machine's wall-clock alarm: one CLOCK_REALTIME timerfd, armed with an absolute expiry
// (TFD_TIMER_ABSTIME) and re-armed in place. The kernel fires it when the clock is set past the
// expiry and on resume after a suspend that passed it. Throws std::system_error when the timerfd
// cannot be made.
class TimerfdWallAlarm final : public QObject, public WallAlarm {
    Q_OBJECT
public:
    explicit TimerfdWallAlarm(QObject* parent = nullptr);

    void setHandler(std::function<void()> onRing) override { onRing_ = std::move(onRing); }
    void arm(double instant) override;
    void disarm() override;

private:
    void onReadable();

    OwnedDescriptor timer_;
    std::function<void()> onRing_;
};

} // namespace DewlightPlatform
