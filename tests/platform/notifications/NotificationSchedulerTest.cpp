#include "platform/notifications/NotificationScheduler.h"

#include "Requests.h"
#include "platform/notifications/ClockWallAlarm.h"
#include "platform/runtime/EventLoop.h"
#include "platform/runtime/FakeClock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace DewlightPlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// A scheduler on a fake wall clock that starts at 1000 s, recording what fired and when.
class Scheduled : public ::testing::Test {
protected:
    struct Fired {
        std::string identifier;
        std::string body;
        double at;
    };

    std::vector<std::string> firedIdentifiers() const {
        std::vector<std::string> result;
        for (const auto& fired : fired_) {
            result.push_back(fired.identifier);
        }
        return result;
    }

    FakeClock clock_{1000.0};
    ClockWallAlarm alarm_{clock_};
    std::vector<Fired> fired_;
    NotificationScheduler scheduler_{
        clock_, alarm_, [this](NotificationRequest request) {
            fired_.push_back({request.identifier, request.body, clock_.now()});
        }};
};

TEST_F(Scheduled, FiresAtTheExactInstantAndNotTheSecondBefore) {
    scheduler_.add(reminder("a", 1100.5));
    clock_.advance(100.0);
    EXPECT_THAT(fired_, IsEmpty());
    clock_.advance(0.4999);
    EXPECT_THAT(fired_, IsEmpty());
    clock_.advance(0.0001);
    ASSERT_THAT(firedIdentifiers(), ElementsAre("a"));
    EXPECT_GE(fired_[0].at, 1100.5);
    EXPECT_THAT(scheduler_.pending(), IsEmpty());
}

TEST_F(Scheduled, ARequestAlreadyDueFiresOnALaterTurnNeverInsideAdd) {
    scheduler_.add(reminder("now", 1000.0));
    scheduler_.add(reminder("earlier", 970.0));
    EXPECT_THAT(fired_, IsEmpty());
    runUntilIdle();
    EXPECT_THAT(firedIdentifiers(), ElementsAre("earlier", "now"));
}

TEST_F(Scheduled, OnlyWhatIsMoreThanAMinuteOverdueAtFiringIsDropped) {
    struct Case {
        double lateBy;
        bool fires;
    };
    for (const Case c : {Case{0.0, true}, Case{59.0, true}, Case{60.0, true}, Case{60.5, false},
                         Case{3600.0, false}}) {
        SCOPED_TRACE(c.lateBy);
        fired_.clear();
        const double instant = clock_.now() + 10;
        scheduler_.add(reminder("a", instant));
        // The machine slept through the instant: the wall clock jumps.
        clock_.setNow(instant + c.lateBy);
        EXPECT_EQ(fired_.size(), c.fires ? 1u : 0u);
        EXPECT_THAT(scheduler_.pending(), IsEmpty());
    }
}

TEST_F(Scheduled, SeveralDueAtOnceFireInInstantOrderAndTheRestWaits) {
    scheduler_.add(reminder("c", 1030));
    scheduler_.add(reminder("a", 1010));
    scheduler_.add(reminder("later", 2000));
    scheduler_.add(reminder("b", 1020));
    clock_.setNow(1040);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("a", "b", "c"));
    ASSERT_EQ(scheduler_.pending().size(), 1u);
    clock_.advance(960);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("a", "b", "c", "later"));
}

TEST_F(Scheduled, AReplacementFiresOnlyTheNewRequestAtItsNewInstant) {
    scheduler_.add(reminder("a", 1100, "old"));
    scheduler_.add(reminder("b", 1050));
    scheduler_.add(reminder("a", 1200, "new"));
    EXPECT_THAT(scheduler_.pending().front().body, "new") << "the replacement keeps its place";
    clock_.advance(150);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("b"));
    clock_.advance(50);
    ASSERT_THAT(firedIdentifiers(), ElementsAre("b", "a"));
    EXPECT_EQ(fired_[1].body, "new");
    EXPECT_EQ(fired_[1].at, 1200);
    // Moved earlier, the alarm follows too.
    scheduler_.add(reminder("c", 1500));
    scheduler_.add(reminder("c", 1250));
    clock_.advance(50);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("b", "a", "c"));
}

TEST_F(Scheduled, RemovedRequestsNeverFire) {
    scheduler_.add(reminder("a", 1010));
    scheduler_.add(reminder("b", 1020));
    scheduler_.add(reminder("c", 1030));
    scheduler_.remove({"a", "unknown"});
    clock_.advance(25);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("b"));
    scheduler_.removeAll();
    clock_.advance(100);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("b"));
    EXPECT_EQ(clock_.pendingSleeps(), 0u);
}

TEST_F(Scheduled, FollowsTheWallClockWhenItIsSet) {
    scheduler_.add(reminder("a", 1100));
    clock_.setNow(500); // set back: the instant is further away now
    clock_.advance(590);
    EXPECT_THAT(fired_, IsEmpty());
    clock_.advance(10);
    EXPECT_THAT(firedIdentifiers(), ElementsAre("a"));
}

} // namespace
