#pragma once

// The panel's action row: a symbol, a title and its shortcut, drawn as one button.

#include "kit/panel/Text.h"
#include "kit/brand/KestraBrand.h"
#include "ui/Node.h"

#include <QRectF>
#include <functional>
#include <optional>

namespace KestraUI {

// The parts of an action row that can report where they lie.
enum class PanelActionRowPart { action, icon, text, shortcut };

// A full-width panel row: a brand-tinted symbol, a title of at most two lines with an optional
// badge, and a trailing view (usually PanelShortcutKeys) that keeps its width when space runs
// short. With `perform` it is a flat button lit while hovered (or while `hovered` says so) and
// tinted while suggested, never while disabled; without it, a plain label of the same shape.
struct PanelActionRow {
    // The name of the coordinate space the layout reports are in.
    static inline const QString coordinateSpace = QStringLiteral("kestraUI.panelActionRow");

    Text title;
    ui::SymbolName symbol;
    KestraBrand brand;
    bool isDisabled = false;
    // When set, replaces the row's own hover tracking.
    std::optional<bool> hovered = std::nullopt;
    bool isSuggested = false;
    std::optional<Text> badge = std::nullopt;
    std::optional<Text> value = std::nullopt; // accessibility value
    std::optional<Text> hint = std::nullopt;  // accessibility hint
    std::function<void()> perform = {};
    // Where each part lies in the row's coordinate space, on each change.
    std::function<void(PanelActionRowPart, QRectF)> onLayout = {};
    ui::Node trailing = {};

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

} // namespace KestraUI
