#pragma once

#include <QFont>
#include <optional>

namespace DewlightPlatform {

// The point size of the desktop's interface font, when the desktop tells Qt one. Qt's own
// stand-in when no desktop theme speaks (its generic "Sans Serif" at 9 pt) tells nothing.
std::optional<double> desktopFontPointSize(const QFont& systemFont);
// The same for this process's application font (needs a QGuiApplication).
std::optional<double> desktopFontPointSize();

} // namespace DewlightPlatform
