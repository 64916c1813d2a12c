#pragma once

#include "ui/Color.h"
#include "ui/Font.h"

#include <QLocale>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace ui {

class HostContext;
class SymbolCatalogue;
class TextCache;

enum class TextAlignment { leading, center, trailing };

// How a button draws around its label; the desktop's default is bordered.
enum class ButtonStyle { plain, bordered, glass, prominent };
// The four control sizes; each fixes a control's height and padding (ui/Controls.h).
enum class ControlSize { mini, small, regular, large };

// An argument of a localised text: integers stand for "%lld", texts for "%@".
using TextArgument = std::variant<long long, QString>;

// Turns a localisation key and its arguments into the text shown.
using Localizer = std::function<QString(const QString& key, const std::vector<TextArgument>&)>;

// Fills the arguments into the key in order; what a view shows when no table is installed.
QString fillArguments(const QString& key, const std::vector<TextArgument>& arguments);

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

    QString localize(const QString& key, const std::vector<TextArgument>& arguments) const {
        return localizer ? localizer(key, arguments) : fillArguments(key, arguments);
    }
};

} // namespace ui
