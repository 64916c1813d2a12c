#include "core/Json.h"

#include "tests/core/Expect.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <set>

using namespace DewlightCore;
using DewlightCoreTesting::throwsDecodingError;
using Kind = DecodingError::Kind;

namespace {

template <class T> T decodeText(const std::string& text) {
    return Json::decode<T>(Json::parse(text));
}

struct RefusedInteger {
    const char* text;
    Kind kind;
};

TEST(JsonIntegers, NeverCoerced) {
    const RefusedInteger cases[] = {
        {"true", Kind::typeMismatch},
        {"false", Kind::typeMismatch},
        {"\"1\"", Kind::typeMismatch},
        {"null", Kind::typeMismatch},
        {"[1]", Kind::typeMismatch},
        {"1.9", Kind::dataCorrupted},
        {"2.5", Kind::dataCorrupted},
        {"1.0", Kind::dataCorrupted},
        {"1e2", Kind::dataCorrupted},
        {"18446744073709551616", Kind::dataCorrupted},
        {"9223372036854775808", Kind::dataCorrupted},
        {"-9223372036854775809", Kind::dataCorrupted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(throwsDecodingError([&] { decodeText<std::int64_t>(c.text); }, c.kind));
    }
}

TEST(JsonIntegers, ReadsTheWholeRangeOfTheTarget) {
    EXPECT_EQ(decodeText<std::int64_t>("9223372036854775807"),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(decodeText<std::int64_t>("-9223372036854775808"),
              std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(decodeText<std::uint64_t>("18446744073709551615"),
              std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(decodeText<std::uint64_t>("0"), 0u);
    EXPECT_EQ(decodeText<std::uint64_t>("-0"), 0u);
    EXPECT_EQ(decodeText<int>("-2147483648"), std::numeric_limits<int>::min());
}

TEST(JsonIntegers, UnsignedAndNarrowTargetsRefuseWhatTheyCannotHold) {
    const char* refusedUnsigned[] = {"-1", "18446744073709551616", "2.5", "true"};
    for (const char* text : refusedUnsigned) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(throwsDecodingError([&] { decodeText<std::uint64_t>(text); }));
    }
    EXPECT_TRUE(throwsDecodingError([] { decodeText<int>("2147483648"); }, Kind::dataCorrupted));
    EXPECT_TRUE(throwsDecodingError([] { decodeText<std::uint8_t>("256"); }, Kind::dataCorrupted));
    // Values built in code keep signed storage even when non-negative.
    EXPECT_EQ(Json::decode<std::uint64_t>(JsonValue(std::int64_t{5})), 5u);
    EXPECT_TRUE(throwsDecodingError(
        [] { Json::decode<std::uint64_t>(JsonValue(std::int64_t{-1})); }, Kind::dataCorrupted));
}

TEST(JsonDoubles, RoundTripBitForBit) {
    const double values[] = {0.0,
                             -0.0,
                             0.1,
                             1.0 / 3.0,
                             795139200.0,
                             795139200.123456789,
                             -99999999999.9,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             std::nextafter(1e11, 0.0)};
    for (const double value : values) {
        SCOPED_TRACE(value);
        const auto text = Json::serialize(Json::encode(value));
        const double back = decodeText<double>(text);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(value)) << text;
    }
}

TEST(JsonDoubles, AcceptIntegersButNotBooleans) {
    EXPECT_EQ(decodeText<double>("795139200"), 795139200.0);
    EXPECT_EQ(decodeText<double>("-3"), -3.0);
    EXPECT_TRUE(throwsDecodingError([] { decodeText<double>("true"); }, Kind::typeMismatch));
    EXPECT_TRUE(throwsDecodingError([] { decodeText<double>("\"1.5\""); }, Kind::typeMismatch));
}

TEST(JsonValues, BooleansAndStringsOnlyFromTheirOwnKind) {
    EXPECT_TRUE(decodeText<bool>("true"));
    EXPECT_TRUE(throwsDecodingError([] { decodeText<bool>("1"); }, Kind::typeMismatch));
    EXPECT_TRUE(throwsDecodingError([] { decodeText<bool>("\"true\""); }, Kind::typeMismatch));
    EXPECT_EQ(decodeText<std::string>("\"a\\u00e9\""), "a\xc3\xa9");
    EXPECT_TRUE(throwsDecodingError([] { decodeText<std::string>("7"); }, Kind::typeMismatch));
}

TEST(JsonFields, MissingKeysAndNonObjectsFail) {
    const auto object = Json::parse(R"({"a": 1, "b": null})");
    EXPECT_EQ(Json::field<int>(object, "a"), 1);
    EXPECT_TRUE(throwsDecodingError([&] { Json::field<int>(object, "c"); }, Kind::keyNotFound));
    EXPECT_TRUE(throwsDecodingError([&] { Json::field<int>(object, "b"); }, Kind::typeMismatch));
    EXPECT_TRUE(
        throwsDecodingError([] { Json::field<int>(Json::parse("[1]"), "a"); }, Kind::typeMismatch));
    EXPECT_EQ(Json::fieldIfPresent<int>(object, "a"), 1);
    EXPECT_EQ(Json::fieldIfPresent<int>(object, "b"), std::nullopt);
    EXPECT_EQ(Json::fieldIfPresent<int>(object, "c"), std::nullopt);
}

TEST(JsonFields, AFailureNamesItsKey) {
    try {
        Json::field<int>(Json::parse(R"({"startMinute": true})"), "startMinute");
        FAIL() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_NE(std::string(error.what()).find("startMinute"), std::string::npos);
    }
}

TEST(JsonText, MalformedTextIsADecodingError) {
    using namespace std::string_literals;
    const std::pair<std::string, Kind> cases[] = {
        {"", Kind::malformed},
        {"{", Kind::malformed},
        {"{\"a\": 1} x", Kind::malformed},
        {"[1,]", Kind::malformed},
        {"\"\xff\"", Kind::malformed},
        // The whole range is read: a NUL byte does not end the text.
        {"{\"a\":1}\0{\"b\":2}"s, Kind::malformed},
        {"{\"a\":1}\0"s, Kind::malformed},
        {"\"a\0b\""s, Kind::malformed},
        // Numbers beyond every double, which the library reports with an exception of its own.
        {"1e309", Kind::dataCorrupted},
        {"[-1e400]", Kind::dataCorrupted},
        {"{\"a\": 1E+999}", Kind::dataCorrupted},
    };
    for (const auto& [text, kind] : cases) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(throwsDecodingError([&] { Json::parse(text); }, kind));
    }
}

TEST(JsonText, KeysKeepTheirInsertionOrderAndSetsAreSorted) {
    JsonValue object = JsonValue::object();
    object["zeta"] = 1;
    object["alpha"] = Json::encode(std::set<int>{3, 1, 2});
    object["mid"] = true;
    EXPECT_EQ(Json::serialize(object), R"({"zeta":1,"alpha":[1,2,3],"mid":true})");
    EXPECT_EQ(decodeText<std::set<int>>("[3, 1, 3]"), (std::set<int>{1, 3}));
    EXPECT_EQ(decodeText<std::vector<int>>("[3, 1, 3]"), (std::vector<int>{3, 1, 3}));
}

} // namespace
