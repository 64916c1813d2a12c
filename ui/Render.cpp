#include "ui/Render.h"

#include "ui/Layout.h"

#include <QBuffer>
#include <cmath>

namespace ui {

QImage render(const Node& view, const Environment& environment, double width, double scale) {
    const Layout layout(view, environment, ProposedSize{width, std::nullopt});
    const QSizeF size(width, std::max(1.0, layout.size().height()));
    QImage image(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate((size.width() - layout.size().width()) / 2, 0);
    layout.paint(painter);
    painter.end();
    return image;
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
