#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"
#include "storage/DefaultsPreferenceStorage.h"
#include "storage/UbiquitousPreferenceStorage.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace DewlightStorage::KestraPreferences {
namespace {

using DewlightPlatform::KeyValueStoreChange;
using DewlightPlatform::KeyValueStoreChangeReason;
using Keys = std::set<std::string>;

TEST(DefaultsPreferenceStorage, KeepsBytesAndIgnoresOtherValues) {
    DewlightPlatform::LocalUserDefaults defaults;
    DefaultsPreferenceStorage storage(defaults);
    storage.set("payload", "k");
    EXPECT_EQ(defaults.bytes("k"), QByteArray("payload"));
    EXPECT_EQ(storage.data("k"), QByteArray("payload"));
    defaults.setText("text", "payload");
    EXPECT_EQ(storage.data("text"), std::nullopt);
    storage.remove("k");
    EXPECT_EQ(defaults.value("k"), std::nullopt);
}

TEST(PreferenceAccountIdentity, EqualsByKindAndMarker) {
    EXPECT_EQ(PreferenceAccountIdentity::account("M"), PreferenceAccountIdentity::account("M"));
    EXPECT_NE(PreferenceAccountIdentity::account("M"), PreferenceAccountIdentity::account("N"));
    EXPECT_NE(PreferenceAccountIdentity::unavailable(), PreferenceAccountIdentity::isolated());
    EXPECT_NE(PreferenceAccountIdentity::account(""), PreferenceAccountIdentity::unavailable());
}

class UbiquitousPreferenceStorageTest : public ::testing::Test {
protected:
    void settle() { QCoreApplication::processEvents(); }
    void post(std::optional<KeyValueStoreChangeReason> reason,
              std::optional<std::vector<std::string>> keys) {
        store.post(KeyValueStoreChange::make(reason, std::move(keys)));
    }

    DewlightPlatform::LocalKeyValueHub hub;
    DewlightPlatform::LocalKeyValueStore& store = hub.addMachine("here", "account");
    std::unique_ptr<UbiquitousPreferenceStorage> storage =
        std::make_unique<UbiquitousPreferenceStorage>(store);
    std::vector<Keys> calls;
    void listen() {
        storage->setOnExternalChange([this](const Keys& keys) { calls.push_back(keys); });
    }
};

TEST_F(UbiquitousPreferenceStorageTest, ReachesTheStore) {
    storage->set("v", "k");
    EXPECT_EQ(store.data("k"), QByteArray("v"));
    EXPECT_EQ(storage->data("k"), QByteArray("v"));
    storage->remove("k");
    EXPECT_EQ(store.data("k"), std::nullopt);
    storage->synchronize();
    EXPECT_EQ(store.synchronizations(), 1);
}

TEST_F(UbiquitousPreferenceStorageTest, ActsOnANoticeOneTurnLater) {
    listen();
    post(KeyValueStoreChangeReason::quotaViolation, std::vector<std::string>{"b", "a", "b"});
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(storage->issue(), std::nullopt);
    settle();
    EXPECT_EQ(storage->issue(), PreferenceCloudIssue::quotaExceeded);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (Keys{"a", "b"}));

    post(KeyValueStoreChangeReason::serverChange, std::vector<std::string>{"a"});
    settle();
    EXPECT_EQ(storage->issue(), std::nullopt);

    post(KeyValueStoreChangeReason::accountChange, std::nullopt);
    settle();
    EXPECT_EQ(storage->issue(), PreferenceCloudIssue::accountChanged);
}

TEST_F(UbiquitousPreferenceStorageTest, ReadsMissingOrMistypedEntriesAsNothing) {
    listen();
    post(KeyValueStoreChangeReason::quotaViolation, std::nullopt);
    settle();
    // No user info at all: an empty key set, and the issue cleared.
    store.post(KeyValueStoreChange{});
    settle();
    EXPECT_EQ(storage->issue(), std::nullopt);

    KeyValueStoreChange mistyped;
    mistyped.reason = QVariant(QString("2"));
    mistyped.changedKeys = QVariantList{QVariant(QString("a")), QVariant(3)};
    store.post(mistyped);
    settle();
    EXPECT_EQ(storage->issue(), std::nullopt);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1], Keys{});
    EXPECT_EQ(calls[2], Keys{});
}

TEST_F(UbiquitousPreferenceStorageTest, WithoutCallbackOnlyTheIssueMoves) {
    post(KeyValueStoreChangeReason::quotaViolation, std::vector<std::string>{"a"});
    settle();
    EXPECT_EQ(storage->issue(), PreferenceCloudIssue::quotaExceeded);
}

TEST_F(UbiquitousPreferenceStorageTest, DoesNothingOnceGone) {
    listen();
    post(KeyValueStoreChangeReason::serverChange, std::vector<std::string>{"a"});
    storage.reset();
    settle();
    post(KeyValueStoreChangeReason::serverChange, std::vector<std::string>{"a"});
    settle();
    EXPECT_TRUE(calls.empty());
}

} // namespace
} // namespace DewlightStorage::KestraPreferences
