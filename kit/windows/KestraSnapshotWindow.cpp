#include "kit/windows/KestraSnapshotWindow.h"

#include "kit/windows/FixedWindow.h"
#include "ui/Layout.h"
#include "ui/Render.h"

#include <QChildEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <cmath>

namespace KestraUI {

KeyableWindow::KeyableWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

bool KeyableWindow::drops(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

bool KeyableWindow::event(QEvent* event) {
    if (drops(event->type())) {
        event->accept(); // swallowed: nothing inside sees it, nothing outside gets it either
        return true;
    }
    return QWidget::event(event);
}

bool KeyableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (drops(event->type()))
        return true;
    return QWidget::eventFilter(watched, event);
}

void KeyableWindow::childEvent(QChildEvent* event) {
    // Children get their input straight from the application: each one is filtered here.
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    QWidget::childEvent(event);
}

namespace KestraSnapshot {

namespace {

// Paints the frozen picture; the window around it takes no input.
class FrozenView final : public QWidget {
public:
    FrozenView(QImage image, QWidget* parent) : QWidget(parent), image_(std::move(image)) {
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), image_);
    }

private:
    QImage image_;
};

// Paints the view itself, at the frozen picture's size: for a window that is only ever painted
// into pictures, which then hold the same pixels as one frozen picture would, with no copy of it
// kept in the window.
class PaintedView final : public QWidget {
public:
    PaintedView(ui::Layout layout, QWidget* parent) : QWidget(parent), layout_(std::move(layout)) {
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        // A capture paints one band of rows at a time: only what meets it is drawn.
        painter.setClipRegion(event->region());
        painter.scale(scale, scale);
        layout_.paint(painter);
    }

private:
    ui::Layout layout_;
};

// Drops the window's requests to repaint itself: a window that no screen shows would only paint
// into a backing store as large as itself that nothing ever reads.
class NoSelfPainting final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return event->type() == QEvent::UpdateRequest || QObject::eventFilter(watched, event);
    }
};

// A guarded pointer, not an owner: the application may be gone by the time statics are
// destroyed, and a widget must not outlive it.
QPointer<KeyableWindow>& presented() {
    static QPointer<KeyableWindow> window;
    return window;
}

} // namespace

QString windowTitle(const KestraBrand& brand) {
    return brand.name + QStringLiteral(" Snapshot"); // verbatim: the title windows are found by
}

void center(QWidget& window) {
    const std::vector<WindowGeometry::ScreenArea> screens = desktopScreens();
    const std::optional<std::size_t> sharpest = WindowGeometry::sharpestScreen(screens);
    if (!sharpest)
        return;
    window.move(
        WindowGeometry::centredOrigin(screens[*sharpest].available, window.frameGeometry().size()));
}

void keepOffScreen(QWidget& window) {
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.installEventFilter(new NoSelfPainting(&window));
}

namespace {

// The view laid out on the window's ground, and the device pixels it covers at `pixels` per
// point. The picture is the view's size rounded up to whole pixels: the ground fills it all, so
// that its last row is not part clear.
struct Backed {
    ui::Layout layout;
    QSize pixels;
};

Backed backed(const ui::Node& view, const ui::Environment& environment, bool rounded,
              double pixels) {
    const ui::Layout measured(view, environment, ui::ProposedSize::unspecified());
    const QSize covered = ui::coveredPixels(measured.size(), pixels);
    const ui::Node grounded =
        view.frame(covered.width() / pixels, covered.height() / pixels, ui::Alignment::topLeading())
            .background(
                ui::fill(ui::Shape::roundedRectangle(rounded ? roundedRadius : squareRadius),
                         ui::Color::windowBackground()));
    return {ui::Layout(grounded, environment, ui::ProposedSize::unspecified()), covered};
}

} // namespace

QImage frozen(const ui::Node& view, const ui::Environment& environment, bool rounded,
              double devicePixelRatio) {
    const double pixels = scale * devicePixelRatio;
    const Backed measured = backed(view, environment, rounded, pixels);
    const QSize size = measured.pixels;
    QImage image = ui::clearImage(size.width(), size.height());
    {
        QPainter painter(&image);
        painter.scale(pixels, pixels); // anchored at the top-leading corner
        measured.layout.paint(painter);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

KeyableWindow* present(const ui::Node& view, const KestraBrand& brand, bool rounded,
                       const ui::Environment& environment, bool onScreen) {
    auto* window = new KeyableWindow();
    if (!onScreen)
        keepOffScreen(*window);
    const double ratio = window->devicePixelRatioF();
    QWidget* picture = nullptr;
    QSize pixels;
    if (onScreen) {
        const QImage image = frozen(view, environment, rounded, ratio);
        pixels = image.size();
        picture = new FrozenView(image, window);
    } else {
        Backed measured = backed(view, environment, rounded, scale * ratio);
        pixels = measured.pixels;
        picture = new PaintedView(std::move(measured.layout), window);
    }
    const QSize logical(int(std::ceil(pixels.width() / ratio)),
                        int(std::ceil(pixels.height() / ratio)));
    window->setWindowTitle(windowTitle(brand));
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setFocusPolicy(Qt::StrongFocus);
    picture->setGeometry(0, 0, logical.width(), logical.height());
    window->setFixedSize(logical);
    // The one presented window: the one before it goes.
    delete presented().data();
    presented() = window;
    KeyableWindow* shown = window;
    center(*shown);
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown;
}

} // namespace KestraSnapshot

} // namespace KestraUI
