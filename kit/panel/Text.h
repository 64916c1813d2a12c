#pragma once

#include "ui/Environment.h"
#include "ui/Node.h"

#include <QString>
#include <vector>

namespace KestraUI {

// A text a kit view shows: a localisation key with its arguments ("%lld" takes an integer,
// "%@" a text), or a text shown as given (brand names, versions, key caps). Views take texts in
// this form because some of them are also tooltips and accessibility labels.
class Text {
public:
    Text() = default;
    Text(const char* key) : key_(QString::fromUtf8(key)) {}
    Text(QString key, std::vector<ui::TextArgument> arguments = {})
        : key_(std::move(key)), arguments_(std::move(arguments)) {}
    static Text verbatim(QString text);

    // The text node, looked up at build time unless verbatim.
    ui::Node node() const;
    // What the node shows in `environment`.
    QString resolve(const ui::Environment& environment) const;
    // The key a tooltip looks up: the key itself when it has no arguments, otherwise the text
    // already filled in.
    QString tooltip(const ui::Environment& environment) const;

    const QString& key() const { return key_; }
    const std::vector<ui::TextArgument>& arguments() const { return arguments_; }
    bool isVerbatim() const { return verbatim_; }

    bool operator==(const Text&) const = default;

private:
    QString key_;
    std::vector<ui::TextArgument> arguments_;
    bool verbatim_ = false;
};

} // namespace KestraUI
