#include "updates/UpdateManifest.h"

#include "updates/UpdateFailure.h"

#include <gtest/gtest.h>

namespace DewlightUpdates {
namespace {

std::optional<UpdateFailure> failureOf(std::string_view data) {
    try {
        UpdateManifest::decode(data);
        return std::nullopt;
    } catch (const UpdateFailureError& error) {
        return error.failure();
    }
}

std::map<std::string, std::string> namedVersions(std::string_view data) {
    std::map<std::string, std::string> named;
    for (const auto& [app, version] : UpdateManifest::decode(data).versions)
        named.emplace(app, version.description());
    return named;
}

// A manifest padded with spaces to exactly `size` bytes.
std::string manifestOfSize(std::size_t size) {
    std::string data = R"({"format":1,"apps":{"dewlight":"1.5"}})";
    data.resize(size, ' ');
    return data;
}

TEST(UpdateManifest, RefusesDocumentsOfTheWrongShape) {
    struct Case {
        std::string_view data;
        UpdateFailure failure;
    };
    const Case cases[] = {
        {"", UpdateFailure::unreadable},
        {"[]", UpdateFailure::unreadable},
        {"null", UpdateFailure::unreadable},
        {"{", UpdateFailure::unreadable},
        {"not json", UpdateFailure::unreadable},
        {R"({"format":1,"apps":{}} trailing)", UpdateFailure::unreadable},
        {R"({"format":"1","apps":{}})", UpdateFailure::unreadable},
        {R"({"format":1.0,"apps":{}})", UpdateFailure::unreadable},
        {R"({"format":true,"apps":{}})", UpdateFailure::unreadable},
        {R"({"format":18446744073709551615,"apps":{}})", UpdateFailure::unreadable},
        {R"({"apps":{}})", UpdateFailure::unreadable},
        {R"({"format":1})", UpdateFailure::unreadable},
        {R"({"format":1,"apps":[]})", UpdateFailure::unreadable},
        {R"({"format":1,"apps":null})", UpdateFailure::unreadable},
        {R"({"format":1,"apps":{"dewlight":"1.\xff"}})", UpdateFailure::unreadable},
        // The shape is checked before the format number.
        {R"({"format":2})", UpdateFailure::unreadable},
        {R"({"format":2,"apps":{}})", UpdateFailure::unknownFormat},
        {R"({"format":0,"apps":{}})", UpdateFailure::unknownFormat},
        {R"({"format":-1,"apps":{}})", UpdateFailure::unknownFormat},
        {R"({"format":9223372036854775807,"apps":{}})", UpdateFailure::unknownFormat},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failureOf(c.data), c.failure) << c.data;
}

TEST(UpdateManifest, KeepsOnlyEntriesThatNameAVersion) {
    EXPECT_TRUE(namedVersions(R"({"format":1,"apps":{}})").empty());
    EXPECT_EQ(namedVersions(R"({"format":1,"apps":{"dewlight":3,"a":"x","b":"2.0"}})"),
              (std::map<std::string, std::string>{{"b", "2.0"}}));
    EXPECT_EQ(namedVersions(R"({"apps":{"n":null,"o":{},"l":[],"t":true,"Dewlight":"1.02",)"
                            R"("dewlight":" 1.4"},"format":1,"extra":[1,2]})"),
              (std::map<std::string, std::string>{{"Dewlight", "1.02"}}));
}

TEST(UpdateManifest, DuplicateKeysKeepTheLastValue) {
    EXPECT_EQ(namedVersions(R"({"format":2,"format":1,"apps":{"a":"1.0","a":"2.0"}})"),
              (std::map<std::string, std::string>{{"a", "2.0"}}));
    EXPECT_EQ(failureOf(R"({"format":1,"format":2,"apps":{}})"), UpdateFailure::unknownFormat);
    EXPECT_EQ(namedVersions(R"({"format":1,"apps":{"a":"1.0","a":7}})").size(), 0u);
}

TEST(UpdateManifest, AcceptsUpToTheSizeLimit) {
    EXPECT_EQ(namedVersions(manifestOfSize(UpdateManifest::maximumBytes)).at("dewlight"), "1.5");
    EXPECT_EQ(failureOf(manifestOfSize(UpdateManifest::maximumBytes + 1)),
              UpdateFailure::unreadable);
}

TEST(UpdateManifest, DeepNestingWithinTheLimitDoesNotExhaustTheStack) {
    const std::size_t depth = 30'000;
    std::string data = R"({"format":1,"apps":{"deep":)";
    data += std::string(depth, '[') + std::string(depth, ']') + R"(,"dewlight":"1.5"}})";
    ASSERT_LE(data.size(), UpdateManifest::maximumBytes);
    EXPECT_EQ(namedVersions(data), (std::map<std::string, std::string>{{"dewlight", "1.5"}}));
}

TEST(UpdateManifest, EqualWhenTheVersionsCompareEqual) {
    EXPECT_EQ(UpdateManifest::decode(R"({"format":1,"apps":{"a":"1.2"}})"),
              UpdateManifest::decode(R"({"format":1,"apps":{"a":"1.2.0"}})"));
    EXPECT_NE(UpdateManifest::decode(R"({"format":1,"apps":{"a":"1.2"}})"),
              UpdateManifest::decode(R"({"format":1,"apps":{"b":"1.2"}})"));
}

TEST(UpdateFailure, NamesAreTheCaseNames) {
    EXPECT_EQ(name(UpdateFailure::unreachable), "unreachable");
    EXPECT_EQ(name(UpdateFailure::unreadable), "unreadable");
    EXPECT_EQ(name(UpdateFailure::unknownFormat), "unknownFormat");
}

} // namespace
} // namespace DewlightUpdates
