#include "kit/brand/BrandBackground.h"

namespace KestraUI {

std::array<BrandBackgroundRecipe::Components, 3>
BrandBackgroundRecipe::stops(bool dark, double red, double green, double blue) {
    const Components& base = dark ? darkBase : lightBase;
    const double mix = dark ? darkMix : lightMix;
    const Components brand = {red, green, blue};
    std::array<Components, 3> result{};
    for (std::size_t i = 0; i < 3; ++i) {
        const double b = base[i];
        const double c = brand[i];
        result[0][i] = b + mix * (c - b);
        result[1][i] = b + (c - b) * (mix * 0.5);
        result[2][i] = b;
    }
    return result;
}

ui::Node BrandBackground(const QColor& brand) {
    const auto light =
        BrandBackgroundRecipe::stops(false, brand.redF(), brand.greenF(), brand.blueF());
    const auto dark =
        BrandBackgroundRecipe::stops(true, brand.redF(), brand.greenF(), brand.blueF());
    auto color = [](const BrandBackgroundRecipe::Components& c) {
        return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]));
    };
    ui::LinearGradient gradient;
    for (std::size_t i = 0; i < 3; ++i)
        gradient.stops.push_back(
            {double(i) * 0.5, ui::Color::forScheme(color(light[i]), color(dark[i]))});
    return ui::fill(ui::Shape::rectangle(), gradient);
}

} // namespace KestraUI
