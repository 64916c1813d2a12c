#include "kit/panel/Rows.h"

#include "kit/panel/KitStyle.h"
#include "kit/panel/Observe.h"
#include "kit/brand/BrandPalette.h"

namespace KestraUI {

using DewlightPlatform::LoginItem;

namespace {

constexpr double rowMinHeight = 32;

ui::Node row(Text title, ui::Node symbol, ui::Node trailing) {
    return ui::hstack({symbol.frame(20, std::nullopt).accessibilityHidden(),
                       title.node().lineLimit(1), ui::spacer(8), std::move(trailing)},
                      ui::VerticalAlignment::center, 8)
        .frame({.minHeight = rowMinHeight});
}

} // namespace

ui::Node PanelCard(double spacing, std::vector<ui::Node> content) {
    return detail::cardFrame(
        ui::vstack(std::move(content), ui::HorizontalAlignment::leading, spacing),
        BrandPalette::faint);
}

ui::Node GlassCard(double spacing, std::vector<ui::Node> content) {
    // The glass, edged with a hairline as glass buttons are, so it reads on a light ground.
    const ui::Shape shape = ui::Shape::roundedRectangle(detail::cardRadius);
    return detail::cardFrame(
               ui::vstack(std::move(content), ui::HorizontalAlignment::leading, spacing),
               ui::Color::glassMaterial())
        .overlay(ui::strokeBorder(shape, ui::Color::separator()));
}

ui::Node SettingRow(Text title, ui::SymbolName symbol, ui::Node control) {
    return row(std::move(title), ui::symbol(symbol).foreground(ui::Color::secondary()),
               std::move(control));
}

ui::Node ActionRow(Text title, ui::SymbolName symbol, ui::Color color, ui::Node trailing) {
    return row(std::move(title), ui::symbol(symbol).foreground(color), std::move(trailing));
}

ui::Node OpenAtLoginRow(QColor color, LoginItem& item) {
    QPointer<LoginItem> target(&item);
    ui::Node toggle = ui::toggleSwitch(ui::text(QStringLiteral("Open at Login")), item.enabled(),
                                       [target](bool on) {
                                           if (target)
                                               target->setEnabled(on);
                                       })
                          .tint(ui::Color::fixed(color))
                          .controlSize(ui::ControlSize::small);
    return observing(&item, &LoginItem::enabledChanged,
                     SettingRow(Text("Open at Login"), "arrow.up.forward.app", std::move(toggle)));
}

} // namespace KestraUI
