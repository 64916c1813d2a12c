#pragma once

#include "ui/Color.h"
#include "ui/Environment.h"
#include "ui/Font.h"
#include "ui/Geometry.h"
#include "ui/Shape.h"
#include "ui/SymbolName.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class NodeImpl;

// Frame limits per axis; an unset limit leaves that side to the content.
struct FrameLimits {
    std::optional<double> minWidth = std::nullopt;
    std::optional<double> idealWidth = std::nullopt;
    std::optional<double> maxWidth = std::nullopt;
    std::optional<double> minHeight = std::nullopt;
    std::optional<double> idealHeight = std::nullopt;
    std::optional<double> maxHeight = std::nullopt;
    Alignment alignment = {};
};

// What assistive technology is told about a node; the window host reads it.
struct Accessibility {
    enum Trait : unsigned { none = 0, button = 1, header = 2, selected = 4, toggle = 8 };

    std::optional<QString> label = std::nullopt;
    std::optional<QString> value = std::nullopt;
    std::optional<QString> hint = std::nullopt;
    unsigned traits = none;
    bool hidden = false;
    bool combineChildren = false; // one element whose children are read as one
    bool ignoreChildren = false;  // one element whose children are not read
};

// A view: an immutable, cheaply copied description of a subtree. Every modifier returns a new
// node that wraps this one.
class Node {
public:
    Node(); // draws nothing and takes no space
    explicit Node(std::shared_ptr<const NodeImpl> impl) : impl_(std::move(impl)) {}

    const NodeImpl& impl() const { return *impl_; }

    // Layout.
    Node padding(double length) const { return padding(EdgeInsets::all(length)); }
    Node padding(EdgeInsets insets) const;
    Node frame(std::optional<double> width, std::optional<double> height,
               Alignment alignment = {}) const;
    Node frame(const FrameLimits& limits) const;
    Node fixedSize(bool horizontal = true, bool vertical = true) const;
    Node layoutPriority(double priority) const;

    // Layers.
    Node background(Node layer, Alignment alignment = {}) const;
    Node overlay(Node layer, Alignment alignment = {}) const;

    // Drawing and environment.
    Node foreground(Color color) const;
    Node tint(std::optional<Color> tint) const;
    Node font(Font font) const;
    Node fontWeight(FontWeight weight) const;
    Node lineLimit(std::optional<int> lines) const;
    Node multilineTextAlignment(TextAlignment alignment) const;
    Node minimumScaleFactor(double factor) const;
    Node opacity(double opacity) const;
    Node disabled(bool disabled = true) const;
    Node environment(std::function<void(Environment&)> change) const;

    // Identity and what the host needs for interaction.
    Node id(QString id) const;
    Node accessibility(Accessibility accessibility) const;
    Node accessibilityHidden() const { return accessibility({.hidden = true}); }
    Node contentShape(Shape shape) const;
    Node onTap(std::function<void()> action) const;

private:
    std::shared_ptr<const NodeImpl> impl_;
};

// Containers. Stack spacing defaults to defaultSpacing.
inline constexpr double defaultSpacing = 8;
Node vstack(std::vector<Node> children, HorizontalAlignment alignment = HorizontalAlignment::center,
            std::optional<double> spacing = std::nullopt);
Node hstack(std::vector<Node> children, VerticalAlignment alignment = VerticalAlignment::center,
            std::optional<double> spacing = std::nullopt);
Node zstack(std::vector<Node> children, Alignment alignment = {});
// The first child whose ideal size fits the proposal on the given axes; the last one otherwise.
Node firstThatFits(std::vector<Node> children, bool horizontal = false, bool vertical = true);
// Offers its content unlimited length on the axis and shows a window of it.
Node scrollView(Node content, Axis axis = Axis::vertical);

// Leaves.
inline constexpr double defaultSpacerMinimum = 8;
Node spacer(double minLength = defaultSpacerMinimum);
Node text(QString key, std::vector<TextArgument> arguments = {}); // a localisation key
Node verbatim(QString text);                                      // shown as given
Node symbol(SymbolName name);
Node divider();
Node image(QImage image, bool resizable = false);
// A shape filled with `fill` (the foreground when none) and stroked inside its border.
Node shape(Shape shape, std::optional<Paint> fill = std::nullopt,
           std::optional<Paint> stroke = std::nullopt, double lineWidth = 1);
inline Node fill(Shape s, Paint paint) {
    return shape(s, std::move(paint));
}
inline Node strokeBorder(Shape s, Paint paint, double lineWidth = 1) {
    return shape(s, Paint(Color::clear()), std::move(paint), lineWidth);
}

} // namespace ui
