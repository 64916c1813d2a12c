#pragma once

#include "ui/Node.h"

namespace KestraUI {

// The kit draws its own keyboard focus ring. A ring shows only while its control has keyboard
// focus and the user has pressed a key in the window since the window last became active, so a
// user who only clicks never sees one.

// A window's record of keyboard use; its chrome keeps one as view state.
struct BrandFocusSession {
    bool keyboardUsed = false;

    bool operator==(const BrandFocusSession&) const = default;
};

// The keyboard-use flag in force for a view: false wherever no ancestor sets it.
bool keyboardUsed(const ui::Environment& environment);
// Sets the flag for everything inside `content`; only a window chrome writes it.
ui::Node keyboardUsed(ui::Node content, bool used);

// How far outside its control the ring lies, and how thick it is drawn.
inline constexpr double focusRingOutset = 4;
inline constexpr double focusRingLineWidth = 1;
// The explicit id of a ring's outline, which tests and pictures look for.
inline constexpr const char* focusRingId = "focusRing";

// Draws the ring around `content` when `isOn`: `shape` stroked in the focus colour, 4 points
// outside the content's frame. The ring changes no layout, takes no clicks and is not read by
// assistive technology.
struct BrandFocusRing {
    bool isOn = false;
    ui::Shape shape;

    ui::Node body(ui::Node content) const;
};
ui::Node brandFocusRing(ui::Node content, bool isOn, ui::Shape shape);

// The ring of a preference control that owns its focus: binds the focus of the first control
// inside `content` to a state of its own and shows the ring while that control is focused and
// the keyboard was used.
ui::Node preferencesFocusRing(ui::Node content, ui::Shape shape);

// The ring of a control whose caller owns the focus state and hands in its current value.
struct PreferencesRing {
    bool keyboardUsed = false;
    ui::Shape shape;
    bool focused = false;

    ui::Node body(ui::Node content) const;
};

} // namespace KestraUI
