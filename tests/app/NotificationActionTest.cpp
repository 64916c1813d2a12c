#include "app/AppModel.h"
#include "app/RozivTally.h"
#include "core/PlannedReminder.h"
#include "core/ReminderPlanner.h"
#include "reminders/RozivReminders.h"
#include "storage/RozivData.h"
#include "tests/support/ModelHarness.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace DewlightTest {
namespace {

using DewlightCore::DrinkKind;
using DewlightCore::Identity;
using DewlightCore::ReminderAction;
using DewlightCore::ReminderPayload;
using DewlightCore::WorkdayID;
using DewlightReminders::ReminderService;
using DewlightStorage::ActionReceipt;
using DewlightViews::RozivPanelStatus;
using DewlightViews::RozivViewAction;

constexpr double minute = 60;
const WorkdayID mondayID(monday);

const DewlightStorage::CommittedState& state(ModelHarness& harness) {
    return harness->data().current().transaction().state();
}

// Delivers the pending reminder due at `instant`, as the centre does when its time comes, and
// moves the clock there. Delivered a millisecond early: the boundary's re-plan at the same
// instant would otherwise withdraw the request first.
std::string deliverAt(ModelHarness& harness, Date instant) {
    harness.advanceTo(instant - 0.001);
    for (const auto& request : harness.center->pending()) {
        if (request.trigger.instant == instant) {
            const std::string identifier = request.identifier;
            harness.center->deliver(identifier);
            harness.advanceTo(instant);
            return identifier;
        }
    }
    ADD_FAILURE() << "no reminder pending at " << instant;
    return {};
}

// A reminder as the planner would make it for this computer's account and generation.
ReminderPayload reminderOf(ModelHarness& harness, WorkdayID day, Date at) {
    const auto& transaction = harness->data().current().transaction();
    return ReminderPayload(transaction.account(), transaction.state().ledger.generation(), day,
                           Identity<DewlightCore::ReminderTag>(
                               DewlightCore::ReminderPlanner::reminderIdentity(day, at)),
                           at);
}

// Shows `payload` as a delivered notification, as one left on screen from an earlier plan.
std::string show(ModelHarness& harness, const ReminderPayload& payload) {
    const auto request = harness->reminders().service().request(
        {payload, DewlightCore::ReminderPhrase::timeForRoziv, false});
    auto adding = harness.center->add(request);
    harness.center->deliver(request.identifier);
    return request.identifier;
}

// The user picks a button; the returned task ends when the notification is answered.
QCoro::Task<void> answer(ModelHarness& harness, const std::string& identifier,
                         ReminderAction action) {
    return harness.center->respond(identifier, std::string(DewlightCore::rawValue(action)));
}

std::vector<Date> mondayTimes(const ModelHarness& harness) {
    std::vector<Date> times;
    for (const Date time : harness.pendingTimes())
        if (time < monday + day)
            times.push_back(time);
    return times;
}

const DewlightPlatform::NotificationRequest* pendingAt(const ModelHarness& harness, Date at) {
    for (const auto& request : harness.center->pending())
        if (request.trigger.instant == at)
            return &request;
    return nullptr;
}

TEST(NotificationActions, APostponeMovesTheDayUntilSomethingIsDrunk) {
    ModelHarness harness;
    auto& model = harness.start();
    const auto ten = deliverAt(harness, monday + 10 * hour);
    harness.advanceTo(monday + 10 * hour + 5);
    auto postponing = answer(harness, ten, ReminderAction::postpone);
    harness.settle();
    ASSERT_TRUE(postponing.isReady());

    const Date until = monday + 10 * hour + 15 * minute + 5;
    ASSERT_TRUE(model.reminders().postponement());
    EXPECT_EQ(model.reminders().postponement()->until(), until);
    EXPECT_EQ(model.reminders().postponement()->lastDrink(), std::nullopt) << "none drunk yet";
    std::vector<Date> moved;
    for (Date at = until; at < monday + 18 * hour; at += hour)
        moved.push_back(at);
    EXPECT_EQ(mondayTimes(harness), moved) << "10:15:05, 11:15:05, … 17:15:05";
    EXPECT_EQ(pendingAt(harness, monday + day + 10 * hour) != nullptr, true)
        << "Tuesday keeps its hours";
    EXPECT_EQ(model.panel().status, RozivPanelStatus::snoozed(until));
    EXPECT_TRUE(state(harness).receipts.contains(ActionReceipt(ten)));

    // The same notification again: its receipt says it was handled.
    harness.advanceTo(monday + 10 * hour + 6 * minute);
    auto again = answer(harness, ten, ReminderAction::postpone);
    harness.settle();
    EXPECT_TRUE(again.isReady());
    EXPECT_EQ(model.reminders().postponement()->until(), until);
    EXPECT_EQ(mondayTimes(harness), moved);

    harness.advanceTo(monday + 10 * hour + 20 * minute);
    model.send(RozivViewAction::drinkSip());
    harness.settle();
    EXPECT_EQ(model.reminders().postponement(), std::nullopt);
    EXPECT_TRUE(harness.center->delivered().empty());
    std::vector<Date> afterSip;
    for (Date at = monday + 11 * hour + 20 * minute; at < monday + 18 * hour; at += hour)
        afterSip.push_back(at);
    ASSERT_EQ(mondayTimes(harness), afterSip);
    for (const Date at : afterSip) {
        const bool saysHour =
            pendingAt(harness, at)->body.find("It has been an hour since your last drink.") !=
            std::string::npos;
        EXPECT_EQ(saysHour, at == afterSip.front()) << at;
    }
}

TEST(NotificationActions, TwoAnswersToOneReminderRecordOneDrink) {
    for (const auto action : {ReminderAction::cup, ReminderAction::sip}) {
        SCOPED_TRACE(DewlightCore::rawValue(action));
        ModelHarness harness;
        auto& model = harness.start();
        const auto ten = deliverAt(harness, monday + 10 * hour);
        harness.advanceTo(monday + 10 * hour + 30);
        auto first = answer(harness, ten, action);
        auto second = answer(harness, ten, action);
        harness.settle();
        EXPECT_TRUE(first.isReady());
        EXPECT_TRUE(second.isReady());

        const auto& drinks = state(harness).ledger.drinks();
        ASSERT_EQ(drinks.size(), 1u);
        EXPECT_EQ(drinks[0].kind(),
                  action == ReminderAction::cup ? DrinkKind::cup : DrinkKind::sip);
        EXPECT_TRUE(state(harness).receipts.contains(ActionReceipt(ten)));
        EXPECT_EQ(model.tally().feedback().addition, 0) << "no panel feedback for a reminder";
        EXPECT_TRUE(harness.center->delivered().empty());
        EXPECT_EQ(mondayTimes(harness).front(), monday + 11 * hour + 30);
    }
}

TEST(NotificationActions, AnswersThatNoLongerDescribeThePresentAreIgnoredAndStillComplete) {
    struct Case {
        const char* name;
        // From the payload of Monday's 10:00 reminder as this computer planned it.
        ReminderPayload (*change)(const ReminderPayload&);
        Date answeredAt;
    };
    const Case cases[] = {
        {"last Friday's reminder",
         [](const ReminderPayload& p) {
             const WorkdayID friday(monday - 3 * day);
             const Date at = monday - 3 * day + 17 * hour;
             return ReminderPayload(
                 p.account(), p.generation(), friday,
                 Identity<DewlightCore::ReminderTag>(
                     DewlightCore::ReminderPlanner::reminderIdentity(friday, at)),
                 at);
         },
         monday + 10.5 * hour},
        {"a reminder of another generation",
         [](const ReminderPayload& p) {
             return ReminderPayload(p.account(),
                                    p.generation().next(Identity<DewlightCore::WriterTag>("other")),
                                    p.workday(), p.reminder(), p.scheduledAt());
         },
         monday + 10.5 * hour},
        {"another account's reminder",
         [](const ReminderPayload& p) {
             return ReminderPayload(Identity<DewlightCore::AccountTag>("someone-else"),
                                    p.generation(), p.workday(), p.reminder(), p.scheduledAt());
         },
         monday + 10.5 * hour},
        // Shown early by a desktop that does not keep to the second.
        {"a reminder a millisecond before its time", [](const ReminderPayload& p) { return p; },
         monday + 10 * hour - 0.001},
    };
    for (const auto& c : cases) {
        for (const auto action : {ReminderAction::cup, ReminderAction::postpone}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::string(DewlightCore::rawValue(action)));
            ModelHarness harness;
            auto& model = harness.start();
            harness.advanceTo(c.answeredAt);
            const auto shown =
                show(harness, c.change(reminderOf(harness, mondayID, monday + 10 * hour)));
            const auto pendingBefore = harness.pendingTimes();
            auto answering = answer(harness, shown, action);
            harness.settle();
            EXPECT_TRUE(answering.isReady());
            EXPECT_TRUE(state(harness).ledger.drinks().empty());
            EXPECT_TRUE(state(harness).receipts.empty());
            EXPECT_EQ(model.reminders().postponement(), std::nullopt);
            EXPECT_EQ(harness.pendingTimes(), pendingBefore);
        }
    }
}

TEST(NotificationActions, AnswersParkedBeforeStartRunInArrivalOrderBeforeTheFirstReload) {
    ModelHarness::Options options;
    options.start = monday + 11.5 * hour;
    ModelHarness harness(options);
    auto& model = harness.build();
    const auto ten = show(harness, reminderOf(harness, mondayID, monday + 10 * hour));
    const auto eleven = show(harness, reminderOf(harness, mondayID, monday + 11 * hour));
    // A sip on the later reminder, then "In 15 minutes" on the earlier one. In the other order
    // the sip would end the postponement.
    auto sipping = answer(harness, eleven, ReminderAction::sip);
    auto postponing = answer(harness, ten, ReminderAction::postpone);
    harness.settle();
    EXPECT_FALSE(sipping.isReady()) << "parked until the model starts";
    EXPECT_FALSE(postponing.isReady());

    std::vector<long> reloadsSeenWhenHandled;
    const auto reloads = [&] {
        const auto& log = harness.center->log();
        return static_cast<long>(std::count(log.begin(), log.end(), "authorizationStatus"));
    };
    QObject::connect(&model.reminders(), &DewlightReminders::RozivReminders::postponementChanged,
                     &model, [&] { reloadsSeenWhenHandled.push_back(reloads()); });
    harness.start();
    EXPECT_TRUE(sipping.isReady());
    EXPECT_TRUE(postponing.isReady());

    const auto& drinks = state(harness).ledger.drinks();
    ASSERT_EQ(drinks.size(), 1u);
    EXPECT_EQ(drinks[0].kind(), DrinkKind::sip);
    ASSERT_TRUE(model.reminders().postponement());
    EXPECT_EQ(model.reminders().postponement()->lastDrink(), drinks[0].id());
    EXPECT_EQ(model.reminders().postponement()->until(), monday + 11.75 * hour);
    ASSERT_FALSE(reloadsSeenWhenHandled.empty());
    EXPECT_EQ(reloadsSeenWhenHandled.front(), 0) << "handled before the first reload's follow-up";
    // The follow-up then read the permission and planned with the postponement.
    EXPECT_EQ(mondayTimes(harness).front(), monday + 11.75 * hour);
}

TEST(NotificationActions, APostponeThatCannotBeSavedPostponesNothing) {
    ModelHarness harness;
    auto& model = harness.start();
    const auto ten = deliverAt(harness, monday + 10 * hour);
    const auto pendingBefore = harness.pendingTimes();
    harness.files.lock(harness.accountFile());
    auto postponing = answer(harness, ten, ReminderAction::postpone);
    harness.settle();
    EXPECT_TRUE(postponing.isReady());
    EXPECT_FALSE(state(harness).receipts.contains(ActionReceipt(ten)));
    EXPECT_EQ(model.reminders().postponement(), std::nullopt);
    EXPECT_EQ(harness.pendingTimes(), pendingBefore);
}

TEST(NotificationActions, AnAnswerDroppedByAResetIsStillAnswered) {
    ModelHarness harness;
    auto& model = harness.start();
    const auto ten = deliverAt(harness, monday + 10 * hour);
    auto answering = answer(harness, ten, ReminderAction::cup);
    model.reload(true);
    harness.settle();
    EXPECT_TRUE(answering.isReady());
    EXPECT_TRUE(state(harness).ledger.drinks().empty());
}

} // namespace
} // namespace DewlightTest
