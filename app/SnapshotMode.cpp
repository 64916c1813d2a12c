#include "app/SnapshotMode.h"

#include "app/SnapshotOptions.h"
#include "app/SnapshotWindow.h"
#include "kit/brand/KestraSnapshot.h"
#include "kit/windows/KestraSnapshotWindow.h"
#include "platform/calendar/Calendar.h"
#include "platform/desktop/ColorSchemeSource.h"
#include "platform/desktop/DesktopLocale.h"
#include "platform/desktop/PortalColorScheme.h"
#include "platform/events/TerminationSource.h"
#include "platform/runtime/Job.h"
#include "platform/runtime/SystemClock.h"
#include "platform/shell/DesktopShell.h"
#include "ui/Font.h"
#include "ui/Localization.h"
#include "ui/SymbolCatalogue.h"
#include "views/MenuView.h"
#include "views/RozivBrand.h"
#include "views/RozivSnapshotModel.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace DewlightApp {

namespace {

namespace Snapshot = KestraUI::KestraSnapshot;

// Whether a run asked for a file: decides what a fatal message of Qt's turns into.
bool writesFile = false;

// Qt's own messages would mix with the one line a snapshot prints (and, for "-", with nothing).
// A fatal one still ends the run: with the failure line when a file was asked for, else with
// the no-display line when it is the display that failed, else in Qt's words.
void silence(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg)
        return;
    if (writesFile)
        SnapshotWindow::reportFailure();
    else if (message.contains(QLatin1String("platform plugin")))
        std::fprintf(stderr, "%s\n", DewlightPlatform::noDisplayMessage);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

ui::Environment snapshotEnvironment(ui::ColorScheme scheme, const QLocale& locale) {
    ui::Environment env;
    env.scheme = scheme;
    env.locale = locale;
    env.localizer = ui::shippedLocalizer(locale);
    env.symbols = std::make_shared<ui::SymbolCatalogue>();
    return env;
}

ui::ColorScheme desktopScheme() {
    std::optional<quint32> preference;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage read = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
        read << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
        // A portal that is slow to answer must not hold the picture up for long.
        const QDBusMessage answer = bus.call(read, QDBus::Block, 500);
        if (answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty())
            preference = DewlightPlatform::portalNumber(answer.arguments().constFirst());
    }
    return DewlightPlatform::resolveScheme(preference, QGuiApplication::palette()) ==
                   DewlightPlatform::DesktopScheme::dark
               ? ui::ColorScheme::dark
               : ui::ColorScheme::light;
}

QCoro::Task<std::optional<int>> runSnapshotMode(DewlightViews::DewlightViewModel& model,
                                                QStringList arguments, ui::Environment environment,
                                                KestraUI::KestraBrand brand,
                                                DewlightPlatform::Clock& clock,
                                                DewlightPlatform::CancelToken token) {
    const std::optional<ui::ColorScheme> appearance = SnapshotOptions::appearance(arguments);
    if (appearance)
        environment.scheme = *appearance;
    const std::optional<QString> output = SnapshotOptions::output(arguments);
    const std::optional<SnapshotView> window =
        SnapshotOptions::makeView(model, appearance, arguments);
    if (window && output)
        SnapshotWindow::host(window->view, brand, window->width, environment);
    else if (window)
        Snapshot::present(window->view, brand, true, environment);
    else
        Snapshot::present(withAppearance(DewlightViews::MenuView(model), appearance), brand, false,
                          environment, !output);
    if (!output)
        co_return std::nullopt;
    if (!co_await clock.sleep(snapshotDrawingTime, token))
        co_return std::nullopt;
    co_return SnapshotWindow::writePNG(*output, brand) ? 0 : 1;
}

int snapshotMain(int& argc, char** argv) {
    const QStringList arguments = Snapshot::arguments();
    writesFile = SnapshotOptions::output(arguments).has_value();
    if (!DewlightPlatform::displayAvailable()) {
        if (!writesFile) {
            // A window for a person to look at needs a screen.
            std::fprintf(stderr, "%s\n", DewlightPlatform::noDisplayMessage);
            return 1;
        }
        // A picture written to a file needs none.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(silence);
    // A reader of standard output that went away is a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("dewlight"));
    application.setDesktopFileName(QStringLiteral("dewlight"));
    // The snapshot window is the only one; the run decides when to quit.
    application.setQuitOnLastWindowClosed(false);
    DewlightPlatform::TerminationSource termination(application);
    const QLocale locale = DewlightPlatform::desktopLocaleFromProcess();
    QLocale::setDefault(locale);
    ui::loadUiFonts();

    const DewlightPlatform::Calendar calendar = DewlightPlatform::Calendar::current();
    DewlightViews::RozivSnapshotModel model(arguments, calendar);
    const std::optional<ui::ColorScheme> appearance = SnapshotOptions::appearance(arguments);
    ui::Environment environment =
        snapshotEnvironment(appearance ? *appearance : desktopScheme(), locale);
    DewlightPlatform::SystemClock clock;

    // Started on the first turn of the event loop, so that quitting from it ends exec().
    DewlightPlatform::Job run =
        DewlightPlatform::Job::spawn([&](DewlightPlatform::CancelToken token) -> QCoro::Task<void> {
            const std::optional<int> status = co_await runSnapshotMode(
                model, arguments, environment, DewlightViews::rozivBrand(), clock, token);
            if (status)
                QCoreApplication::exit(*status);
        });
    const int status = application.exec();
    run.cancel();
    // The snapshot windows are nobody's children: they go before the application does.
    qDeleteAll(QApplication::topLevelWidgets());
    return status;
}

} // namespace DewlightApp
