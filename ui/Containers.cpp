// Containers that choose or clip: "first that fits" and the scroll view.
#include "ui/Controls.h"
#include "ui/HostContext.h"
#include "ui/HostPass.h"
#include "ui/Node.h"
#include "ui/NodeImpl.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

class FirstThatFitsNode final : public NodeImpl {
public:
    FirstThatFitsNode(std::vector<Node> children, bool horizontal, bool vertical)
        : children_(std::move(children)), horizontal_(horizontal), vertical_(vertical) {}

    void build(Element& self) const override {
        for (std::size_t i = 0; i < children_.size(); ++i)
            addChild(self, children_[i], QString::number(i));
    }
    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        if (self.children.empty())
            return {QSizeF(0, 0), {}};
        return self.children[choose(self, offered)].measure(offered);
    }
    void place(Element& self) const override {
        if (!self.children.empty())
            self.children[choose(self, self.proposal)].place(self.frame.topLeft(), self.proposal);
    }

private:
    // The first child whose ideal size on the constrained axes fits the offer; else the last.
    std::size_t choose(const Element& self, const ProposedSize& offered) const {
        const ProposedSize ideal{horizontal_ ? std::nullopt : offered.width,
                                 vertical_ ? std::nullopt : offered.height};
        for (std::size_t i = 0; i + 1 < self.children.size(); ++i) {
            const QSizeF size = self.children[i].measure(ideal).size;
            const bool fitsWidth = !horizontal_ || !offered.width || size.width() <= *offered.width;
            const bool fitsHeight =
                !vertical_ || !offered.height || size.height() <= *offered.height;
            if (fitsWidth && fitsHeight)
                return i;
        }
        return self.children.size() - 1;
    }

    std::vector<Node> children_;
    bool horizontal_, vertical_;
};

class ScrollViewNode final : public NodeImpl {
public:
    ScrollViewNode(Node content, Axis axis, std::function<void(bool)> scrolled)
        : content_(std::move(content)), axis_(axis), scrolled_(std::move(scrolled)) {}

    void build(Element& self) const override {
        addChild(self, content_, QStringLiteral("content"), nullptr, std::optional<Axis>());
    }
    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        const Dimensions content = self.children.front().measure(inner(offered));
        // As long as offered on the scrolling axis, never longer than the content needs.
        auto length = [](std::optional<double> proposed, double needed) {
            return proposed && std::isfinite(*proposed) ? std::min(*proposed, needed) : needed;
        };
        if (axis_ == Axis::vertical)
            return {QSizeF(content.size.width(), length(offered.height, content.size.height())),
                    {}};
        return {QSizeF(length(offered.width, content.size.width()), content.size.height()), {}};
    }
    void place(Element& self) const override {
        Element& content = self.children.front();
        const ProposedSize proposal = inner(self.proposal);
        const double overflow =
            std::max(0.0, content.measure(proposal).along(axis_) -
                              (axis_ == Axis::vertical ? self.frame.height() : self.frame.width()));
        const Environment& env = self.env();
        const double offset =
            env.host ? std::clamp(env.host->scrollOffset(self.identity), 0.0, overflow) : 0.0;
        const QPointF shift = axis_ == Axis::vertical ? QPointF(0, -offset) : QPointF(-offset, 0);
        content.place(self.frame.topLeft() + shift, proposal);
    }
    void paint(QPainter& painter, const Element& self) const override {
        painter.save();
        painter.setClipRect(self.frame, Qt::IntersectClip);
        paintChildren(painter, self);
        paintIndicator(painter, self);
        painter.restore();
    }
    const void* find(std::type_index kind) const override {
        return kind == typeid(Scrolling) ? &scrolling_ : nullptr;
    }
    // Tells the view each time the content leaves its start or comes back to it.
    void commit(const Element& self, HostPass& pass) const override {
        if (!scrolled_)
            return;
        const bool now = scrolledBy(self) > scrolledThreshold;
        const auto old = pass.previous<ScrolledRecord>(self.identity);
        if (now != (old && old->value))
            pass.later(HostPass::Phase::report, [action = scrolled_, now] { action(now); });
        pass.keep(self.identity, std::make_shared<ScrolledRecord>(now));
    }
    bool scroll(const Element& self, QPointF delta) const override {
        // A horizontal view takes a vertical wheel too.
        const double along =
            axis_ == Axis::vertical ? delta.y() : (delta.x() ? delta.x() : delta.y());
        const Element& content = self.children.front();
        const double overflow =
            std::max(0.0, axis_ == Axis::vertical ? content.frame.height() - self.frame.height()
                                                  : content.frame.width() - self.frame.width());
        const double current = scrolledBy(self);
        const double next = std::clamp(current - along, 0.0, overflow);
        if (next == current || !self.env().host)
            return false;
        self.env().host->setScrollOffset(self.identity, next);
        return true;
    }
    // The hidden part of the content takes no hits.
    bool admitsHit(const Element& self, QPointF point) const override {
        return self.frame.contains(point);
    }

private:
    struct ScrolledRecord final : Record {
        explicit ScrolledRecord(bool v) : value(v) {}
        bool value;
    };
    double scrolledBy(const Element& self) const {
        const Element& content = self.children.front();
        return axis_ == Axis::vertical ? self.frame.top() - content.frame.top()
                                       : self.frame.left() - content.frame.left();
    }

    // A thin bar along the trailing (or bottom) edge, while the content is longer than the view.
    void paintIndicator(QPainter& painter, const Element& self) const {
        const QRectF view = self.frame;
        const QRectF content = self.children.front().frame;
        const bool vertical = axis_ == Axis::vertical;
        const double viewLength = vertical ? view.height() : view.width();
        const double contentLength = vertical ? content.height() : content.width();
        if (contentLength <= viewLength + 0.5 || viewLength <= 0)
            return;
        const double track = viewLength - 2 * scrollIndicatorInset;
        const double length = std::max(scrollIndicatorMinimum, track * viewLength / contentLength);
        const double offset = scrolledBy(self);
        const double start =
            scrollIndicatorInset + (track - length) * offset / (contentLength - viewLength);
        const QRectF bar =
            vertical ? QRectF(view.right() - scrollIndicatorInset - scrollIndicatorThickness,
                              view.top() + start, scrollIndicatorThickness, length)
                     : QRectF(view.left() + start,
                              view.bottom() - scrollIndicatorInset - scrollIndicatorThickness,
                              length, scrollIndicatorThickness);
        painter.setPen(Qt::NoPen);
        painter.setBrush(scrollIndicatorColor().resolve(self.env()));
        painter.drawPath(Shape::capsule().path(bar));
    }

    ProposedSize inner(const ProposedSize& offered) const {
        return axis_ == Axis::vertical ? ProposedSize{offered.width, std::nullopt}
                                       : ProposedSize{std::nullopt, offered.height};
    }

    Node content_;
    Axis axis_;
    Scrolling scrolling_{axis_};
    std::function<void(bool)> scrolled_;
};

} // namespace

Node firstThatFits(std::vector<Node> children, bool horizontal, bool vertical) {
    return Node(std::make_shared<FirstThatFitsNode>(std::move(children), horizontal, vertical));
}

Node scrollView(Node content, Axis axis, std::function<void(bool)> scrolled) {
    return Node(std::make_shared<ScrollViewNode>(std::move(content), axis, std::move(scrolled)));
}

} // namespace ui
