#include "ui/Layout.h"

#include "ui/NodeImpl.h"

namespace ui {

Layout::Layout(Node root, Environment environment, ProposedSize proposal) : tree_(std::move(root)) {
    root_ = buildElement(tree_, std::make_shared<const Environment>(std::move(environment)),
                         std::nullopt, QString());
    root_.place(QPointF(0, 0), proposal);
}

QRectF Layout::frame(QStringView id) const {
    const Element* element = find(id);
    return element ? element->frame : QRectF();
}

void Layout::paint(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    root_.node->paint(painter, root_);
    painter.restore();
}

} // namespace ui
