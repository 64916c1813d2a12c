#pragma once

#include "ui/Color.h"
#include "ui/Font.h"
#include "ui/Localization.h"

#include <QLocale>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace ui {

class HostContext;
class SymbolCatalogue;
class TextCache;

enum class TextAlignment { leading, center, trailing };

// How a button draws around its label; the desktop's default is bordered.
enum class ButtonStyle { plain, bordered, glass, prominent };
// The control sizes; each fixes a control's height and padding (ui/Controls.h).
enum class ControlSize { mini, small, regular, large, extraLarge };

// A value of a kit's or view's own that travels down the tree like the values below, declared
// beside the types it belongs to:
//     inline const ui::EnvironmentKey<std::optional<QUrl>> homeKey{std::nullopt};
// Reading a key nobody set gives its fallback. Copies of a key name the same value.
template <typename T> class EnvironmentKey {
public:
    explicit EnvironmentKey(T fallback)
        : fallback_(std::make_shared<const T>(std::move(fallback))) {}

    const T& fallback() const { return *fallback_; }
    // What identifies the key (and keeps it alive in every environment that holds a value).
    const std::shared_ptr<const void>& token() const { return token_; }

private:
    std::shared_ptr<const T> fallback_;
    std::shared_ptr<const void> token_ = fallback_;
};

// Values a view reads from its surroundings; a subtree can override any of them.
struct Environment {
    ColorScheme scheme = ColorScheme::light;
    QLocale locale = QLocale::c();
    std::optional<Color> tint = std::nullopt;
    Color foreground = Color::primary();
    Font font;
    bool enabled = true;
    bool reduceMotion = false;
    TypeSize typeSize = TypeSize::large;
    // A key was pressed in the window since it last became active: focus rings show. The host
    // keeps it; Node::ignoresKeyboardUse() reads it as false for a subtree.
    bool keyboardUsed = false;
    ButtonStyle buttonStyle = ButtonStyle::bordered;
    ControlSize controlSize = ControlSize::regular;

    // Text layout values, inherited like the font.
    std::optional<int> lineLimit = std::nullopt;
    TextAlignment multilineAlignment = TextAlignment::leading;
    double minimumScaleFactor = 1.0;

    Localizer localizer;
    std::shared_ptr<const SymbolCatalogue> symbols;
    std::shared_ptr<TextCache> textCache; // optional; kept by the window across passes
    std::shared_ptr<HostContext> host;    // set by the window host; none in pictures

    // The installed localizer, or filling the key itself where none is installed.
    Localizer localizing() const { return localizerOrFallback(localizer); }
    QString localize(const QString& key, const std::vector<TextArgument>& arguments) const {
        return localizer ? localizer(key, arguments) : fillArguments(key, arguments);
    }

    // The value of a declared key in force here, or the key's fallback.
    template <typename T> const T& value(const EnvironmentKey<T>& key) const {
        for (const KeyedValue& entry : keyed_)
            if (entry.key == key.token())
                return *static_cast<const T*>(entry.value.get());
        return key.fallback();
    }
    // Sets a declared key for this environment and everything built under it.
    template <typename T> void set(const EnvironmentKey<T>& key, std::type_identity_t<T> value) {
        auto stored = std::make_shared<const T>(std::move(value));
        for (KeyedValue& entry : keyed_)
            if (entry.key == key.token()) {
                entry.value = std::move(stored);
                return;
            }
        keyed_.push_back({key.token(), std::move(stored)});
    }

private:
    struct KeyedValue {
        std::shared_ptr<const void> key;
        std::shared_ptr<const void> value;
    };
    std::vector<KeyedValue> keyed_; // few per window: a list beats a map
};

} // namespace ui
