#include "platform/tray/QtTrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

namespace DewlightPlatform {

// The entries get their labels from setMenuTexts.
QtTrayIcon::QtTrayIcon()
    : menu_(std::make_unique<QMenu>()), open_(menu_->addAction(QString())),
      quit_(menu_->addAction(QString())), icon_(new QSystemTrayIcon(this)) {
    connect(open_, &QAction::triggered, this, &TrayIcon::openChosen);
    connect(quit_, &QAction::triggered, this, &TrayIcon::quitChosen);
    // Set before the icon shows: the item is registered with its menu path.
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A double click arrives after its first click's Trigger: toggling on both would
                // show and hide the panel at once. The context menu is not ours to open.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick)
                    emit activated();
            });
}

QtTrayIcon::~QtTrayIcon() {
    // The icon goes before the menu it shows.
    delete icon_;
}

void QtTrayIcon::setIcon(const QIcon& icon) { icon_->setIcon(icon); }

void QtTrayIcon::setMenuTexts(const QString& open, const QString& quit) {
    open_->setText(open);
    quit_->setText(quit);
}

void QtTrayIcon::setAccessibleName(const QString& name) { icon_->setToolTip(name); }

void QtTrayIcon::setVisible(bool visible) { icon_->setVisible(visible); }

bool QtTrayIcon::isVisible() const { return icon_->isVisible(); }

std::optional<QRect> QtTrayIcon::geometry() const {
    const QRect rect = icon_->geometry();
    if (!rect.isValid() || rect.isEmpty())
        return std::nullopt;
    return rect;
}

} // namespace DewlightPlatform
