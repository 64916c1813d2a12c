#include "kit/windows/PreferencesChrome.h"

#include "kit/panel/PrivacyLine.h"
#include "kit/brand/BrandBackground.h"

namespace KestraUI {

namespace M = KestraMetrics;

ui::Color brandAccent(const KestraBrand& brand) {
    return ui::Color::forScheme(brand.accent(ui::ColorScheme::light),
                                brand.accent(ui::ColorScheme::dark));
}

ui::Node preferencesAppIcon() {
    return AppIcon(M::size48);
}

ui::Node PreferencesChrome::body() const {
    return ui::withEnvironment([chrome = *this](const ui::Environment& env) {
        // The window host watches the keys of its window: it notes the first key press since
        // the window became active and forgets it whenever the window becomes active again.
        // That record is this window's session.
        const BrandFocusSession session{env.keyboardUsed};
        const ui::Node framed = chrome.content.padding({.top = M::space16})
                                    .padding(M::space32)
                                    .frame(chrome.width, std::nullopt, ui::Alignment::topLeading())
                                    .background(BrandBackground(chrome.brand.color))
                                    .tint(brandAccent(chrome.brand));
        // Only the kit's rings show focus: the window draws no focus effect of its own.
        return keyboardUsed(framed, session.keyboardUsed).focusEffectDisabled();
    });
}

ui::Node PreferencesHeader::body() const {
    std::vector<ui::Node> parts;
    if (showsIcon)
        parts.push_back(preferencesAppIcon());
    parts.push_back(title.node()
                        .font(font(KestraFont::title))
                        .accessibility({.traits = ui::Accessibility::header}));
    return ui::hstack(std::move(parts), ui::VerticalAlignment::center, M::space12)
        .frame({.minHeight = M::size48});
}

ui::Node PreferencesLayout::body() const {
    return PreferencesChrome{brand, M::preferencesWidth,
                             ui::vstack({PreferencesHeader{title, true}, content},
                                        ui::HorizontalAlignment::leading, M::space32)
                                 .frame(M::contentWidth, std::nullopt, ui::Alignment::leading())};
}

} // namespace KestraUI
