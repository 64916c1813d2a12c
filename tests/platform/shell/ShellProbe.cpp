// The desktop shell as the application runs it, with a plain panel, telling on standard output
// what happens to it: "mode tray", "mode waiting", "mode window", "appeared", "hidden". The shell
// test drives it.
#include "platform/shell/DesktopShell.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <cstdio>
#include <optional>

namespace {
void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

class HideReporter final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            say("hidden");
        return false;
    }
};
} // namespace

int main(int argc, char* argv[]) {
    using namespace DewlightPlatform;
    if (!displayAvailable()) {
        std::fprintf(stderr, "%s\n", noDisplayMessage);
        return 1;
    }
    std::optional<NoDisplayGuard> guard(std::in_place);
    QApplication application(argc, argv);
    guard.reset();
    DesktopShell::prepare(application);
    DesktopShell::Options options;
    options.scene.hostWait = std::chrono::milliseconds(qEnvironmentVariableIntValue("PROBE_HOST_WAIT_MS"));
    DesktopShell shell(options);
    const InstanceDecision decision =
        shell.claimInstance(qEnvironmentVariable("PROBE_LOCK").toStdString());
    if (decision.kind == InstanceDecision::Kind::handedOver)
        return 0;
    if (decision.kind == InstanceDecision::Kind::refused) {
        std::fprintf(stderr, "dewlight: %s\n", decision.message.c_str());
        return 1;
    }
    shell.panel().setContent(new QLabel(QStringLiteral("panel")));
    HideReporter hides;
    shell.panel().installEventFilter(&hides);
    QObject::connect(&shell.panel(), &PanelWindow::appeared, [] { say("appeared"); });
    QObject::connect(&shell.scene(), &TrayScene::modeChanged, [](TrayScene::Mode mode) {
        say(mode == TrayScene::Mode::tray      ? "mode tray"
            : mode == TrayScene::Mode::waiting ? "mode waiting"
                                               : "mode window");
    });
    shell.start();
    say("ready");
    return application.exec();
}
