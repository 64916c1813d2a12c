#include "app/AppModel.h"
#include "app/RozivTally.h"
#include "reminders/RozivReminders.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"
#include "tests/support/ModelHarness.h"
#include "tests/support/ViewStatePrinting.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace DewlightTest {
namespace {

using DewlightApp::AppModel;
using DewlightApp::RozivFeedback;
using DewlightPlatform::LocalNotificationCenter;
using DewlightPlatform::NotificationAuthorizationStatus;
using DewlightViews::RozivPanelStatus;
using DewlightViews::RozivPermissionState;
using DewlightViews::RozivProblem;
using DewlightViews::RozivViewAction;

// Planning passes that reached the centre: each lists the pending requests twice.
long planningPasses(const LocalNotificationCenter& center) {
    const auto& log = center.log();
    return std::count(log.begin(), log.end(), "pendingRequests") / 2;
}

// The earliest pending reminder.
Date earliestPending(const ModelHarness& harness) {
    const auto times = harness.pendingTimes();
    return times.empty() ? 0 : times.front();
}

const DewlightCore::HydrationLedger& ledger(ModelHarness& harness) {
    return harness->data().current().transaction().state().ledger;
}

TEST(AppModelErase, AGlassAndAnEraseInOneTurnStartOverWithNothingRecorded) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.advanceTo(monday + 10.5 * hour);
    model.send(RozivViewAction::login(true));
    model.send(RozivViewAction::drinkGlass());
    harness.settle();
    ASSERT_TRUE(harness.loginItem.enabled());
    ASSERT_EQ(ledger(harness).drinks().size(), 1u);
    ASSERT_EQ(model.tally().feedback().addition, 1);
    harness.deliverNext();
    ASSERT_FALSE(harness.center->pending().empty());

    harness.center->clearLog();
    model.send(RozivViewAction::drinkGlass());
    model.send(RozivViewAction::erase());
    // Before anything queued runs: the pending ones first, so that none is shown meanwhile.
    EXPECT_EQ(harness.center->log(),
              (std::vector<std::string>{"removeAllPending", "removeAllDelivered"}));
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_TRUE(harness.center->delivered().empty());
    EXPECT_EQ(model.reminders().confirmedNext(), std::nullopt);
    harness.settle();

    EXPECT_TRUE(ledger(harness).drinks().empty());
    EXPECT_EQ(ledger(harness).generation().counter(), 1u);
    EXPECT_EQ(model.panel().quarters, 0);
    EXPECT_FALSE(harness.loginItem.enabled());
    EXPECT_FALSE(model.settings().loginFailed());
    EXPECT_FALSE(model.preferences().opensAtLogin);
    EXPECT_EQ(model.tally().feedback(), RozivFeedback{});
    EXPECT_EQ(harness.opened, std::vector<std::string>{"welcome"});
    // Nothing of the erased settings stays open under the welcome.
    EXPECT_EQ(harness.windows.log,
              (std::vector<std::string>{"close preferences", "close welcome"}));
    // The new generation has not been welcomed: nothing is planned for it.
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(model.panel().status, RozivPanelStatus::preparing());
}

TEST(AppModelErase, ARefusedEraseKeepsTheDataAndPlansItsRemindersAgain) {
    ModelHarness harness;
    auto& model = harness.build();
    // The last generation there can be: no erase can start another.
    auto& transaction = model.data().current().transaction();
    auto last = transaction.state();
    last.ledger = DewlightCore::HydrationLedger(DewlightCore::ResetGeneration(
        std::numeric_limits<std::uint64_t>::max(), model.data().current().writer()));
    ASSERT_TRUE(transaction.commit(last, transaction.revision(), transaction.account()));
    harness.start();
    harness.advanceTo(monday + 10.5 * hour);
    model.send(RozivViewAction::login(true));
    model.send(RozivViewAction::drinkGlass());
    harness.settle();
    const auto before = harness.pendingTimes();
    ASSERT_FALSE(before.empty());

    // The glass queued ahead of the erase is dropped: with the data kept, it would show here.
    model.send(RozivViewAction::drinkGlass());
    model.send(RozivViewAction::erase());
    EXPECT_TRUE(harness.center->pending().empty());
    harness.settle();
    EXPECT_EQ(ledger(harness).drinks().size(), 1u);
    EXPECT_EQ(ledger(harness).generation(), last.ledger.generation());
    EXPECT_TRUE(harness.loginItem.enabled());
    EXPECT_EQ(model.tally().feedback().addition, 1);
    EXPECT_TRUE(harness.opened.empty());
    EXPECT_EQ(harness.pendingTimes(), before);
}

TEST(AppModelErase, DataKeptAfterAFailedRebuildIsNotErased) {
    ModelHarness harness;
    auto& model = harness.start();
    const auto file = harness.accountFile();
    harness.files.put(file, "{");
    model.reload(true);
    harness.settle();
    ASSERT_TRUE(model.dataUnavailable());

    model.send(RozivViewAction::erase());
    harness.settle();
    EXPECT_EQ(*harness.files.read(file), "{") << "the unreadable file is left for a retry";
    EXPECT_EQ(ledger(harness).generation().counter(), 0u);
    EXPECT_TRUE(harness.opened.empty());
    EXPECT_TRUE(harness.center->pending().empty());
}

// Two computers of one person: the second adopts the first one's erase when the sync store
// brings it.
TEST(AppModelErase, TheComputerThatAdoptsAnEraseAsksForItsWelcomeAgain) {
    struct Case {
        const char* name;
        bool panelShown;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        // The panel on screen (a window, or a popup since put away) counts as shown again.
        {"its panel was shown", true, {"preferences", "welcome"}},
        // It asks once the panel first appears, as at any start.
        {"its panel never appeared", false, {"preferences"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DewlightPlatform::LocalKeyValueHub hub;
        ModelHarness::Options options;
        options.account = "alice";
        options.hub = &hub;
        options.machine = "one";
        ModelHarness one(options);
        options.machine = "two";
        ModelHarness two(options);
        one.start();
        auto& model = two.start();
        two.advanceTo(monday + 10.5 * hour);
        model.send(RozivViewAction::drinkGlass());
        two.settle();
        hub.deliver("two", "one");
        one.settle();
        ASSERT_EQ(one->panel().quarters, 4);
        if (c.panelShown)
            model.presentWelcomeIfNeeded();
        model.send(RozivViewAction::openPreferences());
        two.settle();
        ASSERT_FALSE(two.center->pending().empty());

        one->send(RozivViewAction::erase());
        one.settle();
        hub.deliver("one", "two");
        two.settle();
        EXPECT_EQ(model.panel().quarters, 0);
        EXPECT_EQ(ledger(two).generation(), ledger(one).generation());
        EXPECT_TRUE(two.center->pending().empty());
        EXPECT_EQ(model.panel().status, RozivPanelStatus::preparing());
        EXPECT_EQ(two.opened, c.opened);
        EXPECT_EQ(std::count(two.windows.log.begin(), two.windows.log.end(), "close preferences"),
                  1);

        if (!c.panelShown) {
            model.presentWelcomeIfNeeded();
            two.settle();
            EXPECT_EQ(two.opened.back(), "welcome");
        }
        // Walked, the welcome gives reminders again.
        model.send(RozivViewAction::completeWelcome());
        two.settle();
        EXPECT_FALSE(two.center->pending().empty());
        EXPECT_EQ(model.panel().status, RozivPanelStatus::scheduled(earliestPending(two)));
    }
}

TEST(AppModelLogin, AChangeThatDoesNotTakeEffectShowsAsTheLoginProblem) {
    struct Case {
        const char* name;
        KestraUI::LoginItemStatus afterRegister;
        std::optional<std::string> registerFailure;
    };
    const Case cases[] = {
        {"the autostart entry stays absent", KestraUI::LoginItemStatus::notRegistered, {}},
        {"the desktop refuses", KestraUI::LoginItemStatus::enabled, "read-only folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelHarness harness;
        auto& model = harness.start();
        harness.loginService->afterRegister = c.afterRegister;
        harness.loginService->registerFailure = c.registerFailure;
        int panelChanges = 0;
        int preferenceChanges = 0;
        QObject::connect(&model, &AppModel::panelChanged, &model, [&] { ++panelChanges; });
        QObject::connect(&model, &AppModel::preferencesChanged, &model,
                         [&] { ++preferenceChanges; });

        model.send(RozivViewAction::login(true));
        harness.settle();
        EXPECT_EQ(harness.loginService->registerCalls, 1);
        EXPECT_FALSE(model.preferences().opensAtLogin);
        EXPECT_EQ(model.panel().problem, RozivProblem::login);
        EXPECT_EQ(model.preferences().problem, RozivProblem::login);
        panelChanges = 0;
        preferenceChanges = 0;
        model.refresh();
        model.refresh();
        EXPECT_EQ(panelChanges, 2);
        EXPECT_EQ(preferenceChanges, 2);

        // Off is what it is now: asking for it clears the problem.
        model.send(RozivViewAction::login(false));
        harness.settle();
        EXPECT_FALSE(model.settings().loginFailed());
        EXPECT_EQ(model.panel().problem, std::nullopt);
        EXPECT_EQ(model.preferences().problem, std::nullopt);
    }
}

TEST(AppModelDrinks, EachDrinkActionRecordsAndPlansFromIt) {
    struct Case {
        const char* name;
        std::vector<RozivViewAction> actions;
        std::int64_t quarters;
        Date nextReminder;
    };
    const Case cases[] = {
        {"a glass", {RozivViewAction::drinkGlass()}, 4, monday + 11.5 * hour},
        {"a sip", {RozivViewAction::drinkSip()}, 1, monday + 11.5 * hour},
        // Back to a day without drinks: the next full hour of the working day.
        {"a glass undone",
         {RozivViewAction::drinkGlass(), RozivViewAction::undo()},
         0,
         monday + 11 * hour},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelHarness harness;
        auto& model = harness.start();
        harness.advanceTo(monday + 10.5 * hour);
        for (const auto& action : c.actions) {
            model.send(action);
            harness.settle();
        }
        EXPECT_EQ(model.panel().quarters, c.quarters);
        EXPECT_EQ(earliestPending(harness), c.nextReminder);
        EXPECT_EQ(model.reminders().confirmedNext(), c.nextReminder);
    }
}

TEST(AppModelSettings, RefusedValuesLeaveThePublishedPreferencesAsTheyWere) {
    struct Case {
        const char* name;
        RozivViewAction action;
    };
    const Case cases[] = {
        {"a glass size between two sizes", RozivViewAction::glassMilliliters(275)},
        {"no glass at all", RozivViewAction::glassMilliliters(0)},
        {"an interval not offered", RozivViewAction::intervalMinutes(50)},
        {"a negative interval", RozivViewAction::intervalMinutes(-60)},
        {"a start off the half hour", RozivViewAction::startMinute(9 * 60 + 15)},
        {"a start in the afternoon", RozivViewAction::startMinute(14 * 60)},
        {"an end at midnight", RozivViewAction::endMinute(24 * 60)},
        {"day 0", RozivViewAction::day(0)},
        {"day 8", RozivViewAction::day(8)},
    };
    ModelHarness harness;
    auto& model = harness.start();
    const auto before = model.preferences();
    const auto pendingBefore = harness.pendingTimes();
    int preferenceChanges = 0;
    QObject::connect(&model, &AppModel::preferencesChanged, &model, [&] { ++preferenceChanges; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.send(c.action);
        harness.settle();
        EXPECT_EQ(model.preferences(), before);
        EXPECT_EQ(preferenceChanges, 0);
        EXPECT_EQ(harness.pendingTimes(), pendingBefore);
    }
}

TEST(AppModelSettings, AnAcceptedValueIsPublishedAndPlanned) {
    ModelHarness harness;
    auto& model = harness.start();
    model.send(RozivViewAction::glassMilliliters(500));
    model.send(RozivViewAction::intervalMinutes(90));
    model.send(RozivViewAction::startMinute(8 * 60 + 30));
    harness.settle();
    EXPECT_EQ(model.preferences().glassMilliliters, 500);
    EXPECT_EQ(model.preferences().intervalMinutes, 90);
    EXPECT_EQ(model.preferences().startMinute, 8 * 60 + 30);
    EXPECT_EQ(model.panel().upperRange, model.preferences().upperRange);
    EXPECT_EQ(harness.pendingTimes().front(), monday + 10 * hour) << "08:30 plus 90 minutes";

    model.send(RozivViewAction::reminders(false));
    harness.settle();
    EXPECT_FALSE(model.panel().remindersEnabled);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::off());
    EXPECT_TRUE(harness.center->pending().empty());
}

TEST(AppModelSettings, TheLastWorkingDayCannotBeTurnedOff) {
    ModelHarness harness;
    auto& model = harness.start();
    for (const int day : {2, 3, 4, 5})
        model.send(RozivViewAction::day(day));
    harness.settle();
    ASSERT_EQ(model.preferences().days, (std::set<std::int64_t>{1}));
    EXPECT_EQ(harness.center->pending().size(), 8u) << "Monday's only, within the week ahead";

    model.send(RozivViewAction::day(1));
    harness.settle();
    EXPECT_EQ(model.preferences().days, (std::set<std::int64_t>{1}));

    // Sunday is 7; once another day is on, Monday may go.
    model.send(RozivViewAction::day(7));
    model.send(RozivViewAction::day(1));
    harness.settle();
    EXPECT_EQ(model.preferences().days, (std::set<std::int64_t>{7}));
}

TEST(AppModelRefusal, AnActionOnDataThatIsNoLongerTheAccountsShowsTheStorageProblem) {
    ModelHarness::Options options;
    options.account = "alice";
    ModelHarness harness(options);
    auto& model = harness.start();
    harness.advanceTo(monday + 10.5 * hour);
    // Signed in elsewhere; the sync store has not followed yet.
    harness.signIn("bob");
    ASSERT_TRUE(model.dataUnavailable());
    const long passes = planningPasses(*harness.center);
    int panelChanges = 0;
    QObject::connect(&model, &AppModel::panelChanged, &model, [&] { ++panelChanges; });

    model.send(RozivViewAction::drinkGlass());
    model.send(RozivViewAction::glassMilliliters(300));
    harness.settle();
    EXPECT_EQ(model.panel().problem, RozivProblem::storage);
    EXPECT_EQ(panelChanges, 2) << "each refusal is announced";
    EXPECT_TRUE(ledger(harness).drinks().empty());
    EXPECT_EQ(model.settings().current().cupVolume(), DewlightCore::CupVolume::ml250);
    EXPECT_EQ(planningPasses(*harness.center), passes) << "nothing is planned";
}

TEST(AppModelPermission, TheRequestPlansOnceAndOnlyForItsOwnData) {
    ModelHarness::Options options;
    options.authorization = NotificationAuthorizationStatus::notDetermined;
    struct Answer {
        const char* name;
        void (*script)(LocalNotificationCenter&);
        RozivPermissionState permission;
        RozivPanelStatus status;
        std::size_t planned;
    };
    const Answer answers[] = {
        {"allowed", [](LocalNotificationCenter&) {}, RozivPermissionState::allowed,
         RozivPanelStatus::outside(monday + 9 * hour), 40},
        {"refused", [](LocalNotificationCenter& c) { c.setAuthorizationAnswer(false); },
         RozivPermissionState::denied, RozivPanelStatus::permission(), 0},
        // The question could not be put: nothing is decided, and the user may ask again.
        {"no service to ask", [](LocalNotificationCenter& c) { c.failNextAuthorizationRequest(); },
         RozivPermissionState::notAsked, RozivPanelStatus::permission(), 0},
    };
    for (const auto& a : answers) {
        SCOPED_TRACE(a.name);
        ModelHarness harness(options);
        auto& model = harness.start();
        ASSERT_EQ(model.welcome().permission, RozivPermissionState::notAsked);
        ASSERT_TRUE(harness.center->pending().empty());
        a.script(*harness.center);
        const long passes = planningPasses(*harness.center);
        model.send(RozivViewAction::requestNotifications());
        harness.settle();
        EXPECT_EQ(model.welcome().permission, a.permission);
        EXPECT_EQ(model.panel().permission, a.permission);
        EXPECT_EQ(model.panel().status, a.status);
        EXPECT_EQ(harness.center->pending().size(), a.planned);
        EXPECT_EQ(planningPasses(*harness.center), passes + 1);
    }
    {
        SCOPED_TRACE("the data is replaced while the question is open");
        ModelHarness harness(options);
        auto& model = harness.start();
        harness.center->hold(LocalNotificationCenter::Gated::requestAlertAuthorization);
        model.send(RozivViewAction::requestNotifications());
        harness.settle();
        model.reload(true);
        const long passes = planningPasses(*harness.center);
        harness.center->release(LocalNotificationCenter::Gated::requestAlertAuthorization);
        harness.settle();
        // Only the reload's follow-up plans, with the answer it read itself.
        EXPECT_EQ(planningPasses(*harness.center), passes + 1);
        EXPECT_EQ(model.welcome().permission, RozivPermissionState::allowed);
        EXPECT_EQ(harness.center->pending().size(), 40u);
    }
}

TEST(AppModelWelcome, CompletingIt) {
    struct Case {
        const char* name;
        bool fileWritable;
        bool closesWindow;
        std::size_t planned;
    };
    const Case cases[] = {
        {"committed: the window closes and the week is planned", true, true, 40},
        // The user can try again from the window that stays open.
        {"not saved: the window stays and nothing is planned", false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelHarness::Options options;
        options.welcomeCompleted = false;
        ModelHarness harness(options);
        auto& model = harness.start();
        if (!c.fileWritable)
            harness.files.lock(harness.accountFile());
        const long passes = planningPasses(*harness.center);
        model.send(RozivViewAction::completeWelcome());
        harness.settle();
        const bool closed = std::count(harness.windows.log.begin(), harness.windows.log.end(),
                                       "close welcome") == 1;
        EXPECT_EQ(closed, c.closesWindow);
        EXPECT_EQ(harness.center->pending().size(), c.planned);
        EXPECT_EQ(planningPasses(*harness.center), passes + 1) << "planned in either case";
    }
}

TEST(AppModelWelcome, PresentedWhenNotCompletedOrThePermissionIsUndecided) {
    using Status = NotificationAuthorizationStatus;
    struct Case {
        const char* name;
        bool welcomeCompleted;
        Status authorization;
        bool opens;
    };
    const Case cases[] = {
        {"completed and allowed", true, Status::authorized, false},
        {"completed and refused", true, Status::denied, false},
        {"completed, permission never asked", true, Status::notDetermined, true},
        {"not completed", false, Status::authorized, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelHarness::Options options;
        options.welcomeCompleted = c.welcomeCompleted;
        options.authorization = c.authorization;
        ModelHarness harness(options);
        auto& model = harness.start();
        model.presentWelcomeIfNeeded();
        harness.settle();
        EXPECT_EQ(harness.opened,
                  c.opens ? std::vector<std::string>{"welcome"} : std::vector<std::string>{});
    }

    SCOPED_TRACE("unavailable data");
    ModelHarness::Options options;
    options.welcomeCompleted = false;
    ModelHarness harness(options);
    auto& model = harness.start();
    harness.files.put(harness.accountFile(), "{");
    model.reload(true);
    harness.settle();
    model.presentWelcomeIfNeeded();
    EXPECT_EQ(model.destination(), std::nullopt);
}

// Opening the notification settings and retrying are handled in send, never queued behind the
// actions: a queued retry would reach the queue's check of the data and be refused over the very
// data that failed, which is what the retry is for.
TEST(AppModelImmediate, SettingsOpenAtOnceAndARetryRebuildsDataThatFailed) {
    ModelHarness harness;
    auto& model = harness.start();
    model.send(RozivViewAction::openNotificationSettings());
    EXPECT_EQ(harness.center->settingsOpened(), 1);

    const long passes = planningPasses(*harness.center);
    model.send(RozivViewAction::retry());
    EXPECT_FALSE(model.dataUnavailable()) << "a retry over good data forces nothing";
    harness.settle();
    EXPECT_EQ(planningPasses(*harness.center), passes + 1);
    EXPECT_TRUE(harness.windows.log.empty());

    // The data fails to load, then its file is mended and the person presses the retry button.
    const auto file = harness.accountFile();
    const auto saved = *harness.files.read(file);
    harness.files.put(file, "{");
    model.reload(true);
    harness.settle();
    ASSERT_TRUE(model.dataUnavailable());
    harness.files.put(file, saved);
    harness.windows.log.clear();
    model.send(RozivViewAction::retry());
    EXPECT_FALSE(harness.windows.log.empty()) << "the windows over the failed data close at once";
    harness.settle();
    EXPECT_FALSE(model.dataUnavailable()) << "the retry rebuilt the data";
    EXPECT_EQ(planningPasses(*harness.center), passes + 2);
}

} // namespace
} // namespace DewlightTest
