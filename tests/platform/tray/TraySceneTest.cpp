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

TEST(PanelPlacementTest, BelowOrAboveTheIconOrThePointerAndAlwaysOnScreen) {
    const QRect screen(0, 30, 1000, 740); // a 30 px top bar
    const QSize panel(300, 400);
    struct Case {
        const char* why;
        std::optional<QRect> icon;
        QPoint pointer;
        QPoint expected;
    };
    const Case cases[] = {
        // The icon's top bar lies outside the available area: the panel starts right below it.
        {"centred under an icon in a top bar", QRect(500, 5, 20, 20), {}, {359, 30}},
        {"above an icon in a bottom bar", QRect(500, 775, 20, 20), {}, {359, 370}},
        {"kept inside the right edge", QRect(990, 5, 20, 20), {}, {700, 30}},
        {"kept inside the left edge", QRect(0, 5, 20, 20), {}, {0, 30}},
        {"under the icon with a gap", QRect(500, 100, 20, 20), {}, {359, 124}},
        // No geometry from the host: the pointer, which sits on the bar, stands in for the icon.
        {"at the pointer, pushed below the bar", std::nullopt, {600, 10}, {450, 30}},
        {"at the pointer near the bottom", std::nullopt, {100, 760}, {0, 356}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(DewlightPlatform::panelPosition(panel, c.icon, c.pointer, screen), c.expected);
    }
    // A panel taller than the screen keeps its top on screen.
    EXPECT_EQ(DewlightPlatform::panelPosition({300, 900}, QRect(500, 5, 20, 20), {}, screen).y(), 30);
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
        options.pointer = [] { return QPoint(400, 10); };
        options.availableArea = [](QPoint) { return QRect(0, 30, 1000, 740); };
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
    EXPECT_EQ(scene->mode(), Mode::window);
    EXPECT_FALSE(made->isVisible());
    scene->showPanel();
    EXPECT_EQ(panel.style(), PanelWindow::Style::window);
    EXPECT_TRUE(panel.isVisible());
    host.setAvailable(true);
    EXPECT_EQ(iconsMade, 1);
    EXPECT_TRUE(made->isVisible());
    EXPECT_FALSE(panel.isVisible());
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
