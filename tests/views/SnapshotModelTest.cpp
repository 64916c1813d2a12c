#include "platform/calendar/Calendar.h"
#include "tests/support/ViewStatePrinting.h"
#include "ui/Localization.h"
#include "views/RozivPanelTexts.h"
#include "views/RozivSnapshotModel.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace DewlightViews;
using DewlightPlatform::Calendar;

namespace {

const QString nnbsp = QString(QChar(0x202F));

RozivSnapshotModel model(QStringList arguments, const char* zone = "America/Los_Angeles") {
    arguments.prepend(QStringLiteral("dewlight"));
    return RozivSnapshotModel(arguments, Calendar::gregorian(zone));
}

TEST(RozivSnapshotModel, PanelReadsTheSameLocalTimesInEveryZone) {
    const auto english = ui::shippedLocalizer(QLocale("en_US"));
    for (const char* zone : {"America/Los_Angeles", "Asia/Tokyo", "UTC"}) {
        SCOPED_TRACE(zone);
        const auto calendar = Calendar::gregorian(zone);
        const RozivSnapshotModel snapshot({}, calendar);
        const RozivFormat format(QLocale("en_US"), calendar);
        const auto& panel = snapshot.panel();
        EXPECT_EQ(statusLine(panel.status, format).localized(english),
                  "Next reminder at 2:30" + nnbsp + "PM");
        EXPECT_EQ(format.countText(panel.quarters).localized(english), "1¾ glasses");
        EXPECT_EQ(undoTitle(panel.undo, format, english).localized(english),
                  "Undo 3 sips from 2:00" + nnbsp + "PM");
    }
}

// The demonstration panel in Los Angeles: 08:00 UTC is 01:00 PDT, so the day starts at 07:00 UTC.
TEST(RozivSnapshotModel, DemonstrationState) {
    constexpr Date reminder = 814435200 - 3600 + 52'200; // local midnight (07:00 UTC) + 14:30
    const auto snapshot = model({});
    const RozivPanelState panel{
        .status = RozivPanelStatus::scheduled(reminder),
        .remindersEnabled = true,
        .quarters = 7,
        .lowerRange = 3,
        .upperRange = 5,
        .canRecord = true,
        .highlightsGlass = true,
        .undo = RozivUndoState{RozivUndoState::Drink::sip, 3, reminder - 1'800},
        .groupedAddition = 0,
        .feedbackRevision = 0,
        .moment = std::nullopt,
        .problem = std::nullopt,
        .permission = RozivPermissionState::allowed,
        .cloud = RozivCloudState::available,
    };
    EXPECT_EQ(snapshot.panel(), panel);
    const RozivPreferencesState preferences{540, 1080, {1, 2, 3, 4, 5}, 250,         60, false,
                                            3,   5,    false,           std::nullopt};
    EXPECT_EQ(snapshot.preferences(), preferences);
    EXPECT_EQ(snapshot.welcome(), (RozivWelcomeState{RozivPermissionState::allowed, {}}));
}

TEST(RozivSnapshotModel, StateVariants) {
    using P = RozivPanelState;
    struct Case {
        QStringList arguments;
        std::function<void(P&)> change;
    };
    const auto none = [](P&) {};
    const Case cases[] = {
        {{"--snapshot-state", "denied"},
         [](P& p) {
             p.status = RozivPanelStatus::permission();
             p.permission = RozivPermissionState::denied;
         }},
        {{"--snapshot-state", "not-asked"},
         [](P& p) {
             p.status = RozivPanelStatus::permission();
             p.permission = RozivPermissionState::notAsked;
         }},
        {{"--snapshot-state", "off"},
         [](P& p) {
             p.status = RozivPanelStatus::off();
             p.remindersEnabled = false;
         }},
        {{"--snapshot-state", "local"}, [](P& p) { p.cloud = RozivCloudState::localOnly; }},
        {{"--snapshot-state", "four-sips"},
         [](P& p) {
             p.quarters = 4;
             p.moment = RozivMoment::fourSips;
         }},
        {{"--snapshot-state", "three-glasses"},
         [](P& p) {
             p.quarters = 12;
             p.moment = RozivMoment::threeGlassesInHour;
         }},
        {{"--snapshot-state", "above-range"},
         [](P& p) {
             p.quarters = 21;
             p.moment = RozivMoment::aboveRange;
             p.status = RozivPanelStatus::enough();
         }},
        {{"--snapshot-state", "failed"},
         [](P& p) {
             p.problem = RozivProblem::reminders;
             p.status = RozivPanelStatus::failed();
         }},
        {{"--snapshot-state", "long-range"},
         [](P& p) {
             p.lowerRange = 11;
             p.upperRange = 16;
         }},
        // Compared exactly; unknown or missing values leave the demonstration.
        {{"--snapshot-state", "FAILED"}, none},
        {{"--snapshot-state", "sunny"}, none},
        {{"--snapshot-state", ""}, none},
        {{"--snapshot-state"}, none},
        {{"--snapshot-state=failed"}, none},
        // Only the first occurrence counts, and its value is taken even when it looks like a flag.
        {{"--snapshot-state", "off", "--snapshot-state", "local"},
         [](P& p) {
             p.status = RozivPanelStatus::off();
             p.remindersEnabled = false;
         }},
        {{"--snapshot-state", "--snapshot-file", "local"}, none},
        {{"--snapshot-welcome", "--snapshot-state", "local", "--snapshot-file", "-"},
         [](P& p) { p.cloud = RozivCloudState::localOnly; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        auto expected = model({}).panel(); // the demonstration, checked above
        c.change(expected);
        const auto snapshot = model(c.arguments);
        EXPECT_EQ(snapshot.panel(), expected);
        EXPECT_EQ(snapshot.welcome().permission, expected.permission);
    }
}

TEST(RozivSnapshotModel, AcceptsEveryActionAndChangesNothing) {
    auto snapshot = model({"--snapshot-state", "failed"});
    const auto panel = snapshot.panel();
    const auto preferences = snapshot.preferences();
    const auto welcome = snapshot.welcome();
    QSignalSpy panelChanged(&snapshot, &DewlightViewModel::panelChanged);
    QSignalSpy preferencesChanged(&snapshot, &DewlightViewModel::preferencesChanged);
    QSignalSpy welcomeChanged(&snapshot, &DewlightViewModel::welcomeChanged);
    DewlightViewModel& viewModel = snapshot;
    for (const auto& action : {
             RozivViewAction::reminders(false),
             RozivViewAction::startMinute(600),
             RozivViewAction::endMinute(900),
             RozivViewAction::day(1),
             RozivViewAction::glassMilliliters(500),
             RozivViewAction::intervalMinutes(30),
             RozivViewAction::login(true),
             RozivViewAction::drinkGlass(),
             RozivViewAction::drinkSip(),
             RozivViewAction::undo(),
             RozivViewAction::requestNotifications(),
             RozivViewAction::openNotificationSettings(),
             RozivViewAction::retry(),
             RozivViewAction::erase(),
             RozivViewAction::openPreferences(),
             RozivViewAction::openWelcome(),
             RozivViewAction::completeWelcome(),
         })
        viewModel.send(action);
    EXPECT_EQ(snapshot.panel(), panel);
    EXPECT_EQ(snapshot.preferences(), preferences);
    EXPECT_EQ(snapshot.welcome(), welcome);
    EXPECT_EQ(panelChanged.count() + preferencesChanged.count() + welcomeChanged.count(), 0);
}

} // namespace
