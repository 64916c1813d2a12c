#pragma once

#include "kit/panel/Text.h"
#include "ui/Binding.h"
#include "ui/Controls.h"
#include "ui/Node.h"
#include "ui/SymbolName.h"

#include <functional>
#include <optional>
#include <vector>

namespace KestraUI {

// The looks every preference button and pop-up menu shares: bordered, large, in the support
// font and the primary colour, with the preferences focus ring.
ui::Node preferencesButtonStyle(ui::Node button);
ui::Node preferencesMenuStyle(ui::Node menu);
// The colour of a destructive button's label.
ui::Node preferencesDestructive(ui::Node label);
// A text field on a soft capsule that takes focus from a click anywhere on it (while enabled)
// and shows the focus ring after keyboard use; in the support or the detail font.
ui::Node preferencesField(ui::Node textField);
ui::Node preferencesDetailField(ui::Node textField);

// What a status row reports.
enum class PreferencesStatus { good, info, warning, waiting };

struct PreferencesStatusSymbol {
    ui::SymbolName symbol;
    ui::Color color;
};
// The symbol and colour of a status; a warning is coloured for the scheme it is shown in.
PreferencesStatusSymbol preferencesStatusSymbol(PreferencesStatus status, ui::ColorScheme scheme);

// A row that reports a condition: a coloured symbol, a title, an optional detail and an
// optional action button. Assistive technology reads it as one element that holds its button.
struct PreferencesStatusRow {
    PreferencesStatus status = PreferencesStatus::info;
    Text title;
    std::optional<Text> detail;
    bool hasAction = false;
    ui::Node action;

    PreferencesStatusRow(PreferencesStatus status, Text title, std::optional<Text> detail,
                         bool hasAction, ui::Node action)
        : status(status), title(std::move(title)), detail(std::move(detail)), hasAction(hasAction),
          action(std::move(action)) {}
    PreferencesStatusRow(PreferencesStatus status, Text title, std::optional<Text> detail)
        : PreferencesStatusRow(status, std::move(title), std::move(detail), false, ui::Node()) {}

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A pop-up choice among `options`. Its button shows the selected option's label; choosing an
// entry writes that option to `selection` and sends nothing else. Assistive technology reads
// `title` as its name and the selected option's label as its value.
template <typename Option> struct PreferencesChoiceMenu {
    Text title;
    ui::Binding<Option> selection;
    std::vector<Option> options;
    std::function<Text(const Option&)> label;

    ui::Node body() const {
        return ui::withEnvironment([menu = *this](const ui::Environment& env) {
            const Option current = menu.selection.get();
            const Text shown = menu.label(current);
            ui::Node picker = ui::picker<Option>(
                shown.node(), current, menu.options,
                [&](const Option& option) {
                    return ui::MenuItem{menu.label(option).resolve(env), false, true};
                },
                [selection = menu.selection](const Option& option) { selection.set(option); });
            return preferencesMenuStyle(std::move(picker))
                .accessibility({.label = menu.title.resolve(env), .value = shown.resolve(env)});
        });
    }
    operator ui::Node() const { return body(); }
};

} // namespace KestraUI
