#include "kit/panel/PanelActionRow.h"

#include "kit/panel/KitStyle.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "ui/Controls.h"
#include "ui/NodeImpl.h"

namespace KestraUI {

namespace {

constexpr double highlightRadius = 8;

ui::Color highlight(const PanelActionRow& row, bool isHovered) {
    if (row.isDisabled)
        return ui::Color::clear();
    if (row.hovered.value_or(isHovered))
        return ui::Color::primary().opacity(0.08);
    if (row.isSuggested)
        return ui::Color::fixed(row.brand.color).opacity(0.16);
    return ui::Color::clear();
}

// Reports where `node` lies in the row when the row carries a report; unchanged otherwise.
ui::Node measured(ui::Node node, PanelActionRowPart part, const PanelActionRow& row) {
    if (!row.onLayout)
        return node;
    return node.onGeometryChange(
        PanelActionRow::coordinateSpace,
        [report = row.onLayout, part](const QRectF& frame) { report(part, frame); });
}

ui::Node label(const PanelActionRow& row) {
    ui::Node badge;
    if (row.badge)
        badge = row.badge->node().font(font(KestraFont::detail).withMonospacedDigits());
    ui::Node texts =
        ui::hstack(
            {row.title.node().lineLimit(2).multilineTextAlignment(ui::TextAlignment::leading),
             badge},
            ui::VerticalAlignment::center, KestraMetrics::space4)
            .font(font(KestraFont::detail))
            .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()});
    texts = measured(std::move(texts), PanelActionRowPart::text, row);
    ui::Node icon = ui::symbol(row.symbol)
                        .foreground(detail::accent(row.brand))
                        .frame(20, std::nullopt)
                        .accessibilityHidden();
    icon = measured(std::move(icon), PanelActionRowPart::icon, row);
    return ui::hstack({icon, texts}, ui::VerticalAlignment::center, KestraMetrics::space12)
        .padding(KestraMetrics::space8)
        .frame({.maxWidth = ui::infinity, .minHeight = KestraMetrics::actionRowMinHeight});
}

} // namespace

ui::Node PanelActionRow::body() const {
    return ui::withState<bool>(
        [] { return false; },
        [row = *this](ui::Binding<bool> isHovered) {
            ui::Node action = label(row);
            if (row.perform) {
                action = ui::button(
                             action
                                 .background(ui::fill(ui::Shape::roundedRectangle(highlightRadius),
                                                      highlight(row, isHovered.get())))
                                 .contentShape(ui::Shape::rectangle())
                                 .focusOutline(ui::Shape::roundedRectangle(highlightRadius)),
                             row.perform)
                             .buttonStyle(ui::ButtonStyle::plain)
                             .onHover([isHovered](bool inside) { isHovered.set(inside); })
                             .disabled(row.isDisabled);
                action = ui::withEnvironment([action, value = row.value,
                                              hint = row.hint](const ui::Environment& env) {
                    return action.accessibility({.value = value ? value->resolve(env) : QString(),
                                                 .hint = hint ? hint->resolve(env) : QString()});
                });
            }
            action = measured(std::move(action), PanelActionRowPart::action, row);
            // An empty trailing view takes no place, not even the row's spacing.
            ui::Node trailing;
            if (!row.trailing.impl().isEmpty())
                trailing =
                    measured(row.trailing.layoutPriority(1), PanelActionRowPart::shortcut, row);
            return ui::hstack({action, trailing}, ui::VerticalAlignment::center,
                              KestraMetrics::space12)
                .coordinateSpace(PanelActionRow::coordinateSpace);
        });
}

} // namespace KestraUI
