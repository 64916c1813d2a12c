#include "app/SnapshotWindow.h"

#include "kit/windows/FixedWindowContent.h"
#include "kit/windows/KestraSnapshotWindow.h"
#include "ui/Host.h"
#include "ui/Render.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace DewlightApp {

namespace {

// The window hosted for capture; a guarded pointer, so that a closed window is not deleted twice.
QPointer<QWidget>& hosted() {
    static QPointer<QWidget> window;
    return window;
}

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const auto written = ::write(fd, data, std::size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void writeBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (out->write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        png_error(png, "write failed");
}

void flushNothing(png_structp) {}

// libpng's warnings would reach standard error; a failure shows in the result instead.
void ignoreWarning(png_structp, png_const_charp) {}

[[noreturn]] void abandon(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// What `write` writes, as bytes; empty when it fails.
QByteArray bytesOf(const std::function<bool(QIODevice&)>& write) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return write(buffer) ? bytes : QByteArray();
}

} // namespace

const PngSettings SnapshotWindow::pngSettings{PNG_FILTER_NONE, 1, Z_DEFAULT_STRATEGY, 6};

bool encodePng(QIODevice& out, int width, int height, const BandPainter& paint,
               const PngSettings& settings) {
    // Qt's raster engine fills a shape of this few rows on the painting thread; at 64 rows it
    // started four helper threads for the panel's ground. Measured against 64: the same time,
    // 100 KB less at the peak.
    constexpr int bandHeight = 16;
    QImage band = ui::clearImage(width, std::min(height, bandHeight));
    if (band.isNull())
        return false;
    std::vector<png_byte> row(std::size_t(width) * 4);
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, abandon, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    // Everything that needs destroying lives outside this frame: a longjmp skips no destructor.
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, writeBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filters);
    png_set_compression_level(png, settings.level);
    png_set_compression_strategy(png, settings.strategy);
    png_set_compression_mem_level(png, settings.memLevel);
    png_write_info(png, info);
    for (int top = 0; top < height; top += band.height()) {
        // Transparent is all zero bits in the premultiplied format; QImage::fill took three
        // times as long here.
        std::memset(band.bits(), 0, std::size_t(band.sizeInBytes()));
        paint(band, top);
        for (int y = 0; y < std::min(band.height(), height - top); ++y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            png_byte* out = row.data();
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = qUnpremultiply(pixels[x]);
                *out++ = png_byte(qRed(pixel));
                *out++ = png_byte(qGreen(pixel));
                *out++ = png_byte(qBlue(pixel));
                *out++ = png_byte(qAlpha(pixel));
            }
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

QByteArray encodePng(int width, int height, const BandPainter& paint, const PngSettings& settings) {
    return bytesOf(
        [&](QIODevice& out) { return encodePng(out, width, height, paint, settings); });
}

QByteArray encodePng(const QImage& source, const PngSettings& settings) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    return encodePng(
        image.width(), image.height(),
        [&](QImage& band, int top) {
            const int rows = std::min(band.height(), image.height() - top);
            for (int y = 0; y < rows; ++y)
                std::memcpy(band.scanLine(y), image.constScanLine(top + y),
                            std::size_t(image.width()) * 4);
        },
        settings);
}

bool isSnapshotPath(const QString& output) {
    if (!output.startsWith(u'/'))
        return false;
    const QString name = output.mid(output.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    // ".png" alone is a hidden file with no extension.
    return dot > 0 && name.mid(dot + 1).toLower() == u"png";
}

QWidget* SnapshotWindow::host(const ui::Node& view, const KestraUI::KestraBrand& brand,
                              double width, const ui::Environment& environment) {
    auto* window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    KestraUI::KestraSnapshot::keepOffScreen(*window);
    // The window is the view's height rounded up: its ground fills that last part of a pixel.
    auto* content =
        new ui::Host([view] { return KestraUI::onWindowGround(view); }, environment, window);
    const QSizeF fitting = content->idealSize(width);
    const QSize size(int(std::ceil(width)), int(std::ceil(fitting.height())));
    content->setGeometry(QRect(QPoint(0, 0), size));
    window->setWindowTitle(KestraUI::KestraSnapshot::windowTitle(brand));
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setFixedSize(size);
    delete hosted().data();
    hosted() = window;
    KestraUI::KestraSnapshot::center(*window);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QWidget* SnapshotWindow::find(const KestraUI::KestraBrand& brand) {
    const QString title = KestraUI::KestraSnapshot::windowTitle(brand);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isWindow() && window->windowTitle() == title)
            return window;
    return nullptr;
}

namespace {

// The window's size in device pixels at its own scale.
QSize devicePixels(const QWidget& window) {
    return ui::coveredPixels(window.size(), window.devicePixelRatioF());
}

// Paints the window's content (its ground is clear) onto `image`, shifted up by `top` device
// pixels.
void paintWindow(QWidget& window, QImage& image, int top) {
    const double ratio = window.devicePixelRatioF();
    image.setDevicePixelRatio(ratio);
    // The window's rows that meet the image: only they are painted. Rendering puts the region's
    // top at the target's; the painter moves it on by what the whole rows added.
    const int first = int(std::floor(top / ratio));
    const int end = int(std::ceil((top + image.height()) / ratio));
    QPainter painter(&image);
    painter.translate(0, first - top / ratio);
    window.render(&painter, QPoint(), QRegion(0, first, window.width(), end - first),
                  QWidget::DrawChildren);
}

} // namespace

std::optional<QImage> SnapshotWindow::capture(const KestraUI::KestraBrand& brand) {
    QWidget* window = find(brand);
    if (!window || window->size().isEmpty())
        return std::nullopt;
    const QSize size = devicePixels(*window);
    QImage image = ui::clearImage(size.width(), size.height());
    if (image.isNull())
        return std::nullopt;
    paintWindow(*window, image, 0);
    return image;
}

bool SnapshotWindow::encode(QWidget& window, QIODevice& out) {
    const QSize size = devicePixels(window);
    if (size.isEmpty())
        return false;
    return encodePng(
        out, size.width(), size.height(),
        [&](QImage& band, int top) { paintWindow(window, band, top); }, pngSettings);
}

QByteArray SnapshotWindow::encode(QWidget& window) {
    return bytesOf([&](QIODevice& out) { return encode(window, out); });
}

QByteArray SnapshotWindow::encode(const QImage& image) {
    return encodePng(image, pngSettings);
}

bool SnapshotWindow::writePNG(const QString& output, const KestraUI::KestraBrand& brand) {
    const bool toStandardOutput = output == u"-";
    if (!toStandardOutput && !isSnapshotPath(output)) {
        reportFailure();
        return false;
    }
    QWidget* window = find(brand);
    if (!window) {
        reportFailure();
        return false;
    }
    if (toStandardOutput) {
        // Whole before any of it goes out: a failed encoding writes nothing to the output.
        const QByteArray png = encode(*window);
        if (png.isEmpty() || !writeAll(STDOUT_FILENO, png.constData(), png.size())) {
            reportFailure();
            return false;
        }
        return true;
    }
    // Written as it is encoded into a temporary file beside the target, then renamed over it: a
    // reader sees the old picture or the new one, never half of one, and a failed write leaves
    // the old one.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || !encode(*window, file) || !file.commit()) {
        reportFailure();
        return false;
    }
    return true;
}

void SnapshotWindow::reportFailure() {
    writeAll(STDERR_FILENO, failureLine, qsizetype(std::char_traits<char>::length(failureLine)));
}

} // namespace DewlightApp
