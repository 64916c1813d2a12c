#include "storage/AccountSession.h"

#include "core/Versioned.h"
#include "platform/storage/LocalIdentityTokenSource.h"
#include "platform/storage/LocalUserDefaults.h"

#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using Registry = std::vector<AccountIdentityEntry>;

struct AccountSessionFixture : ::testing::Test {
    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalIdentityTokenSource tokens;
    AccountIdentityStore store{defaults, tokens};

    Registry registry() const {
        const auto stored = defaults.bytes(AccountIdentityStore::registryKey);
        if (!stored)
            return {};
        return DewlightCore::Json::decode<DewlightCore::Versioned<Registry>>(
                   DewlightCore::Json::parse(stored->toStdString()))
            .value();
    }
};

TEST_F(AccountSessionFixture, WithoutCloudTheLocalMarkerIsMadeOnceAndKept) {
    const auto first = store.current();
    EXPECT_FALSE(first.cloudAvailable);
    EXPECT_FALSE(first.failed);
    EXPECT_EQ(first.id.size(), 36u);
    EXPECT_EQ(first.id, QString::fromStdString(first.id).toUpper().toStdString());
    EXPECT_EQ(defaults.text(AccountIdentityStore::localKey), first.id);
    EXPECT_EQ(store.current(), first);
    EXPECT_FALSE(defaults.bytes(AccountIdentityStore::registryKey));
}

TEST_F(AccountSessionFixture, EachIdentityKeepsItsMarkerAcrossSwitchesAndLaunches) {
    tokens.setToken("token-a");
    const auto a = store.current();
    tokens.setToken("token-b");
    const auto b = store.current();
    tokens.setToken("token-a");
    const auto aAgain = store.current();

    EXPECT_TRUE(a.cloudAvailable);
    EXPECT_NE(a.id, b.id);
    EXPECT_EQ(aAgain, a);
    EXPECT_EQ(registry().size(), 2u);

    AccountIdentityStore relaunched{defaults, tokens};
    EXPECT_EQ(relaunched.current(), a);
    EXPECT_EQ(registry().size(), 2u);
}

TEST_F(AccountSessionFixture, DamagedRegistryFailsAndIsNeverOverwritten) {
    for (const QByteArray& damaged :
         {QByteArray("{not json"), QByteArray(R"({"version":2,"value":[]})"),
          QByteArray(R"({"version":1,"value":[{"marker":"M"}]})"),
          QByteArray(R"({"version":1,"value":[{"archive":"%%%","marker":"M"}]})")}) {
        defaults.setBytes(AccountIdentityStore::registryKey, damaged);
        tokens.setToken("token-a");
        EXPECT_EQ(store.current(), (AccountSession{"unavailable", false, true})) << damaged.data();
        EXPECT_EQ(defaults.bytes(AccountIdentityStore::registryKey), damaged);
    }
}

TEST_F(AccountSessionFixture, UnreadableEntriesAreSkippedAndKept) {
    const Registry unreadable{{QByteArray("not an archive"), "MARKER-1"},
                              {QByteArray(R"({"kind":"other"})"), "MARKER-2"}};
    defaults.setBytes(
        AccountIdentityStore::registryKey,
        QByteArray::fromStdString(DewlightCore::Json::serialize(
            DewlightCore::Json::encode(DewlightCore::Versioned<Registry>(unreadable)))));
    tokens.setToken("token-a");
    const auto session = store.current();
    EXPECT_TRUE(session.cloudAvailable);
    const auto entries = registry();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], unreadable[0]);
    EXPECT_EQ(entries[1], unreadable[1]);
    EXPECT_EQ(entries[2].marker, session.id);
}

TEST_F(AccountSessionFixture, TokenThatCannotBeArchivedFailsAndWritesNothing) {
    tokens.setToken("token-a");
    tokens.setArchivingFails(true);
    EXPECT_EQ(store.current(), (AccountSession{"unavailable", false, true}));
    EXPECT_TRUE(defaults.keys().empty());
}

TEST(JsonBytes, StandardPaddedBase64DecodedStrictly) {
    using DewlightCore::Json::decode;
    EXPECT_EQ(DewlightCore::Json::encode(QByteArray("\xfb\xff", 2)), "+/8=");
    EXPECT_EQ(decode<QByteArray>("+/8="), QByteArray("\xfb\xff", 2));
    for (const char* bad : {"+/8", "-_8=", "+/8=\n", "+/9="})
        EXPECT_THROW(decode<QByteArray>(bad), DewlightCore::DecodingError) << bad;
}

} // namespace
} // namespace DewlightStorage
