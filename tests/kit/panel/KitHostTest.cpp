// The kit's views in a window: hover, layout reports, the login switch and the choice menu.
#include "KitFixture.h"
#include "kit/panel/Keys.h"
#include "platform/login/LocalLoginService.h"
#include "kit/panel/PanelActionRow.h"
#include "kit/panel/Rows.h"
#include "ui/TreeQuery.h"

#include <QAction>
#include <QMenu>

using namespace DewlightPlatform;
using namespace KestraUI;

namespace {

const KestraBrand brand{QStringLiteral("Dewlight"), QColor(10, 158, 194),
                        KestraBrand::Connection::offline, std::nullopt, std::nullopt};

// The colour the window shows at `point`.
QColor shown(ui::Host& host, QPointF point) {
    return host.grab().toImage().pixelColor(point.toPoint());
}

TEST_F(KitTest, TheRowFollowsThePointerUnlessTheCallerDecides) {
    const struct {
        const char* name;
        std::optional<bool> hovered;
        bool litUnderPointer, litAway;
    } cases[] = {
        {"own tracking", std::nullopt, true, false},
        {"held off", false, false, false},
        {"held on", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto host = makeHost(
            [&] {
                return ui::vstack({ui::Node(PanelActionRow{.title = "A glass",
                                                           .symbol = "drop.fill",
                                                           .brand = brand,
                                                           .hovered = c.hovered,
                                                           .perform = [] {}})
                                       .id("row"),
                                   ui::spacer(0)},
                                  ui::HorizontalAlignment::leading, 0);
            },
            {300, 80});
        const QPointF inside(290, frame(*host, u"row").center().y()); // clear of the title
        const QColor rest = shown(*host, {290, 70});                  // below the row
        move(*host, inside);
        settle();
        EXPECT_EQ(shown(*host, inside) != rest, c.litUnderPointer);
        move(*host, {290, 70});
        settle();
        EXPECT_EQ(shown(*host, inside) != rest, c.litAway);
    }
}

TEST_F(KitTest, ARowWithAReportSaysWhereItsPartsLieInTheRow) {
    std::map<PanelActionRowPart, QRectF> parts;
    int reports = 0;
    auto host = makeHost([&] {
        PanelActionRow row{.title = "A sip",
                           .symbol = "drop.halffull",
                           .brand = brand,
                           .perform = [] {},
                           .trailing = KeyCaps({"S"})};
        row.onLayout = [&](PanelActionRowPart part, QRectF frame) {
            parts[part] = frame;
            ++reports;
        };
        return ui::Node(row).padding(20).id("padded");
    });
    ASSERT_EQ(parts.size(), 4u);
    const QRectF action = parts[PanelActionRowPart::action];
    EXPECT_EQ(action.topLeft(), QPointF(0, 0)); // the row's own space, not the window's
    EXPECT_GE(action.height(), 36);
    EXPECT_EQ(parts[PanelActionRowPart::icon].left(), 8);
    EXPECT_EQ(parts[PanelActionRowPart::icon].width(), 20);
    EXPECT_EQ(parts[PanelActionRowPart::text].left(), 8 + 20 + 12);
    EXPECT_EQ(parts[PanelActionRowPart::shortcut], QRectF(320 - 40 - 20, 8, 20, 20));
    const int before = reports;
    host->rebuild();
    EXPECT_EQ(reports, before); // nothing moved, nothing reported
}

TEST_F(KitTest, TheLoginSwitchShowsWhatTheItemReadsBack) {
    auto owned = std::make_unique<LocalLoginService>();
    LocalLoginService* service = owned.get();
    service->registerFailure = "read-only folder";
    LoginItem item(std::move(owned));
    auto host = makeHost([&] { return OpenAtLoginRow(Qt::blue, item); });
    const auto toggle = [&] {
        for (const auto& node : host->accessibleNodes())
            if (node.role == ui::AccessibleNode::Role::toggle)
                return node;
        ADD_FAILURE();
        return ui::AccessibleNode();
    };
    click(*host, toggle().frame.center());
    settle();
    EXPECT_EQ(service->registerCalls, 1);
    EXPECT_EQ(toggle().checked, false);

    service->registerFailure.reset();
    click(*host, toggle().frame.center());
    settle();
    EXPECT_EQ(toggle().checked, true);

    service->current = LoginItemStatus::notRegistered; // removed outside, then read again
    item.refresh();
    settle();
    EXPECT_EQ(toggle().checked, false);
}

TEST_F(KitTest, AChoiceMenuNamesItsSelectionAndWritesTheChoice) {
    int glass = 275; // not among the options
    const std::vector<int> options = {200, 250, 300};
    auto label = [](const int& ml) { return Text("%lld ml", {(long long)ml}); };
    auto host = makeHost([&] {
        return ChoiceMenu<int>(ui::Binding<int>([&] { return glass; }, [&](int v) { glass = v; }),
                               options, label)
            .id("menu");
    });
    EXPECT_NE(findText(host->layout()->root(), "275 ml"), nullptr);
    click(*host, centre(*host, u"menu"));
    QMenu* menu = host->openMenu();
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction* action : menu->actions())
        entries << action->text();
    EXPECT_EQ(entries, (QStringList{"200 ml", "250 ml", "300 ml"}));
    menu->actions()[2]->trigger();
    menu->close();
    settle();
    EXPECT_EQ(glass, 300);
    host->rebuild(); // as the model's next state does
    EXPECT_NE(findText(host->layout()->root(), "300 ml"), nullptr);

    auto empty = makeHost(
        [&] { return ChoiceMenu<int>(ui::Binding<int>::constant(250), {}, label).id("menu"); });
    EXPECT_NE(findText(empty->layout()->root(), "250 ml"), nullptr);
    click(*empty, centre(*empty, u"menu"));
    ASSERT_NE(empty->openMenu(), nullptr);
    EXPECT_TRUE(empty->openMenu()->actions().isEmpty());
    empty->openMenu()->close();
    settle();
}

} // namespace
