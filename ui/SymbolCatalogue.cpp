#include "ui/SymbolCatalogue.h"

#include "ui/Font.h"
#include "ui/Render.h"
#include "ui/SymbolTable.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <cmath>

namespace ui {

namespace {

const detail::SymbolEntry* entry(const QString& name) {
    for (const auto& e : detail::symbolTable)
        if (name == QLatin1String(e.name))
            return &e;
    return nullptr;
}

// "12.circle": numbered circles beyond the bundled 0 to 9, 10 to 999 without a leading zero.
// Read by hand: a regular expression would load and compile a matcher for every symbol drawn.
int drawnNumber(const QString& name) {
    const QLatin1String suffix(".circle");
    if (!name.endsWith(suffix))
        return -1;
    const QStringView digits = QStringView(name).left(name.size() - suffix.size());
    if (digits.size() < 2 || digits.size() > 3 || digits.front() == u'0')
        return -1;
    int number = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

// The drawn symbols work in the 16 × 16 grid of the icon set, stroked 1 unit wide like it.
void drawRaisedHand(QPainter& painter) {
    QPainterPath hand;
    auto finger = [&](double x, double top) {
        QPainterPath f;
        f.addRoundedRect(QRectF(x, top, 2.2, 9.5 - top + 2), 1.1, 1.1);
        hand = hand.united(f);
    };
    finger(4.3, 2.6);
    finger(6.6, 1.2);
    finger(8.9, 1.8);
    finger(11.2, 3.4);
    QPainterPath palm;
    palm.addRoundedRect(QRectF(4.3, 7.0, 9.1, 8.0), 3.6, 3.6);
    hand = hand.united(palm);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.1, -1.1, 2.2, 6.0), 1.1, 1.1);
    thumb = QTransform().translate(2.6, 7.6).rotate(-38).map(thumb);
    hand = hand.united(thumb).simplified();
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(hand);
}

void drawNumberedCircle(QPainter& painter, int number) {
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    const QString digits = QString::number(number);
    QFont font(QString::fromLatin1(uiFontFamily));
    font.setWeight(QFont::DemiBold);
    font.setPixelSize(digits.size() > 2 ? 6 : 8);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double width = metrics.horizontalAdvance(digits);
    painter.drawText(QPointF(8 - width / 2, 8 + metrics.capHeight() / 2), digits);
}

} // namespace

SymbolCatalogue::SymbolCatalogue() = default;
SymbolCatalogue::~SymbolCatalogue() = default;

std::vector<QString> SymbolCatalogue::names() {
    std::vector<QString> result;
    for (const auto& e : detail::symbolTable)
        result.push_back(QString::fromLatin1(e.name));
    return result;
}

bool SymbolCatalogue::contains(const QString& name) const {
    return entry(name) != nullptr || drawnNumber(name) > 0;
}

QSvgRenderer* SymbolCatalogue::renderer(const QString& file) const {
    auto found = renderers_.find(file);
    if (found == renderers_.end()) {
        auto svg =
            std::make_unique<QSvgRenderer>(QStringLiteral(":/dewlight/symbols/%1.svg").arg(file));
        found = renderers_.emplace(file, svg->isValid() ? std::move(svg) : nullptr).first;
    }
    return found->second.get();
}

bool SymbolCatalogue::draw(QPainter& painter, const QString& name, const QRectF& rect,
                           const QColor& color) const {
    const detail::SymbolEntry* e = entry(name);
    const int number = drawnNumber(name);
    QSvgRenderer* svg = e && *e->file ? renderer(QString::fromLatin1(e->file)) : nullptr;
    if ((e && *e->file && !svg) || (!e && number < 0))
        return false;
    if (rect.isEmpty())
        return true;

    // Draw the mask at device resolution, then tint it: the set draws in one colour only.
    const std::optional<QRect> pixels = devicePixels(painter, rect);
    const double scale =
        std::max(1.0, std::hypot(painter.deviceTransform().m11(), painter.deviceTransform().m12()));
    const QSize size = pixels ? pixels->size()
                              : QSize(int(std::ceil(rect.width() * scale)),
                                      int(std::ceil(rect.height() * scale)));
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        const double side = std::min(mask.width(), mask.height());
        const QRectF box((mask.width() - side) / 2, (mask.height() - side) / 2, side, side);
        if (svg) {
            svg->setAspectRatioMode(Qt::KeepAspectRatio);
            svg->render(&p, box);
        } else {
            p.translate(box.topLeft());
            p.scale(side / 16.0, side / 16.0);
            if (number >= 0)
                drawNumberedCircle(p, number);
            else
                drawRaisedHand(p);
        }
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(mask.rect(), color);
    }
    drawOnDevicePixels(painter, rect, mask);
    return true;
}

} // namespace ui
