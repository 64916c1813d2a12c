#include "platform/tray/PanelPlacement.h"
#include "platform/tray/PanelWindow.h"
#include "platform/tray/TrayScene.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using DewlightPlatform::LocalTrayHost;
using DewlightPlatform::LocalTrayIcon;
using DewlightPlatform::PanelWindow;
using DewlightPlatform::TrayScene;
using Mode = TrayScene::Mode;
using namespace std::chrono_literals;

TEST(PanelPlacementTest, BelowOrAboveTheIconAndAlwaysOnScreen) {
    const QRect screen(0, 30, 1000, 740); // a 30 px top bar
    const QSize panel(300, 400);
    struct Case {
        const char* why;
        QRect anchor;
        QPoint expected;
    };
    const Case cases[] = {
        // The icon's top bar lies outside the available area: the panel starts right below it.
        {"centred under an icon in a top bar", QRect(500, 5, 20, 20), {359, 30}},
        {"above an icon in a bottom bar", QRect(500, 775, 20, 20), {359, 370}},
        {"kept inside the right edge", QRect(990, 5, 20, 20), {700, 30}},
        {"kept inside the left edge", QRect(0, 5, 20, 20), {0, 30}},
        {"under the icon with a gap", QRect(500, 100, 20, 20), {359, 124}},
        // No geometry from the host: the point of the click, on the bar, stands for the icon.
        {"at the click, pushed below the bar", QRect(600, 10, 1, 1), {450, 30}},
        {"at the click near the bottom", QRect(100, 760, 1, 1), {0, 356}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(DewlightPlatform::panelPosition(panel, c.anchor, screen), c.expected);
    }
    // A panel taller than the screen keeps its top on screen.
    EXPECT_EQ(DewlightPlatform::panelPosition({300, 900}, QRect(500, 5, 20, 20), screen).y(), 30);
}

class TraySceneTest : public ::testing::Test {
protected:
    TraySceneTest() {
        auto* content = new QWidget;
        content->setFixedSize(200, 120);
        panel.setContent(content);
        QObject::connect(&panel, &PanelWindow::appeared, [this] { ++appearances; });
    }
    ~TraySceneTest() override { panel.hide(); }

    std::unique_ptr<TrayScene> makeScene(bool hostAtStart) {
        host.setAvailable(hostAtStart);
        TrayScene::Options options;
        options.hostWait = 50ms;
        options.pointer = [this] { return pointer; };
        options.availableArea = [this](QPoint) { return available; };
        options.screenArea = [this] { return screen; };
        options.monotonicMs = [this] { return now; };
        auto scene = std::make_unique<TrayScene>(
            host,
            [this] {
                auto icon = std::make_unique<LocalTrayIcon>();
                icon->setGeometry(iconGeometry);
                made = icon.get();
                ++iconsMade;
                return icon;
            },
            panel, options);
        scene->setAccessibleName(QStringLiteral("Dewlight"));
        scene->start();
        return scene;
    }

    LocalTrayHost host;
    PanelWindow panel{QStringLiteral("Dewlight")};
    LocalTrayIcon* made = nullptr;
    int iconsMade = 0;
    int appearances = 0;
    std::int64_t now = 1000;
    std::optional<QRect> iconGeometry;
    QPoint pointer{400, 10};
    QRect screen{0, 0, 1000, 770};
    QRect available{0, 30, 1000, 740}; // a 30 px top bar
};

TEST_F(TraySceneTest, ClicksOnTheIconToggleAPopupThatAppearsEachTime) {
    iconGeometry = QRect(500, 5, 20, 20);
    const auto scene = makeScene(true);
    ASSERT_EQ(scene->mode(), Mode::tray);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->isVisible());
    EXPECT_EQ(made->accessibleName(), QStringLiteral("Dewlight"));
    const int names = made->nameChanges();
    scene->setAccessibleName(QStringLiteral("Dewlight"));
    EXPECT_EQ(made->nameChanges(), names) << "an unchanged name is not sent to the host again";
    scene->setAccessibleName(QStringLiteral("Dewlight, 1 glass"));
    EXPECT_EQ(made->nameChanges(), names + 1);
    scene->setAccessibleName(QStringLiteral("Dewlight"));

    made->click();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.style(), PanelWindow::Style::popup);
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(panel.pos(), QPoint(409, 30)); // centred under the icon, below the bar
    EXPECT_EQ(appearances, 1);

    made->click();
    EXPECT_FALSE(panel.isVisible());
    made->click();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(appearances, 2);
}

TEST_F(TraySceneTest, EscapeAndFocusLossHideThePopupAndTheClosingClickDoesNotReopenIt) {
    const auto scene = makeScene(true);
    made->click();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());

    made->click();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.isVisible(); }));
    // The click on the icon is what took the focus away: it must not bring the panel back.
    now += 100;
    made->click();
    EXPECT_FALSE(panel.isVisible());
    // A later click opens it.
    now += 1000;
    made->click();
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(TraySceneTest, WithoutAHostThePanelOpensAsANormalWindowThatCloseOnlyHides) {
    const auto scene = makeScene(false);
    EXPECT_EQ(scene->mode(), Mode::waiting);
    EXPECT_EQ(iconsMade, 0); // no icon is asked of Qt before a host is there
    ASSERT_TRUE(QTest::qWaitFor([&] { return scene->mode() == Mode::window; }));
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.style(), PanelWindow::Style::window);
    EXPECT_FALSE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(appearances, 1);

    panel.close();
    EXPECT_FALSE(panel.isVisible());
    // Losing the focus or Escape leave a normal window alone.
    panel.show();
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_TRUE(panel.isVisible());

    // A second launch shows it again.
    panel.hide();
    scene->showPanel();
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(TraySceneTest, AHostThatComesLateOrRestartsMovesThePanelIntoTheTray) {
    const auto scene = makeScene(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scene->mode() == Mode::window; }));
    ASSERT_TRUE(panel.isVisible());

    host.setAvailable(true);
    EXPECT_EQ(scene->mode(), Mode::tray);
    EXPECT_FALSE(panel.isVisible()); // the icon stands for it now
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->isVisible());

    // The panel restarts: the icon goes with it, a second launch gets a window meanwhile, and
    // the same icon comes back with the host.
    host.setAvailable(false);
    EXPECT_EQ(scene->mode(), Mode::waiting);
    EXPECT_FALSE(made->isVisible());
    scene->showPanel();
    EXPECT_EQ(panel.style(), PanelWindow::Style::window);
    EXPECT_TRUE(panel.isVisible());
    host.setAvailable(true);
    EXPECT_EQ(iconsMade, 1);
    EXPECT_TRUE(made->isVisible());
    EXPECT_FALSE(panel.isVisible());
}

// A host that goes away while the application runs is waited for as at start: the window comes
// only when it has not come back by then, and the popup returns with it.
TEST_F(TraySceneTest, AHostLostWhileRunningGivesAWindowAfterTheWaitUnlessItComesBack) {
    const auto scene = makeScene(true);
    made->click();
    ASSERT_TRUE(panel.isVisible());

    // A restart within the wait: no window on screen meanwhile.
    host.setAvailable(false);
    EXPECT_EQ(scene->mode(), Mode::waiting);
    EXPECT_FALSE(panel.isVisible());
    host.setAvailable(true);
    QTest::qWait(100); // past the wait
    EXPECT_EQ(scene->mode(), Mode::tray);
    EXPECT_FALSE(panel.isVisible());

    // Gone for good: the window opens after the wait, by itself.
    const int before = appearances;
    host.setAvailable(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scene->mode() == Mode::window; }));
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.style(), PanelWindow::Style::window);
    EXPECT_EQ(appearances, before + 1);

    // Back in the tray when a host comes.
    host.setAvailable(true);
    EXPECT_EQ(scene->mode(), Mode::tray);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(made->isVisible());
}

// Where the popup opens: at the icon where the host tells its geometry, else where it was last
// clicked (a second launch or the icon's menu opens it there too), else near the end of the edge
// the desktop's panel takes.
TEST_F(TraySceneTest, ThePopupOpensAtTheIconWhereverItIsAskedFor) {
    const auto scene = makeScene(true);
    // Never clicked: at the far end of the top bar.
    scene->showPanel();
    EXPECT_EQ(panel.geometry().topLeft(), QPoint(800, 30));
    panel.hide();

    pointer = QPoint(500, 12);
    made->click();
    const QPoint atIcon(400, 30); // centred under the click, below the bar
    EXPECT_EQ(panel.geometry().topLeft(), atIcon);
    made->click();
    ASSERT_FALSE(panel.isVisible());

    // Launched from a menu or a terminal: the pointer is elsewhere, the panel opens at the icon.
    pointer = QPoint(120, 600);
    scene->showPanel();
    EXPECT_EQ(panel.geometry().topLeft(), atIcon);
    panel.hide();
    emit made->openChosen();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.geometry().topLeft(), atIcon);
}

TEST_F(TraySceneTest, WithoutAClickThePopupOpensAtTheEndOfThePanelsEdge) {
    struct Case {
        const char* why;
        QRect available;
        QPoint expected;
    };
    // A 1000 x 770 screen and a 200 x 120 panel.
    const Case cases[] = {
        {"a top bar", QRect(0, 30, 1000, 740), {800, 30}},
        {"a bottom panel", QRect(0, 0, 1000, 730), {800, 610}},
        {"a left panel", QRect(48, 0, 952, 770), {48, 645}},
        {"a right panel", QRect(0, 0, 952, 770), {752, 645}},
        {"no panel at all", QRect(0, 0, 1000, 770), {800, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        available = c.available;
        const auto scene = makeScene(true);
        scene->showPanel();
        EXPECT_EQ(panel.geometry().topLeft(), c.expected);
        panel.hide();
    }
}

// The first click after the window moved into the tray opens the popup where it belongs: the
// frame of the window it was must not count.
TEST_F(TraySceneTest, TheFirstClickAfterTheWindowMovedIntoTheTrayPlacesThePopupRight) {
    pointer = QPoint(500, 12);
    const auto scene = makeScene(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scene->mode() == Mode::window; }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    host.setAvailable(true);
    made->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    EXPECT_EQ(panel.geometry().topLeft(), QPoint(400, 30));
}

TEST_F(TraySceneTest, TheIconsMenuOpensThePanelAndQuits) {
    const auto scene = makeScene(false);
    scene->setMenuTexts(QStringLiteral("Open it"), QStringLiteral("Leave"));
    host.setAvailable(true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->menuTexts(), (QStringList{QStringLiteral("Open it"), QStringLiteral("Leave")}));

    emit made->openChosen();
    EXPECT_TRUE(panel.isVisible());
    QSignalSpy quits(scene.get(), &TrayScene::quitRequested);
    emit made->quitChosen();
    EXPECT_EQ(quits.size(), 1);
}

TEST_F(TraySceneTest, AHostWithinTheWaitNeverShowsAWindow) {
    const auto scene = makeScene(false);
    scene->setIcon(QIcon(QPixmap(16, 16)));
    host.setAvailable(true);
    QTest::qWait(100); // past the wait
    EXPECT_EQ(scene->mode(), Mode::tray);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(appearances, 0);
    EXPECT_FALSE(made->icon().isNull()); // the icon set before it existed
}

} // namespace
