#include "app/DewlightApp.h"

#include "app/DesktopEnvironment.h"
#include "app/DewlightScene.h"
#include "app/RozivTally.h"
#include "platform/calendar/Calendar.h"
#include "platform/tray/PanelWindow.h"
#include "platform/tray/TrayScene.h"
#include "tests/support/FakeUpdateNotifier.h"
#include "tests/support/ModelHarness.h"
#include "ui/Localization.h"
#include "ui/SymbolCatalogue.h"
#include "views/RozivStartupFailure.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using DewlightApp::AppModel;
using DewlightApp::DewlightScene;
using DewlightApp::MenuLabel;
using DewlightPlatform::NotificationAuthorizationStatus;
using DewlightTest::ModelHarness;
using DewlightViews::RozivPermissionState;
using DewlightViews::RozivSnapshotModel;
using DewlightViews::StartupFailurePart::retry;
using namespace std::chrono_literals;

// The application over the model harness's local services, shown in a panel under a tray of the
// test's own, with the desktop's colour scheme set by the test.
class LaunchTest : public ::testing::Test {
protected:
    ~LaunchTest() override { end(); }

    // Ends the application before the services it was built over.
    void end() {
        panel.hide();
        scene.reset();
        tray.reset();
        if (app && app->launch().live())
            app->launch().live()->tally().cancelFeedbackTimer();
        app.reset();
        if (harness)
            harness->settle();
    }

    // A launch with these arguments; its model is built over a harness with these options,
    // after `failures` builds that throw.
    DewlightApp::DewlightApp& launch(QStringList arguments = {},
                                     ModelHarness::Options options = {}) {
        harness.emplace(options);
        app = std::make_unique<DewlightApp::DewlightApp>(DewlightApp::DewlightApp::Parts{
            .arguments = std::move(arguments),
            .makeModel =
                [this] {
                    if (failures > 0) {
                        --failures;
                        throw std::runtime_error("the account file cannot be read");
                    }
                    ++modelsMade;
                    harness->build();
                    return std::move(harness->model);
                },
            .makeSnapshotModel =
                [](const QStringList& arguments) {
                    return std::make_unique<RozivSnapshotModel>(arguments,
                                                                DewlightPlatform::Calendar::utc());
                },
            .runSnapshot = [this](RozivSnapshotModel&) { ++snapshotRuns; },
            .makeUpdateNotifier =
                [this] {
                    auto made = std::make_unique<FakeUpdateNotifier>();
                    notifier = made.get();
                    ++notifiersMade;
                    return made;
                },
        });
        return *app;
    }

    // Puts the application on the desktop: a tray that is there, and the panel it toggles.
    DewlightScene& show() {
        DewlightPlatform::TrayScene::Options options;
        options.pointer = [] { return QPoint(400, 10); };
        options.availableArea = [](QPoint) { return QRect(0, 30, 1000, 740); };
        tray = std::make_unique<DewlightPlatform::TrayScene>(
            host,
            [this] {
                auto made = std::make_unique<DewlightPlatform::LocalTrayIcon>();
                icon = made.get();
                return made;
            },
            panel, options);
        scene = std::make_unique<DewlightScene>(
            *app, panel, *tray, scheme,
            DewlightApp::DesktopSettings{
                .locale = QLocale(QLocale::English, QLocale::UnitedStates),
                .texts = ui::shippedTexts(QLocale(QLocale::English, QLocale::UnitedStates)),
                .fontPointSize = std::nullopt},
            std::make_shared<const ui::SymbolCatalogue>());
        tray->start();
        settle();
        return *scene;
    }

    void settle() { harness->settle(); }
    AppModel& model() { return *app->launch().live(); }
    // The panel as the user opens it from the tray.
    void openPanel() {
        if (panel.isVisible())
            icon->click();
        icon->click();
        settle();
    }
    // Clicks the start-up failure's "Try again" as the user does.
    void pressRetry() {
        ui::Host& host = scene->host();
        const QPointF point = host.layout()->frame(retry).center();
        QMouseEvent press(QEvent::MouseButtonPress, point, host.mapToGlobal(point), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&host, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, point, host.mapToGlobal(point),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&host, &release);
        settle();
    }
    bool showsFailure() {
        scene->host().rebuild();
        return scene->host().layout()->find(retry) != nullptr;
    }

    std::optional<ModelHarness> harness;
    std::unique_ptr<DewlightApp::DewlightApp> app;
    int failures = 0;
    int modelsMade = 0;
    int notifiersMade = 0;
    int snapshotRuns = 0;
    FakeUpdateNotifier* notifier = nullptr;

    DewlightPlatform::LocalTrayHost host{true};
    DewlightPlatform::LocalColorScheme scheme;
    DewlightPlatform::PanelWindow panel{QStringLiteral("Dewlight")};
    DewlightPlatform::LocalTrayIcon* icon = nullptr;
    std::unique_ptr<DewlightPlatform::TrayScene> tray;
    std::unique_ptr<DewlightScene> scene;
};

TEST_F(LaunchTest, AnySnapshotArgumentSelectsSnapshotModeWithoutModelOrUpdateChecker) {
    struct Case {
        QStringList arguments;
        bool snapshot;
    };
    const Case cases[] = {
        {{QStringLiteral("--snapshot-panel")}, true},
        {{QStringLiteral("--snapshot-")}, true},
        // Found wherever it stands, after options of Qt's own.
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"),
          QStringLiteral("--snapshot-out"), QStringLiteral("/tmp/x.png")},
         true},
        {{QStringLiteral("--snapshot")}, false},
        {{QStringLiteral("-snapshot-panel")}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        modelsMade = notifiersMade = snapshotRuns = 0;
        end();
        launch(c.arguments);
        EXPECT_EQ(app->snapshotMode(), c.snapshot);
        EXPECT_EQ(app->launch().snapshot() != nullptr, c.snapshot);
        EXPECT_EQ(app->launch().live() != nullptr, !c.snapshot);
        EXPECT_EQ(modelsMade, c.snapshot ? 0 : 1);
        // The one notifier of the process, asked once per live launch; none in snapshot mode.
        EXPECT_EQ(notifiersMade, c.snapshot ? 0 : 1);
        EXPECT_EQ(app->updateNotifier() == nullptr, c.snapshot);
        EXPECT_EQ(notifiersMade, c.snapshot ? 0 : 1);
        if (!c.snapshot) {
            EXPECT_EQ(notifier->checks, 1);
        }
        // The run and the model's start wait for the next turn: the scene is built first.
        EXPECT_EQ(snapshotRuns, 0);
        settle();
        EXPECT_EQ(snapshotRuns, c.snapshot ? 1 : 0);
        if (!c.snapshot) {
            EXPECT_TRUE(model().hasWindowRouter()) << "the live model was started";
        }
        EXPECT_EQ(app->menuLabel(),
                  (MenuLabel{c.snapshot ? QStringLiteral("drop")
                                        : QString::fromStdString(model().menuSymbol()),
                             QStringLiteral("Dewlight")}));
    }
}

TEST_F(LaunchTest, EachOpeningOfTheLivePanelReloads) {
    launch();
    show();
    // The permission changed in the desktop's settings while the panel was closed: only a
    // reload sees it.
    harness->center->setAuthorizationStatus(NotificationAuthorizationStatus::denied);
    settle();
    EXPECT_EQ(model().panel().permission, RozivPermissionState::allowed);
    openPanel();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(model().panel().permission, RozivPermissionState::denied);

    harness->center->setAuthorizationStatus(NotificationAuthorizationStatus::authorized);
    openPanel();
    EXPECT_EQ(model().panel().permission, RozivPermissionState::allowed);
}

TEST_F(LaunchTest, OpeningThePanelOpensTheWelcomeWhileItIsDue) {
    struct Case {
        const char* why;
        bool welcomeCompleted;
        NotificationAuthorizationStatus authorization;
        bool welcome;
    };
    const Case cases[] = {
        {"welcome never completed", false, NotificationAuthorizationStatus::authorized, true},
        {"permission never asked", true, NotificationAuthorizationStatus::notDetermined, true},
        {"welcome done, alerts refused", true, NotificationAuthorizationStatus::denied, false},
        {"welcome done, alerts allowed", true, NotificationAuthorizationStatus::authorized, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        end();
        ModelHarness::Options options;
        options.welcomeCompleted = c.welcomeCompleted;
        options.authorization = c.authorization;
        launch({}, options);
        show();
        // Starting alone opens nothing.
        EXPECT_TRUE(harness->opened.empty());
        const std::vector<std::string> expected(c.welcome ? 1 : 0, "welcome");
        openPanel();
        EXPECT_EQ(harness->opened, expected);
        // Asked again at the next opening, until the flow is done.
        harness->opened.clear();
        openPanel();
        EXPECT_EQ(harness->opened, expected);
        // A new panel state while the panel stays open is no new opening.
        harness->opened.clear();
        model().send(DewlightViews::RozivViewAction::drinkGlass());
        settle();
        EXPECT_TRUE(harness->opened.empty());
    }
}

TEST_F(LaunchTest, AFailedLaunchShowsTheDropUntilARetryBuildsTheModel) {
    failures = 2;
    ModelHarness::Options options;
    options.authorization = NotificationAuthorizationStatus::denied;
    launch({}, options);
    const DewlightScene& shown = show();
    EXPECT_TRUE(app->launch().failed());
    EXPECT_EQ(shown.shownSymbol(), QStringLiteral("drop"));
    EXPECT_EQ(icon->accessibleName(), QStringLiteral("Dewlight"));
    // A launch that failed before its model existed asked nothing about updates.
    EXPECT_EQ(notifiersMade, 0);

    openPanel();
    ASSERT_TRUE(showsFailure());
    // A retry that throws again stays where it was.
    pressRetry();
    EXPECT_TRUE(app->launch().failed());
    EXPECT_TRUE(showsFailure());
    EXPECT_EQ(shown.shownSymbol(), QStringLiteral("drop"));

    const int iconChanges = icon->iconChanges();
    const int failureHeight = panel.panelSize().height();
    pressRetry();
    ASSERT_NE(app->launch().live(), nullptr);
    EXPECT_FALSE(showsFailure());
    // The window follows its new content.
    EXPECT_GT(panel.panelSize().height(), failureHeight + 100);
    EXPECT_EQ(panel.panelSize(), scene->host().sizeHint());
    EXPECT_EQ(model().menuSymbol(), "exclamationmark.triangle.fill");
    EXPECT_EQ(shown.shownSymbol(), QStringLiteral("exclamationmark.triangle.fill"));
    EXPECT_GT(icon->iconChanges(), iconChanges);
    EXPECT_EQ(notifiersMade, 1);
    // One check for the launch, one from the panel as it shows the menu.
    EXPECT_EQ(notifier->checks, 2);

    // Live is final: a stray retry keeps the model.
    AppModel* const live = app->launch().live();
    app->retryLaunch();
    EXPECT_EQ(app->launch().live(), live);
    EXPECT_EQ(modelsMade, 1);
}

TEST_F(LaunchTest, UnavailableDataShowsTheFailureWhoseRetryForcesAReload) {
    launch();
    show();
    openPanel();
    EXPECT_FALSE(showsFailure());
    harness->opened.clear();

    // The forced reload makes the data unavailable at once and rebuilds it on a later turn.
    model().reload(true);
    EXPECT_TRUE(showsFailure());
    settle();
    EXPECT_FALSE(model().dataUnavailable());
    EXPECT_FALSE(showsFailure());
    EXPECT_EQ(modelsMade, 1) << "the retry works on the same model";
}

TEST_F(LaunchTest, TheViewsFollowTheDesktopsColourScheme) {
    launch();
    const DewlightScene& shown = show();
    EXPECT_EQ(shown.environment().scheme, ui::ColorScheme::light);
    EXPECT_EQ(shown.host().environment().scheme, ui::ColorScheme::light);
    ui::ColorScheme announced = ui::ColorScheme::light;
    QObject::connect(scene.get(), &DewlightScene::environmentChanged,
                     [&](const ui::Environment& environment) { announced = environment.scheme; });
    scheme.setScheme(DewlightPlatform::DesktopScheme::dark);
    EXPECT_EQ(shown.host().environment().scheme, ui::ColorScheme::dark);
    EXPECT_EQ(announced, ui::ColorScheme::dark);
    // The shipped English texts, not the keys.
    EXPECT_EQ(shown.environment().localize(QStringLiteral("Try again"), {}),
              QStringLiteral("Try again"));
}

TEST(DesktopEnvironmentTest, TheDesktopFontPicksTheNearestTextSize) {
    struct Case {
        std::optional<double> points;
        ui::TypeSize size;
    };
    const Case cases[] = {
        {std::nullopt, ui::TypeSize::large},
        {10, ui::TypeSize::large},
        {9, ui::TypeSize::medium},
        {11, ui::TypeSize::xLarge},
        {12, ui::TypeSize::xxLarge},
        {20, ui::TypeSize::accessibility2},
        {200, ui::TypeSize::accessibility5},
        {1, ui::TypeSize::xSmall},
        // Nonsense from the desktop leaves the default.
        {0, ui::TypeSize::large},
        {-3, ui::TypeSize::large},
        {std::nan(""), ui::TypeSize::large},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points ? *c.points : -1);
        EXPECT_EQ(DewlightApp::typeSizeFor(c.points), c.size);
    }
}

} // namespace
