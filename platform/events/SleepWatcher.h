#pragma once

#include <QDBusConnection>
#include <QObject>

namespace DewlightPlatform {

// Wake from suspend, as logind announces it: PrepareForSleep(false) of
// org.freedesktop.login1.Manager. The live application passes the system bus.
class SleepWatcher final : public QObject {
    Q_OBJECT
public:
    explicit SleepWatcher(QDBusConnection bus, QObject* parent = nullptr);
    ~SleepWatcher() override;

    // Whether the signal is being listened to (false when the bus is not reachable).
    bool isListening() const { return listening_; }

signals:
    void woke();

private slots:
    void onPrepareForSleep(bool goingToSleep);

private:
    QDBusConnection bus_;
    bool listening_ = false;
};

} // namespace DewlightPlatform
