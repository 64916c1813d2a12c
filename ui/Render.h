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

// PNG bytes of an image; empty when encoding fails.
QByteArray encodePng(const QImage& image);

} // namespace ui
