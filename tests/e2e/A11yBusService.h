#pragma once

// What a desktop session offers on its session bus so that apps find the accessibility bus:
// the launcher's address and its status. The second computer of a scenario gets it from the
// test, which reads both computers' apps on one accessibility bus.
#include <QDBusConnection>
#include <QObject>
#include <QString>

class A11yBusService final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Bus")

public:
    A11yBusService(QString address, QDBusConnection bus) : address_(std::move(address)), bus_(bus) {
        bus_.registerObject(QStringLiteral("/org/a11y/bus"), this, QDBusConnection::ExportAllSlots);
        bus_.registerService(QStringLiteral("org.a11y.Bus"));
    }
    ~A11yBusService() override {
        bus_.unregisterService(QStringLiteral("org.a11y.Bus"));
        bus_.unregisterObject(QStringLiteral("/org/a11y/bus"));
    }

public slots:
    QString GetAddress() const { return address_; }

private:
    QString address_;
    QDBusConnection bus_;
};
