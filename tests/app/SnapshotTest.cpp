// Snapshot mode inside the process: reading its options, the run that stays up in a window that
// takes no input, and the run that captures and encodes. The built binary's own behaviour (exit
// status, standard error, files) is checked by snapshot-test.sh.
#include "app/SnapshotMode.h"
#include "app/SnapshotOptions.h"
#include "app/SnapshotWindow.h"
#include "kit/windows/KestraSnapshotWindow.h"
#include "platform/calendar/Calendar.h"
#include "platform/runtime/FakeClock.h"
#include "platform/runtime/Job.h"
#include "tests/ui/GuiTest.h"
#include "ui/Font.h"
#include "views/MenuView.h"
#include "views/RozivBrand.h"
#include "views/RozivSnapshotModel.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace DewlightApp;

namespace {

QStringList args(std::initializer_list<const char*> list) {
    QStringList result;
    for (const char* item : list)
        result << QString::fromUtf8(item);
    return result;
}

TEST(SnapshotOptionsTest, WelcomeStepReadsASignedDecimalOrFallsBackToOne) {
    struct Case {
        std::initializer_list<const char*> arguments;
        int step;
    };
    const Case cases[] = {
        {{"--snapshot-welcome", "--snapshot-step", "2"}, 2},
        {{"--snapshot-step", "+3"}, 3},
        {{"--snapshot-step", "-1"}, -1}, // read as written; the view decides what it shows
        {{"--snapshot-step", "x"}, 1},
        {{"--snapshot-step", ""}, 1},
        {{"--snapshot-step", "+"}, 1},
        {{"--snapshot-step", "+-2"}, 1},
        {{"--snapshot-step", "2x"}, 1},
        {{"--snapshot-step", " 2"}, 1},
        {{"--snapshot-step", "99999999999"}, 1}, // beyond an int: not an integer here
        {{"--snapshot-step"}, 1},                // the flag last: no value
        {{"--snapshot-welcome"}, 1},
        {{"--snapshot-step", "4", "--snapshot-step", "5"}, 4},
    };
    for (const Case& c : cases) {
        const QStringList arguments = args(c.arguments);
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        EXPECT_EQ(SnapshotOptions::welcomeStep(arguments), c.step);
    }
}

TEST(SnapshotOptionsTest, AppearanceIsDarkOrLightExactlyElseTheSystems) {
    using ui::ColorScheme;
    EXPECT_EQ(SnapshotOptions::appearance(args({"--snapshot-appearance", "dark"})),
              ColorScheme::dark);
    EXPECT_EQ(SnapshotOptions::appearance(args({"--snapshot-appearance", "light"})),
              ColorScheme::light);
    for (const char* other : {"Dark", "", "--snapshot-file"})
        EXPECT_EQ(SnapshotOptions::appearance(args({"--snapshot-appearance", other})), std::nullopt)
            << other;
    EXPECT_EQ(SnapshotOptions::appearance(args({"--snapshot-appearance"})), std::nullopt);
}

TEST(SnapshotOptionsTest, OnlyAbsolutePngPathsAreOutputs) {
    for (const char* good : {"/tmp/a.png", "/tmp/a.PNG", "/tmp/a.Png", "/a.b.png", "/tmp/x/.a.png"})
        EXPECT_TRUE(isSnapshotPath(QString::fromUtf8(good))) << good;
    for (const char* bad : {"a.png", "./a.png", "~/a.png", "/tmp/a.jpg", "/tmp/a", "/tmp/.png",
                            "/tmp/a.png/", "/tmp/png", "", "-"})
        EXPECT_FALSE(isSnapshotPath(QString::fromUtf8(bad))) << bad;
}

class SnapshotRunTest : public GuiTest {
protected:
    static void SetUpTestSuite() {
        GuiTest::SetUpTestSuite();
        static const bool loaded = ui::loadUiFonts();
        ASSERT_TRUE(loaded);
    }
    void TearDown() override { qDeleteAll(QApplication::topLevelWidgets()); }

    // Runs the snapshot for `arguments` until its wait; the clock then decides.
    std::optional<int> run(const QStringList& arguments, bool wake = true) {
        std::optional<std::optional<int>> ended;
        DewlightPlatform::CancelToken token;
        auto task = record(&ended, model_, arguments, clock_, token);
        if (wake)
            clock_.advance(snapshotDrawingTime);
        else
            token.cancel();
        clock_.advance(1);
        EXPECT_TRUE(ended.has_value()) << "the run did not end";
        return ended.value_or(std::nullopt);
    }

    // A coroutine's parameters live in its frame; a lambda's captures would not.
    static QCoro::Task<void> record(std::optional<std::optional<int>>* ended,
                                    DewlightViews::DewlightViewModel& model, QStringList arguments,
                                    DewlightPlatform::Clock& clock,
                                    DewlightPlatform::CancelToken token) {
        *ended = co_await runSnapshotMode(
            model, std::move(arguments),
            snapshotEnvironment(ui::ColorScheme::light, QLocale(QLocale::English)),
            DewlightViews::rozivBrand(), clock, std::move(token));
    }

    DewlightPlatform::FakeClock clock_;
    DewlightViews::RozivSnapshotModel model_{QStringList(),
                                             DewlightPlatform::Calendar::gregorian("UTC")};
};

QWidget* snapshotWindow() {
    const QString title = KestraUI::KestraSnapshot::windowTitle(DewlightViews::rozivBrand());
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->windowTitle() == title && window->isVisible())
            return window;
    return nullptr;
}

TEST_F(SnapshotRunTest, WithoutAFileThePanelStaysUpInAWindowThatTakesNoInput) {
    EXPECT_EQ(run(args({"--snapshot-state", "off"})), std::nullopt);
    QWidget* window = snapshotWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(qobject_cast<KestraUI::KeyableWindow*>(window), nullptr);
    EXPECT_EQ(window->width(), 736); // the panel's 368 points, twice
    // The kit's window drops clicks and keys before anything inside sees them (its own tests
    // show that); what the run must do is present the panel in it, shown.
    EXPECT_TRUE(window->isVisible());
}

TEST_F(SnapshotRunTest, WindowViewsAreHostedAsTheyAreForAFileAndPresentedTwiceForAPerson) {
    QTemporaryDir folder;
    const QByteArray file = folder.filePath(QStringLiteral("shot.png")).toUtf8();
    struct Case {
        QStringList arguments;
        bool keyable;
        int width;
    };
    const Case cases[] = {
        {args({"--snapshot-welcome"}), true, 1120},
        {args({"--snapshot-preferences"}), true, 1120},
        {args({"--snapshot-welcome", "--snapshot-file", file.constData()}), false, 560},
        {args({"--snapshot-preferences", "--snapshot-file", file.constData()}), false, 560},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        run(c.arguments);
        QWidget* window = snapshotWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(qobject_cast<KestraUI::KeyableWindow*>(window) != nullptr, c.keyable);
        EXPECT_EQ(window->width(), c.width);
        qDeleteAll(QApplication::topLevelWidgets());
    }
}

TEST_F(SnapshotRunTest, ACancelledWaitWritesNothingAndDoesNotQuit) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shot.png"));
    EXPECT_EQ(run(args({"--snapshot-file", path.toUtf8().constData()}), false), std::nullopt);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(SnapshotRunTest, AWrittenFileEndsWithStatusZeroAndHoldsTheCapture) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shot.png"));
    EXPECT_EQ(run(args({"--snapshot-file", path.toUtf8().constData()})), 0);
    QImage written(path);
    ASSERT_FALSE(written.isNull());
    const std::optional<QImage> captured = SnapshotWindow::capture(DewlightViews::rozivBrand());
    ASSERT_TRUE(captured);
    EXPECT_EQ(written.size(), captured->size());
    // Lossless: the encoder's settings change the size and the time, never a pixel beyond the
    // rounding of turning premultiplied colours into straight ones (Qt's own conversion rounds
    // a few translucent edge pixels the other way).
    const QImage a = written.convertToFormat(QImage::Format_ARGB32),
                 b = captured->convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (p != q)
                worst =
                    std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    EXPECT_LE(worst, 1);
}

// A picture is its view's size rounded up to whole device pixels; the ground fills the last,
// partly covered row as well, so that no picture ends in a translucent seam. The rounded panel's
// bottom corners stay clear.
TEST_F(SnapshotRunTest, TheGroundFillsThePicturesLastRow) {
    QTemporaryDir folder;
    const QByteArray file = folder.filePath(QStringLiteral("shot.png")).toUtf8();
    const QStringList cases[] = {
        args({"--snapshot-state", "off"}),
        args({"--snapshot-file", file.constData()}),
        args({"--snapshot-welcome"}),
        args({"--snapshot-welcome", "--snapshot-file", file.constData()}),
        args({"--snapshot-welcome", "--snapshot-step", "2", "--snapshot-file", file.constData()}),
        args({"--snapshot-preferences"}),
        args({"--snapshot-preferences", "--snapshot-file", file.constData()}),
    };
    const auto lastRowIsGround = [](const QImage& image) {
        // A presented view is drawn at twice its size; a continuous corner's curve reaches
        // about 1.53 radii along the edge.
        const int corner =
            int(std::ceil(1.53 * KestraUI::KestraSnapshot::roundedRadius *
                          KestraUI::KestraSnapshot::scale * image.devicePixelRatio()));
        const int y = image.height() - 1;
        for (int x = corner; x < image.width() - corner; ++x)
            if (image.pixelColor(x, y).alpha() != 255)
                return testing::AssertionFailure()
                       << "pixel " << x << "," << y << " of " << image.width() << "x"
                       << image.height() << " has alpha " << image.pixelColor(x, y).alpha();
        return testing::AssertionSuccess();
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        run(arguments);
        const std::optional<QImage> captured = SnapshotWindow::capture(DewlightViews::rozivBrand());
        ASSERT_TRUE(captured);
        EXPECT_TRUE(lastRowIsGround(*captured));
        qDeleteAll(QApplication::topLevelWidgets());
    }
    // A presented view frozen on a screen of twice the pixels.
    for (const double ratio : {1.0, 2.0, 1.5})
        EXPECT_TRUE(lastRowIsGround(KestraUI::KestraSnapshot::frozen(
            DewlightViews::MenuView(model_),
            snapshotEnvironment(ui::ColorScheme::dark, QLocale(QLocale::English)), false, ratio)))
            << ratio;
}

TEST_F(SnapshotRunTest, AFailedWriteEndsWithStatusOne) {
    EXPECT_EQ(run(args({"--snapshot-file", "relative.png"})), 1);
}

} // namespace
