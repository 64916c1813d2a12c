#pragma once

#include "ui/Element.h"
#include "ui/Node.h"

#include <QPainter>

namespace ui {

// One layout pass: a pure function of the tree, the environment and the proposal. The result
// keeps the tree alive and answers frames by identity.
class Layout {
public:
    Layout(Node root, Environment environment, ProposedSize proposal);

    QSizeF size() const { return root_.frame.size(); }
    const Element& root() const { return root_; }
    // The element carrying the explicit id, or none.
    const Element* find(QStringView id) const { return root_.find(id); }
    // The frame of the element carrying the explicit id; an empty rectangle when there is none.
    QRectF frame(QStringView id) const;

    void paint(QPainter& painter) const;

private:
    Node tree_;
    Element root_;
};

} // namespace ui
