#include "platform/localization/Localizer.h"

#include <gtest/gtest.h>

namespace DewlightPlatform {
namespace {

StringTable fixture() {
    return StringTable(
        "en",
        {
            {"Hello", {"Hi there", {}}},
            {"%lld glasses", {"%lld glasses", {{"one", "%lld glass"}, {"other", "%lld glasses"}}}},
            {"%@ drank %lld sips",
             {"", {{"one", "%@ drank one sip"}, {"other", "%@ drank %lld sips"}}}},
        });
}

TEST(LocalizerLookup, TextOfTheTableElseTheKeyItself) {
    const Localizer localizer(fixture(), "en_US");
    EXPECT_EQ(localizer.text("Hello"), "Hi there");
    EXPECT_EQ(localizer.text("Not in the table"), "Not in the table");
    EXPECT_EQ(localizer.text("Missing %lld of %@", {3, "nine"}), "Missing 3 of nine");
}

struct FillCase {
    const char* format;
    std::vector<FormatArgument> arguments;
    const char* expected;
};

// Placeholders are filled through the fallback path, so the format is the key itself.
std::string fillThroughFallback(const Localizer& localizer, const FillCase& c) {
    switch (c.arguments.size()) {
    case 0:
        return localizer.text(c.format);
    case 1:
        return localizer.text(c.format, {c.arguments[0]});
    case 2:
        return localizer.text(c.format, {c.arguments[0], c.arguments[1]});
    default:
        return localizer.text(c.format, {c.arguments[0], c.arguments[1], c.arguments[2]});
    }
}

TEST(LocalizerLookup, PlaceholdersFilledInOrder) {
    const Localizer localizer(StringTable("en", {}), "en_US");
    const std::vector<FillCase> cases = {
        {"%lld minutes", {30}, "30 minutes"},
        {"Undo %@ from %@", {"1 sip", "9:41"}, "Undo 1 sip from 9:41"},
        {"A range, not a goal: %@–%@ glasses.", {"3", "5"}, "A range, not a goal: 3–5 glasses."},
        {"%@ then %lld", {"text", -12}, "text then -12"},
        {"%lld in plain digits", {1234567}, "1234567 in plain digits"},
        {"a %@ is a text, an integer %lld", {7, "x"}, "a 7 is a text, an integer x"},
        {"missing %@ and %lld", {"one"}, "missing one and %lld"},
        {"extra %@", {"a", "b", "c"}, "extra a"},
        {"100%% sure, 50%", {}, "100% sure, 50%"},
        {"%d and %llx stay", {1, 2}, "%d and %llx stay"},
        {"%", {1}, "%"},
        {"no placeholder", {1}, "no placeholder"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fillThroughFallback(localizer, c), c.expected) << c.format;
}

TEST(LocalizerPlural, EnglishFormsByCount) {
    const Localizer localizer(fixture(), "en_US");
    EXPECT_EQ(localizer.text("%lld glasses", {0}), "0 glasses");
    EXPECT_EQ(localizer.text("%lld glasses", {1}), "1 glass");
    EXPECT_EQ(localizer.text("%lld glasses", {2}), "2 glasses");
    EXPECT_EQ(localizer.text("%lld glasses", {-1}), "-1 glass");
    // Without a count the plain text stands.
    EXPECT_EQ(localizer.text("%lld glasses"), "%lld glasses");
}

TEST(LocalizerPlural, TheFirstIntegerArgumentChooses) {
    const Localizer localizer(fixture(), "en");
    EXPECT_EQ(localizer.text("%@ drank %lld sips", {"Ana", 1}), "Ana drank one sip");
    EXPECT_EQ(localizer.text("%@ drank %lld sips", {"Ana", 4}), "Ana drank 4 sips");
}

TEST(LocalizerPlural, RulesOfTheViewsLocaleForItsOwnLanguage) {
    const StringTable polish(
        "pl", {{"%lld files",
                {"%lld plików",
                 {{"one", "%lld plik"}, {"few", "%lld pliki"}, {"other", "%lld plików"}}}}});
    const Localizer localizer(polish, "pl_PL");
    EXPECT_EQ(localizer.pluralLocale(), "pl_PL");
    EXPECT_EQ(localizer.text("%lld files", {1}), "1 plik");
    EXPECT_EQ(localizer.text("%lld files", {3}), "3 pliki");
    EXPECT_EQ(localizer.text("%lld files", {22}), "22 pliki");
    // "many" is not in the entry: the "other" form stands in.
    EXPECT_EQ(localizer.pluralCategory(5), "many");
    EXPECT_EQ(localizer.text("%lld files", {5}), "5 plików");
}

TEST(LocalizerPlural, TextsOfAnotherLanguageKeepTheirOwnRules) {
    // French counts 0 as "one"; the English texts must still read "0 glasses".
    const Localizer french(fixture(), "fr_FR");
    EXPECT_EQ(french.pluralLocale(), "en");
    EXPECT_EQ(french.text("%lld glasses", {0}), "0 glasses");

    const Localizer british(fixture(), "en_GB");
    EXPECT_EQ(british.pluralLocale(), "en_GB");
    // The test environment's locale name is not an ICU locale at all.
    const Localizer posix(fixture(), "C.UTF-8");
    EXPECT_EQ(posix.text("%lld glasses", {1}), "1 glass");
}

TEST(LocalizerPlural, CopiesKeepTheirRules) {
    Localizer original(fixture(), "en_US");
    Localizer copy(original);
    original = Localizer(StringTable("en", {}), "en");
    EXPECT_EQ(copy.text("%lld glasses", {1}), "1 glass");
    EXPECT_EQ(original.text("%lld glasses", {1}), "1 glasses");
}

} // namespace
} // namespace DewlightPlatform
