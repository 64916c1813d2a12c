#include "kit/brand/KestraBrand.h"

#include <cmath>

namespace KestraUI {

namespace {

float linear(float component) {
    return component <= 0.04045f ? component / 12.92f
                                 : std::pow((component + 0.055f) / 1.055f, 2.4f);
}

} // namespace

QColor KestraBrand::accent(ui::ColorScheme scheme) const {
    if (scheme == ui::ColorScheme::dark)
        return darkAccent.value_or(color);
    return lightAccent.value_or(color);
}

QColor KestraBrand::contrastingText(const ui::Environment& environment) const {
    const QColor resolved = ui::Color::fixed(color).resolve(environment);
    const float red = linear(resolved.redF());
    const float green = linear(resolved.greenF());
    const float blue = linear(resolved.blueF());
    const double luminance = double((0.2126f * red + 0.7152f * green) + 0.0722f * blue);
    if (std::isnan(luminance))
        return Qt::black;
    const double againstBlack = (luminance + 0.05) / 0.05;
    const double againstWhite = 1.05 / (luminance + 0.05);
    return againstBlack <= againstWhite ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace KestraUI
