#include "kit/panel/LoginItem.h"

#include "kit/panel/AutostartLoginService.h"
#include "kit/panel/LocalLoginService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

using namespace KestraUI;

namespace {

// Every message of the dewlight.login category, as "<type>|<text>".
QStringList* loginMessages = nullptr;

void captureLogin(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (loginMessages && QLatin1String(context.category) == QLatin1String("dewlight.login"))
        *loginMessages << QString::number(type) + u'|' + message;
}

class LoginItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        loginMessages = &log;
        previous = qInstallMessageHandler(captureLogin);
    }
    void TearDown() override {
        qInstallMessageHandler(previous);
        loginMessages = nullptr;
    }

    // An item over a local service; `changes` counts its announcements.
    std::unique_ptr<LoginItem> makeItem(LoginItemStatus initial) {
        auto owned = std::make_unique<LocalLoginService>();
        owned->current = initial;
        service = owned.get();
        auto item = std::make_unique<LoginItem>(std::move(owned));
        QObject::connect(item.get(), &LoginItem::enabledChanged, [this] { ++changes; });
        return item;
    }

    static QString failureLine(const QString& description) {
        return QString::number(QtCriticalMsg) + QStringLiteral("|login item change failed: ") +
               description;
    }

    QStringList log;
    QtMessageHandler previous = nullptr;
    LocalLoginService* service = nullptr;
    int changes = 0;
};

TEST_F(LoginItemTest, StartsFromTheServicesStatus) {
    EXPECT_TRUE(makeItem(LoginItemStatus::enabled)->enabled());
    for (LoginItemStatus other : {LoginItemStatus::notRegistered, LoginItemStatus::requiresApproval,
                                  LoginItemStatus::notFound})
        EXPECT_FALSE(makeItem(other)->enabled());
    EXPECT_EQ(changes, 0);
}

TEST_F(LoginItemTest, EveryChangeEndsWithTheStatusReadBack) {
    const struct {
        const char* name;
        LoginItemStatus initial;
        LoginItemStatus afterRegister;
        std::optional<std::string> failure; // of the call asked for
        bool wanted;
        bool enabled;
        int changes;
    } cases[] = {
        {"turned on", LoginItemStatus::notRegistered, LoginItemStatus::enabled, {}, true, true, 1},
        {"turned off", LoginItemStatus::enabled, LoginItemStatus::enabled, {}, false, false, 1},
        // Asked again all the same; nothing to announce.
        {"on again", LoginItemStatus::enabled, LoginItemStatus::enabled, {}, true, true, 0},
        {"off again, refused", LoginItemStatus::notRegistered, LoginItemStatus::enabled,
         "no such entry", false, false, 0},
        {"needs approval",
         LoginItemStatus::notRegistered,
         LoginItemStatus::requiresApproval,
         {},
         true,
         false,
         0},
        {"refused", LoginItemStatus::notRegistered, LoginItemStatus::enabled, "read-only folder",
         true, false, 0},
        {"refused to turn off", LoginItemStatus::enabled, LoginItemStatus::enabled, "busy", false,
         true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        changes = 0;
        auto item = makeItem(c.initial);
        service->afterRegister = c.afterRegister;
        (c.wanted ? service->registerFailure : service->unregisterFailure) = c.failure;
        const int readsBefore = service->statusReads;

        item->setEnabled(c.wanted);

        EXPECT_EQ(c.wanted ? service->registerCalls : service->unregisterCalls, 1);
        EXPECT_EQ(service->statusReads, readsBefore + 1);
        EXPECT_EQ(item->enabled(), c.enabled);
        EXPECT_EQ(changes, c.changes);
        if (c.failure)
            EXPECT_EQ(log, QStringList{failureLine(QString::fromStdString(*c.failure))});
        else
            EXPECT_TRUE(log.isEmpty());
    }
}

TEST_F(LoginItemTest, RefreshAnnouncesOnlyAnOutsideChange) {
    auto item = makeItem(LoginItemStatus::enabled);
    item->refresh();
    item->refresh();
    EXPECT_EQ(changes, 0);

    service->current = LoginItemStatus::notRegistered; // removed in the desktop's settings
    item->refresh();
    item->refresh();
    EXPECT_FALSE(item->enabled());
    EXPECT_EQ(changes, 1);
}

// The autostart entry in a temporary configuration folder.
class AutostartTest : public LoginItemTest {
protected:
    void SetUp() override {
        LoginItemTest::SetUp();
        ASSERT_TRUE(home.isValid());
        config = home.path() + QStringLiteral("/config");
        entry = config + QStringLiteral("/autostart/dewlight.desktop");
    }

    AutostartLoginService service(QString binary = QStringLiteral("/usr/bin/dewlight")) const {
        const auto path = AutostartLoginService::entryPath([this](const char* name) {
            return std::string(name) == "XDG_CONFIG_HOME"
                       ? std::optional<std::string>(config.toStdString())
                       : std::nullopt;
        });
        return AutostartLoginService(*path, std::move(binary));
    }

    void writeEntry(const QByteArray& contents) const {
        ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/autostart")));
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QByteArray readEntry() const {
        QFile file(entry);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home;
    QString config;
    QString entry;
};

TEST_F(AutostartTest, EntryPathFollowsTheBaseDirectoryRules) {
    using Vars = std::map<std::string, std::string>;
    const struct {
        Vars vars;
        std::optional<std::string> path;
    } cases[] = {
        {{{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}}, "/c/autostart/dewlight.desktop"},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config/autostart/dewlight.desktop"},
        {{{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}}, "/h/.config/autostart/dewlight.desktop"},
        {{{"HOME", "/h"}}, "/h/.config/autostart/dewlight.desktop"},
        {{{"HOME", "h"}}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto path =
            AutostartLoginService::entryPath([&](const char* name) -> std::optional<std::string> {
                const auto found = c.vars.find(name);
                return found == c.vars.end() ? std::nullopt : std::optional(found->second);
            });
        EXPECT_EQ(path ? std::optional(path->string()) : std::nullopt, c.path);
    }
}

TEST_F(AutostartTest, StatusReadsTheEntry) {
    const struct {
        const char* name;
        std::optional<QByteArray> contents; // none: no file
        LoginItemStatus status;
    } cases[] = {
        {"absent", std::nullopt, LoginItemStatus::notRegistered},
        {"present", "[Desktop Entry]\nType=Application\nExec=dewlight\n", LoginItemStatus::enabled},
        {"hidden", "[Desktop Entry]\nExec=dewlight\nHidden=true\n", LoginItemStatus::notRegistered},
        {"hidden, spaced", "[Desktop Entry]\nHidden = true\n", LoginItemStatus::notRegistered},
        {"not hidden", "[Desktop Entry]\nHidden=false\n", LoginItemStatus::enabled},
        {"GNOME off", "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n",
         LoginItemStatus::notRegistered},
        {"GNOME on", "[Desktop Entry]\nX-GNOME-Autostart-enabled=true\n", LoginItemStatus::enabled},
        // Keys of another group say nothing about the entry.
        {"hidden elsewhere", "[Desktop Entry]\nExec=dewlight\n[Desktop Action x]\nHidden=true\n",
         LoginItemStatus::enabled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(entry);
        if (c.contents)
            writeEntry(*c.contents);
        EXPECT_EQ(service().status(), c.status);
    }
}

TEST_F(AutostartTest, AFolderInTheEntrysPlaceIsNotRegisteredAndCannotBeReplaced) {
    ASSERT_TRUE(QDir().mkpath(entry + QStringLiteral("/inside")));
    AutostartLoginService autostart = service();
    EXPECT_EQ(autostart.status(), LoginItemStatus::notRegistered);
    EXPECT_THROW(autostart.registerItem(), LoginItemError);
    EXPECT_THROW(autostart.unregisterItem(), LoginItemError);
}

TEST_F(AutostartTest, RegisterWritesAnEntryThatStartsTheBinary) {
    AutostartLoginService autostart = service(QStringLiteral("/opt/My Apps/dewlight"));
    autostart.registerItem();
    const QByteArray written = readEntry();
    EXPECT_TRUE(written.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(written.contains("\nType=Application\n"));
    EXPECT_TRUE(written.contains("\nExec=\"/opt/My Apps/dewlight\"\n"));
    EXPECT_TRUE(written.contains("\nIcon=dewlight\n"));
    EXPECT_TRUE(written.contains("\nComment=Reminds you"));
    // The freedesktop validator accepts it.
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is not installed (Debian: "
                                         "desktop-file-utils)";
    QProcess validate;
    validate.start(validator, {entry});
    ASSERT_TRUE(validate.waitForFinished());
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
    EXPECT_EQ(autostart.status(), LoginItemStatus::enabled);
    // Nothing is left beside it.
    EXPECT_EQ(QDir(config + QStringLiteral("/autostart")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("dewlight.desktop")});
}

TEST_F(AutostartTest, RegisterReplacesAHiddenOrSwitchedOffEntry) {
    for (const QByteArray& old :
         {QByteArray("[Desktop Entry]\nExec=old\nHidden=true\n"),
          QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n")}) {
        writeEntry(old);
        AutostartLoginService autostart = service();
        autostart.registerItem();
        EXPECT_EQ(autostart.status(), LoginItemStatus::enabled);
        EXPECT_EQ(readEntry(), autostart.contents());
    }
}

TEST_F(AutostartTest, UnregisterRemovesTheEntryAndToleratesNone) {
    AutostartLoginService autostart = service();
    autostart.registerItem();
    autostart.unregisterItem();
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_NO_THROW(autostart.unregisterItem());
    EXPECT_EQ(autostart.status(), LoginItemStatus::notRegistered);
}

TEST_F(AutostartTest, TheItemTurnsTheEntryOnAndOff) {
    LoginItem item(std::make_unique<AutostartLoginService>(service()));
    QObject::connect(&item, &LoginItem::enabledChanged, [this] { ++changes; });
    EXPECT_FALSE(item.enabled());
    item.setEnabled(true);
    EXPECT_TRUE(item.enabled());
    EXPECT_TRUE(QFile::exists(entry));

    writeEntry("[Desktop Entry]\nExec=dewlight\nHidden=true\n"); // hidden by the desktop
    item.refresh();
    EXPECT_FALSE(item.enabled());

    item.setEnabled(true);
    item.setEnabled(false);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(AutostartTest, AnUnwritableFolderIsLoggedAndLeavesTheItemOff) {
    // A plain file where the autostart folder belongs stops even a privileged user.
    ASSERT_TRUE(QDir().mkpath(config));
    {
        QFile blocker(config + QStringLiteral("/autostart"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    LoginItem item(std::make_unique<AutostartLoginService>(service()));
    item.setEnabled(true);
    EXPECT_FALSE(item.enabled());
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.front().startsWith(failureLine(QStringLiteral("cannot create "))))
        << log.front().toStdString();
}

TEST_F(AutostartTest, AReadOnlyFolderIsLoggedAndLeavesTheItemOff) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind the superuser";
    const QString folder = config + QStringLiteral("/autostart");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    LoginItem item(std::make_unique<AutostartLoginService>(service()));
    item.setEnabled(true);
    EXPECT_FALSE(item.enabled());
    EXPECT_EQ(log, QStringList{failureLine(QStringLiteral("cannot write ") + entry)});
    EXPECT_FALSE(QFile::exists(entry));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(AutostartBinaryTest, PrefersAnInstalledCopyOnlyOverABuildFolder) {
    const QString build = QStringLiteral("/src/build/default");
    const QStringList executables = {QStringLiteral("/usr/local/bin/dewlight"),
                                     QStringLiteral("/usr/bin/dewlight"),
                                     QStringLiteral("/src/build/default/app/dewlight")};
    auto exists = [&](const QString& file) { return executables.contains(file); };
    const struct {
        const char* name;
        QString running;
        QStringList installed;
        QString chosen;
    } cases[] = {
        {"installed run", "/usr/bin/dewlight", {"/usr/local/bin/dewlight"}, "/usr/bin/dewlight"},
        {"build run, installed copy",
         "/src/build/default/app/dewlight",
         {"/usr/local/bin/dewlight"},
         "/usr/local/bin/dewlight"},
        {"build run, first existing copy",
         "/src/build/default/app/dewlight",
         {"/opt/none/dewlight", "/usr/bin/dewlight"},
         "/usr/bin/dewlight"},
        // The build folder on PATH is no installed copy.
        {"build run, only the build on PATH",
         "/src/build/default/app/dewlight",
         {"/src/build/default/app/dewlight"},
         "/src/build/default/app/dewlight"},
        {"build run, none installed",
         "/src/build/default/app/dewlight",
         {"/opt/none/dewlight"},
         "/src/build/default/app/dewlight"},
        {"a sibling folder is not the build",
         "/src/build/default-2/dewlight",
         {"/usr/bin/dewlight"},
         "/src/build/default-2/dewlight"},
        {"own path unknown", "", {"/usr/bin/dewlight"}, "/usr/bin/dewlight"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(autostartBinary(c.running, build, c.installed, exists), c.chosen) << c.name;
}

TEST(DesktopExecArgumentTest, QuotesAndEscapesAsTheSpecificationAsks) {
    const struct {
        QString argument;
        QString written;
    } cases[] = {
        {"/usr/bin/dewlight", "/usr/bin/dewlight"},
        {"/home/a b/dewlight", "\"/home/a b/dewlight\""},
        {"/x/$HOME/d", "\"/x/\\\\$HOME/d\""}, // \$ in the quotes, then \ doubled
        {"/x/a\\b", "\"/x/a\\\\\\\\b\""},     // a backslash becomes four
        {"/x/it's", "\"/x/it's\""},           // a single quote needs no escape in quotes
        {"/x/\"q\"", "\"/x/\\\\\"q\\\\\"\""},
        {"/x/100%", "/x/100%%"}, // never a field code
        {"/x/a\nb", "\"/x/a\\nb\""},
        {"", "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(desktopExecArgument(c.argument), c.written) << c.argument.toStdString();
}

} // namespace
