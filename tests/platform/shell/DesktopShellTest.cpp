// The shell on a real X server (Xvfb) and a private session bus, with a tray host of the test's
// own: the launches are separate processes, as on a desktop.
#include "FakeStatusNotifierWatcher.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace {

class DesktopShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
        // The server picks a free display and writes its number.
        xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                            QStringLiteral("-screen"), QStringLiteral("0"),
                                            QStringLiteral("1280x800x24")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return xvfb.canReadLine(); }, 10000));
        display = QStringLiteral(":") + QString::fromLatin1(xvfb.readLine()).trimmed();
    }
    void TearDown() override {
        for (auto& probe : probes)
            if (probe->state() != QProcess::NotRunning) {
                probe->terminate();
                probe->waitForFinished(3000);
            }
        probes.clear();
        if (xvfb.state() != QProcess::NotRunning) {
            xvfb.terminate();
            xvfb.waitForFinished(3000);
        }
    }

    QProcess& launch(int hostWaitMs = 3000) {
        auto probe = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("PROBE_HOST_WAIT_MS"), QString::number(hostWaitMs));
        environment.insert(QStringLiteral("PROBE_LOCK"), folder.filePath(QStringLiteral("lock")));
        probe->setProcessEnvironment(environment);
        probe->start(QStringLiteral(DEWLIGHT_SHELL_PROBE), {});
        probes.push_back(std::move(probe));
        return *probes.back();
    }

    // Waits for the probe to say `line`; the lines before it are dropped.
    static bool said(QProcess& probe, const char* line, int timeoutMs = 8000) {
        return QTest::qWaitFor(
            [&] {
                while (probe.canReadLine())
                    if (probe.readLine().trimmed() == line)
                        return true;
                return false;
            },
            timeoutMs);
    }

    // A property of the probe's visible window as xprop prints it (`WM_NAME(STRING) = "…"`), or
    // empty when the window or the tools are missing.
    std::string windowProperty(QProcess& probe, const QString& name) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        const auto output = [&](const QString& program, const QStringList& arguments) {
            QProcess tool;
            tool.setProcessEnvironment(environment);
            tool.start(program, arguments);
            tool.waitForFinished(5000);
            return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
        };
        const QString window =
            output(QStringLiteral("xdotool"),
                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--pid"), QString::number(probe.processId())})
                .section(QLatin1Char('\n'), -1);
        if (window.isEmpty())
            return {};
        return output(QStringLiteral("xprop"), {QStringLiteral("-id"), window, name}).toStdString();
    }

    QProcess xvfb;
    QString display;
    QTemporaryDir folder;
    std::vector<std::unique_ptr<QProcess>> probes;
};

TEST_F(DesktopShellTest, TheIconRegistersWithTheHostAndItsClicksToggleThePanel) {
    FakeStatusNotifierWatcher watcher(true);
    QProcess& first = launch();
    ASSERT_TRUE(said(first, "mode tray"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.RegisteredStatusNotifierItems().isEmpty(); },
                                8000));
    EXPECT_EQ(watcher.itemProperty(QStringLiteral("Status")).toString(), QStringLiteral("Active"));

    ASSERT_TRUE(watcher.activateItem());
    EXPECT_TRUE(said(first, "appeared"));
    ASSERT_TRUE(watcher.activateItem());
    EXPECT_TRUE(said(first, "hidden"));
    ASSERT_TRUE(watcher.activateItem());
    EXPECT_TRUE(said(first, "appeared"));
}

// The panel's window is told by its role, and its title differs from the welcome's ("Dewlight")
// so that window managers do not number the second of two equal titles ("Dewlight <2>"); Qt
// appends the application's name to every title but the one that is that name.
TEST_F(DesktopShellTest, ThePanelsWindowHasItsOwnTitleAndThePanelRoleInBothStyles) {
    for (const char* tool : {"xdotool", "xprop"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray ? "popup under the tray icon" : "normal window without a tray");
        std::optional<FakeStatusNotifierWatcher> watcher;
        if (tray)
            watcher.emplace(true);
        QProcess& probe = launch(300);
        if (tray) {
            ASSERT_TRUE(said(probe, "mode tray"));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return !watcher->RegisteredStatusNotifierItems().isEmpty(); }, 8000));
            ASSERT_TRUE(watcher->activateItem());
        }
        ASSERT_TRUE(said(probe, "appeared"));
        EXPECT_EQ(windowProperty(probe, QStringLiteral("WM_WINDOW_ROLE")),
                  "WM_WINDOW_ROLE(STRING) = \"panel\"");
        EXPECT_EQ(windowProperty(probe, QStringLiteral("_NET_WM_NAME")),
                  "_NET_WM_NAME(UTF8_STRING) = \"Panel \u2014 Dewlight\"");
        probe.terminate();
        probe.waitForFinished(3000);
    }
}

// What a panel reads of the item: a click activates it, and its menu (open, quit) is there for
// the hosts that show one, on a right click (Plasma, Xfce) or on any single click (GNOME's
// AppIndicator extension).
TEST_F(DesktopShellTest, TheItemActivatesOnAClickAndOffersAMenuThatOpensThePanelAndQuits) {
    FakeStatusNotifierWatcher watcher(true);
    QProcess& first = launch();
    ASSERT_TRUE(said(first, "mode tray"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.RegisteredStatusNotifierItems().isEmpty(); },
                                8000));
    EXPECT_EQ(watcher.itemProperty(QStringLiteral("ItemIsMenu")), QVariant(false));
    EXPECT_EQ(watcher.itemProperty(QStringLiteral("Category")).toString(),
              QStringLiteral("ApplicationStatus"));
    EXPECT_EQ(watcher.itemProperty(QStringLiteral("Id")).toString(), QStringLiteral("dewlight"));

    std::vector<QString> labels;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            labels.clear();
            for (const auto& entry : watcher.menu())
                if (entry.enabled)
                    labels.push_back(QString(entry.label).remove(QLatin1Char('&')));
            return !labels.empty();
        },
        8000));
    EXPECT_EQ(labels,
              (std::vector<QString>{QStringLiteral("Open Dewlight"), QStringLiteral("Quit")}));

    ASSERT_TRUE(watcher.chooseFromMenu(QStringLiteral("Open Dewlight")));
    EXPECT_TRUE(said(first, "appeared"));
    ASSERT_TRUE(watcher.chooseFromMenu(QStringLiteral("Quit")));
    ASSERT_TRUE(first.waitForFinished(8000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

// The tray's panel stops while the application runs: after the same wait as at start the panel
// becomes a window, and the item is back with the next host.
TEST_F(DesktopShellTest, AHostLostWhileRunningGivesAWindowAndTheItemReturnsWithTheNextHost) {
    auto watcher = std::make_unique<FakeStatusNotifierWatcher>(true);
    QProcess& first = launch(500);
    ASSERT_TRUE(said(first, "mode tray"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->RegisteredStatusNotifierItems().isEmpty(); },
                                8000));
    watcher.reset();
    EXPECT_TRUE(said(first, "mode waiting"));
    EXPECT_TRUE(said(first, "mode window"));
    EXPECT_TRUE(said(first, "appeared"));

    watcher = std::make_unique<FakeStatusNotifierWatcher>(true);
    EXPECT_TRUE(said(first, "mode tray"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !watcher->RegisteredStatusNotifierItems().isEmpty(); },
                                8000));
    ASSERT_TRUE(watcher->activateItem());
    EXPECT_TRUE(said(first, "appeared"));
}

TEST_F(DesktopShellTest, WithoutAHostThePanelIsANormalWindowAfterTheWait) {
    QProcess& first = launch(300);
    ASSERT_TRUE(said(first, "ready"));
    EXPECT_TRUE(said(first, "mode window"));
    EXPECT_TRUE(said(first, "appeared"));
}

TEST_F(DesktopShellTest, ASecondLaunchShowsTheFirstOnesPanelAndEndsQuietly) {
    FakeStatusNotifierWatcher watcher(true);
    QProcess& first = launch();
    ASSERT_TRUE(said(first, "mode tray"));

    QProcess& second = launch();
    ASSERT_TRUE(second.waitForFinished(8000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardError().isEmpty());
    EXPECT_TRUE(said(first, "appeared"));
}

} // namespace
