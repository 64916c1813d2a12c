#include "kit/windows/WelcomeStepsLayout.h"

#include "kit/panel/KitStyle.h"
#include "kit/panel/PreferencesRows.h"
#include "kit/panel/PrivacyLine.h"
#include "kit/brand/BrandPalette.h"
#include "kit/windows/FixedWindowContent.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "kit/windows/PreferencesChrome.h"
#include "kit/brand/PrivacyGreen.h"

#include <algorithm>

namespace KestraUI {

namespace M = KestraMetrics;
namespace S = WelcomeStepsStyle;

namespace {

struct Heights {
    double step = 0;
    double footer = 0;
    bool operator==(const Heights&) const = default;
};

ui::Node stepMark(const WelcomeStepsLayout& page) {
    ui::Node mark;
    if (page.isStepDone)
        mark = ui::symbol("checkmark.circle.fill")
                   .foreground(ui::Color::forScheme(PrivacyGreen::color(ui::ColorScheme::light),
                                                    PrivacyGreen::color(ui::ColorScheme::dark)));
    else
        mark = ui::verbatim(QString::number(page.step))
                   .frame(S::markSize, S::markSize)
                   .background(ui::fill(ui::Shape::circle(),
                                        detail::accent(page.brand).opacity(S::markFillOpacity)));
    return mark.font(font(KestraFont::supportSemibold))
        .frame(S::markSize, S::markSize)
        .accessibilityHidden();
}

ui::Node progress(const WelcomeStepsLayout& page) {
    std::vector<ui::Node> dots;
    const int count = std::max(page.stepCount, 1);
    for (int number = 1; number <= count; ++number)
        dots.push_back(ui::fill(ui::Shape::circle(), number == page.step
                                                         ? detail::accent(page.brand)
                                                         : BrandPalette::hover)
                           .frame(S::dotSize, S::dotSize));
    return ui::hstack({page.stepLabel->node()
                           .font(font(KestraFont::support))
                           .foreground(BrandPalette::muted),
                       ui::hstack(std::move(dots), ui::VerticalAlignment::center, M::space8)
                           .accessibilityHidden()
                           .id(QString::fromLatin1(S::dotsId))},
                      ui::VerticalAlignment::center, M::space8)
        .fixedSize();
}

ui::Node stepPart(const WelcomeStepsLayout& page) {
    const ui::Node header = ui::vstack(
        {ui::hstack({AppIcon(M::size48), page.title.node()
                                             .font(font(KestraFont::title))
                                             .fixedSize(false, true)
                                             .accessibility({.traits = ui::Accessibility::header})},
                    ui::VerticalAlignment::center, M::space12)
             .frame({.minHeight = M::size48}),
         page.lead.node()
             .font(font(KestraFont::support))
             .foreground(BrandPalette::muted)
             .fixedSize(false, true)},
        ui::HorizontalAlignment::leading, M::space8);

    std::vector<ui::Node> row = {stepMark(page),
                                 page.stepTitle.node()
                                     .font(font(KestraFont::textSemibold))
                                     .fixedSize(false, true)
                                     .accessibility({.traits = ui::Accessibility::header}),
                                 ui::spacer(M::space8)};
    if (page.stepLabel)
        row.push_back(progress(page));
    const ui::Node card =
        ui::vstack({page.card}, ui::HorizontalAlignment::leading, 0)
            .padding(ui::EdgeInsets::vertical(M::space8))
            .padding(ui::EdgeInsets::horizontal(M::space16))
            .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()})
            .background(ui::fill(ui::Shape::roundedRectangle(detail::cardRadius),
                                 BrandPalette::faint));
    const ui::Node step =
        ui::vstack({ui::hstack(std::move(row), ui::VerticalAlignment::center, M::space8), card},
                   ui::HorizontalAlignment::leading, M::space8);

    const ui::Node privacy =
        ui::vstack({PrivacyLine(page.brand), PrivacyLine(page.privacy, page.privacySymbol)},
                   ui::HorizontalAlignment::leading, M::space4)
            .font(font(KestraFont::support));

    return ui::vstack({header, step, privacy}, ui::HorizontalAlignment::leading, M::space32)
        .frame(M::contentWidth, std::nullopt, ui::Alignment::leading());
}

ui::Node footer(const WelcomeStepsLayout& page) {
    std::vector<ui::Node> buttons;
    if (page.skip)
        buttons.push_back(WelcomeButton{*page.skip, page.brand, false});
    buttons.push_back(ui::spacer(0));
    if (page.back)
        buttons.push_back(WelcomeButton{*page.back, page.brand, false});
    buttons.push_back(ui::Node(WelcomeButton{page.primary, page.brand, true})
                          .keyboardShortcut(QKeyCombination(Qt::Key_Return)));

    std::vector<ui::Node> parts = {
        PreferencesToggleRow{Text("Open at Login"), std::nullopt, page.opensAtLogin},
        ui::hstack(std::move(buttons), ui::VerticalAlignment::center, M::space12)};
    if (page.note)
        parts.push_back(page.note->node()
                            .font(font(KestraFont::support))
                            .foreground(BrandPalette::muted)
                            .fixedSize(false, true));
    return ui::vstack(std::move(parts), ui::HorizontalAlignment::leading, M::space16);
}

} // namespace

ui::Node WelcomeStepsLayout::body() const {
    return ui::withState<Heights>([] { return Heights{}; }, [page = *this](
                                                                ui::Binding<Heights> heights) {
        return ui::withEnvironment([page, heights](const ui::Environment& env) {
            const Heights now = heights.get();
            const ui::Node step =
                stepPart(page)
                    .onSizeChange([heights](QSizeF size) {
                        Heights next = heights.get();
                        next.step = size.height();
                        heights.set(next);
                    })
                    .id(QString::fromLatin1(S::stepPartId));
            const ui::Node bottom = footer(page)
                                        .onSizeChange([heights](QSizeF size) {
                                            Heights next = heights.get();
                                            next.footer = size.height();
                                            heights.set(next);
                                        })
                                        .id(QString::fromLatin1(S::footerId));
            const ui::Node fitted =
                ui::firstThatFits(
                    {ui::vstack({step, bottom}, ui::HorizontalAlignment::leading, S::partGap),
                     ui::vstack({ui::scrollView(step), bottom}, ui::HorizontalAlignment::leading,
                                S::partGap)})
                    .frame(M::contentWidth, std::nullopt, ui::Alignment::topLeading());

            const std::optional<FixedWindowSizeReport> window = fixedWindowIdealSize(env);
            const ui::Node chrome = PreferencesChrome{page.brand, M::windowWidth, fitted};
            return chrome.onChange<double>(
                welcomeStepsIdealHeight(now.step, now.footer),
                [heights, window](const double&, const double& ideal) {
                    const Heights measured = heights.get();
                    if (measured.step > 0 && measured.footer > 0 && window && window->report)
                        window->report(QSizeF(M::windowWidth, ideal));
                },
                true);
        });
    });
}

} // namespace KestraUI
