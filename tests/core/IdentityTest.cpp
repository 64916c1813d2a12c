#include "core/Identity.h"

#include "core/ResetGeneration.h"
#include "core/Versioned.h"
#include "tests/core/Expect.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace DewlightCore;
using DewlightCoreTesting::throwsDecodingError;
using DewlightCoreTesting::throwsDomainError;
using Kind = DecodingError::Kind;

namespace {

using Writer = Identity<WriterTag>;

TEST(IdentityRule, AcceptsOnlyShortAsciiTexts) {
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        {"", false},
        {"a", true},
        {std::string(256, 'x'), true},
        {std::string(257, 'x'), false},
        {"AZaz09-_.:", true},
        {"roziv.4740148284092317696.4740148586082205696", true},
        {"has space", false},
        {"a/b", false},
        {"a+b", false},
        {"caf\xc3\xa9", false},  // é
        {"\xd9\xa3", false},     // ARABIC-INDIC DIGIT THREE
        {"\xef\xbc\x91", false}, // FULLWIDTH DIGIT ONE
        {"line\r\n", false},
        {std::string("nul\0x", 5), false},
        {"tab\t", false},
        {"quote\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text << "\" (" << c.text.size() << " bytes)");
        if (c.valid)
            EXPECT_EQ(Writer(c.text).rawValue(), c.text);
        else
            EXPECT_TRUE(throwsDomainError([&] { Writer{c.text}; }, DomainError::invalidIdentity()));
    }
}

TEST(IdentityOrder, ByteOrderOfTheText) {
    // Upper case before lower case, a prefix before its extensions, digits before letters.
    std::vector<Writer> sorted{Writer("b"), Writer("a"),  Writer("B"), Writer("ab"),
                               Writer("A"), Writer("a-"), Writer("9"), Writer("Z")};
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> texts;
    for (const auto& writer : sorted)
        texts.push_back(writer.rawValue());
    EXPECT_EQ(texts, (std::vector<std::string>{"9", "A", "B", "Z", "a", "a-", "ab", "b"}));
    EXPECT_NE(Writer("a"), Writer("A"));
    EXPECT_EQ(std::hash<Writer>{}(Writer("m1")), std::hash<Writer>{}(Writer("m1")));
}

TEST(IdentityJson, BareStringValidatedOnDecode) {
    EXPECT_EQ(Json::serialize(Json::encode(Writer("mac-1"))), "\"mac-1\"");
    EXPECT_EQ(Json::decode<Writer>(Json::parse("\"mac-1\"")), Writer("mac-1"));
    EXPECT_TRUE(throwsDomainError([] { Json::decode<Writer>(Json::parse("\"a b\"")); },
                                  DomainError::invalidIdentity()));
    EXPECT_TRUE(throwsDomainError([] { Json::decode<Writer>(Json::parse("\"\"")); },
                                  DomainError::invalidIdentity()));
    EXPECT_TRUE(
        throwsDecodingError([] { Json::decode<Writer>(Json::parse("7")); }, Kind::typeMismatch));
}

TEST(ResetGenerationOrder, CounterFirstThenWriter) {
    const ResetGeneration oneZ(1, Writer("zzz")), twoA(2, Writer("a")), oneA(1, Writer("a"));
    EXPECT_LT(oneZ, twoA);
    EXPECT_LT(oneA, oneZ);
    EXPECT_EQ(oneA, ResetGeneration(1, Writer("a")));
    EXPECT_NE(oneA, ResetGeneration(1, Writer("A")));
    // Unsigned comparison: the largest counter is the greatest generation.
    EXPECT_LT(twoA, ResetGeneration(std::numeric_limits<std::uint64_t>::max(), Writer("a")));
    EXPECT_EQ(std::hash<ResetGeneration>{}(oneA),
              std::hash<ResetGeneration>{}(ResetGeneration(1, Writer("a"))));
}

TEST(ResetGenerationNext, CountsUpAndStopsAtTheTop) {
    const ResetGeneration initial(0, Writer("initial"));
    EXPECT_EQ(initial.next(Writer("mac-2")), ResetGeneration(1, Writer("mac-2")));

    const ResetGeneration top(std::numeric_limits<std::uint64_t>::max(), Writer("mac-1"));
    EXPECT_TRUE(
        throwsDomainError([&] { top.next(Writer("mac-2")); }, DomainError::invalidLedger()));
    EXPECT_EQ(top, ResetGeneration(std::numeric_limits<std::uint64_t>::max(), Writer("mac-1")));
}

TEST(ResetGenerationJson, RoundTripsAndReadsTheCounterStrictly) {
    const ResetGeneration top(std::numeric_limits<std::uint64_t>::max(), Writer("mac-1"));
    const auto text = Json::serialize(Json::encode(top));
    EXPECT_EQ(text, R"({"counter":18446744073709551615,"writer":"mac-1"})");
    EXPECT_EQ(Json::decode<ResetGeneration>(Json::parse(text)), top);

    for (const char* counter : {"-1", "2.5", "18446744073709551616", "true", "\"1\""}) {
        SCOPED_TRACE(counter);
        const auto json =
            Json::parse(std::string(R"({"counter":)") + counter + R"(,"writer":"w"})");
        EXPECT_TRUE(throwsDecodingError([&] { Json::decode<ResetGeneration>(json); }));
    }
    EXPECT_TRUE(throwsDecodingError(
        [] { Json::decode<ResetGeneration>(Json::parse(R"({"counter":1})")); }, Kind::keyNotFound));
    EXPECT_TRUE(throwsDomainError(
        [] { Json::decode<ResetGeneration>(Json::parse(R"({"counter":1,"writer":"a/b"})")); },
        DomainError::invalidIdentity()));
}

TEST(VersionedJson, WrapsTheValueWithVersionOne) {
    const Versioned<ResetGeneration> wrapped(ResetGeneration(3, Writer("w")));
    const auto text = Json::serialize(Json::encode(wrapped));
    EXPECT_EQ(text, R"({"version":1,"value":{"counter":3,"writer":"w"}})");
    EXPECT_EQ(Json::decode<Versioned<ResetGeneration>>(Json::parse(text)), wrapped);
}

TEST(VersionedJson, AnotherVersionIsRefusedBeforeTheValueIsRead) {
    struct Case {
        const char* text;
        std::int64_t version;
    };
    const Case cases[] = {
        {R"({"version": 2, "value": {"counter": 3, "writer": "w"}})", 2},
        {R"({"version": 2, "value": "not a generation"})", 2},
        {R"({"version": 2})", 2},
        {R"({"version": 0, "value": null})", 0},
        {R"({"version": -7})", -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(throwsDomainError(
            [&] { Json::decode<Versioned<ResetGeneration>>(Json::parse(c.text)); },
            DomainError::unsupportedVersion(c.version)));
    }
}

TEST(VersionedJson, ABadEnvelopeIsAnOrdinaryDecodingError) {
    struct Case {
        const char* text;
        Kind kind;
    };
    const Case cases[] = {
        {R"({"version": 1})", Kind::keyNotFound},
        {R"({"value": {"counter": 3, "writer": "w"}})", Kind::keyNotFound},
        {R"({"version": "1", "value": {"counter": 3, "writer": "w"}})", Kind::typeMismatch},
        {R"({"version": true, "value": {"counter": 3, "writer": "w"}})", Kind::typeMismatch},
        {R"({"version": 1.0, "value": {"counter": 3, "writer": "w"}})", Kind::dataCorrupted},
        {R"({"version": 18446744073709551615, "value": {}})", Kind::dataCorrupted},
        {R"([1])", Kind::typeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(throwsDecodingError(
            [&] { Json::decode<Versioned<ResetGeneration>>(Json::parse(c.text)); }, c.kind));
    }
}

TEST(VersionedJson, AnErrorInsideTheValueEndsTheDocument) {
    EXPECT_TRUE(throwsDomainError(
        [] {
            Json::decode<Versioned<ResetGeneration>>(
                Json::parse(R"({"version": 1, "value": {"counter": 3, "writer": "a b"}})"));
        },
        DomainError::invalidIdentity()));
}

TEST(DomainErrorEquality, CaseAndVersion) {
    EXPECT_EQ(DomainError::unsupportedVersion(2), DomainError::unsupportedVersion(2));
    EXPECT_NE(DomainError::unsupportedVersion(2), DomainError::unsupportedVersion(3));
    EXPECT_NE(DomainError::invalidDate(), DomainError::invalidPlan());
    EXPECT_STREQ(DomainError::discardedWorkday().what(), "discardedWorkday");
}

} // namespace
