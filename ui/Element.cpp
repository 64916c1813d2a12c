#include "ui/Element.h"

#include "ui/Node.h"
#include "ui/NodeImpl.h"

namespace ui {

namespace {
// Stacks ask a child for its minimum, maximum and share; a few entries cover a pass.
constexpr std::size_t cacheSize = 6;
} // namespace

Dimensions Element::measure(const ProposedSize& proposal) const {
    for (const CacheEntry& entry : cache_)
        if (entry.proposal == proposal)
            return entry.dimensions;
    Dimensions dimensions = node->measure(*this, proposal);
    if (cache_.size() >= cacheSize)
        cache_.erase(cache_.begin());
    cache_.push_back({proposal, dimensions});
    return dimensions;
}

void Element::place(QPointF origin, const ProposedSize& offered) {
    proposal = offered;
    placed = true;
    const Dimensions dimensions = measure(offered);
    frame = QRectF(origin, dimensions.size);
    firstBaseline = dimensions.firstBaseline;
    node->place(*this);
}

const Element* Element::find(QStringView id) const {
    if (!id.isEmpty() && explicitId == id)
        return this;
    for (const Element& child : children)
        if (!child.placed)
            continue;
        else if (const Element* found = child.find(id))
            return found;
    return nullptr;
}

void NodeImpl::build(Element&) const {}

void NodeImpl::place(Element&) const {}

void NodeImpl::paint(QPainter& painter, const Element& self) const {
    paintChildren(painter, self);
}

double NodeImpl::layoutPriority(const Element&) const {
    return 0;
}

Element& NodeImpl::addChild(Element& self, const Node& node, const QString& segment,
                            std::shared_ptr<const Environment> environment,
                            std::optional<std::optional<Axis>> stackAxis) {
    self.children.push_back(buildElement(node, environment ? environment : self.environment,
                                         stackAxis ? *stackAxis : self.stackAxis,
                                         self.identity + u'/' + segment));
    return self.children.back();
}

void NodeImpl::paintChildren(QPainter& painter, const Element& self) {
    for (const Element& child : self.children)
        if (child.placed)
            paintElement(painter, child);
}

void NodeImpl::paintElement(QPainter& painter, const Element& element) {
    // How far a leaf's ink may reach past its frame: half a stroke, a focus ring, a glyph's
    // overhang, antialiasing.
    constexpr double inkMargin = 8;
    // A picture painted in bands clips each one: without this, every text and symbol would be
    // drawn once per band. Containers are always entered, as a child may overflow its parent.
    if (element.children.empty() && painter.hasClipping() &&
        !painter.clipBoundingRect().intersects(
            element.frame.adjusted(-inkMargin, -inkMargin, inkMargin, inkMargin)))
        return;
    element.node->paint(painter, element);
}

Element buildElement(const Node& node, std::shared_ptr<const Environment> environment,
                     std::optional<Axis> stackAxis, const QString& identity) {
    Element element;
    element.node = &node.impl();
    element.environment = std::move(environment);
    element.stackAxis = stackAxis;
    element.identity = identity;
    element.node->build(element);
    return element;
}

} // namespace ui
