#include "reminders/ReminderService.h"

#include "ServiceFixture.h"
#include "core/Json.h"
#include "core/Versioned.h"
#include "platform/notifications/NotificationError.h"
#include "platform/runtime/EventLoop.h"
#include "tests/reminders/ReminderTasks.h"

#include <QtGlobal>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace DewlightReminders {
namespace {

using namespace DewlightRemindersTesting;
using DewlightPlatform::LocalNotificationCenter;
using DewlightPlatform::NotificationAction;
using DewlightPlatform::NotificationAuthorizationStatus;
using DewlightPlatform::NotificationCategory;
using DewlightPlatform::NotificationError;
using DewlightPlatform::NotificationRequest;
using DewlightPlatform::NotificationUserInfo;
using DewlightPlatform::runUntilIdle;

QByteArray bytesOf(const std::string& text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

QByteArray payloadBytes(const ReminderPayload& payload) {
    return bytesOf(Json::serialize(Json::encode(Versioned(payload))));
}

// A request as someone else might have left it in the centre.
NotificationRequest foreignRequest(std::string identifier, NotificationUserInfo userInfo) {
    NotificationRequest request;
    request.identifier = std::move(identifier);
    request.title = "Dewlight";
    request.userInfo = std::move(userInfo);
    request.trigger.instant = mondayMidnight + 11 * hour;
    return request;
}

void addDirectly(LocalNotificationCenter& center, NotificationRequest request) {
    bool done = false;
    QCoro::Task<void> adding = track(center.add(std::move(request)), done);
    runUntilIdle();
    ASSERT_TRUE(done);
}

void post(ReminderService& service, const PlannedReminder& reminder) {
    bool done = false;
    QCoro::Task<void> posting = track(service.post(reminder), done);
    runUntilIdle();
    ASSERT_TRUE(done);
}

TEST(ReminderService, RegistersTheCategoryAndTakesAnswers) {
    ServiceFixture f;
    EXPECT_EQ(f.center->categories(),
              (std::vector<NotificationCategory>{
                  {"roziv.actions.v1",
                   {{"cup", "A glass"}, {"sip", "A sip"}, {"postpone", "In 15 minutes"}}}}));
    EXPECT_TRUE(f.center->hasResponseHandler());
}

TEST(ReminderService, ButtonTitlesAndBodiesGoThroughTheLocalizer) {
    const auto center = std::make_shared<LocalNotificationCenter>();
    const auto german = std::make_shared<DewlightPlatform::Localizer>(
        DewlightPlatform::StringTable("de",
                                      {{"A glass", {"Ein Glas", {}}},
                                       {"Even a sip counts.", {"Auch ein Schluck zählt.", {}}}}),
        "de_DE");
    const ReminderService service(center, german, [] { return DewlightPlatform::Calendar::utc(); });
    const auto& actions = center->categories().at(0).actions;
    EXPECT_EQ(actions.at(0), (NotificationAction{"cup", "Ein Glas"}));
    // Without a translation the key, the English text, is shown.
    EXPECT_EQ(actions.at(1), (NotificationAction{"sip", "A sip"}));
    const auto request = service.request(plannedAt(0, ReminderPhrase::aSipCounts, true));
    EXPECT_EQ(request.body, "Auch ein Schluck zählt.\nIt has been an hour since your last drink.");
    // The product name is never translated.
    EXPECT_EQ(request.title, "Dewlight");
}

TEST(ReminderService, RequestFormat) {
    ServiceFixture f;
    const auto planned = plannedAt(0, ReminderPhrase::timeForRoziv);
    post(*f.service, planned);
    ASSERT_EQ(f.center->pending().size(), 1u);
    const auto& request = f.center->pending().front();
    EXPECT_EQ(request.identifier, "roziv.test.0");
    EXPECT_EQ(request.title, "Dewlight");
    EXPECT_EQ(request.body, "Time for some water.");
    EXPECT_EQ(request.categoryIdentifier, "roziv.actions.v1");
    ASSERT_EQ(request.userInfo.size(), 1u);
    const auto& value = request.userInfo.at("roziv.payload");
    ASSERT_TRUE(std::holds_alternative<QByteArray>(value));
    EXPECT_EQ(
        std::get<QByteArray>(value).toStdString(),
        R"({"version":1,"value":{"account":"account-a","generation":{"counter":0,"writer":"writer-a"},)"
        R"("workday":789264000.0,"reminder":"roziv.test.0","scheduledAt":789300000.0}})");
    // 10:00 UTC is 11:00 in Berlin in January; the centre fires on the exact instant.
    EXPECT_EQ(request.trigger, (DewlightPlatform::CalendarTrigger{2026, 1, 5, 11, 0, 0,
                                                                  "Europe/Berlin", 789300000.0}));
}

TEST(ReminderService, BodyOfEachPhrase) {
    ServiceFixture f;
    const std::vector<std::pair<ReminderPhrase, std::string>> cases = {
        {ReminderPhrase::timeForRoziv, "Time for some water."},
        {ReminderPhrase::smallPause, "A short pause for water."},
        {ReminderPhrase::aSipCounts, "Even a sip counts."},
        {ReminderPhrase::rozivMoment, "Take a moment for water."},
        {ReminderPhrase::weekComplete, "A little water before the weekend."},
    };
    for (const auto& [phrase, body] : cases) {
        EXPECT_EQ(f.service->request(plannedAt(0, phrase, false)).body, body);
        EXPECT_EQ(f.service->request(plannedAt(0, phrase, true)).body,
                  body + "\nIt has been an hour since your last drink.");
    }
}

TEST(ReminderService, TriggerFollowsTheCalendarOfTheMoment) {
    ServiceFixture f;
    // Summer time: 10:00 UTC on 2026-07-06 is 12:00 in Berlin.
    f.zone = "Europe/Berlin";
    const double july = 805075200; // 2026-07-06 00:00 UTC
    const PlannedReminder summer{ReminderPayload(Identity<AccountTag>("a"), payloadGeneration(),
                                                 WorkdayID(july), Identity<ReminderTag>("r"),
                                                 july + 10 * hour + 0.25),
                                 ReminderPhrase::smallPause, false};
    const auto trigger = f.service->request(summer).trigger;
    EXPECT_EQ(trigger.hour, 12);
    EXPECT_EQ(trigger.month, 7);
    EXPECT_EQ(trigger.instant, july + 10 * hour + 0.25);
    f.zone = "America/New_York";
    EXPECT_EQ(f.service->request(summer).trigger.hour, 6);
    EXPECT_EQ(f.service->request(summer).trigger.timeZone, "America/New_York");
}

TEST(ReminderService, PermissionFromTheRawStatus) {
    const std::vector<std::pair<int, NotificationPermission>> cases = {
        {0, NotificationPermission::notDetermined}, {1, NotificationPermission::denied},
        {2, NotificationPermission::authorized},    {3, NotificationPermission::authorized},
        {4, NotificationPermission::authorized},    {5, NotificationPermission::denied},
        {-1, NotificationPermission::denied},       {99, NotificationPermission::denied},
    };
    for (const auto& [raw, expected] : cases) {
        ServiceFixture f;
        f.center->setAuthorizationStatus(static_cast<NotificationAuthorizationStatus>(raw));
        std::optional<NotificationPermission> read;
        QCoro::Task<void> reading = capture(f.service->permission(), read);
        runUntilIdle();
        EXPECT_EQ(read, expected) << raw;
    }
}

std::vector<std::string> captured;
void captureMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg && std::string(context.category) == "dewlight.system")
        captured.push_back(message.toStdString());
}

TEST(ReminderService, AuthorizationAsksForAlertsAndLogsAFailure) {
    ServiceFixture f;
    bool done = false;
    QCoro::Task<void> asking = track(f.service->requestAuthorization(), done);
    runUntilIdle();
    EXPECT_TRUE(done);
    EXPECT_EQ(f.center->log().back(), "requestAlertAuthorization");

    f.center->failNextAuthorizationRequest();
    captured.clear();
    const auto previous = qInstallMessageHandler(captureMessage);
    done = false;
    QCoro::Task<void> failing = track(f.service->requestAuthorization(), done);
    runUntilIdle();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(done);
    EXPECT_EQ(captured, (std::vector<std::string>{"notification authorization failed"}));
}

TEST(ReminderService, PendingPayloadsSkipUnreadableRequestsAndKeepTheCentresOrder) {
    ServiceFixture f;
    post(*f.service, plannedAt(2));
    addDirectly(*f.center, foreignRequest("no-payload", {}));
    addDirectly(*f.center, foreignRequest("as-text", {{"roziv.payload", std::string("{}")}}));
    addDirectly(*f.center, foreignRequest("not-json", {{"roziv.payload", bytesOf("{")}}));
    const auto valid = Json::encode(Versioned(payloadAt(3)));
    auto newer = valid;
    newer["version"] = 2;
    addDirectly(*f.center,
                foreignRequest("version-2", {{"roziv.payload", bytesOf(Json::serialize(newer))}}));
    auto outside = valid;
    outside["value"]["scheduledAt"] = mondayMidnight + 136800; // past its day's window
    addDirectly(*f.center,
                foreignRequest("outside", {{"roziv.payload", bytesOf(Json::serialize(outside))}}));
    auto lacking = valid;
    lacking["value"].erase("generation");
    addDirectly(*f.center,
                foreignRequest("lacking", {{"roziv.payload", bytesOf(Json::serialize(lacking))}}));
    addDirectly(*f.center,
                foreignRequest("other", {{"roziv.payload", payloadBytes(payloadAt(1))}}));
    post(*f.service, plannedAt(0));

    std::optional<std::vector<ReminderPayload>> listed;
    QCoro::Task<void> listing = capture(f.service->pendingPayloads(), listed);
    runUntilIdle();
    EXPECT_EQ(listed, (std::vector<ReminderPayload>{payloadAt(2), payloadAt(1), payloadAt(0)}));
}

TEST(ReminderService, RemovesPendingByIdentity) {
    ServiceFixture f;
    post(*f.service, plannedAt(0));
    post(*f.service, plannedAt(1));
    f.center->clearLog();
    f.service->removePending({payloadAt(0).reminder()});
    f.service->removePending({});
    EXPECT_EQ(f.center->log(),
              (std::vector<std::string>{"removePending roziv.test.0", "removePending"}));
    ASSERT_EQ(f.center->pending().size(), 1u);
    EXPECT_EQ(f.center->pending().front().identifier, "roziv.test.1");
}

TEST(ReminderService, APostTheCentreRefusesThrows) {
    ServiceFixture f;
    f.center->failNextAdd();
    bool threw = false;
    // Named: the coroutine reads its captures after it suspended.
    const auto attempt = [&]() -> QCoro::Task<void> {
        try {
            QCoro::Task<void> inner = f.service->post(plannedAt(0));
            co_await inner;
        } catch (const NotificationError&) {
            threw = true;
        }
    };
    QCoro::Task<void> posting = attempt();
    runUntilIdle();
    EXPECT_TRUE(threw);
    EXPECT_TRUE(f.center->pending().empty());
}

// The inbox's handler as the model would install it, recording what reached it.
struct RecordingHandler {
    std::vector<std::pair<ReminderPayload, ReminderAction>> received;
    NotificationInbox::Handler handler() {
        return [this](ReminderPayload payload, ReminderAction action) -> QCoro::Task<void> {
            received.emplace_back(std::move(payload), action);
            co_return;
        };
    }
};

TEST(ReminderService, OnlyButtonAnswersWithAReadablePayloadReachTheInbox) {
    ServiceFixture f;
    RecordingHandler model;
    f.service->inbox().installHandler(model.handler());
    post(*f.service, plannedAt(0));
    addDirectly(*f.center, foreignRequest("no-payload", {}));
    addDirectly(*f.center, foreignRequest("broken", {{"roziv.payload", bytesOf("[1]")}}));
    for (const char* id : {"roziv.test.0", "no-payload", "broken"})
        ASSERT_TRUE(f.center->deliver(id));

    const std::vector<std::pair<std::string, std::string>> ignored = {
        {"roziv.test.0", DewlightPlatform::defaultActionIdentifier},
        {"roziv.test.0", "Cup"},
        {"roziv.test.0", "dismiss"},
        {"no-payload", "cup"},
        {"broken", "sip"},
    };
    for (const auto& [id, action] : ignored) {
        bool done = false;
        QCoro::Task<void> answering = track(f.center->respond(id, action), done);
        runUntilIdle();
        EXPECT_TRUE(done) << id << " " << action;
    }
    EXPECT_TRUE(model.received.empty());

    for (const char* action : {"cup", "sip", "postpone"}) {
        bool done = false;
        QCoro::Task<void> answering = track(f.center->respond("roziv.test.0", action), done);
        runUntilIdle();
        EXPECT_TRUE(done);
    }
    ASSERT_EQ(model.received.size(), 3u);
    EXPECT_EQ(model.received[0], std::pair(payloadAt(0), ReminderAction::cup));
    EXPECT_EQ(model.received[1].second, ReminderAction::sip);
    EXPECT_EQ(model.received[2].second, ReminderAction::postpone);
}

TEST(ReminderService, AnAnswerBeforeTheModelIsReadyCompletesOnceHandled) {
    ServiceFixture f;
    post(*f.service, plannedAt(0));
    ASSERT_TRUE(f.center->deliver("roziv.test.0"));
    bool done = false;
    QCoro::Task<void> answering = track(f.center->respond("roziv.test.0", "postpone"), done);
    runUntilIdle();
    EXPECT_FALSE(done);
    EXPECT_EQ(f.service->inbox().waitingCount(), 1u);

    RecordingHandler model;
    f.service->inbox().installHandler(model.handler());
    runUntilIdle();
    EXPECT_TRUE(done);
    ASSERT_EQ(model.received.size(), 1u);
    EXPECT_EQ(model.received[0], std::pair(payloadAt(0), ReminderAction::postpone));
}

TEST(ReminderService, AGoneServiceTakesNoMoreAnswers) {
    ServiceFixture f;
    post(*f.service, plannedAt(0));
    f.service.reset();
    EXPECT_FALSE(f.center->hasResponseHandler());
}

} // namespace
} // namespace DewlightReminders
