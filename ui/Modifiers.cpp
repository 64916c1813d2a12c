// Modifiers: each wraps one content node and changes how it is sized, placed, drawn or read.
#include "ui/Node.h"
#include "ui/NodeImpl.h"

#include <algorithm>

namespace ui {

namespace {

class ModifierNode : public NodeImpl {
public:
    explicit ModifierNode(Node content) : content_(std::move(content)) {}

    void build(Element& self) const override { addChild(self, content_, QStringLiteral("m")); }
    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        return self.children.front().measure(offered);
    }
    void place(Element& self) const override {
        self.children.front().place(self.frame.topLeft(), self.proposal);
    }
    double layoutPriority(const Element& self) const override {
        const Element& content = self.children.front();
        return content.node->layoutPriority(content);
    }
    bool isSpacer(const Element& self) const override {
        const Element& content = self.children.front();
        return content.node->isSpacer(content);
    }

protected:
    Node content_;
};

std::optional<double> shrink(std::optional<double> length, double by) {
    if (!length)
        return length;
    return std::max(0.0, *length - by);
}

class PaddingNode final : public ModifierNode {
public:
    PaddingNode(Node content, EdgeInsets insets)
        : ModifierNode(std::move(content)), insets_(insets) {}

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        const Dimensions d = self.children.front().measure(inner(offered));
        const QSizeF size(std::max(0.0, d.size.width() + insets_.leading + insets_.trailing),
                          std::max(0.0, d.size.height() + insets_.top + insets_.bottom));
        std::optional<double> baseline;
        if (d.firstBaseline)
            baseline = *d.firstBaseline + insets_.top;
        return {size, baseline};
    }
    void place(Element& self) const override {
        self.children.front().place(self.frame.topLeft() + QPointF(insets_.leading, insets_.top),
                                    inner(self.proposal));
    }

private:
    ProposedSize inner(const ProposedSize& offered) const {
        return {shrink(offered.width, insets_.leading + insets_.trailing),
                shrink(offered.height, insets_.top + insets_.bottom)};
    }
    EdgeInsets insets_;
};

// Places a content of size `inner` inside a frame of size `outer`.
Dimensions framed(QSizeF outer, const Dimensions& inner, Alignment alignment) {
    std::optional<double> baseline;
    if (inner.firstBaseline)
        baseline = alignedOffset(outer, inner.size, alignment).y() + *inner.firstBaseline;
    return {outer, baseline};
}

struct Limits {
    std::optional<double> minimum, ideal, maximum;

    // What the content is offered: the proposal (or the ideal) within the limits.
    std::optional<double> offer(std::optional<double> proposed) const {
        std::optional<double> length = proposed ? proposed : ideal;
        if (length && minimum)
            length = std::max(*minimum, *length);
        if (length && maximum)
            length = std::min(*maximum, *length);
        return length;
    }
    // The frame's length: the content's, pulled towards the offer by the limits that are set.
    double result(std::optional<double> offered, double content) const {
        double length = content;
        if (minimum)
            length = std::max(*minimum, offered ? std::min(length, *offered) : length);
        if (maximum)
            length = std::min(*maximum, offered ? std::max(length, *offered) : length);
        return length;
    }
};

class FlexibleFrameNode final : public ModifierNode {
public:
    FlexibleFrameNode(Node content, const FrameLimits& limits)
        : ModifierNode(std::move(content)), width_{limits.minWidth, limits.idealWidth,
                                                   limits.maxWidth},
          height_{limits.minHeight, limits.idealHeight, limits.maxHeight},
          alignment_(limits.alignment) {}

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        const ProposedSize proposal = inner(offered);
        const Dimensions d = self.children.front().measure(proposal);
        return framed(QSizeF(width_.result(proposal.width, d.size.width()),
                             height_.result(proposal.height, d.size.height())),
                      d, alignment_);
    }
    void place(Element& self) const override {
        Element& content = self.children.front();
        const ProposedSize proposal = inner(self.proposal);
        const Dimensions d = content.measure(proposal);
        content.place(self.frame.topLeft() + alignedOffset(self.frame.size(), d.size, alignment_),
                      proposal);
    }

private:
    ProposedSize inner(const ProposedSize& offered) const {
        return {width_.offer(offered.width), height_.offer(offered.height)};
    }
    Limits width_, height_;
    Alignment alignment_;
};

class FixedSizeNode final : public ModifierNode {
public:
    FixedSizeNode(Node content, bool horizontal, bool vertical)
        : ModifierNode(std::move(content)), horizontal_(horizontal), vertical_(vertical) {}

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        return self.children.front().measure(inner(offered));
    }
    void place(Element& self) const override {
        self.children.front().place(self.frame.topLeft(), inner(self.proposal));
    }

private:
    ProposedSize inner(const ProposedSize& offered) const {
        return {horizontal_ ? std::nullopt : offered.width,
                vertical_ ? std::nullopt : offered.height};
    }
    bool horizontal_, vertical_;
};

class PriorityNode final : public ModifierNode {
public:
    PriorityNode(Node content, double priority)
        : ModifierNode(std::move(content)), priority_(priority) {}
    double layoutPriority(const Element&) const override { return priority_; }

private:
    double priority_;
};

// A background or overlay: sized to its content, aligned on it, drawn below or above it.
class LayerNode final : public ModifierNode {
public:
    LayerNode(Node content, Node layer, Alignment alignment, bool above)
        : ModifierNode(std::move(content)), layer_(std::move(layer)), alignment_(alignment),
          above_(above) {}

    void build(Element& self) const override {
        ModifierNode::build(self);
        addChild(self, layer_, above_ ? QStringLiteral("overlay") : QStringLiteral("background"),
                 nullptr, std::optional<Axis>());
    }
    void place(Element& self) const override {
        ModifierNode::place(self);
        Element& layer = self.children.back();
        const ProposedSize proposal = ProposedSize::of(self.frame.size());
        const Dimensions d = layer.measure(proposal);
        layer.place(self.frame.topLeft() + alignedOffset(self.frame.size(), d.size, alignment_),
                    proposal);
    }
    bool drawsFirstChildOnTop() const override { return !above_; }
    void paint(QPainter& painter, const Element& self) const override {
        const Element& content = self.children.front();
        const Element& layer = self.children.back();
        if (!above_)
            paintElement(painter, layer);
        paintElement(painter, content);
        if (above_)
            paintElement(painter, layer);
    }

private:
    Node layer_;
    Alignment alignment_;
    bool above_;
};

class EnvironmentNode final : public ModifierNode {
public:
    EnvironmentNode(Node content, std::function<void(Environment&)> change)
        : ModifierNode(std::move(content)), change_(std::move(change)) {}

    void build(Element& self) const override {
        auto environment = std::make_shared<Environment>(self.env());
        change_(*environment);
        addChild(self, content_, QStringLiteral("m"), std::move(environment));
    }

private:
    std::function<void(Environment&)> change_;
};

class OpacityNode final : public ModifierNode {
public:
    OpacityNode(Node content, double opacity)
        : ModifierNode(std::move(content)), opacity_(opacity) {}

    void paint(QPainter& painter, const Element& self) const override {
        painter.save();
        painter.setOpacity(painter.opacity() * std::clamp(opacity_, 0.0, 1.0));
        paintChildren(painter, self);
        painter.restore();
    }

private:
    double opacity_;
};

class IdNode final : public ModifierNode {
public:
    IdNode(Node content, QString id) : ModifierNode(std::move(content)), id_(std::move(id)) {}

    // An explicit id replaces the position in the parent, so the subtree keeps its identity when
    // siblings come and go.
    void build(Element& self) const override {
        self.explicitId = id_;
        self.identity =
            self.identity.left(self.identity.lastIndexOf(u'/')) + QStringLiteral("/#") + id_;
        ModifierNode::build(self);
    }

private:
    QString id_;
};

class HitShapeNode final : public ModifierNode {
public:
    HitShapeNode(Node content, Shape shape) : ModifierNode(std::move(content)), shape_(shape) {}
    // The whole outline takes hits, and nothing outside it.
    bool admitsHit(const Element& self, QPointF point) const override {
        return shape_.path(self.frame).contains(point);
    }
    bool isHitItself(const Element&, QPointF) const override { return true; }

private:
    Shape shape_;
};

// A modifier that carries one thing for the window host and changes nothing else: what it
// carries answers `get<T>()` and does its part in each pass, if it has one.
template <typename T> class Carrier final : public ModifierNode {
public:
    Carrier(Node content, T value) : ModifierNode(std::move(content)), value_(std::move(value)) {}
    const void* find(std::type_index kind) const override {
        return kind == std::type_index(typeid(T)) ? &value_ : nullptr;
    }
    void commit(const Element& self, HostPass& pass) const override {
        if constexpr (requires { value_.commit(self, pass); })
            value_.commit(self, pass);
    }

private:
    T value_;
};

class HitTestingNode final : public ModifierNode {
public:
    explicit HitTestingNode(Node content) : ModifierNode(std::move(content)) {}
    bool admitsHit(const Element&, QPointF) const override { return false; }
};

std::optional<Animation> animationFor(const Environment& env, const Animation& animation) {
    if (env.reduceMotion)
        return std::nullopt;
    return animation;
}

class AnimatedNode final : public ModifierNode {
public:
    enum class Kind { opacity, scale, bounce };
    AnimatedNode(Node content, Kind kind, double target, Animation animation)
        : ModifierNode(std::move(content)), kind_(kind), target_(target), animation_(animation) {}

    void paint(QPainter& painter, const Element& self) const override {
        const Environment& env = self.env();
        painter.save();
        if (kind_ == Kind::opacity) {
            const double shown = current(env, self, AnimationStore::Channel::opacity);
            painter.setOpacity(painter.opacity() * std::clamp(shown, 0.0, 1.0));
        } else {
            double factor = 1;
            if (kind_ == Kind::scale)
                factor = current(env, self, AnimationStore::Channel::scale);
            else if (env.host)
                factor = 1 + bounceHeight *
                                 env.host->animations().pulse(self.identity, (long long)target_,
                                                              animationFor(env, animation_));
            const QPointF centre = self.frame.center();
            painter.translate(centre);
            painter.scale(factor, factor);
            painter.translate(-centre);
        }
        paintChildren(painter, self);
        painter.restore();
    }

private:
    static constexpr double bounceHeight = 0.2; // the bounce's peak, over the normal size
    double current(const Environment& env, const Element& self,
                   AnimationStore::Channel channel) const {
        if (!env.host)
            return target_;
        return env.host->animations().value(self.identity, channel, target_,
                                            animationFor(env, animation_));
    }
    Kind kind_;
    double target_;
    Animation animation_;
};

// Wraps the node its body makes while the tree is built.
class BuilderNode final : public ModifierNode {
public:
    explicit BuilderNode(std::function<Node(const Element&)> body)
        : ModifierNode(Node()), body_(std::move(body)) {}

    void build(Element& self) const override {
        const Node made = body_(self);
        self.owned.push_back(made.implPointer());
        addChild(self, made, QStringLiteral("body"));
    }

private:
    std::function<Node(const Element&)> body_;
};

template <typename T, typename... Args> Node wrap(const Node& content, Args&&... args) {
    return Node(std::make_shared<T>(content, std::forward<Args>(args)...));
}

template <typename T> Node carry(const Node& content, T value) {
    return Node(std::make_shared<Carrier<T>>(content, std::move(value)));
}

} // namespace

Node Node::padding(EdgeInsets insets) const {
    return wrap<PaddingNode>(*this, insets);
}

// A fixed length is a limit at that length on all three sides.
Node Node::frame(std::optional<double> width, std::optional<double> height,
                 Alignment alignment) const {
    return wrap<FlexibleFrameNode>(
        *this, FrameLimits{width, width, width, height, height, height, alignment});
}

Node Node::frame(const FrameLimits& limits) const {
    return wrap<FlexibleFrameNode>(*this, limits);
}

Node Node::fixedSize(bool horizontal, bool vertical) const {
    return wrap<FixedSizeNode>(*this, horizontal, vertical);
}

Node Node::layoutPriority(double priority) const {
    return wrap<PriorityNode>(*this, priority);
}

Node Node::background(Node layer, Alignment alignment) const {
    return wrap<LayerNode>(*this, std::move(layer), alignment, false);
}

Node Node::overlay(Node layer, Alignment alignment) const {
    return wrap<LayerNode>(*this, std::move(layer), alignment, true);
}

Node Node::environment(std::function<void(Environment&)> change) const {
    return wrap<EnvironmentNode>(*this, std::move(change));
}

Node Node::ignoresKeyboardUse() const {
    return environment([](Environment& env) { env.keyboardUsed = false; });
}

Node Node::foreground(Color color) const {
    return environment([color](Environment& env) { env.foreground = color; });
}

Node Node::tint(std::optional<Color> tint) const {
    return environment([tint](Environment& env) { env.tint = tint; });
}

Node Node::font(Font font) const {
    return environment([font](Environment& env) { env.font = font; });
}

Node Node::fontWeight(FontWeight weight) const {
    return environment([weight](Environment& env) { env.font.weight = weight; });
}

Node Node::lineLimit(std::optional<int> lines) const {
    return environment([lines](Environment& env) { env.lineLimit = lines; });
}

Node Node::multilineTextAlignment(TextAlignment alignment) const {
    return environment([alignment](Environment& env) { env.multilineAlignment = alignment; });
}

Node Node::minimumScaleFactor(double factor) const {
    return environment(
        [factor](Environment& env) { env.minimumScaleFactor = std::clamp(factor, 0.01, 1.0); });
}

Node Node::disabled(bool disabled) const {
    if (!disabled)
        return *this;
    return environment([](Environment& env) { env.enabled = false; });
}

Node Node::opacity(double opacity) const {
    return wrap<OpacityNode>(*this, opacity);
}

Node Node::id(QString id) const {
    return wrap<IdNode>(*this, std::move(id));
}

Node Node::accessibility(Accessibility accessibility) const {
    return carry(*this, std::move(accessibility));
}

Node Node::contentShape(Shape shape) const {
    return wrap<HitShapeNode>(*this, shape);
}

Node Node::onTap(std::function<void()> action) const {
    return carry(*this, TapAction{std::move(action)});
}

Node Node::onHover(std::function<void(bool)> action) const {
    return carry(*this, HoverAction{std::move(action)});
}

Node Node::focusable(bool takesFocusOnClick) const {
    return carry(*this, FocusStop{takesFocusOnClick});
}

Node Node::focused(FocusBinding binding) const {
    return carry(*this, BoundFocus{std::move(binding)});
}

Node Node::keyboardShortcut(QKeyCombination key) const {
    return carry(*this, Shortcut{key});
}

Node Node::help(QString key) const {
    return carry(*this, Tooltip{std::move(key)});
}

Node Node::onAppear(std::function<void()> action) const {
    return carry(*this, Lifecycle{std::move(action), {}});
}

Node Node::onDisappear(std::function<void()> action) const {
    return carry(*this, Lifecycle{{}, std::move(action)});
}

Node Node::watched(ChangeWatch watch) const {
    return carry(*this, std::move(watch));
}

Node Node::coordinateSpace(QString name) const {
    return carry(*this, CoordinateSpace{std::move(name)});
}

Node Node::onGeometryChange(QString space, std::function<void(const QRectF&)> report) const {
    return carry(*this, GeometryReport{std::move(space), false, std::move(report)});
}

Node Node::onSizeChange(std::function<void(const QSizeF&)> report) const {
    return carry(*this,
                 GeometryReport{QString(), true, [report = std::move(report)](const QRectF& frame) {
                                    if (report)
                                        report(frame.size());
                                }});
}

Node Node::confirmationDialog(Binding<bool> isPresented, ConfirmationDialog dialog,
                              std::function<void()> confirmed) const {
    return carry(*this,
                 DialogModel{std::move(dialog), std::move(isPresented), std::move(confirmed)});
}

Node Node::allowsHitTesting(bool allowed) const {
    if (allowed)
        return *this;
    return wrap<HitTestingNode>(*this);
}

Node Node::buttonStyle(ButtonStyle style) const {
    return environment([style](Environment& env) { env.buttonStyle = style; });
}

Node Node::controlSize(ControlSize size) const {
    return environment([size](Environment& env) { env.controlSize = size; });
}

Node Node::animatedOpacity(double opacity, Animation animation) const {
    return wrap<AnimatedNode>(*this, AnimatedNode::Kind::opacity, opacity, animation);
}

Node Node::animatedScale(double scale, Animation animation) const {
    return wrap<AnimatedNode>(*this, AnimatedNode::Kind::scale, scale, animation);
}

Node Node::bounceEffect(long long trigger, Animation animation) const {
    return wrap<AnimatedNode>(*this, AnimatedNode::Kind::bounce, double(trigger), animation);
}

Node builder(std::function<Node(const Element&)> body) {
    return Node(std::make_shared<BuilderNode>(std::move(body)));
}

Node withEnvironment(std::function<Node(const Environment&)> body) {
    return builder([body = std::move(body)](const Element& self) { return body(self.env()); });
}

Node animatedNumber(double target, Animation animation, std::function<Node(double)> body) {
    return builder([=](const Element& self) {
        const Environment& env = self.env();
        const double shown =
            env.host ? env.host->animations().value(self.identity, AnimationStore::Channel::number,
                                                    target, animationFor(env, animation))
                     : target;
        return body(shown);
    });
}

} // namespace ui
