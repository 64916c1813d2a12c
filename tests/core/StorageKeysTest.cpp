#include "core/StorageKeys.h"

#include "core/LedgerKeys.h"
#include "core/PreferenceField.h"
#include "core/StorageCleanup.h"
#include "core/StorageNamespace.h"
#include "core/StoredShardKey.h"
#include "core/WorkdayID.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace DewlightCore;

constexpr double day2026_01_05 = 789264000.0;

// Expected texts below were computed independently of this code (SHA-256, Base64 and the
// double's bit pattern by hand tools); other machines rebuild the same bytes.
const std::string icloudNamespaceKey = "roziv.v1.gmeu-XgpWfb38vrrp2hgs-VP2EVPto4WDuP-G4o3faRk";
const std::string icloudResetPrefix =
    "roziv.v1.a4KqB3VAMUwpwtVEfyVlZrh4Z3BmgEDTiI7_F7Xjjve8.reset.";

StorageNamespace icloud(std::uint64_t counter = 0, const std::string& writer = "initial") {
    return {Identity<AccountTag>("icloud"), ResetGeneration(counter, Identity<WriterTag>(writer))};
}

bool onlyKeyCharacters(const std::string& text) {
    for (const char c : text) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!allowed)
            return false;
    }
    return true;
}

TEST(StorageKeysTest, DigestIsUrlSafeBase64OfSha256WithoutPadding) {
    struct Case {
        std::string text;
        std::string digest;
    };
    const std::vector<Case> cases = {
        {"abc", "ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0"},
        {"", "47DEQpj8HBSa-_TImW-5JCeuQeRkm5NMpJWZG3hSuFU"},
        {"2:A1.0.initial", "REeA0hPyvS4BBE3CEhl8eVgkwl0wMAnchm4w-hyJS40"},
        {"6:icloud.0.other", "FX0TXynmJ49AmIsBeijyJXcEgnWcqyHq4hoAvPxNa_k"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string digest = StorageKeys::encode(c.text);
        EXPECT_EQ(digest, c.digest);
        EXPECT_EQ(digest.size(), 43u);
        EXPECT_TRUE(onlyKeyCharacters(digest));
    }
}

TEST(StorageKeysTest, DigestOfLongTextHasNoLineBreaks) {
    // A stream encoder would break lines every 64 characters; the digest is always one line.
    const std::string digest = StorageKeys::encode(std::string(10000, 'x'));
    EXPECT_EQ(digest.size(), 43u);
    EXPECT_TRUE(onlyKeyCharacters(digest));
}

TEST(StorageKeysTest, DayTextIsBase36OfTheDoublesBitPattern) {
    struct Case {
        double civilDate;
        std::string text;
    };
    const std::vector<Case> cases = {
        {0.0, "0"},
        {86400.0, "zk7sdjun5g5c"},
        {day2026_01_05, "100ezr11nidj4"},
        {-86400.0, "2xmwsw2xpjojk"},      // sign bit set: always 13 characters
        {99999964800.0, "1090qo4eakcu8"}, // the last day within the date rule
        {-99999964800.0, "2ybpr6nhcyl8g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.civilDate);
        EXPECT_EQ(StorageKeys::day(WorkdayID(c.civilDate)), c.text);
    }
}

TEST(StorageKeysTest, NegativeZeroDayIsTheReferenceDay) {
    // -0.0 has the sign bit set; a day built from it must still name the reference day.
    EXPECT_EQ(StorageKeys::day(WorkdayID(-0.0)), "0");
}

TEST(StorageNamespaceTest, KeysOfTheInitialGeneration) {
    const StorageNamespace ns = icloud();
    EXPECT_EQ(ns.key(), icloudNamespaceKey);
    EXPECT_EQ(ns.key().size(), 53u);
    EXPECT_EQ(ns.accountResetPrefix(), icloudResetPrefix);
    EXPECT_EQ(ns.accountResetPrefix().size(), 60u);
    EXPECT_EQ(ns.resetMarkerKey(),
              icloudResetPrefix + "FADe5yxiX5hMapw9-zsu2X4assv5tDlPt7Y05n5k2V8");
    EXPECT_EQ(ns.resetMarkerKey().size(), 103u);
    EXPECT_EQ(ns.discardPrefix(), icloudNamespaceKey + ".discard.");
    EXPECT_EQ(ns.discardKey(WorkdayID(day2026_01_05)),
              icloudNamespaceKey + ".discard.100ezr11nidj4");
    EXPECT_EQ(ns.dayPrefix(), icloudNamespaceKey + ".day");
    EXPECT_EQ(ns.preferenceKey(PreferenceField::cupVolume),
              icloudNamespaceKey + ".preference.cupVolume");
}

TEST(StorageNamespaceTest, NamespaceKeyCountsTheAccountBytes) {
    const StorageNamespace ns(Identity<AccountTag>("A1"),
                              ResetGeneration(0, Identity<WriterTag>("initial")));
    EXPECT_EQ(ns.key(), "roziv.v1.g" + StorageKeys::encode("2:A1.0.initial"));
    const StorageNamespace later(Identity<AccountTag>("icloud"),
                                 ResetGeneration(3, Identity<WriterTag>("mac-2")));
    EXPECT_EQ(later.key(), "roziv.v1.gXqwp2AiZVvaWFEC1OpS-V0VHORuyZ3M5Cj_7Z8Ta1IY");
}

TEST(StorageNamespaceTest, ShardKeys) {
    const StorageNamespace ns = icloud();
    const Identity<WriterTag> writer("mac-1");
    const std::string writerDigest = "Hw78YsgHYOU6X3zZocev8QX4Syv0FKEC0Xfue3dvDcg";

    const std::string shortest = ns.shardKey(WorkdayID(0.0), writer);
    EXPECT_EQ(shortest, icloudNamespaceKey + ".day0.w" + writerDigest);
    EXPECT_EQ(shortest.size(), 103u);

    const std::string longest = ns.shardKey(WorkdayID(day2026_01_05), writer);
    EXPECT_EQ(longest, icloudNamespaceKey + ".day100ezr11nidj4.w" + writerDigest);
    EXPECT_EQ(longest.size(), 115u);
    EXPECT_TRUE(onlyKeyCharacters(longest));

    EXPECT_EQ(StoredShardKey(ns, WorkdayID(day2026_01_05), writer).text(), longest);
}

TEST(StorageNamespaceTest, AnotherGenerationKeepsOnlyTheResetPrefix) {
    const StorageNamespace initial = icloud(0, "initial");
    const StorageNamespace other = icloud(0, "other");
    EXPECT_EQ(other.key(), "roziv.v1.gFX0TXynmJ49AmIsBeijyJXcEgnWcqyHq4hoAvPxNa_k");
    EXPECT_NE(other.key(), initial.key());
    EXPECT_NE(other.resetMarkerKey(), initial.resetMarkerKey());
    EXPECT_EQ(other.accountResetPrefix(), initial.accountResetPrefix());
    EXPECT_NE(icloud(1, "initial").key(), initial.key());
    EXPECT_NE(other, initial);
    EXPECT_EQ(icloud(0, "other"), other);
}

TEST(PreferenceFieldTest, RawValuesAreTheSettingNames) {
    const std::vector<std::string> names = {"remindersEnabled", "weekdays",  "startMinute",
                                            "endMinute",        "cupVolume", "interval"};
    const auto fields = allCases<PreferenceField>();
    ASSERT_EQ(fields.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(rawValue(fields[i]), names[i]);
        EXPECT_EQ(fromRawValue<PreferenceField>(names[i]), fields[i]);
    }
    for (const char* other : {"openAtLogin", "CupVolume", "cupVolume ", ""})
        EXPECT_EQ(fromRawValue<PreferenceField>(other), std::nullopt) << other;
}

TEST(LedgerKeysTest, HashedKeyOfAGeneration) {
    EXPECT_EQ(LedgerKeys::hashedKey(7, ""),
              "roziv.v1.p.7.47DEQpj8HBSa-_TImW-5JCeuQeRkm5NMpJWZG3hSuFU");
    EXPECT_EQ(LedgerKeys::hashedKey(0, "abc"),
              "roziv.v1.p.0.ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0");
    EXPECT_EQ(LedgerKeys::hashedKey(18446744073709551615u, "abc"),
              "roziv.v1.p.18446744073709551615.ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0");
}

class StorageCleanupTest : public testing::Test {
protected:
    const Identity<WriterTag> writer{"mac-1"};
    const StorageNamespace inForce = icloud(2, "mac-m");

    StoredShardKey key(std::uint64_t counter, const std::string& generationWriter, double day,
                       const std::string& account = "icloud") const {
        return {StorageNamespace(Identity<AccountTag>(account),
                                 ResetGeneration(counter, Identity<WriterTag>(generationWriter))),
                WorkdayID(day), writer};
    }
};

TEST_F(StorageCleanupTest, SelectsOlderGenerationsAndDiscardedDaysOfTheAccount) {
    struct Case {
        const char* name;
        StoredShardKey key;
        std::optional<WorkdayID> discardedThrough;
        bool selected;
    };
    const WorkdayID cut(86400.0 * 10);
    const std::vector<Case> cases = {
        {"smaller counter", key(1, "zzz", 86400.0 * 20), std::nullopt, true},
        {"equal counter, smaller writer", key(2, "mac-a", 86400.0 * 20), std::nullopt, true},
        {"equal counter, greater writer", key(2, "mac-z", 0.0), cut, false},
        {"greater counter", key(3, "initial", 0.0), cut, false},
        {"other account, older generation", key(0, "initial", 0.0, "other"), cut, false},
        {"in force, before the cut", key(2, "mac-m", 86400.0 * 9), cut, true},
        {"in force, on the cut", key(2, "mac-m", 86400.0 * 10), cut, true},
        {"in force, after the cut", key(2, "mac-m", 86400.0 * 11), cut, false},
        {"in force, no cut", key(2, "mac-m", 0.0), std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<StoredShardKey> keys = {c.key};
        const auto selected = StorageCleanup::obsoleteShardKeys(keys, inForce, c.discardedThrough);
        if (c.selected)
            EXPECT_EQ(selected, std::vector<std::string>{c.key.text()});
        else
            EXPECT_TRUE(selected.empty());
    }
}

TEST_F(StorageCleanupTest, ReturnsSortedTextsEachOnce) {
    const StoredShardKey a = key(0, "initial", 0.0);
    const StoredShardKey b = key(1, "initial", 86400.0);
    const StoredShardKey c = key(2, "mac-m", 86400.0);
    const StoredShardKey kept = key(2, "mac-m", 86400.0 * 5);
    const std::vector<StoredShardKey> keys = {b, kept, a, c, b, a};

    std::vector<std::string> expected = {a.text(), b.text(), c.text()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(StorageCleanup::obsoleteShardKeys(keys, inForce, WorkdayID(86400.0)), expected);
    EXPECT_TRUE(StorageCleanup::obsoleteShardKeys({}, inForce, WorkdayID(86400.0)).empty());
}

} // namespace
