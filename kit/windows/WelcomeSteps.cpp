#include "kit/windows/WelcomeSteps.h"

#include "kit/panel/FocusRing.h"
#include "kit/panel/KitStyle.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "kit/brand/PrivacyGreen.h"
#include "ui/Controls.h"

namespace KestraUI {

namespace M = KestraMetrics;

namespace {

// A button title is never shorter than this.
constexpr double buttonLabelMinHeight = 25;
// The fill of a disabled prominent button.
constexpr double disabledFillOpacity = 0.5;

ui::Color privacyGreen() {
    return ui::Color::forScheme(PrivacyGreen::color(ui::ColorScheme::light),
                                PrivacyGreen::color(ui::ColorScheme::dark));
}

ui::Color warning() {
    return detail::perScheme(BrandPalette::warning);
}

} // namespace

ui::Node WelcomeButton::body() const {
    const ui::Shape capsule = ui::Shape::capsule();
    ui::Node label = button.title.node()
                         .lineLimit(1)
                         .fixedSize()
                         .frame({.minHeight = buttonLabelMinHeight});
    const std::function<void()> action = button.action ? button.action : [] {};
    if (!prominent) {
        ui::Node bordered = ui::button(label.font(font(KestraFont::support))
                                           .foreground(ui::Color::primary()),
                                       action)
                                .buttonStyle(ui::ButtonStyle::bordered)
                                .controlSize(ui::ControlSize::extraLarge)
                                .disabled(button.isDisabled);
        return preferencesFocusRing(bordered, capsule);
    }
    // One capsule of the brand colour, drawn here rather than by the button style, so that a
    // disabled button keeps its fill at exactly half strength.
    const ui::ControlMetrics metrics = ui::controlMetrics(ui::ControlSize::extraLarge);
    const WelcomeButtonLabel labelColour{brand};
    ui::Node title = ui::withEnvironment([label, labelColour](const ui::Environment& env) {
        return label.font(font(KestraFont::supportSemibold))
            .foreground(ui::Color::fixed(labelColour.resolve(env)));
    });
    ui::Node filled = ui::button(title.padding(ui::EdgeInsets::horizontal(metrics.horizontalPadding))
                                     .frame({.minHeight = metrics.height})
                                     .contentShape(capsule),
                                 action)
                          .buttonStyle(ui::ButtonStyle::plain)
                          .controlSize(ui::ControlSize::extraLarge)
                          .tint(ui::Color::fixed(brand.color))
                          .disabled(button.isDisabled)
                          .background(ui::fill(capsule, ui::Color::fixed(brand.color).opacity(
                                                            button.isDisabled ? disabledFillOpacity
                                                                              : 1.0)));
    return preferencesFocusRing(filled, capsule);
}

ui::Node welcomeStepMark(WelcomeStepState state) {
    switch (state) {
    case WelcomeStepState::todo:
        return ui::symbol("circle").foreground(BrandPalette::muted);
    case WelcomeStepState::done:
        return ui::symbol("checkmark.circle.fill").foreground(privacyGreen());
    case WelcomeStepState::attention:
        return ui::symbol("exclamationmark.triangle").foreground(warning());
    }
    return ui::symbol("circle").foreground(BrandPalette::muted);
}

ui::Node WelcomeStepRow::body() const {
    std::vector<ui::Node> column;
    column.push_back(
        detail.font(font(KestraFont::support)).foreground(BrandPalette::muted).fixedSize(false, true));
    if (state == WelcomeStepState::done && celebration)
        column.push_back(celebration->node()
                             .font(font(KestraFont::supportSemibold))
                             .foreground(privacyGreen())
                             .fixedSize(false, true));
    if (state != WelcomeStepState::done && action)
        column.push_back(ui::Node(WelcomeButton{*action, brand, false}).padding({.top = M::space4}));
    return ui::hstack({welcomeStepMark(state).frame(20, std::nullopt).accessibilityHidden(),
                       ui::vstack(std::move(column), ui::HorizontalAlignment::leading, M::space8)
                           .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()})},
                      ui::VerticalAlignment::top, M::space12)
        .font(font(KestraFont::support))
        .padding(ui::EdgeInsets::vertical(M::space12));
}

ui::Node WelcomeStepDetail::body() const {
    return ui::vstack(content, ui::HorizontalAlignment::leading, spacing)
        .font(font(KestraFont::support))
        .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()})
        .padding({.leading = M::space32})
        .padding({.bottom = M::space12});
}

} // namespace KestraUI
