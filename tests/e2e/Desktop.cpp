#include "Desktop.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <map>
#include <optional>
#include <sys/types.h>

namespace DewlightE2e {

namespace {

const QString a11yName = QStringLiteral("e2e-a11y");
const QString secondName = QStringLiteral("e2e-second");

bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr,
         int timeoutMs = 5000, const QProcessEnvironment& environment = {}) {
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
    }
}

QDBusMessage call(QDBusConnection bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method, const QVariantList& args = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    return bus.call(message, QDBus::Block, 2000);
}

QVariant property(QDBusConnection bus, const QString& service, const QString& path,
                  const QString& name) {
    const QDBusMessage reply =
        call(bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
             QStringLiteral("Get"), {QStringLiteral("org.a11y.atspi.Accessible"), name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

using Reference = std::pair<QString, QString>; // bus name, object path

std::vector<Reference> children(QDBusConnection bus, const Reference& node) {
    const QDBusMessage reply =
        call(bus, node.first, node.second, QStringLiteral("org.a11y.atspi.Accessible"),
             QStringLiteral("GetChildren"));
    std::vector<Reference> result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return result;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString service;
        QDBusObjectPath path;
        list.beginStructure();
        list >> service >> path;
        list.endStructure();
        result.emplace_back(service, path.path());
    }
    list.endArray();
    return result;
}

// The node's state bits as AT-SPI numbers them; empty when the node did not answer.
QList<quint32> stateOf(QDBusConnection bus, const Reference& node) {
    const QDBusMessage reply =
        call(bus, node.first, node.second, QStringLiteral("org.a11y.atspi.Accessible"),
             QStringLiteral("GetState"));
    QList<quint32> words;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return words;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list >> words;
    return words;
}

bool hasState(const QList<quint32>& words, int n) {
    return words.size() > n / 32 && (words[n / 32] >> (n % 32)) & 1;
}

constexpr int focusedState = 12;

// The node is drawn on screen: its "visible" and "showing" state bits are both set.
bool showing(const QList<quint32>& words) {
    constexpr int visible = 30;
    constexpr int shown = 25;
    return hasState(words, visible) && hasState(words, shown);
}

// A dbus-monitor string argument: `string "text"`.
QString unquote(const QString& line) {
    const qsizetype first = line.indexOf(QLatin1Char('"'));
    const qsizetype last = line.lastIndexOf(QLatin1Char('"'));
    return first >= 0 && last > first ? line.mid(first + 1, last - first - 1) : QString();
}

} // namespace

int Budget::leftMs(int atMostMs) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
    return int(std::clamp<long long>(left, 0, atMostMs));
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        if (condition())
            return true;
        if (Clock::now() >= end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
}

Desktop::Desktop(QString artifacts) : artifacts_(std::move(artifacts)) {
    QDir().mkpath(artifacts_);
}

Desktop::~Desktop() {
    watcher_.reset();
    secondWatcher_.reset();
    secondA11y_.reset();
    QDBusConnection::disconnectFromBus(secondName);
    stop(secondDaemon_);
    stop(dunst_);
    stop(monitor_);
    QDBusConnection::disconnectFromBus(a11yName);
    stop(a11yLauncher_);
    stop(xvfb_);
}

QString Desktop::start() {
    if (!QDBusConnection::sessionBus().isConnected())
        return QStringLiteral("no session bus: run inside dbus-run-session");
    for (const char* tool : {"Xvfb", "dunst", "dunstctl", "xdotool", "dbus-monitor"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/deps.sh installs it)").arg(tool);

    // The server picks a free display number and writes it.
    xvfb_.start(QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                 QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                 QStringLiteral("1280x800x24")});
    if (!waitFor([&] { return xvfb_.canReadLine(); }, 10000))
        return QStringLiteral("Xvfb did not start");
    display_ = QStringLiteral(":") + QString::fromLatin1(xvfb_.readLine()).trimmed();

    // Every call to the notification server, with its actions and hints, as the server got it.
    monitor_.setProcessChannelMode(QProcess::MergedChannels);
    monitor_.start(QStringLiteral("dbus-monitor"),
                   {QStringLiteral("type='method_call',interface='org.freedesktop.Notifications',"
                                   "member='Notify'"),
                    QStringLiteral("type='signal',interface='org.freedesktop.Notifications',"
                                   "member='ActionInvoked'")});
    if (!waitFor(
            [&] {
                monitored_ += monitor_.readAll();
                return monitored_.contains("NameLost");
            },
            5000))
        return QStringLiteral("dbus-monitor did not start");

    // The accessibility bus, through which the tests read what the panel shows.
    const QString launcher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
    if (!QFile::exists(launcher))
        return QStringLiteral("at-spi2-core is not installed");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    a11yLauncher_.setProcessEnvironment(environment);
    a11yLauncher_.start(launcher, {QStringLiteral("--launch-immediately")});
    if (!waitFor(
            [&] {
                const QDBusMessage reply =
                    call(QDBusConnection::sessionBus(), QStringLiteral("org.a11y.Bus"),
                         QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus"),
                         QStringLiteral("GetAddress"));
                if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                    return false;
                a11yAddress_ = reply.arguments().constFirst().toString();
                return !a11yAddress_.isEmpty();
            },
            8000))
        return QStringLiteral("the accessibility bus did not start");
    if (!QDBusConnection::connectToBus(a11yAddress_, a11yName).isConnected())
        return QStringLiteral("cannot reach the accessibility bus at %1").arg(a11yAddress_);

    // dunst keeps its own default time-outs (10 s for low and normal urgency), as a person's
    // would, and its action menu is a script of the test's own that picks the action named in a
    // file.
    const QString config = root_.filePath(QStringLiteral("dunst-config/dunst"));
    QDir().mkpath(config);
    const QString picker = root_.filePath(QStringLiteral("pick-action.sh"));
    QFile script(picker);
    script.open(QIODevice::WriteOnly);
    script.write(
        QStringLiteral("#!/bin/sh\n"
                       "tee -a '%1' | grep -m1 -F \",$(cat '%2')]\"\n")
            .arg(root_.filePath(QStringLiteral("menu.txt")), root_.filePath(QStringLiteral("pick")))
            .toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile rc(config + QStringLiteral("/dunstrc"));
    rc.open(QIODevice::WriteOnly);
    rc.write(QStringLiteral("[global]\n    dmenu = %1\n    show_indicators = no\n")
                 .arg(picker)
                 .toUtf8());
    rc.close();
    return {};
}

void Desktop::resetTray() {
    watcher_.reset();
    watcher_ = std::make_unique<FakeStatusNotifierWatcher>(true);
}

void Desktop::keepTray() {
    if (!watcher_)
        resetTray();
}

namespace {

// The bus name and object of a registered item ("service" or "service/path").
Reference itemOf(const QString& item) {
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {item, QStringLiteral("/StatusNotifierItem")};
    return {item.left(slash), item.mid(slash)};
}

std::optional<Reference> itemOwnedBy(QDBusConnection connection, const QStringList& items,
                                     qint64 pid) {
    QDBusConnectionInterface* bus = connection.interface();
    for (const QString& item : items) {
        const Reference reference = itemOf(item);
        const QDBusReply<uint> owner = bus->servicePid(reference.first);
        if (owner.isValid() && qint64(owner.value()) == pid)
            return reference;
    }
    return std::nullopt;
}

} // namespace

bool Desktop::hasItem(qint64 pid) {
    return (watcher_ && itemOwnedBy(QDBusConnection::sessionBus(),
                                    watcher_->RegisteredStatusNotifierItems(), pid)) ||
           (secondWatcher_ && itemOwnedBy(QDBusConnection(secondName),
                                          secondWatcher_->RegisteredStatusNotifierItems(), pid));
}

bool Desktop::activateItem(qint64 pid) {
    for (auto [watcher, bus] : {std::pair{watcher_.get(), QDBusConnection::sessionBus()},
                                std::pair{secondWatcher_.get(), QDBusConnection(secondName)}}) {
        if (!watcher)
            continue;
        const std::optional<Reference> item =
            itemOwnedBy(bus, watcher->RegisteredStatusNotifierItems(), pid);
        if (!item)
            continue;
        movePointer(iconX, iconY);
        return call(bus, item->first, item->second, QStringLiteral("org.kde.StatusNotifierItem"),
                    QStringLiteral("Activate"), {iconX, iconY})
                   .type() == QDBusMessage::ReplyMessage;
    }
    return false;
}

void Desktop::movePointer(int x, int y) {
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(x), QString::number(y)}, nullptr, 5000,
        environment(Home{root_.path()}));
}

std::optional<QString> Desktop::lastVisibleWindow(qint64 pid) {
    QByteArray output;
    run(QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
         QString::number(pid)},
        &output, 5000, environment(Home{root_.path()}));
    const QList<QByteArray> windows = output.trimmed().split('\n');
    if (windows.constLast().isEmpty())
        return std::nullopt;
    return QString::fromLatin1(windows.constLast());
}

std::optional<QRect> Desktop::windowGeometry(qint64 pid) {
    const std::optional<QString> window = lastVisibleWindow(pid);
    QByteArray output;
    if (!window || !run(QStringLiteral("xdotool"),
                        {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), *window},
                        &output, 5000, environment(Home{root_.path()})))
        return std::nullopt;
    // X=…, Y=…, WIDTH=…, HEIGHT=… lines.
    std::map<QByteArray, int> values;
    for (const QByteArray& line : output.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            values[line.left(equals)] = line.mid(equals + 1).toInt();
    }
    return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
}

QString Desktop::startSecondBus() {
    secondDaemon_.start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--config-file=" DEWLIGHT_E2E_BUS_CONFIG),
                         QStringLiteral("--print-address=1"), QStringLiteral("--nofork")});
    if (!waitFor([&] { return secondDaemon_.canReadLine(); }, 5000))
        return QStringLiteral("the second session bus did not start");
    const QString address = QString::fromUtf8(secondDaemon_.readLine()).trimmed();
    QDBusConnection bus = QDBusConnection::connectToBus(address, secondName);
    if (!bus.isConnected())
        return QStringLiteral("cannot reach the second session bus at %1").arg(address);
    secondAddress_ = address;
    secondWatcher_ = std::make_unique<FakeStatusNotifierWatcher>(true, bus);
    // The second computer's apps find the accessibility bus the tests read through it.
    secondA11y_ = std::make_unique<A11yBusService>(a11yAddress_, bus);
    return {};
}

Home Desktop::newHome(const QString& name) {
    Home home{root_.filePath(QStringLiteral("homes/") + name)};
    for (const char* folder : {"config", "data", "state", "cache", "runtime"})
        QDir().mkpath(home.path(QString::fromLatin1(folder)));
    QFile::setPermissions(home.path(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return home;
}

QProcessEnvironment Desktop::environment(const Home& home) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.root);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home.path(QStringLiteral("state")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("DISPLAY"), display_);
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Qt joins the accessibility bus only when asked; no screen reader runs here.
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    environment.remove(QStringLiteral("LC_ALL"));
    if (!environment.contains(QStringLiteral("TZ")))
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    return environment;
}

std::unique_ptr<App> Desktop::app(const Home& home, const QStringList& extraEnvironment,
                                  bool secondBus) {
    QProcessEnvironment environment = this->environment(home);
    if (secondBus)
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), secondAddress_);
    for (const QString& pair : extraEnvironment) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        environment.insert(pair.left(equals), pair.mid(equals + 1));
    }
    const QString name = QDir(home.root).dirName();
    return std::make_unique<App>(*this, home, environment,
                                 artifacts_ + QStringLiteral("/app-%1.log").arg(name));
}

QString Desktop::timeZone(qint64 eastOfUtc) {
    const auto hasDigit = [](const QString& path) {
        return std::any_of(path.begin(), path.end(), [](QChar c) { return c.isDigit(); });
    };
    // Temporary names draw letters and digits; a few draws give one of letters only.
    for (int draw = 0; draw < 100 && (!zones_ || hasDigit(zones_->path())); ++draw)
        zones_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                 QStringLiteral("/dewlight-zone-XXXXXX"));
    if (!zones_ || hasDigit(zones_->path()))
        return {};
    // A version 1 zone file with one local time type and no transitions.
    QByteArray data("TZif");
    data.append(16, '\0');
    const auto big = [&](quint32 value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            data.append(char((value >> shift) & 0xff));
    };
    for (quint32 count :
         {0u, 0u, 0u, 0u, 1u, 4u}) // UT and standard flags, leaps, times, types, chars
        big(count);
    big(quint32(qint32(eastOfUtc)));
    data.append('\0'); // not daylight saving time
    data.append('\0'); // its name starts at 0
    data.append("TST", 3);
    data.append('\0');
    const QString path = zones_->filePath(QStringLiteral("scenario"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return {};
    return QStringLiteral(":") + path;
}

bool Desktop::startNotificationServer() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       root_.filePath(QStringLiteral("dunst-config")));
    dunst_.setProcessEnvironment(environment);
    dunst_.setStandardOutputFile(artifacts_ + QStringLiteral("/dunst.log"), QIODevice::Append);
    dunst_.setStandardErrorFile(artifacts_ + QStringLiteral("/dunst.log"), QIODevice::Append);
    dunst_.start(QStringLiteral("dunst"), {});
    return waitFor(
        [&] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                QStringLiteral("org.freedesktop.Notifications"));
        },
        8000);
}

void Desktop::stopNotificationServer() {
    stop(dunst_);
}

int Desktop::displayedNotifications() {
    QByteArray output;
    if (!run(QStringLiteral("dunstctl"), {QStringLiteral("count"), QStringLiteral("displayed")},
             &output))
        return -1;
    return output.trimmed().toInt();
}

bool Desktop::invokeAction(const QString& key) {
    QFile pick(root_.filePath(QStringLiteral("pick")));
    pick.open(QIODevice::WriteOnly);
    pick.write(key.toUtf8());
    pick.close();
    return run(QStringLiteral("dunstctl"), {QStringLiteral("context")});
}

std::vector<Notification> Desktop::notifications() {
    monitored_ += monitor_.readAll();
    std::vector<Notification> result;
    const QStringList lines = QString::fromUtf8(monitored_).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1String("method call")) ||
            !lines[i].contains(QLatin1String("member=Notify")))
            continue;
        // app name, id, icon, summary, body, then the actions and the hints as arrays.
        QStringList scalars;
        Notification notification;
        int array = 0;
        for (++i; i < lines.size() && lines[i].startsWith(QLatin1Char(' ')); ++i) {
            const QString line = lines[i];
            const QString trimmed = line.trimmed();
            const bool top = line.startsWith(QLatin1String("   ")) && line[3] != QLatin1Char(' ');
            if (top && trimmed.startsWith(QLatin1String("array ["))) {
                ++array;
                continue;
            }
            if (top && scalars.size() < 5 && array == 0) {
                scalars << (trimmed.startsWith(QLatin1String("string")) ? unquote(trimmed)
                                                                        : trimmed);
                continue;
            }
            if (array == 1 && trimmed.startsWith(QLatin1String("string")))
                notification.actions << unquote(trimmed);
            if (array == 2 && trimmed.startsWith(QLatin1String("dict entry(")) &&
                i + 1 < lines.size())
                notification.hints << unquote(lines[i + 1].trimmed());
        }
        --i;
        if (scalars.size() == 5) {
            notification.appName = scalars[0];
            notification.summary = scalars[3];
            notification.body = scalars[4];
            result.push_back(notification);
        }
    }
    return result;
}

QStringList Desktop::invokedActions() {
    monitored_ += monitor_.readAll();
    QStringList keys;
    const QStringList lines = QString::fromUtf8(monitored_).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 2 < lines.size(); ++i)
        if (lines[i].startsWith(QLatin1String("signal")) &&
            lines[i].contains(QLatin1String("member=ActionInvoked")))
            keys << unquote(lines[i + 2]);
    return keys;
}

bool Desktop::hasVisibleWindow(qint64 pid) {
    return lastVisibleWindow(pid).has_value();
}

bool Desktop::pressKeys(qint64 pid, const QStringList& keys) {
    const QProcessEnvironment env = environment(Home{root_.path()});
    const std::optional<QString> found = lastVisibleWindow(pid);
    if (!found)
        return false;
    const QString window = *found;
    // No window manager runs here: the pointer goes over the panel and the focus is set on it
    // the way a window manager would on a click.
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("12"),
         QStringLiteral("12")},
        nullptr, 5000, env);
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), window}, nullptr, 5000, env);
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("120")};
    arguments << keys;
    return run(QStringLiteral("xdotool"), arguments, nullptr, 15000, env);
}

std::vector<Seen> Desktop::seen(qint64 pid) {
    std::vector<Seen> result;
    QDBusConnection bus(a11yName);
    if (!bus.isConnected())
        return result;
    const Reference registry{QStringLiteral("org.a11y.atspi.Registry"),
                             QStringLiteral("/org/a11y/atspi/accessible/root")};
    for (const Reference& application : children(bus, registry)) {
        const QDBusReply<uint> owner = bus.interface()->servicePid(application.first);
        if (!owner.isValid() || qint64(owner.value()) != pid)
            continue;
        std::vector<Reference> pending{application};
        int budget = 3000; // nodes, against a tree that never ends
        while (!pending.empty() && budget-- > 0) {
            const Reference node = pending.back();
            pending.pop_back();
            const QList<quint32> state = stateOf(bus, node);
            if (node != application && !showing(state))
                continue;
            const QDBusMessage role =
                call(bus, node.first, node.second, QStringLiteral("org.a11y.atspi.Accessible"),
                     QStringLiteral("GetRoleName"));
            result.push_back(
                {role.arguments().value(0).toString(),
                 property(bus, node.first, node.second, QStringLiteral("Name")).toString(),
                 property(bus, node.first, node.second, QStringLiteral("Description")).toString(),
                 hasState(state, focusedState)});
            const std::vector<Reference> below = children(bus, node);
            pending.insert(pending.end(), below.rbegin(), below.rend());
        }
    }
    return result;
}

bool Desktop::focus(qint64 pid, const QString& name) {
    const auto focused = [&] {
        const std::vector<Seen> nodes = seen(pid);
        return std::any_of(nodes.begin(), nodes.end(),
                           [&](const Seen& node) { return node.focused && node.name == name; });
    };
    for (int press = 0; press < 20; ++press) {
        if (waitFor(focused, press == 0 ? 0 : 500))
            return true;
        if (!pressKeys(pid, {QStringLiteral("Tab")}))
            return false;
    }
    return false;
}

bool Desktop::shows(qint64 pid, const QString& text, int timeoutMs) {
    return waitFor(
        [&] {
            const std::vector<Seen> nodes = seen(pid);
            return std::any_of(nodes.begin(), nodes.end(), [&](const Seen& node) {
                return node.name.contains(text) || node.value.contains(text);
            });
        },
        timeoutMs);
}

QString Desktop::describe(qint64 pid) {
    QStringList lines;
    for (const Seen& node : seen(pid))
        if (!node.name.isEmpty())
            lines << QStringLiteral("[%1] %2").arg(node.role, node.name);
    return lines.join(QLatin1Char('\n'));
}

void Desktop::screenshot(const QString& file) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run(QStringLiteral(DEWLIGHT_E2E_SCREENSHOT), {file}, nullptr, 10000, environment);
}

App::App(Desktop& desktop, Home home, QProcessEnvironment environment, QString log)
    : desktop_(desktop), home_(std::move(home)), environment_(std::move(environment)),
      log_(std::move(log)) {}

App::~App() {
    quit();
}

bool App::start() {
    if (besideOthers_)
        desktop_.keepTray();
    else
        desktop_.resetTray();
    QFile(log_).open(QIODevice::Append); // the log exists even when the app writes nothing
    process_.setProcessEnvironment(environment_);
    process_.setStandardOutputFile(log_, QIODevice::Append);
    process_.setStandardErrorFile(log_, QIODevice::Append);
    // A benchmark may measure another build of the app against this one.
    process_.start(qEnvironmentVariable("DEWLIGHT_BENCH_APP", QStringLiteral(DEWLIGHT_E2E_APP)), {});
    return process_.waitForStarted(5000);
}

void App::kill() {
    if (process_.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(process_.processId()), SIGKILL);
    process_.waitForFinished(5000);
}

bool App::quit() {
    if (process_.state() == QProcess::NotRunning)
        return true;
    process_.terminate();
    if (process_.waitForFinished(5000))
        return true;
    kill();
    return false;
}

std::optional<int> App::ended(int timeoutMs) {
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeoutMs))
        return std::nullopt;
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

bool App::registered(int timeoutMs) {
    return waitFor([&] { return desktop_.hasItem(pid()); }, timeoutMs);
}

bool App::openPanel(int timeoutMs) {
    if (!registered(timeoutMs))
        return false;
    if (desktop_.hasVisibleWindow(pid()))
        return true;
    // A click right after the panel lost the focus only confirms the dismissal, as on a real
    // panel: the host clicks again when the first one changed nothing.
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        desktop_.activateItem(pid());
        if (waitFor([&] { return desktop_.hasVisibleWindow(pid()); }, 1500))
            return true;
    } while (Clock::now() < end);
    return false;
}

} // namespace DewlightE2e
