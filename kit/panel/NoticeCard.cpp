#include "kit/panel/NoticeCard.h"

#include "kit/panel/KitStyle.h"
#include "kit/brand/BrandPalette.h"

namespace KestraUI {

ui::Node NoticeCard(ui::SymbolName symbol, Text title, Text message,
                    std::vector<ui::Node> actions) {
    const ui::Color warning = detail::perScheme(BrandPalette::warning);
    // A card without actions ends with its message: no empty row, no gap after it.
    ui::Node buttons;
    if (!actions.empty())
        buttons = ui::hstack(std::move(actions), ui::VerticalAlignment::center, 8)
                      .buttonStyle(ui::ButtonStyle::bordered)
                      .controlSize(ui::ControlSize::small);
    ui::Node stack = ui::vstack(
        {detail::label(title.node(), symbol, warning).font(font(KestraFont::detailSemibold)),
         message.node()
             .font(font(KestraFont::detail))
             .foreground(BrandPalette::muted)
             .fixedSize(false, true),
         std::move(buttons)},
        ui::HorizontalAlignment::leading, 8);
    const ui::Shape shape = ui::Shape::roundedRectangle(detail::cardRadius);
    return detail::cardFrame(std::move(stack), BrandPalette::faint)
        .background(ui::fill(shape, warning.opacity(0.12)));
}

} // namespace KestraUI
