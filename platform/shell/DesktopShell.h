#pragma once

// The application on the desktop around its panel: its names, the one instance, the tray or a
// window, and whether a display is there.

#include "platform/desktop/ColorSchemeSource.h"
#include "platform/desktop/DesktopLocale.h"
#include "platform/instance/SingleInstance.h"
#include "platform/tray/PanelWindow.h"
#include "platform/tray/TrayHost.h"
#include "platform/tray/TrayScene.h"

#include <QApplication>
#include <filesystem>
#include <memory>

namespace DewlightPlatform {

class InstanceChannel;

// Whether the Qt platform this process would use has a display to connect to: the X or
// Wayland platforms (the default) need $DISPLAY or $WAYLAND_DISPLAY; a platform chosen by name
// that draws nowhere (offscreen, minimal) needs none.
bool displayAvailable(const EnvironmentReader& environment);
bool displayAvailable();

// The one line a live launch prints when it has no display.
inline constexpr const char* noDisplayMessage =
    "dewlight: no display: start Dewlight inside a desktop session ($DISPLAY and "
    "$WAYLAND_DISPLAY are not set, or the display cannot be reached)";

// Turns Qt's own failure to reach a display (a set but unreachable $DISPLAY) into the one line
// above and exit status 1, instead of Qt's several lines and a crash. Install before the
// application object is made; it gives way to the previous handler once that exists.
class NoDisplayGuard {
public:
    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

// The application on the desktop around its panel: its names, the one instance, the tray or
// the window that holds the panel, and the colour scheme. Made after the QApplication, on the
// main thread; the live set uses the session bus.
class DesktopShell {
public:
    struct Options {
        TrayScene::Options scene;
        std::chrono::milliseconds answerTimeout = std::chrono::seconds(3);
    };

    // Names the application (for the desktop entry, notifications and the window title) and
    // keeps it running when its last window closes.
    static void prepare(QApplication& application);

    explicit DesktopShell(Options options);
    DesktopShell();
    ~DesktopShell();

    // Settles whether this launch is the application. Run it before building anything that
    // touches the data: a second launch hands over and must leave the data alone.
    InstanceDecision claimInstance(const std::filesystem::path& lockFile);

    PanelWindow& panel() { return *panel_; }
    TrayScene& scene() { return *scene_; }
    ColorSchemeSource& colorScheme() { return *scheme_; }

    // Puts the application on the desktop: in the tray, or as a window after the wait.
    void start() { scene_->start(); }

private:
    Options options_;
    std::unique_ptr<InstanceChannel> channel_;
    std::unique_ptr<InstanceLock> lock_;
    std::unique_ptr<TrayHost> host_;
    std::unique_ptr<PanelWindow> panel_;
    std::unique_ptr<TrayScene> scene_;
    std::unique_ptr<ColorSchemeSource> scheme_;
};

} // namespace DewlightPlatform
