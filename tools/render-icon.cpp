// Renders the application icon's SVG into a square PNG of the given size, for the icon theme, or
// into the raw premultiplied pixels the panel paints it from (an output ending in ".argb32"), so
// that the application never renders the SVG itself.
// Usage: dewlight-render-icon <svg> <size> <png | argb32>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <svg> <size> <png>\n", argv[0]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const int size = QByteArray(argv[2]).toInt();
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "%s: cannot render %s at %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    const QString output = QString::fromLocal8Bit(argv[3]);
    if (output.endsWith(QLatin1String(".argb32"))) {
        // Rows of 32-bit pixels in this machine's byte order, as QImage holds them: PNG would
        // round the translucent edges when its straight colours are premultiplied again.
        QFile file(output);
        const auto bytes = qint64(image.sizeInBytes());
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(image.constBits()), bytes) != bytes ||
            !file.flush()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
            return 1;
        }
        return 0;
    }
    if (!image.save(output, "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
