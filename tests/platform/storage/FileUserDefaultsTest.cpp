#include "platform/storage/FileUserDefaults.h"

#include "LiveTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <sys/wait.h>
#include <unistd.h>

using namespace DewlightPlatform;
using DewlightPlatformTest::fileIdentity;
namespace fs = std::filesystem;

namespace {

class FileUserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    fs::path folder = fs::path(temp.path().toStdString()) / "state" / "dewlight";
    fs::path file = folder / "defaults.json";
    fs::path previous = folder / "defaults.json.previous";

    void writeRaw(const fs::path& path, const QByteArray& bytes) {
        fs::create_directories(path.parent_path());
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QByteArray readRaw(const fs::path& path) {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    std::vector<fs::path> damagedCopies() {
        std::vector<fs::path> found;
        if (fs::exists(folder))
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.path().filename().string().find(".damaged-") != std::string::npos)
                    found.push_back(entry.path());
        return found;
    }
};

TEST_F(FileUserDefaultsTest, ValuesSurviveARestart) {
    {
        FileUserDefaults defaults(file);
        EXPECT_TRUE(defaults.keys().empty());
        EXPECT_FALSE(fs::exists(folder)) << "reading creates nothing";
        defaults.setText("writer", "8C4B2E61-0F6A-4B7E-9D7B-0E5A2C1D3F40");
        defaults.setBytes("identity.registry", QByteArray("\0{\"v\":1}\xff", 10));
        defaults.setDate("NorvaneUpdateLastAnswer", 789'264'000.123456789);
        defaults.setText("gone", "x");
        defaults.remove("gone");
    }
    FileUserDefaults again(file);
    EXPECT_EQ(again.text("writer"), "8C4B2E61-0F6A-4B7E-9D7B-0E5A2C1D3F40");
    EXPECT_EQ(again.bytes("identity.registry"), QByteArray("\0{\"v\":1}\xff", 10));
    EXPECT_EQ(again.date("NorvaneUpdateLastAnswer"), 789'264'000.123456789);
    EXPECT_FALSE(again.text("identity.registry")) << "typed getters hold across a restart";
    EXPECT_EQ(again.keys(),
              (std::vector<std::string>{"NorvaneUpdateLastAnswer", "identity.registry", "writer"}));
}

TEST_F(FileUserDefaultsTest, AnUnchangedValueLeavesTheFileAlone) {
    FileUserDefaults defaults(file);
    defaults.setText("k", "a");
    auto before = fileIdentity(file);
    defaults.setText("k", "a");
    defaults.remove("absent");
    EXPECT_EQ(fileIdentity(file), before);
    defaults.setText("k", "b");
    EXPECT_NE(fileIdentity(file), before);
    EXPECT_EQ(FileUserDefaults(previous).text("k"), "a") << "the replaced file is kept";
}

TEST_F(FileUserDefaultsTest, ADamagedFileIsMovedAsideAndThePreviousOneUsed) {
    const std::pair<const char*, QByteArray> damages[] = {
        {"not JSON", "{\"version\":1,\"values\":{"},
        {"newer format", R"({"version":2,"values":{}})"},
        {"version as text", R"({"version":"1","values":{}})"},
        {"bytes not Base64", R"({"version":1,"values":{"k":{"bytes":"%%%"}}})"},
        {"two kinds in one entry", R"({"version":1,"values":{"k":{"text":"a","date":1}}})"},
        {"number as text", R"({"version":1,"values":{"k":{"text":5}}})"},
        {"unknown kind", R"({"version":1,"values":{"k":{"integer":5}}})"},
        {"a NUL byte and more after the document",
         QByteArray(R"({"version":1,"values":{}})" "\0x", 27)},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        fs::remove_all(folder);
        writeRaw(previous, FileUserDefaults::encode({{"k", std::string("good")}}));
        writeRaw(file, damage);

        FileUserDefaults defaults(file);
        EXPECT_EQ(defaults.text("k"), "good");
        auto aside = damagedCopies();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readRaw(aside[0]), damage) << "kept as it was";
        EXPECT_EQ(FileUserDefaults(file).text("k"), "good") << "the main file is restored";
    }
}

TEST_F(FileUserDefaultsTest, WithBothFilesDamagedItStartsEmptyAndKeepsBoth) {
    writeRaw(file, "garbage");
    writeRaw(previous, "more garbage");
    FileUserDefaults defaults(file);
    EXPECT_TRUE(defaults.keys().empty());
    EXPECT_EQ(damagedCopies().size(), 2u);
    defaults.setText("k", "v");
    EXPECT_EQ(damagedCopies().size(), 2u) << "a later write destroys neither";
}

TEST_F(FileUserDefaultsTest, AFailedWriteIsReportedAndTheValueKept) {
    writeRaw(folder / "blocker", "");
    FileUserDefaults blocked(folder / "blocker" / "defaults.json");
    blocked.setText("k", "v");
    EXPECT_FALSE(blocked.lastWriteSucceeded());
    EXPECT_EQ(blocked.text("k"), "v") << "the value stays in memory";
}

// A date with no JSON form would make the whole file unreadable, and the next write its previous
// copy too, losing every value (the writer identity with them).
TEST_F(FileUserDefaultsTest, ANonFiniteDateIsRefusedAndSpoilsNothing) {
    using Limits = std::numeric_limits<double>;
    for (double date : {Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN()}) {
        SCOPED_TRACE(date);
        fs::remove_all(folder);
        {
            FileUserDefaults defaults(file);
            defaults.setText("writer", "8C4B2E61");
            defaults.setDate("when", 10);
            const QByteArray stored = readRaw(file);
            defaults.setDate("when", date);
            EXPECT_FALSE(defaults.lastWriteSucceeded());
            EXPECT_EQ(defaults.date("when"), 10.0);
            EXPECT_EQ(readRaw(file), stored) << "nothing is written";
            defaults.setText("later", "x");
            EXPECT_TRUE(defaults.lastWriteSucceeded());
        }
        FileUserDefaults again(file);
        EXPECT_EQ(again.text("writer"), "8C4B2E61");
        EXPECT_EQ(again.date("when"), 10.0);
        EXPECT_EQ(again.text("later"), "x");
        EXPECT_TRUE(damagedCopies().empty());
    }
}

// A process killed at each point of a write leaves a file that reads as the old or the new values.
TEST_F(FileUserDefaultsTest, AKilledWriteLeavesTheOldOrTheNewFile) {
    using Stage = AtomicWrite::Stage;
    const std::pair<Stage, const char*> stages[] = {
        {Stage::halfWritten, "old"},
        {Stage::tempSynced, "old"},
        {Stage::previousKept, "old"},
        {Stage::renamed, "new"},
    };
    for (const auto& [stage, expected] : stages) {
        SCOPED_TRACE(expected);
        fs::remove_all(folder);
        FileUserDefaults(file).setText("k", "old");

        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileUserDefaults defaults(file, [stop = stage](Stage reached) {
                if (reached == stop)
                    ::raise(SIGKILL);
            });
            defaults.setText("k", std::string(5000, 'n')); // big enough to be half written
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        FileUserDefaults after(file);
        auto text = after.text("k");
        ASSERT_TRUE(text);
        EXPECT_EQ(std::string(expected) == "old" ? "old" : std::string(5000, 'n'), *text);
        EXPECT_TRUE(damagedCopies().empty());
        after.setText("k2", "after");
        EXPECT_EQ(FileUserDefaults(file).text("k2"), "after")
            << "a left-over temporary is harmless";
    }
}

} // namespace
