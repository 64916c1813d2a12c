// Key caps, shortcut keys and the action row: sizes, marks, fills and what is read aloud.
#include "KitFixture.h"
#include "kit/panel/Keys.h"
#include "kit/panel/PanelActionRow.h"
#include "kit/brand/BrandPalette.h"
#include "kit/brand/KestraFont.h"
#include "ui/AccessibilityTree.h"
#include "ui/NodeImpl.h"
#include "ui/TreeQuery.h"

#include <QFontMetricsF>

using namespace KestraUI;
using ui::ColorScheme;

namespace {

const KestraBrand brand{QStringLiteral("Dewlight"), QColor(10, 158, 194),
                        KestraBrand::Connection::offline, QColor(80, 200, 230), std::nullopt};

double capTextWidth(const QString& key) {
    return QFontMetricsF(font(KestraFont::keyCap).qfont(ui::TypeSize::large))
        .horizontalAdvance(key);
}

TEST_F(KitTest, KeyCapsAreSquareForOneCharacterAndPaddedForMore) {
    const struct {
        std::vector<QString> keys;
        double width;
    } cases[] = {
        {{"Z"}, 20},
        {{"e\u0301"}, 20}, // one character written with two code points
        {{"Ctrl"}, capTextWidth("Ctrl") + 16},
        {{"Ctrl", "Z"}, capTextWidth("Ctrl") + 16 + 4 + 20},
        {{"Z", "Z"}, 44}, // the same key twice is two caps
    };
    for (const auto& c : cases) {
        const ui::Layout caps = layout(KeyCaps(c.keys), 300);
        EXPECT_NEAR(caps.size().width(), c.width, 0.01) << c.keys.front().toStdString();
        EXPECT_EQ(caps.size().height(), 20);
    }
    const auto read = ui::accessibilityTree(layout(KeyCaps({"Ctrl", "Z"}), 300).root());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.front().label, "Ctrl Z");
}

TEST_F(KitTest, ShortcutKeysAreMarkedWhileEditedOrInConflict) {
    const QColor warning[] = {painted(BrandPalette::warning(ColorScheme::light)),
                              painted(BrandPalette::warning(ColorScheme::dark))};
    const QColor accent[] = {brand.accent(ColorScheme::light), brand.accent(ColorScheme::dark)};
    const struct {
        bool editing, conflict;
        bool warns; // else accent, when marked
    } cases[] = {
        {false, false, false}, {true, false, false}, {false, true, true}, {true, true, true}};
    for (const auto& c : cases)
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            SCOPED_TRACE(testing::Message() << c.editing << c.conflict << int(scheme));
            const PanelShortcutKeys keys{.keys = {"Ctrl", "Z"},
                                         .brand = brand,
                                         .isEditing = c.editing,
                                         .hasConflict = c.conflict};
            const QImage image = renderIdeal(keys, scheme);
            const QColor mark = (c.warns ? warning : accent)[int(scheme)];
            if (!c.editing && !c.conflict) {
                EXPECT_EQ(image.pixelColor(0, 18).alpha(), 0); // no border, no fill
                EXPECT_EQ(image.pixelColor(image.width() / 2, 3).alpha(), 0);
                continue;
            }
            EXPECT_TRUE(near(image.pixelColor(0, 18), mark)); // the border
            QColor tint = mark;
            tint.setAlphaF(0.12f);
            EXPECT_TRUE(near(image.pixelColor(image.width() / 2, 3), tint)); // above the caps
        }
}

// The status symbol in front of the caps, as painted, against the symbol painted alone.
TEST_F(KitTest, ConflictWinsOverEditingForTheStatusSymbol) {
    const PanelShortcutKeys keys{
        .keys = {"Z"}, .brand = brand, .isEditing = true, .hasConflict = true};
    const ui::Layout laidOut = layout(keys, 200);
    const ui::Element* mark = nullptr;
    ui::visit(laidOut.root(), [&](const ui::Element& e) {
        if (!mark && e.node->isGraphic())
            mark = &e;
    });
    ASSERT_NE(mark, nullptr);
    const QImage image = renderIdeal(keys, ColorScheme::light, 2);
    auto alone = [&](ui::SymbolName name) {
        return ui::render(ui::symbol(name)
                              .font(font(KestraFont::detail))
                              .foreground(BrandPalette::warning(ColorScheme::light))
                              .frame(mark->frame.width(), mark->frame.height()),
                          environment(), mark->frame.width(), 2);
    };
    const QImage shown =
        image.copy(QRectF(mark->frame.topLeft() * 2, mark->frame.size() * 2).toAlignedRect());
    // How far two pictures of the same size are apart, in summed alpha.
    auto distance = [&](const QImage& other) {
        long long sum = 0;
        for (int y = 0; y < std::min(shown.height(), other.height()); ++y)
            for (int x = 0; x < std::min(shown.width(), other.width()); ++x)
                sum += std::abs(shown.pixelColor(x, y).alpha() - other.pixelColor(x, y).alpha());
        return sum;
    };
    EXPECT_LT(distance(alone("exclamationmark.circle")), distance(alone("pencil")) / 4);
}

TEST_F(KitTest, ShortcutKeysSayWhatTheyShow) {
    {
        SCOPED_TRACE("a placeholder wins over keys");
        const ui::Layout shown = layout(PanelShortcutKeys{.keys = {"Ctrl", "Z"},
                                                          .placeholder = Text("Not set"),
                                                          .brand = brand},
                                        200);
        const auto shownTexts = texts(shown.root());
        ASSERT_EQ(shownTexts.size(), 1u);
        EXPECT_EQ(shownTexts.front()->text, "Not set");
        const auto read = ui::accessibilityTree(shown.root());
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read.front().label, "Not set");
    }
    {
        SCOPED_TRACE("an editor makes a button");
        int edits = 0;
        const PanelShortcutKeys keys{
            .keys = {"Ctrl", "G"},
            .brand = brand,
            .isDisabled = true,
            .editor = PanelShortcutKeys::Editor{"Glass shortcut", "Press to record",
                                                "Record a shortcut", [&] { ++edits; }}};
        const auto read = ui::accessibilityTree(layout(keys, 200).root());
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read.front().role, ui::AccessibleNode::Role::button);
        EXPECT_EQ(read.front().label, "Glass shortcut");
        EXPECT_EQ(read.front().value, "Ctrl G");
        EXPECT_EQ(read.front().hint, "Press to record");
        EXPECT_TRUE(read.front().disabled);
    }
}

TEST_F(KitTest, DisabledShortcutKeysWithoutAnEditorAreHalfVisible) {
    auto capFill = [&](bool disabled) {
        // Inside the cap, left of its letter.
        return renderIdeal(PanelShortcutKeys{.keys = {"Z"}, .brand = brand, .isDisabled = disabled})
            .pixelColor(9, 9);
    };
    const QColor enabled = capFill(false), disabled = capFill(true);
    ASSERT_GT(enabled.alpha(), 0);
    EXPECT_NEAR(disabled.alphaF(), enabled.alphaF() / 2, 0.02);
}

// A row 300 wide with nothing trailing; its right end is clear of the title.
QColor rowFill(const PanelActionRow& row) {
    return KitTest::pixel(row, 300, {290, 18});
}

TEST_F(KitTest, ActionRowFillsFollowHoverThenSuggestionNeverWhenDisabled) {
    const QColor hover = painted(ui::Color::primary().opacity(0.08));
    QColor suggested = brand.color;
    suggested.setAlphaF(0.16f);
    const QColor clear(0, 0, 0, 0);
    const struct {
        const char* name;
        std::optional<bool> hovered;
        bool suggested, disabled, acts;
        QColor fill;
    } cases[] = {
        {"at rest", std::nullopt, false, false, true, clear},
        {"hovered", true, false, false, true, hover},
        {"suggested", false, true, false, true, suggested},
        {"hover wins", true, true, false, true, hover},
        {"disabled and suggested", std::nullopt, true, true, true, clear},
        {"disabled and hovered", true, false, true, true, clear},
        {"a label never lights", true, true, false, false, clear},
    };
    for (const auto& c : cases) {
        PanelActionRow row{.title = "A glass", .symbol = "drop.fill", .brand = brand};
        row.hovered = c.hovered;
        row.isSuggested = c.suggested;
        row.isDisabled = c.disabled;
        if (c.acts)
            row.perform = [] {};
        EXPECT_TRUE(near(rowFill(row), c.fill)) << c.name;
    }
}

TEST_F(KitTest, ActionRowCutsItsTitleAfterTwoLinesAndKeepsTheShortcutWhole) {
    const ui::Node keys =
        ui::Node(PanelShortcutKeys{.keys = {"Ctrl", "Z"}, .brand = brand}).id("keys");
    const double keysWidth = layout(keys, 400).size().width();
    const QString title = QStringLiteral(
        "Undo the last glass and every sip that came with it in the same click group today");
    for (const bool acts : {true, false}) {
        PanelActionRow row{.title = Text::verbatim(title),
                           .symbol = "arrow.uturn.backward",
                           .brand = brand,
                           .trailing = keys};
        if (acts)
            row.perform = [] {};
        const ui::Layout laidOut = layout(row, 240);
        EXPECT_NEAR(laidOut.frame(u"keys").width(), keysWidth, 0.01);
        EXPECT_NEAR(laidOut.frame(u"keys").right(), 240, 0.01);
        const auto shown = texts(laidOut.root());
        const auto titleElement = std::find_if(shown.begin(), shown.end(),
                                               [](const auto* e) { return e->lines.size() > 1; });
        ASSERT_NE(titleElement, shown.end());
        ASSERT_EQ((*titleElement)->lines.size(), 2u);
        EXPECT_TRUE((*titleElement)->lines.back().text.endsWith(QChar(0x2026)));
    }
}

TEST_F(KitTest, ActionRowIsOneButtonWithItsValueAndHint) {
    const PanelActionRow row{.title = "A glass",
                             .symbol = "drop.fill",
                             .brand = brand,
                             .badge = Text::verbatim("×3"),
                             .value = Text::verbatim("2 glasses"),
                             .perform = [] {},
                             .trailing = KeyCaps({"G"})};
    const auto read = ui::accessibilityTree(layout(row, 300).root());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].role, ui::AccessibleNode::Role::button);
    EXPECT_EQ(read[0].label, "A glass, ×3");
    EXPECT_EQ(read[0].value, "2 glasses");
    EXPECT_EQ(read[0].hint, "");
    EXPECT_EQ(read[1].label, "G");
}

} // namespace
