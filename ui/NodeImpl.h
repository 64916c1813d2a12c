#pragma once

#include "ui/Element.h"
#include "ui/Interaction.h"
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
    // A spacer gives way to its siblings down to its minimum before any of them gives way;
    // modifiers that only wrap pass their content's answer on.
    virtual bool isSpacer(const Element&) const { return false; }

    // What the window host reads for interaction; none unless the node is that modifier.
    virtual const Accessibility* accessibility() const { return nullptr; }
    virtual const Shape* hitShape() const { return nullptr; }
    virtual const std::function<void()>* tapAction() const { return nullptr; }
    virtual const std::function<void(bool)>* hoverAction() const { return nullptr; }
    virtual const FocusStop* focusStop() const { return nullptr; }
    virtual const FocusBinding* focusBinding() const { return nullptr; }
    virtual const QKeyCombination* shortcut() const { return nullptr; }
    virtual const QString* tooltip() const { return nullptr; } // a localisation key
    virtual const Lifecycle* lifecycle() const { return nullptr; }
    virtual const ChangeWatch* changeWatch() const { return nullptr; }
    virtual const MenuModel* menu() const { return nullptr; }
    virtual const TextFieldModel* textField() const { return nullptr; }
    virtual const DialogModel* dialog() const { return nullptr; }
    virtual std::optional<Axis> scrollAxis() const { return std::nullopt; }
    virtual const std::function<void(bool)>* scrollReport() const { return nullptr; }
    virtual const QString* coordinateSpace() const { return nullptr; }
    virtual const GeometryReport* geometryReport() const { return nullptr; }
    // Symbols and images read as images to assistive technology.
    virtual bool isGraphic() const { return false; }
    // What assistive technology reads as a control's name when its label is not laid out (a
    // switch with a hidden label); none otherwise.
    virtual const Element* hiddenLabel(const Element&) const { return nullptr; }

    // Hit testing. A node that does not admit a point hides its whole subtree from it (a scroll
    // view outside its frame, a hit shape outside its outline); a node that is hit itself (a
    // drawn leaf) takes the point for its subtree.
    virtual bool admitsHit(const Element&, QPointF) const { return true; }
    virtual bool isHitItself(const Element&, QPointF) const { return false; }
    // Children are drawn in order, so later ones lie on top; a background is drawn first.
    virtual bool drawsFirstChildOnTop() const { return false; }

protected:
    // Adds a child element for `node`, with `environment` or the parent's.
    static Element& addChild(Element& self, const class Node& node, const QString& segment,
                             std::shared_ptr<const Environment> environment = nullptr,
                             std::optional<std::optional<Axis>> stackAxis = std::nullopt);
    static void paintChildren(QPainter& painter, const Element& self);
    // Paints one child, unless it is a leaf that lies wholly outside the painter's clip.
    static void paintElement(QPainter& painter, const Element& element);
};

// Offset of a box of size `inner` aligned inside `outer`.
QPointF alignedOffset(QSizeF outer, QSizeF inner, Alignment alignment);

// Builds the element tree for a node under an environment.
Element buildElement(const class Node& node, std::shared_ptr<const Environment> environment,
                     std::optional<Axis> stackAxis, const QString& identity);

} // namespace ui
