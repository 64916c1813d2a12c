#pragma once

// The kit's colours: the label colour at fixed opacities and the status colours, symbolic until
// painted.

#include "ui/Color.h"

namespace KestraUI::BrandPalette {

// The label colour at fixed opacities. They stay symbolic until painted, so one value serves
// both schemes.
inline const ui::Color muted = ui::Color::primary().opacity(0.7);
inline const ui::Color faint = ui::Color::primary().opacity(0.06);
inline const ui::Color focus = ui::Color::primary().opacity(0.55);
inline const ui::Color hover = ui::Color::primary().opacity(0.16);

// Warning notices, the attention dot and conflicting shortcut keys.
ui::Color warning(ui::ColorScheme scheme);

} // namespace KestraUI::BrandPalette
