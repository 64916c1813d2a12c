#include "reminders/RozivReminders.h"

#include "core/ReminderPlanner.h"
#include "core/RozivSettings.h"
#include "platform/localization/Localizer.h"
#include "platform/notifications/LocalNotificationCenter.h"
#include "platform/runtime/EventLoop.h"
#include "platform/runtime/FakeClock.h"
#include "tests/reminders/ReminderTasks.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace DewlightReminders {
namespace {

using namespace DewlightRemindersTesting;
using DewlightPlatform::Calendar;
using DewlightPlatform::LocalNotificationCenter;
using DewlightPlatform::NotificationAuthorizationStatus;
using DewlightPlatform::runUntilIdle;

struct RemindersFixture {
    std::shared_ptr<LocalNotificationCenter> center = std::make_shared<LocalNotificationCenter>();
    std::shared_ptr<const DewlightPlatform::Localizer> english =
        std::make_shared<DewlightPlatform::Localizer>(DewlightPlatform::englishStrings(), "en_US");

    std::unique_ptr<RozivReminders> make() {
        return std::make_unique<RozivReminders>(center, english, [] { return Calendar::utc(); });
    }
};

// Counts the announcements of each observed field.
struct Announcements {
    int permission = 0;
    int postponement = 0;
    int confirmedNext = 0;
    int schedulingFailed = 0;

    explicit Announcements(RozivReminders& reminders) {
        QObject::connect(&reminders, &RozivReminders::permissionChanged, [this] { ++permission; });
        QObject::connect(&reminders, &RozivReminders::postponementChanged,
                         [this] { ++postponement; });
        QObject::connect(&reminders, &RozivReminders::confirmedNextChanged,
                         [this] { ++confirmedNext; });
        QObject::connect(&reminders, &RozivReminders::schedulingFailedChanged,
                         [this] { ++schedulingFailed; });
    }
};

LocalPostponement postponementAt(double now) {
    return LocalPostponement(now, WorkdayID(mondayMidnight), std::nullopt);
}

TEST(RozivReminders, StartsEmptyEveryTime) {
    RemindersFixture f;
    auto reminders = f.make();
    reminders->setPermission(NotificationPermission::authorized);
    reminders->setPostponement(postponementAt(mondayMidnight + 10 * hour));
    reminders->setConfirmedNext(mondayMidnight + 11 * hour);
    reminders->setSchedulingFailed(true);
    reminders.reset();

    // Nothing is kept for the next start.
    reminders = f.make();
    EXPECT_EQ(reminders->permission(), NotificationPermission::notDetermined);
    EXPECT_EQ(reminders->postponement(), std::nullopt);
    EXPECT_EQ(reminders->confirmedNext(), std::nullopt);
    EXPECT_FALSE(reminders->schedulingFailed());
    EXPECT_EQ(reminders->reconciler().revision(), 0u);
    EXPECT_EQ(f.center->categories().size(), 1u);
}

TEST(RozivReminders, AnnouncesOnlyRealChanges) {
    RemindersFixture f;
    const auto reminders = f.make();
    Announcements heard(*reminders);

    reminders->setConfirmedNext(std::nullopt);
    reminders->setSchedulingFailed(false);
    reminders->setPostponement(std::nullopt);
    reminders->setPermission(NotificationPermission::notDetermined);
    EXPECT_EQ(heard.confirmedNext + heard.schedulingFailed + heard.postponement + heard.permission,
              0);

    const auto postponed = postponementAt(mondayMidnight + 10 * hour);
    reminders->setPostponement(postponed);
    reminders->setPostponement(postponed);
    EXPECT_EQ(heard.postponement, 1);
    reminders->setPostponement(postponementAt(mondayMidnight + 10.5 * hour));
    EXPECT_EQ(heard.postponement, 2);
    reminders->setPostponement(std::nullopt);
    EXPECT_EQ(heard.postponement, 3);

    reminders->setConfirmedNext(mondayMidnight + 11 * hour);
    reminders->setConfirmedNext(mondayMidnight + 11 * hour);
    reminders->setConfirmedNext(mondayMidnight + 12 * hour);
    EXPECT_EQ(heard.confirmedNext, 2);

    reminders->setSchedulingFailed(true);
    reminders->setSchedulingFailed(true);
    EXPECT_EQ(heard.schedulingFailed, 1);
    EXPECT_TRUE(reminders->schedulingFailed());
}

// A reminder the centre holds for want of a notification service shows as a scheduling failure
// until it is shown, whatever planning reports meanwhile: planning only posts to the centre,
// which succeeds with no service on the bus.
TEST(RozivReminders, AHeldReminderShowsAsFailedUntilItIsShown) {
    RemindersFixture f;
    auto reminders = f.make();
    Announcements heard(*reminders);

    struct Step {
        const char* what;
        std::function<void()> act;
        bool failed;
        int announcements;
    };
    const Step steps[] = {
        {"the service went away", [&] { f.center->reportDeliveryHeld(true); }, true, 1},
        {"a plan succeeds meanwhile", [&] { reminders->setSchedulingFailed(false); }, true, 1},
        {"the service is back", [&] { f.center->reportDeliveryHeld(false); }, false, 2},
        {"a plan fails", [&] { reminders->setSchedulingFailed(true); }, true, 3},
        {"a reminder is held as well", [&] { f.center->reportDeliveryHeld(true); }, true, 3},
        {"it is shown, the plan still failed", [&] { f.center->reportDeliveryHeld(false); }, true,
         3},
        {"the next plan succeeds", [&] { reminders->setSchedulingFailed(false); }, false, 4},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(reminders->schedulingFailed(), step.failed);
        EXPECT_EQ(heard.schedulingFailed, step.announcements);
    }

    // The centre outlives the state: a late report reaches nobody.
    reminders.reset();
    f.center->reportDeliveryHeld(true);
}

TEST(RozivReminders, RefreshPermissionStoresWhatTheSystemAnswers) {
    RemindersFixture f;
    const auto reminders = f.make();
    Announcements heard(*reminders);
    const auto refresh = [&] {
        bool done = false;
        QCoro::Task<void> refreshing = track(reminders->refreshPermission(), done);
        runUntilIdle();
        ASSERT_TRUE(done);
    };

    refresh(); // the system still answers "not determined"
    EXPECT_EQ(heard.permission, 0);

    f.center->setAuthorizationStatus(NotificationAuthorizationStatus::provisional);
    refresh();
    EXPECT_EQ(reminders->permission(), NotificationPermission::authorized);
    refresh();
    EXPECT_EQ(heard.permission, 1);

    f.center->setAuthorizationStatus(static_cast<NotificationAuthorizationStatus>(7));
    refresh();
    EXPECT_EQ(reminders->permission(), NotificationPermission::denied);
    EXPECT_EQ(heard.permission, 2);
}

TEST(RozivReminders, AskingThenRefreshingReadsTheAnswer) {
    RemindersFixture f;
    const auto reminders = f.make();
    f.center->setAuthorizationAnswer(false);
    bool done = false;
    const auto askAndRead = [&]() -> QCoro::Task<void> {
        QCoro::Task<void> asking = reminders->service().requestAuthorization();
        co_await asking;
        QCoro::Task<void> reading = reminders->refreshPermission();
        co_await reading;
    };
    QCoro::Task<void> running = track(askAndRead(), done);
    runUntilIdle();
    ASSERT_TRUE(done);
    EXPECT_EQ(reminders->permission(), NotificationPermission::denied);
}

TEST(RozivReminders, OpensTheDesktopsNotificationSettingsWhereThereAreAny) {
    RemindersFixture f;
    const auto reminders = f.make();
    reminders->openNotificationSettings();
    EXPECT_EQ(f.center->settingsOpened(), 1);
    f.center->setSettingsAvailable(false);
    reminders->openNotificationSettings();
    EXPECT_EQ(f.center->settingsOpened(), 1);
}

// A week's plan reaches the centre, and the answer to the first reminder comes back with a payload
// the model can act on once its moment has come.
TEST(RozivReminders, FromPlanToAnswer) {
    RemindersFixture f;
    const auto reminders = f.make();
    DewlightPlatform::FakeClock clock(mondayMidnight + 8 * hour);
    const RozivSettings settings(
        true,
        {Weekday::monday, Weekday::tuesday, Weekday::wednesday, Weekday::thursday, Weekday::friday},
        540, 1080, CupVolume::ml250, ReminderInterval::minutes60, false);
    const Identity<AccountTag> account("account-a");
    const HydrationLedger ledger(payloadGeneration());
    const auto calendar = Calendar::utc();
    const auto plan = ReminderPlanner::plan({
        .settings = settings,
        .ledger = ledger,
        .account = account,
        .now = clock.now(),
        .calendar = calendar,
        .permission = NotificationPermission::authorized,
        .planningAllowed = true,
        .postponement = std::nullopt,
        .horizonEnd = clock.now() + 604800,
        .maximumItems = 60,
    });
    ASSERT_EQ(plan.items.size(), 40u);

    std::optional<std::optional<ConfirmedPlan>> confirmed;
    QCoro::Task<void> reconciling =
        capture(reminders->reconciler().reconcile(plan, [] { return true; }), confirmed);
    runUntilIdle();
    ASSERT_TRUE(confirmed.has_value() && confirmed->has_value());
    const auto first = plan.items.front().payload;
    EXPECT_EQ(**confirmed, (ConfirmedPlan{first.scheduledAt(), 40, false}));
    reminders->setConfirmedNext((*confirmed)->next);
    reminders->setSchedulingFailed((*confirmed)->failed);
    EXPECT_EQ(reminders->confirmedNext(), mondayMidnight + 10 * hour);

    std::vector<bool> actionable;
    reminders->service().inbox().installHandler(
        [&](ReminderPayload payload, ReminderAction action) -> QCoro::Task<void> {
            EXPECT_EQ(action, ReminderAction::sip);
            actionable.push_back(
                payload.isActionable(account, ledger.generation(), first.workday(), clock.now()));
            co_return;
        });

    clock.advance(first.scheduledAt() - clock.now());
    ASSERT_TRUE(f.center->deliver(first.reminder().rawValue()));
    bool answered = false;
    QCoro::Task<void> answering =
        track(f.center->respond(first.reminder().rawValue(), "sip"), answered);
    runUntilIdle();
    EXPECT_TRUE(answered);
    EXPECT_EQ(actionable, std::vector<bool>{true});
}

} // namespace
} // namespace DewlightReminders
