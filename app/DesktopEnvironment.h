#pragma once

#include "platform/desktop/ColorSchemeSource.h"
#include "ui/Environment.h"

#include <QLocale>
#include <memory>
#include <optional>

namespace DewlightPlatform {
class Localizer;
}

namespace ui {
class SymbolCatalogue;
}

namespace DewlightApp {

// What the desktop says about how the views should look.
struct DesktopSettings {
    DewlightPlatform::DesktopScheme scheme = DewlightPlatform::DesktopScheme::light;
    QLocale locale;
    // The run's texts, in that locale's plural rules.
    std::shared_ptr<const DewlightPlatform::Localizer> texts;
    // The interface font's point size, when the desktop reports one.
    std::optional<double> fontPointSize;
};

// The reader's text size for the desktop's interface font: its 10 pt default is the size the
// views are laid out for, and larger or smaller fonts pick the type size whose body text comes
// nearest to the same scale. Without a reported font, the default.
ui::TypeSize typeSizeFor(std::optional<double> fontPointSize);

// The environment every window of the application starts from: the desktop's scheme, locale and
// text size, the run's texts, and the symbols.
ui::Environment desktopEnvironment(const DesktopSettings& settings,
                                   std::shared_ptr<const ui::SymbolCatalogue> symbols);

} // namespace DewlightApp
