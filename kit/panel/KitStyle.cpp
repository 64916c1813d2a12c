#include "kit/panel/KitStyle.h"

namespace KestraUI::detail {

namespace {

// Distance between a label's icon and its title.
constexpr double labelSpacing = 6;

} // namespace

ui::Color perScheme(const std::function<ui::Color(ui::ColorScheme)>& colour) {
    ui::Environment light;
    ui::Environment dark;
    dark.scheme = ui::ColorScheme::dark;
    return ui::Color::forScheme(colour(ui::ColorScheme::light).resolve(light),
                                colour(ui::ColorScheme::dark).resolve(dark));
}

ui::Color accent(const KestraBrand& brand) {
    return ui::Color::forScheme(brand.accent(ui::ColorScheme::light),
                                brand.accent(ui::ColorScheme::dark));
}

ui::Node label(ui::Node title, ui::SymbolName symbol, ui::Color iconColor) {
    return ui::hstack(
        {ui::symbol(symbol).foreground(iconColor).accessibilityHidden(), std::move(title)},
        ui::VerticalAlignment::firstTextBaseline, labelSpacing);
}

ui::Node cardFrame(ui::Node stack, ui::Paint fill) {
    return stack.padding(12)
        .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()})
        .background(ui::fill(ui::Shape::roundedRectangle(cardRadius), std::move(fill)));
}

} // namespace KestraUI::detail
