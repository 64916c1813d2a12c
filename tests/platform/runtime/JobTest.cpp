#include "platform/runtime/Job.h"

#include "platform/runtime/EventLoop.h"
#include "platform/runtime/FakeClock.h"
#include "platform/runtime/SystemClock.h"
#include "platform/runtime/WeakOwner.h"
#include "tests/support/WarningLog.h"

#include <QtGlobal>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace DewlightPlatform;
using DewlightTest::WarningLog;

namespace {

TEST(EventLoop, PostedCallsRunOnALaterTurnInOrder) {
    std::vector<int> order;
    postToNextTurn([&] {
        order.push_back(1);
        postToNextTurn([&] { order.push_back(3); });
    });
    postToNextTurn([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());
    runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(Job, StartsOnALaterTurnNeverInsideSpawn) {
    bool ran = false;
    const Job job = Job::spawn([&]() -> QCoro::Task<void> {
        ran = true;
        co_return;
    });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(job.isDone());
    runUntilIdle();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(job.isDone());
    EXPECT_FALSE(job.hasFailed());
}

TEST(Job, SeveralWaitersResumeOnALaterTurnAfterTheBodyEnded) {
    FakeClock clock;
    std::vector<std::string> log;
    const Job work = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        const bool slept = co_await clock.sleep(5, token);
        log.push_back(slept ? "work slept" : "work cancelled");
        // Runs on the next turn: a waiter resumed inline would come before it.
        postToNextTurn([&] { log.push_back("next turn"); });
        log.push_back("work ends");
    });
    std::vector<Job> waiters;
    for (const std::string name : {"first", "second"}) {
        waiters.push_back(Job::spawn([&log, work, name]() -> QCoro::Task<void> {
            co_await work;
            log.push_back(name + " resumed");
        }));
    }
    runUntilIdle();
    EXPECT_TRUE(log.empty());
    clock.advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"work slept", "work ends", "next turn",
                                             "first resumed", "second resumed"}));
    for (const auto& waiter : waiters) {
        EXPECT_TRUE(waiter.isDone());
    }
}

TEST(Job, AwaitingADoneOrEmptyJobDoesNotSuspend) {
    const Job done = Job::spawn([]() -> QCoro::Task<void> { co_return; });
    runUntilIdle();
    std::vector<std::string> log;
    const Job waiter = Job::spawn([&log, done]() -> QCoro::Task<void> {
        co_await done;
        log.push_back("after done");
        co_await Job();
        log.push_back("after empty");
    });
    postToNextTurn([&] { log.push_back("next turn"); });
    runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"after done", "after empty", "next turn"}));
    EXPECT_TRUE(Job().isDone());
}

TEST(Job, CancelledSleepNeverRunsItsContinuation) {
    FakeClock clock;
    bool continued = false;
    bool sawCancel = false;
    const Job job = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        const bool slept = co_await clock.sleep(10, token);
        if (!slept) {
            sawCancel = true;
            co_return;
        }
        continued = true;
    });
    clock.advance(3);
    EXPECT_EQ(clock.pendingSleeps(), 1u);
    job.cancel();
    EXPECT_TRUE(job.isCancelled());
    // The cancel wakes the sleeper on a later turn, not inside cancel().
    EXPECT_FALSE(sawCancel);
    clock.advance(20);
    EXPECT_TRUE(sawCancel);
    EXPECT_FALSE(continued);
    EXPECT_TRUE(job.isDone());
    EXPECT_EQ(clock.pendingSleeps(), 0u);
}

// At exit the event loop no longer runs: a cancelled sleep must still end, or its frames leak.
TEST(Job, ACancelledSleepEndsOnThePostedWorkAloneWithoutTheLoop) {
    SystemClock clock;
    bool sawCancel = false;
    const Job job = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        sawCancel = !co_await clock.sleep(3600, token);
    });
    runUntilIdle();
    ASSERT_FALSE(job.isDone());
    job.cancel();
    runPostedWork();
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(job.isDone());
}

TEST(Job, CancelledBeforeItStartsNeverRunsItsBody) {
    bool ran = false;
    const Job job = Job::spawn([&]() -> QCoro::Task<void> {
        ran = true;
        co_return;
    });
    job.cancel();
    runUntilIdle();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(job.isDone());
}

TEST(Job, SleepOnAnAlreadyCancelledTokenReturnsAtOnce) {
    FakeClock clock;
    std::vector<bool> results;
    const Job job = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        token.cancel();
        const bool slept = co_await clock.sleep(10, token);
        results.push_back(slept);
        const bool reached = co_await clock.sleepUntil(10, token);
        results.push_back(reached);
    });
    runUntilIdle();
    EXPECT_EQ(results, (std::vector<bool>{false, false}));
    EXPECT_EQ(clock.pendingSleeps(), 0u);
}

TEST(Job, LogsWhatItsBodyThrowsAndStillReleasesItsWaiters) {
    WarningLog warnings;
    FakeClock clock;
    const Job failing = Job::spawn([&](CancelToken token) -> QCoro::Task<void> {
        co_await clock.sleep(1, token);
        throw std::runtime_error("disk on fire");
    });
    bool waited = false;
    const Job waiter = Job::spawn([&waited, failing]() -> QCoro::Task<void> {
        co_await failing;
        waited = true;
    });
    clock.advance(1);
    EXPECT_TRUE(failing.isDone());
    EXPECT_TRUE(failing.hasFailed());
    EXPECT_TRUE(waited);
    ASSERT_EQ(warnings.lines.size(), 1u);
    EXPECT_EQ(warnings.lines[0], "dewlight.system: job failed: disk on fire");
}

TEST(Job, KeepsItsClosureAliveUntilTheBodyEndsThenReleasesIt) {
    FakeClock clock;
    auto captured = std::make_shared<std::string>("still here");
    std::weak_ptr<std::string> watch = captured;
    std::string seen;
    Job job;
    {
        // The lambda object dies with this scope; its captures must not.
        auto body = [&clock, &seen, captured = std::move(captured),
                     text = std::string(64, 'x')](CancelToken token) -> QCoro::Task<void> {
            co_await clock.sleep(1, token);
            seen = *captured + " " + std::to_string(text.size());
        };
        job = Job::spawn(std::move(body));
    }
    clock.advance(1);
    EXPECT_EQ(seen, "still here 64");
    EXPECT_TRUE(job.isDone());
    runUntilIdle();
    EXPECT_TRUE(watch.expired());
}

struct Owner {
    int calls = 0;
};

TEST(WeakOwner, JobWhoseOwnerIsGoneBeforeItStartsDoesNothing) {
    auto owner = std::make_shared<Owner>();
    bool ran = false;
    const Job job = spawnWeak(std::weak_ptr<Owner>(owner),
                              [&ran](std::weak_ptr<Owner>, CancelToken) -> QCoro::Task<void> {
                                  ran = true;
                                  co_return;
                              });
    owner.reset();
    runUntilIdle();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(job.isDone());
}

TEST(WeakOwner, OwnerReleasedDuringASuspensionIsFoundGone) {
    FakeClock clock;
    auto owner = std::make_shared<Owner>();
    std::vector<std::string> log;
    const Job job =
        spawnWeak(std::weak_ptr<Owner>(owner),
                  [&](std::weak_ptr<Owner> weak, CancelToken token) -> QCoro::Task<void> {
                      if (auto self = weak.lock()) {
                          ++self->calls;
                          log.push_back("before");
                      }
                      co_await clock.sleep(1, token);
                      auto self = weak.lock();
                      log.push_back(self ? "owner alive" : "owner gone");
                  });
    clock.advance(0.5);
    EXPECT_EQ(owner->calls, 1);
    owner.reset(); // the job held it weakly across the sleep, so this really releases it
    clock.advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"before", "owner gone"}));
}

TEST(WeakOwner, WeakCallbackDoesNothingOnceTheOwnerIsGone) {
    auto owner = std::make_shared<Owner>();
    auto callback = weakly(std::weak_ptr<Owner>(owner), [](Owner& o, int by) { o.calls += by; });
    callback(2);
    EXPECT_EQ(owner->calls, 2);
    std::weak_ptr<Owner> watch = owner;
    owner.reset();
    EXPECT_TRUE(watch.expired());
    callback(5); // must not touch freed memory
}

TEST(WeakOwner, MemberAnchorExpiresWithAnOwnerNoSharedPointerHolds) {
    struct Held {
        int calls = 0;
        WeakOwner<Held> self{this};
    };
    auto held = std::make_unique<Held>();
    auto callback = weakly(held->self.weak(), [](Held& h) { ++h.calls; });
    callback();
    EXPECT_EQ(held->calls, 1);
    held.reset();
    callback(); // must not touch freed memory
}

} // namespace
