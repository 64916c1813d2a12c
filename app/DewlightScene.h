#pragma once

#include "app/DesktopEnvironment.h"
#include "app/DewlightApp.h"
#include "platform/desktop/ColorSchemeSource.h"
#include "platform/tray/PanelWindow.h"
#include "platform/tray/TrayScene.h"
#include "ui/Host.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>

namespace DewlightApp {

// The application's one scene on the desktop: the launch's content in the shell's panel, the
// launch's label as the tray icon, and the desktop's colour scheme, locale and text size in the
// environment the views get. Everything passed in outlives the scene.
class DewlightScene final : public QObject {
    Q_OBJECT
public:
    DewlightScene(DewlightApp& app, DewlightPlatform::PanelWindow& panel,
                  DewlightPlatform::TrayScene& tray, DewlightPlatform::ColorSchemeSource& scheme,
                  DesktopSettings settings, std::shared_ptr<const ui::SymbolCatalogue> symbols,
                  QObject* parent = nullptr);
    ~DewlightScene() override;

    // The environment in force: every window of the application follows it.
    const ui::Environment& environment() const { return environment_; }
    // The symbol the tray icon shows now.
    const QString& shownSymbol() const { return shownSymbol_; }
    ui::Host& host() const { return *host_; }

signals:
    // The desktop's settings changed the environment.
    void environmentChanged(const ui::Environment& environment);

private:
    ui::Node panelView();
    void showLabel();
    void followScheme(DewlightPlatform::DesktopScheme scheme);
    // The panel window is sized to its content: after a build whose size differs, it is told.
    void followContentSize();

    DewlightApp& app_;
    DewlightPlatform::PanelWindow& panel_;
    DewlightPlatform::TrayScene& tray_;
    DesktopSettings settings_;
    std::shared_ptr<const ui::SymbolCatalogue> symbols_;
    ui::Environment environment_;
    QPointer<ui::Host> host_;
    QString shownSymbol_;
    std::map<QString, QIcon> icons_;
    bool sizeCheckPending_ = false;
    QSize contentSize_;
};

} // namespace DewlightApp
