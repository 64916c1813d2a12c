#include "ui/Render.h"

#include "GuiTest.h"
#include "ui/Layout.h"
#include "ui/NodeImpl.h"

#include <QFile>
#include <QPainter>
#include <cmath>
#include <cstring>

using namespace ui;

namespace {

class RenderTest : public GuiTest {};

Node sampleCard() {
    return vstack({hstack({symbol("drop.fill").foreground(Color::tint()),
                           verbatim("Drink some water").font({TextStyle::headline})},
                          VerticalAlignment::firstTextBaseline, 8),
                   verbatim("A range, not a goal. Reminders come only during your working hours, "
                            "and stop once you had enough.")
                       .foreground(Color::primary().opacity(0.7)),
                   divider(), verbatim("Version 0.1.0").font({TextStyle::caption})},
                  HorizontalAlignment::leading, 12)
        .padding(12)
        .frame({.maxWidth = infinity, .alignment = Alignment::leading()})
        .background(fill(Shape::roundedRectangle(16), Color::primary().opacity(0.06)))
        .padding(16)
        .frame(240, std::nullopt);
}

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

TEST_F(RenderTest, SampleCardRendersToPngAtBothScales) {
    const Environment env = environment();
    const double height = Layout(sampleCard(), env, {240.0, std::nullopt}).size().height();
    for (double scale : {1.0, 2.0}) {
        const QImage image = render(sampleCard(), env, 240, scale);
        EXPECT_EQ(image.width(), int(240 * scale));
        EXPECT_EQ(image.height(), int(std::ceil(height * scale)));
        EXPECT_GT(opaquePixels(image), image.width() * image.height() / 4) << scale;

        const QByteArray png = encodePng(image);
        ASSERT_FALSE(png.isEmpty());
        QFile file(QStringLiteral(DEWLIGHT_TEST_OUTPUT_DIR "/sample-card@%1x.png").arg(int(scale)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(png);
        file.close();
        const QImage back(file.fileName());
        EXPECT_EQ(back.size(), image.size());
    }
}

// Paints `layout` at `scale` into bands of `rows` device pixels, each clipped to itself as a
// snapshot's are, and stacks them into one picture.
QImage paintedInBands(const Layout& layout, double scale, int rows) {
    const QSize size(int(std::ceil(layout.size().width() * scale)),
                     int(std::ceil(layout.size().height() * scale)));
    QImage whole = clearImage(size.width(), size.height());
    for (int top = 0; top < size.height(); top += rows) {
        QImage band = clearImage(size.width(), rows);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            painter.setClipRect(QRect(0, top, size.width(), rows));
            painter.scale(scale, scale);
            layout.paint(painter);
        }
        for (int y = 0; y < rows && top + y < size.height(); ++y)
            std::memcpy(whole.scanLine(top + y), band.constScanLine(y),
                        std::size_t(size.width()) * 4);
    }
    return whole;
}

// The first row where two pictures of one size differ; -1 when none does.
int firstRowThatDiffers(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 4) != 0)
            return y;
    return -1;
}

TEST_F(RenderTest, APicturePaintedInBandsEqualsItPaintedWhole) {
    // Off whole pixels on purpose: the raster engine rounds such an edge by where the device
    // begins, so a band starting inside a symbol or an image showed it shifted by a row. A band
    // skips the leaves outside it; the text's glyphs and the stroke reach past their frames.
    QImage pattern(30, 30, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            pattern.setPixel(x, y, qRgb(x * 8, y * 8, (x + y) * 4));
    const Node view = vstack({symbol("drop.fill").frame(17.3, 17.3).padding(0.35),
                              image(pattern, true).frame(21.7, 19.1).padding(0.6),
                              verbatim(QStringLiteral("Ågjy")),
                              strokeBorder(Shape::circle(), Color::black(), 3).frame(9.2, 9.2),
                              symbol("gearshape").frame(13.4, 13.4)},
                             HorizontalAlignment::leading, 0.45);
    const Layout layout(view, environment(), ProposedSize::unspecified());
    for (double scale : {1.0, 1.5, 2.0}) {
        const QImage whole = paintedInBands(layout, scale, 1 << 12);
        for (int rows : {3, 7, 16})
            EXPECT_EQ(firstRowThatDiffers(paintedInBands(layout, scale, rows), whole), -1)
                << "scale " << scale << ", bands of " << rows;
    }
}

// A leaf that counts the times it is painted.
class CountedLeaf final : public NodeImpl {
public:
    explicit CountedLeaf(int& paints) : paints_(paints) {}
    Dimensions measure(const Element&, const ProposedSize&) const override {
        return {QSizeF(10, 10), std::nullopt};
    }
    void paint(QPainter&, const Element&) const override { ++paints_; }

private:
    int& paints_;
};

TEST_F(RenderTest, ABandPaintsOnlyTheLeavesThatReachIt) {
    // Leaves 10 high, 20 apart: tops at 0, 20, 40 and 60.
    std::vector<int> paints(4, 0);
    std::vector<Node> leaves;
    for (int& count : paints)
        leaves.push_back(Node(std::make_shared<CountedLeaf>(count)));
    const Layout layout(vstack(std::move(leaves), HorizontalAlignment::center, 10), environment(),
                        ProposedSize::unspecified());
    struct Case {
        double top, height;
        std::vector<int> painted;
    };
    const Case cases[] = {
        {0, 10, {1, 0, 0, 0}},  // the first alone
        {21, 6, {0, 1, 0, 0}},  // inside the second
        {32, 4, {0, 1, 1, 0}},  // in the gap, near enough to both for their ink
        {-50, 20, {0, 0, 0, 0}}, // above them all
    };
    for (const Case& c : cases) {
        std::fill(paints.begin(), paints.end(), 0);
        QImage band = clearImage(20, int(c.height));
        QPainter painter(&band);
        painter.translate(0, -c.top);
        painter.setClipRect(QRectF(0, c.top, 20, c.height));
        layout.paint(painter);
        EXPECT_EQ(paints, c.painted) << "band at " << c.top;
    }
    // Unclipped, everything is painted.
    std::fill(paints.begin(), paints.end(), 0);
    QImage whole = clearImage(20, 70);
    QPainter painter(&whole);
    layout.paint(painter);
    EXPECT_EQ(paints, std::vector<int>(4, 1));
}

TEST_F(RenderTest, SchemeColoursResolveWhenPainted) {
    const Node swatch = fill(Shape::rectangle(), Color::primary()).frame(4, 4);
    Environment light = environment();
    Environment dark = environment();
    dark.scheme = ColorScheme::dark;
    const QColor inLight = render(swatch, light, 4, 1).pixelColor(2, 2);
    const QColor inDark = render(swatch, dark, 4, 1).pixelColor(2, 2);
    EXPECT_LT(inLight.lightness(), 60);
    EXPECT_GT(inDark.lightness(), 200);
}

TEST_F(RenderTest, TintAndOpacityReachTheirSubtree) {
    Environment env = environment();
    const Node tinted = fill(Shape::rectangle(), Color::tint())
                            .frame(4, 4)
                            .tint(Color::fixed(QColor(10, 158, 194)));
    EXPECT_EQ(render(tinted, env, 4, 1).pixelColor(2, 2), QColor(10, 158, 194));
    const Node faded = fill(Shape::rectangle(), Color::black()).frame(4, 4).opacity(0.5);
    EXPECT_NEAR(render(faded, env, 4, 1).pixelColor(2, 2).alphaF(), 0.5, 0.01);
}

TEST_F(RenderTest, AScrollViewShowsItsIndicatorOnlyWhileItsContentOverflows) {
    const Environment env = environment();
    auto view = [](double contentHeight) {
        return scrollView(fill(Shape::rectangle(), Color::clear()).frame(60, contentHeight))
            .frame(60, 50);
    };
    // Near the trailing edge, inside the indicator's track.
    const QColor overflowing = render(view(200), env, 60, 1).pixelColor(56, 10);
    const QColor fitting = render(view(40), env, 60, 1).pixelColor(56, 10);
    EXPECT_GT(overflowing.alpha(), 0);
    EXPECT_EQ(fitting.alpha(), 0);
}

} // namespace
