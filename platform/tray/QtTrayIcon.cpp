#include "platform/tray/QtTrayIcon.h"

#include <QSystemTrayIcon>

namespace DewlightPlatform {

QtTrayIcon::QtTrayIcon() : icon_(new QSystemTrayIcon(this)) {
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A double click arrives after its first click's Trigger: toggling on both would
                // show and hide the panel at once. The context menu is not ours to open.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick)
                    emit activated();
            });
}

QtTrayIcon::~QtTrayIcon() = default;

void QtTrayIcon::setIcon(const QIcon& icon) { icon_->setIcon(icon); }

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
