#pragma once

// The green of the privacy line, in each colour scheme.

#include "ui/Color.h"

#include <QColor>
#include <array>

namespace KestraUI::PrivacyGreen {

inline constexpr std::array<double, 3> light = {0.09, 0.44, 0.18};
inline constexpr std::array<double, 3> dark = {0.19, 0.82, 0.35};

inline QColor color(ui::ColorScheme scheme) {
    const auto& c = scheme == ui::ColorScheme::dark ? dark : light;
    return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]));
}

} // namespace KestraUI::PrivacyGreen
