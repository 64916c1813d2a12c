#include "app/DesktopEnvironment.h"

#include "ui/Font.h"
#include "ui/Localization.h"

#include <cmath>

namespace DewlightApp {

namespace {
// The interface font the views' sizes were made for.
constexpr double referencePointSize = 10;
} // namespace

ui::TypeSize typeSizeFor(std::optional<double> fontPointSize) {
    if (!fontPointSize || !std::isfinite(*fontPointSize) || *fontPointSize <= 0)
        return ui::TypeSize::large;
    const ui::Font body{ui::TextStyle::body};
    const double wanted = body.pixelSize(ui::TypeSize::large) * *fontPointSize / referencePointSize;
    ui::TypeSize best = ui::TypeSize::xSmall;
    for (int index = 0; index <= int(ui::TypeSize::accessibility5); ++index) {
        const auto size = ui::TypeSize(index);
        // The smaller size wins a tie: text that fits beats text that crowds.
        if (std::abs(body.pixelSize(size) - wanted) < std::abs(body.pixelSize(best) - wanted))
            best = size;
    }
    return best;
}

ui::Environment desktopEnvironment(const DesktopSettings& settings,
                                   std::shared_ptr<const ui::SymbolCatalogue> symbols) {
    ui::Environment environment;
    environment.scheme = settings.scheme == DewlightPlatform::DesktopScheme::dark
                             ? ui::ColorScheme::dark
                             : ui::ColorScheme::light;
    environment.locale = settings.locale;
    environment.localizer = ui::localizer(settings.texts);
    environment.typeSize = typeSizeFor(settings.fontPointSize);
    environment.symbols = std::move(symbols);
    return environment;
}

} // namespace DewlightApp
