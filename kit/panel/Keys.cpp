#include "kit/panel/Keys.h"

#include "kit/panel/KitStyle.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/KestraFont.h"
#include "ui/Controls.h"

#include <QStringList>
#include <QTextBoundaryFinder>

namespace KestraUI {

namespace {

constexpr double capMinimum = 20;
constexpr double capPadding = 8; // each side of a key of several characters
constexpr double capRadius = 4;
constexpr double capSpacing = 4;
constexpr double keysMinHeight = 36;
constexpr double keysRadius = 8;

// Characters as a reader counts them ("Ctrl" is four, an accented letter one).
int characters(const QString& key) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, key);
    int count = 0;
    while (finder.toNextBoundary() >= 0)
        ++count;
    return count;
}

ui::Node cap(const QString& key) {
    return ui::verbatim(key)
        .font(font(KestraFont::keyCap))
        .padding(ui::EdgeInsets::horizontal(characters(key) > 1 ? capPadding : 0))
        .frame({.minWidth = capMinimum, .minHeight = capMinimum})
        .background(ui::fill(ui::Shape::roundedRectangle(capRadius), ui::Color::quaternary()));
}

QString spoken(const std::vector<QString>& keys) {
    return QStringList(keys.begin(), keys.end()).join(u' ');
}

} // namespace

ui::Node KeyCaps(std::vector<QString> keys) {
    std::vector<ui::Node> caps;
    caps.reserve(keys.size());
    for (const QString& key : keys)
        caps.push_back(cap(key));
    return ui::hstack(std::move(caps), ui::VerticalAlignment::center, capSpacing)
        .accessibility({.label = spoken(keys), .ignoreChildren = true});
}

ui::Node PanelShortcutKeys::body() const {
    return ui::withEnvironment([keys = keys, placeholder = placeholder, brand = brand,
                                isEditing = isEditing, hasConflict = hasConflict,
                                isDisabled = isDisabled,
                                editor = editor](const ui::Environment& env) {
        const ui::Color mark = hasConflict ? BrandPalette::warning(env.scheme)
                                           : ui::Color::fixed(brand.accent(env.scheme));
        const bool marked = isEditing || hasConflict;

        ui::Node status;
        if (hasConflict)
            status = ui::symbol("exclamationmark.circle");
        else if (isEditing)
            status = ui::symbol("pencil");
        if (marked)
            status = status.font(font(KestraFont::detail))
                         .foreground(mark)
                         .frame(12, std::nullopt)
                         .accessibilityHidden();
        ui::Node shown =
            placeholder
                ? placeholder->node().font(font(KestraFont::detail)).foreground(BrandPalette::muted)
                : KeyCaps(keys);
        const ui::Shape shape = ui::Shape::roundedRectangle(keysRadius);
        ui::Node area =
            ui::hstack({status, shown}, ui::VerticalAlignment::center, 4)
                .padding(ui::EdgeInsets::horizontal(8))
                .fixedSize(true, false)
                .frame({.minHeight = keysMinHeight})
                .background(ui::fill(shape, marked ? mark.opacity(0.12) : ui::Color::clear()))
                .overlay(marked ? ui::strokeBorder(shape, mark, 1) : ui::Node());

        const QString heard = placeholder ? placeholder->resolve(env) : spoken(keys);
        if (!editor)
            return area.opacity(isDisabled ? 0.5 : 1)
                .accessibility({.label = heard, .ignoreChildren = true});
        return ui::button(area.contentShape(ui::Shape::rectangle()), editor->edit)
            .buttonStyle(ui::ButtonStyle::plain)
            .disabled(isDisabled)
            .accessibility({.label = editor->label.resolve(env),
                            .value = heard,
                            .hint = editor->hint.resolve(env)})
            .help(editor->help.tooltip(env));
    });
}

} // namespace KestraUI
