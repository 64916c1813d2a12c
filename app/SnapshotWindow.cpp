#include "app/SnapshotWindow.h"

#include "kit/windows/KestraSnapshotWindow.h"
#include "ui/Host.h"

#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <cerrno>
#include <cmath>
#include <unistd.h>

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

// zlib level 1 of Qt's PNG writer, whose quality q stands for level (100 - q) * 9 / 91. The
// benchmark measured the levels on the panel: see bench/app.
constexpr int pngQuality = 85;

} // namespace

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
    auto* content = new ui::Host([view] { return view; }, environment, window);
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

std::optional<QImage> SnapshotWindow::capture(const KestraUI::KestraBrand& brand) {
    const QString title = KestraUI::KestraSnapshot::windowTitle(brand);
    QWidget* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isWindow() && window->windowTitle() == title) {
            found = window;
            break;
        }
    if (!found || found->size().isEmpty())
        return std::nullopt;
    const double ratio = found->devicePixelRatioF();
    QImage image(int(std::ceil(found->width() * ratio)), int(std::ceil(found->height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    // The window's ground is clear: only what its content paints is captured.
    found->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QByteArray SnapshotWindow::encode(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(pngQuality);
    if (!writer.write(image))
        return {};
    return bytes;
}

bool SnapshotWindow::writePNG(const QString& output, const KestraUI::KestraBrand& brand) {
    const bool toStandardOutput = output == u"-";
    if (!toStandardOutput && !isSnapshotPath(output)) {
        reportFailure();
        return false;
    }
    const std::optional<QImage> image = capture(brand);
    const QByteArray png = image ? encode(*image) : QByteArray();
    if (png.isEmpty()) {
        reportFailure();
        return false;
    }
    if (toStandardOutput) {
        if (!writeAll(STDOUT_FILENO, png.constData(), png.size())) {
            reportFailure();
            return false;
        }
        return true;
    }
    // A temporary file beside the target, synced and renamed over it: a reader sees the old
    // picture or the new one, never half of one, and a failed write leaves the old one.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
        reportFailure();
        return false;
    }
    return true;
}

void SnapshotWindow::reportFailure() {
    writeAll(STDERR_FILENO, failureLine, qsizetype(std::char_traits<char>::length(failureLine)));
}

} // namespace DewlightApp
