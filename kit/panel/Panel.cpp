#include "kit/panel/Panel.h"

#include "kit/panel/KitStyle.h"
#include "kit/panel/Observe.h"
#include "kit/panel/PrivacyLine.h"
#include "kit/panel/UpdateCard.h"
#include "kit/windows/BrandBackground.h"
#include "kit/windows/BrandPalette.h"
#include "kit/windows/KestraMetrics.h"
#include "kit/windows/KestraSnapshot.h"
#include "kit/windows/PrivacyGreen.h"
#include "platform/BuildInfo.h"
#include "ui/Controls.h"

#include <QCoreApplication>
#include <memory>

namespace KestraUI {

namespace {

constexpr double dotSide = 8;
constexpr double headerIconSize = 40;
constexpr double footerButtonSide = 32;

ui::Color colourOf(const KestraPanel::Dot& dot) {
    if (const auto* colour = std::get_if<ui::Color>(&dot))
        return *colour;
    const PanelStatus status = std::get<PanelStatus>(dot);
    return detail::perScheme([status](ui::ColorScheme scheme) { return dotColor(status, scheme); });
}

ui::Node dot(ui::Color colour) {
    return ui::fill(ui::Shape::circle(), colour).frame(dotSide, dotSide).accessibilityHidden();
}

} // namespace

ui::Color dotColor(PanelStatus status, ui::ColorScheme scheme) {
    switch (status) {
    case PanelStatus::working:
        return ui::Color::fixed(PrivacyGreen::color(scheme));
    case PanelStatus::off:
        return BrandPalette::muted;
    case PanelStatus::attention:
        return BrandPalette::warning(scheme);
    case PanelStatus::recording:
        break;
    }
    ui::Environment env;
    env.scheme = scheme;
    return ui::Color::fixed(ui::Color::red().resolve(env));
}

QString footerVersionLine(const char* version) {
    const QString shown = version && *version ? QString::fromUtf8(version) : QStringLiteral("?");
    // verbatim: the version line is never looked up.
    return QStringLiteral("Norvane (") + shown + u')';
}

KestraPanel KestraPanel::withDotColor(DotColorForm form) {
    return KestraPanel{.brand = std::move(form.brand),
                       .status = std::move(form.status),
                       .dot = form.dotColor,
                       .isOn = std::move(form.isOn),
                       .privacy = std::move(form.privacy),
                       .privacySymbol = form.privacySymbol,
                       .showGuide = std::move(form.showGuide),
                       .footerAction = std::move(form.footerAction),
                       .refreshLoginItemOnAppear = &form.loginItem,
                       .isSwitchEnabled = true,
                       .content = std::move(form.content)};
}

ui::Node KestraPanel::body() const {
    using Sample = std::shared_ptr<SampleUpdateNotifier>;
    return ui::withState<Sample>(
        [] {
            // Made once per panel, on first use.
            return KestraSnapshot::contains(QStringLiteral("--snapshot-update"))
                       ? std::make_shared<SampleUpdateNotifier>()
                       : nullptr;
        },
        [panel = *this](ui::Binding<Sample> sample) {
            return ui::withEnvironment([panel, sample = sample.get()](const ui::Environment& env) {
                const QPointer<UpdateNotifier> notifier =
                    sample ? QPointer<UpdateNotifier>(sample.get()) : env.value(UpdateNotifierKey);
                const bool statusForm = std::holds_alternative<PanelStatus>(panel.dot);

                ui::Node card;
                if (notifier)
                    if (const auto offer = notifier->available())
                        // The action keeps the notifier it was made with.
                        card = UpdateCard(panel.brand, *offer, [notifier, sample] {
                                   if (notifier)
                                       notifier->setAside();
                               }).id(PanelPart::updateCard);

                ui::Node column =
                    ui::vstack({ui::Node(PanelHeader{.brand = panel.brand,
                                                     .status = panel.status,
                                                     .dotColor = colourOf(panel.dot),
                                                     .isOn = panel.isOn,
                                                     .isSwitchEnabled = panel.isSwitchEnabled})
                                    .id(PanelPart::header),
                                panel.content.id(PanelPart::content), card,
                                ui::Node(PanelFooter{.brand = panel.brand,
                                                     .privacy = panel.privacy,
                                                     .privacySymbol = panel.privacySymbol,
                                                     .showGuide = panel.showGuide,
                                                     .showPreferences = panel.showPreferences,
                                                     .preferencesFocusChanged =
                                                         panel.preferencesFocusChanged,
                                                     .footerAction = panel.footerAction})
                                    .id(PanelPart::footer)},
                               ui::HorizontalAlignment::leading, KestraMetrics::space16)
                        .padding(KestraMetrics::space16)
                        .frame(KestraMetrics::panelWidth, std::nullopt);
                if (statusForm)
                    column = column.background(BrandBackground(panel.brand.color))
                                 .tint(detail::accent(panel.brand));
                else
                    column = column.tint(std::nullopt);

                const QPointer<LoginItem> loginItem(panel.refreshLoginItemOnAppear);
                column = column.onAppear([loginItem, notifier, sample] {
                    if (loginItem)
                        loginItem->refresh();
                    if (notifier)
                        notifier->checkIfDue();
                });
                // Wrapped with or without a notifier, so that the tree keeps its shape (and
                // its view state) when one is installed later.
                return observing(notifier.data(), &UpdateNotifier::availableChanged,
                                 std::move(column));
            });
        });
}

ui::Node PanelHeader::body() const {
    const bool on = isOn.get();
    const ui::Binding<bool> binding = isOn;
    ui::Node onOff = ui::toggleSwitch(ui::verbatim(brand.name), on,
                                      [binding](bool value) { binding.set(value); })
                         .tint(detail::accent(brand))
                         .frame({.minWidth = KestraMetrics::preferenceRowMinHeight,
                                 .minHeight = KestraMetrics::preferenceRowMinHeight})
                         // Clicks anywhere in the 44 × 44 square turn the switch.
                         .contentShape(ui::Shape::rectangle())
                         .onTap([binding, on] { binding.set(!on); })
                         .disabled(!isSwitchEnabled)
                         .help(on ? QStringLiteral("Turn off") : QStringLiteral("Turn on"))
                         .id(PanelPart::onOff);
    ui::Node titles = ui::vstack({ui::verbatim(brand.name).font(font(KestraFont::heading)),
                                  ui::hstack({dot(dotColor), status.node()
                                                                 .font(font(KestraFont::detail))
                                                                 .foreground(BrandPalette::muted)
                                                                 .lineLimit(2)},
                                             ui::VerticalAlignment::center, KestraMetrics::space4)},
                                 ui::HorizontalAlignment::leading, KestraMetrics::space4);
    return ui::hstack({AppIcon(headerIconSize), titles, ui::spacer(8), onOff},
                      ui::VerticalAlignment::center, KestraMetrics::space12);
}

ui::Node PanelFooter::body() const {
    static const QString version = footerVersionLine(DewlightPlatform::BuildInfo::version);
    ui::Node separator, badge;
    if (footerAction && footerAction->badge) {
        separator = ui::verbatim(QStringLiteral("·")).accessibilityHidden();
        badge = footerAction->badge->node();
    }
    ui::Node versionLine =
        ui::hstack({ui::verbatim(version), separator, badge},
                   ui::VerticalAlignment::firstTextBaseline, KestraMetrics::space4)
            .font(font(KestraFont::versionLine))
            .foreground(BrandPalette::muted)
            .fixedSize(false, true)
            .id(PanelPart::versionLine);

    ui::Node preferences, extra;
    if (showPreferences)
        preferences = ui::Node(PanelFooterButton{.title = "Preferences",
                                                 .symbol = "gearshape",
                                                 .action = showPreferences,
                                                 .focusChanged = preferencesFocusChanged})
                          .keyboardShortcut(QKeyCombination(Qt::ControlModifier, Qt::Key_Comma))
                          .id(PanelPart::preferences);
    if (footerAction)
        extra = ui::Node(PanelFooterButton{.title = footerAction->title,
                                           .symbol = footerAction->symbol,
                                           .showsDot = footerAction->showsDot,
                                           .dotColor = detail::accent(brand),
                                           .action = footerAction->perform})
                    .id(PanelPart::footerAction);
    ui::Node guide = ui::Node(PanelFooterButton{.title = "Getting Started",
                                                .symbol = "questionmark.circle",
                                                .action = showGuide})
                         .id(PanelPart::guide);
    ui::Node quit = ui::Node(PanelFooterButton{.title = "Quit",
                                               .symbol = "power",
                                               .action = [] { QCoreApplication::quit(); }})
                        .keyboardShortcut(QKeyCombination(Qt::ControlModifier, Qt::Key_Q))
                        .id(PanelPart::quit);

    return ui::vstack({ui::divider(),
                       ui::vstack({PrivacyLine(brand), PrivacyLine(privacy, privacySymbol)},
                                  ui::HorizontalAlignment::leading, KestraMetrics::space4)
                           .font(font(KestraFont::detail)),
                       ui::hstack({versionLine, ui::spacer(), preferences, extra, guide, quit},
                                  ui::VerticalAlignment::center, KestraMetrics::space8)},
                      ui::HorizontalAlignment::leading, KestraMetrics::space12);
}

ui::Node PanelFooterButton::body() const {
    return ui::withState<bool>(
        [] { return false; },
        [button = *this](ui::Binding<bool> hovered) {
            return ui::withState<bool>(
                [] { return false; },
                [button, hovered](ui::Binding<bool> focused) {
                    return ui::withEnvironment(
                        [button, hovered, focused](const ui::Environment& env) {
                            ui::Node face =
                                ui::symbol(button.symbol)
                                    .font(font(KestraFont::footerSymbol))
                                    .frame(footerButtonSide, footerButtonSide)
                                    .background(ui::fill(ui::Shape::circle(),
                                                         hovered.get() ? BrandPalette::hover
                                                                       : BrandPalette::faint))
                                    .overlay(button.showsDot ? dot(button.dotColor) : ui::Node(),
                                             ui::Alignment::topTrailing())
                                    .contentShape(ui::Shape::circle());
                            const auto focusChanged = button.focusChanged;
                            return ui::button(face, button.action)
                                .buttonStyle(ui::ButtonStyle::plain)
                                .onHover([hovered](bool inside) { hovered.set(inside); })
                                .help(button.title.tooltip(env))
                                .accessibility({.label = button.title.resolve(env)})
                                .focused(ui::FocusBinding::of(focused))
                                .onChange<bool>(focused.get(),
                                                [focusChanged](const bool&, const bool& now) {
                                                    if (focusChanged)
                                                        focusChanged(now);
                                                })
                                .onDisappear([focusChanged] {
                                    if (focusChanged)
                                        focusChanged(false);
                                });
                        });
                });
        });
}

} // namespace KestraUI
