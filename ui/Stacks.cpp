// Vertical, horizontal and overlay stacks.
#include "ui/Node.h"
#include "ui/NodeImpl.h"

#include <algorithm>
#include <numeric>

namespace ui {

namespace {

Axis other(Axis axis) {
    return axis == Axis::horizontal ? Axis::vertical : Axis::horizontal;
}

ProposedSize proposal(Axis main, std::optional<double> along, std::optional<double> across) {
    return main == Axis::horizontal ? ProposedSize{along, across} : ProposedSize{across, along};
}

QPointF point(Axis main, double along, double across) {
    return main == Axis::horizontal ? QPointF(along, across) : QPointF(across, along);
}

QSizeF size(Axis main, double along, double across) {
    return main == Axis::horizontal ? QSizeF(along, across) : QSizeF(across, along);
}

// Where the children of one stack go for one proposal.
struct Plan {
    std::vector<ProposedSize> proposals;
    std::vector<QPointF> offsets;
    Dimensions total;
};

class StackNode final : public NodeImpl {
public:
    // `cross` is a HorizontalAlignment for a vertical stack, a VerticalAlignment otherwise; both
    // number start, centre and end as 0, 1 and 2.
    StackNode(Axis axis, int cross, double spacing, std::vector<Node> children)
        : axis_(axis), cross_(cross), spacing_(spacing), children_(std::move(children)) {}

    void build(Element& self) const override {
        for (std::size_t i = 0; i < children_.size(); ++i)
            if (!children_[i].impl().isEmpty())
                addChild(self, children_[i], QString::number(i), nullptr, axis_);
    }

    Dimensions measure(const Element& self, const ProposedSize& offered) const override {
        return plan(self, offered).total;
    }

    void place(Element& self) const override {
        const Plan p = plan(self, self.proposal);
        for (std::size_t i = 0; i < self.children.size(); ++i)
            self.children[i].place(self.frame.topLeft() + p.offsets[i], p.proposals[i]);
    }

private:
    Plan plan(const Element& self, const ProposedSize& offered) const {
        const auto& kids = self.children;
        const std::size_t n = kids.size();
        Plan result;
        if (n == 0)
            return result;
        result.proposals.resize(n);
        std::vector<Dimensions> dims(n);
        const std::optional<double> main = offered.along(axis_);
        const std::optional<double> across = offered.along(other(axis_));
        const double spacing = spacing_ * double(n - 1);

        if (!main) {
            for (std::size_t i = 0; i < n; ++i) {
                result.proposals[i] = proposal(axis_, std::nullopt, across);
                dims[i] = kids[i].measure(result.proposals[i]);
            }
        } else {
            // Children with a higher priority are served first; lower ones keep their minimum
            // in reserve. Within a priority the least flexible child is served first, and
            // spacers last: a text beside a spacer wraps only once the spacer is down to its
            // minimum, not when an even share would be too small for it.
            std::vector<double> minimum(n), flexibility(n), priority(n);
            std::vector<bool> spacer(n);
            for (std::size_t i = 0; i < n; ++i) {
                minimum[i] = kids[i].measure(proposal(axis_, 0.0, across)).along(axis_);
                const double maximum =
                    kids[i].measure(proposal(axis_, infinity, across)).along(axis_);
                flexibility[i] = maximum - minimum[i];
                priority[i] = kids[i].node->layoutPriority(kids[i]);
                spacer[i] = kids[i].node->isSpacer(kids[i]);
            }
            std::vector<std::size_t> order(n);
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                if (priority[a] != priority[b])
                    return priority[a] > priority[b];
                if (spacer[a] != spacer[b])
                    return !spacer[a];
                return flexibility[a] < flexibility[b];
            });
            double remaining = std::max(0.0, *main - spacing) -
                               std::accumulate(minimum.begin(), minimum.end(), 0.0);
            for (std::size_t start = 0; start < n;) {
                std::size_t end = start;
                double spacersMinimum = 0; // what the group's spacers keep back from the others
                std::size_t others = 0;    // children of the group that are not spacers
                while (end < n && priority[order[end]] == priority[order[start]]) {
                    const std::size_t i = order[end++];
                    remaining += minimum[i];
                    if (spacer[i])
                        spacersMinimum += minimum[i];
                    else
                        ++others;
                }
                for (std::size_t k = start; k < end; ++k) {
                    const std::size_t i = order[k];
                    const std::size_t served = k - start;
                    const double share =
                        spacer[i] ? remaining / double(end - k)
                                  : (remaining - spacersMinimum) / double(others - served);
                    result.proposals[i] = proposal(axis_, std::max(0.0, share), across);
                    dims[i] = kids[i].measure(result.proposals[i]);
                    remaining -= dims[i].along(axis_);
                }
                start = end;
            }
        }

        // Cross axis: aligned edges, centres or first baselines.
        const Axis crossAxis = other(axis_);
        const bool baseline =
            axis_ == Axis::horizontal && cross_ == int(VerticalAlignment::firstTextBaseline);
        double crossSize = 0, above = 0, below = 0;
        for (const Dimensions& d : dims) {
            crossSize = std::max(crossSize, d.along(crossAxis));
            const double b = d.firstBaseline.value_or(d.size.height());
            above = std::max(above, b);
            below = std::max(below, d.size.height() - b);
        }
        if (baseline)
            crossSize = above + below;

        result.offsets.resize(n);
        double along = 0;
        std::optional<double> firstBaseline;
        for (std::size_t i = 0; i < n; ++i) {
            const Dimensions& d = dims[i];
            const double extent = d.along(crossAxis);
            double offset = 0;
            if (baseline) {
                offset = above - d.firstBaseline.value_or(d.size.height());
            } else if (cross_ == 1) { // centre in both alignment enumerations
                offset = (crossSize - extent) / 2;
            } else if (cross_ == 2) { // trailing or bottom
                offset = crossSize - extent;
            }
            result.offsets[i] = point(axis_, along, offset);
            if (!firstBaseline && d.firstBaseline)
                firstBaseline = result.offsets[i].y() + *d.firstBaseline;
            along += d.along(axis_) + spacing_;
        }
        if (baseline)
            firstBaseline = above;
        result.total = {size(axis_, along - spacing_, crossSize), firstBaseline};
        return result;
    }

    Axis axis_;
    int cross_;
    double spacing_;
    std::vector<Node> children_;
};

} // namespace

QPointF alignedOffset(QSizeF outer, QSizeF inner, Alignment alignment) {
    double x = 0, y = 0;
    switch (alignment.horizontal) {
    case HorizontalAlignment::leading:
        break;
    case HorizontalAlignment::center:
        x = (outer.width() - inner.width()) / 2;
        break;
    case HorizontalAlignment::trailing:
        x = outer.width() - inner.width();
        break;
    }
    switch (alignment.vertical) {
    case VerticalAlignment::top:
    case VerticalAlignment::firstTextBaseline:
        break;
    case VerticalAlignment::center:
        y = (outer.height() - inner.height()) / 2;
        break;
    case VerticalAlignment::bottom:
        y = outer.height() - inner.height();
        break;
    }
    return {x, y};
}

Node vstack(std::vector<Node> children, HorizontalAlignment alignment,
            std::optional<double> spacing) {
    return Node(std::make_shared<StackNode>(Axis::vertical, int(alignment),
                                            spacing.value_or(defaultSpacing), std::move(children)));
}

Node hstack(std::vector<Node> children, VerticalAlignment alignment,
            std::optional<double> spacing) {
    return Node(std::make_shared<StackNode>(Axis::horizontal, int(alignment),
                                            spacing.value_or(defaultSpacing), std::move(children)));
}

} // namespace ui
