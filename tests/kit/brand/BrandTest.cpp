#include "kit/brand/BrandBackground.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/BrandPrivacy.h"
#include "kit/brand/KestraBrand.h"
#include "kit/brand/KestraFont.h"
#include "kit/brand/PrivacyGreen.h"
#include "ui/Render.h"

#include <gtest/gtest.h>

using namespace KestraUI;
using ui::ColorScheme;

namespace {

KestraBrand brand(QColor color,
                  KestraBrand::Connection connection = KestraBrand::Connection::offline) {
    return {QStringLiteral("Dewlight"), color, connection, std::nullopt, std::nullopt};
}

TEST(KestraBrandTest, AccentFallsBackToTheBrandColour) {
    const QColor base(10, 158, 194), dark(1, 2, 3), light(4, 5, 6);
    const struct {
        std::optional<QColor> dark, light;
        QColor inDark, inLight;
    } cases[] = {{std::nullopt, std::nullopt, base, base},
                 {dark, std::nullopt, dark, base},
                 {std::nullopt, light, base, light},
                 {dark, light, dark, light}};
    for (const auto& c : cases) {
        KestraBrand b = brand(base);
        b.darkAccent = c.dark;
        b.lightAccent = c.light;
        EXPECT_EQ(b.accent(ColorScheme::dark), c.inDark);
        EXPECT_EQ(b.accent(ColorScheme::light), c.inLight);
    }
}

TEST(KestraBrandTest, ContrastingTextUsesLinearLuminance) {
    const struct {
        QColor fill;
        QColor text;
    } cases[] = {
        {QColor(10, 158, 194), Qt::black},
        {QColor(117, 117, 117), Qt::white}, // linear luminance 0.1779: just below the threshold
        {QColor(118, 118, 118), Qt::black}, // 0.1812; a gamma-encoded reading would say white
        {QColor(255, 255, 255), Qt::black},
        {QColor(0, 0, 0), Qt::white},
    };
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        ui::Environment env;
        env.scheme = scheme;
        for (const auto& c : cases)
            EXPECT_EQ(brand(c.fill).contrastingText(env), c.text) << c.fill.name().toStdString();
    }
}

TEST(BrandBackgroundTest, StopsMixTheBrandIntoTheSchemesBase) {
    const double r = 10 / 255.0, g = 158 / 255.0, b = 194 / 255.0;
    const struct {
        bool dark;
        double base;
        double mix;
    } cases[] = {{true, 20 / 255.0, 0.2}, {false, 1.0, 0.098}};
    for (const auto& c : cases) {
        const auto stops = BrandBackgroundRecipe::stops(c.dark, r, g, b);
        const std::array<double, 3> brandComponents = {r, g, b};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(stops[2][i], c.base);
            const double firstShare = stops[0][i] - c.base;
            const double middleShare = stops[1][i] - c.base;
            EXPECT_NEAR(firstShare, 2 * middleShare, 1e-12);
            EXPECT_NEAR(firstShare, c.mix * (brandComponents[i] - c.base), 1e-12);
        }
    }
}

// The same tree paints each scheme's background: nothing is fixed when the tree is built.
TEST(BrandPaintTest, BackgroundFollowsTheSchemeWhenPainted) {
    const ui::Node background = BrandBackground(QColor(10, 158, 194)).frame(100, 100);
    const struct {
        ColorScheme scheme;
        int base;
    } cases[] = {{ColorScheme::dark, 20}, {ColorScheme::light, 255}};
    for (const auto& c : cases) {
        ui::Environment env;
        env.scheme = c.scheme;
        const QImage image = ui::render(background, env, 100, 1);
        const QColor last = image.pixelColor(99, 99);
        EXPECT_NEAR(last.red(), c.base, 2);
        EXPECT_NEAR(last.green(), c.base, 2);
        const QColor first = image.pixelColor(0, 0);
        EXPECT_GT(first.blue(), first.red()); // the brand's blue shows at the top-leading corner
    }
}

TEST(BrandPrivacyTest, NetworkClientsNeverPromiseNoInternet) {
    const struct {
        KestraBrand::Connection connection;
        std::optional<bool> flag; // none: no flag given
        const char* text;
        const char* symbol;
        bool asks;
    } cases[] = {
        {KestraBrand::Connection::online, false, "No data collected", "hand.raised", false},
        {KestraBrand::Connection::online, true, "No data collected", "hand.raised", false},
        {KestraBrand::Connection::offline, true, "No data collected", "hand.raised", true},
        {KestraBrand::Connection::offline, false, "No internet, no data collected", "network.slash",
         true},
        {KestraBrand::Connection::offline, std::nullopt, "No internet, no data collected",
         "network.slash", false},
    };
    for (const auto& c : cases) {
        bool asked = false;
        NetworkClientFlag flag;
        if (c.flag)
            flag = [&asked, value = *c.flag] {
                asked = true;
                return value;
            };
        const DefaultPrivacyLine line = defaultPrivacyLine(brand(Qt::blue, c.connection), flag);
        EXPECT_EQ(line.text, QString::fromLatin1(c.text));
        EXPECT_EQ(line.symbol.name(), QString::fromLatin1(c.symbol));
        EXPECT_EQ(asked, c.asks);
    }
}

TEST(BrandColoursTest, SchemeColoursOfTheKit) {
    EXPECT_EQ(PrivacyGreen::color(ColorScheme::light), QColor::fromRgbF(0.09f, 0.44f, 0.18f));
    EXPECT_EQ(PrivacyGreen::color(ColorScheme::dark), QColor::fromRgbF(0.19f, 0.82f, 0.35f));
    ui::Environment env;
    EXPECT_EQ(BrandPalette::warning(ColorScheme::light).resolve(env), QColor(184, 80, 0));
    env.scheme = ColorScheme::dark;
    EXPECT_EQ(BrandPalette::warning(ColorScheme::dark).resolve(env),
              ui::Color::orange().resolve(env));
    // Muted text is the label colour at 0.7 in either scheme.
    EXPECT_NEAR(BrandPalette::muted.resolve(env).alphaF(),
                ui::Color::primary().resolve(env).alphaF() * 0.7, 0.01);
    EXPECT_GT(BrandPalette::muted.resolve(env).lightness(), 200);
}

TEST(KestraFontTest, RolesInOrderWithTheirFonts) {
    ASSERT_EQ(allKestraFonts.size(), 14u);
    for (std::size_t i = 0; i < allKestraFonts.size(); ++i)
        EXPECT_EQ(int(allKestraFonts[i]), int(i));
    const struct {
        KestraFont role;
        ui::TextStyle style;
        ui::FontWeight weight;
        bool monospaced;
    } cases[] = {
        {KestraFont::title, ui::TextStyle::largeTitle, ui::FontWeight::bold, false},
        {KestraFont::textSemibold, ui::TextStyle::title2, ui::FontWeight::semibold, false},
        {KestraFont::heading, ui::TextStyle::headline, ui::FontWeight::bold, false},
        {KestraFont::welcomeTitle, ui::TextStyle::title2, ui::FontWeight::bold, false},
        {KestraFont::keyCap, ui::TextStyle::callout, ui::FontWeight::semibold, false},
        {KestraFont::versionLine, ui::TextStyle::caption, ui::FontWeight::regular, false},
        {KestraFont::readout, ui::TextStyle::title, ui::FontWeight::semibold, true},
    };
    for (const auto& c : cases) {
        const ui::Font f = font(c.role);
        EXPECT_EQ(f.style, c.style) << int(c.role);
        EXPECT_EQ(f.effectiveWeight(), c.weight) << int(c.role);
        EXPECT_EQ(f.monospacedDigits, c.monospaced) << int(c.role);
    }
    EXPECT_EQ(font(KestraFont::text), font(KestraFont::mark)); // same font, separate roles
}

} // namespace
