#include "platform/instance/LocalInstanceChannel.h"
#include "platform/instance/SingleInstance.h"
#include "platform/storage/InstanceLock.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using DewlightPlatform::InstanceDecision;
using DewlightPlatform::InstanceLock;
using DewlightPlatform::LocalInstanceHub;
using DewlightPlatform::settleInstance;
using Kind = InstanceDecision::Kind;

class SingleInstanceTest : public ::testing::Test {
protected:
    std::filesystem::path lockFile() const {
        return std::filesystem::path(folder.path().toStdString()) / "Dewlight" / "dewlight.lock";
    }

    QTemporaryDir folder;
    LocalInstanceHub hub;
    int shown = 0;
};

TEST_F(SingleInstanceTest, ASecondLaunchShowsTheFirstOnesPanelAndEndsQuietly) {
    const auto first = hub.channel(100);
    InstanceLock firstLock(lockFile());
    EXPECT_EQ(settleInstance(*first, firstLock, [this] { ++shown; }).kind, Kind::run);

    const auto second = hub.channel(200);
    InstanceLock secondLock(lockFile());
    const InstanceDecision decision = settleInstance(*second, secondLock, [] {});
    EXPECT_EQ(decision.kind, Kind::handedOver);
    EXPECT_TRUE(decision.message.empty());
    EXPECT_EQ(shown, 1);
}

TEST_F(SingleInstanceTest, AFirstInstanceThatDoesNotAnswerIsReportedInOneLine) {
    const auto first = hub.channel(100);
    InstanceLock firstLock(lockFile());
    ASSERT_EQ(settleInstance(*first, firstLock, [] {}).kind, Kind::run);
    hub.state().answering = false;

    const auto second = hub.channel(200);
    InstanceLock secondLock(lockFile());
    const InstanceDecision decision =
        settleInstance(*second, secondLock, [] {}, std::chrono::milliseconds(2500));
    EXPECT_EQ(decision.kind, Kind::refused);
    EXPECT_EQ(decision.message, "Dewlight is already running (process 100) but did not answer "
                                "within 2.5 s; end that process or try again.");
}

TEST_F(SingleInstanceTest, WithoutABusTheLockFileKeepsASecondApplicationOffTheData) {
    hub.state().busAvailable = false;
    const auto first = hub.channel(100);
    InstanceLock firstLock(lockFile());
    ASSERT_EQ(settleInstance(*first, firstLock, [] {}).kind, Kind::run);

    const auto second = hub.channel(200);
    InstanceLock secondLock(lockFile());
    const InstanceDecision decision = settleInstance(*second, secondLock, [] {});
    EXPECT_EQ(decision.kind, Kind::refused);
    // The holder is this test's own process: the lock records the real process id.
    EXPECT_EQ(decision.message, "Dewlight is already running (process " +
                                    std::to_string(QCoreApplication::applicationPid()) +
                                    "); without a session bus it cannot be asked to show its "
                                    "panel.");
}

TEST_F(SingleInstanceTest, TheLockStillGuardsTheDataWhenTheBusNameIsFree) {
    // Another session of the same user (another bus) holds the data folder.
    InstanceLock other(lockFile());
    ASSERT_EQ(other.acquire(), InstanceLock::Result::acquired);
    const auto channel = hub.channel(200);
    InstanceLock lock(lockFile());
    const InstanceDecision decision = settleInstance(*channel, lock, [] {});
    EXPECT_EQ(decision.kind, Kind::refused);
    EXPECT_NE(decision.message.find("in another session"), std::string::npos);
}

TEST_F(SingleInstanceTest, AHolderThatEndedDuringTheHandoverLeavesTheClaimToTheLaunch) {
    const auto first = hub.channel(100);
    auto firstLock = std::make_unique<InstanceLock>(lockFile());
    ASSERT_EQ(settleInstance(*first, *firstLock, [] {}).kind, Kind::run);

    // The first one ends between the second's claim and its call.
    struct EndingChannel final : DewlightPlatform::InstanceChannel {
        LocalInstanceHub& hub;
        std::unique_ptr<InstanceLock>& firstLock;
        std::unique_ptr<InstanceChannel> inner = hub.channel(200);
        EndingChannel(LocalInstanceHub& h, std::unique_ptr<InstanceLock>& l)
            : hub(h), firstLock(l) {}
        Claim claim(std::function<void()> show) override { return inner->claim(std::move(show)); }
        Handover handOver(std::chrono::milliseconds timeout) override {
            hub.release();
            firstLock.reset();
            return inner->handOver(timeout);
        }
        std::optional<qint64> holder() const override { return inner->holder(); }
    } second(hub, firstLock);
    InstanceLock secondLock(lockFile());
    EXPECT_EQ(settleInstance(second, secondLock, [] {}).kind, Kind::run);
    EXPECT_EQ(hub.state().holder, 200);
}

} // namespace
