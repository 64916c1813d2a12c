// A write killed between creating its temporary file and renaming it leaves that file behind.
// Each folder we write removes such leftovers once they are a minute old, when it is opened (and
// the sync folder after each look, since the sync tool brings other computers' leftovers too).
#include "LiveTestSupport.h"
#include "platform/storage/AtomicWrite.h"
#include "platform/storage/FileUserDefaults.h"
#include "platform/storage/LinuxFileSystem.h"
#include "platform/storage/SyncFolderKeyValueStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace DewlightPlatform;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

void writeRaw(const fs::path& path, const QByteArray& bytes) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

void makeOld(const fs::path& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - 2min);
}

// Kills a process in the middle of writing `target` and answers the temporary file it left.
fs::path interruptedWrite(const fs::path& target) {
    const pid_t child = ::fork();
    if (child == 0) {
        AtomicWrite::write(target, QByteArray(5000, 'n'), std::nullopt,
                           [](AtomicWrite::Stage stage) {
                               if (stage == AtomicWrite::Stage::halfWritten)
                                   ::raise(SIGKILL);
                           });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    const std::string prefix = "." + target.filename().string();
    for (const auto& entry : fs::directory_iterator(target.parent_path())) {
        const auto name = entry.path().filename().string();
        if (name.starts_with(prefix) && AtomicWrite::isTemporaryName(name))
            return entry.path();
    }
    ADD_FAILURE() << "the killed write left nothing";
    return {};
}

TEST(InterruptedWrites, OnlyOurOwnStaleTemporariesAreRemoved) {
    QTemporaryDir temp;
    const fs::path folder = fs::path(temp.path().toStdString()) / "folder";
    const fs::path outside = fs::path(temp.path().toStdString()) / "outside";
    fs::create_directories(folder);
    struct Case {
        const char* name;
        bool old;
        bool removed;
    };
    const Case cases[] = {
        {".defaults.json.tmp-a1B2c3", true, true},
        {".k.kv.tmp-123456", true, true},
        {".fresh.kv.tmp-Zz9yX8", false, false}, // a write may still be going on
        {".syncthing.k.kv.tmp", true, false},   // the sync tool's own
        {".k.kv.tmp-12345", true, false},
        {".k.kv.tmp-12345!", true, false},
        {"k.kv.tmp-123456", true, false},
        {".tmp-123456", true, false},
        {"k.kv", true, false},
    };
    for (const auto& c : cases) {
        writeRaw(folder / c.name, "partial");
        if (c.old)
            makeOld(folder / c.name);
    }
    // Named like ours, but a folder and a link (to a file outside) are never ours.
    fs::create_directory(folder / ".dir.kv.tmp-abcdef");
    makeOld(folder / ".dir.kv.tmp-abcdef");
    writeRaw(outside, "keep");
    fs::create_symlink(outside, folder / ".link.kv.tmp-abcdef");
    makeOld(folder / ".link.kv.tmp-abcdef");

    AtomicWrite::removeStaleTemporaries(folder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fs::exists(folder / c.name), !c.removed);
    }
    EXPECT_TRUE(fs::is_directory(folder / ".dir.kv.tmp-abcdef"));
    EXPECT_TRUE(fs::is_symlink(folder / ".link.kv.tmp-abcdef"));
    EXPECT_TRUE(fs::exists(outside));

    AtomicWrite::removeStaleTemporaries(folder / "absent"); // nothing to do, no failure
}

TEST(InterruptedWrites, TheDataFolderIsSweptWhenFirstUsed) {
    QTemporaryDir temp;
    const fs::path folder = fs::path(temp.path().toStdString()) / "Dewlight";
    fs::create_directories(folder);
    const auto stale = interruptedWrite(folder / "Ledger.json");
    const auto fresh = interruptedWrite(folder / "Other.json");
    makeOld(stale);

    LinuxFileSystem files(folder);
    ASSERT_TRUE(files.createFolders(folder));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));
}

TEST(InterruptedWrites, TheStateFolderIsSweptWhenTheDefaultsOpen) {
    QTemporaryDir temp;
    const fs::path file = fs::path(temp.path().toStdString()) / "dewlight" / "defaults.json";
    FileUserDefaults(file).setText("writer", "W");
    const auto stale = interruptedWrite(file);
    makeOld(stale);

    FileUserDefaults again(file);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_EQ(again.text("writer"), "W");
}

TEST(InterruptedWrites, TheSyncFolderIsSweptWhenOpenedAndAfterEachLook) {
    QTemporaryDir temp;
    const fs::path root = fs::path(temp.path().toStdString()) / "Sync";
    fs::create_directories(root);
    writeRaw(root / "account", "alice");
    SyncFolder folder(root, {.rescanIntervalMs = 60'000, .debounceMs = 10});
    const fs::path account = *folder.accountFolder();
    fs::create_directories(account);
    const auto stale = interruptedWrite(account / "k.kv");
    makeOld(stale);

    SyncFolderKeyValueStore store(folder);
    EXPECT_FALSE(fs::exists(stale));

    // Another computer's leftover, brought in by the sync tool.
    const auto synced = interruptedWrite(account / "shard.kv");
    makeOld(synced);
    folder.rescan();
    EXPECT_FALSE(fs::exists(synced));
    EXPECT_TRUE(store.keys().empty());
}

} // namespace
