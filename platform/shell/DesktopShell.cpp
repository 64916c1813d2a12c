#include "platform/shell/DesktopShell.h"

#include "platform/desktop/PortalColorScheme.h"
#include "platform/instance/DBusInstanceChannel.h"
#include "platform/storage/InstanceLock.h"
#include "platform/tray/QtTrayIcon.h"
#include "platform/tray/StatusNotifierHost.h"

#include <QDBusConnection>
#include <cstdio>
#include <cstdlib>

namespace DewlightPlatform {

bool displayAvailable(const EnvironmentReader& environment) {
    const auto set = [&](const char* name) {
        const auto value = environment(name);
        return value && !value->empty();
    };
    const std::string platform = environment("QT_QPA_PLATFORM").value_or("");
    // Qt tries a list in order ("wayland;xcb"); the first name decides what is needed.
    const std::string first = platform.substr(0, platform.find(';'));
    if (first.empty())
        return set("DISPLAY") || set("WAYLAND_DISPLAY");
    if (first.starts_with("xcb"))
        return set("DISPLAY");
    if (first.starts_with("wayland"))
        return set("WAYLAND_DISPLAY");
    return true;
}

bool displayAvailable() {
    return displayAvailable([](const char* name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name))
            return std::string(value);
        return std::nullopt;
    });
}

namespace {
QtMessageHandler previousHandler = nullptr;

void guardMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "%s\n", noDisplayMessage);
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Qt's warnings that precede the failure say the same in its own words.
    if (type != QtFatalMsg &&
        (message.startsWith(QLatin1String("could not connect to display")) ||
         message.contains(QLatin1String("platform plugin"))))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
} // namespace

NoDisplayGuard::NoDisplayGuard() { previousHandler = qInstallMessageHandler(guardMessages); }

NoDisplayGuard::~NoDisplayGuard() {
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

void DesktopShell::prepare(QApplication& application) {
    application.setApplicationName(QStringLiteral("dewlight"));
    application.setApplicationDisplayName(QStringLiteral("Dewlight"));
    application.setDesktopFileName(QStringLiteral("dewlight"));
    application.setWindowIcon(QIcon::fromTheme(QStringLiteral("dewlight")));
    // The application lives in the tray; closing the panel's window only puts it away.
    application.setQuitOnLastWindowClosed(false);
}

DesktopShell::DesktopShell() : DesktopShell(Options{}) {}

DesktopShell::DesktopShell(Options options)
    : options_(std::move(options)),
      channel_(std::make_unique<DBusInstanceChannel>(QDBusConnection::sessionBus())),
      host_(std::make_unique<StatusNotifierHost>(QDBusConnection::sessionBus())),
      panel_(std::make_unique<PanelWindow>(QStringLiteral("Panel"))),
      scheme_(std::make_unique<PortalColorScheme>(QDBusConnection::sessionBus())) {
    scene_ = std::make_unique<TrayScene>(
        *host_, [] { return std::make_unique<QtTrayIcon>(); }, *panel_, options_.scene);
    scene_->setAccessibleName(QStringLiteral("Dewlight"));
    QObject::connect(scene_.get(), &TrayScene::quitRequested, QCoreApplication::instance(),
                     &QCoreApplication::quit);
}

DesktopShell::~DesktopShell() = default;

InstanceDecision DesktopShell::claimInstance(const std::filesystem::path& lockFile) {
    lock_ = std::make_unique<InstanceLock>(lockFile);
    return settleInstance(*channel_, *lock_, [this] { scene_->showPanel(); },
                          options_.answerTimeout);
}

} // namespace DewlightPlatform
