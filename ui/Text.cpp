// Text: wraps at the offered width, is never cut unless a line limit says so, and then ends the
// last line it shows in an ellipsis.
#include "ui/Node.h"
#include "ui/NodeImpl.h"
#include "ui/TextCache.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <cmath>

namespace ui {

namespace {

// Qt 6.4 cannot switch on the font's tabular figures, so tabular digits are set by hand: every
// digit takes the advance of the widest one and is centred in it.
double widestDigit(const QFontMetricsF& metrics) {
    double widest = 0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    return widest;
}

double advance(const QFontMetricsF& metrics, const QString& text, bool tabular) {
    if (!tabular)
        return metrics.horizontalAdvance(text);
    const double cell = widestDigit(metrics);
    double width = 0;
    QString run;
    for (const QChar c : text) {
        if (c.isDigit()) {
            width += metrics.horizontalAdvance(run) + cell;
            run.clear();
        } else {
            run += c;
        }
    }
    return width + metrics.horizontalAdvance(run);
}

void drawLine(QPainter& painter, QPointF origin, const QString& text, bool tabular) {
    if (!tabular) {
        painter.drawText(origin, text);
        return;
    }
    const QFontMetricsF metrics(painter.font());
    const double cell = widestDigit(metrics);
    double x = origin.x();
    QString run;
    auto flush = [&] {
        painter.drawText(QPointF(x, origin.y()), run);
        x += metrics.horizontalAdvance(run);
        run.clear();
    };
    for (const QChar c : text) {
        if (!c.isDigit()) {
            run += c;
            continue;
        }
        flush();
        painter.drawText(QPointF(x + (cell - metrics.horizontalAdvance(c)) / 2, origin.y()),
                         QString(c));
        x += cell;
    }
    flush();
}

using Wrapped = TextFit;

// `natural` is the text's advance on one line in `font`, when known.
Wrapped wrapAt(const QString& text, const QFont& font, double width, std::optional<int> lineLimit,
               bool tabular, std::optional<double> natural = std::nullopt) {
    const QFontMetricsF metrics(font);
    const double lineHeight = metrics.lineSpacing();
    const double firstBaseline = metrics.leading() / 2 + metrics.ascent();
    Wrapped result{{}, {}, font};
    auto add = [&](QString line, double advance) {
        const double baseline = firstBaseline + lineHeight * double(result.lines.size());
        result.lines.push_back({std::move(line), advance, baseline});
        result.size = QSizeF(std::max(result.size.width(), advance),
                             lineHeight * double(result.lines.size()));
    };

    QString shaped = text;
    shaped.replace(u'\n', QChar::LineSeparator);
    const bool multiParagraph = shaped.contains(QChar::LineSeparator);
    if (width <= 0 &&
        !text.isEmpty()) { // the minimum a text can take: nothing across, one line down
        add(QString(), 0);
        return result;
    }
    if (!multiParagraph) {
        const double single = natural ? *natural : advance(metrics, shaped, tabular);
        if (single <= width || text.isEmpty()) {
            add(text, single);
            return result;
        }
    }

    QTextLayout layout(shaped, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    struct Span {
        int start, length;
        double width;
    };
    std::vector<Span> spans;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::isfinite(width) ? width : 1e7);
        spans.push_back({line.textStart(), line.textLength(), line.naturalTextWidth()});
    }
    layout.endLayout();

    const std::size_t shown =
        lineLimit ? std::min<std::size_t>(spans.size(), std::size_t(std::max(1, *lineLimit)))
                  : spans.size();
    for (std::size_t i = 0; i < shown; ++i) {
        const bool cut = i + 1 == shown && shown < spans.size();
        QString line =
            cut ? shaped.mid(spans[i].start) : shaped.mid(spans[i].start, spans[i].length);
        line.replace(QChar::LineSeparator, u' ');
        if (cut) {
            // The rest of the text is folded into the last line, which ends in "…" even when
            // the rest would fit (a cut after a line break).
            const QString elided = metrics.elidedText(line, Qt::ElideRight, width);
            line = elided.endsWith(QChar(0x2026))
                       ? elided
                       : metrics.elidedText(line + QChar(0x2026), Qt::ElideRight, width);
            add(line, advance(metrics, line, tabular));
            continue;
        }
        while (line.endsWith(u' ') || line.endsWith(QChar::LineSeparator))
            line.chop(1);
        add(line, tabular ? advance(metrics, line, tabular) : spans[i].width);
    }
    return result;
}

// Fits the text, shrinking the font down to the minimum scale before cutting it.
Wrapped fit(const Element& self, double width) {
    const Environment& env = self.env();
    const bool tabular = env.font.monospacedDigits;
    if (env.minimumScaleFactor >= 1.0 || !env.lineLimit)
        return wrapAt(self.text, self.font, width, env.lineLimit, tabular, self.naturalWidth);
    const std::size_t limit = std::size_t(std::max(1, *env.lineLimit));
    const double full = self.font.pixelSize();
    QFont font = self.font;
    for (double scale = 1.0; scale >= env.minimumScaleFactor - 1e-9; scale -= 0.05) {
        font.setPixelSize(std::max(1, int(std::round(full * scale))));
        if (wrapAt(self.text, font, width, std::nullopt, tabular).lines.size() <= limit)
            break;
    }
    return wrapAt(self.text, font, width, env.lineLimit, tabular);
}

class TextNode final : public NodeImpl {
public:
    TextNode(LocalizedText text, bool localized) : text_(std::move(text)), localized_(localized) {}

    void build(Element& self) const override {
        const Environment& env = self.env();
        self.text = localized_ ? env.localize(text_.key, text_.arguments) : text_.key;
        self.font = env.font.qfont(env.typeSize);
        const TextFit natural = cachedFit(self, infinity);
        self.naturalWidth = natural.size.width();
    }

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        const TextFit& fitted = fitAt(self, offered.width.value_or(infinity));
        return {fitted.size, fitted.lines.front().baseline};
    }

    bool isHitItself(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }

    void place(Element& self) const override {
        // The frame is the size measured for this proposal, so its fit is known.
        const TextFit& fitted = fitAt(self, self.proposal.width.value_or(infinity));
        self.lines = fitted.lines;
        self.font = fitted.font;
    }

    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        painter.setFont(self.font);
        painter.setPen(env.foreground.resolve(env));
        const double factor = env.multilineAlignment == TextAlignment::leading  ? 0.0
                              : env.multilineAlignment == TextAlignment::center ? 0.5
                                                                                : 1.0;
        for (const TextLine& line : self.lines) {
            const double x = self.frame.left() + (self.frame.width() - line.width) * factor;
            drawLine(painter, QPointF(x, self.frame.top() + line.baseline), line.text,
                     env.font.monospacedDigits);
        }
    }

private:
    static const TextFit& fitAt(const Element& self, double width) {
        for (const auto& [known, fitted] : self.textFits)
            if (known == width)
                return fitted;
        self.textFits.emplace_back(width, cachedFit(self, width));
        return self.textFits.back().second;
    }

    // The fit from the environment's cache, made and kept when missing.
    static TextFit cachedFit(const Element& self, double width) {
        const Environment& env = self.env();
        if (!env.textCache)
            return fit(self, width);
        const QString key = QString::number(self.font.pixelSize()) + u',' +
                            QString::number(self.font.weight()) + u'|' +
                            QString::number(width, 'g', 17) + u'|' +
                            QString::number(env.lineLimit.value_or(0)) + u'|' +
                            QString::number(env.minimumScaleFactor) + u'|' +
                            QChar(env.font.monospacedDigits ? u't' : u'p') + u'|' + self.text;
        if (const TextFit* known = env.textCache->find(key))
            return *known;
        TextFit fitted = fit(self, width);
        env.textCache->insert(key, fitted);
        return fitted;
    }

    LocalizedText text_; // the text itself when not localised
    bool localized_;
};

} // namespace

Node text(QString key, std::vector<TextArgument> arguments) {
    return Node(
        std::make_shared<TextNode>(LocalizedText{std::move(key), std::move(arguments)}, true));
}

Node verbatim(QString content) {
    return Node(std::make_shared<TextNode>(LocalizedText{std::move(content)}, false));
}

} // namespace ui
