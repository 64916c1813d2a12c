#include "kit/brand/BrandPalette.h"

#include "ui/Environment.h"

namespace KestraUI::BrandPalette {

ui::Color warning(ui::ColorScheme scheme) {
    if (scheme == ui::ColorScheme::dark) {
        ui::Environment dark;
        dark.scheme = ui::ColorScheme::dark;
        return ui::Color::fixed(ui::Color::orange().resolve(dark));
    }
    return ui::Color::fixed(QColor(184, 80, 0));
}

} // namespace KestraUI::BrandPalette
