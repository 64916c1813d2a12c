#pragma once

#include <QObject>

namespace DewlightPlatform {

// Whether the desktop can show a tray icon right now. On Linux that is a StatusNotifierItem host
// registered with the session's watcher; the host can come after the application (at login) and
// can go away and come back (a panel restart).
class TrayHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isAvailable() const = 0;

signals:
    // Only on a real change.
    void availabilityChanged(bool available);
};

// A host the tests switch on and off.
class LocalTrayHost final : public TrayHost {
    Q_OBJECT
public:
    explicit LocalTrayHost(bool available = false) : available_(available) {}
    bool isAvailable() const override { return available_; }
    void setAvailable(bool available) {
        if (available_ == available)
            return;
        available_ = available;
        emit availabilityChanged(available);
    }

private:
    bool available_;
};

} // namespace DewlightPlatform
