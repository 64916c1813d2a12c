#include "kit/windows/AppWindows.h"

#include "kit/brand/KestraMetrics.h"

#include <QVBoxLayout>

namespace KestraUI {

namespace M = KestraMetrics;

PreferencesWindow::PreferencesWindow(ui::Environment environment)
    : window_(true, true, true, std::move(environment)) {}

FixedNativeWindow* PreferencesWindow::show(const QString& title, bool wide,
                                           std::function<void()> onClose,
                                           FixedWindow::Content content) {
    return window_.show(title, wide ? M::sidebarWindowWidth : M::windowWidth, std::move(onClose),
                        std::move(content));
}

FixedNativeWindow* PreferencesWindow::makeWindow(const QString& title, bool wide,
                                                 std::function<void()> onClose,
                                                 FixedWindow::Content content) {
    return window_.makeWindow(title, wide ? M::sidebarWindowWidth : M::windowWidth,
                              std::move(onClose), std::move(content));
}

void PreferencesWindow::close() {
    if (FixedNativeWindow* window = window_.window())
        window->close();
}

WelcomeStepsWindow::WelcomeStepsWindow(ui::Environment environment)
    : window_(true, true, false, std::move(environment)) {}

FixedNativeWindow* WelcomeStepsWindow::show(const QString& title, std::function<void()> onClose,
                                            FixedWindow::Content content) {
    return window_.show(title, M::windowWidth, std::move(onClose), std::move(content));
}

FixedNativeWindow* WelcomeStepsWindow::makeWindow(const QString& title,
                                                  std::function<void()> onClose,
                                                  FixedWindow::Content content) {
    return window_.makeWindow(title, M::windowWidth, std::move(onClose), std::move(content));
}

void WelcomeStepsWindow::close() {
    if (FixedNativeWindow* window = window_.window())
        window->close();
}

WelcomeWindow::WelcomeWindow(ui::Environment environment) : environment_(std::move(environment)) {}

WelcomeWindow::~WelcomeWindow() {
    delete window_.data();
}

QWidget* WelcomeWindow::show(const QString& title, std::function<ui::Node()> content) {
    if (!window_) {
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* host = new ui::Host(
            [content = std::move(content)] { return content ? content() : ui::Node(); },
            environment_, window);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(host);
        window->setFocusProxy(host);
        window->setWindowTitle(title);
        // The content sizes itself: the window takes the content's ideal size.
        window->resize(host->sizeHint());
        window_ = window;
        host_ = host;
    }
    if (!window_->isVisible())
        center(*window_);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return window_;
}

void WelcomeWindow::close() {
    if (window_)
        window_->close();
}

void WelcomeWindow::setEnvironment(ui::Environment environment) {
    environment_ = environment;
    if (host_)
        host_->setEnvironment(std::move(environment));
}

} // namespace KestraUI
