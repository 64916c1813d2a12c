#include "app/AppModel.h"

#include "app/RozivTally.h"
#include "core/LocalPostponement.h"
#include "reminders/RozivReminders.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"
#include "storage/StorageError.h"
#include "tests/support/ModelHarness.h"
#include "tests/support/ViewStatePrinting.h"
#include "tests/support/WarningLog.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace DewlightTest {
namespace {

using DewlightApp::AppModel;
using DewlightApp::RozivDestination;
using DewlightCore::DrinkKind;
using DewlightCore::WorkdayID;
using DewlightPlatform::SystemEvent;
using DewlightViews::RozivPanelStatus;
using DewlightViews::RozivProblem;
using DewlightViews::RozivViewAction;

const Date tuesday = monday + day;

// Follow-ups of reloads that reached the permission refresh: each asks the centre once.
long followUps(const DewlightPlatform::LocalNotificationCenter& center) {
    const auto& log = center.log();
    return std::count(log.begin(), log.end(), "authorizationStatus");
}

TEST(AppModelConstruction, PublishesOneProjectionAndObservesNothingBeforeStart) {
    ModelHarness harness;
    auto& model = harness.build();
    // The welcome was completed after the projection; nothing is planned or watched yet.
    EXPECT_EQ(model.panel().status, RozivPanelStatus::preparing());
    EXPECT_EQ(model.preferences().days, (std::set<std::int64_t>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(model.dataUnavailable());
    EXPECT_FALSE(model.destination());
    EXPECT_FALSE(model.hasWindowRouter());
    EXPECT_FALSE(model.observesSystemEvents());
    harness.settle();
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(followUps(*harness.center), 0);
}

TEST(AppModelConstruction, AnUnreadableAccountFileFailsTheLaunch) {
    ModelHarness harness;
    harness.defaults.setText(DewlightStorage::AccountIdentityStore::localKey, "LOCAL");
    harness.files.put(*harness.files.dataFolder() / "LOCAL.json", "{");
    EXPECT_THROW(harness.build(), DewlightStorage::StorageError);
    EXPECT_EQ(harness.model, nullptr);
}

// The working day of the fixture: Monday 09:00-18:00, a reminder every hour.
TEST(AppModelDay, PlansTheWeekAndWakesAtEachBoundaryOnce) {
    ModelHarness harness;
    auto& model = harness.start();
    ASSERT_EQ(harness.clock.now(), monday + 8 * hour);
    EXPECT_EQ(harness.center->pending().size(), 40u) << "eight a day, Monday to Friday";
    EXPECT_EQ(harness.pendingTimes().front(), monday + 10 * hour);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::outside(monday + 9 * hour));
    EXPECT_EQ(model.reminders().confirmedNext(), monday + 10 * hour);
    EXPECT_EQ(harness.clock.pendingSleeps(), 1u) << "only the boundary timer sleeps";

    const long before = followUps(*harness.center);
    harness.advanceTo(monday + 9 * hour - 0.01);
    EXPECT_EQ(followUps(*harness.center), before) << "the boundary sleeps until 09:00";
    harness.advanceTo(monday + 9 * hour);
    EXPECT_EQ(followUps(*harness.center), before + 1);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::scheduled(monday + 10 * hour));
    EXPECT_EQ(model.menuSymbol(), "drop.fill");
    EXPECT_EQ(harness.center->pending().size(), 40u);

    // The reminders of the day pass by; each confirmed one is a boundary of its own.
    harness.advanceTo(monday + 17 * hour + 0.5);
    EXPECT_EQ(model.reminders().confirmedNext(), tuesday + 10 * hour);
    const long atFive = followUps(*harness.center);
    harness.advanceTo(monday + 18 * hour - 0.01);
    EXPECT_EQ(followUps(*harness.center), atFive) << "nothing until the end of the day";
    harness.advanceTo(monday + 18 * hour);
    EXPECT_EQ(followUps(*harness.center), atFive + 1);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::outside(tuesday + 9 * hour));
}

TEST(AppModelDay, ReArmingCancelsThePreviousTimer) {
    ModelHarness harness;
    auto& model = harness.start();
    for (int i = 0; i < 3; ++i)
        model.scheduleBoundary();
    model.reload(false);
    model.reload(false);
    harness.settle();
    EXPECT_EQ(harness.clock.pendingSleeps(), 1u);

    const long before = followUps(*harness.center);
    harness.advanceTo(monday + 9 * hour);
    EXPECT_EQ(followUps(*harness.center), before + 1) << "one reload for the instant";
}

TEST(AppModelDay, TheBoundaryNeverSleepsLessThanATenthOfASecond) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.advanceTo(monday + 9 * hour - 0.05);
    const long before = followUps(*harness.center);
    model.scheduleBoundary(); // for 09:00, five hundredths away
    harness.advanceTo(monday + 9 * hour + 0.02);
    EXPECT_EQ(followUps(*harness.center), before);
    harness.advanceTo(monday + 9 * hour + 0.06);
    EXPECT_EQ(followUps(*harness.center), before + 1);
    EXPECT_EQ(harness.clock.pendingSleeps(), 1u);
}

TEST(AppModelPlanning, NothingIsPlannedBeforeTheWelcomeIsCompleted) {
    ModelHarness::Options options;
    options.welcomeCompleted = false;
    ModelHarness harness(options);
    auto& model = harness.start();
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(model.panel().status, RozivPanelStatus::preparing());
    EXPECT_FALSE(model.reminders().schedulingFailed());
    // The boundary still follows the working day.
    EXPECT_EQ(harness.clock.pendingSleeps(), 1u);
}

TEST(AppModelPlanning, TwoPassesBackToBackKeepOnlyTheSecondOnesResult) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.center->hold(DewlightPlatform::LocalNotificationCenter::Gated::pendingRequests);
    auto first = model.planReminders();
    auto second = model.planReminders();
    EXPECT_EQ(model.reminders().confirmedNext(), std::nullopt) << "cleared while a pass runs";
    harness.center->release(DewlightPlatform::LocalNotificationCenter::Gated::pendingRequests);
    harness.settle();
    EXPECT_EQ(model.reminders().confirmedNext(), monday + 10 * hour);
    EXPECT_EQ(harness.center->pending().size(), 40u);
    EXPECT_EQ(harness.clock.pendingSleeps(), 1u);
}

TEST(AppModelPlanning, AFailedPostShowsAsAFailureAndTheTimerIsStillArmed) {
    ModelHarness harness;
    harness.center->failNextAdd();
    auto& model = harness.start();
    EXPECT_TRUE(model.reminders().schedulingFailed());
    EXPECT_EQ(model.panel().status, RozivPanelStatus::failed());
    EXPECT_EQ(harness.clock.pendingSleeps(), 1u);
}

TEST(AppModelPlanning, AReminderHeldForWantOfAServiceShowsUntilItIsShown) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.advanceTo(monday + 10 * hour);
    ASSERT_EQ(model.panel().status, RozivPanelStatus::scheduled(monday + 11 * hour));

    harness.center->reportDeliveryHeld(true);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::failed()) << "without waiting for a plan";
    // The hour's boundary plans again, and posting to the centre succeeds with no service.
    harness.advanceTo(monday + 11 * hour + 1);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::failed());

    harness.center->reportDeliveryHeld(false);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::scheduled(monday + 12 * hour));
}

TEST(AppModelClock, AClockMovedBackShowsTheClockProblemAndPlansNothing) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.advanceTo(monday + 10.5 * hour);
    auto recording = model.tally().record(DrinkKind::cup);
    harness.settle();
    ASSERT_EQ(model.data().current().transaction().state().ledger.drinks().size(), 1u);

    // Sunday evening: the ledger already holds Monday.
    harness.clock.setNow(monday - 4 * hour);
    harness.post(SystemEvent::clockChanged);
    EXPECT_EQ(model.panel().problem, RozivProblem::clock);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::failed());
    EXPECT_FALSE(model.panel().canRecord);
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(model.reminders().confirmedNext(), std::nullopt);
}

TEST(AppModelLifecycle, EverySystemEventReloadsOnce) {
    const SystemEvent events[] = {SystemEvent::wake, SystemEvent::becameActive,
                                  SystemEvent::clockChanged, SystemEvent::timeZoneChanged};
    for (const auto event : events) {
        ModelHarness harness;
        auto& model = harness.start();
        const long before = followUps(*harness.center);
        harness.post(event);
        EXPECT_EQ(followUps(*harness.center), before + 1) << static_cast<int>(event);
        EXPECT_FALSE(model.dataUnavailable());
        EXPECT_TRUE(harness.windows.log.empty()) << "an ordinary reload resets nothing";
    }
}

TEST(AppModelReload, AnOrdinaryReloadChangesNothingAtOnceAndCatchesUpInTheQueue) {
    ModelHarness harness;
    auto& model = harness.start();
    const int loginReads = harness.loginService->statusReads;
    // The user turned notifications off outside the application.
    harness.center->setAuthorizationStatus(
        DewlightPlatform::NotificationAuthorizationStatus::denied);
    model.reload(false);
    EXPECT_EQ(model.reminders().confirmedNext(), monday + 10 * hour);
    EXPECT_EQ(harness.center->pending().size(), 40u);
    EXPECT_FALSE(model.dataUnavailable());

    harness.settle();
    EXPECT_EQ(model.panel().permission, DewlightViews::RozivPermissionState::denied);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::permission());
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_GT(harness.loginService->statusReads, loginReads) << "the login item was read again";
    EXPECT_TRUE(harness.windows.log.empty());
}

TEST(AppModelLifecycle, ATimeZoneChangeMovesTheWorkingDay) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.zone = "Asia/Kolkata"; // 08:00 UTC is 13:30 there
    harness.post(SystemEvent::timeZoneChanged);
    EXPECT_EQ(model.panel().status, RozivPanelStatus::scheduled(monday + 8.5 * hour))
        << "14:00 in Kolkata";
    EXPECT_EQ(harness.pendingTimes().front(), monday + 8.5 * hour);
}

TEST(AppModelLifecycle, WithoutASystemBusTheModelSaysSoAndStillReloads) {
    ModelHarness::Options options;
    options.systemBusConnected = false;
    ModelHarness harness(options);
    WarningLog log;
    auto& model = harness.start();
    EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                            [](const std::string& line) {
                                return line.starts_with("dewlight.system: no system bus");
                            }),
              1);
    EXPECT_TRUE(model.observesSystemEvents());
    const long before = followUps(*harness.center);
    harness.post(SystemEvent::clockChanged);
    EXPECT_EQ(followUps(*harness.center), before + 1);
}

TEST(AppModelAccount, AnIdentityChangeResetsAndTheNewAccountWaitsForTheStore) {
    ModelHarness::Options options;
    options.account = "alice";
    ModelHarness harness(options);
    auto& model = harness.start();
    ASSERT_EQ(model.panel().cloud, DewlightViews::RozivCloudState::available);
    ASSERT_EQ(harness.center->pending().size(), 40u);
    harness.deliverNext();
    ASSERT_EQ(harness.center->delivered().size(), 1u);
    const auto alice = model.data().current().session().id;

    std::vector<bool> unavailable;
    QObject::connect(&model, &AppModel::dataUnavailableChanged, &model,
                     [&] { unavailable.push_back(model.dataUnavailable()); });
    bool queuedRan = false;
    harness.tokens.setToken("bob");
    // Queued before the event reaches the model, on the same turn.
    model.actions().enqueue([&]() -> QCoro::Task<void> {
        queuedRan = true;
        co_return;
    });
    harness.settle();

    EXPECT_FALSE(queuedRan) << "the reset drops what was queued";
    EXPECT_EQ(harness.windows.log,
              (std::vector<std::string>{"close preferences", "close welcome"}));
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_TRUE(harness.center->delivered().empty());
    EXPECT_NE(model.data().current().session().id, alice);
    EXPECT_TRUE(model.dataUnavailable()) << "bob's data is not usable before the store follows";
    EXPECT_FALSE(model.panel().canRecord);
    model.send(RozivViewAction::openPreferences());
    harness.settle();
    EXPECT_TRUE(harness.opened.empty());

    harness.switchStoreAccount("bob");
    EXPECT_FALSE(model.dataUnavailable());
    EXPECT_EQ(model.panel().cloud, DewlightViews::RozivCloudState::available);
    // Bob was never welcomed on this computer: nothing is planned until he is.
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(model.panel().status, RozivPanelStatus::preparing());
    EXPECT_EQ(unavailable, (std::vector<bool>{true, false}));
}

TEST(AppModelAccount, AStoreNoticeBeforeTheIdentityResetsWithoutRebuilding) {
    ModelHarness::Options options;
    options.account = "alice";
    ModelHarness harness(options);
    auto& model = harness.start();
    const auto alice = model.data().current().session().id;

    harness.switchStoreAccount("bob");
    EXPECT_TRUE(model.dataUnavailable());
    // Data built now, behind the closed fence, would be marked as built without its cloud.
    EXPECT_FALSE(model.data().current().cloudBlocked()) << "a closed fence alone rebuilds nothing";
    EXPECT_EQ(model.data().current().session().id, alice);
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(model.panel().cloud, DewlightViews::RozivCloudState::failed);

    harness.signIn("bob");
    EXPECT_NE(model.data().current().session().id, alice);
    EXPECT_FALSE(model.dataUnavailable());
    EXPECT_EQ(model.panel().cloud, DewlightViews::RozivCloudState::available);
}

TEST(AppModelAccount, SigningOutPassesNoIdentityToTheAuthority) {
    ModelHarness::Options options;
    options.account = "alice";
    ModelHarness harness(options);
    auto& model = harness.start();
    harness.signIn(std::nullopt);
    EXPECT_TRUE(std::holds_alternative<DewlightStorage::AccountAuthority::AwaitingCloud>(
        model.data().authority().state()));
    const auto& awaiting = std::get<DewlightStorage::AccountAuthority::AwaitingCloud>(
        model.data().authority().state());
    EXPECT_EQ(awaiting.next, std::nullopt);
    // Without a cloud account there is no fence to wait for. The computer's own account is
    // another account, not welcomed yet: nothing of the cloud account stays planned.
    EXPECT_FALSE(model.dataUnavailable());
    EXPECT_EQ(model.panel().cloud, DewlightViews::RozivCloudState::localOnly);
    EXPECT_TRUE(harness.center->pending().empty());
}

TEST(AppModelReload, AForcedReloadLeavesTheDataUnavailableUntilTheRebuildSucceeds) {
    ModelHarness harness;
    auto& model = harness.start();
    model.send(RozivViewAction::openPreferences());
    harness.settle();
    ASSERT_EQ(harness.opened, std::vector<std::string>{"preferences"});
    std::vector<bool> unavailable;
    QObject::connect(&model, &AppModel::dataUnavailableChanged, &model,
                     [&] { unavailable.push_back(model.dataUnavailable()); });

    const auto file = harness.accountFile();
    const auto saved = *harness.files.read(file);
    harness.files.put(file, "{");
    model.reload(true);
    EXPECT_TRUE(model.dataUnavailable()) << "at once";
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_EQ(model.reminders().confirmedNext(), std::nullopt);
    harness.settle();
    EXPECT_TRUE(model.dataUnavailable()) << "the rebuild failed";
    EXPECT_EQ(harness.windows.log,
              (std::vector<std::string>{"close preferences", "close welcome", "close preferences",
                                        "close welcome"}));
    EXPECT_TRUE(harness.center->pending().empty());
    model.send(RozivViewAction::openWelcome());
    harness.settle();
    EXPECT_EQ(harness.opened, std::vector<std::string>{"preferences"})
        << "no window over unavailable data";
    // Later reloads try again; none of them goes on with the data it could not rebuild.
    harness.advanceTo(monday + 9 * hour);
    harness.post(SystemEvent::wake);
    EXPECT_TRUE(model.dataUnavailable());
    EXPECT_TRUE(harness.center->pending().empty());

    harness.files.put(file, saved);
    model.reload(true);
    harness.settle();
    EXPECT_FALSE(model.dataUnavailable());
    EXPECT_EQ(harness.center->pending().size(), 40u);
    EXPECT_EQ(unavailable, (std::vector<bool>{true, false}));
}

TEST(AppModelReload, ARebuildThatFailsLeavesNoReminderOfTheOldData) {
    ModelHarness::Options options;
    options.account = "alice";
    ModelHarness harness(options);
    auto& model = harness.start();
    harness.deliverNext();
    model.reminders().setPostponement(
        DewlightCore::LocalPostponement(harness.clock.now(), WorkdayID(monday), std::nullopt));

    // The session changes after the reload looked and before its follow-up runs.
    model.reload(false);
    harness.tokens.setArchivingFails(true);
    harness.settle();
    EXPECT_TRUE(model.dataUnavailable());
    EXPECT_TRUE(harness.center->pending().empty());
    EXPECT_TRUE(harness.center->delivered().empty());
    EXPECT_EQ(model.reminders().confirmedNext(), std::nullopt);
    EXPECT_EQ(model.reminders().postponement(), std::nullopt);
}

TEST(AppModelReload, AStaleSnapshotNeverMatchesTheRebuiltDataOfTheSameAccount) {
    // Nothing committed yet: the replaced data and its successor would both count from zero.
    ModelHarness::Options options;
    options.welcomeCompleted = false;
    ModelHarness harness(options);
    auto& model = harness.start();
    auto& before = model.data().current().transaction();
    const auto revision = before.revision();
    const auto account = before.account();
    auto state = before.state();
    model.reload(true);
    harness.settle();
    ASSERT_FALSE(model.dataUnavailable());
    ASSERT_EQ(model.data().current().transaction().account(), account);
    EXPECT_FALSE(model.data().isCurrent(revision, account));
    state.welcomeCompleted = true;
    EXPECT_FALSE(model.data().current().transaction().commit(state, revision, account));
}

TEST(AppModelReload, OnlyAChangedLedgerFromAnotherComputerClearsWhatWasShown) {
    ModelHarness::Options options;
    options.account = "alice";
    ModelHarness harness(options);
    auto& model = harness.start();
    harness.advanceTo(monday + 10.5 * hour);
    harness.deliverNext();
    const DewlightCore::LocalPostponement postponement(harness.clock.now(), WorkdayID(monday),
                                                       std::nullopt);
    model.reminders().setPostponement(postponement);

    // A notice that brings nothing new.
    const long before = followUps(*harness.center);
    harness.store.post(DewlightPlatform::KeyValueStoreChange::make(
        DewlightPlatform::KeyValueStoreChangeReason::serverChange, std::vector<std::string>{}));
    harness.settle();
    EXPECT_EQ(followUps(*harness.center), before + 1);
    EXPECT_EQ(model.reminders().postponement(), postponement);
    EXPECT_EQ(harness.center->delivered().size(), 1u);

    // The other computer of the same person records a glass at 10:20.
    auto& other = harness.hub.addMachine("other", "alice");
    {
        DewlightPlatform::LocalUserDefaults otherDefaults;
        DewlightPlatform::LocalIdentityTokenSource otherTokens("alice");
        DewlightPlatform::LocalFileSystem otherFiles;
        DewlightStorage::AccountAuthority authority;
        DewlightStorage::RozivPreferences preferences;
        DewlightStorage::RozivData otherData({otherDefaults, other, otherTokens, otherFiles},
                                             authority, preferences);
        auto& transaction = otherData.current().transaction();
        auto next = transaction.state();
        next.ledger.recordDrink(DewlightCore::Identity<DewlightCore::DrinkTag>("other-1"),
                                DewlightCore::Identity<DewlightCore::ClickGroupTag>("g-1"),
                                otherData.current().writer(), WorkdayID(monday), DrinkKind::cup,
                                monday + 10 * hour + 20 * 60);
        ASSERT_TRUE(transaction.commit(next, transaction.revision(), transaction.account()));
        otherData.current().pushToCloud();
    }
    harness.hub.deliver("other", "this");
    harness.settle();
    EXPECT_EQ(model.panel().quarters, 4);
    EXPECT_EQ(model.reminders().postponement(), std::nullopt);
    EXPECT_TRUE(harness.center->delivered().empty());
    EXPECT_EQ(harness.pendingTimes().front(), monday + 11 * hour + 20 * 60)
        << "an hour after the other computer's glass";
}

TEST(AppModelShutdown, TerminationDropsQueuedWorkAndRefusesWhatWasPrepared) {
    ModelHarness harness;
    auto& model = harness.start();
    harness.advanceTo(monday + 10.5 * hour);
    const long before = followUps(*harness.center);

    bool queuedRan = false;
    model.actions().enqueue([&]() -> QCoro::Task<void> {
        queuedRan = true;
        co_return;
    });
    // Takes its snapshot now and commits on a later turn.
    auto recording = model.tally().record(DrinkKind::cup);
    harness.terminate();

    EXPECT_FALSE(queuedRan);
    EXPECT_TRUE(model.data().current().transaction().state().ledger.drinks().empty());
    EXPECT_FALSE(model.observesSystemEvents());
    harness.post(SystemEvent::wake);
    harness.advanceTo(tuesday + 9 * hour);
    EXPECT_EQ(followUps(*harness.center), before) << "no event and no timer reloads any more";
}

TEST(AppModelWindows, StartMakesOneRouterThatTakesEachRequest) {
    ModelHarness harness;
    auto& model = harness.start();
    EXPECT_EQ(harness.routersMade, 1);
    std::vector<std::optional<RozivDestination>> seen;
    QObject::connect(&model, &AppModel::destinationChanged, &model,
                     [&] { seen.push_back(model.destination()); });
    model.send(RozivViewAction::openPreferences());
    model.send(RozivViewAction::openPreferences());
    model.send(RozivViewAction::openWelcome());
    harness.settle();
    EXPECT_EQ(harness.opened, std::vector<std::string>{"welcome"}) << "the last request counts";
    EXPECT_EQ(seen, (std::vector<std::optional<RozivDestination>>{
                        RozivDestination::preferences, RozivDestination::welcome, std::nullopt}));
}

TEST(AppModelCallbacks, AChangeCallbackAfterTheModelIsGoneDoesNothing) {
    ModelHarness harness;
    harness.start();
    auto& data = harness.model->data();
    const auto onChange = data.onChange;
    harness.model.reset();
    harness.settle();
    const long before = followUps(*harness.center);
    onChange();
    harness.settle();
    EXPECT_EQ(followUps(*harness.center), before);
}

TEST(AppModelRefresh, ALoginFailureIsAnnouncedOnEveryRefresh) {
    ModelHarness harness;
    auto& model = harness.start();
    int panelChanges = 0;
    int preferenceChanges = 0;
    QObject::connect(&model, &AppModel::panelChanged, &model, [&] { ++panelChanges; });
    QObject::connect(&model, &AppModel::preferencesChanged, &model, [&] { ++preferenceChanges; });
    model.refresh();
    EXPECT_EQ(panelChanges, 0) << "an equal state announces nothing";

    model.settings().setLoginFailed(true);
    model.refresh();
    model.refresh();
    EXPECT_EQ(model.panel().problem, RozivProblem::login);
    EXPECT_EQ(model.preferences().problem, RozivProblem::login);
    EXPECT_EQ(panelChanges, 2);
    EXPECT_EQ(preferenceChanges, 2);
}

// The router in views/ reaches the model only through the views' interface: it reads and takes
// requests there and hears of each change for as long as its context lives.
TEST(AppModelWindows, TheViewsInterfaceReadsTakesAndAnnouncesRequests) {
    ModelHarness harness;
    auto& model = harness.start();
    const std::shared_ptr<DewlightViews::RozivWindowRequests> requests =
        std::weak_ptr<DewlightViews::RozivWindowRequests>(model.weak()).lock();
    ASSERT_TRUE(requests);
    EXPECT_EQ(&requests->viewModel(), &model);
    auto context = std::make_unique<QObject>();
    int heard = 0;
    requests->onDestinationChanged(context.get(), [&] { ++heard; });
    model.send(RozivViewAction::openWelcome());
    EXPECT_EQ(requests->destination(), RozivDestination::welcome);
    requests->setDestination(std::nullopt);
    requests->setDestination(std::nullopt); // no change, no announcement
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(requests->dataUnavailable(), model.dataUnavailable());
    context.reset();
    model.send(RozivViewAction::openPreferences());
    EXPECT_EQ(heard, 2);
    harness.settle();
}

} // namespace
} // namespace DewlightTest
