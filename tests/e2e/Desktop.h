#pragma once

// A Linux desktop of the test's own for the whole application: an X server (Xvfb) on a free
// display, the accessibility bus, a watcher of the notification calls, a real notification
// server (dunst) that can come and go, the tray host of the shell test, and temporary homes.
// The binary runs inside dbus-run-session, so the session bus is private to one scenario.
#include "tests/e2e/A11yBusService.h"
#include "tests/platform/shell/FakeStatusNotifierWatcher.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace DewlightE2e {

using Clock = std::chrono::steady_clock;

// The time a scenario may take; every wait inside it is bounded by what is left.
class Budget {
public:
    explicit Budget(std::chrono::seconds total) : end_(Clock::now() + total) {}
    int leftMs(int atMostMs) const;
    bool over() const { return Clock::now() >= end_; }

private:
    Clock::time_point end_;
};

// Waits for `condition` while the Qt event loop runs (the tray host answers calls meanwhile).
bool waitFor(const std::function<bool()>& condition, int timeoutMs);

// One node the accessibility bus shows: its role name, its name and its value.
struct Seen {
    QString role;
    QString name;
    QString value;
    bool focused = false;
};

// One notification call that reached the bus.
struct Notification {
    QString appName;
    QString summary;
    QString body;
    QStringList actions; // key, label, key, label…
    QStringList hints;   // the hint names
};

// A home of its own: HOME and the XDG folders of one user on one computer.
struct Home {
    QString root;
    QString path(const QString& relative) const { return root + QLatin1Char('/') + relative; }
    QString dataFolder() const { return path(QStringLiteral("data/Dewlight")); }
    QString defaultsFile() const { return path(QStringLiteral("state/dewlight/defaults.json")); }
    QString syncFolder() const { return dataFolder() + QStringLiteral("/Sync"); }
};

class App;

class Desktop {
public:
    // `artifacts`: the build folder where a failing scenario leaves its picture and logs.
    explicit Desktop(QString artifacts);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Empty when all is running, else what failed to start.
    QString start();

    Home newHome(const QString& name);
    // `secondBus`: the app runs on the second computer's session bus (startSecondBus).
    std::unique_ptr<App> app(const Home& home, const QStringList& extraEnvironment = {},
                             bool secondBus = false);

    // The session bus of a second computer on this desktop, with a tray host of its own and no
    // notification server: apps on it neither see nor hand over to apps on the first. Empty when
    // it runs, else what failed.
    QString startSecondBus();

    // The notification server.
    bool startNotificationServer();
    void stopNotificationServer();
    int displayedNotifications();
    // Opens dunst's action menu and picks the action whose key is `key`: a user's choice there.
    bool invokeAction(const QString& key);
    std::vector<Notification> notifications();
    // The action keys the server reported as invoked, oldest first.
    QStringList invokedActions();

    // The tray host: clicks the app's item the way a panel does.
    FakeStatusNotifierWatcher& tray() { return *watcher_; }
    // A fresh host before each launch, so that its first item is the running app's.
    void resetTray();
    // The tray's panel stops (its process ended) and starts again.
    void stopTray() { watcher_.reset(); }
    void startTray() { resetTray(); }
    // Where the app's icon sits in the tray: at the right end of a top bar, as on most desktops.
    static constexpr int iconX = 1240;
    static constexpr int iconY = 12;
    // The host, made once, for apps that run side by side: their items are told apart by the
    // process that owns them.
    void keepTray();
    // The app with `pid` has an item in the host.
    bool hasItem(qint64 pid);
    // Clicks the item of the app with `pid` as a person does: the pointer goes to the icon, and
    // the host sends that place with the activation.
    bool activateItem(qint64 pid);
    void movePointer(int x, int y);
    // The place of the app's visible window on screen (the last one when it shows several).
    std::optional<QRect> windowGeometry(qint64 pid);

    // Real X input: key names as xdotool spells them ("g", "ctrl+z", "Return").
    bool pressKeys(qint64 pid, const QStringList& keys);
    bool hasVisibleWindow(qint64 pid);

    // What the accessibility bus shows of the app with `pid`, visible nodes only.
    std::vector<Seen> seen(qint64 pid);
    // Moves the keyboard focus with Tab, as a person does, until the node named `name` has it.
    bool focus(qint64 pid, const QString& name);
    // Waits until a visible node's name or value of the app contains `text`.
    bool shows(qint64 pid, const QString& text, int timeoutMs);
    QString describe(qint64 pid); // every visible text, for failure messages

    void screenshot(const QString& file);
    QString artifacts() const { return artifacts_; }
    QString display() const { return display_; }
    QProcessEnvironment environment(const Home& home) const;

    // A `TZ` value naming a zone of its own that is `eastOfUtc` seconds ahead of UTC, whatever
    // the hour. ICU, which the app's calendar uses, takes a POSIX zone rule from `TZ` for the
    // machine's zone, but it honours a path to a zone file whose path has no digit.
    QString timeZone(qint64 eastOfUtc);

private:
    // The id of the app's last visible window, as xdotool finds it.
    std::optional<QString> lastVisibleWindow(qint64 pid);

    QString artifacts_;
    QTemporaryDir root_;
    std::unique_ptr<QTemporaryDir> zones_;
    QProcess xvfb_;
    QProcess a11yLauncher_;
    QProcess monitor_;
    QProcess dunst_;
    QString display_;
    QString a11yAddress_;
    QByteArray monitored_;
    std::unique_ptr<FakeStatusNotifierWatcher> watcher_;
    QProcess secondDaemon_;
    QString secondAddress_;
    std::unique_ptr<FakeStatusNotifierWatcher> secondWatcher_;
    std::unique_ptr<A11yBusService> secondA11y_;
};

// The application from its built binary, its standard output and error in the artifacts folder.
class App {
public:
    App(Desktop& desktop, Home home, QProcessEnvironment environment, QString log);
    // Another app runs on the same desktop meanwhile: the tray host is shared.
    void besideOthers() { besideOthers_ = true; }
    ~App();

    bool start();
    qint64 pid() const { return process_.processId(); }
    bool running() const { return process_.state() == QProcess::Running; }
    void kill();                    // SIGKILL, as a crash or power loss
    bool quit();                    // SIGTERM, then waits for the end
    // Waits for the app to end by itself; its exit code, or nothing when it still runs.
    std::optional<int> ended(int timeoutMs);
    bool registered(int timeoutMs); // its tray item reached the host
    bool openPanel(int timeoutMs);  // clicks the item until the panel is visible
    bool shows(const QString& text, int timeoutMs) {
        return desktop_.shows(pid(), text, timeoutMs);
    }
    bool press(const QStringList& keys) { return desktop_.pressKeys(pid(), keys); }
    bool focus(const QString& name) { return desktop_.focus(pid(), name); }
    const Home& home() const { return home_; }

private:
    Desktop& desktop_;
    Home home_;
    QProcessEnvironment environment_;
    QString log_;
    QProcess process_;
    bool besideOthers_ = false;
};

} // namespace DewlightE2e
