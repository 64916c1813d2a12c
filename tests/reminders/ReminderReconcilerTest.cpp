#include "reminders/ReminderReconciler.h"

#include "ServiceFixture.h"
#include "platform/runtime/EventLoop.h"
#include "tests/reminders/ReminderTasks.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace DewlightReminders {
namespace {

using namespace DewlightRemindersTesting;
using DewlightPlatform::LocalNotificationCenter;
using DewlightPlatform::runUntilIdle;
using Gated = LocalNotificationCenter::Gated;

ReminderPlan planOf(std::vector<PlannedReminder> items) {
    return ReminderPlan{std::move(items), mondayMidnight + 7 * 86400, false};
}

ReminderPlan planOfIndices(std::initializer_list<int> indices) {
    std::vector<PlannedReminder> items;
    for (int index : indices)
        items.push_back(plannedAt(index));
    return planOf(std::move(items));
}

std::vector<std::string> pendingIdentifiers(const LocalNotificationCenter& center) {
    std::vector<std::string> identifiers;
    for (const auto& request : center.pending())
        identifiers.push_back(request.identifier);
    return identifiers;
}

std::string id(int index) {
    return payloadAt(index).reminder().rawValue();
}

struct ReconcilerFixture : ServiceFixture {
    ReminderReconciler reconciler{service};
    bool dataCurrent = true;

    ReconcilerFixture() { center->clearLog(); }

    ReminderReconciler::CurrencyGuard guard() {
        return [this] { return dataCurrent; };
    }

    // Runs a whole pass that nothing holds up.
    std::optional<ConfirmedPlan> run(ReminderPlan plan) {
        Pass pass = start(std::move(plan));
        runUntilIdle();
        EXPECT_TRUE(pass.ended());
        return pass.result();
    }

    struct Pass {
        std::shared_ptr<std::optional<std::optional<ConfirmedPlan>>> outcome =
            std::make_shared<std::optional<std::optional<ConfirmedPlan>>>();
        QCoro::Task<void> task;
        bool ended() const { return outcome->has_value(); }
        std::optional<ConfirmedPlan> result() const { return outcome->value_or(std::nullopt); }
    };

    static QCoro::Task<void>
    keep(QCoro::Task<std::optional<ConfirmedPlan>> task,
         std::shared_ptr<std::optional<std::optional<ConfirmedPlan>>> out) {
        std::optional<ConfirmedPlan> result = co_await task;
        *out = result;
    }

    Pass start(ReminderPlan plan) {
        Pass pass;
        pass.task = keep(reconciler.reconcile(std::move(plan), guard()), pass.outcome);
        return pass;
    }

    void seed(std::initializer_list<PlannedReminder> reminders) {
        for (const auto& reminder : reminders) {
            bool done = false;
            QCoro::Task<void> posting = track(service->post(reminder), done);
            runUntilIdle();
            ASSERT_TRUE(done);
        }
        center->clearLog();
    }
};

TEST(ReminderReconciler, PostsEveryPlannedReminderInOrderAndConfirmsThem) {
    ReconcilerFixture f;
    const auto result = f.run(planOfIndices({0, 1, 2}));
    EXPECT_EQ(result, (ConfirmedPlan{payloadAt(0).scheduledAt(), 3, false}));
    EXPECT_EQ(f.center->log(),
              (std::vector<std::string>{"pendingRequests", "removePending", "add " + id(0),
                                        "add " + id(1), "add " + id(2), "pendingRequests"}));
    EXPECT_EQ(f.reconciler.revision(), 1u);
}

TEST(ReminderReconciler, RemovesWhatIsNoLongerPlannedAndPostsThePlannedAgain) {
    ReconcilerFixture f;
    f.seed({plannedAt(5), plannedAt(1), plannedAt(7)});
    const auto result = f.run(planOfIndices({1, 2}));
    EXPECT_EQ(result, (ConfirmedPlan{payloadAt(1).scheduledAt(), 2, false}));
    EXPECT_EQ(f.center->log(),
              (std::vector<std::string>{"pendingRequests", "removePending " + id(5) + " " + id(7),
                                        "add " + id(1), "add " + id(2), "pendingRequests"}));
    EXPECT_EQ(pendingIdentifiers(*f.center), (std::vector<std::string>{id(1), id(2)}));
}

TEST(ReminderReconciler, AnEmptyPlanRemovesAllOfOursButNotUnreadableRequests) {
    ReconcilerFixture f;
    f.seed({plannedAt(0), plannedAt(1)});
    DewlightPlatform::NotificationRequest unreadable;
    unreadable.identifier = "unreadable";
    unreadable.userInfo.emplace("roziv.payload", std::string("not data"));
    bool added = false;
    QCoro::Task<void> adding = track(f.center->add(unreadable), added);
    runUntilIdle();
    f.center->clearLog();

    const auto result = f.run(planOf({}));
    EXPECT_EQ(result, (ConfirmedPlan{std::nullopt, 0, false}));
    EXPECT_EQ(f.center->log(),
              (std::vector<std::string>{"pendingRequests", "removePending " + id(0) + " " + id(1),
                                        "pendingRequests"}));
    EXPECT_EQ(pendingIdentifiers(*f.center), (std::vector<std::string>{"unreadable"}));
}

TEST(ReminderReconciler, OneFailedPostDoesNotStopThePass) {
    ReconcilerFixture f;
    std::vector<PlannedReminder> items;
    for (int i = 0; i < 40; ++i)
        items.push_back(plannedAt(i));
    f.center->failAddsOf(id(1));
    const auto result = f.run(planOf(items));
    EXPECT_EQ(f.center->pending().size(), 39u);
    EXPECT_EQ(result, (ConfirmedPlan{payloadAt(0).scheduledAt(), 39, true}));
}

TEST(ReminderReconciler, TheNextDateIsTheEarliestAccepted) {
    struct Case {
        int refused;
        int expectedNext;
    };
    for (const auto c : {Case{0, 1}, Case{1, 0}, Case{2, 0}}) {
        ReconcilerFixture f;
        f.center->failAddsOf(id(c.refused));
        const auto result = f.run(planOfIndices({0, 1, 2}));
        EXPECT_EQ(result, (ConfirmedPlan{payloadAt(c.expectedNext).scheduledAt(), 2, true}))
            << c.refused;
    }
}

TEST(ReminderReconciler, OnlyTheWholePayloadCountsAsAccepted) {
    // Pending: the same identity from the generation before an erase. Its replacement is refused,
    // so the old request stays, and must not pass for the new plan's reminder.
    ReconcilerFixture f;
    f.seed({plannedAt(0, ReminderPhrase::timeForRoziv, false, 0)});
    f.center->failAddsOf(id(0));
    const auto result = f.run(planOf({plannedAt(0, ReminderPhrase::timeForRoziv, false, 1)}));
    EXPECT_EQ(result, (ConfirmedPlan{std::nullopt, 0, true}));
}

TEST(ReminderReconciler, AReminderMissingAfterPostingMarksThePlanFailed) {
    // The centre accepted every post, but one reminder fired (was delivered) before the check.
    ReconcilerFixture f;
    f.center->hold(Gated::pendingRequests);
    auto second = f.start(planOfIndices({0, 1}));
    f.center->release(Gated::pendingRequests);
    // Hold the final listing, and deliver one reminder while it waits.
    f.center->hold(Gated::pendingRequests);
    runUntilIdle();
    ASSERT_EQ(f.center->heldCalls(Gated::pendingRequests), 1u);
    ASSERT_TRUE(f.center->deliver(id(0)));
    f.center->release(Gated::pendingRequests);
    runUntilIdle();
    ASSERT_TRUE(second.ended());
    EXPECT_EQ(second.result(), (ConfirmedPlan{payloadAt(1).scheduledAt(), 1, true}));
}

// The currency guard is consulted after the first listing, before every post and after the
// final listing; when it fails the pass makes no further call.
TEST(ReminderReconciler, AFailingGuardEndsThePassWithoutFurtherCalls) {
    struct Case {
        int failingCheck; // 1-based: which evaluation of the guard fails
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {1, {"pendingRequests"}},
        {2, {"pendingRequests", "removePending " + id(9)}},
        {3, {"pendingRequests", "removePending " + id(9), "add " + id(0)}},
        {4,
         {"pendingRequests", "removePending " + id(9), "add " + id(0), "add " + id(1),
          "pendingRequests"}},
    };
    for (const auto& c : cases) {
        ReconcilerFixture f;
        f.seed({plannedAt(9)});
        int checks = 0;
        std::optional<std::optional<ConfirmedPlan>> outcome;
        QCoro::Task<void> running =
            capture(f.reconciler.reconcile(planOfIndices({0, 1}),
                                           [&] { return ++checks != c.failingCheck; }),
                    outcome);
        runUntilIdle();
        ASSERT_TRUE(outcome.has_value()) << c.failingCheck;
        EXPECT_EQ(*outcome, std::nullopt) << c.failingCheck;
        EXPECT_EQ(f.center->log(), c.calls) << c.failingCheck;
        EXPECT_EQ(checks, c.failingCheck);
    }
}

enum class Supersede { newerRevision, dataChanged };

class ReminderReconcilerSuperseded : public ::testing::TestWithParam<Supersede> {};

TEST_P(ReminderReconcilerSuperseded, WhileASecondPostIsHeldLeavesNothingBehind) {
    ReconcilerFixture f;
    f.center->hold(Gated::add);
    auto first = f.start(planOfIndices({0, 1, 2}));
    ASSERT_EQ(f.center->heldCalls(Gated::add), 1u);
    // Let the first add through, and hold the second.
    f.center->release(Gated::add);
    f.center->hold(Gated::add);
    runUntilIdle();
    ASSERT_EQ(f.center->heldCalls(Gated::add), 1u);
    ASSERT_EQ(f.center->log().back(), "add " + id(1));

    if (GetParam() == Supersede::newerRevision)
        f.reconciler.raiseRevision();
    else
        f.dataCurrent = false;
    f.center->release(Gated::add);
    runUntilIdle();
    ASSERT_TRUE(first.ended());
    EXPECT_EQ(first.result(), std::nullopt);
    // Nothing was posted after the held call, and nothing read back.
    EXPECT_EQ(f.center->log().back(), "add " + id(1));

    f.dataCurrent = true;
    const auto next = f.run(planOfIndices({4, 5}));
    EXPECT_EQ(next, (ConfirmedPlan{payloadAt(4).scheduledAt(), 2, false}));
    EXPECT_EQ(pendingIdentifiers(*f.center), (std::vector<std::string>{id(4), id(5)}));
}

INSTANTIATE_TEST_SUITE_P(Ways, ReminderReconcilerSuperseded,
                         ::testing::Values(Supersede::newerRevision, Supersede::dataChanged));

TEST(ReminderReconciler, OfTwoPassesBackToBackOnlyTheSecondReturns) {
    ReconcilerFixture f;
    f.center->hold(Gated::pendingRequests);
    auto first = f.start(planOfIndices({0}));
    auto second = f.start(planOfIndices({1}));
    EXPECT_EQ(f.reconciler.revision(), 2u);
    f.center->release(Gated::pendingRequests);
    runUntilIdle();
    ASSERT_TRUE(first.ended());
    ASSERT_TRUE(second.ended());
    EXPECT_EQ(first.result(), std::nullopt);
    EXPECT_EQ(second.result(), (ConfirmedPlan{payloadAt(1).scheduledAt(), 1, false}));
    EXPECT_EQ(pendingIdentifiers(*f.center), (std::vector<std::string>{id(1)}));
}

TEST(ReminderReconciler, APassWhoseReconcilerIsGoneEndsAsSuperseded) {
    ReconcilerFixture f;
    auto reconciler = std::make_unique<ReminderReconciler>(f.service);
    f.center->hold(Gated::pendingRequests);
    std::optional<std::optional<ConfirmedPlan>> outcome;
    QCoro::Task<void> running =
        capture(reconciler->reconcile(planOfIndices({0}), [] { return true; }), outcome);
    reconciler.reset();
    f.center->release(Gated::pendingRequests);
    runUntilIdle();
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, std::nullopt);
    EXPECT_TRUE(f.center->pending().empty());
}

} // namespace
} // namespace DewlightReminders
