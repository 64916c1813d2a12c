#include "storage/PreferenceSync.h"

#include "MemoryPreferenceStorage.h"
#include "platform/storage/LocalIdentityTokenSource.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/LocalUserDefaults.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <limits>

namespace DewlightStorage::KestraPreferences {
namespace {

using DewlightCore::Json::decode;
using DewlightCore::Json::encode;
using DewlightCore::Json::parse;
using DewlightCore::Json::serialize;
using KestraPreferencesCore::PreferenceRecord;

const std::string start = "syncedPreference.v1.start";
const std::string end = "syncedPreference.v1.end";

QByteArray recordBytes(std::uint64_t revision, const std::string& writer,
                       std::optional<QByteArray> payload) {
    return QByteArray::fromStdString(
        serialize(encode(PreferenceRecord(revision, writer, std::move(payload)))));
}

PreferenceRecord recordIn(const std::map<std::string, QByteArray>& values, const std::string& key) {
    return decode<PreferenceRecord>(parse(values.at(key).toStdString()));
}

class PreferenceSyncTest : public ::testing::Test {
protected:
    std::unique_ptr<PreferenceSync> make(PreferenceAccountIdentity account = accountM(),
                                         PreferenceSync::AccountProvider provider = {}) {
        return std::make_unique<PreferenceSync>(local, cloud, std::set<std::string>{"start", "end"},
                                                "WRITER", std::move(account), std::move(provider));
    }
    static PreferenceAccountIdentity accountM() { return PreferenceAccountIdentity::account("M"); }
    // A local store that already belongs to account M.
    void bindLocalToM() { local->values[PreferenceSync::accountKey] = "M"; }
    void resetCounts() {
        local->writes = 0;
        cloud->storage.writes = 0;
    }

    std::shared_ptr<MemoryPreferenceStorage> local = std::make_shared<MemoryPreferenceStorage>();
    std::shared_ptr<MemoryPreferenceCloud> cloud = std::make_shared<MemoryPreferenceCloud>();
};

TEST_F(PreferenceSyncTest, PullTakesTheNewerCloudRecordAndTellsItsObservers) {
    bindLocalToM();
    auto sync = make();
    local->values[start] = recordBytes(3, "X", "540");
    cloud->values()[start] = recordBytes(4, "Y", "600");
    int started = 0, ended = 0;
    sync->observe("start", [&] { ++started; });
    sync->observe("end", [&] { ++ended; });
    resetCounts();
    sync->pull({});
    EXPECT_EQ(local->values[start], recordBytes(4, "Y", "600"));
    EXPECT_EQ(cloud->writes(), 0);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(sync->value<std::int64_t>("start"), 600);
}

TEST_F(PreferenceSyncTest, PullPushesALocalOnlyRecordWithoutObservers) {
    bindLocalToM();
    auto sync = make();
    local->values[start] = recordBytes(4, "X", "540");
    int called = 0;
    sync->observe("start", [&] { ++called; });
    sync->pull({});
    EXPECT_EQ(cloud->values()[start], local->values[start]);
    EXPECT_EQ(called, 0);
}

TEST_F(PreferenceSyncTest, IdenticalRecordsWriteNothing) {
    bindLocalToM();
    local->values[start] = recordBytes(2, "X", "540");
    cloud->values()[start] = recordBytes(2, "X", "540");
    auto sync = make();
    resetCounts();
    sync->pull({});
    EXPECT_EQ(local->writes, 0);
    EXPECT_EQ(cloud->writes(), 0);
}

TEST_F(PreferenceSyncTest, ConstructionMergesEveryKeyAndSynchronizes) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    cloud->values()[end] = recordBytes(1, "Y", "1080");
    auto sync = make();
    EXPECT_EQ(cloud->values()[start], local->values[start]);
    EXPECT_EQ(local->values[end], cloud->values()[end]);
    EXPECT_EQ(cloud->synchronizations, 1);
}

TEST_F(PreferenceSyncTest, PullMergesOnlyTheChangedKeys) {
    bindLocalToM();
    auto sync = make();
    cloud->values()[start] = recordBytes(1, "Y", "540");
    cloud->values()[end] = recordBytes(1, "Y", "1080");
    sync->pull({start, "syncedPreference.v1.other", "start"});
    EXPECT_TRUE(local->values.contains(start));
    EXPECT_FALSE(local->values.contains(end));
    sync->pull({});
    EXPECT_TRUE(local->values.contains(end));
}

TEST_F(PreferenceSyncTest, ChangedCloudReachesThePullThroughTheCallback) {
    bindLocalToM();
    auto sync = make();
    cloud->values()[start] = recordBytes(1, "Y", "540");
    ASSERT_TRUE(cloud->onExternalChange());
    cloud->onExternalChange()({start});
    EXPECT_EQ(sync->value<std::int64_t>("start"), 540);
    sync.reset();
    cloud->values()[end] = recordBytes(1, "Y", "1080");
    cloud->onExternalChange()({}); // the sync is gone: nothing happens
    EXPECT_FALSE(local->values.contains(end));
}

TEST_F(PreferenceSyncTest, QuotaStopsPullsAndKeepsWritesLocal) {
    bindLocalToM();
    auto sync = make();
    cloud->values()[start] = recordBytes(1, "Y", "540");
    cloud->reported = PreferenceCloudIssue::quotaExceeded;
    sync->pull({});
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::quotaExceeded);
    EXPECT_FALSE(local->values.contains(start));

    sync->set(std::int64_t{600}, "end");
    EXPECT_TRUE(local->values.contains(end));
    EXPECT_FALSE(cloud->values().contains(end));
    // The cloud's record is still the base of a write while the quota holds.
    sync->set(std::int64_t{570}, "start");
    EXPECT_EQ(recordIn(local->values, start).revision, 2u);
    EXPECT_EQ(recordIn(cloud->values(), start).revision, 1u);

    cloud->reported.reset();
    sync->pull({});
    EXPECT_EQ(sync->issue(), std::nullopt);
    EXPECT_EQ(cloud->values()[end], local->values[end]);
    EXPECT_EQ(cloud->values()[start], local->values[start]);
}

TEST_F(PreferenceSyncTest, WriteStampsOneAboveTheMergedCopies) {
    bindLocalToM();
    auto sync = make();
    local->values[start] = recordBytes(2, "X", "540");
    cloud->values()[start] = recordBytes(5, "Y", "600");
    sync->set(std::int64_t{630}, "start");
    EXPECT_EQ(recordIn(local->values, start), PreferenceRecord(6, "WRITER", QByteArray("630")));
    EXPECT_EQ(cloud->values()[start], local->values[start]);
    sync->set(std::int64_t{660}, "end");
    EXPECT_EQ(recordIn(local->values, end).revision, 1u);
}

TEST_F(PreferenceSyncTest, WriteAtTheLargestRevisionChangesNothing) {
    bindLocalToM();
    auto sync = make();
    const auto top = recordBytes(std::numeric_limits<std::uint64_t>::max(), "X", "540");
    local->values[start] = top;
    cloud->values()[start] = top;
    sync->set(std::int64_t{600}, "start");
    sync->remove("start");
    EXPECT_EQ(local->values[start], top);
    EXPECT_EQ(cloud->values()[start], top);
}

TEST_F(PreferenceSyncTest, PayloadLimitIsExact) {
    bindLocalToM();
    auto sync = make();
    // A JSON string of n letters is n + 2 bytes.
    sync->set(std::string(32767, 'a'), "start");
    EXPECT_EQ(local->values.count(start), 0u);
    sync->set(std::string(32766, 'a'), "start");
    ASSERT_EQ(local->values.count(start), 1u);
    EXPECT_EQ(recordIn(local->values, start).payload->size(), 32768);
    // Not JSON at all (not UTF-8): nothing is written.
    sync->set(std::string("\xff"), "end");
    EXPECT_FALSE(local->values.contains(end));
}

TEST_F(PreferenceSyncTest, RemovalIsARecordWithoutPayload) {
    bindLocalToM();
    auto sync = make();
    sync->set(true, "start");
    EXPECT_FALSE(sync->isRemoved("start"));
    sync->remove("start");
    EXPECT_EQ(sync->value<bool>("start"), std::nullopt);
    EXPECT_TRUE(sync->isRemoved("start"));
    EXPECT_EQ(recordIn(cloud->values(), start), PreferenceRecord(2, "WRITER", std::nullopt));
    EXPECT_FALSE(sync->isRemoved("end"));
}

TEST_F(PreferenceSyncTest, UnmanagedKeysAreNeitherReadNorWritten) {
    bindLocalToM();
    local->values["syncedPreference.v1.other"] = recordBytes(1, "X", "1");
    auto sync = make();
    sync->set(std::int64_t{2}, "other");
    sync->remove("other");
    EXPECT_EQ(sync->value<std::int64_t>("other"), std::nullopt);
    EXPECT_FALSE(sync->isRemoved("other"));
    EXPECT_EQ(local->values["syncedPreference.v1.other"], recordBytes(1, "X", "1"));
    EXPECT_FALSE(cloud->values().contains("syncedPreference.v1.other"));
}

TEST_F(PreferenceSyncTest, UndecodablePayloadReadsAsNothing) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "\"text\"");
    local->values[end] = recordBytes(1, "X", "not json");
    auto sync = make();
    EXPECT_EQ(sync->value<std::int64_t>("start"), std::nullopt);
    EXPECT_EQ(sync->value<std::string>("start"), "text");
    EXPECT_EQ(sync->value<std::int64_t>("end"), std::nullopt);
}

struct BadData {
    const char* name;
    QByteArray bytes;
};

class PreferenceSyncBadData : public PreferenceSyncTest,
                              public ::testing::WithParamInterface<BadData> {};

TEST_P(PreferenceSyncBadData, LocalCopyIsSkippedByPullsAndRefusedByWrites) {
    bindLocalToM();
    local->values[start] = GetParam().bytes;
    cloud->values()[start] = recordBytes(1, "Y", "540");
    auto sync = make();
    sync->set(std::int64_t{600}, "start");
    EXPECT_EQ(local->values[start], GetParam().bytes);
    EXPECT_EQ(cloud->values()[start], recordBytes(1, "Y", "540"));
    EXPECT_EQ(sync->value<std::int64_t>("start"), std::nullopt);
}

TEST_P(PreferenceSyncBadData, CloudCopyIsSkippedByPullsAndRefusesWrites) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    cloud->values()[start] = GetParam().bytes;
    auto sync = make();
    sync->set(std::int64_t{600}, "start");
    EXPECT_EQ(local->values[start], recordBytes(1, "X", "540"));
    EXPECT_EQ(cloud->values()[start], GetParam().bytes);
}

QByteArray oversized() {
    // A valid record padded with spaces beyond the stored-size limit.
    auto bytes = recordBytes(1, "X", "540");
    bytes.append(QByteArray(65537 - bytes.size(), ' '));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PreferenceSyncBadData,
    ::testing::Values(BadData{"NotJson", "{"}, BadData{"NotARecord", R"({"version":1})"},
                      BadData{"RevisionZero", recordBytes(0, "X", "1")},
                      BadData{"VersionTwo", R"({"version":2,"revision":1,"writer":"X"})"},
                      BadData{"EmptyWriter", recordBytes(1, "", "1")},
                      BadData{"Oversized", oversized()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferenceSyncTest, FirstConstructionBindsTheAccountAndTheNextKeepsItsValues) {
    local->values[start] = recordBytes(1, "X", "540");
    local->values["unmanaged"] = "keep";
    make();
    EXPECT_EQ(local->values[PreferenceSync::accountKey], "M");
    // No marker stored before: the managed keys were cleared.
    EXPECT_FALSE(local->values.contains(start));
    EXPECT_EQ(local->values["unmanaged"], "keep");

    local->values[start] = recordBytes(1, "X", "540");
    auto again = make();
    EXPECT_EQ(again->value<std::int64_t>("start"), 540);
}

TEST_F(PreferenceSyncTest, ConstructionForAnotherAccountWipesTheOldValues) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    auto sync = make(PreferenceAccountIdentity::account("N"));
    EXPECT_FALSE(local->values.contains(start));
    EXPECT_EQ(local->values[PreferenceSync::accountKey], "N");
    EXPECT_EQ(sync->issue(), std::nullopt);
}

TEST_F(PreferenceSyncTest, UnavailableAccountKeepsBoundValuesAndWritesLocally) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    auto sync = make(PreferenceAccountIdentity::unavailable());
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountUnavailable);
    EXPECT_EQ(sync->value<std::int64_t>("start"), 540);
    sync->set(std::int64_t{600}, "start");
    EXPECT_EQ(sync->value<std::int64_t>("start"), 600);
    EXPECT_TRUE(cloud->values().empty());

    // Unbound local values of nobody are cleared.
    auto fresh = std::make_shared<MemoryPreferenceStorage>();
    fresh->values[start] = recordBytes(1, "X", "540");
    PreferenceSync unbound(fresh, cloud, {"start"}, "W", PreferenceAccountIdentity::unavailable());
    EXPECT_FALSE(fresh->values.contains(start));
}

TEST_F(PreferenceSyncTest, ProviderComingBackResumesTheSameAccount) {
    bindLocalToM();
    auto current = accountM();
    auto sync = make(accountM(), [&] { return current; });
    current = PreferenceAccountIdentity::unavailable();
    sync->set(std::int64_t{600}, "start");
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountUnavailable);
    EXPECT_FALSE(cloud->values().contains(start));

    current = accountM();
    cloud->values()[end] = recordBytes(1, "Y", "1080");
    // Coming back from an unavailable account merges every key, whatever the changed set says.
    sync->pull({"syncedPreference.v1.nothing"});
    EXPECT_EQ(sync->issue(), std::nullopt);
    EXPECT_EQ(cloud->values()[start], local->values[start]);
    EXPECT_EQ(local->values[end], cloud->values()[end]);
}

TEST_F(PreferenceSyncTest, AnotherAccountStopsTheSyncForGood) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    auto current = accountM();
    auto sync = make(accountM(), [&] { return current; });
    current = PreferenceAccountIdentity::account("N");
    sync->pull({});
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountChanged);
    EXPECT_FALSE(local->values.contains(start));
    EXPECT_EQ(local->values[PreferenceSync::accountKey], "M");

    current = accountM();
    cloud->values()[end] = recordBytes(1, "Y", "1080");
    sync->pull({});
    sync->set(std::int64_t{600}, "start");
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountChanged);
    EXPECT_FALSE(local->values.contains(start));
    EXPECT_FALSE(local->values.contains(end));
}

TEST_F(PreferenceSyncTest, CloudAccountChangeWithoutProviderWipesLocalValues) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    auto sync = make();
    cloud->reported = PreferenceCloudIssue::accountChanged;
    sync->pull({});
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountChanged);
    EXPECT_FALSE(local->values.contains(start));
}

TEST_F(PreferenceSyncTest, CloudAccountChangeWithProviderLeavesTheJudgementToIt) {
    bindLocalToM();
    local->values[start] = recordBytes(1, "X", "540");
    auto sync = make(accountM(), [] { return PreferenceAccountIdentity::account("M"); });
    cloud->reported = PreferenceCloudIssue::accountChanged;
    sync->pull({});
    EXPECT_EQ(sync->issue(), std::nullopt);
    EXPECT_EQ(cloud->values()[start], local->values[start]);
}

TEST_F(PreferenceSyncTest, ObserverMayEndTheSyncDuringAPull) {
    bindLocalToM();
    auto sync = make();
    cloud->values()[start] = recordBytes(1, "Y", "540");
    cloud->values()[end] = recordBytes(1, "Y", "1080");
    int calls = 0;
    sync->observe("end", [&] {
        ++calls;
        sync.reset();
    });
    sync->observe("start", [&] { ++calls; });
    sync->pull({});
    EXPECT_EQ(sync, nullptr);
    EXPECT_EQ(calls, 1);
}

TEST_F(PreferenceSyncTest, RemovedObserverIsNotCalled) {
    bindLocalToM();
    auto sync = make();
    int calls = 0;
    const auto id = sync->observe("start", [&] { ++calls; });
    sync->removeObserver(id);
    sync->removeObserver(QUuid::createUuid());
    cloud->values()[start] = recordBytes(1, "Y", "540");
    sync->pull({});
    EXPECT_EQ(calls, 0);
}

TEST_F(PreferenceSyncTest, EmptyWriterWritesNothing) {
    bindLocalToM();
    PreferenceSync sync(local, cloud, {"start"}, "", accountM());
    sync.set(true, "start");
    EXPECT_FALSE(local->values.contains(start));
    PreferenceSync tooLong(local, cloud, {"start"}, std::string(129, 'w'), accountM());
    tooLong.set(true, "start");
    EXPECT_FALSE(local->values.contains(start));
}

TEST(PreferenceSyncAccountIdentity, OneMarkerPerToken) {
    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalIdentityTokenSource tokens;
    EXPECT_EQ(PreferenceSync::accountIdentity(std::nullopt, tokens, defaults),
              PreferenceAccountIdentity::unavailable());
    EXPECT_TRUE(defaults.keys().empty());

    const DewlightPlatform::IdentityToken first("first"), second("second");
    const auto a = PreferenceSync::accountIdentity(first, tokens, defaults);
    ASSERT_TRUE(a.isAccount());
    EXPECT_EQ(a.marker().size(), 36);
    EXPECT_EQ(PreferenceSync::accountIdentity(first, tokens, defaults), a);
    const auto b = PreferenceSync::accountIdentity(second, tokens, defaults);
    EXPECT_NE(b, a);
    // Only the last token is remembered.
    EXPECT_NE(PreferenceSync::accountIdentity(first, tokens, defaults), a);

    defaults.setBytes(PreferenceSync::archivedAccountTokenKey, "damaged");
    const auto c = PreferenceSync::accountIdentity(first, tokens, defaults);
    EXPECT_TRUE(c.isAccount());
    EXPECT_EQ(PreferenceSync::accountIdentity(first, tokens, defaults), c);

    tokens.setArchivingFails(true);
    EXPECT_EQ(PreferenceSync::accountIdentity(first, tokens, defaults),
              PreferenceAccountIdentity::unavailable());
}

TEST(PreferenceSyncOverDefaults, KeepsItsWriterAndFollowsTheIdentity) {
    DewlightPlatform::LocalUserDefaults defaults;
    DewlightPlatform::LocalIdentityTokenSource tokens("first");
    DewlightPlatform::LocalKeyValueHub hub;
    auto& store = hub.addMachine("here", "first");
    auto sync =
        std::make_unique<PreferenceSync>(defaults, store, tokens, std::set<std::string>{"start"});
    const auto writer = defaults.text(PreferenceSync::writerKey);
    ASSERT_TRUE(writer);
    EXPECT_EQ(QUuid::fromString(QString::fromStdString(*writer)).isNull(), false);
    EXPECT_EQ(sync->writerID(), *writer);
    EXPECT_EQ(store.synchronizations(), 1);
    sync->set(std::int64_t{540}, "start");
    EXPECT_TRUE(defaults.bytes(start));
    EXPECT_EQ(store.data(start), defaults.bytes(start));

    // Signed out: the next pull, on a later turn, finds no account.
    tokens.setToken(std::nullopt);
    EXPECT_EQ(sync->issue(), std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountUnavailable);

    // Another account: the first one's values are wiped, and the sync stops.
    tokens.setToken("second");
    QCoreApplication::processEvents();
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountChanged);
    EXPECT_EQ(defaults.bytes(start), std::nullopt);

    sync =
        std::make_unique<PreferenceSync>(defaults, store, tokens, std::set<std::string>{"start"});
    EXPECT_EQ(sync->writerID(), *writer);
    EXPECT_EQ(sync->issue(), std::nullopt);
    tokens.setToken(std::nullopt);
    sync.reset();
    QCoreApplication::processEvents(); // the deferred pull of a gone sync does nothing
}

} // namespace
} // namespace DewlightStorage::KestraPreferences
