#include "platform/localization/Localizer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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

TEST(EnglishStrings, LinuxWordingWhereAKeyNamesTheOtherPlatform) {
    const auto table = englishStrings();
    for (const auto& key : table.keys()) {
        const auto* entry = table.find(key);
        std::vector<std::string> texts{entry->text};
        for (const auto& [category, form] : entry->plural)
            texts.push_back(form);
        for (const auto& [argument, form] : entry->forText)
            texts.push_back(form);
        for (const auto& text : texts)
            for (const char* word : {"Mac", "iCloud", "System Settings", "Applications", "⌘"}) {
                EXPECT_EQ(text.find(word), std::string::npos) << key << " reads " << text;
            }
    }
    const Localizer english(table, "en_US");
    EXPECT_EQ(english.text("Open System Settings"), "Open Settings");
    EXPECT_EQ(english.text("Your glasses and settings stay in your iCloud."),
              "Your glasses and settings stay in your sync folder.");
    EXPECT_EQ(english.text("Without iCloud, your data stays on this Mac."),
              "Without a sync folder, your data stays on this computer.");
    EXPECT_EQ(english.text("Check the date and time on your Mac"),
              "Check the date and time on your computer");
    EXPECT_EQ(
        english.text(
            "Download it, quit the app and drag the new copy to Applications. Your settings stay."),
        "Download it, quit the app and install the new version. Your settings stay.");
}

TEST(EnglishStrings, ViewCountsAndPlaceholders) {
    const Localizer english(englishStrings(), "en_US");
    struct Case {
        std::string_view key;
        FormatArgument argument;
        std::string text;
    };
    const Case cases[] = {
        {"%lld grouped entries", 1, "1 grouped entry"},
        {"%lld grouped entries", 3, "3 grouped entries"},
        {"%lld minutes", 1, "1 minute"},
        {"%lld minutes", 45, "45 minutes"},
        {"%@ glasses", "¼", "¼ glass"},
        {"%@ glasses", "½", "½ glass"},
        {"%@ glasses", "¾", "¾ glass"},
        {"%@ glasses", "1¼", "1¼ glasses"},
        {"%@ glasses", "1½", "1½ glasses"},
        {"%@ glasses", "1¾", "1¾ glasses"},
        {"%@ glasses", "1,000½", "1,000½ glasses"},
        {"%@ ml", "250", "250 ml"},
        {"Step %lld of 2", 2, "Step 2 of 2"},
        {"Version %@ is here", "1.2", "Version 1.2 is here"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key));
        EXPECT_EQ(english.text(c.key, {c.argument}), c.text);
    }
    EXPECT_EQ(english.text("A range, not a goal: %@–%@ glasses.", {"3", "5"}),
              "A range, not a goal: 3–5 glasses.");
    EXPECT_EQ(english.text("Undo %@ from %@", {"1 sip", "9:00 AM"}), "Undo 1 sip from 9:00 AM");
}

} // namespace
} // namespace DewlightPlatform
