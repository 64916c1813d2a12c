#include "kit/panel/PreferencesControls.h"

#include "kit/panel/FocusRing.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"

namespace KestraUI {

namespace {

namespace M = KestraMetrics;
using ui::HorizontalAlignment;

constexpr double fieldHeight = 28;
constexpr double statusSymbolWidth = 20;

// The field look, for a text field whose focus it owns.
struct PreferencesField {
    ui::Binding<bool> focused;
    bool isEnabled = true;
    KestraFont role = KestraFont::support;

    ui::Node body(ui::Node field, bool keyboardUsed) const {
        const ui::Shape capsule = ui::Shape::capsule();
        const ui::Node look =
            field.font(font(role))
                .focused(ui::FocusBinding::of(focused))
                .padding(ui::EdgeInsets::horizontal(M::space12))
                .frame(std::nullopt, fieldHeight)
                .background(ui::fill(capsule, BrandPalette::hover))
                .contentShape(capsule) // the margins take clicks as well as the text
                .onTap([focused = focused, enabled = isEnabled] {
                    if (enabled)
                        focused.set(true);
                });
        return PreferencesRing{keyboardUsed, capsule, focused.get()}.body(look);
    }
};

ui::Node field(ui::Node textField, KestraFont role) {
    return ui::withState<bool>([] { return false; },
                               [textField = std::move(textField), role](ui::Binding<bool> focused) {
                                   return ui::withEnvironment([=](const ui::Environment& env) {
                                       return PreferencesField{focused, env.enabled, role}.body(
                                           textField, keyboardUsed(env));
                                   });
                               });
}

// The label colour of a destructive action, for each scheme.
struct PreferencesDestructiveLabel {
    static ui::Color color() {
        return ui::Color::forScheme(QColor(152, 34, 27), QColor(255, 170, 160));
    }
};

// The shared look of preference buttons and menus, before the ring.
ui::Node preferenceControl(ui::Node control) {
    return control.buttonStyle(ui::ButtonStyle::bordered)
        .controlSize(ui::ControlSize::large)
        .font(font(KestraFont::support))
        .foreground(ui::Color::primary())
        .tint(ui::Color::primary());
}

} // namespace

ui::Node preferencesButtonStyle(ui::Node button) {
    return preferencesFocusRing(preferenceControl(std::move(button)), ui::Shape::capsule());
}

ui::Node preferencesMenuStyle(ui::Node menu) {
    // A menu keeps its ideal size and never stretches with its row.
    return preferencesFocusRing(preferenceControl(std::move(menu)).fixedSize(),
                                ui::Shape::capsule());
}

ui::Node preferencesDestructive(ui::Node label) {
    return label.foreground(PreferencesDestructiveLabel::color());
}

ui::Node preferencesField(ui::Node textField) {
    return field(std::move(textField), KestraFont::support);
}

ui::Node preferencesDetailField(ui::Node textField) {
    return field(std::move(textField), KestraFont::detail);
}

PreferencesStatusSymbol preferencesStatusSymbol(PreferencesStatus status, ui::ColorScheme scheme) {
    switch (status) {
    case PreferencesStatus::good:
        return {"checkmark.circle", ui::Color::tint()};
    case PreferencesStatus::info:
        return {"info.circle", BrandPalette::muted};
    case PreferencesStatus::warning:
        return {"exclamationmark.triangle", BrandPalette::warning(scheme)};
    case PreferencesStatus::waiting:
        return {"clock", BrandPalette::muted};
    }
    return {"info.circle", BrandPalette::muted};
}

ui::Node PreferencesStatusRow::body() const {
    return ui::withEnvironment([row = *this](const ui::Environment& env) {
        const PreferencesStatusSymbol mark = preferencesStatusSymbol(row.status, env.scheme);
        const ui::Node symbol = ui::symbol(mark.symbol)
                                    .foreground(mark.color)
                                    .frame(statusSymbolWidth, std::nullopt)
                                    .accessibilityHidden();

        std::vector<ui::Node> texts{
            row.title.node()
                .font(font(row.detail ? KestraFont::supportSemibold : KestraFont::support))
                .fixedSize(false, true)};
        if (row.detail)
            texts.push_back(row.detail->node()
                                .font({ui::TextStyle::title3})
                                .foreground(BrandPalette::muted)
                                .fixedSize(false, true));
        std::vector<ui::Node> column{
            ui::vstack(std::move(texts), HorizontalAlignment::leading, M::space4)
                .accessibility({.combineChildren = true})};
        if (row.hasAction)
            column.push_back(preferencesButtonStyle(row.action).padding({.top = M::space8}));

        return ui::hstack({symbol,
                           ui::vstack(std::move(column), HorizontalAlignment::leading, M::space4),
                           ui::spacer(0)},
                          ui::VerticalAlignment::top, M::space12)
            .padding(ui::EdgeInsets::vertical(M::space12))
            .accessibility({.container = true});
    });
}

} // namespace KestraUI
