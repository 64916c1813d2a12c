#pragma once

// Windows of a fixed width that size themselves to their content: their lifecycle, their native
// window and their placement on the pointer's screen.

#include "kit/windows/FixedWindowContent.h"
#include "kit/windows/WindowGeometry.h"
#include "ui/Environment.h"
#include "ui/Host.h"
#include "ui/Node.h"

#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace KestraUI {

// What a window tells its owner: that it closes, and that it moved to another screen.
class WindowLifecycle : public QObject {
    Q_OBJECT

public:
    std::function<void()> onClose = [] {};
    std::function<void()> onScreenChange = [] {};

    void windowWillClose() { onClose(); }
    void windowDidChangeScreen() { onScreenChange(); }
};

// The top-level window of a fixed window: hosts the view and handles the keys that close it.
// Escape ends the editing of a text field when one is being edited and otherwise closes;
// Ctrl+W closes (committing any edit first) when `closesWithCommandW` is set and Ctrl is the
// only modifier held. Closing only hides it.
class FixedNativeWindow : public QWidget {
    Q_OBJECT

public:
    FixedNativeWindow(ui::Host::View view, ui::Environment environment, QSize clientSize);

    bool closesWithCommandW = false;
    // The delegate told of closing and screen changes; not owned.
    void setLifecycle(WindowLifecycle* lifecycle) { lifecycle_ = lifecycle; }

    ui::Host& host() { return *host_; }
    // The decorations around the client area as far as the desktop has told us.
    QMargins decorations() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ui::Host* host_;
    QPointer<WindowLifecycle> lifecycle_;
    bool watchingScreen_ = false;
};

// A window the user cannot resize whose size follows its content: made on the first show,
// kept when closed and shown again later with its first title and content. Size reports of one
// turn of the event loop cost one resize; the height goes up to the next multiple of 4 and stays
// within the screen; the top edge or the centre stays in place. Placement is a wish where the
// desktop places windows itself (Wayland): a refused position changes nothing else.
class FixedWindow : public QObject {
    Q_OBJECT

public:
    using Content = std::function<ui::Node()>;

    FixedWindow(bool closesWithCommandW, bool anchorsTop, bool scrollsContent,
                ui::Environment environment = {});
    ~FixedWindow() override;

    // Makes the window if needed, places it when it is not on screen, and brings it to the front.
    FixedNativeWindow* show(const QString& title, double width, std::function<void()> onClose,
                            Content content);
    // The window without showing it. Every call replaces the close handler; title, width and
    // content count only on the first.
    FixedNativeWindow* makeWindow(const QString& title, double width,
                                  std::function<void()> onClose, Content content);
    // One content size report; sizes that are not finite and positive are ignored.
    void report(QSizeF size);
    // Fits the window to a content size now.
    void resize(double width, double height);

    FixedNativeWindow* window() const { return window_; }
    const std::optional<QSizeF>& contentSize() const { return contentSize_; }
    bool resizePending() const { return resizePending_; }
    bool closesWithCommandW() const { return closesWithCommandW_; }
    bool anchorsTop() const { return anchorsTop_; }
    bool scrollsContent() const { return scrollsContent_; }

    // The environment the window's views are built in (scheme, locale, texts, symbols).
    void setEnvironment(ui::Environment environment);

private:
    WindowLifecycle lifecycle_;
    QPointer<FixedNativeWindow> window_;
    std::optional<QSizeF> contentSize_;
    bool resizePending_ = false;
    bool closesWithCommandW_;
    bool anchorsTop_;
    bool scrollsContent_;
    bool centersAfterResize_ = false;
    ui::Environment environment_;
};

// The screens of the desktop as placement sees them, and the primary one's place among them.
std::vector<WindowGeometry::ScreenArea> desktopScreens();
std::optional<std::size_t> primaryScreenIndex();
// Centres a window on the screen under the pointer (the primary screen when the pointer is on
// none); leaves it where it is without screens.
void centerOnPointerScreen(QWidget& window);

} // namespace KestraUI
