#pragma once

#include "ui/Element.h"
#include "ui/Interaction.h"
#include "ui/Node.h"

#include <QPainter>
#include <typeindex>

namespace ui {

class HostPass;
class HostServices;

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

    // What the node carries for the window host (ui/Interaction.h: a tap action, a focus stop,
    // a tooltip...), by kind; none unless it carries that kind.
    template <typename T> const T* get() const {
        return static_cast<const T*>(find(std::type_index(typeid(T))));
    }
    virtual const void* find(std::type_index) const { return nullptr; }
    // Its part in a pass over a window's new tree (ui/HostPass.h).
    virtual void commit(const Element&, HostPass&) const {}
    // What a click, Space, Return or a shortcut on the node does: runs its action or opens its
    // menu. False when it has neither.
    virtual bool activate(const Element& self, HostServices& host) const;
    // A wheel or trackpad scroll of `delta` pixels (positive towards the start) over the node;
    // false when the node does not scroll or is already at that end.
    virtual bool scroll(const Element&, QPointF) const { return false; }
    bool isActionable() const { return get<TapAction>() || get<MenuModel>(); }

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
