#include "storage/ScopedPreferences.h"

#include "OpenFence.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"
#include "storage/DefaultsPreferenceStorage.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using DewlightPlatform::KeyValueStoreChange;
using DewlightPlatform::KeyValueStoreChangeReason;
using KestraPreferences::DefaultsPreferenceStorage;
using KestraPreferences::PreferenceCloudIssue;
using Keys = std::set<std::string>;

void settle() {
    QCoreApplication::processEvents();
}

TEST(ScopedPreferenceStorage, JoinsPrefixAndKeyAsTheyAre) {
    DewlightPlatform::LocalUserDefaults defaults;
    ScopedPreferenceStorage storage(std::make_shared<DefaultsPreferenceStorage>(defaults), "P.");
    storage.set("v", "k");
    EXPECT_EQ(defaults.keys(), std::vector<std::string>{"P.k"});
    defaults.setBytes("P.other", "w");
    EXPECT_EQ(storage.data("other"), QByteArray("w"));
    EXPECT_EQ(storage.data("P.other"), std::nullopt);
    storage.remove("k");
    EXPECT_EQ(defaults.keys(), std::vector<std::string>{"P.other"});
}

class ScopedPreferenceCloudTest : public ::testing::Test {
protected:
    std::unique_ptr<ScopedPreferenceCloud> make(bool enabled) {
        auto cloud = std::make_unique<ScopedPreferenceCloud>(store, "G.", enabled, fixture.fence);
        cloud->setOnExternalChange([this](const Keys& keys) { calls.push_back(keys); });
        return cloud;
    }
    void post(std::optional<KeyValueStoreChangeReason> reason, std::vector<std::string> keys) {
        store.post(KeyValueStoreChange::make(reason, std::move(keys)));
        settle();
    }

    OpenFence fixture;
    DewlightPlatform::LocalKeyValueHub hub;
    DewlightPlatform::LocalKeyValueStore& store = hub.addMachine("here", "A");
    std::vector<Keys> calls;
};

TEST_F(ScopedPreferenceCloudTest, DisabledCloudTouchesNothingWhateverTheFence) {
    store.set("G.k", "v");
    auto cloud = make(false);
    EXPECT_EQ(cloud->data("k"), std::nullopt);
    cloud->set("w", "n");
    cloud->remove("k");
    cloud->synchronize();
    EXPECT_EQ(store.keys(), std::vector<std::string>{"G.k"});
    EXPECT_EQ(store.synchronizations(), 0);
    EXPECT_EQ(cloud->issue(), PreferenceCloudIssue::accountUnavailable);
    // Not registered: notices never reach it.
    post(KeyValueStoreChangeReason::serverChange, {"G.k"});
    EXPECT_TRUE(calls.empty());
}

TEST_F(ScopedPreferenceCloudTest, ClosedFenceStopsReadsAndWrites) {
    auto cloud = make(true);
    cloud->set("v", "k");
    EXPECT_EQ(store.data("G.k"), QByteArray("v"));
    EXPECT_EQ(cloud->data("k"), QByteArray("v"));
    EXPECT_EQ(cloud->issue(), std::nullopt);

    fixture.close();
    EXPECT_EQ(cloud->data("k"), std::nullopt);
    cloud->set("w", "k");
    cloud->remove("k");
    cloud->synchronize();
    EXPECT_EQ(store.data("G.k"), QByteArray("v"));
    EXPECT_EQ(store.synchronizations(), 0);
    EXPECT_EQ(cloud->issue(), PreferenceCloudIssue::accountChanged);

    fixture.open();
    cloud->remove("k");
    cloud->synchronize();
    EXPECT_EQ(store.data("G.k"), std::nullopt);
    EXPECT_EQ(store.synchronizations(), 1);
}

TEST_F(ScopedPreferenceCloudTest, QuotaNoticeSetsAndALaterNoticeClearsTheIssue) {
    auto cloud = make(true);
    post(KeyValueStoreChangeReason::quotaViolation, {});
    EXPECT_EQ(cloud->issue(), PreferenceCloudIssue::quotaExceeded);
    // A closed fence answers before the recorded quota.
    fixture.close();
    EXPECT_EQ(cloud->issue(), PreferenceCloudIssue::accountChanged);
    fixture.open();
    post(KeyValueStoreChangeReason::serverChange, {});
    EXPECT_EQ(cloud->issue(), std::nullopt);
    // The account change is the fence's business, not recorded here.
    post(KeyValueStoreChangeReason::accountChange, {});
    EXPECT_EQ(cloud->issue(), std::nullopt);
}

TEST_F(ScopedPreferenceCloudTest, PassesOnlyItsOwnKeysWithoutThePrefix) {
    auto cloud = make(true);
    store.post(KeyValueStoreChange::make(
        KeyValueStoreChangeReason::serverChange,
        std::vector<std::string>{"G.a", "roziv.v1.gX", "G.b", "H.c", "G.a"}));
    EXPECT_TRUE(calls.empty());
    settle();
    post(KeyValueStoreChangeReason::serverChange, {"roziv.v1.gX", "Gx"});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], (Keys{"a", "b"}));
    // Nothing of its own: still called, with an empty set.
    EXPECT_EQ(calls[1], Keys{});
}

TEST_F(ScopedPreferenceCloudTest, DoesNothingOnceGone) {
    auto cloud = make(true);
    store.post(KeyValueStoreChange::make(KeyValueStoreChangeReason::serverChange,
                                         std::vector<std::string>{"G.a"}));
    cloud.reset();
    settle();
    EXPECT_TRUE(calls.empty());
}

TEST(LocalPreferenceCloud, StoresAndReportsNothing) {
    LocalPreferenceCloud cloud;
    cloud.set("v", "k");
    EXPECT_EQ(cloud.data("k"), std::nullopt);
    EXPECT_EQ(cloud.issue(), std::nullopt);
}

} // namespace
} // namespace DewlightStorage
