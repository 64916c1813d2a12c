#include "tests/support/ViewStatePrinting.h"
#include "views/DewlightViewModel.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace DewlightViews;

namespace {

// A state with every optional present and every field away from its default, so that a change
// to any one field is a real change.
RozivPanelState fullPanel() {
    RozivPanelState panel;
    panel.status = RozivPanelStatus::scheduled(800'000'000);
    panel.remindersEnabled = true;
    panel.quarters = 7;
    panel.lowerRange = 3;
    panel.upperRange = 5;
    panel.canRecord = true;
    panel.highlightsGlass = true;
    panel.undo = RozivUndoState{RozivUndoState::Drink::sip, 3, 799'998'200};
    panel.groupedAddition = 2;
    panel.feedbackRevision = 9;
    panel.moment = RozivMoment::fourSips;
    panel.problem = RozivProblem::storage;
    panel.permission = RozivPermissionState::allowed;
    panel.cloud = RozivCloudState::available;
    return panel;
}

RozivPreferencesState fullPreferences() {
    return {540, 1080, {1, 2, 3, 4, 5}, 250, 60, true, 3, 5, false, RozivProblem::settings};
}

template <typename State> struct Change {
    std::string field;
    std::function<void(State&)> apply;
};

// Each change is seen from either side, and the same change made on another copy compares
// equal.
template <typename State>
void expectEachChangeSeen(const State& base, const std::vector<Change<State>>& changes) {
    for (const auto& change : changes) {
        SCOPED_TRACE(change.field);
        State changed = base;
        change.apply(changed);
        EXPECT_NE(changed, base);
        EXPECT_NE(base, changed);
        State apart = base;
        change.apply(apart);
        EXPECT_EQ(apart, changed);
    }
}

TEST(ViewStateEquality, PanelSeesEveryField) {
    using S = RozivPanelState;
    expectEachChangeSeen<S>(
        fullPanel(),
        {
            {"status date", [](S& s) { s.status = RozivPanelStatus::scheduled(800'000'001); }},
            {"status case, same date",
             [](S& s) { s.status = RozivPanelStatus::snoozed(800'000'000); }},
            {"status without date", [](S& s) { s.status = RozivPanelStatus::preparing(); }},
            {"remindersEnabled", [](S& s) { s.remindersEnabled = false; }},
            {"quarters", [](S& s) { s.quarters = 8; }},
            {"lowerRange", [](S& s) { s.lowerRange = 4; }},
            {"upperRange", [](S& s) { s.upperRange = 6; }},
            {"canRecord", [](S& s) { s.canRecord = false; }},
            {"highlightsGlass", [](S& s) { s.highlightsGlass = false; }},
            {"undo absent", [](S& s) { s.undo.reset(); }},
            {"undo drink", [](S& s) { s.undo->drink = RozivUndoState::Drink::glass; }},
            {"undo count", [](S& s) { s.undo->count = 4; }},
            {"undo first click", [](S& s) { s.undo->firstClick += 0.5; }},
            {"groupedAddition", [](S& s) { s.groupedAddition = 3; }},
            {"feedbackRevision", [](S& s) { s.feedbackRevision = 10; }},
            {"moment absent", [](S& s) { s.moment.reset(); }},
            {"moment case", [](S& s) { s.moment = RozivMoment::aboveRange; }},
            {"problem absent", [](S& s) { s.problem.reset(); }},
            {"problem case", [](S& s) { s.problem = RozivProblem::clock; }},
            {"permission", [](S& s) { s.permission = RozivPermissionState::denied; }},
            {"cloud", [](S& s) { s.cloud = RozivCloudState::failed; }},
        });
}

TEST(ViewStateEquality, PreferencesSeeEveryField) {
    using S = RozivPreferencesState;
    expectEachChangeSeen<S>(fullPreferences(),
                            {
                                {"startMinute", [](S& s) { s.startMinute = 541; }},
                                {"endMinute", [](S& s) { s.endMinute = 1079; }},
                                {"days, one more", [](S& s) { s.days.insert(6); }},
                                {"days, one fewer", [](S& s) { s.days.erase(5); }},
                                {"glassMilliliters", [](S& s) { s.glassMilliliters = 300; }},
                                {"intervalMinutes", [](S& s) { s.intervalMinutes = 90; }},
                                {"opensAtLogin", [](S& s) { s.opensAtLogin = false; }},
                                {"lowerRange", [](S& s) { s.lowerRange = 2; }},
                                {"upperRange", [](S& s) { s.upperRange = 4; }},
                                {"isErasing", [](S& s) { s.isErasing = true; }},
                                {"problem absent", [](S& s) { s.problem.reset(); }},
                                {"problem case", [](S& s) { s.problem = RozivProblem::login; }},
                            });
}

TEST(ViewStateEquality, WelcomeSeesEveryField) {
    using S = RozivWelcomeState;
    expectEachChangeSeen<S>(
        {RozivPermissionState::denied, RozivProblem::reminders},
        {
            {"permission", [](S& s) { s.permission = RozivPermissionState::allowed; }},
            {"problem absent", [](S& s) { s.problem.reset(); }},
            {"problem case", [](S& s) { s.problem = RozivProblem::storage; }},
        });
}

TEST(ViewStateEquality, DaysCompareAsASet) {
    auto first = fullPreferences();
    auto second = fullPreferences();
    first.days.clear();
    second.days.clear();
    for (std::int64_t day : {5, 1, 3})
        first.days.insert(day);
    for (std::int64_t day : {1, 3, 5})
        second.days.insert(day);
    EXPECT_EQ(first, second);
}

TEST(ViewStateEquality, StatusDatesOnlyWhereTheCaseHasOne) {
    EXPECT_EQ(RozivPanelStatus::outside(5), RozivPanelStatus::outside(5));
    EXPECT_NE(RozivPanelStatus::outside(5), RozivPanelStatus::scheduled(5));
    EXPECT_NE(RozivPanelStatus::off(), RozivPanelStatus::enough());
    EXPECT_EQ(RozivPanelStatus(), RozivPanelStatus::preparing());
    EXPECT_EQ(RozivPanelStatus::snoozed(7).date(), std::optional<Date>(7));
    EXPECT_EQ(RozivPanelStatus::failed().date(), std::nullopt);
}

TEST(ViewAction, CarriesItsValueOnlyInTheCasesThatHaveOne) {
    using K = RozivViewAction::Kind;
    EXPECT_EQ(RozivViewAction::day(7).kind(), K::day);
    EXPECT_EQ(RozivViewAction::day(7).number(), 7);
    EXPECT_EQ(RozivViewAction::startMinute(0).number(), 0);
    EXPECT_EQ(RozivViewAction::glassMilliliters(250).number(), 250);
    EXPECT_TRUE(RozivViewAction::reminders(true).isOn());
    EXPECT_FALSE(RozivViewAction::login(false).isOn());
    EXPECT_FALSE(RozivViewAction::intervalMinutes(1).isOn());
    EXPECT_EQ(RozivViewAction::login(true).number(), 0);
    EXPECT_EQ(RozivViewAction::completeWelcome().kind(), K::completeWelcome);
}

// A model whose publishing the test drives.
class PublishingModel final : public DewlightViewModel {
public:
    using DewlightViewModel::publishPanel;
    using DewlightViewModel::publishPreferences;
    using DewlightViewModel::publishWelcome;
    void send(const RozivViewAction&) override {}
};

TEST(DewlightViewModel, AnnouncesOnlyADifferentState) {
    PublishingModel model;
    QSignalSpy panel(&model, &DewlightViewModel::panelChanged);
    QSignalSpy preferences(&model, &DewlightViewModel::preferencesChanged);
    QSignalSpy welcome(&model, &DewlightViewModel::welcomeChanged);

    EXPECT_FALSE(model.publishPanel(model.panel()));
    EXPECT_FALSE(model.publishPreferences(model.preferences()));
    EXPECT_FALSE(model.publishWelcome(model.welcome()));
    EXPECT_EQ(panel.count() + preferences.count() + welcome.count(), 0);

    EXPECT_TRUE(model.publishPanel(fullPanel()));
    EXPECT_FALSE(model.publishPanel(fullPanel()));
    EXPECT_EQ(panel.count(), 1);
    EXPECT_EQ(model.panel(), fullPanel());

    EXPECT_TRUE(model.publishPreferences(fullPreferences()));
    EXPECT_FALSE(model.publishPreferences(fullPreferences()));
    EXPECT_EQ(preferences.count(), 1);

    EXPECT_TRUE(model.publishWelcome({RozivPermissionState::denied, std::nullopt}));
    EXPECT_FALSE(model.publishWelcome({RozivPermissionState::denied, std::nullopt}));
    EXPECT_EQ(welcome.count(), 1);

    // Each signal names only its own state.
    EXPECT_EQ(panel.count(), 1);
    EXPECT_EQ(preferences.count(), 1);
}

} // namespace
