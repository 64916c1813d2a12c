#pragma once

#include <QColor>
#include <QPointF>
#include <variant>
#include <vector>

namespace ui {

struct Environment;

enum class ColorScheme { light, dark };

// A colour as a view describes it. Colours that follow the scheme or the tint stay symbolic until
// they are painted, so one tree paints correctly in either scheme.
class Color {
public:
    Color() = default; // clear

    static Color fixed(const QColor& color);
    static Color rgb(double red, double green, double blue, double alpha = 1.0);
    static Color forScheme(const QColor& light, const QColor& dark);
    static Color primary();
    static Color secondary();
    static Color tertiary();
    static Color quaternary();
    static Color tint();
    static Color clear() { return {}; }

    // Fixed colours standing in for the desktop's named colours.
    static Color black();
    static Color white();
    static Color red();
    static Color orange();
    static Color green();
    static Color accent();

    // Materials and hairlines the designs name without stating them; the values are ours.
    static Color glassMaterial(); // glass cards and glass buttons: frosted white
    static Color barMaterial();   // a bar laid over scrolled content: nearly opaque
    static Color separator();     // dividers and the edge of a bar
    static Color windowBackground(); // a window's own ground, under its content

    Color opacity(double factor) const;
    QColor resolve(const Environment& environment) const;
    bool isClear() const { return kind_ == Kind::fixed && light_.alpha() == 0; }

    bool operator==(const Color&) const = default;

private:
    enum class Kind { fixed, scheme, primary, tint };
    Color(Kind kind, QColor light, QColor dark, double opacity)
        : kind_(kind), light_(light), dark_(dark), opacity_(opacity) {}

    Kind kind_ = Kind::fixed;
    QColor light_ = QColor(0, 0, 0, 0);
    QColor dark_ = QColor(0, 0, 0, 0);
    double opacity_ = 1.0;
};

struct GradientStop {
    double location = 0;
    Color color;
    bool operator==(const GradientStop&) const = default;
};

// Start and end are unit points of the filled rectangle: (0, 0) top-leading, (1, 1)
// bottom-trailing.
struct LinearGradient {
    std::vector<GradientStop> stops;
    QPointF start{0, 0};
    QPointF end{1, 1};
    bool operator==(const LinearGradient&) const = default;
};

using Paint = std::variant<Color, LinearGradient>;

} // namespace ui
