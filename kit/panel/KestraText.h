#pragma once

#include "ui/Environment.h"
#include "ui/Node.h"

#include <QString>
#include <utility>
#include <vector>

namespace KestraUI {

// A text the caller hands a kit view: a localisation key with its arguments, or a text shown as
// given. A view draws it as a node and reads it as a string where assistive technology needs one
// (a hint, a control's name or value).
struct Text {
    QString key;
    std::vector<ui::TextArgument> arguments = {};
    bool isVerbatim = false;

    Text() = default;
    Text(QString key, std::vector<ui::TextArgument> arguments = {})
        : key(std::move(key)), arguments(std::move(arguments)) {}
    Text(const char* key) : key(QString::fromUtf8(key)) {}

    static Text verbatim(QString text) {
        Text made(std::move(text));
        made.isVerbatim = true;
        return made;
    }

    bool isEmpty() const { return key.isEmpty(); }
    ui::Node node() const { return isVerbatim ? ui::verbatim(key) : ui::text(key, arguments); }
    QString resolve(const ui::Environment& environment) const {
        return isVerbatim ? key : environment.localize(key, arguments);
    }

    bool operator==(const Text&) const = default;
};

} // namespace KestraUI
