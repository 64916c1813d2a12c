#include "app/SnapshotMode.h"
#include "kit/windows/KestraSnapshot.h"
#include "platform/BuildInfo.h"
#include "platform/desktop/DesktopLocale.h"
#include "platform/shell/DesktopShell.h"
#include "platform/storage/XdgPaths.h"
#include "platform/tray/TrayGlyph.h"
#include "ui/SymbolCatalogue.h"

#include <QApplication>
#include <QLabel>
#include <cstdio>
#include <optional>

namespace {

using DewlightPlatform::DesktopShell;
using DewlightPlatform::InstanceDecision;

// The tray icon for one of the model's menu symbols.
QIcon menuIcon(const ui::SymbolCatalogue& symbols, const QString& symbol) {
    return DewlightPlatform::trayGlyph([&](QPainter& painter, const QRectF& rect) {
        symbols.draw(painter, symbol, rect, Qt::black);
    });
}

// What the panel shows until the application's own views take its place.
QWidget* menuContent() {
    auto* label = new QLabel(QStringLiteral("%1 %2").arg(
        QString::fromLatin1(DewlightPlatform::BuildInfo::applicationName),
        QString::fromLatin1(DewlightPlatform::BuildInfo::version)));
    label->setMargin(24);
    return label;
}

} // namespace

int main(int argc, char* argv[]) {
    // Any "--snapshot-" argument: a picture with fixed data, and nothing of the live application.
    if (KestraUI::KestraSnapshot::isActive())
        return DewlightApp::snapshotMain(argc, argv);

    if (!DewlightPlatform::displayAvailable()) {
        std::fprintf(stderr, "%s\n", DewlightPlatform::noDisplayMessage);
        return 1;
    }
    std::optional<DewlightPlatform::NoDisplayGuard> guard(std::in_place);
    QApplication application(argc, argv);
    guard.reset();
    DesktopShell::prepare(application);
    QLocale::setDefault(DewlightPlatform::desktopLocaleFromProcess());

    const auto paths = DewlightPlatform::XdgPaths::fromProcessEnvironment();
    if (!paths.instanceLock) {
        std::fprintf(stderr, "dewlight: no home folder: set $HOME or $XDG_DATA_HOME\n");
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

    const ui::SymbolCatalogue symbols;
    shell.panel().setContent(menuContent());
    shell.scene().setIcon(menuIcon(symbols, QStringLiteral("drop")));
    shell.start();
    return application.exec();
}
