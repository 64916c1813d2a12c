#include "kit/windows/WelcomeLayout.h"

#include "kit/panel/LoginItem.h"
#include "kit/panel/Observe.h"
#include "kit/panel/PrivacyLine.h"
#include "kit/panel/Rows.h"
#include "kit/windows/KestraMetrics.h"
#include "ui/Controls.h"

namespace KestraUI {

namespace M = KestraMetrics;

namespace {

constexpr double pageWidth = 480;
// The catalogue's numbered circles.
constexpr int largestCataloguedNumber = 999;
// Digits drawn in an empty circle shrink this far at most, so long numbers stay inside.
constexpr double smallestDigitScale = 0.2;

} // namespace

ui::Node WelcomeLayout::body() const {
    std::vector<ui::Node> page;
    page.push_back(AppIcon(M::welcomeIconSize));
    page.push_back(ui::vstack({title.node()
                                   .font(ui::Font{ui::TextStyle::title2}.bold())
                                   .multilineTextAlignment(ui::TextAlignment::center),
                               subtitle.node()
                                   .multilineTextAlignment(ui::TextAlignment::center)
                                   .foreground(ui::Color::secondary())
                                   .fixedSize(false, true)},
                              ui::HorizontalAlignment::center, M::space8));
    // The extra content is one child of the page, as a group: its parts keep no gap between.
    if (!extra.empty())
        page.push_back(ui::vstack(extra, ui::HorizontalAlignment::center, 0));
    page.push_back(GlassCard(M::space16, permissions));
    page.push_back(ui::vstack({PrivacyLine(brand), PrivacyLine(privacy, privacySymbol)},
                              ui::HorizontalAlignment::leading, M::space4)
                       .font(ui::Font{ui::TextStyle::callout})
                       .foreground(ui::Color::secondary())
                       .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()}));

    const QPointer<LoginItem> item = login;
    const bool enabled = item && item->enabled();
    const ui::Node loginSwitch =
        ui::hstack({ui::text(QStringLiteral("Open at Login")).accessibilityHidden(),
                    ui::toggleSwitch(ui::text(QStringLiteral("Open at Login")), enabled,
                                     [item](bool on) {
                                         if (item)
                                             item->setEnabled(on);
                                     })
                        .controlSize(ui::ControlSize::small)
                        .tint(ui::Color::fixed(brand.color))},
                   ui::VerticalAlignment::center, M::space8);
    const std::function<void()> run = start ? start : [] {};
    page.push_back(ui::hstack({loginSwitch, ui::spacer(),
                               ui::button(ui::text(QStringLiteral("Get Started")), run)
                                   .buttonStyle(ui::ButtonStyle::prominent)
                                   .tint(ui::Color::fixed(brand.color))
                                   .controlSize(ui::ControlSize::large)
                                   .keyboardShortcut(QKeyCombination(Qt::Key_Return))},
                              ui::VerticalAlignment::center, M::space16));

    ui::Node body = ui::vstack(std::move(page), ui::HorizontalAlignment::center, M::space24)
                        .padding(M::space24)
                        .frame(pageWidth, std::nullopt)
                        .onAppear([item] {
                            if (item)
                                item->refresh();
                        });
    if (!item)
        return body;
    return observing(item.data(), &LoginItem::enabledChanged, std::move(body));
}

ui::Node numberedCircle(int number) {
    if (number >= 0 && number <= largestCataloguedNumber)
        return ui::symbol(ui::SymbolName::numberedCircle(number));
    return ui::symbol("circle").overlay(ui::verbatim(QString::number(number))
                                            .font(ui::Font{ui::TextStyle::caption})
                                            .lineLimit(1)
                                            .minimumScaleFactor(smallestDigitScale)
                                            .padding(3));
}

ui::Node PermissionRow::body() const {
    ui::Node badge = isGranted ? ui::symbol("checkmark.circle.fill").foreground(ui::Color::green())
                               : numberedCircle(number).foreground(color);
    badge = badge.font(ui::Font{ui::TextStyle::title2})
                .accessibility({.label = isGranted ? QStringLiteral("Allowed")
                                                   : QStringLiteral("Not allowed yet")});

    std::vector<ui::Node> heading = {
        title.node().font(ui::Font{ui::TextStyle::headline}).fixedSize(false, true)};
    if (isOptional)
        heading.push_back(ui::text(QStringLiteral("Optional"))
                              .font(ui::Font{ui::TextStyle::callout})
                              .foreground(ui::Color::secondary()));
    std::vector<ui::Node> column = {
        ui::hstack(std::move(heading), ui::VerticalAlignment::firstTextBaseline, M::space8),
        message.node()
            .font(ui::Font{ui::TextStyle::callout})
            .foreground(ui::Color::secondary())
            .fixedSize(false, true)};
    if (!isGranted)
        column.push_back(ui::button(action.node(), perform ? perform : [] {})
                             .buttonStyle(ui::ButtonStyle::glass)
                             .controlSize(ui::ControlSize::small)
                             .padding({.top = M::space4}));
    return ui::hstack({badge, ui::vstack(std::move(column), ui::HorizontalAlignment::leading,
                                         M::space4)},
                      ui::VerticalAlignment::top, M::space12);
}

} // namespace KestraUI
