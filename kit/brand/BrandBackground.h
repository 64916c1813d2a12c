#pragma once

// The windows' background: a gradient of the brand over the scheme's base colour.

#include "ui/Node.h"

#include <QColor>
#include <array>

namespace KestraUI {

namespace BrandBackgroundRecipe {

using Components = std::array<double, 3>;

inline constexpr double darkMix = 0.2;
inline constexpr double lightMix = 0.098;
inline constexpr Components darkBase = {20.0 / 255, 20.0 / 255, 20.0 / 255};
inline constexpr Components lightBase = {1, 1, 1};

// The three stop colours, top-leading first: the base mixed with the brand by the scheme's
// share, by half that share, and the base itself.
std::array<Components, 3> stops(bool dark, double red, double green, double blue);

} // namespace BrandBackgroundRecipe

// The brand-tinted window background: a diagonal gradient that fills its frame. The scheme is
// read when it is painted.
ui::Node BrandBackground(const QColor& brand);

} // namespace KestraUI
