#pragma once

#include "tests/ui/HostFixture.h"
#include "ui/Layout.h"
#include "ui/Render.h"

#include <QColor>

// Layout, picture and host tests of the panel kit share one application (widgets for the host,
// fonts loaded as the app loads them) and these helpers.
class KitTest : public HostTest {
public:
    static ui::Environment environment(ui::ColorScheme scheme = ui::ColorScheme::light) {
        ui::Environment env = HostTest::environment();
        env.scheme = scheme;
        return env;
    }
    static ui::Layout layout(const ui::Node& view, double width,
                             ui::ColorScheme scheme = ui::ColorScheme::light) {
        return ui::Layout(view, environment(scheme), {width, std::nullopt});
    }
    // The colour painted at `point` (logical pixels) on a transparent ground, at scale 1.
    static QColor pixel(const ui::Node& view, double width, QPointF point,
                        ui::ColorScheme scheme = ui::ColorScheme::light) {
        return ui::render(view, environment(scheme), width, 1).pixelColor(point.toPoint());
    }
    // The view painted at its ideal width.
    static QImage renderIdeal(const ui::Node& view, ui::ColorScheme scheme = ui::ColorScheme::light,
                              double scale = 1) {
        const double width = ui::Layout(view, environment(scheme), {}).size().width();
        return ui::render(view, environment(scheme), width, scale);
    }
    // What `colour` paints over a transparent ground.
    static QColor painted(const ui::Color& colour,
                          ui::ColorScheme scheme = ui::ColorScheme::light) {
        return colour.resolve(environment(scheme));
    }
    // The first placed element showing `text`, or none.
    static const ui::Element* findText(const ui::Element& root, const QString& text);
    // The placed elements that show a text, in tree order.
    static std::vector<const ui::Element*> texts(const ui::Element& root);
};

// Colours equal within the rounding of painting.
testing::AssertionResult near(const QColor& actual, const QColor& expected, int tolerance = 3);

// An ink of `expected`'s colour, however thin its stroke was drawn.
testing::AssertionResult inked(const QColor& actual, const QColor& expected, int tolerance = 8);
// The most opaque colour painted inside `rect` of `image` (a glyph's ink, a symbol's stroke).
QColor strongest(const QImage& image, const QRectF& rect);
// What painting `layers` in order onto a transparent pixel gives.
QColor stacked(const std::vector<QColor>& layers);
