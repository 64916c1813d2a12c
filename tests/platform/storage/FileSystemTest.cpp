#include "platform/storage/LocalFileSystem.h"

#include <gtest/gtest.h>

using namespace DewlightPlatform;

namespace {

TEST(LocalFileSystem, FoldersAreCreatedWithTheirParents) {
    LocalFileSystem files;
    EXPECT_FALSE(files.exists("/data/a"));
    EXPECT_FALSE(files.writeAtomically("/data/a/f.json", "x")) << "the folder must exist";
    ASSERT_TRUE(files.createFolders("/data/a/b/"));
    EXPECT_TRUE(files.exists("/data/a"));
    EXPECT_TRUE(files.createFolders("/data/a/b")) << "an existing folder is fine";
    EXPECT_TRUE(files.writeAtomically("/data/a/b/f.json", "x"));
    EXPECT_FALSE(files.createFolders("/data/a/b/f.json/c")) << "a file is in the way";
    EXPECT_FALSE(files.read("/data/a")) << "a folder is not a file";
    EXPECT_FALSE(files.writeAtomically("/data/a", "x")) << "a folder is not replaced";
}

TEST(LocalFileSystem, AWriteReplacesTheWholeFile) {
    LocalFileSystem files;
    files.put("/d/f", "a much longer old content");
    ASSERT_TRUE(files.writeAtomically("/d/f", "new"));
    EXPECT_EQ(files.read("/d/f"), QByteArray("new"));
    EXPECT_EQ(files.writes(), std::vector<FileSystem::Path>{"/d/f"});
}

TEST(LocalFileSystem, ScriptedFailures) {
    LocalFileSystem files;
    files.put("/d/f", "old");
    files.lock("/d");
    EXPECT_FALSE(files.writeAtomically("/d/f", "new"));
    EXPECT_FALSE(files.createFolders("/d/sub"));
    EXPECT_EQ(files.read("/d/f"), QByteArray("old"));
    files.makeUnreadable("/d/f");
    EXPECT_TRUE(files.exists("/d/f"));
    EXPECT_FALSE(files.read("/d/f"));
    EXPECT_TRUE(files.writes().empty());

    LocalFileSystem none(std::nullopt);
    EXPECT_FALSE(none.dataFolder());
}

} // namespace
