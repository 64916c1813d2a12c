// The counter: the count, the drop grid, the context line, the three rows and their keys.
#include "ViewsFixture.h"
#include "kit/windows/BrandPalette.h"
#include "ui/HostContext.h"
#include "ui/TreeQuery.h"
#include "views/MenuView.h"
#include "views/RozivCounter.h"

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;
using Kind = RozivViewAction::Kind;

namespace {

const QString nnbsp = QString(QChar(0x202F));
constexpr double contentWidth = 336; // the panel's width within its padding

ui::Layout layCounter(const RozivPanelState& state, std::vector<RozivViewAction>* sent = nullptr) {
    const RozivSend send = [sent](const RozivViewAction& action) {
        if (sent)
            sent->push_back(action);
    };
    return ViewsTest::lay(RozivCounter{state, send}, ViewsTest::keyed(), contentWidth);
}

TEST_F(ViewsTest, DropRowsHoldOneDropPerGlassOfTheRangeInRowsOfSix) {
    using Rows = std::vector<std::vector<double>>;
    struct Case {
        const char* what;
        std::int64_t quarters, upper;
        Rows rows;
    };
    const Case cases[] = {
        {"nothing drunk", 0, 5, {{0, 0, 0, 0, 0}}},
        {"a quarter", 1, 5, {{0.25, 0, 0, 0, 0}}},
        {"1¾", 7, 5, {{1, 0.75, 0, 0, 0}}},
        {"exactly full", 20, 5, {{1, 1, 1, 1, 1}}},
        {"beyond the range adds no drop", 40, 3, {{1, 1, 1}}},
        {"a top of 13", 0, 13, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0}}},
        {"a top of 12 fills two rows", 0, 12, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}}},
        {"a top of 0 still shows a drop", 3, 0, {{0.75}}},
        {"a negative top still shows a drop", 0, -2, {{0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dropRows(double(c.quarters), c.upper), c.rows);
    }
}

TEST_F(ViewsTest, CounterShowsTheCountAndLaysTheDropsOutInRows) {
    struct Case {
        std::int64_t quarters, upper;
        QString count;
        std::size_t drops;
    };
    const Case cases[] = {
        {0, 5, "0 glasses", 5},
        {1, 5, "¼ glasses", 5},
        {7, 5, "1¾ glasses", 5},
        {8, 5, "2 glasses", 5},
        {4 * 12'345 + 2, 5, "12,345½ glasses", 5},
        {0, 13, "0 glasses", 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count.toStdString());
        auto state = plainState();
        state.quarters = c.quarters;
        state.upperRange = c.upper;
        const ui::Layout layout = layCounter(state);
        EXPECT_EQ(shownTexts(*layout.find(CounterPart::count)), QStringList{c.count});
        ASSERT_NE(layout.find(CounterPart::drop(c.drops - 1)), nullptr);
        EXPECT_EQ(layout.find(CounterPart::drop(c.drops)), nullptr);

        // Six to a row, each row starting under the first drop.
        const QRectF first = layout.frame(CounterPart::drop(0));
        for (std::size_t i = 1; i < c.drops; ++i) {
            const QRectF drop = layout.frame(CounterPart::drop(i));
            const QRectF rowStart = layout.frame(CounterPart::drop(i - i % 6));
            EXPECT_DOUBLE_EQ(drop.top(), rowStart.top()) << i;
            EXPECT_DOUBLE_EQ(rowStart.left(), first.left()) << i;
            if (i % 6 == 0)
                EXPECT_DOUBLE_EQ(drop.top(), layout.frame(CounterPart::drop(i - 6)).bottom() + 8);
            else
                EXPECT_DOUBLE_EQ(drop.left(), layout.frame(CounterPart::drop(i - 1)).right() + 8);
        }

        // The grid is read as one element named by the count.
        const auto tree = ui::accessibilityTree(layout.root());
        const QString drops = layout.find(CounterPart::drops)->identity;
        const ui::AccessibleNode* grid = ui::firstAccessible(
            tree, [&](const ui::AccessibleNode& n) { return ui::isWithin(n.identity, drops); });
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->label, c.count);
        EXPECT_TRUE(grid->children.empty());
    }
}

TEST_F(ViewsTest, WhileTheCountMovesAssistiveTechnologyIsToldOnlyTheNewCount) {
    double now = 0;
    ui::Environment env = keyed();
    env.host = std::make_shared<ui::HostContext>(nullptr, [&] { return now; });
    auto state = plainState();
    const auto layAt = [&](std::int64_t quarters) {
        state.quarters = quarters;
        return lay(RozivCounter{state, [](const RozivViewAction&) {}}, env, contentWidth);
    };
    // An erase on another computer: from 109 quarters to none.
    layAt(109);
    now = 0.1;
    const ui::Layout moving = layAt(0);
    ASSERT_NE(shownTexts(*moving.find(CounterPart::count)), QStringList{"0 glasses"})
        << "the count on screen still moves";

    const auto tree = ui::accessibilityTree(moving.root());
    for (const QString& part : {CounterPart::count, CounterPart::drops}) {
        SCOPED_TRACE(part.toStdString());
        const QString id = moving.find(part)->identity;
        const ui::AccessibleNode* node = ui::firstAccessible(
            tree, [&](const ui::AccessibleNode& n) { return ui::isWithin(n.identity, id); });
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->label, "0 glasses");
    }
}

TEST_F(ViewsTest, DropShowsItsFillFromTheBottom) {
    // The filled drop is solid where the outline is hollow: its middle tells them apart.
    const ui::Environment env = keyed();
    const double side = ui::Layout(RozivDrop{0}, env, {}).size().height();
    const auto ink = [&](double fill, double fromTop) {
        const QImage image = ui::render(RozivDrop{fill}, env, side, 2);
        return strongest(image, QRectF(side / 2 - 1, side * fromTop - 1, 2, 2)).alpha();
    };
    EXPECT_LT(ink(0, 0.7), 40);
    EXPECT_GT(ink(1, 0.7), 120);
    EXPECT_LT(ink(1, 0.7) - ink(0.5, 0.8), 20); // below the half line: filled
    EXPECT_LT(ink(0.5, 0.4), 40);               // above it: hollow
    EXPECT_GT(ink(0.25, 0.88), 120);
    EXPECT_LT(ink(0.25, 0.65), 40);
}

TEST_F(ViewsTest, ContextLineShowsTheMomentFirstThenWhyCountingRestsThenTheRange) {
    const RozivPanelStatus outside = RozivPanelStatus::outside(at(9, 0, 26));
    struct Case {
        const char* what;
        RozivPanelStatus status;
        std::optional<RozivMoment> moment;
        std::int64_t lower, upper;
        QString shown;
    };
    const Case cases[] = {
        {"the range", plainState().status, std::nullopt, 3, 5, "A range, not a goal: 3–5 glasses."},
        {"a range of one glass", RozivPanelStatus::off(), std::nullopt, 1, 1,
         "A range, not a goal: 1 glass."},
        {"digits without grouping", RozivPanelStatus::preparing(), std::nullopt, 11, 1600,
         "A range, not a goal: 11–1600 glasses."},
        {"outside the working day", outside, std::nullopt, 3, 5,
         "Counting starts over at Mon 9:00" + nnbsp + "AM"},
        {"enough", RozivPanelStatus::enough(), std::nullopt, 3, 5,
         "Let thirst guide you now. Reminders stop until the next workday."},
        {"four sips", plainState().status, RozivMoment::fourSips, 3, 5, "4 sips = 1 glass"},
        {"a moment wins over enough", RozivPanelStatus::enough(), RozivMoment::aboveRange, 3, 5,
         "That is enough for today. Let thirst guide you now."},
        {"a moment wins over outside", outside, RozivMoment::threeGlassesInHour, 3, 5,
         "Three glasses in an hour. Take your time."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto state = plainState();
        state.status = c.status;
        state.moment = c.moment;
        state.lowerRange = c.lower;
        state.upperRange = c.upper;
        const ui::Layout layout = layCounter(state);
        const auto lines = texts(*layout.find(CounterPart::context));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0]->text, c.shown);
        // A moment stands out in the semibold role and the default colour; the rest is muted.
        EXPECT_EQ(lines[0]->font.weight(), c.moment ? QFont::DemiBold : QFont::Normal);
        EXPECT_EQ(lines[0]->env().foreground == KestraUI::BrandPalette::muted, !c.moment);
    }
}

TEST_F(ViewsTest, OnlyTheRowOfTheUndoGroupsKindCarriesTheBadge) {
    struct Case {
        const char* what;
        std::optional<RozivUndoState> undo;
        std::int64_t grouped;
        std::optional<QString> glassBadge, sipBadge;
        QString undoTitle;
    };
    const Case cases[] = {
        {"three sips", RozivUndoState{RozivUndoState::Drink::sip, 3, at(14, 0)}, 3, std::nullopt,
         "+3", "Undo 3 sips from 2:00" + nnbsp + "PM"},
        {"two glasses", RozivUndoState{RozivUndoState::Drink::glass, 2, at(9, 41)}, 2, "+2",
         std::nullopt, "Undo 2 glasses from 9:41" + nnbsp + "AM"},
        {"a group without fresh feedback",
         RozivUndoState{RozivUndoState::Drink::glass, 1, at(8, 5)}, 0, std::nullopt, std::nullopt,
         "Undo 1 glasses from 8:05" + nnbsp + "AM"},
        {"no group", std::nullopt, 0, std::nullopt, std::nullopt, "No entry to undo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto state = plainState();
        state.undo = c.undo;
        state.groupedAddition = c.grouped;
        const ui::Layout layout = layCounter(state);
        const auto tree = ui::accessibilityTree(layout.root());
        const auto check = [&](const QString& id, const QString& title,
                               const std::optional<QString>& badge) {
            SCOPED_TRACE(title.toStdString());
            QStringList expected{title};
            if (badge)
                expected << *badge;
            const QStringList shown = shownTexts(*layout.find(id));
            EXPECT_EQ(shown.mid(0, expected.size()), expected);
            const ui::AccessibleNode* row = accessible(tree, badge ? title + ", " + *badge : title);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->value, badge ? QString("%1 grouped entries").arg(badge->mid(1)) : "");
        };
        check(CounterPart::glass, "A glass", c.glassBadge);
        check(CounterPart::sip, "A sip", c.sipBadge);
        EXPECT_EQ(shownTexts(*layout.find(CounterPart::undo)).first(), c.undoTitle);
        EXPECT_EQ(accessible(tree, c.undoTitle)->disabled, !c.undo);
    }
}

TEST_F(ViewsTest, GlassRowIsSuggestedWithItsHintOnlyWhenTheModelSaysSo) {
    for (const bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted);
        auto state = plainState();
        state.highlightsGlass = highlighted;
        const auto tree = ui::accessibilityTree(layCounter(state).root());
        EXPECT_EQ(accessible(tree, "A glass")->hint, highlighted ? "A good time for a glass" : "");
        EXPECT_EQ(accessible(tree, "A sip")->hint, "");
    }
}

// The keys work in the panel's window, through MenuView over a model, and only while their rows
// are enabled; so do clicks on the rows.
TEST_F(ViewsTest, CounterKeysAndClicksSendTheirActionsOnlyWhileEnabled) {
    struct Case {
        const char* what;
        bool canRecord;
        bool withUndo;
        std::vector<Kind> sent;
    };
    const Case cases[] = {
        {"everything enabled", true, true, {Kind::drinkGlass, Kind::drinkSip, Kind::undo}},
        {"nothing to undo", true, false, {Kind::drinkGlass, Kind::drinkSip}},
        {"recording refused", false, true, {Kind::undo}},
        {"nothing enabled", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto state = plainState();
        state.canRecord = c.canRecord;
        if (c.withUndo)
            state.undo = RozivUndoState{RozivUndoState::Drink::glass, 1, at(13, 0)};
        RecordingViewModel model(state);
        auto host = window([&] { return MenuView(model); }, keyed());

        key(*host, Qt::Key_G);
        key(*host, Qt::Key_S);
        key(*host, Qt::Key_Z, Qt::ControlModifier);
        key(*host, Qt::Key_Z); // the undo key needs Ctrl
        key(*host, Qt::Key_G, Qt::ControlModifier);
        settle();
        EXPECT_EQ(model.kinds(), c.sent);

        model.sent.clear();
        for (const QString& id : {CounterPart::glass, CounterPart::sip, CounterPart::undo})
            click(*host, host->layout()->frame(id).topLeft() + QPointF(40, 12));
        settle();
        EXPECT_EQ(model.kinds(), c.sent);
    }
}

TEST_F(ViewsTest, KeyCapsFadeWithTheirRows) {
    // The caps' ink, with their rows enabled and disabled.
    const auto ink = [](bool enabled) {
        auto state = plainState();
        state.canRecord = enabled;
        if (enabled)
            state.undo = RozivUndoState{RozivUndoState::Drink::sip, 1, at(13, 0)};
        const RozivCounter counter{state, [](const RozivViewAction&) {}};
        const ui::Layout layout = ViewsTest::lay(counter, keyed(), contentWidth);
        const QImage image = ui::render(counter, keyed(), contentWidth, 1);
        std::vector<int> alphas;
        for (const QString cap : {"G", "S", "Ctrl", "Z"}) {
            const ui::Element* shown = findText(layout.root(), cap);
            alphas.push_back(shown ? strongest(image, shown->frame).alpha() : -1);
        }
        return alphas;
    };
    const auto enabled = ink(true), disabled = ink(false);
    for (std::size_t i = 0; i < enabled.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(enabled[i], 200);
        EXPECT_LT(disabled[i], enabled[i] * 0.6);
    }
}

} // namespace
