#pragma once

// The window a snapshot is drawn in, and the PNG writer its pictures go out through.

#include "kit/brand/KestraBrand.h"
#include "ui/Environment.h"
#include "ui/Node.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace DewlightApp {

// How a snapshot is compressed. Lossless whatever the values: they trade bytes for time.
struct PngSettings {
    int filters;  // libpng's PNG_FILTER_* flags; several let it choose per row
    int level;    // zlib's, 0 to 9
    int strategy; // zlib's Z_* strategy
    int memLevel; // zlib's memory for its matching state, 1 to 9
};

// Paints rows [top, top + band.height()) of a picture into `band`, a clear premultiplied image
// as wide as the picture.
using BandPainter = std::function<void(QImage& band, int top)>;

// A picture of width × height device pixels as PNG into `out`, painted band by band and turned
// into straight alpha row by row: no whole copy of the picture is ever held, nor of the file.
// False when encoding or writing fails; `out` may then hold part of the file.
bool encodePng(QIODevice& out, int width, int height, const BandPainter& paint,
               const PngSettings& settings);
// The same as bytes; empty when encoding fails.
QByteArray encodePng(int width, int height, const BandPainter& paint, const PngSettings& settings);
// The same for an image held whole.
QByteArray encodePng(const QImage& image, const PngSettings& settings);

// The window a snapshot is captured from, and the capture itself. Capturing paints the window
// into an image; it never reads the screen, so it works the same on the offscreen platform.
class SnapshotWindow {
public:
    // The one line every failure of the PNG path prints.
    static constexpr const char* failureLine = "Dewlight snapshot could not be written.\n";

    // Shows `view` laid out `width` wide, as tall as it needs, in a plain borderless clear window
    // titled for the brand, centred on the sharpest screen. Not enlarged: the capture has the
    // screen's own scale. The window is only ever captured, so it is kept off every screen and
    // never paints itself (KestraSnapshot::keepOffScreen). It replaces the one hosted before.
    static QWidget* host(const ui::Node& view, const KestraUI::KestraBrand& brand, double width,
                         const ui::Environment& environment);

    // The first of the application's windows titled for the brand; none without one.
    static QWidget* find(const KestraUI::KestraBrand& brand);

    // The snapshot window painted into an image at its own scale on a clear ground; none
    // without such a window.
    static std::optional<QImage> capture(const KestraUI::KestraBrand& brand);

    // The settings snapshots are written with, chosen by measuring them on the panel (see
    // bench/app): no filter and zlib's fastest level took about a third of the time of Qt's
    // default writer (9 ms against 28 ms) for a file 3 % larger (117 KB against 114 KB); the
    // filters only cost time on these flat, clean pictures. zlib's memory level 6 in place of 8
    // keeps 100 KB less while encoding, and was faster still (5.6 ms against 7.0 ms) for a file
    // of the same size.
    static const PngSettings pngSettings;

    // PNG bytes of a snapshot; empty when encoding fails.
    static QByteArray encode(const QImage& image);
    // A window as PNG into `out`, painted into one band of rows at a time; false when it cannot
    // be, and `out` may then hold part of the file.
    static bool encode(QWidget& window, QIODevice& out);
    // The same as bytes; empty when it cannot be.
    static QByteArray encode(QWidget& window);

    // Captures the snapshot window and writes it as PNG to `output`: "-" is standard output,
    // anything else must be an absolute path ending in ".png" (any case) and is replaced
    // atomically. Every failure reports the failure line; true when the bytes were written.
    static bool writePNG(const QString& output, const KestraUI::KestraBrand& brand);

    // Writes the failure line to standard error, and nothing else.
    static void reportFailure();
};

// Whether a "--snapshot-file" value names a file the snapshot may be written to: absolute, with
// the extension "png" in any case. A relative path is never resolved against the working folder.
bool isSnapshotPath(const QString& output);

} // namespace DewlightApp
