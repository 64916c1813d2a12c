#pragma once

// Pieces the panel kit's views share; not part of the kit's interface.
#include "kit/brand/KestraBrand.h"
#include "kit/brand/KestraFont.h"
#include "ui/Node.h"

#include <functional>

namespace KestraUI::detail {

// A colour that follows the scheme when painted, made from a function of the scheme.
ui::Color perScheme(const std::function<ui::Color(ui::ColorScheme)>& colour);
// The brand's accent in whichever scheme is painted.
ui::Color accent(const KestraBrand& brand);

// A title beside its icon, the two on one baseline (the platform's label).
ui::Node label(ui::Node title, ui::SymbolName symbol, ui::Color iconColor);

// The frame every card shares: its stack padded by 12, as wide as offered, content leading,
// over a rounded rectangle of radius 16.
ui::Node cardFrame(ui::Node stack, ui::Paint fill);
inline constexpr double cardRadius = 16;

} // namespace KestraUI::detail
