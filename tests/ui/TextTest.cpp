#include "GuiTest.h"
#include "ui/Layout.h"
#include "ui/Localization.h"

#include <QFontInfo>
#include <QFontMetricsF>

using namespace ui;

namespace {

// The text element inside the element carrying `id` (ids wrap their content).
const Element* textIn(const Layout& layout, QStringView id) {
    const Element* element = layout.find(id);
    while (element && element->lines.empty() && !element->children.empty())
        element = &element->children.front();
    return element;
}

class TextTest : public GuiTest {
protected:
    static QFont bodyFont() { return Font{}.qfont(TypeSize::large); }
    // A width that holds the widest of the three words but no two of them.
    static double oneWordWidth() {
        const QFontMetricsF metrics(bodyFont());
        return metrics.horizontalAdvance(QStringLiteral("hydration")) + 2;
    }
    static Layout lay(const Node& node, std::optional<double> width,
                      std::optional<double> height = std::nullopt) {
        return Layout(node.id("text"), environment(), {width, height});
    }
    static const inline QString threeWords = QStringLiteral("water hydration glass");
};

TEST_F(TextTest, LineLimitCutsTheRestIntoAnEllipsis) {
    const double lineHeight = QFontMetricsF(bodyFont()).lineSpacing();
    const struct {
        std::optional<int> limit;
        std::size_t lines;
        bool ellipsis;
    } cases[] = {{std::nullopt, 3, false}, {3, 3, false}, {2, 2, true}, {1, 1, true}};
    for (const auto& c : cases) {
        const Layout layout = lay(verbatim(threeWords).lineLimit(c.limit), oneWordWidth());
        const Element* text = textIn(layout, u"text");
        ASSERT_EQ(text->lines.size(), c.lines) << c.limit.value_or(0);
        EXPECT_EQ(text->lines.back().text.endsWith(QChar(0x2026)), c.ellipsis)
            << text->lines.back().text.toStdString();
        EXPECT_DOUBLE_EQ(text->frame.height(), lineHeight * double(c.lines));
        EXPECT_LE(text->frame.width(), oneWordWidth());
    }
    const Layout cut = lay(verbatim(threeWords).lineLimit(2), oneWordWidth());
    EXPECT_EQ(textIn(cut, u"text")->lines.front().text, QStringLiteral("water"));
}

TEST_F(TextTest, WrappedTextReportsTheHeightOfItsLines) {
    const QFontMetricsF metrics(bodyFont());
    const double full = metrics.horizontalAdvance(threeWords);
    const struct {
        double width;
        std::size_t lines;
    } cases[] = {{full + 50, 1},
                 {full, 1},
                 {metrics.horizontalAdvance(QStringLiteral("water hydration")) + 1, 2},
                 {oneWordWidth(), 3}};
    for (const auto& c : cases) {
        const Layout layout = lay(verbatim(threeWords), c.width);
        const Element* text = textIn(layout, u"text");
        EXPECT_EQ(text->lines.size(), c.lines) << c.width;
        EXPECT_DOUBLE_EQ(text->frame.height(), metrics.lineSpacing() * double(c.lines)) << c.width;
        EXPECT_LE(text->frame.width(), c.width);
    }
}

TEST_F(TextTest, TextIsNeverCutByTheOfferedHeight) {
    const Layout layout = lay(verbatim(threeWords), oneWordWidth(), 4.0);
    EXPECT_EQ(textIn(layout, u"text")->lines.size(), 3u);
    EXPECT_GT(layout.size().height(), 4.0);
}

TEST_F(TextTest, LineBreaksInTheTextStartNewLines) {
    const Layout layout = lay(verbatim(QStringLiteral("one\ntwo")), 1000);
    const Element* text = textIn(layout, u"text");
    ASSERT_EQ(text->lines.size(), 2u);
    EXPECT_EQ(text->lines[1].text, QStringLiteral("two"));
}

TEST_F(TextTest, KeysAreLocalisedWithTheirArguments) {
    Environment env = environment();
    const Layout plain(text(QStringLiteral("%lld glasses"), {3LL}).id("t"), env, {});
    EXPECT_EQ(textIn(plain, u"t")->text, QStringLiteral("3 glasses"));

    env.localizer = [](const QString& key, const std::vector<TextArgument>& arguments) {
        return key == QStringLiteral("Counting starts over at %@")
                   ? QStringLiteral("Restart: ") + std::get<QString>(arguments[0])
                   : key;
    };
    const Layout table(
        text(QStringLiteral("Counting starts over at %@"), {QStringLiteral("Mon 9:00")}).id("t"),
        env, {});
    EXPECT_EQ(textIn(table, u"t")->text, QStringLiteral("Restart: Mon 9:00"));
    const Layout literal(verbatim(QStringLiteral("Counting starts over at %@")).id("t"), env, {});
    EXPECT_EQ(textIn(literal, u"t")->text, QStringLiteral("Counting starts over at %@"));
}

// Keys the table does not hold read the same with the table as without one.
TEST_F(TextTest, WithoutATableKeysAreFilledAsTheTableFillsThem) {
    Environment bare = environment();
    Environment shipped = environment();
    shipped.localizer = shippedLocalizer(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const struct {
        QString key;
        std::vector<TextArgument> arguments;
        QString shown;
    } cases[] = {
        {"%lld%% done", {5LL}, "5% done"},
        {"%@ and %@", {QStringLiteral("tea")}, "tea and %@"},
        {"100% sure", {}, "100% sure"},
    };
    for (const auto& c : cases) {
        for (const Environment* env : {&bare, &shipped}) {
            const Layout layout(text(c.key, c.arguments).id("t"), *env, {});
            EXPECT_EQ(textIn(layout, u"t")->text, c.shown) << c.key.toStdString();
        }
    }
}

TEST_F(TextTest, TheShippedTableGivesPluralFormsAndKeepsUnknownKeys) {
    Environment env = environment();
    env.localizer = shippedLocalizer(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const struct {
        QString key;
        std::vector<TextArgument> arguments;
        QString shown;
    } cases[] = {
        {"%lld glasses", {1LL}, "1 glass"},
        {"%lld glasses", {2LL}, "2 glasses"},
        {"%lld sips", {0LL}, "0 sips"},
        // Not in the table: the key itself, placeholders filled in order.
        {"%@ ml", {QStringLiteral("250")}, "250 ml"},
        {"Version %@ is here", {}, "Version %@ is here"},
    };
    for (const auto& c : cases) {
        const Layout layout(text(c.key, c.arguments).id("t"), env, {});
        EXPECT_EQ(textIn(layout, u"t")->text, c.shown) << c.key.toStdString();
    }
}

TEST_F(TextTest, MinimumScaleShrinksBeforeCutting) {
    const QString title = QStringLiteral("Notifications");
    const double full = QFontMetricsF(bodyFont()).horizontalAdvance(title);
    const Layout layout = lay(verbatim(title).lineLimit(1).minimumScaleFactor(0.8), full * 0.9);
    const Element* text = textIn(layout, u"text");
    ASSERT_EQ(text->lines.size(), 1u);
    EXPECT_EQ(text->lines.front().text, title);
    EXPECT_LT(text->font.pixelSize(), bodyFont().pixelSize());
}

TEST_F(TextTest, TextRolesUseInterAtPixelSizes) {
    const struct {
        Font font;
        int pixels;
        QFont::Weight weight;
    } cases[] = {{{TextStyle::largeTitle, FontWeight::bold}, 26, QFont::Bold},
                 {{TextStyle::title2, FontWeight::semibold}, 17, QFont::DemiBold},
                 {{TextStyle::title3}, 15, QFont::Normal},
                 {{TextStyle::headline}, 13, QFont::Bold},
                 {{TextStyle::callout}, 12, QFont::Normal},
                 {{TextStyle::caption}, 10, QFont::Normal}};
    for (const auto& c : cases) {
        const QFont font = c.font.qfont(TypeSize::large);
        EXPECT_EQ(font.pixelSize(), c.pixels);
        EXPECT_EQ(font.pointSize(), -1); // never a point size
        EXPECT_EQ(font.weight(), c.weight);
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Inter"));
    }
    EXPECT_GT(Font{TextStyle::body}.qfont(TypeSize::accessibility3).pixelSize(), 13);
}

} // namespace

namespace {

TEST_F(TextTest, MonospacedDigitsGiveEveryDigitTheSameAdvance) {
    auto width = [](const char* digits, bool tabular) {
        Font font{TextStyle::title, FontWeight::semibold};
        font.monospacedDigits = tabular;
        return Layout(verbatim(QString::fromLatin1(digits)).font(font), environment(), {})
            .size()
            .width();
    };
    EXPECT_NE(width("111", false), width("000", false)); // the face's own figures are proportional
    EXPECT_DOUBLE_EQ(width("111", true), width("000", true));
    EXPECT_DOUBLE_EQ(width("1:11", true), width("0:00", true));
}

} // namespace
