#include "ui/Animation.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(AnimationStore, ANewTargetMovesFromTheShownValue) {
    double now = 0;
    AnimationStore store([&] { return now; });
    const auto linear = Animation::linear(1);
    EXPECT_EQ(store.value("a", AnimationStore::Channel::opacity, 0, linear), 0); // first sight
    EXPECT_EQ(store.value("a", AnimationStore::Channel::opacity, 1, linear), 0);
    EXPECT_TRUE(store.running());
    now = 0.5;
    EXPECT_DOUBLE_EQ(store.value("a", AnimationStore::Channel::opacity, 1, linear), 0.5);
    // Turned back half-way: it starts from where it is.
    EXPECT_DOUBLE_EQ(store.value("a", AnimationStore::Channel::opacity, 0, linear), 0.5);
    now = 1.0;
    EXPECT_DOUBLE_EQ(store.value("a", AnimationStore::Channel::opacity, 0, linear), 0.25);
    now = 2.0;
    EXPECT_EQ(store.value("a", AnimationStore::Channel::opacity, 0, linear), 0);
    EXPECT_FALSE(store.running());
}

TEST(AnimationStore, WithoutAnAnimationTheTargetShowsAtOnce) {
    double now = 0;
    AnimationStore store([&] { return now; });
    store.value("a", AnimationStore::Channel::scale, 1, Animation::linear(1));
    EXPECT_EQ(store.value("a", AnimationStore::Channel::scale, 2, std::nullopt), 2);
    EXPECT_FALSE(store.running());
}

TEST(AnimationStore, APulseRunsOnlyWhenItsTriggerChanges) {
    double now = 0;
    AnimationStore store([&] { return now; });
    const auto curve = Animation::linear(1);
    EXPECT_EQ(store.pulse("drops", 4, curve), 0); // first sight: no bounce
    now = 0.5;
    EXPECT_EQ(store.pulse("drops", 4, curve), 0);
    EXPECT_EQ(store.pulse("drops", 5, curve), 0); // starts now
    now = 1.0;
    EXPECT_NEAR(store.pulse("drops", 5, curve), 1.0, 1e-9);
    now = 1.6;
    EXPECT_EQ(store.pulse("drops", 5, curve), 0);
}

TEST(AnimationStore, ForgetsIdentitiesThatLeft) {
    double now = 0;
    AnimationStore store([&] { return now; });
    store.value("gone", AnimationStore::Channel::opacity, 0, Animation::linear(1));
    store.value("gone", AnimationStore::Channel::opacity, 1, Animation::linear(1));
    store.retain([](const QString& id) { return id != "gone"; });
    EXPECT_FALSE(store.running());
    // Seen afresh: no transition from the old value.
    EXPECT_EQ(store.value("gone", AnimationStore::Channel::opacity, 1, Animation::linear(1)), 1);
}

TEST(Animation, ACriticallyDampedSpringSettlesWithoutOvershoot) {
    const Animation spring = Animation::spring(0.5, 1.0);
    double last = 0;
    for (double t = 0; t <= spring.totalDuration() + 0.1; t += 0.01) {
        const double p = spring.progress(t);
        EXPECT_GE(p, last - 1e-12);
        EXPECT_LE(p, 1.0);
        last = p;
    }
    EXPECT_EQ(last, 1.0);
}

} // namespace
