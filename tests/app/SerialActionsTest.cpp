#include "app/SerialActions.h"

#include "platform/runtime/EventLoop.h"
#include "platform/runtime/FakeClock.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace DewlightApp;
using DewlightPlatform::CancelToken;
using DewlightPlatform::FakeClock;
using DewlightPlatform::Job;
using DewlightPlatform::runUntilIdle;

namespace {

class SerialActionsTest : public ::testing::Test {
protected:
    // An operation that logs its start, sleeps, and logs its end.
    SerialActions::Operation step(std::string name, double seconds) {
        return [this, name, seconds]() -> QCoro::Task<void> {
            log.push_back(name + " start");
            co_await clock.sleep(seconds, CancelToken());
            log.push_back(name + " end");
        };
    }

    FakeClock clock{100};
    SerialActions actions;
    std::vector<std::string> log;
};

TEST_F(SerialActionsTest, OperationsThatSuspendNeverInterleave) {
    actions.enqueue(step("long", 5));
    actions.enqueue(step("short", 1));
    actions.enqueue(step("none", 0));
    clock.advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"long start", "long end", "short start", "short end",
                                             "none start", "none end"}));
}

TEST_F(SerialActionsTest, EnqueueNeverRunsTheOperationInsideTheCall) {
    const Job job = actions.enqueue(step("only", 0));
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(job.isDone());
    EXPECT_EQ(actions.tail(), job);
    runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"only start", "only end"}));
}

TEST_F(SerialActionsTest, SessionChangeDropsWhatIsQueuedAndNothingQueuedAfterIt) {
    actions.enqueue(step("before", 1));
    actions.bumpSession();
    actions.enqueue(step("after", 1));
    clock.advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"after start", "after end"}));
    EXPECT_EQ(actions.session(), 1u);
}

TEST_F(SerialActionsTest, SessionChangeWhileRunningDropsOnlyWhatWaitsBehind) {
    actions.enqueue(step("running", 4));
    actions.enqueue(step("waiting", 1));
    clock.advance(1);
    ASSERT_EQ(log, (std::vector<std::string>{"running start"}));
    actions.bumpSession();
    actions.enqueue(step("fresh", 1));
    clock.advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"running start", "running end", "fresh start",
                                             "fresh end"}));
}

TEST_F(SerialActionsTest, AwaitingTheReturnedJobEndsWhenItsOperationFinishedOrWasDropped) {
    struct Case {
        const char* name;
        bool bump;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"finished", false, {"first start", "first end", "mine start", "mine end", "awaited"}},
        {"dropped", true, {"first start", "first end", "awaited"}},
    };
    for (const auto& c : cases) {
        log.clear();
        actions.enqueue(step("first", 2));
        const Job mine = actions.enqueue(step("mine", 3));
        const Job waiter = Job::spawn([this, mine]() -> QCoro::Task<void> {
            co_await mine;
            log.push_back("awaited");
        });
        if (c.bump) {
            clock.advance(1); // "first" is running
            actions.bumpSession();
        }
        clock.advance(10);
        EXPECT_EQ(log, c.expected) << c.name;
        EXPECT_TRUE(waiter.isDone()) << c.name;
    }
}

TEST_F(SerialActionsTest, AnOperationThatThrowsDoesNotStopTheQueue) {
    actions.enqueue([]() -> QCoro::Task<void> {
        throw std::runtime_error("refused");
        co_return;
    });
    actions.enqueue(step("next", 1));
    clock.advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"next start", "next end"}));
}

TEST_F(SerialActionsTest, QueuedOperationsRunToTheirEndAfterTheQueueIsGone) {
    Job last;
    {
        SerialActions shortLived;
        shortLived.enqueue(step("one", 1));
        last = shortLived.enqueue(step("two", 1));
    }
    clock.advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"one start", "one end", "two start", "two end"}));
    EXPECT_TRUE(last.isDone());
}

} // namespace
