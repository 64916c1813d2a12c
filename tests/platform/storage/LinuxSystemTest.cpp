#include "platform/storage/InstanceLock.h"
#include "platform/storage/LinuxFileSystem.h"
#include "platform/storage/XdgPaths.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace DewlightPlatform;
namespace fs = std::filesystem;

namespace {

TEST(XdgPaths, FollowTheBaseDirectoryRules) {
    struct Case {
        const char* name;
        std::map<std::string, std::string> environment;
        std::optional<fs::path> data, defaults;
    };
    const Case cases[] = {
        {"set",
         {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/d"}, {"XDG_STATE_HOME", "/s"}},
         "/d/Dewlight",
         "/s/dewlight/defaults.json"},
        {"unset",
         {{"HOME", "/home/u"}},
         "/home/u/.local/share/Dewlight",
         "/home/u/.local/state/dewlight/defaults.json"},
        {"empty or relative",
         {{"HOME", "/home/u"}, {"XDG_DATA_HOME", ""}, {"XDG_STATE_HOME", "rel"}},
         "/home/u/.local/share/Dewlight",
         "/home/u/.local/state/dewlight/defaults.json"},
        {"no home", {}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto paths = XdgPaths::from([&](const char* name) -> std::optional<std::string> {
            auto found = c.environment.find(name);
            return found == c.environment.end() ? std::nullopt : std::optional(found->second);
        });
        EXPECT_EQ(paths.dataFolder, c.data);
        EXPECT_EQ(paths.defaultsFile, c.defaults);
        if (c.data) {
            EXPECT_EQ(paths.syncFolder, *c.data / "Sync");
        }
    }
}

TEST(LinuxFileSystem, CreatesReadsAndReplacesFiles) {
    QTemporaryDir temp;
    fs::path root(temp.path().toStdString());
    LinuxFileSystem files(root / "Dewlight");
    auto folder = *files.dataFolder();
    EXPECT_FALSE(files.writeAtomically(folder / "A.json", "x")) << "the folder must exist";
    ASSERT_TRUE(files.createFolders(folder / "deep" / ".."));
    EXPECT_TRUE(files.createFolders(folder));
    ASSERT_TRUE(files.writeAtomically(folder / "A.json", "a long first version"));
    ASSERT_TRUE(files.writeAtomically(folder / "A.json", "second"));
    EXPECT_EQ(files.read(folder / "A.json"), QByteArray("second"));
    EXPECT_FALSE(files.read(folder / "B.json"));
    EXPECT_FALSE(files.read(folder)) << "a folder is not a file";
    EXPECT_FALSE(files.writeAtomically(folder / "deep", "x")) << "a folder is not replaced";
    EXPECT_FALSE(files.createFolders(folder / "A.json" / "sub"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.json", "deep"})) << "no temporary is left";
}

TEST(InstanceLock, ASecondProcessLearnsThatOneIsRunning) {
    QTemporaryDir temp;
    fs::path lockFile = fs::path(temp.path().toStdString()) / "Dewlight" / "dewlight.lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t first = ::fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        InstanceLock lock(lockFile);
        char answer = lock.acquire() == InstanceLock::Result::acquired ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');

    InstanceLock second(lockFile);
    EXPECT_EQ(second.acquire(), InstanceLock::Result::heldByAnother);
    EXPECT_EQ(second.holder(), first);

    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    EXPECT_EQ(second.acquire(), InstanceLock::Result::acquired)
        << "the lock of a process that died is taken over";
    ::close(ready[0]);
    ::close(ready[1]);
}

} // namespace
