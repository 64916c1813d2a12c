#include "platform/tray/TrayScene.h"

#include "platform/tray/PanelPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace DewlightPlatform {

namespace {
TrayScene::Options withLiveDefaults(TrayScene::Options options) {
    if (!options.pointer)
        options.pointer = [] { return QCursor::pos(); };
    if (!options.availableArea)
        options.availableArea = [](QPoint point) {
            const QScreen* screen = QGuiApplication::screenAt(point);
            if (!screen)
                screen = QGuiApplication::primaryScreen();
            return screen ? screen->availableGeometry() : QRect();
        };
    if (!options.monotonicMs)
        options.monotonicMs = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    return options;
}
} // namespace

TrayScene::TrayScene(TrayHost& host, IconFactory makeIcon, PanelWindow& panel)
    : TrayScene(host, std::move(makeIcon), panel, Options{}) {}

TrayScene::TrayScene(TrayHost& host, IconFactory makeIcon, PanelWindow& panel, Options options)
    : host_(host), makeIcon_(std::move(makeIcon)), panel_(panel),
      options_(withLiveDefaults(std::move(options))) {
    hostWait_.setSingleShot(true);
    connect(&hostWait_, &QTimer::timeout, this, [this] {
        if (mode_ != Mode::waiting)
            return;
        setMode(Mode::window);
        // Nothing else shows that the application runs.
        panel_.present();
    });
    connect(&panel_, &PanelWindow::dismissedByFocusLoss, this,
            [this] { dismissedAt_ = options_.monotonicMs(); });
}

TrayScene::~TrayScene() = default;

void TrayScene::start() {
    if (started_)
        return;
    started_ = true;
    connect(&host_, &TrayHost::availabilityChanged, this, &TrayScene::onHostAvailability);
    if (host_.isAvailable()) {
        setMode(Mode::tray);
    } else {
        hostWait_.start(options_.hostWait);
    }
}

void TrayScene::onHostAvailability(bool available) {
    if (available) {
        hostWait_.stop();
        setMode(Mode::tray);
    } else if (mode_ == Mode::tray) {
        setMode(Mode::window);
    }
}

void TrayScene::setMode(Mode mode) {
    if (mode_ == mode)
        return;
    mode_ = mode;
    if (mode == Mode::tray) {
        // Moving into the tray puts the window away: the icon now stands for it.
        panel_.hide();
        panel_.setStyle(PanelWindow::Style::popup);
        if (!icon_ && makeIcon_) {
            icon_ = makeIcon_();
            icon_->setIcon(image_);
            icon_->setAccessibleName(accessibleName_);
            connect(icon_.get(), &TrayIcon::activated, this, &TrayScene::togglePanel);
        }
        if (icon_)
            icon_->setVisible(true);
    } else {
        if (icon_)
            icon_->setVisible(false);
        panel_.setStyle(PanelWindow::Style::window);
    }
    emit modeChanged(mode);
}

void TrayScene::setIcon(const QIcon& icon) {
    image_ = icon;
    if (icon_)
        icon_->setIcon(icon);
}

void TrayScene::setAccessibleName(const QString& name) {
    // Each change reaches the tray host as a signal on the bus; the label is set on every
    // change of the model, most of which leave it as it was.
    if (name == accessibleName_)
        return;
    accessibleName_ = name;
    if (icon_)
        icon_->setAccessibleName(name);
}

void TrayScene::togglePanel() {
    if (panel_.isVisible()) {
        panel_.hide();
        return;
    }
    if (dismissedAt_ &&
        options_.monotonicMs() - *dismissedAt_ < options_.clickAfterDismiss.count()) {
        dismissedAt_.reset();
        return;
    }
    showPanel();
}

void TrayScene::showPanel() {
    dismissedAt_.reset();
    if (mode_ == Mode::tray) {
        presentPopup();
        return;
    }
    // Still waiting for a host, or none: the window is all there is.
    panel_.setStyle(PanelWindow::Style::window);
    panel_.present();
}

void TrayScene::presentPopup() {
    const std::optional<QRect> iconRect = icon_ ? icon_->geometry() : std::nullopt;
    const QPoint pointer = options_.pointer();
    const QRect area = options_.availableArea(iconRect ? iconRect->center() : pointer);
    panel_.present(panelPosition(panel_.panelSize(), iconRect, pointer, area));
}

} // namespace DewlightPlatform
