#include "ui/Color.h"

#include "ui/Environment.h"

namespace ui {

namespace {
// Functions, not globals: colours are also built during static initialisation elsewhere.
// The desktop's label colours: near black on light, near white on dark.
QColor labelLight() {
    return QColor::fromRgbF(0, 0, 0, 0.85f);
}
QColor labelDark() {
    return QColor::fromRgbF(1, 1, 1, 0.85f);
}
// Opacities of the hierarchical styles over the label colour.
constexpr double secondaryOpacity = 0.5;
constexpr double tertiaryOpacity = 0.26;
constexpr double quaternaryOpacity = 0.1;
// Accent used when no tint is set.
QColor accentLight() {
    return QColor(0, 122, 255);
}
QColor accentDark() {
    return QColor(10, 132, 255);
}
} // namespace

Color Color::fixed(const QColor& color) {
    return Color(Kind::fixed, color, color, 1.0);
}

Color Color::rgb(double red, double green, double blue, double alpha) {
    return fixed(QColor::fromRgbF(float(red), float(green), float(blue), float(alpha)));
}

Color Color::forScheme(const QColor& light, const QColor& dark) {
    return Color(Kind::scheme, light, dark, 1.0);
}

Color Color::primary() {
    return Color(Kind::primary, labelLight(), labelDark(), 1.0);
}
Color Color::secondary() {
    return primary().opacity(secondaryOpacity);
}
Color Color::tertiary() {
    return primary().opacity(tertiaryOpacity);
}
Color Color::quaternary() {
    return primary().opacity(quaternaryOpacity);
}
Color Color::tint() {
    return Color(Kind::tint, accentLight(), accentDark(), 1.0);
}

Color Color::black() {
    return fixed(Qt::black);
}
Color Color::white() {
    return fixed(Qt::white);
}
Color Color::red() {
    return forScheme(QColor(255, 59, 48), QColor(255, 69, 58));
}
Color Color::orange() {
    return forScheme(QColor(255, 149, 0), QColor(255, 159, 10));
}
Color Color::green() {
    return forScheme(QColor(40, 205, 65), QColor(50, 215, 75));
}
Color Color::accent() {
    return forScheme(accentLight(), accentDark());
}

// Without a blur behind it, glass reads as a white veil: strong on light, faint on dark.
Color Color::glassMaterial() {
    return forScheme(QColor(255, 255, 255, 140), QColor(255, 255, 255, 36));
}
Color Color::barMaterial() {
    return forScheme(QColor(246, 246, 246, 235), QColor(40, 40, 40, 235));
}
Color Color::windowBackground() {
    return forScheme(QColor(236, 236, 236), QColor(30, 30, 30));
}
Color Color::separator() {
    return primary().opacity(0.1);
}

Color Color::opacity(double factor) const {
    Color copy = *this;
    copy.opacity_ *= factor;
    return copy;
}

QColor Color::resolve(const Environment& environment) const {
    const bool dark = environment.scheme == ColorScheme::dark;
    QColor color;
    switch (kind_) {
    case Kind::fixed:
        color = light_;
        break;
    case Kind::scheme:
    case Kind::primary:
        color = dark ? dark_ : light_;
        break;
    case Kind::tint:
        if (environment.tint && environment.tint->kind_ != Kind::tint)
            color = environment.tint->resolve(environment);
        else
            color = dark ? dark_ : light_;
        break;
    }
    color.setAlphaF(float(color.alphaF() * opacity_));
    return color;
}

} // namespace ui
