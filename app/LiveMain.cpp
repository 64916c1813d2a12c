#include "app/DesktopEnvironment.h"
#include "app/DewlightApp.h"
#include "app/DewlightScene.h"
#include "app/LiveServices.h"
#include "kit/windows/KestraSnapshot.h"
#include "platform/desktop/DesktopFont.h"
#include "platform/desktop/DesktopLocale.h"
#include "platform/runtime/EventLoop.h"
#include "platform/shell/DesktopShell.h"
#include "platform/storage/XdgPaths.h"
#include "ui/Font.h"
#include "ui/Localization.h"
#include "ui/SymbolCatalogue.h"

#include <QApplication>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

using DewlightPlatform::DesktopShell;
using DewlightPlatform::InstanceDecision;

} // namespace

// The live application: the entry loads this library and calls it when no snapshot is asked for.
extern "C" __attribute__((visibility("default"))) int dewlightLiveMain(int argc, char* argv[]) {
    if (!DewlightPlatform::displayAvailable()) {
        std::fprintf(stderr, "%s\n", DewlightPlatform::noDisplayMessage);
        return 1;
    }
    std::optional<DewlightPlatform::NoDisplayGuard> guard(std::in_place);
    QApplication application(argc, argv);
    guard.reset();
    DesktopShell::prepare(application);
    const QLocale locale = DewlightPlatform::desktopLocaleFromProcess();
    QLocale::setDefault(locale);
    if (!ui::loadUiFonts())
        std::fprintf(stderr, "dewlight: the bundled fonts did not load; texts use a fallback\n");

    const auto paths = DewlightPlatform::XdgPaths::fromProcessEnvironment();
    if (!paths.instanceLock || !paths.defaultsFile) {
        std::fprintf(stderr, "dewlight: no home folder: set $HOME\n");
        return 1;
    }
    DesktopShell shell;
    const InstanceDecision decision = shell.claimInstance(*paths.instanceLock);
    switch (decision.kind) {
    case InstanceDecision::Kind::handedOver:
        return 0;
    case InstanceDecision::Kind::refused:
        std::fprintf(stderr, "dewlight: %s\n", decision.message.c_str());
        return 1;
    case InstanceDecision::Kind::run:
        break;
    }

    const auto symbols = std::make_shared<const ui::SymbolCatalogue>();
    // One table for the run: the model's notifications and every window read the same texts.
    const auto texts = ui::shippedTexts(locale);
    const DewlightApp::DesktopSettings settings{
        .scheme = shell.colorScheme().scheme(),
        .locale = locale,
        .texts = texts,
        .fontPointSize = DewlightPlatform::desktopFontPointSize(),
    };
    DewlightApp::LiveServices services(application, paths, texts,
                                       DewlightApp::desktopEnvironment(settings, symbols));
    int status = 0;
    {
        DewlightApp::DewlightApp app({
            .arguments = KestraUI::KestraSnapshot::arguments(),
            .makeModel =
                [&services] {
                    return std::make_unique<DewlightApp::AppModel>(services.modelServices());
                },
            .makeSnapshotModel = {},
            .runSnapshot = {},
            .makeUpdateNotifier = [&services] { return services.makeUpdateNotifier(); },
        });
        DewlightApp::DewlightScene scene(app, shell.panel(), shell.scene(), shell.colorScheme(),
                                         settings, symbols);
        QObject::connect(&scene, &DewlightApp::DewlightScene::environmentChanged, &scene,
                         [&services](const ui::Environment& environment) {
                             services.preferencesWindow.shared().setEnvironment(environment);
                             services.welcomeStepsWindow.shared().setEnvironment(environment);
                         });
        shell.start();
        status = application.exec();
    }
    // The model is gone and has cancelled its waits; let them end while the services they
    // were started on still exist.
    DewlightPlatform::runPostedWork();
    return status;
}
