#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace DewlightPlatform {

// The application's icon in the desktop's tray.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void setIcon(const QIcon& icon) = 0;
    // What assistive technology and the tooltip say for the icon.
    virtual void setAccessibleName(const QString& name) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // Where the icon is on screen, when the desktop tells (a StatusNotifierItem host does not).
    virtual std::optional<QRect> geometry() const = 0;
    // The labels of the icon's menu, for hosts that show one: open the panel, quit.
    virtual void setMenuTexts(const QString& open, const QString& quit) = 0;

signals:
    // The user clicked the icon (its primary action).
    void activated();
    // The user chose an entry of the icon's menu.
    void openChosen();
    void quitChosen();
};

// An icon the tests click.
class LocalTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    void setIcon(const QIcon& icon) override {
        icon_ = icon;
        ++iconChanges_;
    }
    void setAccessibleName(const QString& name) override {
        name_ = name;
        ++nameChanges_;
    }
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    std::optional<QRect> geometry() const override { return geometry_; }
    void setMenuTexts(const QString& open, const QString& quit) override {
        menuTexts_ = {open, quit};
    }

    void setGeometry(std::optional<QRect> geometry) { geometry_ = geometry; }
    void click() { emit activated(); }
    const QStringList& menuTexts() const { return menuTexts_; }
    const QIcon& icon() const { return icon_; }
    int iconChanges() const { return iconChanges_; }
    const QString& accessibleName() const { return name_; }
    int nameChanges() const { return nameChanges_; }

private:
    QIcon icon_;
    QString name_;
    QStringList menuTexts_;
    bool visible_ = false;
    std::optional<QRect> geometry_;
    int iconChanges_ = 0;
    int nameChanges_ = 0;
};

} // namespace DewlightPlatform
