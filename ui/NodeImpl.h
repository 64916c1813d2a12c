#pragma once

#include "ui/Element.h"
#include "ui/Node.h"

#include <QPainter>

namespace ui {

// What every kind of node does in a layout pass. Nodes are immutable descriptions and may be
// shared between trees; per-pass data lives in the Element.
class NodeImpl {
public:
    virtual ~NodeImpl() = default;

    // Fills the element (environment already set) with its children; called once per pass.
    virtual void build(Element& self) const;
    virtual Dimensions measure(const Element& self, const ProposedSize& proposal) const = 0;
    // Places the children inside self.frame, which is already set.
    virtual void place(Element& self) const;
    virtual void paint(QPainter& painter, const Element& self) const;
    // The priority stacks read; modifiers that only wrap pass their content's on.
    virtual double layoutPriority(const Element& self) const;
    // An empty node takes no place in a stack, not even its spacing.
    virtual bool isEmpty() const { return false; }

    // What the window host reads for interaction; none unless the node is that modifier.
    virtual const Accessibility* accessibility() const { return nullptr; }
    virtual const Shape* hitShape() const { return nullptr; }
    virtual const std::function<void()>* tapAction() const { return nullptr; }

protected:
    // Adds a child element for `node`, with `environment` or the parent's.
    static Element& addChild(Element& self, const class Node& node, const QString& segment,
                             std::shared_ptr<const Environment> environment = nullptr,
                             std::optional<std::optional<Axis>> stackAxis = std::nullopt);
    static void paintChildren(QPainter& painter, const Element& self);
};

// Offset of a box of size `inner` aligned inside `outer`.
QPointF alignedOffset(QSizeF outer, QSizeF inner, Alignment alignment);

// Builds the element tree for a node under an environment.
Element buildElement(const class Node& node, std::shared_ptr<const Environment> environment,
                     std::optional<Axis> stackAxis, const QString& identity);

} // namespace ui
