#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <vector>

// A StatusNotifierItem watcher with a host of its own, on the test's private bus: it records the
// items that register and can click them the way a panel does.
class FakeStatusNotifierWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
public:
    // `bus`: where it serves; the session bus unless another is given.
    explicit FakeStatusNotifierWatcher(bool withHost,
                                       QDBusConnection bus = QDBusConnection::sessionBus());
    ~FakeStatusNotifierWatcher() override;

    QStringList RegisteredStatusNotifierItems() const { return items_; }
    bool IsStatusNotifierHostRegistered() const { return withHost_; }
    int ProtocolVersion() const { return 0; }

    // Clicks the first registered item; false when the call failed.
    bool activateItem();
    // A property of the first registered item.
    QVariant itemProperty(const QString& name);

    // One entry of the first item's menu as DBusMenu lays it out.
    struct MenuEntry {
        int id = 0;
        QString label;
        bool enabled = true;
    };
    // The entries of the first item's menu, as a panel reads them before showing it; empty
    // without a menu.
    std::vector<MenuEntry> menu();
    // Clicks the entry labelled `label` in the first item's menu; false when none is.
    bool chooseFromMenu(const QString& label);

public slots:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString& service);

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();

private:
    QDBusConnection bus_;
    bool withHost_;
    QStringList items_;
};
