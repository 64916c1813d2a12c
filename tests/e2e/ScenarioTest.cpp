// The whole application on a desktop of the test's own, driven the way a person drives it: the
// tray item is clicked through the tray host, keys are real X events, and what the panel shows is
// read over the accessibility bus. Each scenario has its own time budget.
#include "Desktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimeZone>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <unistd.h>

namespace DewlightE2e {
namespace {

using namespace std::chrono_literals;

// The day's count the panel shows, in quarter glasses ("2¼ glasses" is 9).
std::optional<int> shownQuarters(Desktop& desktop, qint64 pid) {
    static const QRegularExpression count(QStringLiteral("^(\\d*)(¼|½|¾)? glass(es)?$"));
    for (const Seen& node : desktop.seen(pid)) {
        const QRegularExpressionMatch match = count.match(node.name.trimmed());
        if (!match.hasMatch())
            continue;
        int quarters = match.captured(1).toInt() * 4;
        const QString fraction = match.captured(2);
        quarters += fraction == u"¼" ? 1 : fraction == u"½" ? 2 : fraction == u"¾" ? 3 : 0;
        return quarters;
    }
    return std::nullopt;
}

class Scenario : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = QStringLiteral(DEWLIGHT_E2E_ARTIFACTS "/") + QString::fromLatin1(info->name());
        QDir(folder).removeRecursively();
        desktop = std::make_unique<Desktop>(folder);
        const QString error = desktop->start();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }

    void TearDown() override {
        if (!desktop)
            return;
        if (HasFailure()) {
            // What was on screen and what the panel said, beside the app's log.
            desktop->screenshot(folder + QStringLiteral("/screen.png"));
            if (current && current->running()) {
                QFile seen(folder + QStringLiteral("/seen.txt"));
                if (seen.open(QIODevice::WriteOnly))
                    seen.write(desktop->describe(current->pid()).toUtf8());
            }
            std::fprintf(stderr, "artifacts of the failure: %s\n", qPrintable(folder));
        }
        current = nullptr;
        apps.clear();
        desktop.reset();
        if (!HasFailure())
            QDir(folder).removeRecursively();
    }

    // An app on this desktop, ended after the screenshot of a failure.
    App& newApp(const Home& home, const QStringList& environment = {}, bool secondBus = false) {
        apps.push_back(desktop->app(home, environment, secondBus));
        return *apps.back();
    }

    // Starts the app and opens its panel through the tray host.
    void launch(App& app) {
        current = &app;
        ASSERT_TRUE(app.start());
        ASSERT_TRUE(app.openPanel(budget->leftMs(20000)))
            << "the tray item did not appear or did not open the panel";
    }

    // Walks the welcome flow to its end with keys: Tab and space press each of `addedDays`
    // ("Saturday") into the working week, and Return, wherever the focus is, continues to the
    // second step; the added days stay chosen (Back shows them again). Tab and space press
    // "Allow notifications", and Return on "Let’s go" ends it. `answer` is what the second step
    // shows once the desktop has answered the request.
    void walkWelcome(App& app, const QString& answer, const QStringList& addedDays = {}) {
        const QString title = QStringLiteral("A little water during your workday");
        ASSERT_TRUE(app.shows(title, budget->leftMs(10000)))
            << "the welcome flow did not open\n"
            << desktop->describe(app.pid()).toStdString();
        ASSERT_TRUE(app.shows(QStringLiteral("Step 1 of 2"), 0));
        const auto chosen = [&] {
            return std::all_of(addedDays.begin(), addedDays.end(),
                               [&](const QString& day) { return app.selected(day); });
        };
        for (const QString& day : addedDays) {
            ASSERT_TRUE(app.focus(day)) << desktop->describe(app.pid()).toStdString();
            ASSERT_TRUE(app.press({QStringLiteral("space")}));
            ASSERT_TRUE(waitFor([&] { return app.selected(day); }, budget->leftMs(5000)))
                << day.toStdString() << " was not chosen";
        }
        ASSERT_TRUE(app.press({QStringLiteral("Return")}));
        ASSERT_TRUE(app.shows(QStringLiteral("Step 2 of 2"), budget->leftMs(10000)))
            << desktop->describe(app.pid()).toStdString();
        if (!addedDays.isEmpty()) {
            ASSERT_TRUE(app.focus(QStringLiteral("Back")));
            ASSERT_TRUE(app.press({QStringLiteral("space")}));
            ASSERT_TRUE(app.shows(QStringLiteral("Step 1 of 2"), budget->leftMs(10000)));
            EXPECT_TRUE(waitFor(chosen, 2000)) << "Return changed a chosen day";
            ASSERT_TRUE(app.press({QStringLiteral("Return")}));
            ASSERT_TRUE(app.shows(QStringLiteral("Step 2 of 2"), budget->leftMs(10000)));
        }
        ASSERT_TRUE(app.focus(QStringLiteral("Allow notifications")))
            << desktop->describe(app.pid()).toStdString();
        ASSERT_TRUE(app.press({QStringLiteral("space")}));
        ASSERT_TRUE(app.shows(answer, budget->leftMs(10000)))
            << desktop->describe(app.pid()).toStdString();
        ASSERT_TRUE(app.focus(QStringLiteral("Let’s go")));
        ASSERT_TRUE(app.press({QStringLiteral("Return")}));
        EXPECT_TRUE(waitFor([&] { return !app.shows(title, 200); }, budget->leftMs(10000)))
            << "the welcome flow did not end\n"
            << desktop->describe(app.pid()).toStdString();
    }

    // Ends a welcome flow that opened again (for an account this computer has not welcomed
    // yet) with "Let’s go"; does nothing when none is open.
    void finishWelcomeIfShown(App& app) {
        const QString title = QStringLiteral("A little water during your workday");
        if (!app.shows(title, 3000))
            return;
        if (app.shows(QStringLiteral("Step 1 of 2"), 0)) {
            ASSERT_TRUE(app.press({QStringLiteral("Return")}));
            ASSERT_TRUE(app.shows(QStringLiteral("Step 2 of 2"), budget->leftMs(10000)));
        }
        ASSERT_TRUE(app.focus(QStringLiteral("Let’s go")))
            << desktop->describe(app.pid()).toStdString();
        ASSERT_TRUE(app.press({QStringLiteral("Return")}));
        EXPECT_TRUE(waitFor([&] { return !app.shows(title, 200); }, budget->leftMs(10000)))
            << "the welcome flow did not end\n"
            << desktop->describe(app.pid()).toStdString();
        ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    }

    // Starts the app without a notification server, walks its welcome and opens its panel.
    void launchWelcomed(App& app) {
        ASSERT_NO_FATAL_FAILURE(launch(app));
        ASSERT_NO_FATAL_FAILURE(walkWelcome(app, QStringLiteral("Open Settings")));
        ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    }

    // Escape puts the open panel of `app` away.
    void putPanelAway(App& app) {
        app.press({QStringLiteral("Escape")});
        ASSERT_TRUE(waitFor([&] { return !desktop->hasVisibleWindow(app.pid()); }, 5000));
    }

    // Keys for the panel of `app`, opened first. With two apps on the desktop the panel of one
    // closes when the other's takes the focus, and a click right after that only confirms the
    // dismissal: the keys go once a panel is there to take them.
    void inPanel(App& app, const QStringList& keys) {
        current = &app;
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
            if (app.press(keys))
                return;
        }
        FAIL() << "the panel did not stay open for the keys";
    }

    // The count in the panel of `app`, which is opened again whenever it is not on screen: two
    // computers here share one screen and no window manager, so a panel can lose the focus to
    // the other computer's and close.
    std::optional<int> panelQuarters(App& app, int expected, int timeoutMs) {
        current = &app;
        std::optional<int> shown;
        waitFor(
            [&] {
                if (!desktop->hasVisibleWindow(app.pid()))
                    app.openPanel(2000);
                shown = shownQuarters(*desktop, app.pid());
                return shown == expected;
            },
            timeoutMs);
        return shown;
    }

    std::optional<int> quarters(App& app, std::optional<int> expected, int timeoutMs) {
        std::optional<int> shown;
        waitFor(
            [&] {
                shown = shownQuarters(*desktop, app.pid());
                return shown && (!expected || shown == expected);
            },
            timeoutMs);
        return shown;
    }

    QString folder;
    std::unique_ptr<Desktop> desktop;
    std::optional<Budget> budget;
    std::vector<std::unique_ptr<App>> apps;
    App* current = nullptr;
};

// 1. First start: the tray item appears, a click opens the panel, the welcome flow is walked to
// its end with keys, and the permission is allowed because a notification server is on the bus.
TEST_F(Scenario, OnFirstStartTheTrayItemOpensThePanelAndTheWelcomeIsWalked) {
    budget.emplace(60s);
    ASSERT_TRUE(desktop->startNotificationServer());
    const Home home = desktop->newHome(QStringLiteral("one"));
    App& app = newApp(home);
    current = &app;
    ASSERT_TRUE(app.start());
    ASSERT_TRUE(app.registered(budget->leftMs(15000))) << "no tray item reached the host";
    EXPECT_EQ(desktop->tray().itemProperty(QStringLiteral("Status")).toString(),
              QStringLiteral("Active"));
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(app.shows(QStringLiteral("Dewlight"), budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();

    // The welcome opens with the panel; it is walked with keys, Saturday added to the week; with
    // a notification server on the bus, asking for the permission allows it.
    ASSERT_NO_FATAL_FAILURE(walkWelcome(app, QStringLiteral("All set!"), {"Saturday"}));

    // The panel no longer asks for the permission: the status tells when reminders come.
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(app.shows(QStringLiteral("A glass"), budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();
    EXPECT_TRUE(waitFor(
        [&] {
            return app.shows(QStringLiteral("Next reminder at"), 0) ||
                   app.shows(QStringLiteral("Next workday:"), 0);
        },
        budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();
    EXPECT_FALSE(app.shows(QStringLiteral("Notifications are off"), 0))
        << desktop->describe(app.pid()).toStdString();
    EXPECT_FALSE(app.shows(QStringLiteral("Just one step left"), 0))
        << desktop->describe(app.pid()).toStdString();
}

// 7. No notification server: the panel tells that notifications are off; once a server is on
// the bus, reopening the panel turns the permission to allowed.
TEST_F(Scenario, WithoutANotificationServerThePanelShowsTheDeniedNotice) {
    budget.emplace(75s);
    const Home home = desktop->newHome(QStringLiteral("one"));
    App& app = newApp(home);
    launch(app);
    // The welcome tells what happened, never "All set!".
    const QString noService =
        QStringLiteral("No notification service answered on this desktop, so reminders cannot "
                       "appear. Counting works without them.");
    ASSERT_NO_FATAL_FAILURE(walkWelcome(app, noService));
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(app.shows(QStringLiteral("Notifications are off"), budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();
    EXPECT_TRUE(app.shows(QStringLiteral("Just one step left"), 0))
        << desktop->describe(app.pid()).toStdString();
    EXPECT_TRUE(app.shows(noService, 0)) << desktop->describe(app.pid()).toStdString();

    ASSERT_TRUE(desktop->startNotificationServer());
    ASSERT_NO_FATAL_FAILURE(putPanelAway(app));
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(waitFor(
        [&] {
            return !app.shows(QStringLiteral("Notifications are off"), 0) &&
                   !app.shows(QStringLiteral("Just one step left"), 0) &&
                   app.shows(QStringLiteral("A glass"), 0);
        },
        budget->leftMs(15000)))
        << desktop->describe(app.pid()).toStdString();
}

// 8. A second launch, from a menu or a terminal with the pointer elsewhere, opens the panel where
// a click on the tray icon opens it.
TEST_F(Scenario, ASecondLaunchOpensThePanelAtTheTrayIcon) {
    budget.emplace(90s);
    const Home home = desktop->newHome(QStringLiteral("one"));
    App& app = newApp(home);
    ASSERT_NO_FATAL_FAILURE(launchWelcomed(app));
    const std::optional<QRect> clicked = desktop->windowGeometry(app.pid());
    ASSERT_TRUE(clicked);
    // Under the icon, inside the screen.
    EXPECT_LE(clicked->left(), Desktop::iconX);
    EXPECT_GE(clicked->right(), Desktop::iconX);
    EXPECT_GT(clicked->top(), Desktop::iconY);
    EXPECT_LT(clicked->top(), Desktop::iconY + 30);
    ASSERT_NO_FATAL_FAILURE(putPanelAway(app));

    desktop->movePointer(300, 600);
    App& second = newApp(home);
    second.besideOthers();
    ASSERT_TRUE(second.start());
    EXPECT_EQ(second.ended(budget->leftMs(10000)), 0);
    current = &app;
    ASSERT_TRUE(waitFor([&] { return desktop->hasVisibleWindow(app.pid()); },
                        budget->leftMs(10000)));
    EXPECT_EQ(desktop->windowGeometry(app.pid()), clicked);
}

// 9. The tray's panel stops while the app runs: after the same wait as at start-up the panel is
// a normal window; when the tray is back, the app is in it again and the window goes.
TEST_F(Scenario, TheTrayStoppedAndRestartedWhileTheAppRuns) {
    budget.emplace(90s);
    const Home home = desktop->newHome(QStringLiteral("one"));
    App& app = newApp(home);
    ASSERT_NO_FATAL_FAILURE(launchWelcomed(app));
    ASSERT_NO_FATAL_FAILURE(putPanelAway(app));

    desktop->stopTray();
    EXPECT_TRUE(waitFor([&] { return desktop->hasVisibleWindow(app.pid()); },
                        budget->leftMs(15000)))
        << "no window after the tray went away";
    EXPECT_TRUE(app.shows(QStringLiteral("A glass"), budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();

    desktop->startTray();
    ASSERT_TRUE(app.registered(budget->leftMs(15000))) << "the item did not come back";
    EXPECT_TRUE(waitFor([&] { return !desktop->hasVisibleWindow(app.pid()); },
                        budget->leftMs(10000)))
        << "the window stayed with the tray back";
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(app.shows(QStringLiteral("A glass"), budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();
}

// 2. Recording: g, g, s count two glasses and a quarter; Ctrl+Z takes the sip back; a restart
// shows the same count.
TEST_F(Scenario, GlassesAndASipAreCountedUndoneAndKeptOverARestart) {
    budget.emplace(75s);
    ASSERT_TRUE(desktop->startNotificationServer());
    const Home home = desktop->newHome(QStringLiteral("one"));
    {
        App& app = newApp(home);
        launch(app);
        ASSERT_NO_FATAL_FAILURE(walkWelcome(app, QStringLiteral("All set!")));
        ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
        ASSERT_TRUE(app.press({QStringLiteral("g"), QStringLiteral("g"), QStringLiteral("s")}));
        EXPECT_TRUE(app.shows(QStringLiteral("2¼ glasses"), budget->leftMs(10000)))
            << desktop->describe(app.pid()).toStdString();
        ASSERT_TRUE(app.press({QStringLiteral("ctrl+z")}));
        EXPECT_EQ(quarters(app, 8, budget->leftMs(10000)), 8);
        ASSERT_TRUE(app.quit());
    }
    App& again = newApp(home);
    launch(again);
    EXPECT_EQ(quarters(again, 8, budget->leftMs(10000)), 8)
        << desktop->describe(again.pid()).toStdString();
}

// 4. Crash safety: killed at random moments while glasses are being recorded, the app never
// loses a glass whose count it had already shown, and always starts again.
TEST_F(Scenario, KilledWhileRecordingItNeverLosesACompletedDrink) {
    budget.emplace(180s);
    ASSERT_TRUE(desktop->startNotificationServer());
    const Home home = desktop->newHome(QStringLiteral("one"));
    QRandomGenerator random(20240611);
    int completed = 0; // quarters the panel had shown before the kill
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        App& app = newApp(home);
        launch(app);
        if (round == 0) {
            ASSERT_NO_FATAL_FAILURE(walkWelcome(app, QStringLiteral("All set!")));
        }
        ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
        const std::optional<int> start = quarters(app, std::nullopt, budget->leftMs(10000));
        ASSERT_TRUE(start.has_value()) << desktop->describe(app.pid()).toStdString();
        EXPECT_GE(*start, completed) << "a drink shown before the kill was lost";
        completed = std::max(completed, *start);

        // One glass that completes (its count is shown), then more keys and a kill among them.
        ASSERT_TRUE(app.press({QStringLiteral("g")}));
        ASSERT_EQ(quarters(app, completed + 4, budget->leftMs(10000)), completed + 4);
        completed += 4;
        QProcess burst;
        burst.setProcessEnvironment(desktop->environment(home));
        burst.start(QStringLiteral("xdotool"),
                    {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"),
                     QStringLiteral("g"), QStringLiteral("s"), QStringLiteral("g")});
        waitFor([] { return false; }, int(random.bounded(0, 160)));
        app.kill();
        burst.waitForFinished(3000);
        ASSERT_FALSE(budget->over()) << "the scenario ran out of time";
    }
    App& last = newApp(home);
    launch(last);
    const std::optional<int> end = quarters(last, std::nullopt, budget->leftMs(10000));
    ASSERT_TRUE(end.has_value());
    EXPECT_GE(*end, completed);
}

// 3. A reminder reaches the real notification server. The default settings remind on the hour
// from 10:00 to 17:00, Monday to Friday, and the welcome adds the weekend; the app's own time
// zone puts it shortly before one of those hours, whatever the hour and day the test runs at,
// and the machine's clock is left alone.
TEST_F(Scenario, AReminderReachesTheNotificationServerAndItsGlassActionRecords) {
    budget.emplace(180s);
    ASSERT_TRUE(desktop->startNotificationServer());
    // The reminder is due this long after the launch: the welcome is walked well before it,
    // and only a walked welcome lets reminders be planned.
    constexpr qint64 lead = 45;
    // Whole seconds: `secsTo` drops the milliseconds, and a due time of 9:59:59.6 would be told
    // as "9:59" while the app rightly plans 10:00.
    const QDateTime due =
        QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + lead, Qt::UTC);
    qint64 ahead = 0; // local time minus UTC, in seconds
    bool found = false;
    // With every day a working day the nearest hour is at most 8½ hours away, within the
    // offsets real zones have. Weekdays alone put it up to 33 hours away on a weekend, and at
    // such an offset the app took the day for an ended one.
    for (int days = -1; days <= 1; ++days) {
        const QDate date = due.date().addDays(days);
        for (int hour = 10; hour <= 17; ++hour) {
            const qint64 offset = due.secsTo(QDateTime(date, QTime(hour, 0), Qt::UTC));
            if (!found || std::abs(offset) < std::abs(ahead))
                ahead = offset;
            found = true;
        }
    }
    const QString zone = desktop->timeZone(ahead);
    ASSERT_FALSE(zone.isEmpty()) << "no zone file could be written";

    const Home home = desktop->newHome(QStringLiteral("one"));
    App& app = newApp(home, {QStringLiteral("TZ=") + zone});
    launch(app);
    ASSERT_NO_FATAL_FAILURE(walkWelcome(app, QStringLiteral("All set!"),
                                        {QStringLiteral("Saturday"), QStringLiteral("Sunday")}));
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    // The panel tells the hour, read in the app's own zone ("5:00 PM" in American English).
    const QTime local = due.addSecs(ahead).time();
    const QString at = QStringLiteral("%1:%2")
                           .arg(local.hour() % 12 == 0 ? 12 : local.hour() % 12)
                           .arg(local.minute(), 2, 10, QLatin1Char('0'));
    EXPECT_TRUE(app.shows(QStringLiteral("Next reminder at ") + at, budget->leftMs(10000)))
        << "zone " << ahead << " s\n"
        << desktop->describe(app.pid()).toStdString();
    const std::optional<int> before = quarters(app, std::nullopt, budget->leftMs(5000));
    ASSERT_EQ(before, 0);
    app.press({QStringLiteral("Escape")});

    std::vector<Notification> sent;
    ASSERT_TRUE(waitFor(
        [&] {
            sent = desktop->notifications();
            return !sent.empty() && desktop->displayedNotifications() > 0;
        },
        budget->leftMs(int(lead + 60) * 1000)))
        << "no reminder reached dunst; zone " << ahead << " s";
    EXPECT_GE(QDateTime::currentDateTimeUtc().secsTo(due), -60) << "the reminder came late";
    ASSERT_EQ(sent.size(), 1u);
    const Notification& reminder = sent.front();
    EXPECT_EQ(reminder.summary, QStringLiteral("Dewlight"));
    const QStringList phrases{
        QStringLiteral("Time for some water."), QStringLiteral("A short pause for water."),
        QStringLiteral("Even a sip counts."), QStringLiteral("Take a moment for water."),
        QStringLiteral("A little water before the weekend.")};
    EXPECT_TRUE(phrases.contains(reminder.body)) << reminder.body.toStdString();
    EXPECT_EQ(reminder.actions,
              (QStringList{QStringLiteral("cup"), QStringLiteral("A glass"), QStringLiteral("sip"),
                           QStringLiteral("A sip"), QStringLiteral("postpone"),
                           QStringLiteral("In 15 minutes")}));
    // Silent: the server is told to play nothing, and no sound is named.
    EXPECT_TRUE(reminder.hints.contains(QStringLiteral("suppress-sound")))
        << reminder.hints.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(reminder.hints.contains(QStringLiteral("sound-file")));
    EXPECT_FALSE(reminder.hints.contains(QStringLiteral("sound-name")));

    // The person comes back after twice dunst's own time-out (10 s): the reminder is still on
    // screen, and its buttons still answer.
    waitFor([] { return false; }, 2 * 10000 + 1000);
    EXPECT_EQ(desktop->displayedNotifications(), 1) << "the reminder expired unanswered";

    // The user picks "A glass" in dunst's menu; the panel counts it.
    ASSERT_TRUE(desktop->invokeAction(QStringLiteral("cup")));
    ASSERT_TRUE(
        waitFor([&] { return desktop->invokedActions().contains(QStringLiteral("cup")); }, 5000));
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    EXPECT_EQ(quarters(app, 4, budget->leftMs(10000)), 4)
        << desktop->describe(app.pid()).toStdString();
}

// The panel's line on where the data lives, in its Linux wording.
const QString inSyncFolder = QStringLiteral("Your glasses and settings stay in your sync folder.");
const QString withoutSyncFolder =
    QStringLiteral("Without a sync folder, your data stays on this computer.");

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The first key file of the account's sub-folder in a sync folder, empty when none is there.
QString keyFile(const QString& syncFolder) {
    for (const QFileInfo& account :
         QDir(syncFolder).entryInfoList({QStringLiteral("account-*")}, QDir::Dirs))
        for (const QFileInfo& key :
             QDir(account.filePath()).entryInfoList({QStringLiteral("*.kv")}, QDir::Files))
            return key.filePath();
    return {};
}

// 6. A broken sync folder: the link into the sync tool's folder dangles, the folder cannot be
// read, its "account" file is empty or garbage, a conflict copy of a key lies beside the key.
// The app keeps counting all the while, the panel says where the data lives, and once the folder
// is mended the account's glasses are all there.
TEST_F(Scenario, ABrokenSyncFolderKeepsCountingAndLosesNothingOnceMended) {
    budget.emplace(280s);
    ASSERT_TRUE(desktop->startNotificationServer());
    const Home home = desktop->newHome(QStringLiteral("one"));
    // The sync tool's folder, linked in where the app looks for it.
    const QString shared = home.path(QStringLiteral("Sync tool/Dewlight"));
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_TRUE(writeFile(shared + QStringLiteral("/account"), "reader@example.org\n"));
    ASSERT_TRUE(QDir().mkpath(home.dataFolder()));
    ASSERT_TRUE(QFile::link(shared, home.syncFolder()));

    App& app = newApp(home);
    launch(app);
    ASSERT_NO_FATAL_FAILURE(walkWelcome(app, QStringLiteral("All set!")));
    ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
    ASSERT_TRUE(app.shows(inSyncFolder, budget->leftMs(10000)))
        << desktop->describe(app.pid()).toStdString();
    ASSERT_TRUE(app.press({QStringLiteral("g")}));
    int account = 4; // quarters of the sync account
    int local = 0;   // quarters of this computer's own account, used while no account is named
    ASSERT_EQ(quarters(app, account, budget->leftMs(10000)), account);
    const QString conflict = [&] {
        const QString key = keyFile(shared);
        return key.left(key.size() - 3) +
               QStringLiteral(".sync-conflict-20261210-101500-QWERTY.kv");
    }();
    ASSERT_FALSE(keyFile(shared).isEmpty()) << "the glass did not reach the sync folder";

    const QString link = home.syncFolder();
    const QString token = shared + QStringLiteral("/account");
    QByteArray garbage(6000, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char(QRandomGenerator::global()->bounded(256));
    struct Case {
        const char* name;
        std::function<bool()> breakIt;
        std::function<bool()> mend;
        QString shown;    // where the panel says the data lives meanwhile
        bool sameAccount; // the glasses meanwhile still go to the sync account
    };
    const Case cases[] = {
        {"the link dangles",
         [&] { return QFile::remove(link) && QFile::link(shared + QStringLiteral(".gone"), link); },
         [&] { return QFile::remove(link) && QFile::link(shared, link); }, inSyncFolder, true},
        {"the folder cannot be read",
         [&] {
             // The owner cannot list a folder without its read and search bits; the superuser
             // can, and meets a file where the folder should be instead.
             if (::geteuid() == 0)
                 return QFile::remove(link) && QFile::link(token, link);
             return QFile::setPermissions(shared, QFileDevice::Permissions());
         },
         [&] {
             if (::geteuid() == 0)
                 return QFile::remove(link) && QFile::link(shared, link);
             return QFile::setPermissions(shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
         },
         inSyncFolder, true},
        {"the account file is empty", [&] { return writeFile(token, {}); },
         [&] { return writeFile(token, "reader@example.org\n"); }, withoutSyncFolder, false},
        {"the account file is garbage", [&] { return writeFile(token, garbage); },
         [&] { return writeFile(token, "reader@example.org\n"); }, withoutSyncFolder, false},
        {"a key has a conflict copy",
         [&] { return writeFile(conflict, "{\"version\":1,\"revision\":99,\"writer\":\"X\"}"); },
         [&] { return QFile::remove(conflict); }, inSyncFolder, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.breakIt());
        ASSERT_TRUE(app.openPanel(budget->leftMs(10000)));
        EXPECT_TRUE(app.shows(c.shown, budget->leftMs(40000)))
            << desktop->describe(app.pid()).toStdString();
        // The welcome is kept per account: this computer's own account is welcomed once.
        if (!c.sameAccount) {
            ASSERT_NO_FATAL_FAILURE(finishWelcomeIfShown(app));
        }
        const int before = c.sameAccount ? account : local;
        EXPECT_EQ(quarters(app, before, budget->leftMs(10000)), before)
            << desktop->describe(app.pid()).toStdString();
        // Counting goes on: a glass and a sip.
        ASSERT_TRUE(app.press({QStringLiteral("g"), QStringLiteral("s")}));
        (c.sameAccount ? account : local) += 5;
        EXPECT_EQ(quarters(app, before + 5, budget->leftMs(10000)), before + 5)
            << desktop->describe(app.pid()).toStdString();

        ASSERT_TRUE(c.mend());
        EXPECT_TRUE(app.shows(inSyncFolder, budget->leftMs(40000)))
            << desktop->describe(app.pid()).toStdString();
        EXPECT_EQ(quarters(app, account, budget->leftMs(10000)), account)
            << "glasses of the sync account were lost\n"
            << desktop->describe(app.pid()).toStdString();
        ASSERT_FALSE(budget->over()) << "the scenario ran out of time";
    }

    // The mended folder holds every glass of the account, also those counted while it was
    // broken: another computer linked to it shows them all.
    ASSERT_TRUE(app.quit());
    const Home other = desktop->newHome(QStringLiteral("two"));
    ASSERT_TRUE(QDir().mkpath(other.dataFolder()));
    ASSERT_TRUE(QFile::link(shared, other.syncFolder()));
    App& second = newApp(other);
    launch(second);
    ASSERT_NO_FATAL_FAILURE(walkWelcome(second, QStringLiteral("All set!")));
    ASSERT_TRUE(second.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(second.shows(inSyncFolder, budget->leftMs(10000)))
        << desktop->describe(second.pid()).toStdString();
    EXPECT_EQ(quarters(second, account, budget->leftMs(15000)), account)
        << desktop->describe(second.pid()).toStdString();
}

// A file-sync tool of the test's own between two sync folders: each pass copies every file
// that changed on one side since the last pass to the other, removes there what was removed
// here, and, like the real tools, keeps a conflict copy when both sides changed a file. Copies
// land under a hidden name first and are renamed into place.
class CopyLoop {
public:
    CopyLoop(QString one, QString two) : sides_{std::move(one), std::move(two)} {
        timer_.setInterval(250);
        QObject::connect(&timer_, &QTimer::timeout, [this] { pass(); });
        timer_.start();
    }

    void pass() {
        const std::map<QString, QByteArray> now[2] = {read(sides_[0]), read(sides_[1])};
        std::set<QString> names;
        for (const auto& side : now)
            for (const auto& [name, bytes] : side)
                names.insert(name);
        for (const auto& name : names)
            for (int from = 0; from < 2; ++from) {
                const int to = 1 - from;
                const auto here = now[from].find(name);
                const auto there = now[to].find(name);
                const auto known = known_.find(name);
                const bool changedHere =
                    here == now[from].end()
                        ? known != known_.end()
                        : known == known_.end() || known->second != here->second;
                if (!changedHere)
                    continue;
                const bool changedThere =
                    there == now[to].end()
                        ? known != known_.end()
                        : known == known_.end() || known->second != there->second;
                if (changedThere && from == 1)
                    continue; // decided on the first side's turn
                if (changedThere && here != now[from].end() && there != now[to].end() &&
                    here->second != there->second) {
                    // Both changed: the second side's copy is kept beside the first's.
                    put(sides_[0], name + QStringLiteral(".sync-conflict-e2e"), now[1].at(name));
                    put(sides_[1], name, here->second);
                } else if (here == now[from].end()) {
                    QFile::remove(sides_[to] + QLatin1Char('/') + name);
                } else {
                    put(sides_[to], name, here->second);
                }
            }
        known_ = read(sides_[0]);
    }

private:
    static std::map<QString, QByteArray> read(const QString& root) {
        std::map<QString, QByteArray> files;
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName().startsWith(QLatin1Char('.')))
                continue;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                files[QDir(root).relativeFilePath(path)] = file.readAll();
        }
        return files;
    }

    static void put(const QString& root, const QString& name, const QByteArray& bytes) {
        const QFileInfo target(root + QLatin1Char('/') + name);
        QDir().mkpath(target.path());
        const QString temporary = target.path() + QStringLiteral("/.copying-") + target.fileName();
        if (writeFile(temporary, bytes)) {
            QFile::remove(target.filePath());
            QFile::rename(temporary, target.filePath());
        }
    }

    QString sides_[2];
    std::map<QString, QByteArray> known_;
    QTimer timer_;
};

// The command blocks of the README's "Sync between computers" section, in order: what a person
// copies into a terminal.
QStringList readmeSyncSteps() {
    QFile readme(QStringLiteral(DEWLIGHT_E2E_README));
    if (!readme.open(QIODevice::ReadOnly))
        return {};
    QStringList blocks;
    bool inSection = false;
    bool inBlock = false;
    for (const QString& line : QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("## "))) {
            inSection = line == QStringLiteral("## Sync between computers");
            inBlock = false;
            continue;
        }
        const bool command = inSection && line.startsWith(QStringLiteral("    ")) &&
                             !line.trimmed().isEmpty();
        if (command && !inBlock)
            blocks.push_back({});
        if (command)
            blocks.back() += line.mid(4) + QLatin1Char('\n');
        inBlock = command;
    }
    return blocks;
}

// Runs commands in a home as a person's shell would, stopping at the first that fails. Empty
// when all succeeded, else what the shell said.
QString runInHome(const Desktop& desktop, const Home& home, const QString& commands) {
    QProcess shell;
    shell.setProcessEnvironment(desktop.environment(home));
    shell.setWorkingDirectory(home.root);
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.start(QStringLiteral("sh"), {QStringLiteral("-ec"), commands});
    if (!shell.waitForFinished(10000))
        return QStringLiteral("the commands did not finish");
    if (shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0)
        return {};
    return QString::fromUtf8(shell.readAll()) +
           QStringLiteral("(exit %1)\n%2").arg(shell.exitCode()).arg(commands);
}

// 5. Two computers: two apps with homes of their own join one sync account by the README's
// commands, run verbatim, while a copy loop stands in for the sync tool. Glasses counted on both
// converge on both; an erase on one is adopted by the other, which asks for its welcome again.
TEST_F(Scenario, TwoComputersJoinByTheReadmeConvergeAndAdoptAnErase) {
    budget.emplace(280s);
    const QStringList steps = readmeSyncSteps();
    ASSERT_EQ(steps.size(), 2) << "the README's sync steps: the link on each computer, then the "
                                  "account file on one";
    ASSERT_TRUE(desktop->startNotificationServer());
    const Home homes[] = {desktop->newHome(QStringLiteral("one")),
                          desktop->newHome(QStringLiteral("two"))};
    const QString welcome = QStringLiteral("A little water during your workday");
    // The first computer joins before the app first starts.
    for (const QString& step : steps) {
        const QString failed = runInHome(*desktop, homes[0], step);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    }
    ASSERT_TRUE(QFileInfo(homes[0].syncFolder() + QStringLiteral("/account")).isFile());
    // Each computer has a session bus of its own; only the first has a notification server.
    const QString error = desktop->startSecondBus();
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    App& one = newApp(homes[0]);
    App& two = newApp(homes[1], {}, true);
    for (App* app : {&one, &two}) {
        app->besideOthers();
        launch(*app);
        ASSERT_NO_FATAL_FAILURE(walkWelcome(*app, app == &one ? QStringLiteral("All set!")
                                                              : QStringLiteral("Open Settings")));
        ASSERT_TRUE(app->openPanel(budget->leftMs(10000)));
        EXPECT_TRUE(app->shows(app == &one ? inSyncFolder : withoutSyncFolder,
                               budget->leftMs(10000)))
            << desktop->describe(app->pid()).toStdString();
    }
    // A glass on the second computer before it joins stays in its own set.
    ASSERT_NO_FATAL_FAILURE(inPanel(two, {QStringLiteral("g")}));
    EXPECT_EQ(panelQuarters(two, 4, budget->leftMs(10000)), 4)
        << desktop->describe(two.pid()).toStdString();

    // The second computer joins while it runs: its link, and the account file the tool brings.
    const QString failed = runInHome(*desktop, homes[1], steps[0]);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    CopyLoop loop(QDir(homes[0].syncFolder()).canonicalPath(),
                  QDir(homes[1].syncFolder()).canonicalPath());
    QElapsedTimer joining;
    joining.start();
    current = &two;
    EXPECT_TRUE(waitFor(
        [&] { return two.shows(welcome, 0) || two.shows(inSyncFolder, 0); },
        budget->leftMs(40000)))
        << desktop->describe(two.pid()).toStdString();
    // The sync folder is watched: a link or `account` file that appears while the app runs is
    // noticed within about two seconds, not at a rescan half a minute later.
    EXPECT_LE(joining.elapsed(), 2500) << "the link and account were noticed late";
    // Never welcomed in the account, it asks at once: its panel was shown before.
    ASSERT_TRUE(two.shows(welcome, budget->leftMs(10000)))
        << desktop->describe(two.pid()).toStdString();
    ASSERT_NO_FATAL_FAILURE(finishWelcomeIfShown(two));
    EXPECT_TRUE(two.shows(inSyncFolder, budget->leftMs(10000)))
        << desktop->describe(two.pid()).toStdString();
    EXPECT_EQ(panelQuarters(two, 0, budget->leftMs(10000)), 0)
        << "the glass counted before joining left the count\n"
        << desktop->describe(two.pid()).toStdString();

    // Two glasses on the first computer, a sip on the second, at about the same time.
    // A panel closes when another window takes the focus: each is opened before its keys.
    ASSERT_NO_FATAL_FAILURE(inPanel(one, {QStringLiteral("g"), QStringLiteral("g")}));
    ASSERT_NO_FATAL_FAILURE(inPanel(two, {QStringLiteral("s")}));
    for (App* app : {&one, &two}) {
        current = app;
        ASSERT_TRUE(app->openPanel(budget->leftMs(10000)));
        EXPECT_EQ(panelQuarters(*app, 9, budget->leftMs(40000)), 9)
            << desktop->describe(app->pid()).toStdString();
    }
    // One more glass on the second computer reaches the first.
    ASSERT_NO_FATAL_FAILURE(inPanel(two, {QStringLiteral("g")}));
    current = &one;
    ASSERT_TRUE(one.openPanel(budget->leftMs(10000)));
    EXPECT_EQ(panelQuarters(one, 13, budget->leftMs(40000)), 13)
        << desktop->describe(one.pid()).toStdString();

    // Both open their preferences; the first erases everything through its own.
    const QString erase = QStringLiteral("Erase…");
    // The other computer's preferences can take the focus as they map, closing this panel
    // before its keys arrive (one screen, no window manager): the keys are then pressed again.
    for (App* app : {&two, &one}) {
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            ASSERT_NO_FATAL_FAILURE(inPanel(*app, {QStringLiteral("ctrl+comma")}));
            shown = app->shows(erase, budget->leftMs(5000));
        }
        ASSERT_TRUE(shown) << desktop->describe(app->pid()).toStdString();
    }
    current = &one;
    ASSERT_TRUE(one.focus(erase)) << desktop->describe(one.pid()).toStdString();
    ASSERT_TRUE(one.press({QStringLiteral("space")}));
    ASSERT_TRUE(one.shows(QStringLiteral("Erase glasses and settings?"), budget->leftMs(10000)))
        << desktop->describe(one.pid()).toStdString();
    ASSERT_TRUE(one.focus(QStringLiteral("Erase data")))
        << desktop->describe(one.pid()).toStdString();
    ASSERT_TRUE(one.press({QStringLiteral("space")}));
    // The welcome opens and the preferences of the erased settings are put away.
    EXPECT_TRUE(one.shows(welcome, budget->leftMs(10000)))
        << desktop->describe(one.pid()).toStdString();
    EXPECT_TRUE(waitFor([&] { return !one.shows(erase, 0); }, budget->leftMs(10000)))
        << "the preferences stayed open under the welcome\n"
        << desktop->describe(one.pid()).toStdString();

    // The second computer adopts the erase and asks for its welcome by itself, nothing clicked:
    // its preferences go, its count starts over.
    current = &two;
    EXPECT_TRUE(two.shows(welcome, budget->leftMs(40000)))
        << "the adopted erase left the welcome unasked\n"
        << desktop->describe(two.pid()).toStdString();
    EXPECT_TRUE(waitFor([&] { return !two.shows(erase, 0); }, budget->leftMs(10000)))
        << desktop->describe(two.pid()).toStdString();
    ASSERT_NO_FATAL_FAILURE(finishWelcomeIfShown(two));
    EXPECT_EQ(panelQuarters(two, 0, budget->leftMs(10000)), 0)
        << desktop->describe(two.pid()).toStdString();
    EXPECT_TRUE(waitFor(
        [&] {
            return desktop->hasVisibleWindow(two.pid()) &&
                   !two.shows(QStringLiteral("Preparing reminders…"), 0);
        },
        budget->leftMs(10000)))
        << "walked, the welcome left the panel waiting\n"
        << desktop->describe(two.pid()).toStdString();
    // And the two count together again.
    ASSERT_NO_FATAL_FAILURE(inPanel(two, {QStringLiteral("g")}));
    EXPECT_EQ(panelQuarters(two, 4, budget->leftMs(10000)), 4)
        << desktop->describe(two.pid()).toStdString();
    current = &one;
    ASSERT_NO_FATAL_FAILURE(finishWelcomeIfShown(one));
    EXPECT_EQ(panelQuarters(one, 4, budget->leftMs(40000)), 4)
        << desktop->describe(one.pid()).toStdString();

    // Removing its link signs out the second computer alone: its own glass is back, and the
    // first stays in the account.
    ASSERT_TRUE(QFile::remove(homes[1].syncFolder()));
    current = &two;
    ASSERT_TRUE(two.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(two.shows(withoutSyncFolder, budget->leftMs(40000)))
        << desktop->describe(two.pid()).toStdString();
    EXPECT_EQ(panelQuarters(two, 4, budget->leftMs(10000)), 4)
        << desktop->describe(two.pid()).toStdString();
    current = &one;
    ASSERT_TRUE(one.openPanel(budget->leftMs(10000)));
    EXPECT_TRUE(one.shows(inSyncFolder, budget->leftMs(10000)))
        << desktop->describe(one.pid()).toStdString();
}

// The fixture's own reading of the notification server: what a call carried, and an action picked
// from dunst's menu coming back as the server's signal.
TEST_F(Scenario, TheFixtureReadsWhatDunstGotAndPicksItsActions) {
    budget.emplace(30s);
    ASSERT_TRUE(desktop->startNotificationServer());
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("dewlight")}};
    notify << QStringLiteral("Dewlight") << 0u << QString() << QStringLiteral("Time for \"water\"")
           << QStringLiteral("A glass now?")
           << QStringList{QStringLiteral("glass"), QStringLiteral("Glass"), QStringLiteral("sip"),
                          QStringLiteral("Sip"),   QStringLiteral("later"), QStringLiteral("Later")}
           << hints << -1;
    ASSERT_EQ(QDBusConnection::sessionBus().call(notify, QDBus::Block, 3000).type(),
              QDBusMessage::ReplyMessage);

    std::vector<Notification> sent;
    ASSERT_TRUE(waitFor([&] { return !(sent = desktop->notifications()).empty(); }, 5000));
    EXPECT_EQ(sent.back().appName, QStringLiteral("Dewlight"));
    EXPECT_EQ(sent.back().body, QStringLiteral("A glass now?"));
    EXPECT_EQ(sent.back().actions.size(), 6);
    EXPECT_EQ(sent.back().hints, QStringList{QStringLiteral("desktop-entry")});
    EXPECT_EQ(desktop->displayedNotifications(), 1);

    ASSERT_TRUE(desktop->invokeAction(QStringLiteral("sip")));
    EXPECT_TRUE(waitFor(
        [&] { return desktop->invokedActions() == QStringList{QStringLiteral("sip")}; }, 5000))
        << desktop->invokedActions().join(QLatin1Char(',')).toStdString();
}

} // namespace
} // namespace DewlightE2e
