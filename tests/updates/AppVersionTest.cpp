#include "updates/AppVersion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace DewlightUpdates {
namespace {

using ::testing::ElementsAreArray;

AppVersion version(std::string_view text) {
    auto parsed = AppVersion::parse(text);
    EXPECT_TRUE(parsed) << text;
    return parsed.value_or(*AppVersion::parse("0"));
}

struct Readable {
    std::string_view text;
    std::vector<std::int64_t> parts;
};

TEST(AppVersion, ReadsOneToFourPartsOfUpToSixDigits) {
    const Readable cases[] = {
        {"1", {1}},
        {"1.2", {1, 2}},
        {"1.2.3.4", {1, 2, 3, 4}},
        {"123456", {123456}},
        {"999999.0.000000.999999", {999999, 0, 0, 999999}},
        {"1.02", {1, 2}},
        {"007", {7}},
    };
    for (const auto& c : cases) {
        auto parsed = AppVersion::parse(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_THAT(parsed->parts(), ElementsAreArray(c.parts)) << c.text;
        // The text is kept as written, leading zeros included.
        EXPECT_EQ(parsed->description(), c.text);
    }
}

TEST(AppVersion, RefusesTextsOutsideTheGrammar) {
    const std::string_view cases[] = {
        "",
        ".",
        "1.",
        ".1",
        "1..2",
        "1.2.3.4.5",
        "1234567",
        "1.1234567",
        " 1",
        "1 ",
        "+1",
        "-1",
        "v1",
        "1.2b",
        "1.5-beta",
        "1,2",
        "0x1",
        "\xd9\xa3",       // ARABIC-INDIC DIGIT THREE
        "1.\xef\xbc\x92", // FULLWIDTH DIGIT TWO
        std::string_view("1\0", 2),
    };
    for (auto text : cases)
        EXPECT_FALSE(AppVersion::parse(text)) << '"' << text << '"';
}

TEST(AppVersion, OrdersByPartsWithMissingPartsAsZero) {
    EXPECT_EQ(version("1.2"), version("1.2.0"));
    EXPECT_EQ(version("1.2"), version("1.2.0.0"));
    EXPECT_EQ(version("01.2"), version("1.02"));
    EXPECT_GT(version("1.10"), version("1.9"));
    EXPECT_GT(version("2"), version("1.999999.999999.999999"));
    EXPECT_GT(version("1.2.1"), version("1.2"));
    EXPECT_LT(version("0.9"), version("1"));
    EXPECT_LE(version("1.2.0"), version("1.2"));
    EXPECT_GE(version("1.2"), version("1.2.0"));
    EXPECT_NE(version("1.2"), version("1.2.0.1"));
}

} // namespace
} // namespace DewlightUpdates
