#include "app/DewlightScene.h"

#include "platform/tray/TrayGlyph.h"
#include "ui/Shape.h"
#include "ui/SymbolCatalogue.h"

#include <QTimer>
#include <limits>

namespace DewlightApp {

DewlightScene::DewlightScene(DewlightApp& app, DewlightPlatform::PanelWindow& panel,
                             DewlightPlatform::TrayScene& tray,
                             DewlightPlatform::ColorSchemeSource& scheme, DesktopSettings settings,
                             std::shared_ptr<const ui::SymbolCatalogue> symbols, QObject* parent)
    : QObject(parent), app_(app), panel_(panel), tray_(tray), settings_(std::move(settings)),
      symbols_(std::move(symbols)) {
    settings_.scheme = scheme.scheme();
    environment_ = desktopEnvironment(settings_, symbols_);
    tray_.setMenuTexts(environment_.localize(QStringLiteral("Open Dewlight"), {}),
                       environment_.localize(QStringLiteral("Quit"), {}));

    auto* host = new ui::Host([this] { return panelView(); }, environment_);
    host_ = host;
    panel_.setContent(host);
    host->rebuild();
    followContentSize();

    connect(&app_, &DewlightApp::contentChanged, host, &ui::Host::invalidate);
    connect(&app_, &DewlightApp::menuLabelChanged, this, &DewlightScene::showLabel);
    connect(&scheme, &DewlightPlatform::ColorSchemeSource::schemeChanged, this,
            &DewlightScene::followScheme);
    showLabel();
}

DewlightScene::~DewlightScene() {
    if (host_)
        panel_.setContent(nullptr);
}

ui::Node DewlightScene::panelView() {
    // Each build may change the panel's height (a notice comes or goes, the failure replaces
    // the menu); the window learns it once the build is in place.
    if (!sizeCheckPending_) {
        sizeCheckPending_ = true;
        QTimer::singleShot(0, this, &DewlightScene::followContentSize);
    }
    // The window paints its own ground: the start-up failure has none, and the desktop's
    // palette need not match the scheme the views are drawn in.
    // It covers the whole window, also the part of a pixel that rounding the content's height
    // up adds.
    constexpr double unlimited = std::numeric_limits<double>::infinity();
    return app_.menuContent()
        .frame(ui::FrameLimits{.maxWidth = unlimited, .maxHeight = unlimited})
        .background(ui::fill(ui::Shape::rectangle(), ui::Color::windowBackground()));
}

void DewlightScene::followContentSize() {
    sizeCheckPending_ = false;
    if (!host_)
        return;
    const QSize size = host_->sizeHint();
    if (size == contentSize_)
        return;
    contentSize_ = size;
    host_->updateGeometry();
}

void DewlightScene::showLabel() {
    const MenuLabel label = app_.menuLabel();
    tray_.setAccessibleName(label.accessibleName);
    if (label.symbol == shownSymbol_)
        return;
    shownSymbol_ = label.symbol;
    auto icon = icons_.find(label.symbol);
    if (icon == icons_.end()) {
        const auto symbols = symbols_;
        icon = icons_
                   .emplace(label.symbol,
                            DewlightPlatform::trayGlyph([&](QPainter& painter, const QRectF& rect) {
                                symbols->draw(painter, label.symbol, rect, Qt::black);
                            }))
                   .first;
    }
    tray_.setIcon(icon->second);
}

void DewlightScene::followScheme(DewlightPlatform::DesktopScheme scheme) {
    if (settings_.scheme == scheme)
        return;
    settings_.scheme = scheme;
    environment_ = desktopEnvironment(settings_, symbols_);
    if (host_)
        host_->setEnvironment(environment_);
    emit environmentChanged(environment_);
}

} // namespace DewlightApp
