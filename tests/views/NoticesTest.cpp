// The panel notices: which cards show, in which order, with which button and action.
#include "ViewsFixture.h"
#include "views/MenuView.h"
#include "views/RozivCounter.h"
#include "views/RozivPanelNotices.h"

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;
using Kind = RozivViewAction::Kind;

namespace {

struct Shown {
    QString title;
    std::optional<QString> button;
    std::optional<Kind> action;

    bool operator==(const Shown&) const = default;
    friend void PrintTo(const Shown& s, std::ostream* out) {
        *out << s.title.toStdString() << " [" << s.button.value_or("-").toStdString() << " "
             << (s.action ? int(*s.action) : -1) << "]";
    }
};

std::vector<Shown> shown(const RozivPanelState& state) {
    std::vector<Shown> out;
    for (const RozivNotice& notice : panelNotices(state)) {
        Shown s{notice.title.key, std::nullopt, std::nullopt};
        if (notice.button)
            s.button = notice.button->key;
        if (notice.action)
            s.action = notice.action->kind();
        out.push_back(s);
    }
    return out;
}

const Shown allow{"Just one step left", "Allow notifications", Kind::requestNotifications};
const Shown settings{"Just one step left", "Open System Settings", Kind::openNotificationSettings};
const Shown remindersFailed{"Could not prepare reminders", "Try again", Kind::retry};
const Shown storage{"Could not save your latest change", std::nullopt, std::nullopt};
const Shown sync{"Could not sync with iCloud", "Try again", Kind::retry};

// On this desktop a denied permission means that no notification service answered: the card
// says that, and asks to allow only while nothing was asked yet.
TEST_F(ViewsTest, ThePermissionCardTellsWhenNoNotificationServiceAnswered) {
    using P = RozivPermissionState;
    const QString ask =
        "Allow notifications to get reminders during your workday. Counting works without them.";
    const QString noService = "No notification service answered on this desktop, so reminders "
                              "cannot appear. Counting works without them.";
    for (const auto& [permission, message] : {std::pair{P::notAsked, ask},
                                              std::pair{P::denied, noService},
                                              std::pair{P::allowed, ask}}) {
        RozivPanelState state = plainState();
        state.status = RozivPanelStatus::permission();
        state.permission = permission;
        const std::vector<RozivNotice> notices = panelNotices(state);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices.front().message.key, message) << int(permission);
    }
}

TEST_F(ViewsTest, NoticesShowWhatNeedsTheUserInTheirOrder) {
    using S = RozivPanelStatus;
    using P = RozivPermissionState;
    struct Case {
        const char* what;
        RozivPanelStatus status;
        P permission;
        std::optional<RozivProblem> problem;
        RozivCloudState cloud;
        std::vector<Shown> cards;
    };
    const auto scheduled = plainState().status;
    const auto available = RozivCloudState::available;
    const Case cases[] = {
        {"all well", scheduled, P::allowed, std::nullopt, available, {}},
        {"never asked", S::permission(), P::notAsked, std::nullopt, available, {allow}},
        {"denied", S::permission(), P::denied, std::nullopt, available, {settings}},
        {"allowed, yet the status says otherwise",
         S::permission(),
         P::allowed,
         std::nullopt,
         available,
         {settings}},
        {"a failure without a problem",
         S::failed(),
         P::allowed,
         std::nullopt,
         available,
         {remindersFailed}},
        {"the reminders' problem looks like the failure, once",
         S::failed(),
         P::allowed,
         RozivProblem::reminders,
         available,
         {remindersFailed}},
        {"storage wins over the failure and has no button",
         S::failed(),
         P::allowed,
         RozivProblem::storage,
         available,
         {storage}},
        {"settings",
         scheduled,
         P::allowed,
         RozivProblem::settings,
         available,
         {{"Check your working hours", "Try again", Kind::retry}}},
        {"login",
         scheduled,
         P::allowed,
         RozivProblem::login,
         available,
         {{"Could not change Open at Login", "Try again", Kind::retry}}},
        {"the sync alone", scheduled, P::allowed, std::nullopt, RozivCloudState::failed, {sync}},
        {"a sync still connecting is no problem",
         scheduled,
         P::allowed,
         std::nullopt,
         RozivCloudState::syncing,
         {}},
        {"all three, in order",
         S::permission(),
         P::notAsked,
         RozivProblem::clock,
         RozivCloudState::failed,
         {allow, {"Check the date and time on your Mac", "Try again", Kind::retry}, sync}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto state = plainState();
        state.status = c.status;
        state.permission = c.permission;
        state.problem = c.problem;
        state.cloud = c.cloud;
        EXPECT_EQ(shown(state), c.cards);
    }
}

// In the window: the cards stand above the counter in their order, and each button sends its
// action on each press while the card stays until the model drops its cause.
TEST_F(ViewsTest, NoticeButtonsSendTheirActionsFromThePanel) {
    auto state = plainState();
    state.status = RozivPanelStatus::permission();
    state.permission = RozivPermissionState::notAsked;
    state.problem = RozivProblem::settings;
    state.cloud = RozivCloudState::failed;
    RecordingViewModel model(state);
    auto host = window([&] { return MenuView(model); }, keyed());

    const QStringList titles{"Just one step left", "Check your working hours",
                             "Could not sync with iCloud"};
    double above = 0;
    for (const QString& title : titles) {
        const ui::Element* shownTitle = findText(host->layout()->root(), title);
        ASSERT_NE(shownTitle, nullptr) << title.toStdString();
        EXPECT_GT(shownTitle->frame.top(), above);
        above = shownTitle->frame.top();
    }
    EXPECT_LT(above, host->layout()->frame(CounterPart::count).top());

    // The buttons, top to bottom.
    std::vector<const ui::Element*> buttons;
    for (const ui::Element* e : texts(host->layout()->root()))
        if (e->text == "Allow notifications" || e->text == "Try again")
            buttons.push_back(e);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0]->text, "Allow notifications");
    click(*host, buttons[0]->frame.center());
    click(*host, buttons[1]->frame.center());
    click(*host, buttons[1]->frame.center());
    click(*host, buttons[2]->frame.center());
    settle();
    EXPECT_EQ(model.kinds(),
              (std::vector{Kind::requestNotifications, Kind::retry, Kind::retry, Kind::retry}));
    EXPECT_NE(findText(host->layout()->root(), titles[0]), nullptr);

    // The model allows notifications: that card goes, the rest stay.
    state.status = plainState().status;
    model.publish(state);
    settle();
    EXPECT_EQ(findText(host->layout()->root(), titles[0]), nullptr);
    EXPECT_NE(findText(host->layout()->root(), titles[1]), nullptr);
    EXPECT_NE(findText(host->layout()->root(), titles[2]), nullptr);
}

TEST_F(ViewsTest, NoticesAloneStackTheirCardsAndShowNothingWithoutACause) {
    const RozivSend ignore = [](const RozivViewAction&) {};
    EXPECT_TRUE(lay(RozivPanelNotices{plainState(), ignore}, keyed()).size().isEmpty());
    auto state = plainState();
    state.problem = RozivProblem::storage;
    state.cloud = RozivCloudState::failed;
    const ui::Layout layout = lay(RozivPanelNotices{state, ignore}, keyed());
    const ui::Element* first = findText(layout.root(), "Could not save your latest change");
    const ui::Element* second = findText(layout.root(), "Could not sync with iCloud");
    ASSERT_TRUE(first && second);
    EXPECT_LT(first->frame.top(), second->frame.top());
    EXPECT_EQ(shownTexts(layout.root()).count("Try again"), 1); // the storage card has no button
}

} // namespace
