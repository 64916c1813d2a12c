#pragma once

#include "platform/tray/TrayIcon.h"

#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace DewlightPlatform {

// The tray icon through Qt: a StatusNotifierItem on the session bus where a host is registered
// when the icon is made, else the X11 system tray. Make it only once a host is known to be there:
// Qt decides between the two the first time any tray icon is asked for, and keeps that answer.
// Its menu goes out over DBusMenu (com.canonical.dbusmenu), for hosts that show one on a right
// click, or, as GNOME's AppIndicator extension does, on any single click.
class QtTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    QtTrayIcon();
    ~QtTrayIcon() override;

    void setIcon(const QIcon& icon) override;
    void setAccessibleName(const QString& name) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    std::optional<QRect> geometry() const override;
    void setMenuTexts(const QString& open, const QString& quit) override;

private:
    std::unique_ptr<QMenu> menu_;
    QAction* open_;
    QAction* quit_;
    QSystemTrayIcon* icon_;
};

} // namespace DewlightPlatform
