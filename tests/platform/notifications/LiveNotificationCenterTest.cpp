// Runs under dbus-run-session: the session bus is a private one with no service activation, and
// the notification server is the tests' own.
#include "platform/notifications/LiveNotificationCenter.h"

#include "FakeNotificationServer.h"
#include "Requests.h"
#include "TaskProbe.h"
#include "platform/notifications/ClockWallAlarm.h"
#include "platform/notifications/NotificationError.h"
#include "platform/runtime/EventLoop.h"
#include "platform/runtime/FakeClock.h"
#include "platform/storage/LocalUserDefaults.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>

using namespace DewlightPlatform;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

void settle() {
    runUntil([] { return false; }, 150ms);
}

std::optional<NotificationFailure> failureOf(QCoro::Task<void> task) {
    try {
        awaitTask(std::move(task));
        return std::nullopt;
    } catch (const NotificationError& error) {
        return error.failure();
    }
}

// A live centre on the private bus, its scheduler on a fake wall clock that starts at 1000 s.
class LiveCenter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QByteArray("disabled:"));
        center_ = makeCenter();
        center_->setCategories({reminderCategory()});
    }

    // Sleeps the centre cancels end on a later turn: let them end before the test does.
    void TearDown() override {
        center_.reset();
        runUntilIdle();
    }

    std::unique_ptr<LiveNotificationCenter>
    makeCenter(std::chrono::milliseconds probeTimeout = std::chrono::seconds(3)) {
        return std::make_unique<LiveNotificationCenter>(
            QDBusConnection::sessionBus(), defaults_, clock_,
            std::make_unique<ClockWallAlarm>(clock_),
            NotificationSettingsLauncher(QString(), [](const QString&) { return false; }),
            probeTimeout);
    }

    // Adds the request and lets the fake clock reach its instant.
    const FakeNotificationServer::Notification& fire(FakeNotificationServer& server,
                                                     NotificationRequest request) {
        const std::size_t before = server.notified().size();
        const double instant = request.trigger.instant;
        awaitTask(center_->add(std::move(request)));
        clock_.advance(std::max(0.0, instant - clock_.now()));
        EXPECT_TRUE(runUntil([&] { return server.notified().size() > before; }));
        return server.notified().back();
    }

    FakeClock clock_{1000.0};
    LocalUserDefaults defaults_;
    std::unique_ptr<LiveNotificationCenter> center_;
};

TEST_F(LiveCenter, ARequestIsShownAtItsInstantAndNotBefore) {
    FakeNotificationServer server;
    awaitTask(center_->add(reminder(
        "roziv.1", 1060.25, "Time for some water.\nIt has been an hour since your last drink.")));
    clock_.advance(60.2);
    settle();
    EXPECT_THAT(server.notified(), IsEmpty());
    EXPECT_EQ(awaitTask(center_->pendingRequests()).size(), 1u);

    clock_.advance(0.05);
    ASSERT_TRUE(runUntil([&] { return !server.notified().empty(); }));
    const auto& shown = server.notified().front();
    EXPECT_EQ(shown.appName, "Dewlight");
    EXPECT_EQ(shown.appIcon, "dewlight");
    EXPECT_EQ(shown.replacesId, 0u);
    EXPECT_EQ(shown.summary, "Dewlight");
    EXPECT_EQ(shown.body, "Time for some water.\nIt has been an hour since your last drink.");
    EXPECT_EQ(shown.actions,
              (QStringList{"cup", "A glass", "sip", "A sip", "postpone", "In 15 minutes"}));
    EXPECT_EQ(shown.hints.value("suppress-sound"), QVariant(true));
    EXPECT_EQ(shown.hints.value("desktop-entry"), QVariant(QStringLiteral("dewlight")));
    // Until answered: a server's own time-out would take the buttons away.
    EXPECT_EQ(shown.expireTimeout, 0);
    EXPECT_EQ(shown.hints.value("urgency"), QVariant::fromValue(uchar(1)));
    EXPECT_TRUE(awaitTask(center_->pendingRequests()).empty());
    ASSERT_TRUE(runUntil([&] { return !center_->deliveredIdentifiers().empty(); }));
    EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre("roziv.1"));
}

TEST_F(LiveCenter, TheBodyAndButtonsFollowTheServersCapabilities) {
    struct Case {
        QStringList capabilities;
        QString body;
        bool buttons;
    };
    const std::vector<Case> cases{
        {{"actions", "body"}, "Water & <b>more</b>", true},
        {{"actions", "body", "body-markup"}, "Water &amp; &lt;b&gt;more&lt;/b&gt;", true},
        {{"body"}, "Water & <b>more</b>", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capabilities.join(' ').toStdString());
        FakeNotificationServer server(c.capabilities);
        center_ = makeCenter(); // capabilities are asked once per server
        center_->setCategories({reminderCategory()});
        const auto& shown = fire(server, reminder("roziv." + std::to_string(++n), clock_.now() + 1,
                                                  "Water & <b>more</b>"));
        EXPECT_EQ(shown.body, c.body);
        EXPECT_EQ(shown.actions.isEmpty(), !c.buttons);
    }
}

TEST_F(LiveCenter, AReplacedRequestFiresOnlyAsTheNewOneAndRemovedOnesNever) {
    FakeNotificationServer server;
    awaitTask(center_->add(reminder("a", 1010, "old")));
    awaitTask(center_->add(reminder("b", 1020)));
    awaitTask(center_->add(reminder("a", 1030, "new")));
    awaitTask(center_->add(reminder("c", 1040)));
    awaitTask(center_->add(reminder("d", 1050)));
    center_->removePending({"b"});
    EXPECT_THAT(awaitTask(center_->pendingRequests()).size(), 3u);
    clock_.advance(45);
    ASSERT_TRUE(runUntil([&] { return server.notified().size() >= 2; }));
    center_->removeAllPending();
    clock_.advance(100);
    settle();
    ASSERT_EQ(server.notified().size(), 2u);
    EXPECT_EQ(server.notified()[0].body, "new");
    EXPECT_EQ(server.notified()[1].body, "Time for some water.");
    EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre("a", "c"));
}

TEST_F(LiveCenter, AnActionOfOurNotificationReachesTheHandlerOnceWithItsUserInfo) {
    FakeNotificationServer server;
    std::vector<NotificationResponse> responses;
    center_->setResponseHandler([&](NotificationResponse response) -> QCoro::Task<void> {
        responses.push_back(std::move(response));
        co_return;
    });
    const uint answered = fire(server, reminder("roziv.7", 1001)).id;
    const uint dismissed = fire(server, reminder("roziv.8", 1002)).id;
    ASSERT_TRUE(runUntil([&] { return center_->deliveredIdentifiers().size() == 2; }));

    server.invokeAction(answered + 100, "cup"); // another application's notification
    server.invokeAction(answered, "sip");
    // Servers such as dunst keep it on screen after an action: a second click.
    server.invokeAction(answered, "sip");
    ASSERT_TRUE(runUntil([&] { return !responses.empty(); }));
    settle();
    EXPECT_THAT(responses, ElementsAre(NotificationResponse{"roziv.7", "sip",
                                                            reminder("roziv.7", 1001).userInfo}));
    EXPECT_THAT(server.closed(), ElementsAre(answered)) << "an answered one is closed";
    EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre("roziv.8"));

    // Closed by the user: forgotten, and never an answer.
    server.dismiss(dismissed);
    ASSERT_TRUE(runUntil([&] { return center_->deliveredIdentifiers().empty(); }));
    server.invokeAction(dismissed, "cup");
    settle();
    EXPECT_EQ(responses.size(), 1u);
}

TEST_F(LiveCenter, RemovingDeliveredClosesEachIncludingOneWhoseReplyIsOnItsWay) {
    FakeNotificationServer server;
    const uint shownId = fire(server, reminder("a", 1001)).id;
    ASSERT_TRUE(runUntil([&] { return !center_->deliveredIdentifiers().empty(); }));
    server.holdReplies();
    const uint outstandingId = fire(server, reminder("b", 1002)).id;
    ASSERT_EQ(server.heldReplies(), 1u);
    EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre("a", "b"));

    center_->removeAllDelivered();
    EXPECT_THAT(center_->deliveredIdentifiers(), IsEmpty());
    ASSERT_TRUE(runUntil([&] { return server.closed().size() == 1; }));
    server.releaseReplies();
    ASSERT_TRUE(runUntil([&] { return server.closed().size() == 2; }));
    EXPECT_THAT(server.closed(), ElementsAre(shownId, outstandingId));
}

TEST_F(LiveCenter, ADeliveryOfTheSameIdentifierReplacesTheOneOnScreen) {
    FakeNotificationServer server;
    const uint first = fire(server, reminder("a", 1001)).id;
    ASSERT_TRUE(runUntil([&] { return !center_->deliveredIdentifiers().empty(); }));
    const auto& again = fire(server, reminder("a", 1002));
    EXPECT_EQ(again.replacesId, first);
    settle();
    EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre("a"));
}

TEST_F(LiveCenter, WithoutAServiceAddFailsAndAuthorizationIsDenied) {
    EXPECT_EQ(failureOf(center_->add(reminder("a", 1100))),
              NotificationFailure::serviceUnavailable);
    EXPECT_TRUE(awaitTask(center_->pendingRequests()).empty());

    EXPECT_EQ(awaitTask(center_->authorizationStatus()),
              NotificationAuthorizationStatus::notDetermined);
    EXPECT_THROW(awaitTask(center_->requestAlertAuthorization()), NotificationError);
    EXPECT_EQ(awaitTask(center_->authorizationStatus()), NotificationAuthorizationStatus::denied);
    EXPECT_EQ(defaults_.text(LiveNotificationCenter::authorizationKey), "denied");

    // Once a service is there the user's earlier answer stands for a yes.
    FakeNotificationServer server;
    EXPECT_EQ(awaitTask(center_->authorizationStatus()),
              NotificationAuthorizationStatus::authorized);
    EXPECT_EQ(failureOf(center_->add(reminder("a", 1100))), std::nullopt);
}

// A bus of its own whose notification service can be activated but fails to start, as a desktop
// whose service file names a daemon that cannot run there.
class ServiceThatCannotStart {
public:
    ServiceThatCannotStart() {
        const QString services = folder_.filePath(QStringLiteral("services"));
        QDir().mkpath(services);
        write(services + QStringLiteral("/notifications.service"),
              "[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=/bin/false\n");
        const QString config = folder_.filePath(QStringLiteral("bus.conf"));
        write(config, QStringLiteral("<busconfig><type>session</type>"
                                     "<listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                                     "<servicedir>%1</servicedir><policy context=\"default\">"
                                     "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                     "<allow own=\"*\"/>"
                                     "</policy></busconfig>")
                          .arg(services)
                          .toUtf8());
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + config,
                       QStringLiteral("--print-address=1"), QStringLiteral("--nofork")});
        if (daemon_.waitForReadyRead(5000))
            QDBusConnection::connectToBus(QString::fromUtf8(daemon_.readLine()).trimmed(), name);
    }
    ~ServiceThatCannotStart() {
        QDBusConnection::disconnectFromBus(name);
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }
    QDBusConnection bus() const { return QDBusConnection(name); }

private:
    static inline const QString name = QStringLiteral("cannot-start");

    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QTemporaryDir folder_;
    QProcess daemon_;
};

// A service that is named on the bus but never answers is no yes: the request is denied and
// stays so, rather than counted as allowed because the bus could try to start it again.
TEST_F(LiveCenter, AServiceThatCannotStartDeniesTheAuthorization) {
    const ServiceThatCannotStart desktop;
    ASSERT_TRUE(desktop.bus().isConnected());
    LiveNotificationCenter center(
        desktop.bus(), defaults_, clock_, std::make_unique<ClockWallAlarm>(clock_),
        NotificationSettingsLauncher(QString(), [](const QString&) { return false; }));
    EXPECT_THROW(awaitTask(center.requestAlertAuthorization()), NotificationError);
    EXPECT_EQ(defaults_.text(LiveNotificationCenter::authorizationKey), "denied");
    EXPECT_EQ(awaitTask(center.authorizationStatus()), NotificationAuthorizationStatus::denied);
    EXPECT_EQ(defaults_.text(LiveNotificationCenter::authorizationKey), "denied");
}

// The server stops while a reminder is due and starts again: the reminder is held, reported, and
// shown once a server is back on the same day; the next day it is dropped.
TEST_F(LiveCenter, AReminderDueWhileNoServerIsOnTheBusWaitsForOne) {
    struct Case {
        const char* name;
        double downFor; // seconds from the reminder's instant to the server's return
        bool shown;
    };
    const Case cases[] = {
        {"back the same day", 3600, true},
        // Every case starts early on 2001-01-01 and the trigger's zone is UTC.
        {"back the next day", 86400, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        center_ = makeCenter();
        center_->setCategories({reminderCategory()});
        std::vector<bool> reports;
        center_->setDeliveryFailureHandler([&](bool held) { reports.push_back(held); });
        const std::string identifier = "roziv." + std::to_string(++n);
        const double instant = clock_.now() + 10;

        auto server = std::make_unique<FakeNotificationServer>();
        awaitTask(center_->add(reminder(identifier, instant, "Time for some water.")));
        server.reset();
        clock_.advance(10);
        ASSERT_TRUE(runUntil([&] { return !reports.empty(); }));
        EXPECT_EQ(reports, std::vector<bool>{true});
        EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre(identifier));

        clock_.advance(c.downFor);
        server = std::make_unique<FakeNotificationServer>();
        ASSERT_TRUE(runUntil([&] { return reports.size() == 2; }));
        EXPECT_EQ(reports, (std::vector<bool>{true, false}));
        settle();
        if (c.shown) {
            ASSERT_EQ(server->notified().size(), 1u);
            EXPECT_EQ(server->notified()[0].body, "Time for some water.");
            EXPECT_EQ(server->notified()[0].actions.size(), 6);
            EXPECT_THAT(center_->deliveredIdentifiers(), ElementsAre(identifier));
        } else {
            EXPECT_THAT(server->notified(), IsEmpty());
            EXPECT_THAT(center_->deliveredIdentifiers(), IsEmpty());
        }
    }
}

TEST_F(LiveCenter, AHeldReminderRemovedWithTheDeliveredOnesIsNeverShown) {
    std::vector<bool> reports;
    center_->setDeliveryFailureHandler([&](bool held) { reports.push_back(held); });
    auto server = std::make_unique<FakeNotificationServer>();
    awaitTask(center_->add(reminder("a", 1010)));
    server.reset();
    clock_.advance(10);
    ASSERT_TRUE(runUntil([&] { return !reports.empty(); }));
    center_->removeAllDelivered(); // a drink was recorded meanwhile
    ASSERT_TRUE(runUntil([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports, (std::vector<bool>{true, false}));
    server = std::make_unique<FakeNotificationServer>();
    settle();
    EXPECT_THAT(server->notified(), IsEmpty());
}

TEST_F(LiveCenter, AnAnsweredRequestAuthorizesAndTheRecordOutlivesTheCentre) {
    FakeNotificationServer server;
    EXPECT_EQ(awaitTask(center_->authorizationStatus()),
              NotificationAuthorizationStatus::notDetermined);
    EXPECT_TRUE(awaitTask(center_->requestAlertAuthorization()));
    EXPECT_EQ(defaults_.text(LiveNotificationCenter::authorizationKey), "authorized");
    center_ = makeCenter();
    EXPECT_EQ(awaitTask(center_->authorizationStatus()),
              NotificationAuthorizationStatus::authorized);
}

// Only an absent server is a refusal: one that owns its name but is slow to answer is not.
TEST_F(LiveCenter, AServerTooBusyToAnswerLeavesTheAuthorizationAsItWas) {
    FakeNotificationServer server;
    server.stopAnsweringInformation();
    const std::optional<std::string> records[] = {std::nullopt, "authorized", "denied"};
    for (const auto& record : records) {
        SCOPED_TRACE(record.value_or("none"));
        if (record) {
            defaults_.setText(LiveNotificationCenter::authorizationKey, *record);
        } else {
            defaults_.remove(LiveNotificationCenter::authorizationKey);
        }
        center_ = makeCenter(200ms);
        std::optional<NotificationFailure> failure;
        try {
            awaitTask(center_->requestAlertAuthorization());
        } catch (const NotificationError& error) {
            failure = error.failure();
        }
        EXPECT_EQ(failure, NotificationFailure::serviceNotResponding);
        EXPECT_EQ(defaults_.text(LiveNotificationCenter::authorizationKey), record);
    }
}

TEST_F(LiveCenter, InvalidRequestsAreRefused) {
    FakeNotificationServer server;
    auto unnamed = reminder("", 1100);
    auto never = reminder("a", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(failureOf(center_->add(unnamed)), NotificationFailure::invalidRequest);
    EXPECT_EQ(failureOf(center_->add(never)), NotificationFailure::invalidRequest);
}

TEST_F(LiveCenter, ACentreGoneWhileItsCallsAreOnTheirWayIsNotTouched) {
    FakeNotificationServer server;
    server.holdReplies();
    fire(server, reminder("a", 1001));
    const auto added = probe(center_->add(reminder("b", 1100)));
    center_.reset();
    server.releaseReplies();
    // The bus may answer the add's service probe before the centre goes (QtDBus reads replies
    // on its own thread), so the add either finished then or fails as unavailable; it must
    // never reach the destroyed centre, which the sanitizer build checks.
    try {
        added.wait();
    } catch (const NotificationError& error) {
        EXPECT_EQ(error.failure(), NotificationFailure::serviceUnavailable);
    }
    settle();
}

} // namespace
