#include "platform/storage/LocalKeyValueHub.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace DewlightPlatform;

namespace {

using Keys = std::vector<std::string>;

// Every notice one store sent, in order.
struct Notices {
    explicit Notices(KeyValueStore& store) {
        QObject::connect(&store, &KeyValueStore::externalChange,
                         [this](const KeyValueStoreChange& change) { seen.push_back(change); });
    }
    std::vector<KeyValueStoreChange> seen;
};

TEST(KeyValueStoreChange, ReasonCountsOnlyWhenItIsAnInteger) {
    struct Case {
        const char* name;
        QVariant reason;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {"int", QVariant(3), 3},
        {"long long", QVariant::fromValue(qint64(2)), 2},
        {"unsigned", QVariant::fromValue(quint32(1)), 1},
        {"absent", QVariant(), std::nullopt},
        {"text", QVariant(QStringLiteral("3")), std::nullopt},
        {"floating", QVariant(3.0), std::nullopt},
        {"boolean", QVariant(true), std::nullopt},
        {"unsigned beyond int64", QVariant::fromValue(quint64(1) << 63), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyValueStoreChange change;
        change.reason = c.reason;
        EXPECT_EQ(change.integerReason(), c.expected);
    }
}

TEST(KeyValueStoreChange, KeysCountOnlyWhenTheyAreAListOfTexts) {
    struct Case {
        const char* name;
        QVariant keys;
        std::optional<Keys> expected;
    };
    const Case cases[] = {
        {"text list", QStringList{"a", "b"}, Keys{"a", "b"}},
        {"list of texts", QVariantList{QStringLiteral("a")}, Keys{"a"}},
        {"empty list", QVariantList{}, Keys{}},
        {"mixed list", QVariantList{QStringLiteral("a"), 1}, std::nullopt},
        {"one text", QVariant(QStringLiteral("a")), std::nullopt},
        {"absent", QVariant(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyValueStoreChange change;
        change.changedKeys = c.keys;
        EXPECT_EQ(change.keyList(), c.expected);
    }
}

class LocalKeyValueHubTest : public ::testing::Test {
protected:
    LocalKeyValueHub hub;
    LocalKeyValueStore& a = hub.addMachine("a", "account-1");
    LocalKeyValueStore& b = hub.addMachine("b", "account-1");
    Notices atA{a};
    Notices atB{b};
};

TEST_F(LocalKeyValueHubTest, DeliveryIsOneNoticeWithExactlyTheChangedKeys) {
    b.set("gone", "x");
    hub.deliver("b", "a");
    atA.seen.clear();

    a.set("k1", "1");
    a.set("k2", "2");
    a.set("k2", "2b");
    a.set("same", "s");
    b.set("same", "s"); // already equal at b: not a change there
    a.remove("gone");
    EXPECT_TRUE(atA.seen.empty()) << "own writes never notify";

    EXPECT_EQ(hub.deliver("a", "b"), (Keys{"gone", "k1", "k2"}));
    ASSERT_EQ(atB.seen.size(), 1u);
    EXPECT_EQ(atB.seen[0].integerReason(), 0);
    EXPECT_EQ(atB.seen[0].keyList(), (Keys{"gone", "k1", "k2"}));
    EXPECT_EQ(b.data("k2"), QByteArray("2b"));
    EXPECT_FALSE(b.data("gone"));
    EXPECT_EQ(b.keys(), (Keys{"k1", "k2", "same"}));

    EXPECT_TRUE(hub.deliver("a", "b").empty()) << "nothing is delivered twice";
    EXPECT_EQ(atB.seen.size(), 1u);
    EXPECT_TRUE(atA.seen.empty());
}

TEST_F(LocalKeyValueHubTest, AnIdenticalWriteIsNoChange) {
    a.set("k", "v");
    hub.deliver("a", "b");
    a.set("k", "v");
    EXPECT_TRUE(hub.deliver("a", "b").empty());
    EXPECT_EQ(atB.seen.size(), 1u);
}

TEST_F(LocalKeyValueHubTest, ALateMachineReceivesWhatTheOthersHold) {
    a.set("k", "v");
    auto& c = hub.addMachine("c", "account-1");
    Notices atC(c);
    EXPECT_EQ(hub.deliver("a", "c"), Keys{"k"});
    EXPECT_EQ(c.data("k"), QByteArray("v"));
}

TEST_F(LocalKeyValueHubTest, AccountsKeepTheirOwnContents) {
    a.set("k", "account-1");
    hub.switchAccount("b", "account-2");
    ASSERT_EQ(atB.seen.size(), 1u);
    EXPECT_EQ(atB.seen[0].integerReason(), 3);
    EXPECT_TRUE(hub.deliver("a", "b").empty()) << "no delivery across accounts";
    EXPECT_TRUE(b.keys().empty());
    b.set("k", "account-2");

    hub.switchAccount("b", "account-1");
    ASSERT_EQ(atB.seen.size(), 2u);
    EXPECT_EQ(atB.seen[1].integerReason(), 3);
    EXPECT_EQ(atB.seen[1].keyList(), Keys{"k"});
    EXPECT_FALSE(b.data("k")) << "account-1's contents at b do not have k yet";
    EXPECT_EQ(hub.deliver("a", "b"), Keys{"k"}) << "held back until both share the account";
    EXPECT_EQ(b.data("k"), QByteArray("account-1"));

    hub.switchAccount("b", "account-1");
    EXPECT_EQ(atB.seen.size(), 3u) << "switching to the same account is no change";
}

TEST_F(LocalKeyValueHubTest, SignedOutMachinesShareNothing) {
    auto& c = hub.addMachine("c", std::nullopt);
    auto& d = hub.addMachine("d", std::nullopt);
    c.set("k", "v");
    EXPECT_EQ(c.data("k"), QByteArray("v")) << "a signed-out store still keeps its values";
    EXPECT_TRUE(hub.deliver("c", "d").empty());
    EXPECT_FALSE(d.data("k"));
}

TEST_F(LocalKeyValueHubTest, EnteringOverQuotaPostsOneNotice) {
    hub.setQuota({.totalBytes = std::nullopt, .keyCount = 2});
    a.set("k1", "1");
    a.set("k2", "2");
    a.set("k3", "3");
    a.set("k4", "4");
    EXPECT_FALSE(a.data("k3"));
    EXPECT_TRUE(a.overQuota());
    ASSERT_EQ(atA.seen.size(), 1u);
    EXPECT_EQ(atA.seen[0].integerReason(), 2);
    a.set("k2", "replaced"); // replacing a key stays within the count
    EXPECT_EQ(a.data("k2"), QByteArray("replaced"));
    a.set("k3", "3");
    EXPECT_EQ(atA.seen.size(), 2u) << "a new violation after a good write is reported again";

    hub.setQuota({.totalBytes = 6, .keyCount = std::nullopt});
    a.remove("k2");
    a.set("k1", "12345"); // 2 + 5 bytes
    EXPECT_EQ(a.data("k1"), QByteArray("1"));
    a.set("k1", "1234");
    EXPECT_EQ(a.data("k1"), QByteArray("1234"));
}

TEST_F(LocalKeyValueHubTest, AnyNoticeCanBeInjectedAndSynchronizeIsCounted) {
    KeyValueStoreChange odd;
    odd.reason = QStringLiteral("soon");
    a.post(odd);
    ASSERT_EQ(atA.seen.size(), 1u);
    EXPECT_FALSE(atA.seen[0].integerReason());
    a.synchronize();
    a.synchronize();
    EXPECT_EQ(a.synchronizations(), 2);
}

} // namespace
