#include "platform/events/TimeZoneWatcher.h"
#include "platform/runtime/EventLoop.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

using namespace DewlightPlatform;

namespace {

// A temporary folder standing for /etc.
class ZoneFolder {
public:
    QString path() const { return dir_.path(); }

    // Replaces `localtime` the way the system does: a new entry renamed over the old one.
    void link(const QString& target) {
        const QString staged = stagedName();
        ASSERT_TRUE(QFile::link(target, staged));
        replaceWith(staged);
    }
    void write(const QByteArray& content) {
        const QString staged = stagedName();
        QFile file(staged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        replaceWith(staged);
    }
    void remove() { ASSERT_TRUE(QFile::remove(localtime())); }
    void writeOther(const QString& name) {
        QFile file(QDir(path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("unrelated\n");
    }

private:
    QString localtime() const { return QDir(path()).filePath(QStringLiteral("localtime")); }
    QString stagedName() const { return localtime() + QStringLiteral(".new"); }
    void replaceWith(const QString& staged) {
        ASSERT_EQ(::rename(QFile::encodeName(staged).constData(),
                           QFile::encodeName(localtime()).constData()),
                  0);
    }
    QTemporaryDir dir_;
};

struct Case {
    const char* name;
    std::function<void(ZoneFolder&)> before;
    std::function<void(ZoneFolder&)> change;
    bool changes;
    QString zone; // expected afterwards; "sha256:" stands for any digest
};

TEST(TimeZoneWatcher, FolderChangesBecomeEventsOnlyWhenTheZoneDiffers) {
    const QString utc = QStringLiteral("../usr/share/zoneinfo/Etc/UTC");
    const QString paris = QStringLiteral("../usr/share/zoneinfo/Europe/Paris");
    const Case cases[] = {
        {"link replaced by rename", [&](ZoneFolder& f) { f.link(utc); },
         [&](ZoneFolder& f) { f.link(paris); }, true, "Europe/Paris"},
        {"same zone linked again by another path", [&](ZoneFolder& f) { f.link(paris); },
         [](ZoneFolder& f) { f.link("/usr/share/zoneinfo/Europe/Paris"); }, false, "Europe/Paris"},
        {"unrelated file in the folder", [&](ZoneFolder& f) { f.link(utc); },
         [](ZoneFolder& f) { f.writeOther("hostname"); }, false, "Etc/UTC"},
        {"plain file with new content", [](ZoneFolder& f) { f.write("TZif zone A"); },
         [](ZoneFolder& f) { f.write("TZif zone B"); }, true, "sha256:"},
        {"plain file with the same content", [](ZoneFolder& f) { f.write("TZif zone A"); },
         [](ZoneFolder& f) { f.write("TZif zone A"); }, false, "sha256:"},
        {"first localtime appears", [](ZoneFolder&) {},
         [](ZoneFolder& f) { f.link("/usr/share/zoneinfo/Asia/Tokyo"); }, true, "Asia/Tokyo"},
        {"localtime removed", [&](ZoneFolder& f) { f.link(paris); },
         [](ZoneFolder& f) { f.remove(); }, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ZoneFolder folder;
        c.before(folder);
        int refreshes = 0;
        int events = 0;
        bool refreshedFirst = true;
        TimeZoneWatcher watcher(folder.path(), QDBusConnection(QStringLiteral("no bus")),
                                [&] { ++refreshes; });
        QObject::connect(&watcher, &TimeZoneWatcher::timeZoneChanged, [&] {
            ++events;
            refreshedFirst = refreshedFirst && refreshes == events;
        });
        c.change(folder);
        if (c.changes) {
            EXPECT_TRUE(runUntil([&] { return events > 0; }));
        }
        runUntil([] { return false; }, std::chrono::milliseconds(150));
        EXPECT_EQ(events, c.changes ? 1 : 0);
        EXPECT_TRUE(refreshedFirst);
        if (c.zone == "sha256:") {
            EXPECT_TRUE(watcher.zone().startsWith("sha256:")) << watcher.zone().toStdString();
        } else {
            EXPECT_EQ(watcher.zone(), c.zone);
        }
    }
}

TEST(TimeZoneWatcher, WritesBesideTheZoneWakeNothing) {
    ZoneFolder folder;
    folder.link(QStringLiteral("../usr/share/zoneinfo/Europe/Paris"));
    int events = 0;
    TimeZoneWatcher watcher(folder.path(), QDBusConnection(QStringLiteral("no bus")), [] {});
    QObject::connect(&watcher, &TimeZoneWatcher::timeZoneChanged, [&] { ++events; });
    folder.writeOther("hostname");
    folder.writeOther("passwd");
    ASSERT_EQ(::rename(QFile::encodeName(folder.path() + "/passwd").constData(),
                       QFile::encodeName(folder.path() + "/passwd-").constData()),
              0);
    runUntil([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_EQ(watcher.wakeups(), 0);
    folder.link(QStringLiteral("../usr/share/zoneinfo/Asia/Tokyo"));
    EXPECT_TRUE(runUntil([&] { return events > 0; }));
    EXPECT_EQ(watcher.zone(), "Asia/Tokyo");
}

} // namespace
