#include "app/RozivProjection.h"

#include "core/LocalPostponement.h"
#include "platform/login/LocalLoginService.h"
#include "platform/login/LoginItem.h"
#include "platform/runtime/EventLoop.h"
#include "storage/CommittedState.h"
#include "storage/PreferenceRecord.h"
#include "storage/RozivPreferenceSession.h"
#include "tests/support/LocalComputer.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace DewlightApp {
namespace {

using namespace DewlightCore;
using namespace DewlightTesting;
using namespace DewlightViews;
using DewlightPlatform::runUntilIdle;
using DewlightStorage::RozivPreferenceKey;

const WorkdayID monday(mondayMidnight);
constexpr double at0930 = mondayMidnight + 9.5 * hours;

// The model's services on one local computer, and the projection a refresh would build.
struct Rig {
    explicit Rig(double now, std::optional<std::string> token = std::nullopt)
        : computer(now, std::move(token)) {
        computer.open();
        computer.makeReminders();
        auto service = std::make_unique<DewlightPlatform::LocalLoginService>();
        login = service.get();
        loginItem = std::make_unique<DewlightPlatform::LoginItem>(std::move(service));
        tally = RozivTally::make(*computer.data, computer.preferences, computer.clock,
                                 [] { return Calendar::utc(); });
    }
    // Lets every feedback timer end, so no suspended work outlives the rig.
    ~Rig() { computer.clock.advance(RozivTally::feedbackSeconds); }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // Welcome completed and notifications allowed: nothing holds the reminders back.
    void ready() {
        ASSERT_TRUE(computer.data->completeWelcome());
        reminders().setPermission(NotificationPermission::authorized);
    }
    // Commits drinks of the counting day straight into the ledger, each its own group.
    void drink(DrinkKind kind, int count, double at) {
        auto& transaction = computer.account().transaction();
        auto next = transaction.state();
        for (int i = 0; i < count; ++i) {
            const auto id = "d" + std::to_string(next.ledger.drinks().size());
            next.ledger.recordDrink(Identity<DrinkTag>(id), Identity<ClickGroupTag>("g" + id),
                                    computer.account().writer(), monday, kind, at + 10 * i);
        }
        ASSERT_TRUE(
            transaction.commit(std::move(next), transaction.revision(), transaction.account()));
    }
    void settings(const RozivSettings& settings) { computer.preferences.setCurrent(settings); }

    DewlightReminders::RozivReminders& reminders() { return *computer.reminders; }
    RozivProjection project() {
        return RozivProjection(computer.account(), computer.preferences, reminders(),
                               tally->feedback(), *loginItem, computer.clock.now(),
                               Calendar::utc());
    }

    LocalComputer computer;
    DewlightPlatform::LocalLoginService* login = nullptr;
    std::unique_ptr<DewlightPlatform::LoginItem> loginItem;
    std::shared_ptr<RozivTally> tally;
};

// Each status of the core, and what the panel says for it. The range is 3 to 5 glasses.
TEST(RozivProjection, EveryCoreStatusBecomesItsPanelStatus) {
    struct Case {
        const char* name;
        double now;
        std::function<void(Rig&)> setUp;
        RozivPanelStatus expected;
        // So that each failed status is seen to come from its own cause.
        std::optional<RozivProblem> problem = std::nullopt;
    };
    const double at1030 = mondayMidnight + 10.5 * hours;
    // 19:00 on the last civil day that ends before the dates the core accepts (1e11 s after 2001
    // is 09:46:40 UTC on the day after): with only this weekday selected, the next working day
    // lies beyond them.
    const double lastEvening = 1e11 - 35200 - 5 * hours;
    const auto lastWeekday =
        *fromRawValue<Weekday>(Calendar::utc().components(lastEvening)->weekday);
    const Case cases[] = {
        {"failure: storage", at0930,
         [](Rig& rig) {
             rig.ready();
             rig.computer.files.lock(*rig.computer.files.dataFolder());
             EXPECT_FALSE(rig.computer.data->markShown(PanelMoment::fourthSip, monday));
         },
         RozivPanelStatus::failed(), RozivProblem::storage},
        {"failure: clock", at0930,
         [](Rig& rig) {
             rig.ready();
             rig.drink(DrinkKind::cup, 1, at0930);
             rig.computer.clock.setNow(mondayMidnight - 4 * hours);
         },
         RozivPanelStatus::failed(), RozivProblem::clock},
        {"failure: scheduling", at0930,
         [](Rig& rig) {
             rig.ready();
             rig.reminders().setSchedulingFailed(true);
         },
         RozivPanelStatus::failed()},
        {"next reminder", at0930,
         [=](Rig& rig) {
             rig.ready();
             rig.reminders().setConfirmedNext(at1030);
         },
         RozivPanelStatus::scheduled(at1030)},
        {"welcome required", at0930,
         [=](Rig& rig) {
             rig.reminders().setPermission(NotificationPermission::authorized);
             rig.reminders().setConfirmedNext(at1030);
         },
         RozivPanelStatus::preparing()},
        {"reminders off", at0930,
         [](Rig& rig) {
             rig.ready();
             rig.computer.preferences.set(0, RozivPreferenceKey::reminders);
             ASSERT_FALSE(rig.computer.preferences.current().remindersEnabled());
         },
         RozivPanelStatus::off()},
        {"permission required", at0930,
         [](Rig& rig) {
             rig.ready();
             rig.reminders().setPermission(NotificationPermission::denied);
         },
         RozivPanelStatus::permission()},
        {"outside the working day", mondayMidnight + 19 * hours, [](Rig& rig) { rig.ready(); },
         RozivPanelStatus::outside(mondayMidnight + 86400 + 9 * hours)},
        {"outside, with no next working day to be found", lastEvening,
         [=](Rig& rig) {
             rig.ready();
             rig.settings(RozivSettings(true, {lastWeekday}, 540, 1080, CupVolume::ml250,
                                        ReminderInterval::minutes60, false));
         },
         RozivPanelStatus::failed()},
        // The day has had enough even though a reminder is still pending.
        {"range exceeded", at0930,
         [=](Rig& rig) {
             rig.ready();
             rig.drink(DrinkKind::cup, 5, mondayMidnight + 9 * hours);
             rig.drink(DrinkKind::sip, 1, at0930);
             rig.reminders().setConfirmedNext(at1030);
         },
         RozivPanelStatus::enough()},
        {"scheduling", at0930, [](Rig& rig) { rig.ready(); }, RozivPanelStatus::preparing()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.now);
        c.setUp(rig);
        const auto panel = rig.project().panel;
        EXPECT_EQ(panel.status, c.expected);
        EXPECT_EQ(panel.problem, c.problem);
    }
}

TEST(RozivProjection, ADayAboveItsRangeStillRecordsButNoLongerSuggestsAGlass) {
    Rig rig(at0930);
    rig.ready();
    rig.drink(DrinkKind::cup, 5, mondayMidnight + 9 * hours);
    rig.drink(DrinkKind::sip, 1, at0930);
    const auto panel = rig.project().panel;
    EXPECT_EQ(panel.quarters, 21);
    EXPECT_EQ(panel.status, RozivPanelStatus::enough());
    EXPECT_TRUE(panel.canRecord);
    EXPECT_FALSE(panel.highlightsGlass);
}

TEST(RozivProjection, ThreeGlassesShowTheirGroupAndFeedbackUntilTheTimerClearsIt) {
    const double half11 = mondayMidnight + 11.5 * hours;
    Rig rig(half11);
    rig.ready();
    int refreshes = 0;
    std::optional<RozivProjection> refreshed;
    rig.tally->onFeedbackCleared = [&] {
        ++refreshes;
        refreshed = rig.project();
    };

    for (int second = 0; second < 3; ++second) {
        rig.computer.clock.advance(half11 + second - rig.computer.clock.now());
        auto recording = rig.tally->record(DrinkKind::cup);
        runUntilIdle();
        const auto panel = rig.project().panel;
        EXPECT_EQ(panel.groupedAddition, second + 1);
        EXPECT_EQ(panel.feedbackRevision, second + 1);
    }
    const auto shown = rig.project().panel;
    EXPECT_EQ(shown.quarters, 12);
    EXPECT_EQ(shown.undo, (RozivUndoState{RozivUndoState::Drink::glass, 3, half11}));
    EXPECT_EQ(shown.moment, RozivMoment::threeGlassesInHour);
    EXPECT_TRUE(shown.canRecord);

    rig.computer.clock.advance(half11 + 5 - rig.computer.clock.now());
    ASSERT_EQ(refreshes, 1);
    EXPECT_EQ(refreshed->panel.groupedAddition, 0);
    EXPECT_EQ(refreshed->panel.moment, std::nullopt);
    EXPECT_EQ(refreshed->panel.feedbackRevision, 3);
    EXPECT_EQ(refreshed->panel.undo, shown.undo) << "the group stays undoable";
}

// "Snoozed" holds only while the postponement still moves the day's reminders.
TEST(RozivProjection, SnoozedOnlyWhileThePostponementStillApplies) {
    const double at1000 = mondayMidnight + 10 * hours;
    const double at1015 = at1000 + LocalPostponement::delay;
    struct Case {
        const char* name;
        double next;
        std::optional<WorkdayID> postponedDay; // none: no postponement
        bool drinkSince;
        RozivPanelStatus expected;
    };
    const Case cases[] = {
        {"postponed, next reminder at its end", at1015, monday, false,
         RozivPanelStatus::snoozed(at1015)},
        {"postponed, next reminder after its end", at1015 + 600, monday, false,
         RozivPanelStatus::snoozed(at1015 + 600)},
        {"next reminder before its end", at1000 + 300, monday, false,
         RozivPanelStatus::scheduled(at1000 + 300)},
        {"no postponement", at1015, std::nullopt, false, RozivPanelStatus::scheduled(at1015)},
        // Left over from the day before: the planner no longer honours it.
        {"postponed yesterday", at1015, WorkdayID(mondayMidnight - 86400), false,
         RozivPanelStatus::scheduled(at1015)},
        {"a drink came after it", at1015, monday, true, RozivPanelStatus::scheduled(at1015)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(at1000);
        rig.ready();
        if (c.postponedDay)
            rig.reminders().setPostponement(
                LocalPostponement(at1000, *c.postponedDay, std::nullopt));
        if (c.drinkSince)
            rig.drink(DrinkKind::sip, 1, at1000);
        rig.reminders().setConfirmedNext(c.next);
        EXPECT_EQ(rig.project().panel.status, c.expected);
    }
}

TEST(RozivProjection, AClockProblemStopsRecordingButKeepsTheCountAndUndo) {
    Rig rig(at0930);
    rig.ready();
    rig.drink(DrinkKind::cup, 2, at0930);
    // Sunday evening: the ledger already holds Monday.
    rig.computer.clock.setNow(mondayMidnight - 4 * hours);

    const auto projection = rig.project();
    EXPECT_EQ(projection.panel.problem, RozivProblem::clock);
    EXPECT_EQ(projection.panel.status, RozivPanelStatus::failed());
    EXPECT_FALSE(projection.panel.canRecord);
    EXPECT_EQ(projection.panel.quarters, 8);
    ASSERT_TRUE(projection.panel.undo);
    EXPECT_EQ(projection.preferences.problem, RozivProblem::clock);
    EXPECT_EQ(projection.welcome.problem, RozivProblem::clock);

    rig.tally->undo();
    EXPECT_EQ(rig.project().panel.quarters, 4);
}

TEST(RozivProjection, TheProblemShownFollowsItsRank) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> setUp;
        std::optional<RozivProblem> problem;
        RozivPanelStatus status;
    };
    const double at1000 = mondayMidnight + 10 * hours;
    // The key of one synced setting in the shared store, for the initial generation.
    const auto cloudKey = [](const std::string& key) {
        return DewlightStorage::RozivPreferences::generationScope(
                   DewlightStorage::initialGeneration()) +
               ".syncedPreference.v1." + key;
    };
    const Case cases[] = {
        {"none", [](Rig&) {}, std::nullopt, RozivPanelStatus::scheduled(at1000)},
        {"a commit that was not saved",
         [](Rig& rig) {
             rig.computer.files.lock(*rig.computer.files.dataFolder());
             rig.computer.data->completeWelcome();
         },
         RozivProblem::storage, RozivPanelStatus::failed()},
        {"a setting that did not read back",
         [&](Rig& rig) {
             // Bytes in the shared store that are no record: the sync will not write over them.
             rig.computer.store.set(cloudKey("start"), "damaged");
             rig.computer.preferences.set(600, RozivPreferenceKey::start);
         },
         RozivProblem::storage, RozivPanelStatus::failed()},
        {"stored settings that break the rules",
         [](Rig& rig) {
             const auto record = [](const char* payload) {
                 return QByteArray::fromStdString(Json::serialize(
                     Json::encode(DewlightStorage::KestraPreferencesCore::PreferenceRecord(
                         1, "X", QByteArray(payload)))));
             };
             const auto scope = rig.computer.account().session().id + "." +
                                DewlightStorage::RozivPreferences::generationScope(
                                    DewlightStorage::initialGeneration());
             rig.computer.defaults.setBytes(scope + ".syncedPreference.v1.start", record("720"));
             rig.computer.defaults.setBytes(scope + ".syncedPreference.v1.end", record("750"));
             EXPECT_THROW(rig.computer.preferences.store()->session->load(),
                          DewlightStorage::StorageError);
         },
         RozivProblem::settings, RozivPanelStatus::scheduled(at1000)},
        // Storage outranks the clock in the status; the problem says what to fix first.
        {"storage and clock",
         [](Rig& rig) {
             rig.drink(DrinkKind::cup, 1, at0930);
             rig.computer.files.lock(*rig.computer.files.dataFolder());
             rig.computer.data->completeWelcome();
             rig.computer.clock.setNow(mondayMidnight - 4 * hours);
         },
         RozivProblem::clock, RozivPanelStatus::failed()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(at0930, "token");
        rig.ready();
        rig.reminders().setConfirmedNext(at1000);
        c.setUp(rig);
        const auto projection = rig.project();
        EXPECT_EQ(projection.panel.problem, c.problem);
        EXPECT_EQ(projection.preferences.problem, c.problem);
        EXPECT_EQ(projection.welcome.problem, c.problem);
        EXPECT_EQ(projection.panel.status, c.status);
    }
}

TEST(RozivProjection, TheCloudLineSaysWhereTheDataLives) {
    struct Case {
        const char* name;
        std::optional<std::string> token;
        std::function<void(Rig&)> setUp;
        RozivCloudState cloud;
        bool canRecord;
    };
    const Case cases[] = {
        {"no account", std::nullopt, [](Rig&) {}, RozivCloudState::localOnly, true},
        // Without an account nothing of the cloud counts.
        {"no account, cloud failed", std::nullopt,
         [](Rig& rig) {
             rig.computer.account().cloud().report(DewlightStorage::CloudStorage::State::failed);
         },
         RozivCloudState::localOnly, true},
        {"account, all well", "token", [](Rig&) {}, RozivCloudState::available, true},
        {"account, the cloud failed", "token",
         [](Rig& rig) {
             rig.computer.account().cloud().report(DewlightStorage::CloudStorage::State::failed);
         },
         RozivCloudState::failed, true},
        // Another account signed in: the fence is closed until the data is rebuilt.
        {"account switch under way", "token",
         [](Rig& rig) { rig.computer.tokens.setToken("another-token"); }, RozivCloudState::failed,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(at0930, c.token);
        rig.ready();
        c.setUp(rig);
        const auto panel = rig.project().panel;
        EXPECT_EQ(panel.cloud, c.cloud);
        EXPECT_EQ(panel.canRecord, c.canRecord);
    }
}

TEST(RozivProjection, PreferencesNumberTheDaysFromMonday) {
    struct Case {
        std::set<Weekday> weekdays;
        std::set<std::int64_t> days;
    };
    const Case cases[] = {
        {{Weekday::monday, Weekday::wednesday, Weekday::sunday}, {1, 3, 7}},
        {{Weekday::saturday}, {6}},
        {{Weekday::sunday, Weekday::monday, Weekday::tuesday, Weekday::wednesday, Weekday::thursday,
          Weekday::friday, Weekday::saturday},
         {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const auto& c : cases) {
        Rig rig(at0930);
        rig.settings(RozivSettings(true, c.weekdays, 480, 1200, CupVolume::ml500,
                                   ReminderInterval::minutes90, false));
        EXPECT_EQ(rig.project().preferences.days, c.days);
    }

    Rig rig(at0930);
    rig.settings(RozivSettings(false, {Weekday::monday}, 480, 1200, CupVolume::ml500,
                               ReminderInterval::minutes90, false));
    rig.loginItem->setEnabled(true);
    const auto preferences = rig.project().preferences;
    const RozivPreferencesState expected{480, 1200, {1}, 500, 90, true, 2, 3, false, std::nullopt};
    EXPECT_EQ(preferences, expected);
}

TEST(RozivProjection, AFreshInstallIsPreparingAndAsksForPermission) {
    Rig rig(at0930);
    const auto projection = rig.project();
    EXPECT_EQ(projection.panel.status, RozivPanelStatus::preparing());
    EXPECT_EQ(projection.panel.permission, RozivPermissionState::notAsked);
    EXPECT_EQ(projection.welcome.permission, RozivPermissionState::notAsked);
    EXPECT_EQ(projection.panel.cloud, RozivCloudState::localOnly);
    EXPECT_EQ(projection.menuSymbol, "exclamationmark.triangle.fill");
    EXPECT_TRUE(projection.panel.canRecord);
    EXPECT_EQ(projection.panel.lowerRange, 3);
    EXPECT_EQ(projection.panel.upperRange, 5);
}

TEST(RozivProjection, TheMenuSymbolFollowsTheIcon) {
    struct Case {
        const char* name;
        double now;
        std::function<void(Rig&)> setUp;
        const char* symbol;
    };
    const Case cases[] = {
        {"reminders running", at0930, [](Rig& rig) { rig.ready(); }, "drop.fill"},
        {"evening", mondayMidnight + 19 * hours, [](Rig& rig) { rig.ready(); }, "drop"},
        {"notifications refused", at0930,
         [](Rig& rig) {
             rig.ready();
             rig.reminders().setPermission(NotificationPermission::denied);
         },
         "exclamationmark.triangle.fill"},
        // A moment no window can be found for: nothing is projected.
        {"beyond the calendar", 2e11, [](Rig& rig) { rig.ready(); }, "drop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.now);
        c.setUp(rig);
        EXPECT_EQ(rig.project().menuSymbol, c.symbol);
    }
}

TEST(RozivProjection, WithoutAWindowThePanelKeepsItsDefaults) {
    Rig rig(2e11);
    rig.ready();
    const auto panel = rig.project().panel;
    EXPECT_EQ(panel.status, RozivPanelStatus::preparing());
    EXPECT_EQ(panel.problem, RozivProblem::clock);
    EXPECT_FALSE(panel.canRecord);
    EXPECT_EQ(panel.quarters, 0);
    EXPECT_EQ(panel.undo, std::nullopt);
}

} // namespace
} // namespace DewlightApp
