#pragma once

// The controls: buttons, switches, menus and pickers, and the sizes the desktop gives them.

#include "ui/Interaction.h"
#include "ui/Node.h"

#include <QSizeF>

namespace ui {

// Sizes of the desktop's controls, which the designs take from the platform and do not state.
struct ControlMetrics {
    double height;            // minimum height of a bordered control
    double horizontalPadding; // around a bordered control's label
};
ControlMetrics controlMetrics(ControlSize size);
QSizeF switchSize(ControlSize size);
// The width a text field asks for when offered none.
inline constexpr double idealTextFieldWidth = 160;
// The scroll indicator: a capsule this thick, this far from the edge, never shorter than this.
inline constexpr double scrollIndicatorThickness = 3;
inline constexpr double scrollIndicatorInset = 2;
inline constexpr double scrollIndicatorMinimum = 16;
Color scrollIndicatorColor();
// The window's focus indicator: a line this wide in this colour, this far outside the control.
Color focusIndicatorColor();
inline constexpr double focusIndicatorLineWidth = 1;
inline constexpr double focusIndicatorOutset = 4;
// What a disabled control is drawn at.
inline constexpr double disabledControlOpacity = 0.45;
// A plain button's label while pressed.
inline constexpr double pressedPlainOpacity = 0.6;

// A button in the environment's style and control size that runs `action` on a click, on Space
// or Return while focused, or by its keyboard shortcut. Drawn pressed while held and faded while
// disabled; a stop of the focus chain.
Node button(Node label, std::function<void()> action);

// A switch that shows `isOn` as given and sends the other value when used; it never shows a
// state of its own. `label` is not drawn: it names the switch for assistive technology.
Node toggleSwitch(Node label, bool isOn, std::function<void(bool)> send);

// A button that opens a menu of `items` under itself; `pick` receives the index the user chose.
// Choosing the checked entry again, or closing the menu, sends nothing.
Node menu(Node label, std::vector<MenuItem> items, std::function<void(std::size_t)> pick);

// A menu over a list of options, with a check mark on `selection`.
template <typename T>
Node picker(Node label, const T& selection, std::vector<T> options,
            std::function<MenuItem(const T&)> item, std::function<void(const T&)> send) {
    std::vector<MenuItem> items;
    items.reserve(options.size());
    for (const T& option : options) {
        MenuItem entry = item(option);
        entry.checked = option == selection;
        items.push_back(std::move(entry));
    }
    return menu(std::move(label), std::move(items),
                [options = std::move(options), selection, send = std::move(send)](std::size_t i) {
                    if (i < options.size() && !(options[i] == selection))
                        send(options[i]);
                });
}

// One line of text entry, hosted as a real line edit; `edited` gets every change the user makes,
// `submitted` runs on Return.
Node textField(QString text, std::function<void(const QString&)> edited, QString placeholder = {},
               std::function<void()> submitted = {});

} // namespace ui
