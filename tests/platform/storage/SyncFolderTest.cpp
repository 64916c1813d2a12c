#include "LiveTestSupport.h"
#include "platform/storage/SyncFolderIdentityTokenSource.h"
#include "platform/storage/SyncFolderKeyValueStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace DewlightPlatform;
using namespace DewlightPlatformTest;
namespace fs = std::filesystem;

namespace {

using Keys = std::vector<std::string>;

void writeRaw(const fs::path& path, const QByteArray& bytes) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

// One computer: its view of the shared folder, its store and its token source.
struct Machine {
    explicit Machine(const fs::path& root)
        : folder(root, {.rescanIntervalMs = 60'000, .debounceMs = 10}), store(folder),
          tokens(folder) {
        QObject::connect(&store, &KeyValueStore::externalChange,
                         [this](const KeyValueStoreChange& change) { notices.push_back(change); });
        QObject::connect(&tokens, &IdentityTokenSource::identityChanged,
                         [this] { ++identityChanges; });
    }
    SyncFolder folder;
    SyncFolderKeyValueStore store;
    SyncFolderIdentityTokenSource tokens;
    std::vector<KeyValueStoreChange> notices;
    int identityChanges = 0;
};

class SyncFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(shared);
        writeRaw(shared / "account", "alice\n");
        fs::create_directories(sync.parent_path());
        fs::create_symlink(shared, sync);
    }
    QTemporaryDir temp;
    fs::path base = fs::path(temp.path().toStdString());
    fs::path shared = base / "Syncthing" / "Dewlight";   // what the sync tool replicates
    fs::path sync = base / "data" / "Dewlight" / "Sync"; // our link to it
};

TEST(SyncFolderKeyValueStoreNames, KeepCasesApartAndRoundTrip) {
    const std::string keys[] = {"roziv.v1.gAbC-_z.day100ezr11nidj4.wQ_x", "a", "A", ".hidden",
                                "a/b", "%41", "^a", "ü", "a b",
                                // Keys holding the conflict marker get names without it.
                                "x.sync-conflict-1", "conflict", "Conflict", "xCONFLICT",
                                "a_conflict-b", std::string("\xAC") + "onflict"};
    std::set<std::string> folded;
    for (const auto& key : keys) {
        SCOPED_TRACE(key);
        auto name = SyncFolderKeyValueStore::fileName(key);
        ASSERT_TRUE(name);
        EXPECT_FALSE(name->starts_with('.'));
        EXPECT_EQ(name->find('/'), std::string::npos);
        EXPECT_EQ(SyncFolderKeyValueStore::keyOf(*name), key);
        auto lower = QString::fromStdString(*name).toLower().toStdString();
        EXPECT_TRUE(folded.insert(lower).second) << "two keys share a name when case is folded";
        EXPECT_EQ(lower.find("conflict"), std::string::npos) << *name;
    }
    const char* foreign[] = {"A.kv",
                             "%4a.kv",
                             "a.KV",
                             "a",
                             ".kv",
                             "a (conflicted copy).kv",
                             "a.sync-conflict-20240101-120000-ABCDEFG.kv",
                             "a.sync-conflict-20260101-120000-abcdefg.kv",
                             "a_conflict-20260101-120000.kv",
                             "a_CONFLICT.kv",
                             "%41%4.kv",
                             "^.kv"};
    for (const auto* name : foreign) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(SyncFolderKeyValueStore::keyOf(name));
    }
    EXPECT_FALSE(SyncFolderKeyValueStore::fileName(std::string(300, 'k')));
    EXPECT_FALSE(SyncFolderKeyValueStore::fileName("")) << "it would be the hidden name .kv";
}

TEST_F(SyncFolderTest, AWriteReachesTheOtherMachineAsOneNotice) {
    Machine a(sync), b(sync);
    ASSERT_EQ(a.tokens.currentToken(), IdentityToken("alice"));
    a.store.set("k1", "one");
    a.store.set("k2", "two");
    a.store.set("Shard", "three");
    ASSERT_TRUE(waitUntil([&] { return !b.notices.empty(); }));
    runEventsFor(200); // let every watcher event and look settle
    ASSERT_EQ(b.notices.size(), 1u);
    EXPECT_EQ(b.notices[0].integerReason(), 0);
    EXPECT_EQ(b.notices[0].keyList(), (Keys{"Shard", "k1", "k2"}));
    EXPECT_EQ(b.store.data("Shard"), QByteArray("three"));
    EXPECT_TRUE(a.notices.empty()) << "nothing comes back to the writer";

    b.store.remove("k1");
    ASSERT_TRUE(waitUntil([&] { return !a.notices.empty(); }));
    EXPECT_EQ(a.notices[0].keyList(), Keys{"k1"});
    EXPECT_FALSE(a.store.data("k1"));
    runEventsFor(100);
    EXPECT_EQ(b.notices.size(), 1u);
}

TEST_F(SyncFolderTest, AByteIdenticalWriteChangesNoFile) {
    Machine a(sync), b(sync);
    a.store.set("k", "v");
    auto file = *a.folder.accountFolder() / *SyncFolderKeyValueStore::fileName("k");
    auto before = fileIdentity(file);
    a.store.set("k", "v");
    b.folder.rescan();
    b.store.set("k", "v");
    EXPECT_EQ(fileIdentity(file), before);
}

TEST_F(SyncFolderTest, ForeignFilesAreIgnored) {
    Machine a(sync);
    a.store.set("k", "v");
    auto folder = *a.folder.accountFolder();
    writeRaw(folder / "k.sync-conflict-20240101-120000-ABCDEFG.kv", "conflict");
    writeRaw(folder / "k.sync-conflict-20260101-120000-abcdefg.kv", "conflict");
    writeRaw(folder / "k_conflict-20260101-120000.kv", "conflict");
    writeRaw(folder / "k (conflicted copy 2024-01-01 120000).kv", "conflict");
    writeRaw(folder / ".syncthing.k.kv.tmp", "partial");
    writeRaw(folder / ".k.kv.tmp-123456", "partial");
    writeRaw(folder / "k.kv~", "backup");
    writeRaw(folder / "notes.txt", "hello");
    fs::create_directory(folder / "sub.kv");
    // A synced link must not read a file of this computer into the store.
    writeRaw(base / "secret", "local only");
    fs::create_symlink(base / "secret", folder / "stolen.kv");
    a.folder.rescan();
    EXPECT_TRUE(a.notices.empty());
    EXPECT_EQ(a.store.keys(), Keys{"k"});
    EXPECT_EQ(a.store.data("k"), QByteArray("v"));
}

TEST_F(SyncFolderTest, AKeyFileReplacedByALinkIsNoLongerRead) {
    Machine a(sync);
    a.store.set("k", "v");
    auto file = *a.folder.accountFolder() / *SyncFolderKeyValueStore::fileName("k");
    writeRaw(base / "secret", "local only");
    fs::remove(file);
    fs::create_symlink(base / "secret", file);
    a.folder.rescan();
    EXPECT_FALSE(a.store.data("k"));
    Machine b(sync);
    EXPECT_TRUE(b.store.keys().empty());
    b.store.set("k", "local only");
    EXPECT_FALSE(fs::is_symlink(file)) << "a write replaces the link, never writes through it";
    EXPECT_EQ(b.store.data("k"), QByteArray("local only"));
}

// The copy in memory may be stale: another computer may have written since the last look.
TEST_F(SyncFolderTest, AWriteEqualToAStaleCopyStillReachesTheFile) {
    Machine a(sync), b(sync);
    a.store.set("k", "mine");
    b.folder.rescan();
    a.store.set("k", "theirs"); // b has not looked since
    b.store.set("k", "mine");
    auto file = *b.folder.accountFolder() / *SyncFolderKeyValueStore::fileName("k");
    QFile stored(file);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("mine"));
    a.folder.rescan();
    EXPECT_EQ(a.store.data("k"), QByteArray("mine"));
}

TEST_F(SyncFolderTest, AnEmptyKeyIsNeverStored) {
    Machine a(sync);
    a.store.set("", "v");
    EXPECT_TRUE(a.store.keys().empty());
    EXPECT_FALSE(a.store.data(""));
    auto folder = *a.folder.accountFolder();
    EXPECT_TRUE(!fs::exists(folder) || fs::is_empty(folder));
}

TEST_F(SyncFolderTest, AnUnreachableFolderIsOfflineNotASignOut) {
    Machine a(sync), b(sync);
    a.store.set("k", "v");
    b.folder.rescan();
    b.notices.clear();

    fs::rename(shared, base / "unmounted");
    b.folder.rescan();
    EXPECT_EQ(b.folder.availability(), SyncFolder::Availability::offline);
    EXPECT_TRUE(b.store.keys().empty());
    EXPECT_FALSE(b.store.data("k"));
    b.store.set("dropped", "x");
    EXPECT_FALSE(fs::exists(shared)) << "the sync folder is never created";
    EXPECT_EQ(b.tokens.currentToken(), IdentityToken("alice"));
    EXPECT_EQ(b.identityChanges, 0);
    EXPECT_TRUE(b.notices.empty());

    fs::rename(base / "unmounted", shared);
    a.store.set("k", "changed meanwhile");
    b.folder.rescan();
    EXPECT_EQ(b.folder.availability(), SyncFolder::Availability::online);
    EXPECT_EQ(b.store.data("k"), QByteArray("changed meanwhile"));
    ASSERT_EQ(b.notices.size(), 1u);
    EXPECT_EQ(b.notices[0].keyList(), Keys{"k"});
    EXPECT_FALSE(b.store.data("dropped"));
}

TEST_F(SyncFolderTest, AnEmptiedMountPointIsOffline) {
    Machine a(sync);
    a.store.set("k", "v");
    fs::remove_all(shared);
    fs::create_directory(shared); // what an unmounted share leaves behind
    a.folder.rescan();
    EXPECT_EQ(a.folder.availability(), SyncFolder::Availability::offline);
    EXPECT_EQ(a.identityChanges, 0);
}

TEST_F(SyncFolderTest, ChangingTheTokenRaisesBothSignals) {
    Machine a(sync);
    a.store.set("alice.key", "a");
    writeRaw(shared / "account", "bob");
    ASSERT_TRUE(waitUntil([&] { return a.identityChanges > 0; }));
    EXPECT_EQ(a.identityChanges, 1);
    EXPECT_EQ(a.tokens.currentToken(), IdentityToken("bob"));
    ASSERT_EQ(a.notices.size(), 1u);
    EXPECT_EQ(a.notices[0].integerReason(), 3);
    EXPECT_EQ(a.notices[0].keyList(), Keys{"alice.key"});
    EXPECT_TRUE(a.store.keys().empty()) << "a new account never sees another's keys";
    a.store.set("bob.key", "b");

    fs::remove(shared / "account"); // a sign-out: the folder is still there
    a.folder.rescan();
    EXPECT_EQ(a.identityChanges, 2);
    EXPECT_FALSE(a.tokens.currentToken());
    EXPECT_EQ(a.notices.back().integerReason(), 3);
    EXPECT_TRUE(a.store.keys().empty());

    writeRaw(shared / "account", "alice");
    a.folder.rescan();
    EXPECT_EQ(a.identityChanges, 3);
    EXPECT_EQ(a.store.keys(), Keys{"alice.key"});
}

TEST_F(SyncFolderTest, EnteringOverQuotaPostsOneNotice) {
    Machine a(sync);
    a.store.setQuota({.totalBytes = 1024, .keyCount = 2});
    a.store.set("k1", "1");
    a.store.set("k2", "2");
    a.store.set("k3", "3");
    a.store.set("k4", "4");
    EXPECT_TRUE(a.notices.empty()) << "the notice comes on a later turn";
    runEventsFor(50);
    ASSERT_EQ(a.notices.size(), 1u);
    EXPECT_EQ(a.notices[0].integerReason(), 2);
    EXPECT_EQ(a.store.keys(), (Keys{"k1", "k2"}));
    a.store.setQuota({.totalBytes = 6, .keyCount = 10});
    a.store.set("k1", "12345");
    EXPECT_EQ(a.store.data("k1"), QByteArray("1")) << "the byte limit counts keys and values";
}

// Nothing polls: each of these is seen through the watches alone, with no rescan asked for.
TEST_F(SyncFolderTest, AFolderOrTokenThatAppearsIsNoticed) {
    struct Case {
        const char* name;
        std::function<void()> before; // leaves no usable folder
        std::function<void()> change; // makes it usable again
    };
    const fs::path parked = base / "parked";
    const Case cases[] = {
        {"the link is created", [&] { fs::remove(sync); },
         [&] { fs::create_symlink(shared, sync); }},
        {"the link and the folders above it are created", [&] { fs::remove_all(base / "data"); },
         [&] {
             fs::create_directories(sync.parent_path());
             fs::create_symlink(shared, sync);
         }},
        {"a dangling link's target appears", [&] { fs::rename(shared, parked); },
         [&] { fs::rename(parked, shared); }},
        {"the link is retargeted", [&] {
             fs::remove(sync);
             fs::create_symlink(parked, sync);
         },
         [&] {
             fs::create_symlink(shared, base / "next");
             fs::rename(base / "next", sync);
         }},
        {"the token is written", [&] { fs::remove(shared / "account"); },
         [&] { writeRaw(shared / "account", "alice"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        Machine a(sync);
        ASSERT_FALSE(a.tokens.currentToken());
        c.change();
        EXPECT_TRUE(waitUntil([&] { return a.tokens.currentToken() == IdentityToken("alice"); }));
        EXPECT_EQ(a.folder.availability(), SyncFolder::Availability::online);
    }
}

TEST_F(SyncFolderTest, WithoutASyncFolderNothingIsStored) {
    fs::remove(sync);
    Machine a(sync);
    EXPECT_EQ(a.folder.availability(), SyncFolder::Availability::notConfigured);
    EXPECT_FALSE(a.tokens.currentToken());
    a.store.set("k", "v");
    EXPECT_FALSE(a.store.data("k"));
    EXPECT_FALSE(fs::exists(sync));
}

} // namespace
