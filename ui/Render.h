#pragma once

#include "ui/Environment.h"
#include "ui/Node.h"

#include <QByteArray>
#include <QImage>

namespace ui {

// Paints a view into an image `width` logical pixels wide and as tall as the view needs, at
// `scale` device pixels per logical pixel, with no window involved. The view is offered the width
// and its ideal height and is centred across.
QImage render(const Node& view, const Environment& environment, double width, double scale);

// A transparent premultiplied image of that many device pixels; null when it cannot be had. Its
// memory comes zeroed from the allocator, so no fill pass touches pages that nothing paints.
QImage clearImage(int width, int height);

// PNG bytes of an image; empty when encoding fails.
QByteArray encodePng(const QImage& image);

} // namespace ui
