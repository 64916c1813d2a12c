// Status rows, the choice menu, the preference field and the shared control looks.
#include "kit/panel/PreferencesControls.h"

#include "PreferencesFixture.h"
#include "kit/windows/BrandPalette.h"
#include "ui/AccessibilityTree.h"
#include "ui/NodeImpl.h"
#include "ui/TreeQuery.h"

#include <QAction>
#include <QMenu>

using namespace KestraUI;
using Role = ui::AccessibleNode::Role;

namespace {

class PreferencesControlsTest : public PreferencesTest {
protected:
    static const ui::Element* symbolElement(const ui::Element& root) {
        return ui::firstInside(root, [](const ui::Element& e) { return e.node->isGraphic(); });
    }
};

TEST_F(PreferencesControlsTest, AStatusRowsTitleTurnsSemiboldWithADetailAndItsButtonIsOptional) {
    const ui::Node button = ui::button(ui::verbatim("Open Settings"), [] {});
    const struct {
        const char* name;
        ui::Node row;
        QFont::Weight weight;
        bool button;
    } cases[] = {
        {"title only",
         PreferencesStatusRow(PreferencesStatus::good, Text::verbatim("Title"), std::nullopt),
         QFont::Normal, false},
        {"with detail",
         PreferencesStatusRow(PreferencesStatus::good, Text::verbatim("Title"),
                              Text::verbatim("Detail")),
         QFont::DemiBold, false},
        {"action given, not shown",
         PreferencesStatusRow(PreferencesStatus::good, Text::verbatim("Title"),
                              Text::verbatim("Detail"), false, button),
         QFont::DemiBold, false},
        {"with action",
         PreferencesStatusRow(PreferencesStatus::good, Text::verbatim("Title"),
                              Text::verbatim("Detail"), true, button),
         QFont::DemiBold, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ui::Layout laid = layout(c.row.id("row"));
        const ui::Element* title = textElement(laid.root(), "Title");
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->font.weight(), c.weight);
        const ui::Element* detail = textElement(laid.root(), "Detail");
        const ui::Element* action = textElement(laid.root(), "Open Settings");
        EXPECT_EQ(action != nullptr, c.button);
        // Twelve above and below the text block, or the button 8 under it.
        const double textBottom = detail ? detail->frame.bottom() : title->frame.bottom();
        const QRectF row = laid.frame(u"row");
        EXPECT_DOUBLE_EQ(title->frame.top(), 12);
        if (!c.button) {
            EXPECT_DOUBLE_EQ(row.height(), textBottom + 12);
            continue;
        }
        const ui::Element* bezel = ui::firstInside(
            laid.root(), [](const ui::Element& e) { return e.node->get<ui::TapAction>() != nullptr; });
        ASSERT_NE(bezel, nullptr);
        EXPECT_DOUBLE_EQ(bezel->frame.top(), textBottom + 4 + 8);
        EXPECT_DOUBLE_EQ(row.height(), bezel->frame.bottom() + 12);
    }
}

TEST_F(PreferencesControlsTest, StatusSymbolsFollowTheSchemeAndTheTint) {
    const QColor tint(10, 158, 194);
    const struct {
        PreferencesStatus status;
        const char* symbol;
        ui::Color color; // as painted in either scheme
    } cases[] = {
        {PreferencesStatus::good, "checkmark.circle", ui::Color::fixed(tint)},
        {PreferencesStatus::info, "info.circle", BrandPalette::muted},
        {PreferencesStatus::warning, "exclamationmark.triangle",
         ui::Color::forScheme(QColor(184, 80, 0), QColor(255, 159, 10))},
        {PreferencesStatus::waiting, "clock", BrandPalette::muted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symbol);
        EXPECT_EQ(preferencesStatusSymbol(c.status, ui::ColorScheme::light).symbol.name(),
                  QString::fromLatin1(c.symbol));
        const ui::Node row =
            ui::Node(PreferencesStatusRow(c.status, Text::verbatim("Title"), std::nullopt))
                .tint(ui::Color::fixed(tint));
        for (ui::ColorScheme scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
            ui::Environment env = environment();
            env.scheme = scheme;
            const ui::Layout laid = layout(row, 400, env);
            const ui::Element* symbol = symbolElement(laid.root());
            ASSERT_NE(symbol, nullptr);
            EXPECT_EQ(symbol->env().foreground.resolve(symbol->env()), c.color.resolve(env))
                << int(scheme);
        }
    }
}

TEST_F(PreferencesControlsTest, AStatusRowIsOneElementHoldingItsTextAndItsButton) {
    auto host = makeHost([] {
        return ui::Node(PreferencesStatusRow(PreferencesStatus::warning, "Notifications are off",
                                             Text("Turn them on in Settings."), true,
                                             ui::button(ui::verbatim("Open Settings"), [] {})));
    });
    const auto& nodes = host->accessibleNodes();
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front().role, Role::group);
    std::vector<std::pair<Role, QString>> read;
    for (const ui::AccessibleNode& node : nodes.front().children)
        read.emplace_back(node.role, node.label);
    EXPECT_EQ(read, (std::vector<std::pair<Role, QString>>{
                        {Role::staticText, "Notifications are off, Turn them on in Settings."},
                        {Role::button, "Open Settings"}}));
    // The button inside is reachable and works by itself.
    EXPECT_TRUE(host->activate(nodes.front().children.back().actionIdentity));
}

TEST_F(PreferencesControlsTest, TheChoiceMenuShowsAndAnnouncesTheSelectionAndWritesAChoice) {
    int glass = 250;
    std::vector<int> written;
    const ui::Binding<int> selection([&] { return glass; },
                                     [&](int value) {
                                         written.push_back(value);
                                         glass = value;
                                     });
    auto menu = [&] {
        return ui::Node(PreferencesChoiceMenu<int>{
                            "Glass size",
                            selection,
                            {200, 250, 300},
                            [](const int& ml) { return Text("%@ ml", {QString::number(ml)}); }})
            .id("menu");
    };
    auto host = makeHost([&] { return ui::hstack({ui::spacer(), menu()}); });
    const auto nodes = host->accessibleNodes();
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front().role, Role::menuButton);
    EXPECT_EQ(nodes.front().label, "Glass size");
    EXPECT_EQ(nodes.front().value, "250 ml");
    EXPECT_NE(textElement(host->layout()->root(), "250 ml"), nullptr);

    click(*host, centre(*host, u"menu"));
    QMenu* open = host->openMenu();
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(open->actions().size(), 3);
    EXPECT_EQ(open->actions()[2]->text(), "300 ml");
    EXPECT_TRUE(open->actions()[1]->isChecked());
    open->actions()[2]->trigger();
    open->close();
    settle();
    EXPECT_EQ(written, (std::vector<int>{300}));

    // It keeps its ideal size in a wide row.
    const QRectF inRow = layout(ui::hstack({ui::spacer(), menu()}), 400).frame(u"menu");
    const ui::Layout alone(menu(), environment(), ui::ProposedSize{});
    EXPECT_EQ(inRow.size(), alone.size());
    EXPECT_DOUBLE_EQ(inRow.right(), 400);
}

TEST_F(PreferencesControlsTest, AFieldTakesFocusFromAClickOnItsMarginsOnlyWhileEnabled) {
    for (bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        auto host = makeHost([&] {
            return inWindow(preferencesField(ui::textField("08:30", [](const QString&) {}))
                                .frame(160, std::nullopt)
                                .disabled(!enabled)
                                .id("field"));
        });
        const QRectF field = frame(*host, u"field");
        EXPECT_EQ(field.height(), 28);
        click(*host, QPointF(field.left() + 4, field.center().y())); // in the leading margin
        settle();
        EXPECT_EQ(host->focusedIdentity().isEmpty(), !enabled);
        EXPECT_TRUE(rings(*host).empty()); // a click is no keyboard use

        if (!enabled)
            continue;
        key(*host, Qt::Key_Shift);
        settle();
        const auto shown = rings(*host);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown.front()->frame, field.adjusted(-4, -4, 4, 4));
        EXPECT_EQ(shown.front()->frame.height(), 36);
        EXPECT_TRUE(host->endEditing());
        settle();
        EXPECT_TRUE(rings(*host).empty());
    }
}

TEST_F(PreferencesControlsTest, StylesDrawTheDestructiveLabelAndTheBorderedControlInEachScheme) {
    const ui::Node erase =
        preferencesButtonStyle(ui::button(preferencesDestructive(ui::verbatim("Erase…")), [] {}));
    const struct {
        ui::ColorScheme scheme;
        QColor label;
    } cases[] = {{ui::ColorScheme::light, QColor(152, 34, 27)},
                 {ui::ColorScheme::dark, QColor(255, 170, 160)}};
    for (const auto& c : cases) {
        ui::Environment env = environment();
        env.scheme = c.scheme;
        const ui::Layout laid = layout(erase, 400, env);
        const ui::Element* label = textElement(laid.root(), "Erase…");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->env().foreground.resolve(label->env()), c.label);
        const ui::Element* bezel = ui::firstInside(
            laid.root(), [](const ui::Element& e) { return e.node->get<ui::TapAction>() != nullptr; });
        EXPECT_EQ(bezel->env().buttonStyle, ui::ButtonStyle::bordered);
        EXPECT_EQ(bezel->env().controlSize, ui::ControlSize::large);
        EXPECT_EQ(bezel->frame.height(), 36);
    }
}

} // namespace
