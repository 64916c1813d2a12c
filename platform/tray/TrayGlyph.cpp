#include "platform/tray/TrayGlyph.h"

#include <QImage>
#include <QPixmap>
#include <cmath>

namespace DewlightPlatform {

namespace {

const QColor body(0x3A, 0xB0, 0xF5);
const QColor rim(0x08, 0x3B, 0x7A);

QImage tinted(const QImage& shape, const QColor& color) {
    QImage image(shape.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage(0, 0, shape);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

QPixmap glyph(const std::function<void(QPainter&, const QRectF&)>& drawShape, int size) {
    // The rim grows with the icon but stays at least one pixel.
    const double rimWidth = std::max(1.0, size / 16.0);
    QImage shape(size, size, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        drawShape(painter, QRectF(rimWidth, rimWidth, size - 2 * rimWidth, size - 2 * rimWidth));
    }
    QImage result(size, size, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    const QImage dark = tinted(shape, rim);
    // The rim: the shape moved a little in every direction, under the body.
    for (int step = 0; step < 16; ++step) {
        const double angle = step * M_PI / 8;
        painter.drawImage(QPointF(rimWidth * std::cos(angle), rimWidth * std::sin(angle)), dark);
    }
    painter.drawImage(0, 0, tinted(shape, body));
    painter.end();
    return QPixmap::fromImage(result);
}

} // namespace

QIcon trayGlyph(const std::function<void(QPainter&, const QRectF&)>& drawShape) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(glyph(drawShape, size));
    return icon;
}

} // namespace DewlightPlatform
