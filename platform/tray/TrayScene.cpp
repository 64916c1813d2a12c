#include "platform/tray/TrayScene.h"

#include "platform/tray/PanelPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

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
    if (!options.screenArea)
        options.screenArea = [] {
            const QScreen* screen = QGuiApplication::primaryScreen();
            return screen ? screen->geometry() : QRect();
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
        // A panel that restarts comes back within moments: the window only if it does not.
        setMode(Mode::waiting);
        hostWait_.start(options_.hostWait);
    }
}

void TrayScene::onIconClicked() {
    // A host sends the place of the click; Qt's item drops it, but on X11 it is the pointer's.
    clickedAt_ = options_.pointer();
    togglePanel();
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
            icon_->setMenuTexts(openText_, quitText_);
            connect(icon_.get(), &TrayIcon::activated, this, &TrayScene::onIconClicked);
            connect(icon_.get(), &TrayIcon::openChosen, this, &TrayScene::showPanel);
            connect(icon_.get(), &TrayIcon::quitChosen, this, &TrayScene::quitRequested);
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

void TrayScene::setMenuTexts(const QString& open, const QString& quit) {
    openText_ = open;
    quitText_ = quit;
    if (icon_)
        icon_->setMenuTexts(open, quit);
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
    std::optional<QRect> anchor = icon_ ? icon_->geometry() : std::nullopt;
    if (!anchor && clickedAt_)
        anchor = QRect(*clickedAt_, QSize(1, 1));
    if (!anchor)
        anchor = edgeAnchor();
    const QRect area = options_.availableArea(anchor->center());
    panel_.present(panelPosition(panel_.panelSize(), *anchor, area));
}

QRect TrayScene::edgeAnchor() const {
    const QRect screen = options_.screenArea();
    const QRect available = options_.availableArea(screen.center());
    const int top = available.top() - screen.top();
    const int bottom = screen.bottom() - available.bottom();
    const int left = available.left() - screen.left();
    const int right = screen.right() - available.right();
    // Trays sit at the far end of their panel: the right of a horizontal one, the bottom of a
    // vertical one.
    QPoint corner(screen.right(), screen.top());
    if (bottom > std::max({top, left, right}))
        corner = screen.bottomRight();
    else if (left > std::max(top, right))
        corner = screen.bottomLeft();
    else if (right > top)
        corner = screen.bottomRight();
    return QRect(corner, QSize(1, 1));
}

} // namespace DewlightPlatform
