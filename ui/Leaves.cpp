// Nodes without children: empty, spacer, divider, shape, image and symbol.
#include "ui/Node.h"
#include "ui/NodeImpl.h"
#include "ui/Render.h"
#include "ui/SymbolCatalogue.h"

#include <QFontMetricsF>

namespace ui {

namespace {

// A shape or flexible leaf asked for its ideal size answers this.
constexpr double idealFlexibleLength = 10;
// A symbol is a square this many times the font's pixel size.
constexpr double symbolScale = 1.2;
constexpr double dividerThickness = 1;

class EmptyNode final : public NodeImpl {
public:
    Dimensions measure(const Element&, const ProposedSize&) const override {
        return {QSizeF(0, 0), {}};
    }
    bool isEmpty() const override { return true; }
};

class SpacerNode final : public NodeImpl {
public:
    explicit SpacerNode(double minimum) : minimum_(minimum) {}
    bool isSpacer(const Element&) const override { return true; }

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        auto length = [&](std::optional<double> proposed) {
            return std::max(minimum_, proposed.value_or(minimum_));
        };
        if (!self.stackAxis)
            return {QSizeF(length(offered.width), length(offered.height)), {}};
        if (*self.stackAxis == Axis::horizontal)
            return {QSizeF(length(offered.width), 0), {}};
        return {QSizeF(0, length(offered.height)), {}};
    }

private:
    double minimum_;
};

class DividerNode final : public NodeImpl {
public:
    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        if (self.stackAxis == Axis::horizontal)
            return {QSizeF(dividerThickness, offered.height.value_or(0)), {}};
        return {QSizeF(offered.width.value_or(0), dividerThickness), {}};
    }

    void paint(QPainter& painter, const Element& self) const override {
        painter.fillRect(self.frame, Color::separator().resolve(self.env()));
    }
    bool isHitItself(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }
};

QBrush brush(const Paint& paint, const QRectF& rect, const Environment& env) {
    if (const auto* color = std::get_if<Color>(&paint))
        return color->resolve(env);
    const auto& gradient = std::get<LinearGradient>(paint);
    QLinearGradient linear(rect.left() + gradient.start.x() * rect.width(),
                           rect.top() + gradient.start.y() * rect.height(),
                           rect.left() + gradient.end.x() * rect.width(),
                           rect.top() + gradient.end.y() * rect.height());
    for (const GradientStop& stop : gradient.stops)
        linear.setColorAt(stop.location, stop.color.resolve(env));
    return linear;
}

class ShapeNode final : public NodeImpl {
public:
    ShapeNode(Shape shape, std::optional<Paint> fill, std::optional<Paint> stroke, double lineWidth)
        : shape_(shape), fill_(std::move(fill)), stroke_(std::move(stroke)), lineWidth_(lineWidth) {
    }

    Dimensions measure(const Element&, const ProposedSize& offered) const override {
        return {QSizeF(offered.width.value_or(idealFlexibleLength),
                       offered.height.value_or(idealFlexibleLength)),
                {}};
    }

    // A shape takes hits inside its outline, unless it draws nothing.
    bool isHitItself(const Element& self, QPointF point) const override {
        const bool clearFill =
            fill_ && std::holds_alternative<Color>(*fill_) && std::get<Color>(*fill_).isClear();
        if (clearFill && (!stroke_ || lineWidth_ <= 0))
            return false;
        return shape_.path(self.frame).contains(point);
    }

    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.fillPath(shape_.path(self.frame),
                         brush(fill_.value_or(env.foreground), self.frame, env));
        if (stroke_ && lineWidth_ > 0) {
            // Stroked inside the border, so the shape never grows past its frame.
            const double inset = lineWidth_ / 2;
            const QRectF inner = self.frame.adjusted(inset, inset, -inset, -inset);
            QPen pen(brush(*stroke_, self.frame, env), lineWidth_);
            painter.strokePath(
                Shape{shape_.kind, std::max(0.0, shape_.cornerRadius - inset)}.path(inner), pen);
        }
        painter.restore();
    }

private:
    Shape shape_;
    std::optional<Paint> fill_;
    std::optional<Paint> stroke_;
    double lineWidth_;
};

class ImageNode final : public NodeImpl {
public:
    ImageNode(QImage image, bool resizable) : image_(std::move(image)), resizable_(resizable) {}
    bool isGraphic() const override { return true; }

    Dimensions measure(const Element&, const ProposedSize& offered) const override {
        const QSizeF natural = image_.deviceIndependentSize();
        if (!resizable_)
            return {natural, {}};
        return {QSizeF(offered.width.value_or(natural.width()),
                       offered.height.value_or(natural.height())),
                {}};
    }

    bool isHitItself(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }

    void paint(QPainter& painter, const Element& self) const override {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        drawOnDevicePixels(painter, self.frame, image_);
        painter.restore();
    }

private:
    QImage image_;
    bool resizable_;
};

class SymbolNode final : public NodeImpl {
public:
    explicit SymbolNode(SymbolName name) : name_(name.name()) {}
    bool isGraphic() const override { return true; }

    void build(Element& self) const override {
        self.font = self.env().font.qfont(self.env().typeSize);
        // Centred on the text's cap height, so a symbol beside a text sits on its baseline.
        const double side = std::round(self.font.pixelSize() * symbolScale);
        const double baseline = side / 2 + QFontMetricsF(self.font).capHeight() / 2;
        self.intrinsic = Dimensions{QSizeF(side, side), baseline};
    }

    Dimensions measure(const Element& self, const ProposedSize&) const override {
        return *self.intrinsic;
    }
    bool isHitItself(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }

    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        if (env.symbols)
            env.symbols->draw(painter, name_, self.frame, env.foreground.resolve(env));
    }

private:
    QString name_;
};

} // namespace

Node::Node() : impl_(std::make_shared<EmptyNode>()) {}

Node spacer(double minLength) {
    return Node(std::make_shared<SpacerNode>(minLength));
}
Node divider() {
    return Node(std::make_shared<DividerNode>());
}
Node image(QImage picture, bool resizable) {
    return Node(std::make_shared<ImageNode>(std::move(picture), resizable));
}
Node symbol(SymbolName name) {
    return Node(std::make_shared<SymbolNode>(name));
}
Node shape(Shape s, std::optional<Paint> fill, std::optional<Paint> stroke, double lineWidth) {
    return Node(std::make_shared<ShapeNode>(s, std::move(fill), std::move(stroke), lineWidth));
}

} // namespace ui
