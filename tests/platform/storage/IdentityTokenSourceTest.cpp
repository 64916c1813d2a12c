#include "platform/storage/LocalIdentityTokenSource.h"

#include <gtest/gtest.h>
#include <string_view>

using namespace DewlightPlatform;

namespace {

TEST(IdentityTokenArchive, RoundTripsAndComparesByText) {
    LocalIdentityTokenSource source;
    IdentityToken token("account-7F3A");
    auto archive = source.archive(token);
    ASSERT_TRUE(archive);
    auto back = source.unarchive(*archive);
    ASSERT_TRUE(std::holds_alternative<IdentityToken>(back));
    EXPECT_EQ(std::get<IdentityToken>(back), token);
    EXPECT_NE(std::get<IdentityToken>(back), IdentityToken("account-7f3a"));
}

TEST(IdentityTokenArchive, DamagedOrForeignArchivesAreRefused) {
    struct Case {
        const char* name;
        std::string_view archive;
        IdentityUnarchiveFailure failure;
    };
    using namespace std::literals;
    const Case cases[] = {
        {"not JSON", "\x01\x02 garbage", IdentityUnarchiveFailure::cannotOpen},
        {"empty", "", IdentityUnarchiveFailure::cannotOpen},
        {"an archive with a NUL byte and more after it",
         "{\"kind\":\"dewlight.identity-token\",\"version\":1,\"token\":\"t\"}\0x"sv,
         IdentityUnarchiveFailure::cannotOpen},
        {"not an object", R"(["dewlight.identity-token",1,"t"])",
         IdentityUnarchiveFailure::cannotOpen},
        {"newer version", R"({"kind":"dewlight.identity-token","version":2,"token":"t"})",
         IdentityUnarchiveFailure::cannotOpen},
        {"version as text", R"({"kind":"dewlight.identity-token","version":"1","token":"t"})",
         IdentityUnarchiveFailure::cannotOpen},
        {"other kind", R"({"kind":"dewlight.other","version":1,"token":"t"})",
         IdentityUnarchiveFailure::otherKind},
        {"no token", R"({"kind":"dewlight.identity-token","version":1})",
         IdentityUnarchiveFailure::otherKind},
        {"token not text", R"({"kind":"dewlight.identity-token","version":1,"token":7})",
         IdentityUnarchiveFailure::otherKind},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = IdentityTokenArchive::decode(
            QByteArray(c.archive.data(), static_cast<qsizetype>(c.archive.size())));
        ASSERT_TRUE(std::holds_alternative<IdentityUnarchiveFailure>(result));
        EXPECT_EQ(std::get<IdentityUnarchiveFailure>(result), c.failure);
    }
}

TEST(IdentityTokenArchive, ATokenThatIsNotUtf8CannotBeArchived) {
    EXPECT_FALSE(IdentityTokenArchive::encode(IdentityToken("\xff\xfe")));
}

TEST(LocalIdentityTokenSource, SignalsOnlyRealChanges) {
    LocalIdentityTokenSource source("A");
    int changes = 0;
    QObject::connect(&source, &IdentityTokenSource::identityChanged, [&] { ++changes; });
    source.setToken("A");
    EXPECT_EQ(changes, 0);
    source.setToken("B");
    source.setToken(std::nullopt);
    source.setToken(std::nullopt);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(source.currentToken());
    source.setToken("A");
    EXPECT_EQ(source.currentToken(), IdentityToken("A"));

    source.setArchivingFails(true);
    EXPECT_FALSE(source.archive(IdentityToken("A")));
}

} // namespace
