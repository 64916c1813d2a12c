#include "platform/notifications/LocalNotificationCenter.h"

#include "Requests.h"
#include "TaskProbe.h"
#include "platform/runtime/EventLoop.h"
#include "platform/runtime/Wakeup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace DewlightPlatform;
using ::testing::ElementsAre;

namespace {

std::vector<std::string> identifiers(const std::vector<NotificationRequest>& requests) {
    std::vector<std::string> result;
    for (const auto& request : requests) {
        result.push_back(request.identifier);
    }
    return result;
}

TEST(LocalNotificationCenter, AddReplacesAPendingRequestInItsPlace) {
    LocalNotificationCenter center;
    awaitTask(center.add(reminder("a", 10)));
    awaitTask(center.add(reminder("b", 20)));
    awaitTask(center.add(reminder("a", 30, "Even a sip counts.")));
    const auto pending = awaitTask(center.pendingRequests());
    ASSERT_THAT(identifiers(pending), ElementsAre("a", "b"));
    EXPECT_EQ(pending[0].body, "Even a sip counts.");
    EXPECT_EQ(pending[0].trigger.instant, 30);
    EXPECT_THAT(center.log(), ElementsAre("add a", "add b", "add a", "pendingRequests"));
}

TEST(LocalNotificationCenter, RemovalsAndDeliveryMoveRequestsBetweenTheLists) {
    LocalNotificationCenter center;
    for (const char* id : {"a", "b", "c", "d"}) {
        awaitTask(center.add(reminder(id, 10)));
    }
    center.removePending({});
    center.removePending({"b", "unknown"});
    EXPECT_THAT(identifiers(center.pending()), ElementsAre("a", "c", "d"));

    EXPECT_TRUE(center.deliver("c"));
    EXPECT_FALSE(center.deliver("b"));
    EXPECT_THAT(identifiers(center.delivered()), ElementsAre("c"));
    EXPECT_THAT(identifiers(center.pending()), ElementsAre("a", "d"));

    center.removeAllDelivered();
    EXPECT_TRUE(center.delivered().empty());
    EXPECT_EQ(center.pending().size(), 2u);
    center.removeAllPending();
    EXPECT_TRUE(center.pending().empty());
    EXPECT_THAT(center.log(),
                ElementsAre("add a", "add b", "add c", "add d", "removePending",
                            "removePending b unknown", "removeAllDelivered", "removeAllPending"));
}

TEST(LocalNotificationCenter, ARespondEndsWhenTheHandlersTaskEnds) {
    LocalNotificationCenter center;
    std::vector<NotificationResponse> received;
    Wakeup handled;
    center.setResponseHandler([&](NotificationResponse response) -> QCoro::Task<void> {
        received.push_back(std::move(response));
        co_await handled;
    });
    awaitTask(center.add(reminder("roziv.1", 10)));
    ASSERT_TRUE(center.deliver("roziv.1"));

    const auto answer = probe(center.respond("roziv.1", "sip"));
    runUntilIdle();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0],
              (NotificationResponse{"roziv.1", "sip", reminder("roziv.1", 10).userInfo}));
    EXPECT_FALSE(answer.done());
    handled.fire(true);
    answer.wait();
    EXPECT_TRUE(answer.done());
}

TEST(LocalNotificationCenter, RespondWithoutHandlerEndsAndAnUnknownIdentifierIsAMistake) {
    LocalNotificationCenter center;
    awaitTask(center.add(reminder("a", 10)));
    EXPECT_NO_THROW(awaitTask(center.respond("a", "cup")));
    EXPECT_THROW(awaitTask(center.respond("b", "cup")), std::invalid_argument);
}

TEST(LocalNotificationCenter, AGateHoldsPendingRequestsUntilReleased) {
    LocalNotificationCenter center;
    center.hold(LocalNotificationCenter::Gated::pendingRequests);
    const auto listed = probe(center.pendingRequests());
    runUntilIdle();
    EXPECT_FALSE(listed.done());
    EXPECT_EQ(center.heldCalls(LocalNotificationCenter::Gated::pendingRequests), 1u);
    // Adds pass meanwhile; the held call answers on the state when it resumes.
    awaitTask(center.add(reminder("a", 10)));
    center.release(LocalNotificationCenter::Gated::pendingRequests);
    EXPECT_FALSE(listed.done()) << "a released call resumes on a later turn";
    EXPECT_THAT(identifiers(listed.wait()), ElementsAre("a"));
    EXPECT_EQ(center.heldCalls(LocalNotificationCenter::Gated::pendingRequests), 0u);
}

TEST(LocalNotificationCenter, AGateHoldsAddsAndReleasesThemInOrder) {
    LocalNotificationCenter center;
    center.hold(LocalNotificationCenter::Gated::add);
    const auto first = probe(center.add(reminder("a", 10)));
    const auto second = probe(center.add(reminder("b", 20)));
    runUntilIdle();
    EXPECT_TRUE(center.pending().empty());
    EXPECT_EQ(center.heldCalls(LocalNotificationCenter::Gated::add), 2u);
    center.release(LocalNotificationCenter::Gated::add);
    first.wait();
    second.wait();
    EXPECT_THAT(identifiers(center.pending()), ElementsAre("a", "b"));
}

TEST(LocalNotificationCenter, HeldCallsOfACentreThatWentAwayEndQuietly) {
    auto center = std::make_unique<LocalNotificationCenter>();
    center->hold(LocalNotificationCenter::Gated::add);
    center->hold(LocalNotificationCenter::Gated::pendingRequests);
    const auto added = probe(center->add(reminder("a", 10)));
    const auto listed = probe(center->pendingRequests());
    center.reset();
    EXPECT_THROW(added.wait(), NotificationError);
    EXPECT_TRUE(listed.wait().empty());
}

TEST(LocalNotificationCenter, ScriptedAddFailures) {
    LocalNotificationCenter center;
    center.failNextAdd(NotificationFailure::invalidRequest);
    center.failNextAdd();
    center.failAddsOf("refused");
    const auto failureOf = [&](const char* id) -> std::optional<NotificationFailure> {
        try {
            awaitTask(center.add(reminder(id, 10)));
            return std::nullopt;
        } catch (const NotificationError& error) {
            return error.failure();
        }
    };
    EXPECT_EQ(failureOf("a"), NotificationFailure::invalidRequest);
    EXPECT_EQ(failureOf("b"), NotificationFailure::serviceUnavailable);
    EXPECT_EQ(failureOf("c"), std::nullopt);
    EXPECT_EQ(failureOf("refused"), NotificationFailure::serviceUnavailable);
    EXPECT_EQ(failureOf("refused"), NotificationFailure::serviceUnavailable);
    EXPECT_THAT(identifiers(center.pending()), ElementsAre("c"));
    center.clearFailures();
    EXPECT_EQ(failureOf("refused"), std::nullopt);
}

TEST(LocalNotificationCenter, AuthorizationFollowsTheScriptedAnswer) {
    LocalNotificationCenter center;
    EXPECT_EQ(awaitTask(center.authorizationStatus()),
              NotificationAuthorizationStatus::notDetermined);

    center.failNextAuthorizationRequest();
    EXPECT_THROW(awaitTask(center.requestAlertAuthorization()), NotificationError);
    EXPECT_EQ(awaitTask(center.authorizationStatus()),
              NotificationAuthorizationStatus::notDetermined);

    center.setAuthorizationAnswer(false);
    EXPECT_FALSE(awaitTask(center.requestAlertAuthorization()));
    EXPECT_EQ(awaitTask(center.authorizationStatus()), NotificationAuthorizationStatus::denied);
    center.setAuthorizationAnswer(true);
    EXPECT_TRUE(awaitTask(center.requestAlertAuthorization()));
    EXPECT_EQ(awaitTask(center.authorizationStatus()), NotificationAuthorizationStatus::authorized);

    // A raw value the seam does not name passes through unchanged.
    center.setAuthorizationStatus(static_cast<NotificationAuthorizationStatus>(7));
    EXPECT_EQ(static_cast<int>(awaitTask(center.authorizationStatus())), 7);
}

TEST(LocalNotificationCenter, CategoriesHandlerAndSettingsAreRecorded) {
    LocalNotificationCenter center;
    center.setCategories({reminderCategory()});
    EXPECT_THAT(center.categories(), ElementsAre(reminderCategory()));
    EXPECT_FALSE(center.hasResponseHandler());
    center.setResponseHandler([](NotificationResponse) -> QCoro::Task<void> { co_return; });
    EXPECT_TRUE(center.hasResponseHandler());
    EXPECT_TRUE(center.openNotificationSettings());
    center.setSettingsAvailable(false);
    EXPECT_FALSE(center.openNotificationSettings());
    EXPECT_EQ(center.settingsOpened(), 1);
    EXPECT_THAT(center.log(), ElementsAre("setCategories roziv.actions.v1", "setResponseHandler",
                                          "openNotificationSettings", "openNotificationSettings"));
}

} // namespace
