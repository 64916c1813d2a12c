// The working-hours fields: what the menus and day buttons offer, what they send, and the notes.
#include "ViewsFixture.h"
#include "views/RozivBrand.h"
#include "views/RozivWorkdayFields.h"

#include <QAction>
#include <QMenu>

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;
using Kind = RozivViewAction::Kind;
namespace S = WorkdayFieldsStyle;

namespace {

const QString nnbsp = QString(QChar(0x202F));
constexpr double fieldsWidth = 496;

RozivPreferencesState nineToSix(std::set<std::int64_t> days = {1, 2, 3, 4, 5}) {
    RozivPreferencesState state;
    state.startMinute = 540;
    state.endMinute = 1080;
    state.days = std::move(days);
    state.glassMilliliters = 250;
    state.intervalMinutes = 60;
    state.lowerRange = 3;
    state.upperRange = 5;
    return state;
}

class WorkdayFieldsTest : public ViewsTest {
protected:
    // The fields over the model's preferences as they stand at each build.
    std::unique_ptr<ui::Host> show(const ui::Environment& env = keyed()) {
        return window(
            [this] {
                return RozivWorkdayFields{model.preferences(),
                                          [this](const RozivViewAction& a) { model.send(a); }}
                    .body();
            },
            env, fieldsWidth);
    }

    // Opens the menu carrying `id` and returns its entries' texts, with the checked one.
    static QMenu* open(ui::Host& host, const QString& id) {
        click(host, centre(host, id));
        return host.openMenu();
    }
    static std::vector<QString> entries(QMenu& menu, QString* checked = nullptr) {
        std::vector<QString> texts;
        for (QAction* action : menu.actions()) {
            texts.push_back(action->text());
            if (checked && action->isChecked())
                *checked = action->text();
        }
        return texts;
    }

    RecordingViewModel model{{}, nineToSix()};
};

TEST_F(WorkdayFieldsTest, TheTimeListsRunEveryHalfHourBetweenTheirEnds) {
    const auto start = RozivWorkdayFields::startMinutes();
    const auto end = RozivWorkdayFields::endMinutes();
    ASSERT_EQ(start.size(), 17u);
    ASSERT_EQ(end.size(), 28u);
    EXPECT_EQ(start.front(), 300);
    EXPECT_EQ(start.back(), 780);
    EXPECT_EQ(end.front(), 600);
    EXPECT_EQ(end.back(), 1410);
    for (const auto* list : {&start, &end})
        for (std::size_t i = 1; i < list->size(); ++i)
            EXPECT_EQ((*list)[i] - (*list)[i - 1], 30);
}

// The menus show clock times in the window's locale, mark the published one, and send only a
// pick of another time; the button keeps the published time until the model publishes anew.
TEST_F(WorkdayFieldsTest, TheTimeMenusShowLocalTimesAndSendOnlyAPick) {
    struct Case {
        QLocale locale;
        QString firstStart, lastStart, firstEnd, lastEnd, nine;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "5:00" + nnbsp + "AM",
         "1:00" + nnbsp + "PM", "10:00" + nnbsp + "AM", "11:30" + nnbsp + "PM",
         "9:00" + nnbsp + "AM"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "05:00", "13:00", "10:00", "23:30",
         "09:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        model.sent.clear();
        ui::Environment env = keyed();
        env.locale = c.locale;
        auto host = show(env);
        EXPECT_TRUE(model.sent.empty()); // nothing on appear

        QString checked;
        QMenu* start = open(*host, S::startId);
        ASSERT_NE(start, nullptr);
        const auto starts = entries(*start, &checked);
        ASSERT_EQ(starts.size(), 17u);
        EXPECT_EQ(starts.front(), c.firstStart);
        EXPECT_EQ(starts.back(), c.lastStart);
        EXPECT_EQ(checked, c.nine);
        start->actions()[8]->trigger(); // 9:00, already chosen
        start->actions()[0]->trigger();
        start->close();
        settle();

        QMenu* end = open(*host, S::endId);
        ASSERT_NE(end, nullptr);
        const auto ends = entries(*end);
        ASSERT_EQ(ends.size(), 28u);
        EXPECT_EQ(ends.front(), c.firstEnd);
        EXPECT_EQ(ends.back(), c.lastEnd);
        end->actions().back()->trigger();
        end->close();
        settle();

        ASSERT_EQ(model.sent.size(), 2u);
        EXPECT_EQ(model.sent[0].kind(), Kind::startMinute);
        EXPECT_EQ(model.sent[0].number(), 300);
        EXPECT_EQ(model.sent[1].kind(), Kind::endMinute);
        EXPECT_EQ(model.sent[1].number(), 1410);
        // Refused or not yet taken: the menu still shows the published time.
        const auto* startMenu = accessible(host->accessibleNodes(), "Start");
        ASSERT_NE(startMenu, nullptr);
        EXPECT_EQ(startMenu->value, c.nine);
    }
}

// A minute off the list (stored by hand or by another version) shows as it is, with no entry
// checked and none added.
TEST_F(WorkdayFieldsTest, AMinuteOffTheListShowsWithoutAnEntryOfItsOwn) {
    auto state = nineToSix();
    state.startMinute = 545;
    model.publish(state);
    auto host = show();
    const auto* startMenu = accessible(host->accessibleNodes(), "Start");
    ASSERT_NE(startMenu, nullptr);
    EXPECT_EQ(startMenu->value, "9:05" + nnbsp + "AM");
    QString checked;
    QMenu* start = open(*host, S::startId);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(entries(*start, &checked).size(), 17u);
    EXPECT_TRUE(checked.isEmpty());
}

TEST_F(WorkdayFieldsTest, DayButtonsRunFromMondayAndKeepTheLastWorkingDay) {
    const std::vector<QString> names{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                     "Friday", "Saturday", "Sunday"};
    struct Case {
        std::set<std::int64_t> days;
        std::int64_t disabled; // 0: none
    };
    const Case cases[] = {{{1, 2, 3, 4, 5}, 0}, {{7}, 7}, {{3, 6}, 0}, {{1, 2, 3, 4, 5, 6, 7}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.days));
        model.publish(nineToSix(c.days));
        const ui::Layout layout =
            lay(RozivWorkdayFields{model.preferences(), {}}, keyed(), fieldsWidth);
        const auto tree = ui::accessibilityTree(layout.root());
        double lastX = -1;
        for (std::int64_t day = 1; day <= 7; ++day) {
            SCOPED_TRACE(day);
            const auto* button = accessible(tree, names[std::size_t(day - 1)]);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->role, ui::AccessibleNode::Role::button);
            EXPECT_EQ(button->selected, c.days.contains(day));
            EXPECT_EQ(button->disabled, day == c.disabled);
            EXPECT_GT(button->frame.x(), lastX);
            lastX = button->frame.x();
            EXPECT_EQ(button->frame.size(), QSizeF(28, 28));
        }
        // Always shown, even with every day chosen.
        EXPECT_NE(findText(layout.root(), "Keep at least one working day."), nullptr);
    }
}

TEST_F(WorkdayFieldsTest, PressingADaySendsItsNumberAndNothingElse) {
    model.publish(nineToSix({7}));
    auto host = show();
    for (const std::int64_t day : {7, 1, 6}) // the last working day ignores the click
        click(*host, centre(*host, QString::fromLatin1(S::dayId) + QString::number(day)));
    settle();
    ASSERT_EQ(model.sent.size(), 2u);
    EXPECT_EQ(model.sent[0].kind(), Kind::day);
    EXPECT_EQ(model.sent[0].number(), 1);
    EXPECT_EQ(model.sent[1].number(), 6);
}

TEST_F(WorkdayFieldsTest, TheRangeNoteIsSingularOnlyForOneToOne) {
    struct Case {
        std::int64_t lower, upper;
        QString shown;
    };
    const Case cases[] = {
        {1, 1, "A range, not a goal: 1 glass."},
        {3, 5, "A range, not a goal: 3–5 glasses."},
        {2, 2, "A range, not a goal: 2–2 glasses."},
        {1, 2, "A range, not a goal: 1–2 glasses."},
        {1200, 1500, "A range, not a goal: 1200–1500 glasses."}, // no grouping
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        auto state = nineToSix();
        state.lowerRange = c.lower;
        state.upperRange = c.upper;
        const ui::Layout layout = lay(RozivWorkdayFields{state, {}}, keyed(), fieldsWidth);
        EXPECT_NE(findText(layout.root(), c.shown), nullptr);
    }
}

// A chosen day carries a 2-point ring in the brand's accent of the scheme shown; an open day
// has none. Both sit on the same filled circle.
TEST_F(WorkdayFieldsTest, AChosenDayHasTheAccentRing) {
    for (const auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
        SCOPED_TRACE(int(scheme));
        const ui::Environment env = keyed(scheme);
        // Two days, so that neither is disabled (and faded).
        const ui::Node view = RozivWorkdayFields{nineToSix({1, 3}), {}};
        const ui::Layout layout = lay(view, env, fieldsWidth);
        const QImage image = ui::render(view, env, fieldsWidth, 1);
        const QRectF monday = layout.frame(QString::fromLatin1(S::dayId) + "1");
        const QRectF tuesday = layout.frame(QString::fromLatin1(S::dayId) + "2");
        ASSERT_FALSE(monday.isEmpty());
        const QColor accent = rozivBrand().accent(scheme);
        // The ring's left edge, halfway down.
        const auto edge = [](const QRectF& day) {
            return QRectF(day.left(), day.center().y() - 2, 2, 4);
        };
        EXPECT_TRUE(inked(strongest(image, edge(monday)), accent));
        EXPECT_FALSE(inked(strongest(image, edge(tuesday)), accent));
    }
}

} // namespace
