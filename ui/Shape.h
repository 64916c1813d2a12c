#pragma once

#include <QPainterPath>
#include <QRectF>

namespace ui {

// The outline of a shape node, a background or a hit area, fitted to a rectangle.
struct Shape {
    enum class Kind { rectangle, circle, capsule, roundedRectangle };

    Kind kind = Kind::rectangle;
    double cornerRadius = 0;

    static Shape rectangle() { return {}; }
    static Shape circle() { return {Kind::circle, 0}; }
    static Shape capsule() { return {Kind::capsule, 0}; }
    // Rounded with continuous (curvature-smooth) corners.
    static Shape roundedRectangle(double radius) { return {Kind::roundedRectangle, radius}; }

    QPainterPath path(const QRectF& rect) const;
    bool operator==(const Shape&) const = default;
};

} // namespace ui
