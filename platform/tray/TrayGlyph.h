#pragma once

#include <QIcon>
#include <QPainter>
#include <QRectF>
#include <functional>

namespace DewlightPlatform {

// A tray icon from a monochrome symbol, legible on light and dark panels alike: the symbol's
// shape in a bright water blue inside a dark rim, the same idea as the application icon. The
// panel's own colour is unknown (a dark bar over a light desktop is common), so the glyph
// carries both contrasts itself. `drawShape` paints the symbol into the rectangle in any opaque
// colour; only its coverage is used. The icon holds the sizes trays ask for.
QIcon trayGlyph(const std::function<void(QPainter&, const QRectF&)>& drawShape);

} // namespace DewlightPlatform
