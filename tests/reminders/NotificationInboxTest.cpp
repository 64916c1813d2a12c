#include "reminders/NotificationInbox.h"

#include "platform/runtime/EventLoop.h"
#include "tests/reminders/ReminderTasks.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace DewlightReminders {
namespace {

using namespace DewlightRemindersTesting;
using DewlightPlatform::runUntilIdle;
using DewlightPlatform::Wakeup;

// A handler whose work for each reminder waits until the test releases it, and that records
// when each piece of work started and ended.
class GatedHandler {
public:
    NotificationInbox::Handler handler() {
        return [this](ReminderPayload payload, ReminderAction action) -> QCoro::Task<void> {
            const auto name = payload.reminder().rawValue() + "/" + std::string(rawValue(action));
            log.push_back("start " + name);
            const Wakeup gate = gates[payload.reminder().rawValue()];
            co_await gate;
            log.push_back("end " + name);
            if (failing)
                throw std::runtime_error("refused");
        };
    }
    void release(int index) { gates[payloadAt(index).reminder().rawValue()].fire(true); }

    std::vector<std::string> log;
    std::map<std::string, Wakeup> gates;
    bool failing = false;
};

std::string name(int index, const char* action) {
    return payloadAt(index).reminder().rawValue() + "/" + action;
}

TEST(NotificationInbox, ParkedAnswersAreHandledInArrivalOrderEachCompletingAfterItsOwnWork) {
    NotificationInbox inbox;
    GatedHandler work;
    bool firstDone = false;
    bool secondDone = false;
    QCoro::Task<void> first = track(inbox.receive(payloadAt(0), ReminderAction::cup), firstDone);
    QCoro::Task<void> second =
        track(inbox.receive(payloadAt(1), ReminderAction::postpone), secondDone);
    runUntilIdle();
    EXPECT_EQ(inbox.waitingCount(), 2u);
    EXPECT_FALSE(firstDone);

    inbox.installHandler(work.handler());
    EXPECT_EQ(inbox.waitingCount(), 0u);
    // Both are handed over at once, in arrival order, so nothing later can come between them.
    EXPECT_EQ(work.log, (std::vector<std::string>{"start " + name(0, "cup"),
                                                  "start " + name(1, "postpone")}));

    // The newer one's work ending first does not let its caller overtake the older one.
    work.release(1);
    runUntilIdle();
    EXPECT_FALSE(firstDone);
    EXPECT_FALSE(secondDone);

    work.release(0);
    runUntilIdle();
    EXPECT_TRUE(firstDone);
    EXPECT_TRUE(secondDone);
}

TEST(NotificationInbox, EachParkedCallerWaitsForItsOwnWork) {
    NotificationInbox inbox;
    GatedHandler work;
    bool firstDone = false;
    bool secondDone = false;
    QCoro::Task<void> first = track(inbox.receive(payloadAt(0), ReminderAction::sip), firstDone);
    QCoro::Task<void> second = track(inbox.receive(payloadAt(1), ReminderAction::cup), secondDone);
    inbox.installHandler(work.handler());

    work.release(0);
    runUntilIdle();
    EXPECT_TRUE(firstDone);
    EXPECT_FALSE(secondDone);
    work.release(1);
    runUntilIdle();
    EXPECT_TRUE(secondDone);
}

TEST(NotificationInbox, AfterInstallationAnswersGoStraightToTheHandler) {
    NotificationInbox inbox;
    GatedHandler work;
    inbox.installHandler(work.handler());
    EXPECT_TRUE(work.log.empty());
    EXPECT_TRUE(inbox.hasHandler());

    bool done = false;
    QCoro::Task<void> answer = track(inbox.receive(payloadAt(2), ReminderAction::sip), done);
    EXPECT_EQ(inbox.waitingCount(), 0u);
    EXPECT_EQ(work.log, (std::vector<std::string>{"start " + name(2, "sip")}));
    runUntilIdle();
    EXPECT_FALSE(done);
    work.release(2);
    runUntilIdle();
    EXPECT_TRUE(done);
}

TEST(NotificationInbox, AnAnswerDuringTheReplayComesAfterTheParkedOnes) {
    NotificationInbox inbox;
    GatedHandler work;
    bool parkedDone = false;
    bool laterDone = false;
    QCoro::Task<void> parked = track(inbox.receive(payloadAt(0), ReminderAction::cup), parkedDone);
    inbox.installHandler(work.handler());
    QCoro::Task<void> later = track(inbox.receive(payloadAt(1), ReminderAction::sip), laterDone);
    EXPECT_EQ(work.log,
              (std::vector<std::string>{"start " + name(0, "cup"), "start " + name(1, "sip")}));
    work.release(0);
    work.release(1);
    runUntilIdle();
    EXPECT_TRUE(parkedDone);
    EXPECT_TRUE(laterDone);
}

TEST(NotificationInbox, FailedWorkStillCompletesItsCaller) {
    NotificationInbox inbox;
    GatedHandler work;
    work.failing = true;
    bool parkedDone = false;
    bool directDone = false;
    QCoro::Task<void> parked =
        track(inbox.receive(payloadAt(0), ReminderAction::postpone), parkedDone);
    QCoro::Task<void> also = track(inbox.receive(payloadAt(1), ReminderAction::cup), directDone);
    inbox.installHandler(work.handler());
    work.release(0);
    work.release(1);
    runUntilIdle();
    EXPECT_TRUE(parkedDone);
    EXPECT_TRUE(directDone);

    bool afterDone = false;
    QCoro::Task<void> after = track(inbox.receive(payloadAt(2), ReminderAction::sip), afterDone);
    work.release(2);
    runUntilIdle();
    EXPECT_TRUE(afterDone);
}

} // namespace
} // namespace DewlightReminders
