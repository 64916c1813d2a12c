#include "platform/runtime/EventLoop.h"
#include "platform/runtime/Job.h"
#include "platform/storage/LocalFileSystem.h"
#include "storage/AtomicFileStore.h"
#include "tests/storage/StorageFailure.h"
#include "tests/support/WarningLog.h"
#include "tests/support/Week.h"

#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using namespace DewlightCore;

using DewlightTesting::mondayMidnight;

CommittedState sampleState() {
    const WorkdayID day(mondayMidnight);
    const Identity<WriterTag> writer("writer-a");
    const DrinkRecord glass(Identity<DrinkTag>("d1"), Identity<ClickGroupTag>("g1"), writer, day,
                            DrinkKind::cup, mondayMidnight + 36000, 1);
    CommittedState state = CommittedState::fresh();
    state.ledger = HydrationLedger(initialGeneration(), {glass});
    state.receipts = {ActionReceipt("roziv.1.2")};
    state.receiptWorkdays = {{ActionReceipt("roziv.1.2"), day}};
    state.welcomeCompleted = true;
    return state;
}

JsonValue encoded(const CommittedState& state) {
    return Json::encode(state);
}

TEST(CommittedState, WritesItsFourKeysInOrderAndReadsThemBack) {
    const auto json = encoded(sampleState());
    std::vector<std::string> keys;
    for (const auto& item : json.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"ledger", "receipts", "receiptWorkdays",
                                              "welcomeCompleted"}));
    EXPECT_EQ(json["receiptWorkdays"], JsonValue::parse(R"(["roziv.1.2", 789264000.0])"));
    EXPECT_EQ(encoded(Json::decode<CommittedState>(json)), json);
    EXPECT_EQ(encoded(CommittedState::fresh())["receiptWorkdays"], JsonValue::array());
}

TEST(CommittedState, EveryKeyIsRequired) {
    for (const char* key : {"ledger", "receipts", "receiptWorkdays", "welcomeCompleted"}) {
        auto json = encoded(sampleState());
        json.erase(key);
        EXPECT_THROW(Json::decode<CommittedState>(json), DecodingError) << key;
    }
}

TEST(CommittedState, ReceiptWorkdaysArePairs) {
    auto json = encoded(sampleState());
    json["receiptWorkdays"] = JsonValue::parse(R"(["roziv.1.2", 789264000, "roziv.3.4"])");
    EXPECT_THROW(Json::decode<CommittedState>(json), DecodingError);

    json["receiptWorkdays"] =
        JsonValue::parse(R"(["roziv.1.2", 789264000, "roziv.1.2", 789350400])");
    const auto state = Json::decode<CommittedState>(json);
    ASSERT_EQ(state.receiptWorkdays.size(), 1u);
    EXPECT_EQ(state.receiptWorkdays.begin()->second, WorkdayID(789350400)) << "the last pair wins";

    // Keeping receipts and their days in step is the job of the operations that change them.
    json["receiptWorkdays"] = JsonValue::parse(R"(["other", 789264000])");
    EXPECT_NO_THROW(Json::decode<CommittedState>(json));
}

struct FileStoreFixture : ::testing::Test {
    DewlightPlatform::LocalFileSystem files;
    AtomicFileStore store{files};
    const std::filesystem::path folder = "/home/user/data/Dewlight";
    const std::filesystem::path file = folder / "MARKER.json";
};

std::optional<LocalStorageFailure> failureOf(const std::function<void()>& operation) {
    return storageFailureOf<LocalStorageFailure>(operation);
}

TEST_F(FileStoreFixture, NoFileLoadsNothingAndCreatesNothing) {
    EXPECT_FALSE(store.load("MARKER"));
    EXPECT_FALSE(files.exists(folder));
    EXPECT_TRUE(files.writes().empty());
}

TEST_F(FileStoreFixture, SaveCreatesTheFolderAndLoadsBackTheSameState) {
    store.save(AtomicFileStore::Stored(sampleState()), "MARKER");
    const auto loaded = store.load("MARKER");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(encoded(loaded->value()), encoded(sampleState()));

    store.save(AtomicFileStore::Stored(CommittedState::fresh()), "MARKER");
    EXPECT_EQ(encoded(store.load("MARKER")->value()), encoded(CommittedState::fresh()));
}

TEST_F(FileStoreFixture, DamagedFilesAreCorruptedAndLeftInPlace) {
    const QByteArray damaged[] = {
        "{", R"({"version":2,"value":{}})", R"({"version":1,"value":{"ledger":{}}})",
        QByteArray::fromStdString(
            Json::serialize(JsonValue{{"version", 1}, {"value", encoded(sampleState())}}))
            .replace("writer-a", "writer a")};
    for (const auto& bytes : damaged) {
        files.put(file, bytes);
        EXPECT_EQ(failureOf([&] { store.load("MARKER"); }), LocalStorageFailure::corrupted)
            << bytes.data();
        EXPECT_EQ(files.read(file), bytes);
    }
    files.makeUnreadable(file);
    EXPECT_EQ(failureOf([&] { store.load("MARKER"); }), LocalStorageFailure::corrupted);
}

TEST_F(FileStoreFixture, OtherAccountsFilesAreNeverTouched) {
    const auto other = folder / "OTHER.json";
    files.put(other, "anything");
    store.save(AtomicFileStore::Stored(sampleState()), "MARKER");
    EXPECT_EQ(files.read(other), QByteArray("anything"));
    for (const auto& written : files.writes())
        EXPECT_NE(written, other);
}

TEST_F(FileStoreFixture, WriteFailuresAndMissingFolder) {
    files.lock(folder);
    EXPECT_EQ(failureOf([&] { store.save(AtomicFileStore::Stored(sampleState()), "MARKER"); }),
              LocalStorageFailure::writeFailed);

    DewlightPlatform::LocalFileSystem noFolder(std::nullopt);
    AtomicFileStore homeless(noFolder);
    EXPECT_EQ(failureOf([&] { homeless.load("MARKER"); }), LocalStorageFailure::unavailable);
    EXPECT_EQ(failureOf([&] { homeless.save(AtomicFileStore::Stored(sampleState()), "MARKER"); }),
              LocalStorageFailure::unavailable);
}

// Nobody awaits a spawned job, so its log line is all that is left of the failure: it must say
// which failure it was.
TEST_F(FileStoreFixture, FailureInASpawnedJobIsLoggedWithItsKind) {
    files.lock(folder);
    DewlightTest::WarningLog log;
    const auto job = DewlightPlatform::Job::spawn([this]() -> QCoro::Task<void> {
        store.save(AtomicFileStore::Stored(sampleState()), "MARKER");
        co_return;
    });
    DewlightPlatform::runUntilIdle();
    EXPECT_TRUE(job.hasFailed());
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"dewlight.system: job failed: local storage: writeFailed"});
}

} // namespace
} // namespace DewlightStorage
