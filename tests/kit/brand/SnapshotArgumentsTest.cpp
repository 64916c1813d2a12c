#include "kit/brand/KestraSnapshot.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace KestraUI;

namespace {

TEST(KestraSnapshotTest, ReadersFollowTheOptionRules) {
    const struct {
        const char* name;
        QStringList arguments;
        bool active;
        bool containsFile;
        std::optional<QString> file, step;
    } cases[] = {
        {"none", {}, false, false, {}, {}},
        {"file last", {"--snapshot-state", "demo", "--snapshot-file"}, true, true, {}, {}},
        {"file with value", {"--snapshot-file", "out.png"}, true, true, "out.png", {}},
        {"first step wins", {"--snapshot-step", "2", "--snapshot-step", "3"}, true, false, {}, "2"},
        // The value is taken as it is, even another option.
        {"value looks like a flag",
         {"--snapshot-file", "--snapshot-step"},
         true,
         true,
         "--snapshot-step",
         {}},
        {"prefix without its dash", {"--snapshotx", "--snapshot"}, false, false, {}, {}},
        {"the bare prefix", {"--snapshot-"}, true, false, {}, {}},
        {"an unread option still switches", {"--snapshot-anything"}, true, false, {}, {}},
        {"a flag inside a value is not the flag", {"--snapshot-file=out.png"}, true, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KestraSnapshot::isActive(c.arguments), c.active);
        EXPECT_EQ(KestraSnapshot::contains(c.arguments, QStringLiteral("--snapshot-file")),
                  c.containsFile);
        EXPECT_EQ(KestraSnapshot::value(c.arguments, QStringLiteral("--snapshot-file")), c.file);
        EXPECT_EQ(KestraSnapshot::value(c.arguments, QStringLiteral("--snapshot-step")), c.step);
    }
}

// The readers see what the process was started with, also the options Qt took for itself.
TEST(KestraSnapshotTest, ReadsTheRawArgumentsWithoutTheProgram) {
    QProcess probe;
    probe.start(QStringLiteral(DEWLIGHT_SNAPSHOT_PROBE),
                {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                 QStringLiteral("--snapshot-update"), QStringLiteral("two words"), QString()});
    ASSERT_TRUE(probe.waitForFinished(30000));
    ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QStringList lines =
        QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{"active=1", "update=1", "qt=3", "arg=-platform", "arg=offscreen",
                                  "arg=--snapshot-update", "arg=two words", "arg="}));
}

} // namespace
