#pragma once

#include "platform/tray/PanelWindow.h"
#include "platform/tray/TrayHost.h"
#include "platform/tray/TrayIcon.h"

#include <QIcon>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace DewlightPlatform {

// The application's one place on the desktop: a tray icon whose click toggles the panel as a
// popup, or, where no tray exists, the panel as a normal window.
//
// At start the scene waits a while for a tray host (at login the panel may come up after the
// application). Without one by then the panel opens as a window. A host that appears later (or
// comes back after a restart) moves the application into the tray; a host that goes away is
// waited for in the same way, and the panel opens as a window when it has not come back by then.
//
// The popup opens at the icon: at its geometry where the desktop tells it, else where the icon
// was last clicked (the pointer then), else near the end of the screen edge the desktop's panel
// reserves. A second launch and the icon's menu open it at the same place as a click.
class TrayScene final : public QObject {
    Q_OBJECT
public:
    enum class Mode { waiting, tray, window };

    struct Options {
        // How long to wait at start for a tray host before opening the panel as a window.
        std::chrono::milliseconds hostWait = std::chrono::seconds(5);
        // A click on the icon this soon after the popup lost the focus is the click that took
        // the focus away: it leaves the panel closed instead of opening it again.
        std::chrono::milliseconds clickAfterDismiss = std::chrono::milliseconds(400);
        // Where the pointer is; the live scene reads the cursor.
        std::function<QPoint()> pointer;
        // The screen area the panel must stay in around a point; the live scene asks the screen.
        std::function<QRect(QPoint)> availableArea;
        // The whole screen the application starts on, panels included.
        std::function<QRect()> screenArea;
        // A monotonic clock in milliseconds; the live scene uses the steady clock.
        std::function<std::int64_t()> monotonicMs;
    };
    using IconFactory = std::function<std::unique_ptr<TrayIcon>()>;

    // `host` and `panel` outlive the scene. The icon is made only once a host is there.
    TrayScene(TrayHost& host, IconFactory makeIcon, PanelWindow& panel, Options options);
    TrayScene(TrayHost& host, IconFactory makeIcon, PanelWindow& panel);
    ~TrayScene() override;

    // Starts following the host: into the tray at once when there is one, else after the wait.
    void start();

    void setIcon(const QIcon& icon);
    void setAccessibleName(const QString& name);
    void setMenuTexts(const QString& open, const QString& quit);

    // A click on the icon: shows the panel when hidden, hides it when shown.
    void togglePanel();
    // Shows the panel in whichever form the desktop allows (a second launch asks for this).
    void showPanel();

    Mode mode() const { return mode_; }
    // The icon, once a host was there.
    TrayIcon* icon() const { return icon_.get(); }

signals:
    void modeChanged(DewlightPlatform::TrayScene::Mode mode);
    // "Quit" in the icon's menu.
    void quitRequested();

private:
    void onHostAvailability(bool available);
    void onIconClicked();
    void setMode(Mode mode);
    void presentPopup();
    // Where the popup opens when the icon's place is not known: near the end of the screen
    // edge with the widest reserved strip (the desktop's panel), the top one when none is.
    QRect edgeAnchor() const;

    TrayHost& host_;
    IconFactory makeIcon_;
    PanelWindow& panel_;
    Options options_;
    Mode mode_ = Mode::waiting;
    bool started_ = false;
    std::unique_ptr<TrayIcon> icon_;
    QIcon image_;
    QString accessibleName_;
    QString openText_ = QStringLiteral("Open Dewlight");
    QString quitText_ = QStringLiteral("Quit");
    QTimer hostWait_;
    // Where the icon was last clicked.
    std::optional<QPoint> clickedAt_;
    std::optional<std::int64_t> dismissedAt_;
};

} // namespace DewlightPlatform
