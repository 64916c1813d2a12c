#pragma once

#include "kit/panel/Text.h"
#include "ui/Binding.h"
#include "ui/Node.h"

#include <QPointer>
#include <optional>
#include <vector>

namespace DewlightPlatform {
class LoginItem;
}

namespace KestraUI {

// The building blocks of a preferences page. Each is a view value: build it with its fields
// and use it where a node goes. None sends anything of its own; controls act through the
// bindings and closures the caller puts in them.

// A titled group that frames its rows on a faint rounded fill.
struct PreferencesGroup {
    Text title;
    std::vector<ui::Node> content; // the rows, in order, without separators

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A label column (title and optional note) beside a control; at accessibility text sizes the
// control moves under the label. `controlIsNamed`: the control itself carries the row's name
// for assistive technology (a switch whose label is the title), so title and note are not read
// again and the note becomes the control's hint.
struct PreferencesRow {
    Text title;
    std::optional<Text> note;
    bool controlIsNamed = false;
    ui::Node control;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A row whose control is a switch, named by the title.
struct PreferencesToggleRow {
    Text title;
    std::optional<Text> note;
    ui::Binding<bool> isOn;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// The "Open at Login" switch, bound to the login item: it shows what the item reports and asks
// the item for every change, so a change the desktop refuses leaves the switch where it was.
struct PreferencesLoginRow {
    QPointer<DewlightPlatform::LoginItem> item;

    explicit PreferencesLoginRow(DewlightPlatform::LoginItem& item);

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A read-only value beside its title.
struct PreferencesValueRow {
    Text title;
    Text value;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A muted explanatory line.
struct PreferencesNote {
    Text text;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// Fixed vertical space.
struct PreferencesGap {
    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

} // namespace KestraUI
