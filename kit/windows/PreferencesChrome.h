#pragma once

#include "kit/panel/FocusRing.h"
#include "kit/panel/Text.h"
#include "kit/brand/KestraBrand.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/KestraMetrics.h"
#include "ui/Binding.h"
#include "ui/Controls.h"
#include "ui/Node.h"
#include "ui/SymbolName.h"

#include <functional>
#include <optional>
#include <vector>

namespace KestraUI {

// The outer layer of every preferences-like window: fixed width, padding, the brand
// background and tint, and the keyboard-use record that lets focus rings show only after the
// user pressed a key in the window.
struct PreferencesChrome {
    KestraBrand brand;
    double width = 0;
    ui::Node content;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The page title, with the app icon before it on a single page.
struct PreferencesHeader {
    Text title;
    bool showsIcon = false;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A single preferences page, 560 wide: the header, then one content column.
struct PreferencesLayout {
    KestraBrand brand;
    Text title;
    ui::Node content;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// One entry of a preferences sidebar.
template <typename Id> struct PreferencesPane {
    Id id;
    Text title;
    ui::SymbolName symbol;
    std::optional<Text> section = std::nullopt;   // a heading shown above this pane in the list
    std::optional<ui::Color> tint = std::nullopt; // the colour of the pane's symbol
};

namespace PreferencesPaneStyle {
inline constexpr double rowCornerRadius = 12;
inline constexpr double ringCornerRadius = 16;
inline constexpr double selectedFillOpacity = 0.25;
inline constexpr double minimumTitleScale = 0.8;
} // namespace PreferencesPaneStyle

// The sidebar's list of panes: a row per pane, with its section heading above it when set.
// A click or Space selects a row; the ring shows on the focused row after keyboard use.
template <typename Id> struct PreferencesPaneList {
    std::vector<PreferencesPane<Id>> panes;
    ui::Color accent;
    ui::Binding<Id> selection;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A sidebar preferences window, 768 wide: the app icon and the pane list on the left, the
// selected pane's title and content on the right.
template <typename Id> struct PreferencesPaneLayout {
    KestraBrand brand;
    std::vector<PreferencesPane<Id>> panes;
    ui::Binding<Id> selection;
    std::function<ui::Node(const Id&)> content;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The brand accent of either scheme, resolved when painted.
ui::Color brandAccent(const KestraBrand& brand);
// The app icon as the sidebar and the single-page header show it.
ui::Node preferencesAppIcon();

// Template definitions.

template <typename Id> ui::Node PreferencesPaneList<Id>::body() const {
    using ui::Color;
    namespace S = PreferencesPaneStyle;
    return ui::withState<std::optional<Id>>(
        [] { return std::optional<Id>(); },
        [list = *this](ui::Binding<std::optional<Id>> focus) {
            return ui::withEnvironment([list, focus](const ui::Environment& env) {
                const Id selected = list.selection.get();
                const std::optional<Id> focusedPane = focus.get();
                std::vector<ui::Node> rows;
                for (const PreferencesPane<Id>& pane : list.panes) {
                    if (pane.section)
                        rows.push_back(pane.section->node()
                                           .font(font(KestraFont::support))
                                           .foreground(Color::secondary())
                                           .padding(ui::EdgeInsets::horizontal(12))
                                           .padding({.top = 8})
                                           .accessibility({.traits = ui::Accessibility::header}));
                    const bool isSelected = selected == pane.id;
                    const ui::Shape background = ui::Shape::roundedRectangle(S::rowCornerRadius);
                    const ui::Node label =
                        ui::hstack({ui::symbol(pane.symbol)
                                        .frame(20, std::nullopt)
                                        .foreground(pane.tint.value_or(isSelected ? Color::primary()
                                                                                  : list.accent))
                                        .accessibilityHidden(),
                                    pane.title.node()
                                        .font(font(isSelected ? KestraFont::textSemibold
                                                              : KestraFont::text))
                                        .lineLimit(1)
                                        .minimumScaleFactor(S::minimumTitleScale)},
                                   ui::VerticalAlignment::center, 8)
                            .padding(ui::EdgeInsets::horizontal(12))
                            .frame(std::nullopt, KestraMetrics::paneRowHeight)
                            .background(ui::fill(
                                background, isSelected ? list.accent.opacity(S::selectedFillOpacity)
                                                       : Color::clear()))
                            .contentShape(background);
                    const ui::Binding<Id> selection = list.selection;
                    ui::Node row =
                        ui::button(label, [selection, id = pane.id] { selection.set(id); })
                            .buttonStyle(ui::ButtonStyle::plain)
                            .focused({[focus, id = pane.id] { return focus.get() == id; },
                                      [focus, id = pane.id](bool on) {
                                          if (on)
                                              focus.set(id);
                                          else if (focus.get() == id)
                                              focus.set(std::nullopt);
                                      }});
                    row = brandFocusRing(row, keyboardUsed(env) && focusedPane == pane.id,
                                         ui::Shape::roundedRectangle(S::ringCornerRadius));
                    // Always wrapped, so that selecting a row keeps its identity and focus.
                    rows.push_back(
                        row.accessibility({.traits = isSelected ? ui::Accessibility::selected
                                                                : ui::Accessibility::none}));
                }
                return ui::vstack(std::move(rows), ui::HorizontalAlignment::leading, 4);
            });
        });
}

template <typename Id> ui::Node PreferencesPaneLayout<Id>::body() const {
    const Id selected = selection.get();
    Text title = Text::verbatim(QString());
    for (const PreferencesPane<Id>& pane : panes)
        if (pane.id == selected) {
            title = pane.title;
            break;
        }
    const ui::Node sidebar =
        ui::vstack(
            {preferencesAppIcon(), PreferencesPaneList<Id>{panes, brandAccent(brand), selection}},
            ui::HorizontalAlignment::leading, KestraMetrics::space32)
            .frame(KestraMetrics::sidebarWidth, std::nullopt, ui::Alignment::topLeading());
    const ui::Node pane =
        ui::vstack({PreferencesHeader{title, false}, content(selected)},
                   ui::HorizontalAlignment::leading, KestraMetrics::space32)
            .frame(KestraMetrics::contentWidth, std::nullopt, ui::Alignment::topLeading());
    return PreferencesChrome{
        brand, KestraMetrics::sidebarWindowWidth,
        ui::hstack({sidebar, pane}, ui::VerticalAlignment::top, KestraMetrics::space32)};
}

} // namespace KestraUI
