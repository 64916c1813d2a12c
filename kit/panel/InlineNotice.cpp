#include "kit/panel/InlineNotice.h"

#include "kit/panel/KitStyle.h"
#include "kit/brand/BrandPalette.h"

namespace KestraUI {

namespace {

struct KindLook {
    ui::SymbolName symbol;
    ui::Color color;
};

KindLook look(NoticeKind kind) {
    switch (kind) {
    case NoticeKind::warning:
        return {"exclamationmark.triangle", detail::perScheme(BrandPalette::warning)};
    case NoticeKind::waiting:
        return {"clock", BrandPalette::muted};
    case NoticeKind::info:
        break;
    }
    return {"info.circle", BrandPalette::muted};
}

} // namespace

ui::Node InlineNotice(NoticeKind kind, Text text, std::optional<ui::Node> trailing) {
    const KindLook kindLook = look(kind);
    const bool hasTrailing = trailing.has_value();
    ui::Node notice =
        ui::hstack({ui::symbol(kindLook.symbol)
                        .foreground(kindLook.color)
                        .frame(20, std::nullopt)
                        .accessibilityHidden(),
                    text.node().fixedSize(false, true), ui::spacer(0),
                    hasTrailing ? std::move(*trailing) : ui::Node()},
                   ui::VerticalAlignment::firstTextBaseline, 12)
            .font(font(KestraFont::support))
            .padding(12)
            .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()})
            .background(ui::fill(ui::Shape::roundedRectangle(12), BrandPalette::faint));
    // Alone, the notice reads as its text; with a control, it holds the control, which stays
    // reachable by itself.
    return notice.accessibility(hasTrailing ? ui::Accessibility{.container = true}
                                            : ui::Accessibility{.combineChildren = true});
}

} // namespace KestraUI
