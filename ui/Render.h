#pragma once

#include "ui/Environment.h"
#include "ui/Node.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <optional>

namespace ui {

// Paints a view into an image `width` logical pixels wide and as tall as the view needs, at
// `scale` device pixels per logical pixel, with no window involved. The view is offered the width
// and its ideal height and is centred across.
QImage render(const Node& view, const Environment& environment, double width, double scale);

// A transparent premultiplied image of that many device pixels; null when it cannot be had. Its
// memory comes zeroed from the allocator, so no fill pass touches pages that nothing paints.
QImage clearImage(int width, int height);

// The device pixels a size covers at `scale` pixels per point, each side rounded up.
QSize coveredPixels(QSizeF size, double scale);

// `rect` with its edges rounded to whole device pixels, in device pixels; none when the painter
// rotates or shears, or nothing is left. Images are drawn there (drawOnDevicePixels): the raster
// engine rounds a fractional edge by where the device begins, so a picture painted in bands would
// show a seam wherever one crosses.
std::optional<QRect> devicePixels(const QPainter& painter, const QRectF& rect);

// Draws `image` stretched over `rect` moved onto its device pixels (devicePixels); over `rect`
// as it stands when it has none.
void drawOnDevicePixels(QPainter& painter, const QRectF& rect, const QImage& image);

// PNG bytes of an image; empty when encoding fails.
QByteArray encodePng(const QImage& image);

} // namespace ui
