#pragma once

#include "ui/Environment.h"
#include "ui/Node.h"

#include <QString>
#include <vector>

namespace KestraUI {

// A text a kit view shows: a localised text (a key with its arguments, "%lld" taking an
// integer, "%@" a text), or a text shown as given (brand names, versions, key caps). Views take
// texts in this form because some of them are also tooltips and accessibility labels.
class Text {
public:
    Text() = default;
    Text(const char* key) : text_{QString::fromUtf8(key)} {}
    Text(QString key, std::vector<ui::TextArgument> arguments = {})
        : text_{std::move(key), std::move(arguments)} {}
    Text(ui::LocalizedText text) : text_(std::move(text)) {}
    static Text verbatim(QString text);

    // The text node, looked up at build time unless verbatim.
    ui::Node node() const;
    // What the node shows in `environment`.
    QString resolve(const ui::Environment& environment) const;
    // The key a tooltip looks up: the key itself when it has no arguments, otherwise the text
    // already filled in.
    QString tooltip(const ui::Environment& environment) const;

    const QString& key() const { return text_.key; }
    const std::vector<ui::TextArgument>& arguments() const { return text_.arguments; }
    bool isVerbatim() const { return verbatim_; }

    bool operator==(const Text&) const = default;

private:
    ui::LocalizedText text_;
    bool verbatim_ = false;
};

} // namespace KestraUI
