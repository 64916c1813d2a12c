#include "kit/panel/PreferencesRows.h"

#include "kit/panel/FocusRing.h"
#include "platform/login/LoginItem.h"
#include "kit/panel/Observe.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "ui/Controls.h"

namespace KestraUI {

using DewlightPlatform::LoginItem;

namespace {

namespace M = KestraMetrics;
using ui::HorizontalAlignment;
using ui::VerticalAlignment;

const ui::Font title2{ui::TextStyle::title2};
const ui::Font title3{ui::TextStyle::title3};

// Takes its ideal height, so a long text wraps onto more lines instead of being cut.
ui::Node wrapping(ui::Node text) {
    return text.fixedSize(false, true);
}

ui::Node fillingWidth(ui::Node content) {
    return content.frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()});
}

} // namespace

ui::Node PreferencesGroup::body() const {
    const ui::Node heading = title.node()
                                 .font(title2.weighted(ui::FontWeight::semibold))
                                 .accessibility({.traits = ui::Accessibility::header});
    // A stack without children answers an invalid size, so a group without rows holds
    // nothing there: its fill is then the padding alone.
    const ui::Node stacked =
        content.empty() ? ui::Node() : ui::vstack(content, HorizontalAlignment::leading, 0);
    const ui::Node rows =
        fillingWidth(stacked.padding(ui::EdgeInsets::vertical(M::space8))
                         .padding(ui::EdgeInsets::horizontal(M::space16)))
            .background(ui::fill(ui::Shape::roundedRectangle(16), BrandPalette::faint));
    return ui::vstack({heading, rows}, HorizontalAlignment::leading, M::space8);
}

ui::Node PreferencesRow::body() const {
    return ui::withEnvironment([row = *this](const ui::Environment& env) {
        std::vector<ui::Node> lines{wrapping(row.title.node().font(title3))};
        if (row.note)
            lines.push_back(
                wrapping(row.note->node().font(title3).foreground(BrandPalette::muted)));
        ui::Node label = ui::vstack(std::move(lines), HorizontalAlignment::leading, M::space4);
        if (row.controlIsNamed)
            label = label.accessibilityHidden();
        label = fillingWidth(label.fixedSize(false, true));

        ui::Node control = row.control.font(font(KestraFont::support))
                               .controlSize(ui::ControlSize::large)
                               .fixedSize();
        // Wrapped whether or not there is a hint, so that a note coming or going keeps the
        // control's identity (and its focus).
        std::optional<QString> hint;
        if (row.controlIsNamed && row.note)
            hint = row.note->resolve(env);
        control = control.accessibility({.hint = hint});

        const ui::Node arranged =
            ui::isAccessibilitySize(env.typeSize)
                ? ui::vstack({label, control}, HorizontalAlignment::trailing, M::space8)
                : ui::hstack({label, control}, VerticalAlignment::center, M::space12);
        return arranged.padding(ui::EdgeInsets::vertical(row.note ? M::space8 : M::space4))
            .frame({.minHeight = M::preferenceRowMinHeight, .alignment = ui::Alignment::center()});
    });
}

ui::Node PreferencesToggleRow::body() const {
    // The switch never draws its label: the title names it for assistive technology only.
    const ui::Node toggle =
        ui::toggleSwitch(title.node(), isOn.get(), [isOn = isOn](bool on) { isOn.set(on); });
    return PreferencesRow{title, note, true, preferencesFocusRing(toggle, ui::Shape::capsule())};
}

PreferencesLoginRow::PreferencesLoginRow(LoginItem& item) : item(&item) {}

ui::Node PreferencesLoginRow::body() const {
    const QPointer<LoginItem> watched = item;
    const ui::Binding<bool> enabled([watched] { return watched && watched->enabled(); },
                                    [watched](bool wanted) {
                                        if (watched)
                                            watched->setEnabled(wanted);
                                    });
    // The window rebuilds when the item reads back a new state, whoever changed it; a refused
    // change leaves the item, and so the switch, as it was.
    return observing(watched.data(), &LoginItem::enabledChanged,
                     PreferencesToggleRow{"Open at Login", std::nullopt, enabled});
}

ui::Node PreferencesValueRow::body() const {
    const ui::Node shown =
        value.node()
            .environment([](ui::Environment& env) { env.font.monospacedDigits = true; })
            .multilineTextAlignment(ui::TextAlignment::trailing);
    return ui::hstack({title.node().foreground(BrandPalette::muted), ui::spacer(M::space8), shown},
                      VerticalAlignment::firstTextBaseline, M::space12)
        .font(title3)
        .frame({.minHeight = 32, .alignment = ui::Alignment::center()})
        .accessibility({.combineChildren = true});
}

ui::Node PreferencesNote::body() const {
    return fillingWidth(wrapping(text.node().font(title3).foreground(BrandPalette::muted)))
        .padding({.bottom = M::space8});
}

ui::Node PreferencesGap::body() const {
    return ui::fill(ui::Shape::rectangle(), ui::Color::clear()).frame(std::nullopt, M::space16);
}

} // namespace KestraUI
