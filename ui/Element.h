#pragma once

// The laid-out tree: one element per node, with its frame, its text lines and its children.

#include "ui/Environment.h"
#include "ui/Geometry.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class NodeImpl;

// One laid-out line of a text element, in the element's own coordinates.
struct TextLine {
    QString text;
    double width = 0;    // advance of the line as drawn
    double baseline = 0; // from the element's top
};

// A text set at one offered width: its lines, size and the font they use (smaller than the
// role's when the text may shrink).
struct TextFit {
    std::vector<TextLine> lines;
    QSizeF size;
    QFont font;
};

// A node placed in one layout pass: the node, the environment in force, its identity and, once
// placed, its frame in the root's coordinates. The host matches elements of successive passes by
// `identity` (structural path and explicit ids) to keep hover, focus and scroll state.
struct Element {
    Element() = default;
    Element(const Element&) = default;
    // Moves cannot throw: QFont, which has no move, only shares its data when copied. Without
    // this, a vector of children that grows copies each child's whole subtree.
    Element(Element&&) noexcept = default;
    Element& operator=(const Element&) = default;
    Element& operator=(Element&&) noexcept = default;
    ~Element() = default;

    const NodeImpl* node = nullptr;
    std::shared_ptr<const Environment> environment;
    std::optional<Axis> stackAxis = std::nullopt; // axis of the nearest enclosing stack
    QString identity;
    QString explicitId;
    std::vector<Element> children;
    // Nodes a view made while this element was built (view state, environment readers), kept as
    // long as the element refers to them.
    std::vector<std::shared_ptr<const NodeImpl>> owned;

    QRectF frame;
    std::optional<double> firstBaseline = std::nullopt; // from the frame's top
    ProposedSize proposal;                              // what the parent offered when placing it
    bool placed = false; // false for the alternatives a container left out

    std::optional<Dimensions> intrinsic = std::nullopt; // a leaf's own size, when it has one

    // Text elements only.
    QString text;
    QFont font;
    std::vector<TextLine> lines;
    std::optional<double> naturalWidth = std::nullopt; // the text on one line, once known
    // Fits by offered width: a text ignores the offered height, so stacks probing heights do
    // not set it again, and placing reuses the fit that measuring made.
    mutable std::vector<std::pair<double, TextFit>> textFits;

    Dimensions measure(const ProposedSize& proposal) const;
    // Sizes the element for the proposal and places it with its top-left corner at `origin`.
    void place(QPointF origin, const ProposedSize& proposal);

    const Element* find(QStringView id) const;
    const Environment& env() const { return *environment; }

private:
    struct CacheEntry {
        ProposedSize proposal;
        Dimensions dimensions;
    };
    mutable std::vector<CacheEntry> cache_;
};

} // namespace ui
