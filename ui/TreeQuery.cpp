#include "ui/TreeQuery.h"

#include "ui/NodeImpl.h"

namespace ui {

bool containsPoint(const Element& element, QPointF point) {
    if (!element.placed || !element.node->admitsHit(element, point))
        return false;
    if (element.node->isHitItself(element, point))
        return true;
    for (const Element& child : element.children)
        if (containsPoint(child, point))
            return true;
    return false;
}

namespace {

// Children drawn later lie on top, so they are asked first. A hit shape or bezel that takes the
// point claims it for the elements it wraps, as far as their frames reach.
const Element* deepest(const Element& element, QPointF point,
                       const std::function<bool(const Element&)>& accept, bool claimed) {
    if (!element.placed || !element.node->admitsHit(element, point))
        return nullptr;
    const bool claims = claimed || element.node->isHitItself(element, point);
    if (element.node->drawsFirstChildOnTop()) {
        for (const Element& child : element.children)
            if (const Element* found = deepest(child, point, accept, claims))
                return found;
    } else {
        for (auto child = element.children.rbegin(); child != element.children.rend(); ++child)
            if (const Element* found = deepest(*child, point, accept, claims))
                return found;
    }
    if (accept(element) &&
        ((claimed && element.frame.contains(point)) || containsPoint(element, point)))
        return &element;
    return nullptr;
}

void collect(const Element& element, QPointF point,
             const std::function<bool(const Element&)>& accept, bool claimed,
             std::vector<const Element*>& found) {
    if (!element.placed || !element.node->admitsHit(element, point))
        return;
    const bool claims = claimed || element.node->isHitItself(element, point);
    if (accept(element) &&
        ((claimed && element.frame.contains(point)) || containsPoint(element, point)))
        found.push_back(&element);
    for (const Element& child : element.children)
        collect(child, point, accept, claims, found);
}

} // namespace

const Element* hitTarget(const Element& root, QPointF point,
                         const std::function<bool(const Element&)>& accept) {
    return deepest(root, point, accept, false);
}

std::vector<const Element*> hitAll(const Element& root, QPointF point,
                                   const std::function<bool(const Element&)>& accept) {
    std::vector<const Element*> found;
    collect(root, point, accept, false, found);
    return found;
}

void visit(const Element& root, const std::function<void(const Element&)>& visitor) {
    if (!root.placed)
        return;
    visitor(root);
    for (const Element& child : root.children)
        visit(child, visitor);
}

const Element* firstInside(const Element& element,
                           const std::function<bool(const Element&)>& accept) {
    if (!element.placed)
        return nullptr;
    if (accept(element))
        return &element;
    for (const Element& child : element.children)
        if (const Element* found = firstInside(child, accept))
            return found;
    return nullptr;
}

bool isWithin(const QString& identity, const QString& ancestor) {
    return identity.size() >= ancestor.size() && identity.startsWith(ancestor) &&
           (identity.size() == ancestor.size() || identity[ancestor.size()] == u'/');
}

const Element* findIdentity(const Element& root, const QString& identity) {
    if (!root.placed)
        return nullptr;
    if (root.identity == identity)
        return &root;
    for (const Element& child : root.children)
        if (isWithin(identity, child.identity))
            if (const Element* found = findIdentity(child, identity))
                return found;
    return nullptr;
}

} // namespace ui
