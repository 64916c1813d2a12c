#include "KitFixture.h"

#include "ui/TreeQuery.h"

#include <QPainter>

const ui::Element* KitTest::findText(const ui::Element& root, const QString& text) {
    const ui::Element* found = nullptr;
    ui::visit(root, [&](const ui::Element& e) {
        if (!found && e.children.empty() && e.text == text)
            found = &e;
    });
    return found;
}

std::vector<const ui::Element*> KitTest::texts(const ui::Element& root) {
    std::vector<const ui::Element*> found;
    ui::visit(root, [&](const ui::Element& e) {
        if (e.children.empty() && !e.text.isEmpty())
            found.push_back(&e);
    });
    return found;
}

testing::AssertionResult near(const QColor& actual, const QColor& expected, int tolerance) {
    const QColor a = actual.toRgb(), e = expected.toRgb();
    // Painting stores premultiplied colours: compare what shows, not the raw channels.
    auto premultiplied = [](const QColor& c, int channel) { return channel * c.alpha() / 255; };
    const bool close =
        std::abs(a.alpha() - e.alpha()) <= tolerance &&
        std::abs(premultiplied(a, a.red()) - premultiplied(e, e.red())) <= tolerance &&
        std::abs(premultiplied(a, a.green()) - premultiplied(e, e.green())) <= tolerance &&
        std::abs(premultiplied(a, a.blue()) - premultiplied(e, e.blue())) <= tolerance;
    if (close)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << a.name(QColor::HexArgb).toStdString() << " is not "
                                       << e.name(QColor::HexArgb).toStdString();
}

QColor strongest(const QImage& image, const QRectF& rect) {
    const double scale = image.devicePixelRatio();
    const QRect pixels =
        QRectF(rect.topLeft() * scale, rect.size() * scale).toAlignedRect() & image.rect();
    QColor best(0, 0, 0, 0);
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.alpha() > best.alpha())
                best = c;
    return best;
}

QColor stacked(const std::vector<QColor>& layers) {
    QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
    pixel.fill(Qt::transparent);
    QPainter painter(&pixel);
    for (const QColor& layer : layers)
        painter.fillRect(QRect(0, 0, 1, 1), layer);
    painter.end();
    return pixel.pixelColor(0, 0);
}

testing::AssertionResult inked(const QColor& actual, const QColor& expected, int tolerance) {
    const QColor a = actual.toRgb(), e = expected.toRgb();
    if (a.alpha() > 128 && std::abs(a.red() - e.red()) <= tolerance &&
        std::abs(a.green() - e.green()) <= tolerance && std::abs(a.blue() - e.blue()) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << a.name(QColor::HexArgb).toStdString() << " is no ink of "
                                       << e.name(QColor::HexRgb).toStdString();
}
