#pragma once

#include "kit/windows/FixedWindow.h"
#include "ui/Environment.h"
#include "ui/Host.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace KestraUI {

// The application's secondary windows. The application makes each once, keeps it for the
// whole run and passes it to whoever opens or closes it. A show's title, width and content
// count only the first time; later shows bring the same window back. Closing only hides.

// The preferences: a fixed window whose content scrolls, 768 wide with a sidebar, else 560.
class PreferencesWindow {
public:
    explicit PreferencesWindow(ui::Environment environment = {});

    FixedNativeWindow* show(const QString& title, bool wide, std::function<void()> onClose,
                            FixedWindow::Content content);
    FixedNativeWindow* makeWindow(const QString& title, bool wide, std::function<void()> onClose,
                                  FixedWindow::Content content);
    // Closes the window if it has been made; nothing otherwise.
    void close();

    FixedWindow& shared() { return window_; }

private:
    FixedWindow window_;
};

// The welcome steps: a fixed window 560 wide whose content reports its own size.
class WelcomeStepsWindow {
public:
    explicit WelcomeStepsWindow(ui::Environment environment = {});

    FixedNativeWindow* show(const QString& title, std::function<void()> onClose,
                            FixedWindow::Content content);
    FixedNativeWindow* makeWindow(const QString& title, std::function<void()> onClose,
                                  FixedWindow::Content content);
    void close();

    FixedWindow& shared() { return window_; }

private:
    FixedWindow window_;
};

// A plain window for content that sizes itself, without the fixed window's key handling.
class WelcomeWindow {
public:
    explicit WelcomeWindow(ui::Environment environment = {});
    ~WelcomeWindow();
    WelcomeWindow(const WelcomeWindow&) = delete;
    WelcomeWindow& operator=(const WelcomeWindow&) = delete;

    QWidget* show(const QString& title, std::function<ui::Node()> content);
    void close();
    // Centres a window on the screen under the pointer.
    static void center(QWidget& window) { centerOnPointerScreen(window); }

    QWidget* window() const { return window_; }
    void setEnvironment(ui::Environment environment);

private:
    ui::Environment environment_;
    QPointer<QWidget> window_;
    QPointer<ui::Host> host_;
};

} // namespace KestraUI
