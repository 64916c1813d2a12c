// The welcome: what each step shows and sends, the permission row's three states, and the lines
// a problem adds.
#include "views/WelcomeView.h"

#include "ViewsFixture.h"
#include "kit/windows/WelcomeStepsLayout.h"
#include "views/RozivPanelTexts.h"
#include "views/RozivWorkdayFields.h"

using namespace DewlightViews;
using DewlightTest::RecordingViewModel;
using Kind = RozivViewAction::Kind;
using KestraUI::WelcomeStepState;

namespace {

constexpr double pageWidth = 560;
const QString unsaved = "Your latest change was not saved. Repeat the entry or action, or choose "
                        "the setting again.";
const QString permissionText = "Allow silent notifications to receive reminders during your "
                               "workday. You can keep counting without them.";
const QString celebration = "All set! Your reminders will arrive during your workday.";
const QString noService = "No notification service answered on this desktop, so reminders cannot "
                          "appear. Counting works without them.";

class WelcomeViewTest : public ViewsTest {
protected:
    std::unique_ptr<ui::Host> show(int step = 1) {
        return window([this, step] { return WelcomeView(model, step); }, keyed(), pageWidth);
    }
    ui::Layout layFor(int step) { return lay(WelcomeView(model, step), keyed(), pageWidth); }
    // Presses the button that reads `title`.
    static void press(ui::Host& host, const QString& title) {
        const auto* button = accessible(host.accessibleNodes(), title);
        ASSERT_NE(button, nullptr) << title.toStdString();
        host.activate(button->actionIdentity.isEmpty() ? button->identity : button->actionIdentity);
        settle();
    }
    static bool hasButton(const ui::Layout& layout, const QString& title) {
        const auto tree = ui::accessibilityTree(layout.root());
        const auto* node = accessible(tree, title);
        return node && node->role == ui::AccessibleNode::Role::button;
    }
    static bool showsText(const ui::Layout& layout, const QString& text) {
        return findText(layout.root(), text) != nullptr;
    }

    RecordingViewModel model{{}, plainPreferences()};
};

TEST_F(WelcomeViewTest, EachStepShowsItsTitleContentAndButtons) {
    struct Case {
        int step;
        QString label, title;
        bool fields, back;
        QString primary;
    };
    const Case cases[] = {
        {1, "Step 1 of 2", "Your working hours", true, false, "Continue"},
        {2, "Step 2 of 2", "A reminder at the right time", false, true, "Let’s go"},
        // Only snapshot mode asks for another step: the second step's content, its own number.
        {3, "Step 3 of 2", "A reminder at the right time", false, true, "Let’s go"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const ui::Layout layout = layFor(c.step);
        EXPECT_TRUE(showsText(layout, "A little water during your workday"));
        EXPECT_TRUE(showsText(layout, "You do not need much. You just need some."));
        EXPECT_TRUE(showsText(layout, c.label));
        EXPECT_TRUE(showsText(layout, c.title));
        EXPECT_EQ(showsText(layout, "Keep at least one working day."), c.fields);
        EXPECT_EQ(showsText(layout, permissionText), !c.fields);
        EXPECT_TRUE(hasButton(layout, "Start without setup"));
        EXPECT_EQ(hasButton(layout, "Back"), c.back);
        EXPECT_TRUE(hasButton(layout, c.primary));
        EXPECT_FALSE(hasButton(layout, c.step == 1 ? "Let’s go" : "Continue"));
    }
}

// Continue and Back move between the steps and send nothing; skipping sends completeWelcome and
// leaves the step where it was; "Let’s go" completes from step 2.
TEST_F(WelcomeViewTest, TheButtonsMoveTheStepOrCompleteTheWelcome) {
    auto host = show();
    const auto onStep = [&](int step) {
        return findText(host->layout()->root(), QStringLiteral("Step %1 of 2").arg(step)) !=
               nullptr;
    };
    EXPECT_TRUE(model.sent.empty()); // nothing on appear
    press(*host, "Start without setup");
    EXPECT_TRUE(onStep(1));
    press(*host, "Continue");
    EXPECT_TRUE(onStep(2));
    press(*host, "Start without setup");
    EXPECT_TRUE(onStep(2));
    press(*host, "Back");
    EXPECT_TRUE(onStep(1));
    press(*host, "Continue");
    press(*host, "Let’s go");
    EXPECT_TRUE(onStep(2));
    EXPECT_EQ(model.kinds(),
              (std::vector{Kind::completeWelcome, Kind::completeWelcome, Kind::completeWelcome}));
}

TEST_F(WelcomeViewTest, ThePermissionRowFollowsThePermission) {
    struct Case {
        RozivPermissionState permission;
        WelcomeStepState state;
        std::optional<QString> button;
        std::optional<Kind> sends;
    };
    const Case cases[] = {
        {RozivPermissionState::notAsked, WelcomeStepState::todo, "Allow notifications",
         Kind::requestNotifications},
        {RozivPermissionState::allowed, WelcomeStepState::done, std::nullopt, std::nullopt},
        {RozivPermissionState::denied, WelcomeStepState::attention, "Open System Settings",
         Kind::openNotificationSettings},
    };
    auto host = show(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.permission));
        model.sent.clear();
        model.publish(RozivWelcomeState{c.permission, std::nullopt});
        settle();
        EXPECT_EQ(welcomePermissionStep(c.permission), c.state);
        const ui::Layout& layout = *host->layout();
        const bool allowed = c.permission == RozivPermissionState::allowed;
        EXPECT_EQ(showsText(layout, celebration), allowed);
        // Denied means that no notification service answered: the row says so.
        const bool denied = c.permission == RozivPermissionState::denied;
        EXPECT_EQ(showsText(layout, noService), denied);
        EXPECT_EQ(showsText(layout, permissionText), !denied);
        for (const QString other : {"Allow notifications", "Open System Settings"})
            EXPECT_EQ(hasButton(layout, other), c.button == other) << other.toStdString();
        if (c.button)
            press(*host, *c.button);
        EXPECT_EQ(model.kinds(), c.sends ? std::vector{*c.sends} : std::vector<Kind>{});
    }
}

// The step counts as done only on step 2 with notifications allowed; a page read as arguments.
TEST_F(WelcomeViewTest, TheStepIsDoneOnlyOnStepTwoWhenAllowed) {
    using P = RozivPermissionState;
    for (const int step : {1, 2, 3})
        for (const P permission : {P::notAsked, P::allowed, P::denied}) {
            SCOPED_TRACE(testing::Message() << step << " " << int(permission));
            const auto page = welcomePage(
                {}, plainPreferences(), {permission, std::nullopt}, step, [](const RozivViewAction&) {},
                [](int) {});
            EXPECT_EQ(page.isStepDone, step == 2 && permission == P::allowed);
            EXPECT_EQ(page.step, step);
            EXPECT_EQ(page.stepCount, 2);
            ASSERT_TRUE(page.stepLabel);
            EXPECT_EQ(page.stepLabel->key(), "Step %lld of 2");
            EXPECT_EQ(page.stepLabel->arguments(), (std::vector<ui::TextArgument>{step}));
            EXPECT_FALSE(page.note);
            for (const auto* button : {&*page.skip, &page.primary})
                EXPECT_FALSE(button->isDisabled);
        }
}

TEST_F(WelcomeViewTest, AProblemAddsItsTitleOnStepTwoAndAnUnsavedChangeAddsAMutedLine) {
    struct Case {
        std::optional<RozivProblem> problem;
        std::optional<QString> title;
        bool mutedLine;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, false},
        {RozivProblem::settings, "Check your working hours", false},
        {RozivProblem::storage, "Could not save your latest change", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title ? c.title->toStdString() : "none");
        model.publish(RozivWelcomeState{RozivPermissionState::notAsked, c.problem});
        for (const int step : {1, 2}) {
            SCOPED_TRACE(step);
            const ui::Layout layout = layFor(step);
            if (c.title) {
                EXPECT_EQ(showsText(layout, *c.title), step == 2);
            }
            EXPECT_EQ(layout.find(QString(WelcomeViewStyle::unsavedId)) != nullptr, c.mutedLine);
        }
    }
}

TEST_F(WelcomeViewTest, ThePrivacyLineIsThePanelsAndTheCloudOnlyWhileAvailable) {
    using C = RozivCloudState;
    for (const C cloud : {C::syncing, C::available, C::localOnly, C::failed}) {
        SCOPED_TRACE(int(cloud));
        RozivPanelState panel;
        panel.cloud = cloud;
        const auto page = welcomePage(
            panel, plainPreferences(), {}, 1, [](const RozivViewAction&) {}, [](int) {});
        EXPECT_EQ(page.privacy, KestraUI::Text(privacyText(cloud)));
        EXPECT_EQ(page.privacySymbol.name(), cloud == C::available ? "icloud" : "internaldrive");
    }
}

TEST_F(WelcomeViewTest, TheLoginSwitchSendsAndFollowsThePublishedValue) {
    auto host = show();
    const auto* toggle = accessible(host->accessibleNodes(), "Open at Login");
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->checked, false);
    host->activate(toggle->actionIdentity);
    settle();
    ASSERT_EQ(model.sent.size(), 1u);
    EXPECT_EQ(model.sent[0].kind(), Kind::login);
    EXPECT_TRUE(model.sent[0].isOn());
    auto on = plainPreferences();
    on.opensAtLogin = true;
    model.publish(on);
    settle();
    EXPECT_EQ(accessible(host->accessibleNodes(), "Open at Login")->checked, true);
}

TEST_F(WelcomeViewTest, StepOneEditsTheWorkdayThroughTheModel) {
    auto host = show();
    click(*host, centre(*host, QString::fromLatin1(WorkdayFieldsStyle::dayId) + "7"));
    settle();
    ASSERT_EQ(model.sent.size(), 1u);
    EXPECT_EQ(model.sent[0].kind(), Kind::day);
    EXPECT_EQ(model.sent[0].number(), 7);
}

} // namespace
