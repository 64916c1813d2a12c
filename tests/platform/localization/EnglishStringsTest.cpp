#include "platform/localization/Localizer.h"

#include <gtest/gtest.h>

namespace DewlightPlatform {
namespace {

TEST(EnglishStrings, ReminderTextsReadAsTheirKeys) {
    const Localizer english(englishStrings(), "en_US");
    for (const char* key :
         {"Time for some water.", "A short pause for water.", "Even a sip counts.",
          "Take a moment for water.", "A little water before the weekend.",
          "It has been an hour since your last drink.", "A glass", "A sip", "In 15 minutes"}) {
        ASSERT_NE(english.table().find(key), nullptr) << key;
        EXPECT_EQ(english.text(key), key);
    }
}

TEST(EnglishStrings, CountsHaveTheirSingular) {
    const Localizer english(englishStrings(), "en_US");
    EXPECT_EQ(english.text("%lld glasses", {1}), "1 glass");
    EXPECT_EQ(english.text("%lld glasses", {4}), "4 glasses");
    EXPECT_EQ(english.text("%lld sips", {1}), "1 sip");
    EXPECT_EQ(english.text("%lld sips", {0}), "0 sips");
}

TEST(EnglishStrings, EveryEntryHasAnOtherFormWhenItHasForms) {
    const auto table = englishStrings();
    for (const auto& key : table.keys()) {
        const auto* entry = table.find(key);
        EXPECT_FALSE(entry->text.empty()) << key;
        if (!entry->plural.empty()) {
            EXPECT_TRUE(entry->plural.contains("other")) << key;
        }
    }
}

TEST(EnglishStrings, TheUpdateHintNamesTheDownload) {
    const Localizer english(englishStrings(), "en_US");
    const std::string hint = english.text(
        "Download it, quit the app and drag the new copy to Applications. Your settings stay.");
    EXPECT_EQ(hint,
              "Download it, quit the app and install the downloaded copy. Your settings stay.");
    EXPECT_EQ(english.text("Version %@ is here", {"1.1"}), "Version 1.1 is here");
}

} // namespace
} // namespace DewlightPlatform
