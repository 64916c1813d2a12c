#pragma once

// The panel's cards and rows: flat and glass cards, setting and action rows, the "Open at
// Login" row and the choice menu.

#include "platform/login/LoginItem.h"
#include "kit/panel/Text.h"
#include "ui/Binding.h"
#include "ui/Controls.h"
#include "ui/Node.h"

#include <QColor>
#include <functional>
#include <vector>

namespace KestraUI {

// A card with a faint flat fill: its children in a leading column `spacing` apart, padded by
// 12, as wide as offered, on a rounded rectangle of radius 16.
ui::Node PanelCard(double spacing, std::vector<ui::Node> content);
// The same card on the glass material.
ui::Node GlassCard(double spacing, std::vector<ui::Node> content);

// A symbol (secondary style), a one-line title and a control at the trailing edge, at least 8
// from the title; at least 32 high.
ui::Node SettingRow(Text title, ui::SymbolName symbol, ui::Node control);
// The same row with the symbol in `color` and any trailing view.
ui::Node ActionRow(Text title, ui::SymbolName symbol, ui::Color color, ui::Node trailing);
// The ready-made "Open at Login" row: its switch shows `item.enabled()` and turning it asks
// the item to change; it follows every change of the item, also those made elsewhere.
ui::Node OpenAtLoginRow(QColor color, DewlightPlatform::LoginItem& item);

// A compact menu choosing one of `options`; its label names the current selection (also one
// that is not among the options), and choosing an entry writes it to `selection`.
template <typename T>
ui::Node ChoiceMenu(ui::Binding<T> selection, std::vector<T> options,
                    std::function<Text(const T&)> label) {
    return ui::withEnvironment([=](const ui::Environment& env) {
        const T current = selection.get();
        return ui::picker<T>(
                   label(current).node(), current, options,
                   [&env, label](const T& option) {
                       return ui::MenuItem{.title = label(option).resolve(env), .verbatim = true};
                   },
                   [selection](const T& chosen) { selection.set(chosen); })
            .buttonStyle(ui::ButtonStyle::glass)
            .controlSize(ui::ControlSize::small)
            .fixedSize();
    });
}

} // namespace KestraUI
