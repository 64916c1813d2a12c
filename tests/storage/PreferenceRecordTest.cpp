#include "storage/PreferenceRecord.h"

#include <gtest/gtest.h>
#include <limits>

namespace DewlightStorage::KestraPreferencesCore {
namespace {

using DewlightCore::Json::decode;
using DewlightCore::Json::encode;
using DewlightCore::Json::parse;
using DewlightCore::Json::serialize;

constexpr std::uint64_t maxRevision = std::numeric_limits<std::uint64_t>::max();

QByteArray bytes(std::initializer_list<unsigned char> values) {
    QByteArray result;
    for (const auto value : values)
        result.append(static_cast<char>(value));
    return result;
}

struct ResolveCase {
    const char* name;
    PreferenceRecord first;
    PreferenceRecord second;
    bool firstWins;
};

class PreferenceRecordResolve : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(PreferenceRecordResolve, PicksTheWinnerWhole) {
    const auto& step = GetParam();
    const auto& expected = step.firstWins ? step.first : step.second;
    EXPECT_EQ(&PreferenceRecord::resolve(step.first, step.second),
              step.firstWins ? &step.first : &step.second);
    EXPECT_EQ(PreferenceRecord::resolve(step.first, step.second), expected);
    // Every rule but the last is symmetric: the same record wins from either side.
    if (step.first != step.second) {
        EXPECT_EQ(PreferenceRecord::resolve(step.second, step.first), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PreferenceRecordResolve,
    ::testing::Values(
        ResolveCase{
            "HigherRevisionBeatsGreaterWriter", {7, "A", bytes({1})}, {5, "Z", bytes({9})}, true},
        ResolveCase{
            "HigherRevisionBeatsRemoval", {5, "A", std::nullopt}, {6, "A", bytes({1})}, false},
        ResolveCase{"LargestRevisionIsUnsigned",
                    {maxRevision, "A", bytes({1})},
                    {1, "Z", bytes({1})},
                    true},
        ResolveCase{
            "GreaterWriterAtEqualRevision", {3, "A0", bytes({9})}, {3, "B0", bytes({1})}, false},
        ResolveCase{
            "GreaterWriterBeatsRemoval", {3, "B", bytes({1})}, {3, "A", std::nullopt}, true},
        ResolveCase{"RemovalFirst", {3, "W", std::nullopt}, {3, "W", bytes({1})}, true},
        ResolveCase{"RemovalSecond", {3, "W", bytes({1})}, {3, "W", std::nullopt}, false},
        ResolveCase{
            "LongerPayloadAfterPrefix", {3, "W", bytes({1, 2})}, {3, "W", bytes({1, 2, 0})}, false},
        ResolveCase{"BytesAreUnsigned", {3, "W", bytes({0x80})}, {3, "W", bytes({0x7F})}, true},
        ResolveCase{"IdenticalKeepsFirst", {3, "W", bytes({4})}, {3, "W", bytes({4})}, true},
        ResolveCase{
            "IdenticalRemovalsKeepFirst", {3, "W", std::nullopt}, {3, "W", std::nullopt}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreferenceRecordCoding, WritesKeysInOrderAndLeavesOutARemoval) {
    EXPECT_EQ(serialize(encode(PreferenceRecord(maxRevision, "W", QByteArray("true")))),
              R"({"version":1,"revision":18446744073709551615,"writer":"W","payload":"dHJ1ZQ=="})");
    EXPECT_EQ(serialize(encode(PreferenceRecord(2, "W", std::nullopt))),
              R"({"version":1,"revision":2,"writer":"W"})");
}

TEST(PreferenceRecordCoding, ReadsMissingOrNullPayloadAsRemovalAndIgnoresOtherKeys) {
    const PreferenceRecord removal(2, "W", std::nullopt);
    EXPECT_EQ(decode<PreferenceRecord>(parse(R"({"version":1,"revision":2,"writer":"W"})")),
              removal);
    EXPECT_EQ(decode<PreferenceRecord>(
                  parse(R"({"writer":"W","payload":null,"revision":2,"extra":[1],"version":1})")),
              removal);
    EXPECT_EQ(
        decode<PreferenceRecord>(parse(R"({"version":1,"revision":2,"writer":"W","payload":""})")),
        PreferenceRecord(2, "W", QByteArray()));
}

TEST(PreferenceRecordCoding, RefusesMalformedRecords) {
    for (const char* text : {
             R"({"revision":2,"writer":"W"})",
             R"({"version":1,"writer":"W"})",
             R"({"version":1,"revision":2})",
             R"({"version":"1","revision":2,"writer":"W"})",
             R"({"version":1,"revision":2.5,"writer":"W"})",
             R"({"version":1,"revision":-1,"writer":"W"})",
             R"({"version":1,"revision":18446744073709551616,"writer":"W"})",
             R"({"version":1,"revision":2,"writer":7})",
             R"({"version":1,"revision":2,"writer":"W","payload":"dHJ1ZQ"})",
             R"({"version":1,"revision":2,"writer":"W","payload":"dHJ1ZQ=!"})",
             R"({"version":1,"revision":2,"writer":"W","payload":5})",
             R"([1,2,"W"])",
         }) {
        EXPECT_ANY_THROW(decode<PreferenceRecord>(parse(text))) << text;
    }
}

TEST(PreferenceRecordValidity, FollowsTheLimits) {
    const auto valid = [](std::int64_t version, std::uint64_t revision, std::size_t writerBytes,
                          std::optional<int> payloadBytes) {
        PreferenceRecord record(revision, std::string(writerBytes, 'w'),
                                payloadBytes ? std::optional(QByteArray(*payloadBytes, 'p'))
                                             : std::nullopt);
        record.version = version;
        return record.isValid();
    };
    EXPECT_TRUE(valid(1, 1, 1, std::nullopt));
    EXPECT_TRUE(valid(1, maxRevision, 128, 32768));
    EXPECT_FALSE(valid(2, 1, 1, 0));
    EXPECT_FALSE(valid(0, 1, 1, 0));
    EXPECT_FALSE(valid(1, 0, 1, 0));
    EXPECT_FALSE(valid(1, 1, 0, 0));
    EXPECT_FALSE(valid(1, 1, 129, 0));
    EXPECT_FALSE(valid(1, 1, 1, 32769));
    // A decoded record of another version still decodes; it is only not valid.
    EXPECT_FALSE(
        decode<PreferenceRecord>(parse(R"({"version":2,"revision":1,"writer":"W"})")).isValid());
}

} // namespace
} // namespace DewlightStorage::KestraPreferencesCore
