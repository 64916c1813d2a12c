#include "GuiTest.h"
#include "ui/SymbolCatalogue.h"
#include "ui/SymbolName.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <set>

using namespace ui;

namespace {

class SymbolTest : public GuiTest {
protected:
    // Draws the symbol in pure red and counts the pixels it covers; -1 when drawing fails.
    // `otherHue` tells whether any pixel carries green or blue.
    static int coveredPixels(const QString& name, bool* otherHue = nullptr) {
        QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const bool drawn = catalogue.draw(painter, name, QRectF(0, 0, 32, 32), Qt::red);
        painter.end();
        if (!drawn)
            return -1;
        int covered = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb pixel = image.pixel(x, y); qAlpha(pixel) > 0) {
                    covered += qAlpha(pixel) > 200;
                    if (otherHue && (qGreen(pixel) || qBlue(pixel)))
                        *otherHue = true;
                }
        return covered;
    }
    static inline SymbolCatalogue catalogue;
};

TEST_F(SymbolTest, EveryCatalogueNameDrawsATintedSymbol) {
    for (const QString& name : SymbolCatalogue::names()) {
        bool otherHue = false;
        EXPECT_GT(coveredPixels(name, &otherHue), 10) << name.toStdString();
        EXPECT_FALSE(otherHue) << name.toStdString();
    }
}

TEST_F(SymbolTest, NumberedCirclesExistForEveryNumber) {
    for (int number : {0, 1, 9, 10, 12, 99, 100}) {
        const QString name = SymbolName::numberedCircle(number).name();
        EXPECT_TRUE(catalogue.contains(name)) << number;
        EXPECT_GT(coveredPixels(name), 10) << number;
    }
}

TEST_F(SymbolTest, UnknownNamesAreRefused) {
    for (const char* name : {"", "drop.empty", "01.circle", "circle.dashed", "1000.circle",
                             "1x.circle", "+12.circle", "12.Circle", ".circle"}) {
        EXPECT_FALSE(catalogue.contains(QString::fromLatin1(name))) << name;
        EXPECT_EQ(coveredPixels(QString::fromLatin1(name)), -1) << name;
    }
}

// Symbol names are written as literals given to ui::symbol or ui::SymbolName; each must resolve.
TEST_F(SymbolTest, EverySymbolNameInTheCodeResolves) {
    const QRegularExpression literal(
        QStringLiteral(R"re((?:symbol|SymbolName)\s*[({]\s*"([^"]*)")re"));
    std::set<QString> used;
    for (const char* folder : {"ui", "kit", "views", "app"}) {
        QDirIterator files(QStringLiteral(DEWLIGHT_SOURCE_DIR "/") + QLatin1String(folder),
                           {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            const QString source = QString::fromUtf8(file.readAll());
            for (auto match = literal.globalMatch(source); match.hasNext();) {
                const QString name = match.next().captured(1);
                used.insert(name);
                EXPECT_TRUE(catalogue.contains(name))
                    << name.toStdString() << " in " << file.fileName().toStdString();
            }
        }
    }
    EXPECT_FALSE(used.empty());
}

} // namespace
