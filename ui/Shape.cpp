#include "ui/Shape.h"

#include <algorithm>

namespace ui {

namespace {

// A rounded rectangle whose corners ease into the straight edges (continuous curvature), built
// from three cubic segments per corner; a corner reaches 1.52866 × radius along each edge.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius) {
    constexpr double reach = 1.52866;
    const double limit = std::min(rect.width(), rect.height()) / 2.0;
    const double r = std::min(radius, limit / reach);
    QPainterPath path;
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    const double l = rect.left(), t = rect.top(), ri = rect.right(), b = rect.bottom();
    // One corner in the unit frame of the top-right corner: (along the edge, away from it).
    auto corner = [&](auto point) {
        path.lineTo(point(reach * r, 0));
        path.cubicTo(point(1.08849 * r, 0), point(0.86840 * r, 0), point(0.63149 * r, 0.07491 * r));
        path.cubicTo(point(0.37282 * r, 0.16905 * r), point(0.16905 * r, 0.37282 * r),
                     point(0.07491 * r, 0.63149 * r));
        path.cubicTo(point(0, 0.86840 * r), point(0, 1.08849 * r), point(0, reach * r));
    };
    path.moveTo(l + reach * r, t);
    corner([&](double a, double d) { return QPointF(ri - a, t + d); });
    corner([&](double a, double d) { return QPointF(ri - d, b - a); });
    corner([&](double a, double d) { return QPointF(l + a, b - d); });
    corner([&](double a, double d) { return QPointF(l + d, t + a); });
    path.closeSubpath();
    return path;
}

} // namespace

QPainterPath Shape::path(const QRectF& rect) const {
    QPainterPath path;
    switch (kind) {
    case Kind::rectangle:
        path.addRect(rect);
        break;
    case Kind::circle: {
        const double side = std::min(rect.width(), rect.height());
        path.addEllipse(
            QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side));
        break;
    }
    case Kind::capsule: {
        const double radius = std::min(rect.width(), rect.height()) / 2;
        path.addRoundedRect(rect, radius, radius);
        break;
    }
    case Kind::roundedRectangle:
        path = continuousRoundedRect(rect, cornerRadius);
        break;
    }
    return path;
}

} // namespace ui
