// Preference rows: heights, the stacked arrangement, what assistive technology reads, and the
// login row against a login items service that asks for approval.
#include "kit/panel/PreferencesRows.h"

#include "PreferencesFixture.h"
#include "platform/login/LocalLoginService.h"
#include "platform/login/LoginItem.h"
#include "ui/AccessibilityTree.h"
#include "ui/Controls.h"

using namespace DewlightPlatform;
using namespace KestraUI;
using Role = ui::AccessibleNode::Role;

namespace {

class PreferencesRowsTest : public PreferencesTest {
protected:
    // A control of a given height that assistive technology does not read.
    static ui::Node block(double width, double height) {
        return ui::fill(ui::Shape::rectangle(), ui::Color::primary())
            .frame(width, height)
            .id("control");
    }
};

TEST_F(PreferencesRowsTest, ARowPadsItsContentByFourOrByEightWithANoteAndIsNeverUnder44) {
    const struct {
        bool note;
        double control;
    } cases[] = {
        {false, 10}, // the label decides, and the minimum lifts it
        {false, 50}, // the control decides
        {true, 10},  // title and note are taller than the minimum with their padding
        {true, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "note " << c.note << ", control " << c.control);
        const std::optional<Text> note =
            c.note ? std::optional<Text>(Text::verbatim("Note")) : std::nullopt;
        const ui::Layout row = layout(
            ui::Node(PreferencesRow{Text::verbatim("Title"), note, false, block(30, c.control)})
                .id("row"));
        const ui::Element* title = textElement(row.root(), "Title");
        const ui::Element* noteText = textElement(row.root(), "Note");
        ASSERT_NE(title, nullptr);
        const double label =
            (noteText ? noteText->frame.bottom() : title->frame.bottom()) - title->frame.top();
        const double content = std::max(label, c.control);
        EXPECT_DOUBLE_EQ(row.frame(u"row").height(), std::max(44.0, content + (c.note ? 16 : 8)));
        EXPECT_EQ(noteText != nullptr, c.note);
        if (noteText) {
            EXPECT_DOUBLE_EQ(noteText->frame.top() - title->frame.bottom(), 4);
        }
        // The label fills the width; the control sits at the trailing edge at its own size.
        EXPECT_EQ(row.frame(u"control").size(), QSizeF(30, c.control));
        EXPECT_DOUBLE_EQ(row.frame(u"control").right(), 400);
        EXPECT_DOUBLE_EQ(title->frame.left(), 0);
    }
}

TEST_F(PreferencesRowsTest, AtAnAccessibilitySizeTheControlMovesUnderTheLabel) {
    const ui::Node row =
        PreferencesRow{Text::verbatim("Title"), std::nullopt, false, block(30, 20)};
    for (ui::TypeSize size :
         {ui::TypeSize::large, ui::TypeSize::accessibility1, ui::TypeSize::accessibility5}) {
        ui::Environment env = environment();
        env.typeSize = size;
        const ui::Layout laid = layout(row, 400, env);
        const QRectF control = laid.frame(u"control");
        const ui::Element* title = textElement(laid.root(), "Title");
        ASSERT_NE(title, nullptr);
        EXPECT_DOUBLE_EQ(control.right(), 400);
        EXPECT_DOUBLE_EQ(title->frame.left(), 0); // leading, across the full width
        if (ui::isAccessibilitySize(size)) {
            EXPECT_DOUBLE_EQ(control.top(), title->frame.bottom() + 8) << int(size);
        } else {
            EXPECT_LT(control.top(), title->frame.bottom()) << int(size);
        }
    }
}

TEST_F(PreferencesRowsTest, ALongTitleWrapsAndPushesTheRowTallerWhileTheControlKeepsItsWidth) {
    const QString longTitle = QStringLiteral(
        "Remind me to drink during my working hours, even on days when I start late");
    const ui::Layout laid = layout(
        ui::Node(PreferencesRow{Text::verbatim(longTitle), std::nullopt, false, block(60, 20)})
            .id("row"),
        240);
    const ui::Element* title = textElement(laid.root(), longTitle);
    ASSERT_NE(title, nullptr);
    EXPECT_GE(title->lines.size(), 3u);
    EXPECT_EQ(laid.frame(u"control").width(), 60);
    EXPECT_DOUBLE_EQ(laid.frame(u"row").height(), std::max(44.0, title->frame.height() + 8));
}

TEST_F(PreferencesRowsTest, AToggleRowIsOneSwitchNamedByItsTitleWithTheNoteAsHint) {
    bool on = true;
    const ui::Binding<bool> binding([&] { return on; }, [&](bool v) { on = v; });
    const struct {
        ui::Node row;
        std::vector<std::tuple<Role, QString, QString>> read;
    } cases[] = {
        {PreferencesToggleRow{Text::verbatim("Reminders"), Text::verbatim("Only when working"),
                              binding},
         {{Role::toggle, "Reminders", "Only when working"}}},
        {PreferencesToggleRow{Text::verbatim("Reminders"), std::nullopt, binding},
         {{Role::toggle, "Reminders", ""}}},
        // A control that does not carry the name leaves title and note to be read, no hint.
        {PreferencesRow{Text::verbatim("Days"), Text::verbatim("At least one"), false,
                        ui::button(ui::verbatim("M"), [] {})},
         {{Role::staticText, "Days", ""},
          {Role::staticText, "At least one", ""},
          {Role::button, "M", ""}}},
    };
    for (const auto& c : cases) {
        std::vector<std::tuple<Role, QString, QString>> read;
        for (const ui::AccessibleNode& node : ui::accessibilityTree(layout(c.row).root()))
            read.emplace_back(node.role, node.label, node.hint);
        EXPECT_EQ(read, c.read);
    }
    const auto nodes = ui::accessibilityTree(layout(cases[0].row).root());
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front().checked, std::optional<bool>(true));
}

TEST_F(PreferencesRowsTest, AGroupWithoutRowsKeepsItsTitleAndASixteenPointFill) {
    const ui::Layout empty =
        layout(ui::Node(PreferencesGroup{Text::verbatim("General"), {}}).id("group"));
    const ui::Element* title = textElement(empty.root(), "General");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font.weight(), QFont::DemiBold);
    EXPECT_DOUBLE_EQ(empty.frame(u"group").height(), title->frame.height() + 8 + 16);
    EXPECT_EQ(ui::accessibilityTree(empty.root()).front().role, Role::heading);

    // Rows sit 8 below the fill's top edge and 16 in from its sides, with no gap between them.
    const ui::Layout filled =
        layout(ui::Node(PreferencesGroup{Text::verbatim("General"),
                                         {block(40, 50), ui::Node(PreferencesGap{}).id("gap")}})
                   .id("group"));
    const QRectF row = filled.frame(u"control");
    const QRectF gap = filled.frame(u"gap");
    EXPECT_DOUBLE_EQ(row.left(), 16);
    EXPECT_DOUBLE_EQ(gap.top(), row.bottom());
    EXPECT_DOUBLE_EQ(gap.height(), 16);
    EXPECT_DOUBLE_EQ(filled.frame(u"group").bottom(), gap.bottom() + 8);
}

TEST_F(PreferencesRowsTest, AValueRowIsReadAsOneElementAndANoteFillsTheWidth) {
    const ui::Layout value =
        layout(ui::Node(PreferencesValueRow{Text::verbatim("Version"), Text::verbatim("0.1.0")})
                   .id("value"));
    const auto nodes = ui::accessibilityTree(value.root());
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front().label, "Version, 0.1.0");
    EXPECT_DOUBLE_EQ(value.frame(u"value").height(), 32);
    const ui::Element* title = textElement(value.root(), "Version");
    const ui::Element* shown = textElement(value.root(), "0.1.0");
    EXPECT_DOUBLE_EQ(title->frame.top() + *title->firstBaseline,
                     shown->frame.top() + *shown->firstBaseline);
    EXPECT_DOUBLE_EQ(shown->frame.right(), 400);

    const ui::Layout note = layout(
        ui::Node(PreferencesNote{Text::verbatim("Keep at least one working day.")}).id("note"));
    const ui::Element* line = textElement(note.root(), "Keep at least one working day.");
    EXPECT_DOUBLE_EQ(note.frame(u"note").width(), 400);
    EXPECT_DOUBLE_EQ(note.frame(u"note").height(), line->frame.height() + 8);
}

TEST_F(PreferencesRowsTest, TheLoginSwitchShowsWhatTheDesktopReportsAfterAChange) {
    auto service = std::make_unique<LocalLoginService>();
    LocalLoginService& desktop = *service;
    desktop.afterRegister = LoginItemStatus::requiresApproval;
    LoginItem item(std::move(service));
    auto host = makeHost([&] { return ui::Node(PreferencesLoginRow(item)).id("row"); });
    auto switchState = [&] {
        const auto nodes = host->accessibleNodes();
        return nodes.size() == 1 ? nodes.front().checked : std::nullopt;
    };
    ASSERT_EQ(host->accessibleNodes().front().label, "Open at Login");
    EXPECT_EQ(switchState(), std::optional<bool>(false));

    host->activate(host->accessibleNodes().front().actionIdentity);
    settle();
    EXPECT_EQ(desktop.registerCalls, 1);
    EXPECT_EQ(switchState(), std::optional<bool>(false)); // waiting for approval reads as off

    desktop.afterRegister = LoginItemStatus::enabled;
    host->activate(host->accessibleNodes().front().actionIdentity);
    settle();
    EXPECT_EQ(switchState(), std::optional<bool>(true));
}

} // namespace
