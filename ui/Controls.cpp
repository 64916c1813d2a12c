// Buttons, switches, menus and text fields: drawn here, run by the window host.
#include "ui/Controls.h"

#include "ui/HostContext.h"
#include "ui/HostPass.h"
#include "ui/NodeImpl.h"

#include <QFontMetricsF>
#include <algorithm>

namespace ui {

ControlMetrics controlMetrics(ControlSize size) {
    switch (size) {
    case ControlSize::mini:
        return {16, 6};
    case ControlSize::small:
        return {22, 8};
    case ControlSize::regular:
        return {28, 12};
    case ControlSize::large:
        return {36, 16};
    case ControlSize::extraLarge:
        return {44, 20};
    }
    return {28, 12};
}

QSizeF switchSize(ControlSize size) {
    switch (size) {
    case ControlSize::mini:
        return {26, 15};
    case ControlSize::small:
        return {32, 18};
    case ControlSize::regular:
        return {38, 22};
    case ControlSize::large:
        return {44, 26};
    case ControlSize::extraLarge:
        return {50, 30};
    }
    return {38, 22};
}

Color scrollIndicatorColor() {
    return Color::primary().opacity(0.35);
}

namespace {

// Fills of the bordered styles, at rest and while pressed.
Color borderedFill(bool pressed) {
    return Color::primary().opacity(pressed ? 0.18 : 0.08);
}
Color glassEdge() {
    return Color::primary().opacity(0.1);
}
Color pressedShade() {
    return Color::black().opacity(0.15);
}
Color switchOffTrack() {
    return Color::primary().opacity(0.12);
}
Color switchKnobEdge() {
    return Color::primary().opacity(0.12);
}
// The knob sits this far inside the track.
constexpr double knobInset = 2;

bool pressed(const Element& self) {
    return self.env().host && self.env().host->isPressed(self.identity);
}

class ButtonNode final : public NodeImpl {
public:
    ButtonNode(Node label, std::function<void()> action, std::optional<MenuModel> menu)
        : label_(std::move(label)), action_{std::move(action)}, menu_(std::move(menu)) {
        accessibility_.traits = Accessibility::button;
        accessibility_.combineChildren = true;
    }

    void build(Element& self) const override {
        std::shared_ptr<const Environment> env;
        if (self.env().buttonStyle == ButtonStyle::prominent) {
            auto white = std::make_shared<Environment>(self.env());
            white->foreground = Color::white();
            env = std::move(white);
        }
        addChild(self, label_, QStringLiteral("label"), std::move(env));
    }

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        const Element& label = self.children.front();
        if (plain(self))
            return label.measure(offered);
        const ControlMetrics m = controlMetrics(self.env().controlSize);
        const double pad = m.horizontalPadding;
        const Dimensions d = label.measure(inner(self, offered));
        const QSizeF size(d.size.width() + 2 * pad, std::max(m.height, d.size.height()));
        std::optional<double> baseline;
        if (d.firstBaseline)
            baseline = (size.height() - d.size.height()) / 2 + *d.firstBaseline;
        return {size, baseline};
    }

    void place(Element& self) const override {
        Element& label = self.children.front();
        if (plain(self)) {
            label.place(self.frame.topLeft(), self.proposal);
            return;
        }
        const ProposedSize proposal = inner(self, self.proposal);
        const Dimensions d = label.measure(proposal);
        label.place(self.frame.topLeft() + alignedOffset(self.frame.size(), d.size, {}), proposal);
    }

    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        const bool down = pressed(self) && env.enabled;
        painter.save();
        if (!env.enabled)
            painter.setOpacity(painter.opacity() * disabledControlOpacity);
        const QPainterPath bezel = Shape::capsule().path(self.frame);
        painter.setPen(Qt::NoPen);
        switch (env.buttonStyle) {
        case ButtonStyle::plain:
            if (down)
                painter.setOpacity(painter.opacity() * pressedPlainOpacity);
            break;
        case ButtonStyle::bordered:
            painter.fillPath(bezel, borderedFill(down).resolve(env));
            break;
        case ButtonStyle::glass:
            painter.fillPath(bezel, Color::glassMaterial().resolve(env));
            painter.strokePath(Shape::capsule().path(self.frame.adjusted(0.5, 0.5, -0.5, -0.5)),
                               QPen(glassEdge().resolve(env), 1));
            if (down)
                painter.fillPath(bezel, borderedFill(false).resolve(env));
            break;
        case ButtonStyle::prominent:
            painter.fillPath(bezel, Color::tint().resolve(env));
            if (down)
                painter.fillPath(bezel, pressedShade().resolve(env));
            break;
        }
        paintChildren(painter, self);
        painter.restore();
    }

    // A bordered button takes clicks on its whole bezel; a plain one where its label draws.
    bool isHitItself(const Element& self, QPointF point) const override {
        return !plain(self) && Shape::capsule().path(self.frame).contains(point);
    }

    const void* find(std::type_index kind) const override {
        if (kind == typeid(TapAction))
            return menu_ ? nullptr : &action_;
        if (kind == typeid(MenuModel))
            return menu_ ? &*menu_ : nullptr;
        if (kind == typeid(Accessibility))
            return &accessibility_;
        return nullptr;
    }
    // A menu button opens its menu under itself.
    bool activate(const Element& self, HostServices& host) const override {
        if (!menu_)
            return NodeImpl::activate(self, host);
        host.openMenu(self, *menu_);
        return true;
    }

private:
    static bool plain(const Element& self) { return self.env().buttonStyle == ButtonStyle::plain; }
    static ProposedSize inner(const Element& self, const ProposedSize& offered) {
        const double pad = controlMetrics(self.env().controlSize).horizontalPadding;
        return {offered.width ? std::optional(std::max(0.0, *offered.width - 2 * pad))
                              : std::nullopt,
                offered.height};
    }

    Node label_;
    TapAction action_;
    std::optional<MenuModel> menu_;
    Accessibility accessibility_;
};

class SwitchNode final : public NodeImpl {
public:
    SwitchNode(Node label, bool isOn, std::function<void(bool)> send)
        : label_(std::move(label)), isOn_(isOn),
          send_(std::move(send)), action_{[send = send_, isOn] {
              if (send)
                  send(!isOn);
          }} {
        accessibility_.traits = Accessibility::toggle;
        accessibility_.checked = isOn;
    }

    // The label is built for assistive technology and never laid out.
    void build(Element& self) const override { addChild(self, label_, QStringLiteral("label")); }
    Dimensions measure(const Element& self, const ProposedSize&) const override {
        return {switchSize(self.env().controlSize), std::nullopt};
    }
    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        if (!env.enabled)
            painter.setOpacity(painter.opacity() * disabledControlOpacity);
        const QRectF track = self.frame;
        painter.fillPath(Shape::capsule().path(track),
                         (isOn_ ? Color::tint() : switchOffTrack()).resolve(env));
        if (pressed(self) && env.enabled)
            painter.fillPath(Shape::capsule().path(track), pressedShade().resolve(env));
        const double side = track.height() - 2 * knobInset;
        const double x = isOn_ ? track.right() - knobInset - side : track.left() + knobInset;
        const QRectF knob(x, track.top() + knobInset, side, side);
        painter.setBrush(Qt::white);
        painter.setPen(QPen(switchKnobEdge().resolve(env), 0.5));
        painter.drawEllipse(knob);
        painter.restore();
    }
    bool isHitItself(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }
    const void* find(std::type_index kind) const override {
        if (kind == typeid(TapAction))
            return &action_;
        if (kind == typeid(Accessibility))
            return &accessibility_;
        return nullptr;
    }
    const Element* hiddenLabel(const Element& self) const override {
        return &self.children.front();
    }

private:
    Node label_;
    bool isOn_;
    std::function<void(bool)> send_;
    TapAction action_;
    Accessibility accessibility_;
};

class TextFieldNode final : public NodeImpl {
public:
    explicit TextFieldNode(TextFieldModel model) : model_(std::move(model)) {}

    void build(Element& self) const override {
        self.font = self.env().font.qfont(self.env().typeSize);
        self.text = model_.text;
    }
    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        const QFontMetricsF metrics(self.font);
        double width = offered.width.value_or(idealTextFieldWidth);
        if (!std::isfinite(width))
            width = idealTextFieldWidth;
        return {QSizeF(width, std::ceil(metrics.lineSpacing())),
                metrics.leading() / 2 + metrics.ascent()};
    }
    // In a window the line edit draws the text; pictures draw it here.
    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        if (env.host)
            return;
        const bool empty = model_.text.isEmpty();
        const QString shown = empty ? env.localize(model_.placeholder, {}) : model_.text;
        const QFontMetricsF metrics(self.font);
        painter.save();
        painter.setFont(self.font);
        painter.setPen((empty ? Color::secondary() : env.foreground).resolve(env));
        painter.setClipRect(self.frame, Qt::IntersectClip);
        painter.drawText(
            QPointF(self.frame.left(), self.frame.top() + metrics.leading() / 2 + metrics.ascent()),
            shown);
        painter.restore();
    }
    bool isHitItself(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }
    const void* find(std::type_index kind) const override {
        return kind == typeid(TextFieldModel) ? &model_ : nullptr;
    }
    void commit(const Element& self, HostPass& pass) const override { model_.commit(self, pass); }

private:
    TextFieldModel model_;
};

} // namespace

Node button(Node label, std::function<void()> action) {
    return Node(std::make_shared<ButtonNode>(std::move(label), std::move(action), std::nullopt))
        .focusable();
}

Node toggleSwitch(Node label, bool isOn, std::function<void(bool)> send) {
    return Node(std::make_shared<SwitchNode>(std::move(label), isOn, std::move(send))).focusable();
}

Node menu(Node label, std::vector<MenuItem> items, std::function<void(std::size_t)> pick) {
    return Node(std::make_shared<ButtonNode>(std::move(label), std::function<void()>(),
                                             MenuModel{std::move(items), std::move(pick)}))
        .focusable();
}

Node textField(QString text, std::function<void(const QString&)> edited, QString placeholder,
               std::function<void()> submitted) {
    return Node(std::make_shared<TextFieldNode>(
                    TextFieldModel{std::move(text), std::move(placeholder), std::move(edited),
                                   std::move(submitted)}))
        .focusable();
}

} // namespace ui
