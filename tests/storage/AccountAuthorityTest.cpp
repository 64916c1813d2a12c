#include "platform/storage/LocalKeyValueHub.h"
#include "storage/AccountBoundary.h"
#include "storage/AccountSystemAuthority.h"

#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using State = AccountAuthority::State;
using Active = AccountAuthority::Active;
using AwaitingIdentity = AccountAuthority::AwaitingIdentity;
using AwaitingCloud = AccountAuthority::AwaitingCloud;
using Idle = AccountAuthority::Idle;
using Marker = std::optional<std::string>;

enum class Report { adopt, observe, accountChanged };

// Drives an authority into `start` through its public reports.
AccountAuthority authorityIn(const State& start) {
    AccountAuthority authority;
    std::visit(
        [&](const auto& state) {
            using S = std::decay_t<decltype(state)>;
            if constexpr (std::is_same_v<S, Active>) {
                authority.adopt(state.marker);
            } else if constexpr (std::is_same_v<S, AwaitingIdentity>) {
                authority.adopt(state.marker);
                authority.accountChanged();
            } else if constexpr (std::is_same_v<S, AwaitingCloud>) {
                authority.adopt(state.previous);
                authority.observe(state.next);
                if (!state.next)
                    return;
            }
        },
        start);
    EXPECT_EQ(authority.state(), start);
    return authority;
}

struct Transition {
    State start;
    Report report;
    Marker identity;
    State expected;
};

class AccountAuthorityTransitions : public ::testing::TestWithParam<Transition> {};

TEST_P(AccountAuthorityTransitions, FollowTheTable) {
    const auto& step = GetParam();
    auto authority = authorityIn(step.start);
    switch (step.report) {
    case Report::adopt:
        authority.adopt(step.identity);
        break;
    case Report::observe:
        authority.observe(step.identity);
        break;
    case Report::accountChanged:
        authority.accountChanged();
        break;
    }
    EXPECT_EQ(authority.state(), step.expected);
}

const Marker none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    AllStates, AccountAuthorityTransitions,
    ::testing::Values(
        Transition{Idle{}, Report::adopt, none, Idle{}},
        Transition{Idle{}, Report::adopt, "A", Active{"A"}},
        Transition{Idle{}, Report::observe, none, Idle{}},
        Transition{Idle{}, Report::observe, "A", Active{"A"}},
        Transition{Idle{}, Report::accountChanged, none, Idle{}},

        Transition{Active{"A"}, Report::adopt, none, Active{"A"}},
        Transition{Active{"A"}, Report::adopt, "A", Active{"A"}},
        Transition{Active{"A"}, Report::adopt, "B", AwaitingCloud{"A", "B"}},
        Transition{Active{"A"}, Report::observe, "A", Active{"A"}},
        Transition{Active{"A"}, Report::observe, none, AwaitingCloud{"A", none}},
        Transition{Active{"A"}, Report::observe, "B", AwaitingCloud{"A", "B"}},
        Transition{Active{"A"}, Report::accountChanged, none, AwaitingIdentity{"A"}},

        Transition{AwaitingIdentity{"A"}, Report::adopt, none, AwaitingIdentity{"A"}},
        Transition{AwaitingIdentity{"A"}, Report::adopt, "A", AwaitingIdentity{"A"}},
        Transition{AwaitingIdentity{"A"}, Report::adopt, "B", Active{"B"}},
        Transition{AwaitingIdentity{"A"}, Report::observe, none, Idle{}},
        Transition{AwaitingIdentity{"A"}, Report::observe, "A", Active{"A"}},
        Transition{AwaitingIdentity{"A"}, Report::observe, "B", Active{"B"}},
        Transition{AwaitingIdentity{"A"}, Report::accountChanged, none, AwaitingIdentity{"A"}},

        Transition{AwaitingCloud{"A", "B"}, Report::adopt, "C", AwaitingCloud{"A", "B"}},
        Transition{AwaitingCloud{"A", "B"}, Report::adopt, none, AwaitingCloud{"A", "B"}},
        Transition{AwaitingCloud{"A", "B"}, Report::observe, "C", AwaitingCloud{"A", "C"}},
        Transition{AwaitingCloud{"A", "B"}, Report::observe, none, AwaitingCloud{"A", none}},
        Transition{AwaitingCloud{"A", "B"}, Report::accountChanged, none, Active{"B"}},
        Transition{AwaitingCloud{"A", none}, Report::accountChanged, none, Idle{}}));

TEST(AccountAuthority, NewMarkerNeedsBothReportsInEitherOrder) {
    AccountAuthority identityFirst = authorityIn(Active{"A"});
    identityFirst.observe("B");
    EXPECT_EQ(identityFirst.state(), State(AwaitingCloud{"A", "B"}));
    identityFirst.accountChanged();
    EXPECT_EQ(identityFirst.state(), State(Active{"B"}));

    AccountAuthority cloudFirst = authorityIn(Active{"A"});
    cloudFirst.accountChanged();
    cloudFirst.observe("B");
    EXPECT_EQ(cloudFirst.state(), State(Active{"B"}));
}

struct FenceFixture : ::testing::Test {
    AccountAuthority authority;
    Marker signedIn = "A";
    AccountBoundary boundary{"A", [this] { return signedIn; }, authority};
    AccountCloudFence fence{boundary};
};

TEST_F(FenceFixture, OpenOnlyWhileReadyActiveAndSignedInAsExpected) {
    EXPECT_FALSE(fence.isOpen()) << "idle authority";
    authority.adopt("A");
    EXPECT_TRUE(fence.isOpen());

    signedIn = std::nullopt;
    EXPECT_FALSE(fence.isOpen()) << "the identity is read anew on every question";
    signedIn = "A";
    EXPECT_TRUE(fence.isOpen());

    authority.observe("B");
    EXPECT_FALSE(fence.isOpen()) << "waiting for the cloud to confirm a switch";
    AccountBoundary other{"B", [] { return Marker("B"); }, authority};
    EXPECT_FALSE(AccountCloudFence(other).isOpen());
    authority.accountChanged();
    EXPECT_TRUE(AccountCloudFence(other).isOpen());
    EXPECT_FALSE(fence.isOpen());
}

TEST_F(FenceFixture, SuspendedBoundaryNeverReopens) {
    authority.adopt("A");
    boundary.suspend();
    EXPECT_FALSE(fence.isOpen());
    authority.observe("A");
    authority.adopt("A");
    EXPECT_FALSE(fence.isOpen());
}

TEST(AccountSystemAuthority, OnlyTheIntegerAccountChangeReasonCounts) {
    using DewlightPlatform::KeyValueStoreChange;
    using DewlightPlatform::KeyValueStoreChangeReason;
    DewlightPlatform::LocalKeyValueHub hub;
    auto& store = hub.addMachine("mac", "account");
    AccountSystemAuthority system(store);
    system.value().adopt("A");

    for (auto reason :
         {KeyValueStoreChangeReason::serverChange, KeyValueStoreChangeReason::initialSync,
          KeyValueStoreChangeReason::quotaViolation}) {
        emit store.externalChange(KeyValueStoreChange::make(reason, std::nullopt));
    }
    emit store.externalChange(KeyValueStoreChange::make(std::nullopt, std::nullopt));
    emit store.externalChange(KeyValueStoreChange{QVariant(QStringLiteral("3")), {}});
    emit store.externalChange(KeyValueStoreChange{QVariant(3.0), {}});
    EXPECT_EQ(system.value().state(), State(Active{"A"}));

    emit store.externalChange(
        KeyValueStoreChange::make(KeyValueStoreChangeReason::accountChange, std::nullopt));
    EXPECT_EQ(system.value().state(), State(AwaitingIdentity{"A"}));
}

TEST(AccountSystemAuthority, StopsListeningWhenGone) {
    DewlightPlatform::LocalKeyValueHub hub;
    auto& store = hub.addMachine("mac", "account");
    { AccountSystemAuthority system(store); }
    // No connection outlives the authority: disconnecting everything finds nothing to break.
    EXPECT_FALSE(QObject::disconnect(&store, &DewlightPlatform::KeyValueStore::externalChange,
                                     nullptr, nullptr));
    // A change after it is gone reaches nothing (a sanitizer build would report a use of the
    // freed authority).
    emit store.externalChange(DewlightPlatform::KeyValueStoreChange::make(
        DewlightPlatform::KeyValueStoreChangeReason::accountChange, std::nullopt));
}

} // namespace
} // namespace DewlightStorage
