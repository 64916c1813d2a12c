#include "tests/support/PictureReference.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>
#include <cstdlib>

namespace DewlightTest {

namespace {

int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

// Whether the pixel differs from one of its eight neighbours.
bool onAnEdge(const QImage& image, int x, int y) {
    const QRgb here = image.pixel(x, y);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < image.width() && ny < image.height() &&
                image.pixel(nx, ny) != here)
                return true;
        }
    return false;
}

// Straight colours, as a PNG holds them: a premultiplied picture compares with its own file.
QImage straight(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool writePng(const QImage& image, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, "png");
    writer.setQuality(0); // the strongest compression: the references live in the repository
    return writer.write(straight(image));
}

} // namespace

long long unmatchedPixels(const QImage& picture, const QImage& reference, QImage* difference) {
    const QImage a = straight(picture), b = straight(reference);
    if (difference) {
        *difference = QImage(a.size().expandedTo(b.size()), QImage::Format_ARGB32);
        difference->fill(QColor(255, 0, 0));
    }
    if (a.size() != b.size()) {
        // What overlaps is still shown, so that a moved edge can be found.
        if (difference)
            for (int y = 0; y < std::min(a.height(), b.height()); ++y)
                for (int x = 0; x < std::min(a.width(), b.width()); ++x)
                    if (a.pixel(x, y) == b.pixel(x, y))
                        difference->setPixel(x, y, qRgb(qGray(b.pixel(x, y)) / 4, 0, 0));
        return -1;
    }
    long long unmatched = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int distance = channelDistance(p, q);
            const bool matches = distance == 0 || (distance <= edgeLevels && onAnEdge(b, x, y));
            if (!matches)
                ++unmatched;
            if (difference && matches) {
                const int grey = 40 + qGray(q) * qAlpha(q) / 255 / 4;
                difference->setPixel(x, y, qRgb(grey, grey, grey));
            }
        }
    return unmatched;
}

testing::AssertionResult matchesReference(const QImage& picture, const QString& name) {
    const QString reference = QStringLiteral(DEWLIGHT_PICTURE_REFERENCES "/") + name + ".png";
    const QString output = QStringLiteral(DEWLIGHT_TEST_OUTPUT_DIR "/pictures/") + name;
    if (picture.isNull())
        return testing::AssertionFailure() << "no picture was rendered for " << name.toStdString();
    if (qEnvironmentVariable("DEWLIGHT_UPDATE_PICTURES") == u"1") {
        if (!writePng(picture, reference))
            return testing::AssertionFailure() << "could not write " << reference.toStdString();
        return testing::AssertionSuccess();
    }
    const QString written = output + ".new.png", differences = output + ".difference.png";
    const QImage expected(reference);
    if (expected.isNull()) {
        writePng(picture, written);
        return testing::AssertionFailure()
               << "no reference " << reference.toStdString() << "; the new picture is "
               << written.toStdString() << " (scripts/update-pictures.sh makes the references)";
    }
    QImage difference;
    const long long unmatched = unmatchedPixels(picture, expected, &difference);
    if (unmatched == 0) {
        QFile::remove(written);
        QFile::remove(differences);
        return testing::AssertionSuccess();
    }
    writePng(picture, written);
    writePng(difference, differences);
    auto failure = testing::AssertionFailure() << name.toStdString() << ": ";
    if (unmatched < 0)
        failure << "the picture is " << picture.width() << "x" << picture.height()
                << " pixels, the reference " << expected.width() << "x" << expected.height();
    else
        failure << unmatched << " of " << (long long)picture.width() * picture.height()
                << " pixels differ from the reference";
    return failure << "\n  reference:  " << reference.toStdString()
                   << "\n  new:        " << written.toStdString()
                   << "\n  difference: " << differences.toStdString();
}

} // namespace DewlightTest
