#pragma once

#include "kit/panel/Text.h"
#include "kit/brand/KestraBrand.h"
#include "ui/Node.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace KestraUI {

// A row of small rounded caps, one per key, in order ("Ctrl", "Z"). The keys are shown as
// given. Assistive technology reads one element: the keys joined by a space.
ui::Node KeyCaps(std::vector<QString> keys);

// The trailing view of an action row: the keys of its shortcut as caps, or a placeholder text.
// Marked (tinted fill and border) while the shortcut is being edited or is in conflict; given an
// editor, a button that starts editing.
struct PanelShortcutKeys {
    struct Editor {
        Text label; // accessibility label
        Text hint;  // accessibility hint
        Text help;  // tooltip
        std::function<void()> edit;
    };

    std::vector<QString> keys;
    std::optional<Text> placeholder = std::nullopt; // shown and spoken instead of the keys
    KestraBrand brand;
    bool isEditing = false;
    bool hasConflict = false;
    bool isDisabled = false;
    std::optional<Editor> editor = std::nullopt;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

} // namespace KestraUI
