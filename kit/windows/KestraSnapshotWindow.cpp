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
    PaintedView(const ui::Node& view, const ui::Environment& environment, QWidget* parent)
        : QWidget(parent), layout_(view, environment, ui::ProposedSize::unspecified()) {
        setAttribute(Qt::WA_TranslucentBackground);
    }

    QSizeF viewSize() const { return layout_.size(); }

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

// The view on the window's ground.
ui::Node backed(const ui::Node& view, bool rounded) {
    return view.background(
        ui::fill(ui::Shape::roundedRectangle(rounded ? roundedRadius : squareRadius),
                 ui::Color::windowBackground()));
}

} // namespace

QImage frozen(const ui::Node& view, const ui::Environment& environment, bool rounded,
              double devicePixelRatio) {
    const ui::Layout measured(backed(view, rounded), environment, ui::ProposedSize::unspecified());
    const double pixels = scale * devicePixelRatio;
    const QSize size = ui::coveredPixels(measured.size(), pixels);
    QImage image = ui::clearImage(size.width(), size.height());
    {
        QPainter painter(&image);
        painter.scale(pixels, pixels); // anchored at the top-leading corner
        measured.paint(painter);
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
        auto* painted = new PaintedView(backed(view, rounded), environment, window);
        pixels = ui::coveredPixels(painted->viewSize(), scale * ratio);
        picture = painted;
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
