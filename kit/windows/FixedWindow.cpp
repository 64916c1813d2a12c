#include "kit/windows/FixedWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace KestraUI {

namespace {

// The height a fixed window has before its content has said anything.
constexpr int initialClientHeight = 480;

} // namespace

FixedNativeWindow::FixedNativeWindow(ui::Host::View view, ui::Environment environment,
                                     QSize clientSize)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint),
      host_(new ui::Host(std::move(view), std::move(environment), this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(clientSize);
    host_->setGeometry(rect());
    setFocusProxy(host_);
}

QMargins FixedNativeWindow::decorations() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void FixedNativeWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                              Qt::MetaModifier);
    if (event->key() == Qt::Key_Escape && held == Qt::NoModifier) {
        // The first Escape only ends the editing of a field; the next one closes.
        if (!host_->endEditing())
            close();
        event->accept();
        return;
    }
    if (closesWithCommandW && held == Qt::ControlModifier && event->key() == Qt::Key_W) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FixedNativeWindow::closeEvent(QCloseEvent* event) {
    // A field being edited hands its value over before the window goes.
    host_->endEditing();
    const bool wasOpen = isVisible();
    event->accept();
    if (wasOpen && lifecycle_)
        lifecycle_->windowWillClose();
}

void FixedNativeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!watchingScreen_ && windowHandle()) {
        watchingScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            if (lifecycle_)
                lifecycle_->windowDidChangeScreen();
        });
    }
}

void FixedNativeWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    host_->setGeometry(rect());
}

FixedWindow::FixedWindow(bool closesWithCommandW, bool anchorsTop, bool scrollsContent,
                         ui::Environment environment)
    : closesWithCommandW_(closesWithCommandW), anchorsTop_(anchorsTop),
      scrollsContent_(scrollsContent), environment_(std::move(environment)) {}

FixedWindow::~FixedWindow() {
    delete window_.data();
}

FixedNativeWindow* FixedWindow::makeWindow(const QString& title, double width,
                                           std::function<void()> onClose, Content content) {
    lifecycle_.onClose = onClose ? std::move(onClose) : [] {};
    if (window_)
        return window_;

    const QPointer<FixedWindow> self(this);
    auto resize = [self](QSizeF size) {
        if (self)
            self->report(size);
    };
    const bool scrolls = scrollsContent_;
    ui::Host::View view = [content = std::move(content), width, scrolls, resize] {
        return ui::Node(FixedWindowContent{content ? content() : ui::Node(), width, scrolls,
                                           resize});
    };
    auto* window = new FixedNativeWindow(std::move(view), environment_,
                                         QSize(int(std::ceil(width)), initialClientHeight));
    window->closesWithCommandW = closesWithCommandW_;
    window->setWindowTitle(title);
    window->setLifecycle(&lifecycle_);
    lifecycle_.onScreenChange = [self] {
        if (self && self->contentSize_)
            self->resize(self->contentSize_->width(), self->contentSize_->height());
    };
    window_ = window;
    return window;
}

FixedNativeWindow* FixedWindow::show(const QString& title, double width,
                                     std::function<void()> onClose, Content content) {
    FixedNativeWindow* window = makeWindow(title, width, std::move(onClose), std::move(content));
    if (!window->isVisible()) {
        if (anchorsTop_) {
            if (contentSize_)
                resize(contentSize_->width(), contentSize_->height());
            centerOnPointerScreen(*window);
            // Shown before its size is known: the first resize centres it again.
            centersAfterResize_ = !contentSize_;
        } else {
            centerOnPointerScreen(*window);
            centersAfterResize_ = false;
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void FixedWindow::report(QSizeF size) {
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0 ||
        size.height() <= 0)
        return;
    contentSize_ = size;
    if (resizePending_)
        return; // the pending resize takes the newest size
    resizePending_ = true;
    // After every report of this turn: one resize to the last size reported.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!resizePending_)
                return;
            resizePending_ = false;
            if (contentSize_)
                resize(contentSize_->width(), contentSize_->height());
        },
        Qt::QueuedConnection);
}

void FixedWindow::resize(double width, double height) {
    if (!window_)
        return;
    QScreen* screen = window_->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const WindowGeometry::Fit fitted =
        WindowGeometry::fit(QSizeF(width, height), window_->frameGeometry(),
                            window_->decorations(), screen->availableGeometry(), anchorsTop_);
    if (fitted.client != window_->size())
        window_->setFixedSize(fitted.client);
    if (fitted.frame.topLeft() != window_->frameGeometry().topLeft())
        window_->move(fitted.frame.topLeft()); // a wish where the desktop places windows
    if (centersAfterResize_) {
        centersAfterResize_ = false;
        centerOnPointerScreen(*window_);
    }
}

void FixedWindow::setEnvironment(ui::Environment environment) {
    environment_ = environment;
    if (window_)
        window_->host().setEnvironment(std::move(environment));
}

std::vector<WindowGeometry::ScreenArea> desktopScreens() {
    std::vector<WindowGeometry::ScreenArea> areas;
    for (QScreen* screen : QGuiApplication::screens())
        areas.push_back({screen->geometry(), screen->availableGeometry(),
                         screen->devicePixelRatio()});
    return areas;
}

std::optional<std::size_t> primaryScreenIndex() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const qsizetype at = screens.indexOf(QGuiApplication::primaryScreen());
    return at < 0 ? std::nullopt : std::optional<std::size_t>(std::size_t(at));
}

void centerOnPointerScreen(QWidget& window) {
    const std::vector<WindowGeometry::ScreenArea> screens = desktopScreens();
    const std::optional<std::size_t> chosen =
        WindowGeometry::screenUnder(QCursor::pos(), screens, primaryScreenIndex());
    if (!chosen)
        return; // the desktop places it
    window.ensurePolished();
    const QPoint origin =
        WindowGeometry::centredOrigin(screens[*chosen].available, window.frameGeometry().size());
    window.move(origin);
}

} // namespace KestraUI
