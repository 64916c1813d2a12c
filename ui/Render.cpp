#include "ui/Render.h"

#include "ui/Layout.h"

#include <QBuffer>
#include <cmath>
#include <cstdlib>

namespace ui {

QImage render(const Node& view, const Environment& environment, double width, double scale) {
    const Layout layout(view, environment, ProposedSize{width, std::nullopt});
    const QSizeF size(width, std::max(1.0, layout.size().height()));
    const QSize pixels = coveredPixels(size, scale);
    QImage image = clearImage(pixels.width(), pixels.height());
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    painter.translate((size.width() - layout.size().width()) / 2, 0);
    layout.paint(painter);
    painter.end();
    return image;
}

QImage clearImage(int width, int height) {
    if (width <= 0 || height <= 0 || width > (1 << 15) || height > (1 << 15))
        return {};
    // Transparent is all zero bits in a premultiplied format.
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    void* pixels = std::calloc(std::size_t(bytesPerLine) * std::size_t(height), 1);
    if (!pixels)
        return {};
    return QImage(static_cast<uchar*>(pixels), width, height, bytesPerLine,
                  QImage::Format_ARGB32_Premultiplied, std::free, pixels);
}

QSize coveredPixels(QSizeF size, double scale) {
    return {int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale))};
}

std::optional<QRect> devicePixels(const QPainter& painter, const QRectF& rect) {
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale)
        return std::nullopt;
    const QRectF mapped = device.mapRect(rect);
    // Halves round up on both sides of zero, so that moving the device moves nothing else.
    const auto whole = [](double value) { return int(std::floor(value + 0.5)); };
    const QRect pixels(QPoint(whole(mapped.left()), whole(mapped.top())),
                       QSize(whole(mapped.right()) - whole(mapped.left()),
                             whole(mapped.bottom()) - whole(mapped.top())));
    if (pixels.isEmpty())
        return std::nullopt;
    return pixels;
}

void drawOnDevicePixels(QPainter& painter, const QRectF& rect, const QImage& image) {
    const std::optional<QRect> pixels = devicePixels(painter, rect);
    if (!pixels) {
        painter.drawImage(rect, image);
        return;
    }
    painter.save();
    // Without the painter's own transform only the device's part is left (where a widget lies
    // in the picture, the device's pixel ratio): whole device pixels map back to exact values.
    painter.resetTransform();
    painter.drawImage(painter.deviceTransform().inverted().mapRect(QRectF(*pixels)), image);
    painter.restore();
}

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

} // namespace ui
