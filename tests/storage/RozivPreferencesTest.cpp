#include "storage/RozivPreferences.h"

#include "OpenFence.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"
#include "storage/PreferenceRecord.h"
#include "storage/PreferenceSync.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using DewlightCore::CupVolume;
using DewlightCore::Identity;
using DewlightCore::ReminderInterval;
using DewlightCore::ResetGeneration;
using DewlightCore::RozivSettings;
using DewlightCore::Weekday;
using DewlightCore::WriterTag;
using KestraPreferences::PreferenceCloudIssue;
using KestraPreferencesCore::PreferenceRecord;
using Key = RozivPreferenceKey;

// "roziv.v1.p." + counter + "." + the digest of the generation writer "initial".
const std::string initialScope = "roziv.v1.p.0.rBtcCWGnJptqBT7mQnbtDiCn9IrvufZ1GVOdI6rxAUk";
const ResetGeneration initial(0, Identity<WriterTag>("initial"));

void settle() {
    QCoreApplication::processEvents();
}

QByteArray recordBytes(std::uint64_t revision, const std::string& writer, QByteArray payload) {
    return QByteArray::fromStdString(DewlightCore::Json::serialize(
        DewlightCore::Json::encode(PreferenceRecord(revision, writer, std::move(payload)))));
}

std::optional<PreferenceRecord> recordIn(std::optional<QByteArray> bytes) {
    if (!bytes)
        return std::nullopt;
    return DewlightCore::Json::decode<PreferenceRecord>(
        DewlightCore::Json::parse(bytes->toStdString()));
}

RozivSettings settings(std::set<Weekday> days, std::int64_t start = 540, std::int64_t end = 1080) {
    return RozivSettings(true, std::move(days), start, end, CupVolume::ml250,
                         ReminderInterval::minutes60, false);
}

// One computer: its defaults, its replica of the shared store, its fence for account "A".
struct Machine {
    Machine(DewlightPlatform::LocalKeyValueHub& hub, const std::string& name, std::string writer,
            bool cloudAvailable = true)
        : store(hub.addMachine(name, "A")), writer(std::move(writer)),
          cloudAvailable(cloudAvailable) {}

    RozivPreferenceContext context() {
        return {defaults, store,       AccountSession{"A", cloudAvailable, false},
                writer,   fence.fence, [this] { return writable; }};
    }
    void open(const ResetGeneration& generation = initial) {
        preferences.makeStore(context(), generation);
        preferences.setOnChange([this] { ++changes; });
    }
    RozivPreferenceSession& session() { return *preferences.store()->session; }
    std::string localKey(const std::string& key, const std::string& scope = initialScope) {
        return "A." + scope + ".syncedPreference.v1." + key;
    }
    std::string cloudKey(const std::string& key) {
        return initialScope + ".syncedPreference.v1." + key;
    }

    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalKeyValueStore& store;
    OpenFence fence;
    Identity<WriterTag> writer;
    bool cloudAvailable;
    bool writable = true;
    RozivPreferences preferences;
    int changes = 0;
};

class RozivPreferencesTest : public ::testing::Test {
protected:
    DewlightPlatform::LocalKeyValueHub hub;
    Machine here{hub, "here", "AAAAAAAA-0000-4000-8000-000000000001"};
};

struct KeyCase {
    Key key;
    std::int64_t value;
    const char* text;
    const char* payload;
};

class RozivPreferencesKeys : public RozivPreferencesTest,
                             public ::testing::WithParamInterface<KeyCase> {};

TEST_P(RozivPreferencesKeys, EachSettingHasItsOwnKeyInBothStores) {
    const auto& step = GetParam();
    EXPECT_EQ(DewlightCore::rawValue(step.key), step.text);
    here.open();
    here.preferences.set(step.value, step.key);
    const auto local = recordIn(here.defaults.bytes(here.localKey(step.text)));
    ASSERT_TRUE(local);
    EXPECT_EQ(local->payload, QByteArray(step.payload));
    EXPECT_EQ(local->writer, here.writer.rawValue());
    EXPECT_EQ(here.store.data(here.cloudKey(step.text)),
              here.defaults.bytes(here.localKey(step.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RozivPreferencesKeys,
    ::testing::Values(KeyCase{Key::reminders, 2, "reminders", "false"},
                      KeyCase{Key::start, 600, "start", "600"},
                      KeyCase{Key::end, 1200, "end", "1200"},
                      // Saturday added to Monday-Friday, written sorted by raw value.
                      KeyCase{Key::days, 6, "days", "[2,3,4,5,6,7]"},
                      KeyCase{Key::cup, 500, "cup", "500"},
                      KeyCase{Key::interval, 90, "interval", "90"}),
    [](const auto& info) { return std::string(info.param.text); });

TEST_F(RozivPreferencesTest, StoreHoldsOnlyTheScopedKeys) {
    here.open();
    here.preferences.set(600, Key::start);
    EXPECT_EQ(here.defaults.keys(),
              (std::vector<std::string>{"A." + initialScope + ".syncedPreference.account",
                                        here.localKey("start")}));
    EXPECT_EQ(here.defaults.bytes("A." + initialScope + ".syncedPreference.account"),
              QByteArray("A"));
    EXPECT_EQ(here.store.keys(), std::vector<std::string>{here.cloudKey("start")});
    EXPECT_EQ(DewlightCore::allCases<Key>(), (std::array{Key::reminders, Key::start, Key::end,
                                                         Key::days, Key::cup, Key::interval}));
    EXPECT_EQ(DewlightCore::fromRawValue<Key>("openAtLogin"), std::nullopt);
}

struct EditCase {
    const char* name;
    std::set<Weekday> days;
    Key key;
    std::int64_t value;
    std::set<Weekday> expectedDays;
    bool written;
};

class RozivPreferencesEdits : public RozivPreferencesTest,
                              public ::testing::WithParamInterface<EditCase> {};

TEST_P(RozivPreferencesEdits, ChangeOneFieldOrNothing) {
    const auto& step = GetParam();
    here.open();
    here.session().save(settings(step.days), Key::days);
    here.preferences.setCurrent(here.session().load());
    const auto before = here.defaults.writes();
    here.preferences.set(step.value, step.key);
    EXPECT_EQ(here.preferences.current().weekdays(), step.expectedDays);
    EXPECT_EQ(here.session().load().weekdays(), step.expectedDays);
    EXPECT_EQ(here.defaults.writes() > before, step.written);
}

const std::set<Weekday> mondayWednesday{Weekday::monday, Weekday::wednesday};

INSTANTIATE_TEST_SUITE_P(
    Days, RozivPreferencesEdits,
    ::testing::Values(
        EditCase{"ThreeRemovesWednesday", mondayWednesday, Key::days, 3, {Weekday::monday}, true},
        EditCase{"SevenAddsSunday",
                 mondayWednesday,
                 Key::days,
                 7,
                 {Weekday::sunday, Weekday::monday, Weekday::wednesday},
                 true},
        EditCase{"SixAddsSaturday",
                 mondayWednesday,
                 Key::days,
                 6,
                 {Weekday::monday, Weekday::wednesday, Weekday::saturday},
                 true},
        EditCase{"ZeroIsNoDay", mondayWednesday, Key::days, 0, mondayWednesday, false},
        EditCase{"EightIsNoDay", mondayWednesday, Key::days, 8, mondayWednesday, false},
        // The last day stays, and the unchanged settings are still written.
        EditCase{"LastDayStays", {Weekday::monday}, Key::days, 1, {Weekday::monday}, true},
        EditCase{"NoCupOf450", mondayWednesday, Key::cup, 450, mondayWednesday, false},
        EditCase{"NoIntervalOf75", mondayWednesday, Key::interval, 75, mondayWednesday, false},
        // A half-hour window: the settings refuse it, so nothing is written.
        EditCase{"WindowTooShort", mondayWednesday, Key::end, 570, mondayWednesday, false},
        EditCase{"StartOffTheHalfHour", mondayWednesday, Key::start, 545, mondayWednesday, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RozivPreferencesTest, ValidEditsReachCurrent) {
    here.open();
    here.preferences.set(500, Key::cup);
    here.preferences.set(120, Key::interval);
    here.preferences.set(3, Key::reminders); // the lowest bit: on
    here.preferences.set(0, Key::reminders);
    const auto& current = here.preferences.current();
    EXPECT_EQ(current.cupVolume(), CupVolume::ml500);
    EXPECT_EQ(current.interval(), ReminderInterval::minutes120);
    EXPECT_FALSE(current.remindersEnabled());
    EXPECT_EQ(here.session().load(), current);
}

TEST_F(RozivPreferencesTest, NothingIsWrittenWhileWritingIsNotAllowed) {
    here.preferences.set(500, Key::cup); // no store yet
    EXPECT_EQ(here.preferences.current(), RozivSettings::defaults());
    here.writable = false;
    here.open();
    const auto before = here.defaults.writes();
    here.preferences.set(500, Key::cup);
    EXPECT_EQ(here.preferences.current(), RozivSettings::defaults());
    EXPECT_EQ(here.defaults.writes(), before);
}

TEST_F(RozivPreferencesTest, CurrentAnnouncesOnlyRealChanges) {
    int currentChanges = 0, loginChanges = 0;
    QObject::connect(&here.preferences, &RozivPreferences::currentChanged,
                     [&] { ++currentChanges; });
    QObject::connect(&here.preferences, &RozivPreferences::loginFailedChanged,
                     [&] { ++loginChanges; });
    here.open();
    here.preferences.set(500, Key::cup);
    here.preferences.set(500, Key::cup);
    here.preferences.setCurrent(here.preferences.current());
    here.preferences.setLoginFailed(true);
    here.preferences.setLoginFailed(true);
    EXPECT_EQ(currentChanges, 1);
    EXPECT_EQ(loginChanges, 1);
    EXPECT_TRUE(here.preferences.loginFailed());
}

TEST_F(RozivPreferencesTest, OpenAtLoginNeverReadsBackTrue) {
    here.open();
    here.preferences.setCurrent(RozivSettings(true, {Weekday::monday}, 540, 1080, CupVolume::ml250,
                                              ReminderInterval::minutes60, true));
    here.preferences.set(600, Key::start);
    EXPECT_FALSE(here.preferences.current().openAtLogin());
    EXPECT_FALSE(here.session().load().openAtLogin());
}

TEST_F(RozivPreferencesTest, UndecodableKeysTakeTheDefaults) {
    here.defaults.setBytes(here.localKey("days"), recordBytes(1, "X", "[0]"));
    here.defaults.setBytes(here.localKey("cup"), recordBytes(1, "X", "450"));
    here.defaults.setBytes(here.localKey("reminders"), recordBytes(1, "X", "1"));
    here.defaults.setBytes(here.localKey("interval"), recordBytes(1, "X", "90"));
    here.defaults.setBytes("A." + initialScope + ".syncedPreference.account", "A");
    here.open();
    const auto loaded = here.session().load();
    EXPECT_EQ(loaded.weekdays(), RozivSettings::defaults().weekdays());
    EXPECT_EQ(loaded.cupVolume(), RozivSettings::defaults().cupVolume());
    EXPECT_EQ(loaded.remindersEnabled(), RozivSettings::defaults().remindersEnabled());
    EXPECT_EQ(loaded.interval(), ReminderInterval::minutes90);
}

TEST_F(RozivPreferencesTest, InvalidStoredSettingsFailTheLoadUntilRepaired) {
    here.defaults.setBytes("A." + initialScope + ".syncedPreference.account", "A");
    here.defaults.setBytes(here.localKey("start"), recordBytes(1, "X", "720"));
    here.defaults.setBytes(here.localKey("end"), recordBytes(1, "X", "750"));
    here.open();
    try {
        here.session().load();
        ADD_FAILURE() << "a half-hour window loaded";
    } catch (const StorageError& failure) {
        EXPECT_EQ(failure.as<RozivPreferenceFailure>(), RozivPreferenceFailure::invalidSettings);
    }
    EXPECT_EQ(here.session().failures(),
              std::set<RozivPreferenceFailure>{RozivPreferenceFailure::invalidSettings});
    // An edit that makes the stored keys valid again repairs them and clears the failure.
    here.preferences.set(1080, Key::end);
    EXPECT_EQ(here.preferences.current().startMinute(), 720);
    EXPECT_EQ(here.preferences.current().endMinute(), 1080);
    EXPECT_TRUE(here.session().failures().empty());
}

TEST_F(RozivPreferencesTest, DroppedWriteEndsInNotSaved) {
    here.open();
    // Bytes in the cloud that are no record: the sync refuses to write over them.
    here.store.set(here.cloudKey("start"), "damaged");
    here.store.set(here.cloudKey("end"), "damaged");
    const auto before = here.preferences.current();
    here.preferences.set(600, Key::start);
    here.preferences.set(1200, Key::end);
    EXPECT_EQ(here.preferences.current(), before);
    EXPECT_EQ(here.session().unsavedKeys(), (std::set<Key>{Key::start, Key::end}));
    try {
        here.session().save(settings({Weekday::monday}, 600), Key::start);
        ADD_FAILURE() << "a dropped write was reported saved";
    } catch (const StorageError& failure) {
        EXPECT_EQ(failure.as<RozivPreferenceFailure>(), RozivPreferenceFailure::notSaved);
    }

    // Cleared only once every unsaved key was written.
    here.store.remove(here.cloudKey("start"));
    here.preferences.set(600, Key::start);
    EXPECT_EQ(here.preferences.current().startMinute(), 600);
    EXPECT_EQ(here.session().failures(),
              std::set<RozivPreferenceFailure>{RozivPreferenceFailure::notSaved});
    here.store.remove(here.cloudKey("end"));
    here.preferences.set(1200, Key::end);
    EXPECT_TRUE(here.session().failures().empty());
    EXPECT_TRUE(here.session().unsavedKeys().empty());
}

TEST_F(RozivPreferencesTest, ClosedFenceKeepsEditsLocal) {
    here.open();
    here.fence.close();
    here.preferences.set(600, Key::start);
    EXPECT_EQ(here.preferences.current().startMinute(), 600);
    EXPECT_TRUE(here.store.keys().empty());
    EXPECT_EQ(here.session().sync().issue(), PreferenceCloudIssue::accountUnavailable);
}

TEST_F(RozivPreferencesTest, AccountWithoutCloudNeverTouchesTheSharedStore) {
    Machine alone(hub, "alone", "AAAAAAAA-0000-4000-8000-000000000009", false);
    alone.store.set(alone.cloudKey("cup"), recordBytes(5, "X", "500"));
    alone.open();
    alone.preferences.set(600, Key::start);
    EXPECT_EQ(alone.session().load().startMinute(), 600);
    EXPECT_EQ(alone.session().load().cupVolume(), CupVolume::ml250);
    EXPECT_EQ(alone.store.keys(), std::vector<std::string>{alone.cloudKey("cup")});
    EXPECT_EQ(alone.store.synchronizations(), 0);
    alone.store.post(DewlightPlatform::KeyValueStoreChange::make(
        DewlightPlatform::KeyValueStoreChangeReason::serverChange,
        std::vector<std::string>{alone.cloudKey("cup")}));
    settle();
    EXPECT_EQ(alone.changes, 0);
}

TEST_F(RozivPreferencesTest, ChangedAccountBindingWipesInsteadOfMerging) {
    here.defaults.setBytes("A." + initialScope + ".syncedPreference.account", "OTHER");
    here.defaults.setBytes(here.localKey("start"), recordBytes(3, "X", "600"));
    here.open();
    EXPECT_EQ(here.defaults.bytes(here.localKey("start")), std::nullopt);
    EXPECT_EQ(here.session().load().startMinute(), RozivSettings::defaults().startMinute());
    EXPECT_TRUE(here.store.keys().empty());
}

TEST_F(RozivPreferencesTest, QuotaKeepsLaterWritesLocal) {
    here.open();
    hub.setQuota({.totalBytes = 10, .keyCount = std::nullopt});
    here.preferences.set(600, Key::start);
    EXPECT_TRUE(here.store.keys().empty());
    settle(); // the store's quota notice
    EXPECT_EQ(here.session().sync().issue(), PreferenceCloudIssue::quotaExceeded);

    hub.setQuota({});
    here.preferences.set(1200, Key::end);
    EXPECT_EQ(here.preferences.current().endMinute(), 1200);
    EXPECT_TRUE(here.store.keys().empty());
}

TEST_F(RozivPreferencesTest, TwoMachinesConvergeOnTheSameBytes) {
    Machine there(hub, "there", "BBBBBBBB-0000-4000-8000-000000000002");
    here.open();
    there.open();
    here.preferences.set(600, Key::start);
    there.preferences.set(630, Key::start);
    there.preferences.set(500, Key::cup);

    hub.deliver("here", "there");
    settle();
    hub.deliver("there", "here");
    settle();
    hub.deliver("here", "there");
    settle();

    for (const auto key : {"start", "cup"}) {
        const auto bytes = here.store.data(here.cloudKey(key));
        ASSERT_TRUE(bytes) << key;
        EXPECT_EQ(there.store.data(there.cloudKey(key)), bytes) << key;
        EXPECT_EQ(here.defaults.bytes(here.localKey(key)), bytes) << key;
        EXPECT_EQ(there.defaults.bytes(there.localKey(key)), bytes) << key;
    }
    // Same revision: the greater writer's edit wins on both.
    EXPECT_EQ(here.session().load().startMinute(), 630);
    EXPECT_EQ(there.session().load().startMinute(), 630);
    EXPECT_EQ(here.session().load().cupVolume(), CupVolume::ml500);
    // Only the machine whose local copies changed hears about it; its owner reloads.
    EXPECT_EQ(here.changes, 2);
    EXPECT_EQ(there.changes, 0);
    EXPECT_EQ(here.preferences.current().startMinute(), 600);
}

TEST_F(RozivPreferencesTest, RebuiltStackIgnoresTheOldOne) {
    Machine there(hub, "there", "BBBBBBBB-0000-4000-8000-000000000002");
    here.open();
    there.open();
    there.preferences.set(500, Key::cup);
    hub.deliver("there", "here");
    // The stack is replaced before the notice is handled: only the new one acts on it.
    here.open();
    settle();
    EXPECT_EQ(here.changes, 0); // the new stack's first pull took it, before observers existed
    EXPECT_EQ(here.session().load().cupVolume(), CupVolume::ml500);
}

TEST_F(RozivPreferencesTest, ResetPurgesOtherGenerationsOfTheAccountOnly) {
    const ResetGeneration next(1, Identity<WriterTag>("initial"));
    const auto nextScope = RozivPreferences::generationScope(next);
    ASSERT_EQ(nextScope, "roziv.v1.p.1.rBtcCWGnJptqBT7mQnbtDiCn9IrvufZ1GVOdI6rxAUk");
    here.open();
    here.preferences.set(600, Key::start);
    here.preferences.setCurrent(here.session().load());
    const std::vector<std::string> kept = {
        "A." + nextScope + ".syncedPreference.v1.start",
        "A." + nextScope + ".syncedPreference.account",
        "B.roziv.v1.p.0.x.syncedPreference.v1.start",
        "A.other",
        "identity.local",
        "Aroziv.v1.p.0.x",
    };
    for (const auto& key : kept)
        here.defaults.setBytes(key, key == kept[1] ? QByteArray("A") : recordBytes(1, "X", "660"));
    here.defaults.setBytes("A.roziv.v1.p.7.y.syncedPreference.v1.end", "old");

    here.preferences.reset(here.context(), next);
    EXPECT_EQ(here.defaults.bytes(here.localKey("start")), std::nullopt);
    EXPECT_EQ(here.defaults.bytes("A." + initialScope + ".syncedPreference.account"), std::nullopt);
    EXPECT_EQ(here.defaults.bytes("A.roziv.v1.p.7.y.syncedPreference.v1.end"), std::nullopt);
    for (const auto& key : kept)
        EXPECT_TRUE(here.defaults.bytes(key)) << key;
    EXPECT_EQ(here.preferences.current(), RozivSettings::defaults());
    EXPECT_EQ(here.session().load().startMinute(), 660);
    // The old generation's shared key stays for the ledger's prune to remove.
    EXPECT_TRUE(here.store.data(here.cloudKey("start")));
}

} // namespace
} // namespace DewlightStorage
