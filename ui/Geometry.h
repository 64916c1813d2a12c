#pragma once

// The geometry of layout: axes, alignments, proposed sizes, dimensions and insets.

#include <QMarginsF>
#include <QSizeF>
#include <limits>
#include <optional>

namespace ui {

inline constexpr double infinity = std::numeric_limits<double>::infinity();

enum class Axis { horizontal, vertical };

enum class HorizontalAlignment { leading, center, trailing };
enum class VerticalAlignment { top, center, bottom, firstTextBaseline };

struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::center;
    VerticalAlignment vertical = VerticalAlignment::center;

    static constexpr Alignment center() { return {}; }
    static constexpr Alignment leading() { return {HorizontalAlignment::leading}; }
    static constexpr Alignment trailing() { return {HorizontalAlignment::trailing}; }
    static constexpr Alignment top() {
        return {HorizontalAlignment::center, VerticalAlignment::top};
    }
    static constexpr Alignment bottom() {
        return {HorizontalAlignment::center, VerticalAlignment::bottom};
    }
    static constexpr Alignment topLeading() {
        return {HorizontalAlignment::leading, VerticalAlignment::top};
    }
    static constexpr Alignment topTrailing() {
        return {HorizontalAlignment::trailing, VerticalAlignment::top};
    }
    bool operator==(const Alignment&) const = default;
};

// What a parent offers a child on each axis: a length, or none to ask for the child's ideal
// length. Zero asks for the minimum and infinity for the maximum.
struct ProposedSize {
    std::optional<double> width = std::nullopt;
    std::optional<double> height = std::nullopt;

    static ProposedSize unspecified() { return {}; }
    static ProposedSize zero() { return {0.0, 0.0}; }
    static ProposedSize infinite() { return {infinity, infinity}; }
    static ProposedSize of(QSizeF size) { return {size.width(), size.height()}; }

    std::optional<double> along(Axis axis) const {
        return axis == Axis::horizontal ? width : height;
    }
    bool operator==(const ProposedSize&) const = default;
};

// A child's answer: its size, and where its first text baseline lies, measured from its top.
struct Dimensions {
    QSizeF size;
    std::optional<double> firstBaseline = std::nullopt;

    double along(Axis axis) const {
        return axis == Axis::horizontal ? size.width() : size.height();
    }
};

struct EdgeInsets {
    double top = 0;
    double leading = 0;
    double bottom = 0;
    double trailing = 0;

    static EdgeInsets all(double length) { return {length, length, length, length}; }
    static EdgeInsets horizontal(double length) { return {0, length, 0, length}; }
    static EdgeInsets vertical(double length) { return {length, 0, length, 0}; }
    bool operator==(const EdgeInsets&) const = default;
};

} // namespace ui
